#pragma once
// Frames of the codecs that libavcodec encodes: Opus (through libopus),
// G.722, G.723.1 and GSM (through libgsm). A WVC frame may hold several of
// the codec's own frames, written one after the other.
#include "FrameEncoder.h"

#include <memory>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace wvctools {

class LavcEncoder : public FrameEncoder
{
public:
    // Null with irsError set when the encoder is missing or refuses the
    // rate or the samples per frame.
    static std::unique_ptr<LavcEncoder> create(uint32_t inCodecId, uint32_t inSampleRate,
                                               uint32_t inSamplesPerFrame, std::string& irsError);
    ~LavcEncoder() override;

    uint32_t codecId() const override;
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override;

private:
    LavcEncoder(uint32_t inCodecId, uint32_t inSamplesPerFrame);
    bool open(uint32_t inSampleRate, std::string& irsError);

    uint32_t mnCodecId;
    uint32_t mnSamplesPerFrame;
    int mnSubFrame = 0;         // samples per frame of the codec itself
    int64_t mnPts = 0;
    AVCodecContext* mpContext = nullptr;
    AVFrame* mpFrame = nullptr;
    AVPacket* mpPacket = nullptr;
};

} // namespace wvctools
