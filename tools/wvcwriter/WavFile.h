#pragma once
// Minimal 16-bit PCM WAV reading and writing for the WVC tools and tests.
#include <cstdint>
#include <string>
#include <vector>

namespace wvctools {

struct WavData
{
    uint32_t nSampleRate = 8000;
    uint16_t nChannels = 1;
    std::vector<int16_t> aSamples; // interleaved
};

// Reads a 16-bit PCM WAV file; false with a message on anything else.
bool readWav(const std::string& isPath, WavData& irData, std::string& irsError);
bool writeWav(const std::string& isPath, const WavData& irData, std::string& irsError);

} // namespace wvctools
