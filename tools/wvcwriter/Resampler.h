#pragma once
// Sample rate conversion of a whole mono recording, for codecs that fix
// their rate.
#include <cstdint>
#include <string>
#include <vector>

namespace wvctools {

// The samples at inToRate; false with irsError set when libswresample fails.
bool resampleChannel(const std::vector<int16_t>& irIn, uint32_t inFromRate, uint32_t inToRate,
                     std::vector<int16_t>& irOut, std::string& irsError);

} // namespace wvctools
