#include "WvcWriter.h"

#include "ByteOrder.h"
#include "WvcCipher.h"
#include "WvcFormat.h"

#include <cryptopp/osrng.h>
#include <ogg/ogg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace wvctools {

namespace {

// Pages of up to 255 lacing values, so that a group's frames of one channel
// stay on one page where they fit.
constexpr int kPageFill = 1 << 16;

class OggStream
{
public:
    explicit OggStream(int inSerial) : mnSerial(inSerial) { ogg_stream_init(&maState, inSerial); }
    ~OggStream() { ogg_stream_clear(&maState); }
    OggStream(const OggStream&) = delete;
    OggStream& operator=(const OggStream&) = delete;

    void put(const uint8_t* ipData, size_t inLength, int64_t inGranule, bool ibBos = false, bool ibEos = false)
    {
        ogg_packet aPacket;
        aPacket.packet = const_cast<unsigned char*>(ipData);
        aPacket.bytes = static_cast<long>(inLength);
        aPacket.b_o_s = ibBos ? 1 : 0;
        aPacket.e_o_s = ibEos ? 1 : 0;
        aPacket.granulepos = inGranule;
        aPacket.packetno = mnPacketNo++;
        ogg_stream_packetin(&maState, &aPacket);
    }

    void put(const std::vector<uint8_t>& irData, int64_t inGranule, bool ibBos = false)
    {
        put(irData.data(), irData.size(), inGranule, ibBos);
    }

    void flush(std::vector<WvcPage>& irPages)
    {
        ogg_page aPage;
        while (ogg_stream_flush_fill(&maState, &aPage, kPageFill) != 0) {
            WvcPage aOut;
            aOut.nSerial = mnSerial;
            aOut.nGranule = ogg_page_granulepos(&aPage);
            aOut.aBytes.assign(aPage.header, aPage.header + aPage.header_len);
            aOut.aBytes.insert(aOut.aBytes.end(), aPage.body, aPage.body + aPage.body_len);
            irPages.push_back(std::move(aOut));
        }
    }

private:
    ogg_stream_state maState;
    int mnSerial;
    int64_t mnPacketNo = 0;
};

} // namespace

WvcWriter::WvcWriter(const WvcWriterOptions& irOptions) : maOptions(irOptions) {}

uint8_t WvcWriter::levelOf(const int16_t* ipSamples, int inCount)
{
    int nPeak = 0;
    for (int i = 0; i < inCount; ++i) {
        const int nMagnitude = ipSamples[i] < 0 ? -ipSamples[i] : ipSamples[i];
        if (nMagnitude > nPeak)
            nPeak = nMagnitude;
    }
    nPeak /= 128;
    return static_cast<uint8_t>(nPeak > 255 ? 255 : nPeak);
}

bool WvcWriter::checkOptions(size_t inChannels, uint32_t inCodecId)
{
    const WvcWriterOptions& o = maOptions;
    if (o.nVersion < 1 || o.nVersion > 4)
        msError = "version must be 1, 2, 3 or 4";
    else if (inChannels < 1 || inChannels > 2)
        msError = "one or two channels are supported";
    else if (o.nSamplesPerFrame == 0 || o.nSamplesPerFrame > o.nSampleRate ||
             o.nSamplesPerFrame > static_cast<uint32_t>(WVC::kMaxFrameSamples))
        msError = "samples per frame must be 1 .. 1920 and not above the sample rate";
    else if (o.nSampleRate / o.nSamplesPerFrame > 1000)
        msError = "frames must last at least 1 ms";
    else if (o.nFramesPerPage < 1 || o.nFramesPerPage > 255)
        msError = "frames per page must be 1 .. 255";
    else if (o.nVersion <= 2 && inCodecId != WVC::CODEC_PCMA)
        msError = "version 1 and 2 files carry PCMA only";
    else if (o.nVersion == 1 && o.bEncrypted)
        msError = "version 1 files cannot be encrypted";
    else if (o.nVersion == 2 && !o.bEncrypted)
        msError = "version 2 files are always encrypted: give a password";
    else
        return true;
    return false;
}

