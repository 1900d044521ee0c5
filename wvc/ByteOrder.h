#pragma once
// Little-endian field access for WVC packets.
#include <cstdint>

namespace WVC {

inline uint32_t readLe32(const uint8_t* ipData)
{
    return static_cast<uint32_t>(ipData[0]) | (static_cast<uint32_t>(ipData[1]) << 8) |
           (static_cast<uint32_t>(ipData[2]) << 16) | (static_cast<uint32_t>(ipData[3]) << 24);
}

inline uint64_t readLe64(const uint8_t* ipData)
{
    return static_cast<uint64_t>(readLe32(ipData)) | (static_cast<uint64_t>(readLe32(ipData + 4)) << 32);
}

inline void writeLe32(uint8_t* ipData, uint32_t inValue)
{
    for (int i = 0; i < 4; ++i)
        ipData[i] = static_cast<uint8_t>(inValue >> (8 * i));
}

inline void writeLe64(uint8_t* ipData, uint64_t inValue)
{
    for (int i = 0; i < 8; ++i)
        ipData[i] = static_cast<uint8_t>(inValue >> (8 * i));
}

} // namespace WVC
