#pragma once
#include <QByteArray>

#include <cryptopp/filters.h>

#include <vector>

class AudioFormat;

// Member stage for ".wav" files: parses the RIFF/WAVE header into the format
// target, strips it, and hands on only the sample bytes, A-law expanded to
// 16-bit linear PCM (low byte first). Mono 8-bit PCM, 16-bit PCM and A-law are
// accepted. Without a format target every byte passes unchanged.
//
// A header that is rejected, or still incomplete when the message ends, makes
// the message end raise a CryptoPP::Exception, so the member read fails
// instead of delivering no samples as if that were a recording.
class WavReader : public CryptoPP::Bufferless<CryptoPP::Filter>
{
public:
    enum Encoding { Pcm16 = 0, Pcm8 = 1, ALaw = 2 };

    // Takes over ipAttachment; ipFormat is not owned and may be null.
    WavReader(CryptoPP::BufferedTransformation* ipAttachment, AudioFormat* ipFormat);

    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking) override;
    // Once the header is behind us, PCM passes through in place.
    CryptoPP::byte* CreatePutSpace(size_t& irnSize) override;

    bool headerPending() const { return mbHeaderPending; }
    int encoding() const { return mnEncoding; }
    qint32 dataOffset() const { return mnDataOffset; }

private:
    enum class Parse { NeedMore, Rejected, Done };
    Parse parseHeader();
    Parse parseFormatChunk(qint64 inOffset, quint32 inSize);
    Parse reject(const char* ipText);
    void finishHeader(quint32 inDataSize);
    void forwardSamples(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking);

    AudioFormat* mpFormat;
    bool mbHeaderPending;
    int mnEncoding = Pcm16;
    qint32 mnDataOffset = 0;
    QByteArray maPending;

    // The walk resumes where the last block left it, so a header that comes
    // in many small blocks is not walked again from the start each time.
    qint64 mnWalkOffset = 12;
    bool mbFormatChunkSeen = false;
    bool mbRejected = false;
    quint16 mnFileBits = 0; // bits per sample as the file states them
    quint32 mnSampleRate = 0;
    // Bytes of the data chunk still to hand on; chunks after it are not audio.
    quint64 mnDataLeft = 0;
    bool mbDataLimited = false;
    std::vector<CryptoPP::byte> maExpanded;
};
