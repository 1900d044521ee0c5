#include "WavReader.h"

#include "AudioFormat.h"
#include "G711.h"

#include <QDebug>
#include <QtEndian>

#include <array>

namespace {

const std::array<qint16, 256>& alawTable()
{
    static const std::array<qint16, 256> aTable = [] {
        std::array<qint16, 256> aValues{};
        for (int i = 0; i < 256; ++i)
            aValues[size_t(i)] = WVC::G711::alawToLinear(uint8_t(i));
        return aValues;
    }();
    return aTable;
}

quint16 readU16(const QByteArray& irBytes, qint64 inOffset)
{
    return qFromLittleEndian<quint16>(irBytes.constData() + inOffset);
}

quint32 readU32(const QByteArray& irBytes, qint64 inOffset)
{
    return qFromLittleEndian<quint32>(irBytes.constData() + inOffset);
}

bool idIs(const QByteArray& irBytes, qint64 inOffset, const char* ipId)
{
    return memcmp(irBytes.constData() + inOffset, ipId, 4) == 0;
}

// Writers that stream (and some that fail half way) leave these in the data
// size; the samples then run to the end of the file.
bool isPlaceholderSize(quint32 inSize)
{
    return inSize == 0 || inSize == 0xFFFFFFFFu;
}

} // namespace

WavReader::WavReader(CryptoPP::BufferedTransformation* ipAttachment, AudioFormat* ipFormat)
    : mpFormat(ipFormat)
    , mbHeaderPending(ipFormat != nullptr)
{
    Detach(ipAttachment);
}

WavReader::Parse WavReader::reject(const char* ipText)
{
    qWarning() << ipText;
    mbRejected = true;
    maPending.clear();
    maPending.squeeze();
    return Parse::Rejected;
}

WavReader::Parse WavReader::parseHeader()
{
    const qint64 nSize = maPending.size();
    if (nSize < 12)
        return Parse::NeedMore;
    if (mnWalkOffset == 12 && (!idIs(maPending, 0, "RIFF") || !idIs(maPending, 8, "WAVE")))
        return reject("Not a valid WAVE file");

    // Every chunk header and field is read only once the bytes are there;
    // sizes are added in 64 bits, so no chunk size can wrap the walk around.
    while (mnWalkOffset + 8 <= nSize) {
        const qint64 nOffset = mnWalkOffset;
        const quint32 nChunkSize = readU32(maPending, nOffset + 4);
        if (idIs(maPending, nOffset, "data")) {
            if (!mbFormatChunkSeen)
                return reject("No fmt chunk before the data chunk");
            mnDataOffset = qint32(nOffset + 8);
            finishHeader(nChunkSize);
            return Parse::Done;
        }
        if (idIs(maPending, nOffset, "fmt ")) {
            const Parse eResult = parseFormatChunk(nOffset, nChunkSize);
            if (eResult != Parse::Done)
                return eResult;
            continue;
        }
        // "LIST", "fact" and anything unknown are skipped, with the pad byte
        // that follows a chunk of odd size.
        mnWalkOffset = nOffset + 8 + nChunkSize + (nChunkSize & 1);
    }
    return Parse::NeedMore;
}

WavReader::Parse WavReader::parseFormatChunk(qint64 inOffset, quint32 inSize)
{
    if (inOffset + 24 > maPending.size())
        return Parse::NeedMore;
    const quint16 nTag = readU16(maPending, inOffset + 8);
    const quint16 nChannels = readU16(maPending, inOffset + 10);
    const quint32 nRate = readU32(maPending, inOffset + 12);
    const quint16 nBits = readU16(maPending, inOffset + 22);
    mpFormat->setChannelCount(nChannels);
    mpFormat->setSampleRate(int(qMin<quint32>(nRate, INT_MAX)));
    mpFormat->setSampleSize(nBits);

    // A channel count of 0 would divide by zero downstream, like a rate of 0.
    if (nChannels != 1)
        return reject("Only mono files are supported");
    if (nTag == 1 && nBits == 8) {
        mnEncoding = Pcm8;
        qDebug() << "format:        : 8-bit PCM";
    } else if (nTag == 1 && nBits == 16) {
        mnEncoding = Pcm16;
        qDebug() << "format:        : 16-bit PCM";
    } else if (nTag == 1) {
        return reject("Only 8 and 16 bits per sample are supported");
    } else if (nTag == 6) {
        mnEncoding = ALaw;
        qDebug() << "format:        : A-law";
    } else {
        return reject("Only PCM and A-law are supported");
    }
    // The sample count divides by the stated width and the duration by the rate.
    if (nBits == 0)
        return reject("Invalid bits per sample");
    if (nRate == 0 || nRate > INT_MAX)
        return reject("Invalid sample rate");

    mnFileBits = nBits;
    mnSampleRate = nRate;
    mbFormatChunkSeen = true;
    mnWalkOffset = inSize <= 16 ? inOffset + 24 : inOffset + 8 + inSize + (inSize & 1);
    return Parse::Done;
}

