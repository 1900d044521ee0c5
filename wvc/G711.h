#pragma once
// G.711 A-law and µ-law conversions between 8-bit symbols and 16-bit
// linear samples (expansion by table, compression by a few shifts).
#include <cstdint>

namespace WVC {
namespace G711 {

int16_t alawToLinear(uint8_t inByte);
int16_t ulawToLinear(uint8_t inByte);
uint8_t linearToAlaw(int16_t inSample);
uint8_t linearToUlaw(int16_t inSample);

} // namespace G711
} // namespace WVC