std::vector<uint8_t> WvcWriter::headerPacket(uint32_t inCodecId, uint32_t inChannels, uint32_t inDuration)
{
    const WvcWriterOptions& o = maOptions;
    std::vector<uint8_t> aPacket;
    size_t nSecret = 0;
    if (o.nVersion <= 2) {
        aPacket.assign(o.nVersion == 1 ? WVC::kHeaderLengthV1 : WVC::kHeaderLengthV2, 0);
        aPacket[5] = static_cast<uint8_t>(inChannels);
        WVC::writeLe32(&aPacket[6], o.nSampleRate);
        WVC::writeLe32(&aPacket[10], o.nSamplesPerFrame);
        WVC::writeLe32(&aPacket[14], inDuration);
        nSecret = 18;
    } else {
        aPacket.assign(o.bEncrypted ? WVC::kHeaderLengthEncrypted : WVC::kHeaderLengthPlain, 0);
        aPacket[4] = static_cast<uint8_t>(o.bEncrypted ? WVC::ENCRYPTION_AES : WVC::ENCRYPTION_PLAIN);
        aPacket[6] = static_cast<uint8_t>(inCodecId);
        aPacket[7] = static_cast<uint8_t>(inChannels);
        WVC::writeLe32(&aPacket[8], o.nSampleRate);
        WVC::writeLe32(&aPacket[12], o.nSamplesPerFrame);
        WVC::writeLe32(&aPacket[16], inDuration);
        nSecret = 20;
    }
    std::memcpy(aPacket.data(), "WVC", 3);
    aPacket[3] = static_cast<uint8_t>(o.nVersion);
    if (o.bEncrypted) {
        std::memcpy(&aPacket[nSecret], maIv, 16);
        std::memcpy(&aPacket[nSecret + 16], maSalt, 16);
        WVC::WvcCipher aCipher;
        aCipher.setKey(maKey, maIv);
        aCipher.encipher(reinterpret_cast<const uint8_t*>(WVC::kPasswordCheck), &aPacket[nSecret + 32],
                         WVC::kPasswordCheckSize);
    }
    return aPacket;
}

