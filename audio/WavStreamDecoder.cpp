#include "WavStreamDecoder.h"

#include "Amplify.h"
#include "AudioFormat.h"
#include "BiquadFilter.h"
#include "MemberStream.h"
#include "Package.h"
#include "QByteArraySink.h"
#include "WavReader.h"

#include <QDebug>

namespace {
// Rates above this are not played (the block sizes are made for 8 and 16 kHz).
constexpr int cnMaxSampleRate = 16000;
constexpr int cnBlockPer8k = 1280;
// Decoded bytes taken from the member per step.
constexpr int cnDecodeStep = 64 * 1024;
// Samples already played that are kept for a short seek back.
constexpr qint64 cnKeptBehind = 1024 * 1024;
}

WavStreamDecoder::WavStreamDecoder(QObject* ipPlayer, Package* ipPackage, const QString& isFilename,
                                   QBuffer* ipBuffer, QMutex* ipMutex, AudioFormat* ipFormat)
    : mpPackage(ipPackage)
    , mpAudioFormat(ipFormat)
    , mpDecodedAudioBuffer(ipBuffer)
    , mpBufferMutex(ipMutex)
    , msFilename(isFilename)
    , maControl(ipBuffer, ipMutex)
    , maPlayback(ipBuffer, ipMutex, &maControl)
{
    Q_UNUSED(ipPlayer)
}

WavStreamDecoder::~WavStreamDecoder()
{
    // Never destroy a running thread: the owner joins first, this is a guard.
    if (isRunning()) {
        stop();
        wait();
    }
    if (maWavSamples.isOpen()) {
        maWavSamples.buffer().clear();
        maWavSamples.close();
        qDebug() << "maWavSamples cleared and closed";
    }
}

void WavStreamDecoder::addNotchFilter(int inFrequency, float ifQ)
{
    maNotchRequests.append({ maEffects.count(), inFrequency, ifQ });
    maEffects.add(new WVC::BiquadFilter());
}

void WavStreamDecoder::addAmplify(float ifRatio)
{
    auto* pAmplify = new WVC::Amplify();
    pAmplify->setRatio(ifRatio);
    maEffects.add(pAmplify);
    qInfo() << "Initialized amplify effect with ratio=" << ifRatio;
}

int WavStreamDecoder::open()
{
    // The format of an earlier recording must not pass for this one's.
    *mpAudioFormat = AudioFormat();
    maWavSamples.buffer().clear();
    maWavSamples.open(QIODevice::ReadWrite);
    mnWindowStart = 0;
    mbAllDecoded = false;
    int nResult = -1;
    // The member arrives as stored (header included) and passes through a
    // WAV reader of our own, which fills the format and keeps the samples.
    mpMember = mpPackage->openMemberStream(msFilename);
    if (mpMember) {
        mpWavReader.reset(new WavReader(new QByteArraySink(maWavSamples.buffer()), mpAudioFormat));
        nResult = 0;
        // Up to the header and a few blocks of samples.
        while ((mpAudioFormat->codec().isEmpty() || maWavSamples.size() < cnDecodeStep)
               && decodeUpTo(maWavSamples.size() + 1)) {
        }
        if (mbDamaged)
            nResult = -1;
    }
    qDebug() << "size of PCM wav samples: " << maWavSamples.size();

    // The WAV reader rejects what it cannot play by forwarding nothing; the
    // read itself still succeeds. A format it did not complete is a failure.
    const bool bUsable = mpAudioFormat->codec() == QLatin1String("audio/pcm") && mpAudioFormat->sampleRate() > 0
        && mpAudioFormat->channelCount() == 1
        && (mpAudioFormat->sampleSize() == 8 || mpAudioFormat->sampleSize() == 16);
    if (nResult == 0 && !bUsable)
        nResult = -1;

    if (mbZoom) {
        mpAudioFormat->duration = quint64(qMax<qint64>(0, mnZoomEnd - mnZoomStart));
        mpAudioFormat->numSamples = mpAudioFormat->duration * quint64(qMax(0, mpAudioFormat->sampleRate())) / 1000;
    }
    if (nResult != 0) {
        qWarning() << "Error processing wav file: " << nResult;
        return nResult;
    }

    for (const NotchRequest& rRequest : qAsConst(maNotchRequests)) {
        const double fRatio = double(rRequest.nFrequency) / mpAudioFormat->sampleRate();
        static_cast<WVC::BiquadFilter*>(maEffects.at(rRequest.nEffect))->setup(fRatio, rRequest.fQ);
        qInfo() << "Initialized notch filter with frequency=" << rRequest.nFrequency << " and Q=" << rRequest.fQ
                << " and ratio=" << fRatio;
    }

    emit headerReady();
    if (mbZoom)
        maControl.requestSeek(mnZoomStart);
    return 0;
}

