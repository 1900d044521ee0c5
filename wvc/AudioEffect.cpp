#include "AudioEffect.h"

namespace WVC {

void AudioEffect::samplesToFloat(const int16_t* ipSamples, float* ipFloats, int inCount)
{
    for (int i = 0; i < inCount; ++i)
        ipFloats[i] = static_cast<float>(ipSamples[i] * 3.0517578125e-5);
}

void AudioEffect::floatToSamples(const float* ipFloats, int16_t* ipSamples, int inCount)
{
    for (int i = 0; i < inCount; ++i) {
        float f = ipFloats[i];
        if (f > 1.0f)
            f = 1.0f;
        else if (f < -1.0f)
            f = -1.0f;
        else if (f != f) // NaN has no sample value; silence is the safe one
            f = 0.0f;
        ipSamples[i] = static_cast<int16_t>(f * 32767.0f);
    }
}

} // namespace WVC
