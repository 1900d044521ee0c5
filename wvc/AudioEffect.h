#pragma once
// Base of the sample processors that run over blocks of float samples.
#include "WvcLogger.h"

#include <cstdint>

namespace WVC {

class AudioEffect : public WvcLogger
{
public:
    // Reads inCount floats from ipIn and writes inCount floats to ipOut.
    virtual void process(const float* ipIn, float* ipOut, int inCount) = 0;

    // Each sample × 1/32768, so -32768 becomes -1.0.
    static void samplesToFloat(const int16_t* ipSamples, float* ipFloats, int inCount);
    // Each float × 32767, truncated toward zero. Values outside -1 .. 1 (a
    // notch filter can overshoot) are clamped first so they cannot wrap.
    static void floatToSamples(const float* ipFloats, int16_t* ipSamples, int inCount);
};

} // namespace WVC