bool WvcWriter::write(const std::vector<std::vector<int16_t>>& irChannels,
                      const std::vector<FrameEncoder*>& irEncoders, std::vector<WvcPage>& irPages)
{
    const WvcWriterOptions& o = maOptions;
    if (irEncoders.size() != irChannels.size() || irEncoders.empty() || !irEncoders[0]) {
        msError = "one encoder per channel is needed";
        return false;
    }
    const uint32_t nCodec = irEncoders[0]->codecId();
    if (!checkOptions(irChannels.size(), nCodec))
        return false;
    if (irChannels.size() == 2 && irChannels[0].size() != irChannels[1].size()) {
        msError = "both channels must have the same number of samples";
        return false;
    }
    for (const auto& rPair : o.aMetadata) {
        if (rPair.first.empty() || rPair.first.size() > 31 || rPair.first.find('\0') != std::string::npos) {
            msError = "metadata key must have 1 .. 31 characters: " + rPair.first;
            return false;
        }
        if (rPair.second.size() > WVC::kMaxMetadataValue) {
            msError = "metadata value longer than 8000 bytes for key " + rPair.first;
            return false;
        }
    }
    std::unique_ptr<WVC::WvcCipher> pCipher;
    if (o.bEncrypted) {
        CryptoPP::AutoSeededRandomPool aRandom;
        aRandom.GenerateBlock(maIv, sizeof(maIv));
        aRandom.GenerateBlock(maSalt, sizeof(maSalt));
        WVC::WvcCipher::deriveKey(o.sPassword, maSalt, maKey);
        pCipher = std::make_unique<WVC::WvcCipher>();
        pCipher->setKey(maKey, maIv);
    }

    const size_t nChannels = irChannels.size();
    const uint64_t nSamples = irChannels[0].size();
    const uint32_t nFrameDuration = 1000 / (o.nSampleRate / o.nSamplesPerFrame);
    const uint64_t nDuration = o.bWriteDuration ? nSamples * 1000 / o.nSampleRate : 0;
    if (nDuration > UINT32_MAX) {
        msError = "recording too long for a 32-bit duration";
        return false;
    }

    OggStream aLeft(WVC::SERIAL_LEFT), aRight(WVC::SERIAL_RIGHT), aLevel(WVC::SERIAL_LEVEL),
        aMetadata(WVC::SERIAL_METADATA);
    const std::vector<uint8_t> aMarker = {'W', 'V', 'C'};
    aLeft.put(headerPacket(nCodec, static_cast<uint32_t>(nChannels), static_cast<uint32_t>(nDuration)), 0, true);
    aLeft.flush(irPages);
    aRight.put(aMarker, 0, true);
    aRight.flush(irPages);
    aLevel.put(aMarker, 0, true);
    aLevel.flush(irPages);
    std::vector<uint8_t> aMetaHeader(16, 0);
    std::memcpy(aMetaHeader.data(), "WVC", 3);
    aMetaHeader[3] = static_cast<uint8_t>(o.nVersion);
    WVC::writeLe64(&aMetaHeader[o.nVersion >= 3 ? 6 : 5], o.aMetadata.empty() ? 0 : 1);
    aMetadata.put(aMetaHeader, 0, true);
    aMetadata.flush(irPages);

    for (const auto& rPair : o.aMetadata) {
        std::vector<uint8_t> aRecord(WVC::metadataKeyRecordSize(o.nVersion), 0);
        std::memcpy(aRecord.data(), rPair.first.data(), rPair.first.size());
        WVC::writeLe32(&aRecord[WVC::kKeyFieldSize], static_cast<uint32_t>(rPair.second.size()));
        aMetadata.put(aRecord, 0);
        aMetadata.put(reinterpret_cast<const uint8_t*>(rPair.second.data()), rPair.second.size(), 0);
        aMetadata.flush(irPages);
    }

    OggStream* aStreams[2] = {&aLeft, &aRight};
    // Room beyond the largest legal frame, so that tests can write frames
    // that a reader has to refuse.
    std::vector<uint8_t> aPayload(1 << 16);
    std::vector<uint8_t> aCiphered(aPayload.size());
    const uint64_t nFrames = (nSamples + o.nSamplesPerFrame - 1) / o.nSamplesPerFrame;
    std::vector<uint8_t> aLevels;
    for (uint64_t nGroup = 0; nGroup < nFrames; nGroup += o.nFramesPerPage) {
        const uint64_t nGroupEnd = std::min<uint64_t>(nFrames, nGroup + o.nFramesPerPage);
        aLevels.clear();
        for (size_t nChannel = 0; nChannel < nChannels; ++nChannel) {
            for (uint64_t nFrame = nGroup; nFrame < nGroupEnd; ++nFrame) {
                const uint64_t nFirst = nFrame * o.nSamplesPerFrame;
                const int nCount = static_cast<int>(std::min<uint64_t>(o.nSamplesPerFrame, nSamples - nFirst));
                const int16_t* pSamples = irChannels[nChannel].data() + nFirst;
                const int nBytes = irEncoders[nChannel]->encode(pSamples, nCount, aPayload.data(),
                                                                static_cast<int>(aPayload.size()), msError);
                if (nBytes < 0)
                    return false;
                const uint8_t* pPayload = aPayload.data();
                if (pCipher) {
                    pCipher->encipher(aPayload.data(), aCiphered.data(), static_cast<size_t>(nBytes));
                    pPayload = aCiphered.data();
                }
                // A frame's time is the end of its audio, so no frame has 0.
                aStreams[nChannel]->put(pPayload, static_cast<size_t>(nBytes),
                                        static_cast<int64_t>((nFrame + 1) * nFrameDuration));
                const size_t nIndex = static_cast<size_t>(nFrame - nGroup) * nChannels + nChannel;
                if (aLevels.size() <= nIndex)
                    aLevels.resize(nIndex + 1);
                aLevels[nIndex] = levelOf(pSamples, nCount);
            }
            aStreams[nChannel]->flush(irPages);
        }
        for (uint64_t nFrame = nGroup; nFrame < nGroupEnd; ++nFrame) {
            aLevel.put(aLevels.data() + (nFrame - nGroup) * nChannels, nChannels,
                       static_cast<int64_t>((nFrame + 1) * nFrameDuration));
        }
        aLevel.flush(irPages);
    }
    if (o.bEndStreams) {
        // Each stream ends as Ogg streams do: a page of its own with one
        // empty packet marked end-of-stream, at the final time.
        const int64_t nEnd = static_cast<int64_t>(nFrames * nFrameDuration);
        for (OggStream* pStream : {&aLeft, &aRight, &aLevel, &aMetadata}) {
            pStream->put(nullptr, 0, nEnd, false, true);
            pStream->flush(irPages);
        }
    }
    return true;
}

std::vector<uint8_t> WvcWriter::join(const std::vector<WvcPage>& irPages)
{
    std::vector<uint8_t> aBytes;
    for (const WvcPage& rPage : irPages)
        aBytes.insert(aBytes.end(), rPage.aBytes.begin(), rPage.aBytes.end());
    return aBytes;
}

} // namespace wvctools
