#pragma once
// PCM16 frames: the samples as signed 16-bit little-endian words.
#include "FrameEncoder.h"

namespace wvctools {

class Pcm16Encoder : public FrameEncoder
{
public:
    uint32_t codecId() const override;
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override;
};

} // namespace wvctools
