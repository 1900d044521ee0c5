#pragma once
// Encoder of one channel's frames for the WVC writer. One implementation per
// codec; makeFrameEncoder() is the one place that knows them all.
#include <cstdint>
#include <memory>
#include <string>

namespace wvctools {

class FrameEncoder
{
public:
    virtual ~FrameEncoder() = default;
    virtual uint32_t codecId() const = 0;
    // Encodes inCount samples (the last frame of a recording may be short)
    // into ipOutput; the payload length, or -1 with irsError set.
    virtual int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                       std::string& irsError) = 0;
};

// Encoder for a codec name of the WVC codec table (case-insensitive);
// null with irsError set when the codec is unknown or has no encoder yet.
// One encoder object serves one channel.
std::unique_ptr<FrameEncoder> makeFrameEncoder(const std::string& isCodecName, uint32_t inSamplesPerFrame,
                                               std::string& irsError);

} // namespace wvctools
