#pragma once
// PCMA / PCMU frames: G.711 compression, then G.711.0 lossless coding.
#include "FrameEncoder.h"

namespace wvctools {

class G7110Encoder : public FrameEncoder
{
public:
    G7110Encoder(bool ibMuLaw, uint32_t inSamplesPerFrame);
    uint32_t codecId() const override;
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override;

private:
    bool mbMuLaw;
    uint32_t mnSamplesPerFrame;
};

} // namespace wvctools
