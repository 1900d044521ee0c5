#include "Pcm16Encoder.h"

#include "WvcFormat.h"

namespace wvctools {

uint32_t Pcm16Encoder::codecId() const
{
    return WVC::CODEC_PCM16;
}

int Pcm16Encoder::encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                         std::string& irsError)
{
    if (inCount * 2 > inCapacity) {
        irsError = "PCM16 frame of " + std::to_string(inCount) + " samples does not fit";
        return -1;
    }
    for (int i = 0; i < inCount; ++i) {
        ipOutput[2 * i] = static_cast<uint8_t>(ipSamples[i]);
        ipOutput[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(ipSamples[i]) >> 8);
    }
    return inCount * 2;
}

} // namespace wvctools