void WavReader::finishHeader(quint32 inDataSize)
{
    // Whole bytes per sample of the stated width, counted in steps of eight
    // (so 100 bytes at 16 bits are 48 samples): the count the recordings'
    // consumers have always been given.
    const quint64 nSamples = quint64(inDataSize / mnFileBits) * 8;
    mpFormat->numSamples = nSamples;
    mpFormat->duration = nSamples * 1000 / mnSampleRate;
    mpFormat->setByteOrder(QAudioFormat::LittleEndian);
    mpFormat->setCodec(QStringLiteral("audio/pcm"));
    mpFormat->setSampleType(mnEncoding == Pcm8 ? QAudioFormat::UnSignedInt : QAudioFormat::SignedInt);
    if (mnEncoding == ALaw)
        mpFormat->setSampleSize(16);

    qDebug() << "sample rate    :" << mpFormat->sampleRate() << "Hz";
    qDebug() << "channels       :" << mpFormat->channelCount();
    qDebug() << "bits per sample:" << mpFormat->sampleSize();
    qDebug() << "duration       :" << mpFormat->duration << "ms";
    qDebug() << "num samples    :" << mpFormat->numSamples;

    mbDataLimited = !isPlaceholderSize(inDataSize);
    mnDataLeft = inDataSize;
    mbHeaderPending = false;
}

size_t WavReader::Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking)
{
    if (!ibBlocking)
        throw BlockingInputOnly("WavReader");
    if (!mpFormat) {
        Output(1, ipInput, inLength, inMessageEnd, ibBlocking);
        return 0;
    }
    if (!mbHeaderPending) {
        forwardSamples(ipInput, inLength, inMessageEnd, ibBlocking);
        return 0;
    }

    // A rejection is final: the rest of the member is not gathered.
    if (!mbRejected && inLength > 0) {
        if (inLength > size_t(INT_MAX - maPending.size()))
            throw CryptoPP::Exception(CryptoPP::Exception::INVALID_DATA_FORMAT, "WavReader: header too large");
        maPending.append(reinterpret_cast<const char*>(ipInput), int(inLength));
        if (parseHeader() == Parse::Done) {
            const QByteArray aPending = std::move(maPending);
            maPending = QByteArray();
            const auto* pSamples = reinterpret_cast<const CryptoPP::byte*>(aPending.constData()) + mnDataOffset;
            forwardSamples(pSamples, size_t(aPending.size() - mnDataOffset), inMessageEnd, ibBlocking);
            return 0;
        }
    }
    if (inMessageEnd)
        throw CryptoPP::Exception(CryptoPP::Exception::INVALID_DATA_FORMAT,
                                  mbRejected ? "WavReader: unsupported or invalid WAVE file"
                                             : "WavReader: WAVE header incomplete");
    return 0;
}

void WavReader::forwardSamples(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking)
{
    if (mbDataLimited) {
        inLength = size_t(qMin<quint64>(inLength, mnDataLeft));
        mnDataLeft -= inLength;
    }
    if (mnEncoding != ALaw) {
        Output(1, ipInput, inLength, inMessageEnd, ibBlocking);
        return;
    }
    const std::array<qint16, 256>& aTable = alawTable();
    maExpanded.resize(inLength * 2);
    CryptoPP::byte* pOut = maExpanded.data();
    for (size_t i = 0; i < inLength; ++i) {
        const quint16 nValue = quint16(aTable[ipInput[i]]);
        *pOut++ = CryptoPP::byte(nValue & 0xFF);
        *pOut++ = CryptoPP::byte(nValue >> 8);
    }
    Output(1, maExpanded.data(), maExpanded.size(), inMessageEnd, ibBlocking);
}

CryptoPP::byte* WavReader::CreatePutSpace(size_t& irnSize)
{
    if (!mpFormat || (!mbHeaderPending && mnEncoding != ALaw))
        return AttachedTransformation()->CreatePutSpace(irnSize);
    irnSize = 0;
    return nullptr;
}
