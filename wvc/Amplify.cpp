#include "Amplify.h"

namespace WVC {

void Amplify::process(const float* ipIn, float* ipOut, int inCount)
{
    for (int i = 0; i < inCount; ++i) {
        float f = ipIn[i] * mfRatio;
        if (f < -1.0f) {
            f = -1.0f;
            mbClipped = true;
        } else if (f > 1.0f) {
            f = 1.0f;
            mbClipped = true;
        }
        ipOut[i] = f;
    }
}

} // namespace WVC
