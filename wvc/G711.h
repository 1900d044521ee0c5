#pragma once
// G.711 A-law and µ-law conversions between 8-bit symbols and 16-bit
// linear samples (expansion by table, compression by a few shifts).
#include <cstdint>

namespace WVC {
namespace G711 {

int16_t alawToLinear(uint8_t inByte);
int16_t ulawToLinear(uint8_t inByte);

// Inline: the decoder compresses every sample of every frame.
inline uint8_t linearToAlaw(int16_t inSample)
{
    const int nMask = inSample >= 0 ? 0xD5 : 0x55;
    int m = inSample >= 0 ? inSample : -inSample;
    if (m > 32767) // -32768 shares the largest code with -32767
        m = 32767;
    if (m < 256)
        return static_cast<uint8_t>(nMask ^ (m >> 4));
    const int s = 31 - __builtin_clz(static_cast<uint32_t>(m)) - 7;
    return static_cast<uint8_t>(nMask ^ ((s << 4) | ((m >> (s + 3)) & 0x0F)));
}

inline uint8_t linearToUlaw(int16_t inSample)
{
    const int nMask = inSample >= 0 ? 0xFF : 0x7F;
    const int m = inSample >= 0 ? inSample : -inSample;
    const uint32_t b = static_cast<uint32_t>(m + 0x84) & 0xFFFF;
    const int s = 31 - __builtin_clz(b | 0xFF) - 7;
    if (s < 8)
        return static_cast<uint8_t>(nMask ^ ((s << 4) | ((b >> (s + 3)) & 0x0F)));
    return static_cast<uint8_t>(nMask ^ 0x7F);
}

} // namespace G711
} // namespace WVC
