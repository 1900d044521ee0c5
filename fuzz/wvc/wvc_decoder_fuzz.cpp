// Fuzz target: WVC::Decoder over arbitrary bytes in memory, through open,
// full decoding in odd chunk sizes, seeks, zoom, effects and the level scan.
#include "MemoryDecoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Bounded so that a hostile input cannot keep one run going for long.
void decodeSome(wvctools::MemoryDecoder& irDecoder, bool ibLevelsOnly, uint32_t inChunk)
{
    for (int i = 0; i < 100000 && irDecoder.decodeChunk(ibLevelsOnly, inChunk) == WVC::WVC_MORE_DATA; ++i) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> aBytes(data, data + size);
    // Seeds written with wvctool use this password when encrypted.
    const uint32_t nChunk = size > 0 ? 1u + data[size - 1] * 61u : 1u;
    {
        wvctools::MemoryDecoder aDecoder(aBytes);
        aDecoder.setCollect(false);
        aDecoder.setPassword("fuzz");
        if (aDecoder.openAll() == WVC::WVC_OK) {
            decodeSome(aDecoder, false, nChunk);
            aDecoder.seek(1234, true);
            decodeSome(aDecoder, false, 32768);
            aDecoder.seek(-500, false);
            decodeSome(aDecoder, false, 32768);
            aDecoder.duration();
        }
        aDecoder.close();
    }
    {
        wvctools::MemoryDecoder aDecoder(aBytes);
        aDecoder.setCollect(false);
        aDecoder.setEndSeekAllowed(false);
        aDecoder.setPassword("fuzz");
        aDecoder.setZoomSegment(300, 900);
        aDecoder.setNotchFilter(50, 0.0f);
        aDecoder.setAmplify(1, 3.0f);
        if (aDecoder.openAll() == WVC::WVC_OK) {
            aDecoder.duration();
            aDecoder.decodeAll(false);
        }
        aDecoder.close();
    }
    {
        wvctools::MemoryDecoder aDecoder(aBytes);
        aDecoder.setCollect(false);
        aDecoder.setPassword("fuzz");
        if (aDecoder.openAll() == WVC::WVC_OK)
            aDecoder.decodeAll(true);
    }
    return 0;
}
