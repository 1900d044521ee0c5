#include "G711.h"

#include <array>

namespace WVC {
namespace G711 {

namespace {

int highestBit(uint32_t inValue)
{
    return 31 - __builtin_clz(inValue);
}

int16_t expandAlaw(uint8_t inByte)
{
    const int x = inByte ^ 0x55;
    int t = (x & 0x0F) << 4;
    const int s = (x & 0x70) >> 4;
    if (s == 0)
        t += 8;
    else if (s == 1)
        t += 0x108;
    else
        t = (t + 0x108) << (s - 1);
    return static_cast<int16_t>((x & 0x80) ? t : -t);
}

int16_t expandUlaw(uint8_t inByte)
{
    if (inByte == 0x7F)
        return -1;
    const int u = static_cast<uint8_t>(~inByte);
    const int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return static_cast<int16_t>((u & 0x80) ? 0x84 - t : t - 0x84);
}

template <int16_t (*Expand)(uint8_t)>
std::array<int16_t, 256> makeTable()
{
    std::array<int16_t, 256> aTable{};
    for (int i = 0; i < 256; ++i)
        aTable[i] = Expand(static_cast<uint8_t>(i));
    return aTable;
}

const std::array<int16_t, 256> kAlawTable = makeTable<expandAlaw>();
const std::array<int16_t, 256> kUlawTable = makeTable<expandUlaw>();

} // namespace

int16_t alawToLinear(uint8_t inByte)
{
    return kAlawTable[inByte];
}

int16_t ulawToLinear(uint8_t inByte)
{
    return kUlawTable[inByte];
}

uint8_t linearToAlaw(int16_t inSample)
{
    const int nMask = inSample >= 0 ? 0xD5 : 0x55;
    int m = inSample >= 0 ? inSample : -inSample;
    if (m > 32767) // -32768 shares the largest code with -32767
        m = 32767;
    if (m < 256)
        return static_cast<uint8_t>(nMask ^ (m >> 4));
    const int s = highestBit(static_cast<uint32_t>(m)) - 7;
    return static_cast<uint8_t>(nMask ^ ((s << 4) | ((m >> (s + 3)) & 0x0F)));
}

uint8_t linearToUlaw(int16_t inSample)
{
    const int nMask = inSample >= 0 ? 0xFF : 0x7F;
    const int m = inSample >= 0 ? inSample : -inSample;
    const uint32_t b = static_cast<uint32_t>(m + 0x84) & 0xFFFF;
    const int s = highestBit(b | 0xFF) - 7;
    if (s < 8)
        return static_cast<uint8_t>(nMask ^ ((s << 4) | ((b >> (s + 3)) & 0x0F)));
    return static_cast<uint8_t>(nMask ^ 0x7F);
}

} // namespace G711
} // namespace WVC
