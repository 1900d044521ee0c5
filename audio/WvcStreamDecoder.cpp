#include "WvcStreamDecoder.h"

#include "AudioFormat.h"
#include "Package.h"

#include <QDebug>

namespace {
constexpr uint32_t cnChunkSize = 32768;
}

WvcStreamDecoder::WvcStreamDecoder(QObject* ipPlayer, Package* ipPackage, const QString& isFilename,
                                   QBuffer* ipBuffer, QMutex* ipMutex, AudioFormat* ipFormat)
    : mpAudioFormat(ipFormat)
    , mpDecodedAudioBuffer(ipBuffer)
    , mpBufferMutex(ipMutex)
    , mpPackage(ipPackage)
    , msFilename(isFilename)
    , maControl(ipBuffer, ipMutex)
    , maInterleaved(2 * WVC::kMaxFrameSamples)
    , maPlayback(ipBuffer, ipMutex, &maControl)
{
    Q_UNUSED(ipPlayer)
    setLogLevel(1000);
    msPassword = ipPackage->wvcPassword();
}

WvcStreamDecoder::~WvcStreamDecoder()
{
    if (isRunning()) {
        stop();
        wait();
    }
}

int WvcStreamDecoder::open()
{
    int nResult = WVC::WVC_READ_ERROR;
    // A path that is not in the package has no entry to read from.
    if (maMember.open(*mpPackage, msFilename)) {
        if (!msPassword.isEmpty())
            setPassword(msPassword.toStdString());
        nResult = WVC::Decoder::open(uint64_t(maMember.size()), false);
    }
    if (nResult != 0) {
        qWarning() << "Error opening WVC file: " << nResult;
        return -1;
    }
    qDebug() << "Opened " << msFilename;
    return 0;
}

void WvcStreamDecoder::stop()
{
    maControl.mbStopRequested = true;
}

void WvcStreamDecoder::seek(qlonglong inPosition)
{
    maControl.mbEndOfData = false;
    maControl.requestSeek(inPosition + (mbZoom ? mnZoomStart : 0));
}

void WvcStreamDecoder::seekAbsolute(qlonglong inPosition)
{
    maControl.mbEndOfData = false;
    maControl.requestSeek(inPosition);
}

void WvcStreamDecoder::suspend()
{
    maControl.mbSuspended = true;
}

void WvcStreamDecoder::resume()
{
    maControl.mbSuspended = false;
}

void WvcStreamDecoder::setZoom(qlonglong inStartPosition, qlonglong inEndPosition)
{
    mnZoomStart = inStartPosition;
    mnZoomEnd = inEndPosition;
    mbZoom = true;
    setZoomSegment(inStartPosition, inEndPosition);
}

void WvcStreamDecoder::run()
{
    // The stop flag is not cleared here: a stop that comes before the
    // thread gets going (an unload right after the load) must still end it,
    // or the unload waits for it forever.
    maControl.mbEndOfData = false;
    maPlayback.setFormat(int(channelCount()), int(sampleRate()), 2);
    // A loop starts the segment (or the recording) over where it ends.
    const qint64 nLoopStart = mbZoom ? mnZoomStart : 0;
    bool bEndOfFile = false;
    quint64 nIteration = 0;
    while (!maControl.mbStopRequested) {
        ++nIteration;
        qint64 nTarget = 0;
        if (maControl.takeSeek(nTarget)) {
            qDebug() << "Seeking to position: " << nTarget << " ms";
            const int nResult = WVC::Decoder::seek(nTarget, true);
            if (nResult != 0)
                qWarning() << "Could not seek: " << nResult;
            bEndOfFile = false;
            maControl.mbEndOfData = false;
            mnLastLoggedPosition = nTarget;
            maPlayback.restart();
        }
        if (maControl.mbSuspended) {
            if (nIteration % 100 == 0)
                qDebug() << "Paused...";
            maControl.nap(250, [this] { return !maControl.mbSuspended; });
        } else if (maControl.isFull()) {
            if (nIteration % 100 == 0)
                qDebug() << "Buffer full...";
            maControl.nap(500, [this] { return !maControl.isFull(); });
        } else if (bEndOfFile && maPlayback.endOfData()) {
            WVC::Decoder::seek(nLoopStart, true); // the loop was switched on at the end
            bEndOfFile = false;
        } else if (bEndOfFile) {
            // Said once: the thread idles here until a seek or stop.
            if (!maControl.mbEndOfData.exchange(!maControl.mbSeekRequested))
                qDebug() << "EOF...";
            maControl.nap(250);
        } else {
            const int nResult = decodeChunk(false, cnChunkSize);
            if (nResult == WVC::WVC_MORE_DATA)
                continue;
            if (nResult == WVC::WVC_END_OF_FILE) {
                qDebug() << "WVC_END_OF_FILE reached";
                if (maPlayback.endOfData())
                    WVC::Decoder::seek(nLoopStart, true);
                else
                    bEndOfFile = true;
            } else if (maControl.mbStopRequested) {
                break;
            } else {
                qWarning() << "Error processing wvc frame: " << nResult;
                maControl.mbFailed = true;
                maControl.mbEndOfData = true;
                maControl.mbStopRequested = true;
            }
        }
    }
    qDebug() << "WvcStreamDecoder thread stopping";
    close();
}

