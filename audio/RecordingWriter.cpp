#include "RecordingWriter.h"

#include "AudioFormat.h"
#include "Decoder.h"
#include "MemberStream.h"
#include "Package.h"
#include "QByteArraySink.h"
#include "WavReader.h"

#include <QFile>
#include <QtEndian>

#include <vector>

namespace {
constexpr int cnWavHeaderSize = 44;
constexpr int cnDecodeStep = 64 * 1024;
constexpr uint32_t cnChunkSize = 32768;

QByteArray le32(quint32 inValue)
{
    QByteArray a(4, Qt::Uninitialized);
    qToLittleEndian(inValue, a.data());
    return a;
}

QByteArray le16(quint16 inValue)
{
    QByteArray a(2, Qt::Uninitialized);
    qToLittleEndian(inValue, a.data());
    return a;
}
} // namespace

// The WVC decoder over the member's bytes in the package file; hands each
// frame pair on to the writer.
class WvcFileDecoder : public WVC::Decoder
{
public:
    WvcFileDecoder(RecordingWriter& irWriter, QIODevice* ipTarget, const QString& isPackage, qint64 inOffset,
                   qint64 inSize)
        : mrWriter(irWriter)
        , mpTarget(ipTarget)
        , mnOffset(inOffset)
        , mnSize(inSize)
    {
        maFile.setFileName(isPackage);
    }

    bool openFile() { return mnOffset >= 0 && mnSize >= 0 && maFile.open(QIODevice::ReadOnly) && maFile.seek(mnOffset); }
    qint64 bytesRead() const { return maFile.pos() - mnOffset; }
    bool mbWriteFailed = false;

    int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override
    {
        irnBytesRead = 0;
        const qint64 nLeft = mnOffset + mnSize - maFile.pos();
        if (nLeft <= 0)
            return -1;
        const qint64 nRead = maFile.read(reinterpret_cast<char*>(ipBuffer), qMin<qint64>(nLeft, inLength));
        if (nRead <= 0)
            return WVC::WVC_READ_ERROR;
        irnBytesRead = uint32_t(nRead);
        return 0;
    }
    int seekCallback(int64_t inOffset, int inOrigin) override
    {
        if (inOrigin == 0 && inOffset >= 0 && inOffset <= mnSize)
            return maFile.seek(mnOffset + inOffset) ? 0 : WVC::WVC_SEEK_ERROR;
        if (inOrigin == 2 && inOffset <= 0 && -inOffset <= mnSize)
            return maFile.seek(mnOffset + mnSize + inOffset) ? 0 : WVC::WVC_SEEK_ERROR;
        return WVC::WVC_SEEK_ERROR;
    }
    int pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                    int inRightCount) override
    {
        const int nCount = qBound(0, inLeftCount, WVC::kMaxFrameSamples);
        const int nChannels = int(channelCount()) == 2 ? 2 : 1;
        maFrame.resize(size_t(nCount * nChannels));
        if (nChannels == 2) {
            // A missing right frame is silence beside the left one, as in playback.
            const int nRight = ipRight ? qBound(0, inRightCount, nCount) : 0;
            for (int i = 0; i < nCount; ++i) {
                maFrame[size_t(2 * i)] = ipLeft[i];
                maFrame[size_t(2 * i + 1)] = i < nRight ? ipRight[i] : 0;
            }
        } else {
            std::copy(ipLeft, ipLeft + nCount, maFrame.begin());
        }
        // A frame's position is the time at its end.
        const qint64 nFirst = qMax<qint64>(0, inPosition * qint64(sampleRate()) / 1000 - samplesPerFrame());
        if (!mrWriter.put(mpTarget, maFrame.data(), nCount, nFirst)) {
            mbWriteFailed = true;
            return 0;
        }
        return 1;
    }
    void log(int32_t, const std::string&) override {}

private:
    RecordingWriter& mrWriter;
    QIODevice* mpTarget;
    QFile maFile;
    qint64 mnOffset;
    qint64 mnSize;
    std::vector<qint16> maFrame;
};

RecordingWriter::RecordingWriter(Package* ipPackage, const QString& isMember)
    : mpPackage(ipPackage)
    , msMember(isMember)
{
}

bool RecordingWriter::fail(const QString& isError)
{
    msError = isError;
    return false;
}

bool RecordingWriter::write(QIODevice* ipTarget, const Progress& irProgress)
{
    msError.clear();
    mbCancelled = false;
    mnFrames = 0;
    if (msMember.endsWith(QLatin1String(".wvc"), Qt::CaseInsensitive))
        return writeWvc(ipTarget, irProgress);
    return writeWav(ipTarget, irProgress);
}

bool RecordingWriter::writeHeader(QIODevice* ipTarget, int inChannels, int inRate)
{
    mnChannels = inChannels;
    maRedaction = RedactionStage(maSpans, mnFill, inRate, inChannels);
    // The sizes are filled in once the data has been written.
    const QByteArray aHeader = QByteArray("RIFF") + le32(36) + "WAVE" + "fmt " + le32(16) + le16(1)
        + le16(quint16(inChannels)) + le32(quint32(inRate)) + le32(quint32(inChannels * inRate * 2))
        + le16(quint16(inChannels * 2)) + le16(16) + "data" + le32(0);
    if (ipTarget->write(aHeader) != aHeader.size())
        return fail(ipTarget->errorString());
    return true;
}