void WavStreamDecoder::stop()
{
    maControl.mbStopRequested = true;
}

void WavStreamDecoder::seek(qlonglong inPosition)
{
    maControl.mbEndOfData = false;
    maControl.requestSeek(inPosition + (mbZoom ? mnZoomStart : 0));
}

void WavStreamDecoder::seekAbsolute(qlonglong inPosition)
{
    maControl.mbEndOfData = false;
    maControl.requestSeek(inPosition);
}

void WavStreamDecoder::suspend()
{
    maControl.mbSuspended = true;
}

void WavStreamDecoder::resume()
{
    maControl.mbSuspended = false;
}

void WavStreamDecoder::setZoom(qlonglong inStartPosition, qlonglong inEndPosition)
{
    mnZoomStart = inStartPosition;
    mnZoomEnd = inEndPosition;
    mbZoom = true;
}

bool WavStreamDecoder::decodeUpTo(qint64 inBytes, bool ibSkip)
{
    while (mpMember && !mbAllDecoded && mnWindowStart + maWavSamples.size() < inBytes) {
        if (mpMember->pendingSize() == 0 && mpMember->ended()) {
            mpWavReader->MessageEnd();
            mbAllDecoded = true; // the stream stays for a rewind
            break;
        }
        const bool bGood = mpMember->fill(cnDecodeStep);
        const QByteArray aPiece = mpMember->take(cnDecodeStep * 2);
        try {
            mpWavReader->Put(reinterpret_cast<const CryptoPP::byte*>(aPiece.constData()), size_t(aPiece.size()));
        } catch (const std::exception& e) {
            qWarning() << "Error processing wav file: " << e.what();
            mbDamaged = true;
            mpMember.reset();
            return false;
        }
        if (!bGood) {
            qWarning() << "Error processing wav file: " << -1;
            mbDamaged = true;
            mpMember.reset();
            return false;
        }
        // A seek far ahead passes over what lies before its target.
        if (ibSkip)
            dropBefore(inBytes - cnDecodeStep);
    }
    return mnWindowStart + maWavSamples.size() >= inBytes;
}

void WavStreamDecoder::dropBefore(qint64 inBytes)
{
    const qint64 nDrop = qMin<qint64>(inBytes - mnWindowStart, maWavSamples.size());
    if (nDrop <= 0)
        return;
    const qint64 nPosition = qMax<qint64>(0, maWavSamples.pos() - nDrop);
    maWavSamples.buffer().remove(0, int(nDrop));
    mnWindowStart += nDrop;
    maWavSamples.seek(nPosition);
}

bool WavStreamDecoder::rewind()
{
    if (!mpMember || !mpMember->rewind()) {
        mbDamaged = true;
        mpMember.reset();
        return false;
    }
    // The header is read again; its format is known already and stays.
    mpWavReader.reset();
    maWavSamples.buffer().clear();
    maWavSamples.seek(0);
    mpWavReader.reset(new WavReader(new QByteArraySink(maWavSamples.buffer()), &maRewindFormat));
    mnWindowStart = 0;
    mbAllDecoded = false;
    return true;
}

void WavStreamDecoder::seekTo(qint64 inPosition)
{
    qDebug() << "Seeking to position: " << inPosition << " ms";
    const qint64 nBytesPerSample = mpAudioFormat->sampleSize() / 8;
    const qint64 nOffset = (mpAudioFormat->sampleRate() * inPosition / 1000) * mpAudioFormat->channelCount()
        * nBytesPerSample;
    qDebug() << "Seeking to byte offset:" << nOffset;
    // Only a window of the samples is held: back before it, the member is
    // decoded again from its start.
    if (nOffset < mnWindowStart && !rewind())
        return;
    decodeUpTo(nOffset, true);
    maWavSamples.seek(qBound<qint64>(0, nOffset - mnWindowStart, maWavSamples.size()));
    mnCurrentPosition = inPosition;
    mnLastLoggedPosition = inPosition;
}

