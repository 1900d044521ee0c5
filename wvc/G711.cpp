#include "G711.h"

#include <array>

namespace WVC {
namespace G711 {

namespace {

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

} // namespace G711
} // namespace WVC
