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

// Rate at which a codec encodes input of inInputRate: its fixed rate (G.722
// and AMR-WB 16000, G.723.1, G.729, GSM and AMR 8000), for Opus the input
// rate when Opus takes it and 48000 otherwise, else the input rate.
uint32_t encoderSampleRate(const std::string& isCodecName, uint32_t inInputRate);
// Samples per frame a codec writes unless told otherwise: 20 ms, 30 ms for
// G.723.1.
uint32_t defaultSamplesPerFrame(const std::string& isCodecName, uint32_t inSampleRate);

// Encoder for a codec name of the WVC codec table (case-insensitive) at the
// given rate; null with irsError set when the codec is unknown or refuses
// the rate or the samples per frame. One encoder object serves one channel.
std::unique_ptr<FrameEncoder> makeFrameEncoder(const std::string& isCodecName, uint32_t inSampleRate,
                                               uint32_t inSamplesPerFrame, std::string& irsError);
// The same at the codec's own rate (8000 Hz for codecs that take any).
std::unique_ptr<FrameEncoder> makeFrameEncoder(const std::string& isCodecName, uint32_t inSamplesPerFrame,
                                               std::string& irsError);

} // namespace wvctools
