#pragma once
// Hands on channel 0 of a decoded libavcodec frame as signed 16-bit samples
// at a chosen rate. Frames already in that form are copied; others (the Opus
// decoder's 48 kHz planar float, for one) go through libswresample.
#include <cstdint>

struct AVFrame;
struct SwrContext;

namespace WVC {

class SampleConverter
{
public:
    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    // Writes channel 0 of the frame at inOutRate into ipOutput: the sample
    // count, kTooLarge when it could exceed inCapacity (nothing written), or
    // kFailed when the frame's format cannot be converted.
    int convert(const AVFrame& irFrame, int inOutRate, int16_t* ipOutput, int inCapacity);
    // Forgets the resampler's history, as at the start of a stream.
    void reset();

    static constexpr int kTooLarge = -2;
    static constexpr int kFailed = -1;

private:
    bool configure(const AVFrame& irFrame, int inOutRate);
    int copyS16(const AVFrame& irFrame, int16_t* ipOutput, int inCapacity) const;

    SwrContext* mpSwr = nullptr;
    int mnInFormat = -1;
    int mnInRate = 0;
    int mnInChannels = 0;
    int mnOutRate = 0;
    bool mbLeadIn = true;
};

} // namespace WVC
