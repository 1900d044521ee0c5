#pragma once
// Gain with hard clipping to -1 .. 1; remembers whether it ever clipped.
#include "AudioEffect.h"

namespace WVC {

class Amplify : public AudioEffect
{
public:
    void setRatio(float inRatio) { mfRatio = inRatio; }
    float ratio() const { return mfRatio; }
    bool wasClipped() const { return mbClipped; }
    void process(const float* ipIn, float* ipOut, int inCount) override;

private:
    float mfRatio = 1.0f;
    bool mbClipped = false;
};

} // namespace WVC