void WvcStreamDecoder::log(int32_t inLevel, const std::string& isMessage)
{
    const QString sMessage = QString::fromStdString(isMessage);
    switch (inLevel) {
    case 320:
        break;
    case 1000:
        qDebug().noquote() << sMessage;
        break;
    case 2000:
        qInfo().noquote() << sMessage;
        break;
    case 3000:
        qWarning().noquote() << sMessage;
        break;
    case 4000:
        qCritical().noquote() << sMessage;
        break;
    default:
        qWarning().noquote() << "ERROR: unknown log level" << sMessage;
        break;
    }
}

int WvcStreamDecoder::pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount,
                                  const int16_t* ipRight, int inRightCount)
{
    if (maControl.mbSeekRequested)
        return 1;
    if (maControl.mbStopRequested)
        return 0;
    const int nCount = qBound(0, inLeftCount, WVC::kMaxFrameSamples);
    const char* pBytes = reinterpret_cast<const char*>(ipLeft);
    int nBytes = nCount * 2;
    if (channelCount() == 2) {
        // A missing right frame plays as silence beside the left one.
        const int nRight = ipRight ? qBound(0, inRightCount, nCount) : 0;
        for (int i = 0; i < nCount; ++i) {
            maInterleaved[size_t(2 * i)] = ipLeft[i];
            maInterleaved[size_t(2 * i + 1)] = i < nRight ? ipRight[i] : 0;
        }
        pBytes = reinterpret_cast<const char*>(maInterleaved.data());
        nBytes = nCount * 4;
    }
    // Samples are little-endian in memory on every platform we build for.
    // A frame's position is the time at its end.
    maPlayback.append(pBytes, nBytes, qMax<qint64>(0, inPosition * qint64(sampleRate()) / 1000 - samplesPerFrame()));
    if (inPosition - mnLastLoggedPosition >= 1000) {
        qDebug() << "Current position: " << inPosition << " ms";
        mnLastLoggedPosition = inPosition;
    }
    return 1;
}

int WvcStreamDecoder::readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead)
{
    irnBytesRead = 0;
    const qint64 nRead = maMember.read(reinterpret_cast<char*>(ipBuffer), inLength);
    if (nRead == 0)
        return -1;
    if (nRead < 0)
        return WVC::WVC_READ_ERROR; // the package file ends before its entry
    irnBytesRead = uint32_t(nRead);
    return 0;
}

int WvcStreamDecoder::seekCallback(int64_t inOffset, int inOrigin)
{
    qDebug() << "seekCallback, byte offset: " << qint64(inOffset);
    if (inOrigin == 0)
        return maMember.seek(inOffset) ? 0 : WVC::WVC_SEEK_ERROR;
    // From the end: the decoder reads the tail of recordings whose header
    // does not carry their duration.
    if (inOrigin == 2 && inOffset <= 0)
        return maMember.seek(maMember.size() + inOffset) ? 0 : WVC::WVC_SEEK_ERROR;
    qCritical() << "invalid seek request: " << inOrigin;
    return WVC::WVC_SEEK_ERROR;
}

void WvcStreamDecoder::headerCallback()
{
    mpAudioFormat->setByteOrder(QAudioFormat::LittleEndian);
    mpAudioFormat->setCodec(QStringLiteral("audio/pcm"));
    mpAudioFormat->setSampleSize(16);
    mpAudioFormat->setSampleType(QAudioFormat::SignedInt);
    mpAudioFormat->setChannelCount(int(channelCount()));
    mpAudioFormat->setSampleRate(int(sampleRate()));
    mpAudioFormat->duration = quint64(qMax<int64_t>(0, duration()));
    emit headerReady();
    if (mbZoom)
        maControl.requestSeek(mnZoomStart);
}
