#pragma once
// G.729 frames through bcg729: each WVC frame holds one or more 10 ms
// frames of 10 bytes, written one after the other.
#include "FrameEncoder.h"

struct bcg729EncoderChannelContextStruct_struct;

namespace wvctools {

class G729Encoder : public FrameEncoder
{
public:
    explicit G729Encoder(uint32_t inSamplesPerFrame);
    ~G729Encoder() override;
    G729Encoder(const G729Encoder&) = delete;
    G729Encoder& operator=(const G729Encoder&) = delete;

    static constexpr uint32_t kFrameSamples = 80;

    uint32_t codecId() const override;
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override;

private:
    uint32_t mnSamplesPerFrame;
    bcg729EncoderChannelContextStruct_struct* mpState;
};

} // namespace wvctools
