#pragma once
// Second-order notch filter (audio EQ cookbook form) for one channel.
#include "AudioEffect.h"

namespace WVC {

class BiquadFilter : public AudioEffect
{
public:
    // inNormalisedFrequency = notch frequency / sample rate; clamped to
    // 0.000001 .. 0.499, and Q to at least 0.00001. The state is kept.
    void setup(double inNormalisedFrequency, double inQ);
    void process(const float* ipIn, float* ipOut, int inCount) override;

    // Read access for checks of the coefficients and the state.
    double b0() const { return mfB0; }
    double b1() const { return mfB1; }
    double b2() const { return mfB2; }
    double a1() const { return mfA1; }
    double a2() const { return mfA2; }
    double y1() const { return mfY1; }
    double y2() const { return mfY2; }

private:
    double mfX1 = 0, mfX2 = 0, mfY1 = 0, mfY2 = 0;
    double mfB0 = 0, mfB1 = 0, mfB2 = 0, mfA1 = 0, mfA2 = 0;
    double mfCosW0 = 0, mfSinW0 = 0, mfAlpha = 0;
};

} // namespace WVC
