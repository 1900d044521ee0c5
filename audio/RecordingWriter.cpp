#include "RecordingWriter.h"

#include "AudioFormat.h"
#include "Decoder.h"
#include "MemberRange.h"
#include "MemberStream.h"
#include "Package.h"
#include "QByteArraySink.h"
#include "WavReader.h"

#include <QFileDevice>
#include <QtEndian>

#include <cerrno>

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
    WvcFileDecoder(RecordingWriter& irWriter, QIODevice* ipTarget)
        : mrWriter(irWriter)
        , mpTarget(ipTarget)
    {
    }

    // The member's bytes through the reader that checks the package file
    // has not changed since it was opened.
    bool openMember(const Package& irPackage, const QString& isMember) { return maMember.open(irPackage, isMember); }
    qint64 bytesRead() const { return maMember.position(); }
    bool mbWriteFailed = false;

    int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override
    {
        irnBytesRead = 0;
        const qint64 nRead = maMember.read(reinterpret_cast<char*>(ipBuffer), inLength);
        if (nRead == 0)
            return -1;
        if (nRead < 0)
            return WVC::WVC_READ_ERROR;
        irnBytesRead = uint32_t(nRead);
        return 0;
    }
    int seekCallback(int64_t inOffset, int inOrigin) override
    {
        if (inOrigin == 0)
            return maMember.seek(inOffset) ? 0 : WVC::WVC_SEEK_ERROR;
        if (inOrigin == 2 && inOffset <= 0)
            return maMember.seek(maMember.size() + inOffset) ? 0 : WVC::WVC_SEEK_ERROR;
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
    MemberRange maMember;
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

bool RecordingWriter::failWrite(QIODevice* ipTarget)
{
    mbWriteFailed = true;
    // A full disk can shorten a write without an error of the device.
    const QString sError = ipTarget->errorString();
    return fail(sError.isEmpty() || sError == QLatin1String("Unknown error") ? qt_error_string(ENOSPC) : sError);
}

bool RecordingWriter::write(QIODevice* ipTarget, const Progress& irProgress)
{
    msError.clear();
    mbCancelled = false;
    mbWriteFailed = false;
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
        return failWrite(ipTarget);
    return true;
}

bool RecordingWriter::finishHeader(QIODevice* ipTarget)
{
    const quint32 nData = quint32(mnFrames * mnChannels * 2);
    // Every byte handed over must be in the file before the sizes say so.
    if (auto* pFile = qobject_cast<QFileDevice*>(ipTarget)) {
        if (!pFile->flush() || pFile->size() != cnWavHeaderSize + qint64(nData))
            return failWrite(ipTarget);
    }
    if (!ipTarget->seek(4) || ipTarget->write(le32(nData + 36)) != 4 || !ipTarget->seek(40)
        || ipTarget->write(le32(nData)) != 4)
        return failWrite(ipTarget);
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
        return failWrite(ipTarget);
    mnFrames += inFrames;
    return true;
}

bool RecordingWriter::writeWvc(QIODevice* ipTarget, const Progress& irProgress)
{
    const qint64 nSize = mpPackage->entryStoredSize(msMember);
    WvcFileDecoder aDecoder(*this, ipTarget);
    if (!mpPackage->wvcPassword().isEmpty())
        aDecoder.setPassword(mpPackage->wvcPassword().toStdString());
    if (!aDecoder.openMember(*mpPackage, msMember) || aDecoder.open(uint64_t(nSize), false) != 0)
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
