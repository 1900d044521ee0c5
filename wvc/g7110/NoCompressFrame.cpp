// The no-compression frame of 40 samples: sign and magnitude of each rank,
// the magnitudes after the first four predicted from the mean of the four
// before them, residuals Rice coded with parameter 5, signs sent last.
#include "BasicOps.h"
#include "BitReader.h"
#include "G7110Decoder.h"
#include "LinearMap.h"
#include "Tools.h"

namespace g7110 {

namespace {

// Predictor order and shift as in the ITU-T G.711.0 reference code
// (g711llc_defines.h); the Rice parameter is fixed by its decoder.
constexpr int kOrder = 4;
constexpr int kShift = 2;     // mean of kOrder values
constexpr int kRiceParam = 5;

// Rice-coded signed residual: run of zeros, a one, kRiceParam low bits; the
// lowest bit of the combined value selects the sign (one's complement).
int16_t riceResidual(BitReader& irReader)
{
    using namespace ops;
    const int nRun = irReader.unary();
    const int16_t nHigh = int16_t(nRun > kMax16 ? kMax16 : nRun);
    const uint16_t nLow = uint16_t(irReader.bits(kRiceParam));
    uint16_t nSymbol = uint16_t(uint16_t(shl(nHigh, kRiceParam)) | nLow);
    if (nLow & 1)
        nSymbol = uint16_t(~nSymbol);
    return shr(int16_t(nSymbol), 1);
}

} // namespace

int decodeNoCompress(BitReader& irReader, int inSamples, int inLaw, uint8_t* opOut)
{
    using namespace ops;
    if (inLaw != MuLaw)
        return unsupported(MissingTool::ALawLinearMap);

    int16_t aValue[320];
    bool aNegative[kOrder];
    for (int i = 0; i < kOrder; ++i) {
        int16_t nMagnitude = int16_t(irReader.bits(7));
        const bool bSign = irReader.bit() != 0;
        // A magnitude of 128 (rank -128) is sent as 0 with the sign set.
        if (nMagnitude == 0 && bSign)
            nMagnitude = 128;
        aNegative[i] = bSign;
        aValue[i] = nMagnitude;
    }
    for (int i = kOrder; i < inSamples; ++i)
        aValue[i] = riceResidual(irReader);
    if (irReader.overrun())
        return kTruncated;
    for (int i = kOrder; i < inSamples; ++i) {
        const int16_t nSum = add(add(add(aValue[i - 1], aValue[i - 2]), aValue[i - 3]), aValue[i - 4]);
        aValue[i] = sub(shr(nSum, kShift), aValue[i]);
    }
    for (int i = 0; i < inSamples; ++i) {
        const bool bNegative = i < kOrder ? aNegative[i] : irReader.bit() != 0;
        const int16_t nRank = bNegative ? negate(aValue[i]) : aValue[i];
        if (!rankInRange(nRank))
            return kCorruptData;
        opOut[i] = muLawFromRank(nRank);
    }
    if (irReader.overrun())
        return kTruncated;
    return inSamples;
}

} // namespace g7110
