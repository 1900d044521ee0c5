#include "BiquadFilter.h"

#include <algorithm>
#include <cmath>

namespace WVC {

void BiquadFilter::setup(double inNormalisedFrequency, double inQ)
{
    const double fQ = std::max(inQ, 0.00001);
    const double fFrequency = std::min(std::max(inNormalisedFrequency, 0.000001), 0.499);
    const double fW0 = 2.0 * M_PI * fFrequency;
    mfCosW0 = std::cos(fW0);
    mfSinW0 = std::sin(fW0);
    mfAlpha = mfSinW0 / (2.0 * fQ);
    const double fA0 = 1.0 + mfAlpha;
    mfB0 = 1.0 / fA0;
    mfB1 = -2.0 * mfCosW0 / fA0;
    mfB2 = 1.0 / fA0;
    mfA1 = -2.0 * mfCosW0 / fA0;
    mfA2 = (1.0 - mfAlpha) / fA0;
}

void BiquadFilter::process(const float* ipIn, float* ipOut, int inCount)
{
    for (int i = 0; i < inCount; ++i) {
        const double fX = ipIn[i];
        const double fY = mfB0 * fX + mfB1 * mfX1 + mfB2 * mfX2 - mfA1 * mfY1 - mfA2 * mfY2;
        mfX2 = mfX1;
        mfX1 = fX;
        mfY2 = mfY1;
        mfY1 = fY;
        ipOut[i] = static_cast<float>(fY);
        // Keeps the recursion out of denormal numbers on silent input.
        if ((i & 7) == 0) {
            mfY1 += 1e-26;
            mfY2 -= 1e-26;
        }
    }
}

} // namespace WVC