bool RecordingWriter::finishHeader(QIODevice* ipTarget)
{
    const quint32 nData = quint32(mnFrames * mnChannels * 2);
    if (!ipTarget->seek(4) || ipTarget->write(le32(nData + 36)) != 4 || !ipTarget->seek(40)
        || ipTarget->write(le32(nData)) != 4)
        return fail(ipTarget->errorString());
    return true;
}

bool RecordingWriter::put(QIODevice* ipTarget, qint16* ipSamples, int inFrames, qint64 inFirstFrame)
{
    if (inFrames <= 0)
        return true;
    maRedaction.process(ipSamples, inFrames, inFirstFrame);
    const qint64 nBytes = qint64(inFrames) * mnChannels * 2;
    // Samples are little-endian in memory on every platform we build for.
    if (ipTarget->write(reinterpret_cast<const char*>(ipSamples), nBytes) != nBytes)
        return fail(ipTarget->errorString());
    mnFrames += inFrames;
    return true;
}

bool RecordingWriter::writeWvc(QIODevice* ipTarget, const Progress& irProgress)
{
    const qint64 nSize = mpPackage->entryStoredSize(msMember);
    WvcFileDecoder aDecoder(*this, ipTarget, mpPackage->packageFileName(), mpPackage->entryOffset(msMember), nSize);
    if (!mpPackage->wvcPassword().isEmpty())
        aDecoder.setPassword(mpPackage->wvcPassword().toStdString());
    if (!aDecoder.openFile() || aDecoder.open(uint64_t(nSize), false) != 0)
        return fail(QStringLiteral("could not open the recording"));
    if (!writeHeader(ipTarget, int(aDecoder.channelCount()) == 2 ? 2 : 1, int(aDecoder.sampleRate())))
        return false;
    for (;;) {
        const int nResult = aDecoder.decodeChunk(false, cnChunkSize);
        if (aDecoder.mbWriteFailed)
            return false;
        if (nResult == WVC::WVC_END_OF_FILE)
            break;
        if (nResult != WVC::WVC_MORE_DATA)
            return fail(QStringLiteral("damaged recording (%1)").arg(nResult));
        if (irProgress && !irProgress(nSize > 0 ? double(aDecoder.bytesRead()) / double(nSize) : 0.0)) {
            mbCancelled = true;
            return false;
        }
    }
    aDecoder.close();
    return finishHeader(ipTarget);
}

bool RecordingWriter::writeWav(QIODevice* ipTarget, const Progress& irProgress)
{
    std::unique_ptr<MemberStream> pMember = mpPackage->openMemberStream(msMember);
    if (!pMember)
        return fail(QStringLiteral("could not open the recording"));
    AudioFormat aFormat;
    QByteArray aPcm;
    WavReader aReader(new QByteArraySink(aPcm), &aFormat);
    const qint64 nSize = qMax<qint64>(1, mpPackage->entrySize(msMember));
    qint64 nTaken = 0;
    bool bHeader = false;
    bool bWiden = false;
    int nBytesPerFrame = 2;
    std::vector<qint16> aSamples;
    int nHeld = 0; // bytes of aPcm already taken
    for (bool bEnded = false; !bEnded;) {
        if (pMember->pendingSize() == 0 && pMember->ended()) {
            aReader.MessageEnd();
            bEnded = true;
        } else {
            const bool bGood = pMember->fill(cnDecodeStep);
            const QByteArray aPiece = pMember->take(cnDecodeStep * 2);
            nTaken += aPiece.size();
            try {
                aReader.Put(reinterpret_cast<const CryptoPP::byte*>(aPiece.constData()), size_t(aPiece.size()));
            } catch (const std::exception&) {
                return fail(QStringLiteral("damaged recording"));
            }
            if (!bGood)
                return fail(QStringLiteral("damaged recording"));
        }
        if (!bHeader && !aFormat.codec().isEmpty()) {
            if (aFormat.codec() != QLatin1String("audio/pcm") || aFormat.sampleRate() <= 0
                || aFormat.channelCount() < 1 || (aFormat.sampleSize() != 8 && aFormat.sampleSize() != 16))
                return fail(QStringLiteral("unsupported recording format"));
            bHeader = true;
            // 8-bit sources are widened to 16 bits, as a download does.
            bWiden = aFormat.sampleSize() == 8;
            nBytesPerFrame = aFormat.channelCount() * aFormat.sampleSize() / 8;
            if (!writeHeader(ipTarget, aFormat.channelCount(), aFormat.sampleRate()))
                return false;
        }
        if (!bHeader)
            continue;
        const int nFrames = (aPcm.size() - nHeld) / nBytesPerFrame;
        if (nFrames > 0) {
            const int nBytes = nFrames * nBytesPerFrame;
            const char* pIn = aPcm.constData() + nHeld;
            aSamples.resize(size_t(nFrames * mnChannels));
            if (bWiden) {
                for (size_t i = 0; i < aSamples.size(); ++i)
                    aSamples[i] = qint16((int(quint8(pIn[i])) - 128) * 256);
            } else {
                memcpy(aSamples.data(), pIn, size_t(nBytes));
            }
            if (!put(ipTarget, aSamples.data(), nFrames, mnFrames))
                return false;
            nHeld += nBytes;
            // Keep the held PCM small: memory stays flat however long the file.
            aPcm.remove(0, nHeld);
            nHeld = 0;
        }
        if (irProgress && !irProgress(qMin(1.0, double(nTaken) / double(nSize)))) {
            mbCancelled = true;
            return false;
        }
    }
    if (!bHeader)
        return fail(QStringLiteral("unsupported recording format"));
    return finishHeader(ipTarget);
}
