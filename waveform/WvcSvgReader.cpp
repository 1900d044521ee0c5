#include "WvcSvgReader.h"

#include "Package.h"
#include "WaveformQuery.h"
#include "WaveformSvg.h"

#include <QDebug>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

// About 1024 points are drawn; a header whose duration is far too short
// (damaged or hostile) would otherwise make one point per level step of a
// file of any size.
constexpr quint32 cnMaxPoints = 16 * 1024;

} // namespace

WvcSvgReader::WvcSvgReader(Package* ipPackage, const QString& isPath, const QString& isQuery)
    : maBackgroundColour(WaveformSvg::colour(238, 238, 238, 1.0))
    , maColour{WaveformSvg::colour(153, 187, 232, 1.0), WaveformSvg::colour(136, 136, 136, 1.0)}
{
    setLogLevel(DEB);
    reset();

    const WaveformQuery aQuery = WaveformQuery::parse(isQuery, true);
    if (aQuery.bNotch)
        setNotchFilter(uint32_t(std::max(aQuery.nNotchFrequency, 0)), aQuery.fQFactor);
    if (aQuery.bBalance) {
        const float fBase = aQuery.bAmplify ? aQuery.fAmplifyRatio : 1.0f;
        float fRatio[2] = {fBase, fBase};
        if (aQuery.nBalance > 0)
            fRatio[0] = fBase - aQuery.nBalance * fBase / 100;
        else if (aQuery.nBalance < 0)
            fRatio[1] = fBase - std::abs(aQuery.nBalance) * fBase / 100;
        setAmplify(0, fRatio[0]);
        setAmplify(1, fRatio[1]);
    } else if (aQuery.bAmplify) {
        setAmplify(0, aQuery.fAmplifyRatio);
        setAmplify(1, aQuery.fAmplifyRatio);
    }
    if (aQuery.bZoom)
        setZoomSegment(aQuery.nZoomStart, aQuery.nZoomEnd);

    const QString sPassword = ipPackage->wvcPassword();
    if (!sPassword.isEmpty())
        setPassword(sPassword.toStdString());
    if (!maMember.open(*ipPackage, isPath)) {
        qCritical() << "Error opening WVC file for svg generation: " << -1;
        return;
    }
    const int nResult = open(uint64_t(maMember.size()), false);
    if (nResult != 0) {
        qCritical() << "Error opening WVC file for svg generation: " << nResult;
        return;
    }
    mbOpened = true;
}

WvcSvgReader::~WvcSvgReader() = default;

int WvcSvgReader::generateSvg(QTextStream& irStream)
{
    if (!mbOpened)
        return -1;
    const int nResult = decodeAll(true);
    close();
    mbOpened = false;
    if (nResult != 0) {
        qWarning() << "Error processing wvc: " << nResult << ", could not generate svg.";
        return nResult;
    }
    const QByteArray aSvg =
        channelCount() == 2
            ? WaveformSvg::document(mnLevelCounter,
                                    {{maUpper[0], maLower[0], maColour[0]}, {maUpper[1], maLower[1], maColour[1]}}, true)
            : WaveformSvg::document(mnLevelCounter, {{maUpper[0], maLower[0], maColour[0]}}, true);
    irStream << QLatin1String(aSvg);
    return 0;
}

void WvcSvgReader::headerCallback()
{
    const int64_t nFrame = frameDuration();
    const int64_t nCount = nFrame > 0 ? duration() / nFrame : 0;
    mnScaleDownFactor = nCount < 1024 ? 1 : quint32(std::min<int64_t>(std::llround(nCount / 1024.0), UINT32_MAX));
    qDebug() << "headerCallback, mnScaleDownFactor: " << mnScaleDownFactor;
}

int WvcSvgReader::levelCallback(int64_t, const uint8_t* ipLevels, int inCount)
{
    const int nChannels = channelCount() == 2 ? 2 : 1;
    const quint32 nFactor = std::max<quint32>(mnScaleDownFactor, 1);
    int aMax[2] = {0, 0};
    for (int nStep = 0; nStep + nChannels <= inCount; nStep += nChannels) {
        for (int c = 0; c < nChannels; ++c)
            aMax[c] = std::max<int>(aMax[c], ipLevels[nStep + c]);
        if (mnLevelCounter % nFactor == 0 && mnPoints < cnMaxPoints) {
            if (++mnPoints == cnMaxPoints)
                qWarning() << "Recording has more level steps than its duration announces; the waveform stops after"
                           << cnMaxPoints << "points";
            const QByteArray aX = QByteArray::number(mnLevelCounter);
            for (int c = 0; c < nChannels; ++c) {
                maUpper[c] += aX + ',' + QByteArray::number(256 - aMax[c]) + ' ';
                maLower[c] += aX + ',' + QByteArray::number(256 + aMax[c]) + ' ';
                aMax[c] = 0;
            }
        }
        ++mnLevelCounter;
    }
    return 1;
}

int WvcSvgReader::readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead)
{
    irnBytesRead = 0;
    const qint64 nRead = maMember.read(reinterpret_cast<char*>(ipBuffer), inLength);
    // A package file that ends inside the member is the end of the data.
    if (nRead <= 0)
        return -1;
    irnBytesRead = uint32_t(nRead);
    return 0;
}

int WvcSvgReader::seekCallback(int64_t inOffset, int inOrigin)
{
    qDebug() << "seekCallback, byte offset: " << inOffset;
    // From the end as well: a recording whose header gives no duration has
    // it found in its last pages, and the drawing needs it to reduce.
    int64_t nTarget;
    if (inOrigin == 0) {
        nTarget = inOffset;
    } else if (inOrigin == 2) {
        nTarget = maMember.size() + inOffset;
    } else {
        qCritical() << "invalid seek request: " << inOrigin;
        return WVC::WVC_SEEK_ERROR;
    }
    if (!maMember.seek(nTarget)) {
        qCritical() << "invalid seek request: " << inOrigin;
        return WVC::WVC_SEEK_ERROR;
    }
    return WVC::WVC_OK;
}

void WvcSvgReader::log(int32_t inLevel, const std::string& isMessage)
{
    const QString sMessage = QString::fromStdString(isMessage);
    switch (inLevel) {
    case TRC:
        break;
    case DEB:
        qDebug().noquote() << sMessage;
        break;
    case INF:
        qInfo().noquote() << sMessage;
        break;
    case WRN:
        qWarning().noquote() << sMessage;
        break;
    case ERR:
        qCritical().noquote() << sMessage;
        break;
    default:
        qWarning().noquote() << "ERROR: unknown log level" << sMessage;
        break;
    }
}
