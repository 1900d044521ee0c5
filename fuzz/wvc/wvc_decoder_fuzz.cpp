// Fuzz target: WVC::Decoder over arbitrary bytes in memory, through open,
// full decoding in odd chunk sizes, seeks, zoom, effects and the level scan.
#include "MemoryDecoder.h"

#include <ogg/ogg.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Bounded so that a hostile input cannot keep one run going for long.
void decodeSome(wvctools::MemoryDecoder& irDecoder, bool ibLevelsOnly, uint32_t inChunk)
{
    for (int i = 0; i < 100000 && irDecoder.decodeChunk(ibLevelsOnly, inChunk) == WVC::WVC_MORE_DATA; ++i) {
    }
}

// Every page carries a checksum, so almost any mutation would only reach
// the checksum test. Pages are re-sealed here so that mutations get through
// to the packet parsers; damaged checksums are covered by the unit tests.
std::vector<uint8_t> resealPages(const uint8_t* ipData, size_t inSize)
{
    std::vector<uint8_t> aBytes(ipData, ipData + inSize);
    size_t nPos = 0;
    while (nPos + 27 <= aBytes.size()) {
        uint8_t* pPage = aBytes.data() + nPos;
        if (std::memcmp(pPage, "OggS", 4) != 0) {
            ++nPos;
            continue;
        }
        const size_t nSegments = pPage[26];
        if (nPos + 27 + nSegments > aBytes.size())
            break;
        size_t nBody = 0;
        for (size_t i = 0; i < nSegments; ++i)
            nBody += pPage[27 + i];
        if (nPos + 27 + nSegments + nBody > aBytes.size()) {
            ++nPos;
            continue;
        }
        ogg_page aPage;
        aPage.header = pPage;
        aPage.header_len = static_cast<long>(27 + nSegments);
        aPage.body = pPage + aPage.header_len;
        aPage.body_len = static_cast<long>(nBody);
        ogg_page_checksum_set(&aPage);
        nPos += 27 + nSegments + nBody;
    }
    return aBytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> aBytes = resealPages(data, size);
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
