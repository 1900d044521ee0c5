// Fuzz target for the G.711.0 frame decoder. The first input octet selects
// the law (bit 0) and a reduced output capacity (bit 1); the rest is the
// frame. Any broken contract aborts, so the fuzzer reports it.
#include "G7110Decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const int nLaw = data[0] & 1;
    const int nCapacity = (data[0] & 2) ? 160 : g7110::kOutputCapacity;
    std::vector<uint16_t> aUnits(data + 1, data + size);
    aUnits.push_back(0); // keeps data() valid for an empty frame
    std::vector<uint16_t> aOut(size_t(nCapacity) + 16, 0xBEEF);
    int nLength = int(size - 1);
    const int nResult = g7110::decode(aUnits.data(), &nLength, aOut.data(), nCapacity, nLaw);
    if (nResult > nCapacity || nResult > 320)
        std::abort();
    if (nLength < 0 || nLength > int(size - 1))
        std::abort();
    if (nResult > 0 && nLength < 1)
        std::abort();
    for (size_t i = size_t(nResult > 0 ? nResult : 0); i < aOut.size(); ++i)
        if (aOut[i] != 0xBEEF)
            std::abort();
    for (int i = 0; i < nResult; ++i)
        if (aOut[size_t(i)] > 0xFF)
            std::abort();
    return 0;
}
