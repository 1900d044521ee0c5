#include "LogMessageHandler.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<bool> gbDebug { false };

// Qt's web channel complains about every property without a notify signal;
// the page never relies on those, so the noise is dropped at every level.
const char kSuppressedText[] = "has no notify signal and is not constant, value updates in HTML will be broken!";

const char* tagFor(QtMsgType inType)
{
    switch (inType) {
    case QtDebugMsg:
        return "DEB";
    case QtInfoMsg:
        return "INF";
    case QtWarningMsg:
        return "WRN";
    case QtCriticalMsg:
        return "CRT";
    case QtFatalMsg:
        return "FTL";
    }
    return nullptr;
}

} // namespace

void setDebugLogging(bool ibEnabled)
{
    gbDebug = ibEnabled;
}

bool debugLogging()
{
    return gbDebug;
}

QString formatLogLine(QtMsgType inType, const QMessageLogContext& irContext, const QString& irsMessage)
{
    QString sFile = irContext.file ? QString::fromLocal8Bit(irContext.file) : QString();
    const int nSlash = sFile.indexOf(QLatin1Char('/'));
    if (nSlash >= 0)
        sFile.remove(0, nSlash + 1);
    const unsigned nLine = irContext.line > 0 ? unsigned(irContext.line) : 0u;
    return QStringLiteral("%1  %2  %3:%4  %5")
        .arg(QLatin1String(tagFor(inType)), QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz")),
            sFile, QString::number(nLine), irsMessage);
}

void logMessageHandler(QtMsgType inType, const QMessageLogContext& irContext, const QString& irsMessage)
{
    const char* pTag = tagFor(inType);
    if (!pTag)
        return;
    if (inType == QtDebugMsg && !gbDebug)
        return;
    if (irsMessage.contains(QLatin1String(kSuppressedText)))
        return;
    const QByteArray aLine = formatLogLine(inType, irContext, irsMessage).toUtf8() + '\n';
    std::fwrite(aLine.constData(), 1, size_t(aLine.size()), stderr);
    std::fflush(stderr);
    if (inType == QtFatalMsg)
        std::abort();
}