bool WavStreamDecoder::loopAtEnd()
{
    if (!maPlayback.endOfData())
        return false;
    seekTo(mbZoom ? mnZoomStart : 0);
    return true;
}

void WavStreamDecoder::run()
{
    const int nRate = mpAudioFormat->sampleRate();
    if (nRate > cnMaxSampleRate) {
        qCritical() << "Sample rate not supported";
        maControl.mbEndOfData = true;
        return;
    }
    const int nBytesPerSample = qMax(1, mpAudioFormat->sampleSize() / 8);
    const int nChannels = qMax(1, mpAudioFormat->channelCount());
    const int nBlockSize = nRate / 8000 * cnBlockPer8k;
    const qint64 nZoomEndByte = qint64(nRate) * mnZoomEnd / 1000 * nChannels * nBytesPerSample;
    QByteArray aBlock(qMax(1, nBlockSize), Qt::Uninitialized);

    // The stop flag is not cleared here: a stop that comes before the
    // thread gets going (an unload right after the load) must still end it,
    // or the unload waits for it forever.
    maControl.mbEndOfData = false;
    maPlayback.setFormat(nChannels, nRate, nBytesPerSample);
    bool bEndOfFile = false;
    quint64 nIteration = 0;
    while (!maControl.mbStopRequested) {
        ++nIteration;
        if (maControl.mbSuspended) {
            if (nIteration % 100 == 0)
                qDebug() << "Paused...";
            maControl.nap(100, [this] { return !maControl.mbSuspended; });
            continue;
        }
        qint64 nTarget = 0;
        if (maControl.takeSeek(nTarget)) {
            bEndOfFile = false;
            maControl.mbEndOfData = false;
            seekTo(nTarget);
            maPlayback.restart();
            if (mbDamaged) {
                maControl.mbFailed = true;
                maControl.mbEndOfData = true;
                break;
            }
        }
        if (!maControl.isFull()) {
            if (bEndOfFile && loopAtEnd()) // the loop was switched on at the end
                bEndOfFile = false;
            if (bEndOfFile) {
                maControl.mbEndOfData = !maControl.mbSeekRequested;
                maControl.nap(1000);
                continue;
            }
            // What was played long enough ago is let go: memory stays flat
            // however long the recording.
            if (maWavSamples.pos() > cnKeptBehind)
                dropBefore(mnWindowStart + maWavSamples.pos() - cnKeptBehind / 2);
            const qint64 nStart = mnWindowStart + maWavSamples.pos();
            decodeUpTo(nStart + nBlockSize);
            if (mbDamaged) {
                // What was decoded before the damage is not the recording's end.
                maControl.mbFailed = true;
                maControl.mbEndOfData = true;
                break;
            }
            qint64 nBytes = maWavSamples.read(aBlock.data(), nBlockSize);
            // The segment ends at its own sample, not at the block's end.
            if (mbZoom && nBytes > 0 && nStart + nBytes > nZoomEndByte)
                nBytes = qMax<qint64>(0, nZoomEndByte - nStart);
            if (nBytes <= 0) {
                qDebug() << "END_OF_FILE reached";
                bEndOfFile = !loopAtEnd();
                continue;
            }
            if (nBytesPerSample == 2)
                maEffects.process(reinterpret_cast<qint16*>(aBlock.data()), int(nBytes / 2));
            else
                maEffects.process(reinterpret_cast<quint8*>(aBlock.data()), int(nBytes));
            if (!maPlayback.append(aBlock.constData(), int(nBytes), nStart / (nBytesPerSample * nChannels)))
                continue; // a seek came in; this block belongs before its target
            mnCurrentPosition += nBytes / nBytesPerSample / nChannels / qMax(1, nRate / 1000);
            if (mnCurrentPosition - mnLastLoggedPosition >= 1000) {
                qDebug() << "Current position: " << mnCurrentPosition << " ms";
                mnLastLoggedPosition = mnCurrentPosition;
            }
            if (mbZoom && (mnCurrentPosition >= mnZoomEnd || mnWindowStart + maWavSamples.pos() >= nZoomEndByte)) {
                qDebug() << "End of zoom segment reached";
                bEndOfFile = !loopAtEnd();
            }
        } else {
            if (nIteration % 100 == 0)
                qDebug() << "Buffer full...";
            maControl.nap(100, [this] { return !maControl.isFull(); });
        }
    }
    qDebug() << "WavStreamDecoder thread stopping";
}
