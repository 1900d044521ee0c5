// Fuzz target: arbitrary frame payloads of the library codecs (Opus, AMR,
// AMR-WB, G.722, G.723.1, G.729, GSM), written into a WVC file and decoded
// through WVC::Decoder.
// Input: codec index (mod 7), flags (bit 0 stereo, bit 1 encrypted), then
// frames as a 16-bit little-endian length and that many bytes, alternating
// left and right in stereo.
#include "FrameEncoder.h"
#include "MemoryDecoder.h"
#include "WvcFormat.h"
#include "WvcWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Codec
{
    uint32_t nId;
    uint32_t nRate;
    uint32_t nSamplesPerFrame;
};

constexpr Codec kCodecs[] = {
    {WVC::CODEC_OPUS, 16000, 320}, {WVC::CODEC_AMR, 8000, 160}, {WVC::CODEC_AMR_WB, 16000, 320},
    {WVC::CODEC_G722, 16000, 320}, {WVC::CODEC_G723, 8000, 240}, {WVC::CODEC_G729, 8000, 160},
    {WVC::CODEC_GSM, 8000, 160},
};

constexpr size_t kMaxFrames = 200;

class ListEncoder : public wvctools::FrameEncoder
{
public:
    ListEncoder(uint32_t inCodec, std::vector<std::vector<uint8_t>> iaFrames)
        : mnCodec(inCodec), maFrames(std::move(iaFrames))
    {
    }
    uint32_t codecId() const override { return mnCodec; }
    int encode(const int16_t*, int, uint8_t* ipOutput, int inCapacity, std::string&) override
    {
        const std::vector<uint8_t>& rFrame = maFrames[mnNext++ % maFrames.size()];
        const size_t nBytes = std::min<size_t>(rFrame.size(), static_cast<size_t>(inCapacity));
        if (nBytes > 0)
            std::memcpy(ipOutput, rFrame.data(), nBytes);
        return static_cast<int>(nBytes);
    }

private:
    uint32_t mnCodec;
    std::vector<std::vector<uint8_t>> maFrames;
    size_t mnNext = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const Codec& rCodec = kCodecs[data[0] % (sizeof(kCodecs) / sizeof(kCodecs[0]))];
    const size_t nChannels = (data[1] & 1) ? 2 : 1;
    const bool bEncrypted = (data[1] & 2) != 0;
    std::vector<std::vector<uint8_t>> aFrames[2];
    size_t nPos = 2;
    for (size_t nFrame = 0; nPos + 2 <= size && nFrame < kMaxFrames * nChannels; ++nFrame) {
        const size_t nLength = std::min<size_t>(data[nPos] | (data[nPos + 1] << 8), size - nPos - 2);
        aFrames[nFrame % nChannels].emplace_back(data + nPos + 2, data + nPos + 2 + nLength);
        nPos += 2 + nLength;
    }
    if (aFrames[0].empty() || aFrames[nChannels - 1].empty())
        return 0;
    const size_t nCount = aFrames[0].size();

    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = rCodec.nRate;
    aOptions.nSamplesPerFrame = rCodec.nSamplesPerFrame;
    aOptions.nFramesPerPage = 7;
    aOptions.bEncrypted = bEncrypted;
    aOptions.sPassword = "fuzz";
    ListEncoder aLeft(rCodec.nId, aFrames[0]), aRight(rCodec.nId, aFrames[nChannels - 1]);
    std::vector<wvctools::FrameEncoder*> aEncoders{&aLeft, &aRight};
    aEncoders.resize(nChannels);
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    const std::vector<std::vector<int16_t>> aSilence(nChannels,
                                                     std::vector<int16_t>(nCount * rCodec.nSamplesPerFrame, 0));
    if (!aWriter.write(aSilence, aEncoders, aPages))
        return 0;

    wvctools::MemoryDecoder aDecoder(wvctools::WvcWriter::join(aPages));
    aDecoder.setCollect(false);
    aDecoder.setPassword("fuzz");
    if (aDecoder.openAll() == WVC::WVC_OK) {
        for (int i = 0; i < 10000 && aDecoder.decodeChunk(false, WVC::kChunkSize) == WVC::WVC_MORE_DATA; ++i) {
        }
    }
    aDecoder.close();
    return 0;
}
