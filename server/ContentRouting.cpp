// Which place answers a request path: a package member, an embedded resource
// of the web front end, or content generated here.
#include "MemberStream.h"
#include "Package.h"

#include "AudioFormat.h"
#include "QByteArraySink.h"
#include "WavReader.h"
#include "WavSvgReader.h"
#include "WvcSvgReader.h"

#include <QApplication>
#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

enum PathClass { kMember = 1, kEmbedded = 2, kWaveform = 4 };

const QString kResourceDir = QStringLiteral(":/resources/");
const QString kDataDir = QStringLiteral("/app/js/data/");
const QString kWaveDir = QStringLiteral("/app/wave/");

QString lastComponent(const QString& isPath)
{
    return isPath.mid(isPath.lastIndexOf(QLatin1Char('/')) + 1);
}

// Message catalogs share the name "ui.mo" and are told apart by their folders.
QString resourceName(const QString& isPath)
{
    const QString sLast = lastComponent(isPath);
    if (sLast != QLatin1String("ui.mo"))
        return sLast;
    return isPath.section(QLatin1Char('/'), -3);
}

bool isWaveformPath(const QString& isPath)
{
    return isPath.startsWith(kWaveDir) && isPath.endsWith(QLatin1String(".svg"));
}

bool isResourceName(const QString& isName)
{
    return !isName.isEmpty() && QFile::exists(kResourceDir + isName);
}

} // namespace

int Package::classifyPath(const QString& isPath) const
{
    if (!mbOpened)
        return isResourceName(lastComponent(isPath)) ? kEmbedded : 0;
    int nMask = 0;
    if (maFiles.contains(isPath)) {
        nMask = kMember;
        if (isPath.startsWith(kDataDir))
            return kMember;
    }
    const QString sLast = lastComponent(isPath);
    if (isResourceName(sLast))
        nMask |= kEmbedded;
    if (sLast == QLatin1String("ui.mo") && isResourceName(isPath.section(QLatin1Char('/'), -3)))
        nMask |= kEmbedded;
    if (nMask != 0)
        return nMask;
    return isWaveformPath(isPath) ? kWaveform : 0;
}

int Package::serveFile(const QString& isPath, const QString& isQuery, QIODevice* ipDevice)
{
    QByteArray aBody;
    std::unique_ptr<MemberStream> pNone;
    if (openBody(isPath, isQuery, false, aBody, pNone) != 0)
        return -1;
    ipDevice->write(aBody);
    return 0;
}

int Package::openBody(const QString& isPath, const QString& isQuery, bool ibStreamMembers, QByteArray& iraBody,
                      std::unique_ptr<MemberStream>& irpStream)
{
    const int nClass = classifyPath(isPath);
    if (!mbOpened || nClass == 0)
        return -1;

    QBuffer aBuffer;
    aBuffer.open(QIODevice::ReadWrite);
    if (nClass & kEmbedded) {
        readEmbeddedResource(isPath, &aBuffer);
    } else {
        if (mbCallExpiration && isPath == QLatin1String("/app/js/data/calls.js")) {
            qDebug() << "Serving modified call list: " << isPath;
            // Shared, not copied: every request sends the same bytes.
            iraBody = msCallListScript;
            return 0;
        }
        const PackageEntry aEntry = maFiles.value(isPath);
        qDebug() << "Reading " << isPath << " (Size: " << aEntry.nStoredSize << " Offset: " << aEntry.nOffset << ")";
        if (isWaveformPath(isPath)) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            renderWaveformPng(isPath, isQuery, &aBuffer);
            QApplication::restoreOverrideCursor();
            iraBody = aBuffer.data();
            return 0;
        }
        // A damaged member leaves the body empty: the response ends after
        // its header and the server goes on serving.
        if (ibStreamMembers) {
            irpStream = openMemberStream(isPath);
            return 0;
        }
        readFile(isPath, &aBuffer);
    }
    iraBody = aBuffer.data();
    return 0;
}

int Package::readEmbeddedResource(const QString& isPath, QIODevice* ipDevice) const
{
    const QString sLast = lastComponent(isPath);
    QFile aResource(kResourceDir + resourceName(isPath));
    QIODevice::OpenMode nMode = QIODevice::ReadOnly;
    if (isPath.endsWith(QLatin1String(".html")) || isPath.endsWith(QLatin1String(".js"))
        || isPath.endsWith(QLatin1String(".css")))
        nMode |= QIODevice::Text;
    if (!aResource.open(nMode)) {
        qCritical() << "Could not read " << sLast << " from embedded resources";
        return -1;
    }
    ipDevice->write(aResource.readAll());
    qDebug() << "Read " << sLast << " from embedded resources";
    return 0;
}

int Package::renderWaveformPng(const QString& isPath, const QString& isQuery, QIODevice* ipDevice)
{
    QBuffer aSvg;
    aSvg.open(QIODevice::ReadWrite);
    if (generateWaveformSvg(isPath, isQuery, &aSvg) != 0)
        aSvg.buffer().clear();
    QByteArray aSvgBytes = aSvg.data();
    aSvgBytes.replace("rgba(136,136,136,1)", "#888888");
    aSvgBytes.replace("rgba(153,187,232,1)", "#99BBE8");

    // Painting on a premultiplied image is quicker (no conversion); the
    // background is opaque, so every pixel saved is the same.
    QImage aImage(800, 100, QImage::Format_ARGB32_Premultiplied);
    aImage.fill(QColor(238, 238, 238, 255));
    QSvgRenderer aRenderer(aSvgBytes);
    QPainter aPainter(&aImage);
    aRenderer.render(&aPainter);
    aPainter.end();

    QBuffer aPng;
    aPng.open(QIODevice::WriteOnly);
    aImage.save(&aPng, "PNG");
    ipDevice->write(aPng.data());
    qDebug() << "converted svg to png with size: " << aPng.data().size();
    return 0;
}

int Package::generateWaveformSvg(const QString& isPath, const QString& isQuery, QIODevice* ipDevice)
{
    QString sVoicePath = isPath;
    sVoicePath.replace(QLatin1String(".svg"), QLatin1String(".wvc"));
    QByteArray aSvg;
    if (classifyPath(sVoicePath) == kMember) {
        WvcSvgReader aReader(this, sVoicePath, isQuery);
        QTextStream aStream(&aSvg);
        aReader.generateSvg(aStream);
        aStream.flush();
    } else {
        sVoicePath.replace(QLatin1String(".wvc"), QLatin1String(".wav"));
        if (classifyPath(sVoicePath) != kMember) {
            qWarning() << "Could not generate " << isPath << " because voice file not found";
            return -1;
        }
        // The member pipeline of a read, with the drawing behind the WAV
        // reader; both stages share one format record. The decoded member
        // is kept for a while: the next request (a zoom, an effect) for the
        // same recording skips decryption and inflation.
        AudioFormat aFormat;
        auto* pSvg = new WavSvgReader(new QByteArraySink(aSvg), isQuery, &aFormat);
        QByteArray aMember;
        const int nResult = decodedMember(sVoicePath, aMember)
                                ? pumpDecoded(sVoicePath, aMember, new WavReader(pSvg, &aFormat))
                                : pumpMember(sVoicePath, new WavReader(pSvg, &aFormat));
        if (nResult != 0)
            aSvg.clear();
    }
    ipDevice->write(aSvg);
    qDebug() << "generated svg from " << sVoicePath;
    return 0;
}
