// Frames of plus and minus zeros whose runs are Rice coded.
#include "BitReader.h"
#include "G7110Decoder.h"
#include "Tools.h"

namespace g7110 {

namespace {

// The Rice parameter: two bits, extended by a frame-length dependent code
// when they read 3.
int riceParameter(BitReader& irReader, int inFirst, int inSamples)
{
    int nParam = inFirst;
    if (nParam != 3)
        return nParam;
    if (inSamples == 40) {
        if (irReader.bit())
            nParam = 4 + int(irReader.bit());
    } else if (inSamples == 80) {
        nParam = 3 + int(irReader.bits(2));
    } else {
        const int nExt = int(irReader.bits(2));
        if (nExt <= 1)
            nParam = 3 + nExt;
        else if (nExt == 2)
            nParam = 5 + int(irReader.bit());
        else if (irReader.bit() == 0)
            nParam = 7;
        else
            nParam = 6 + int(irReader.bits(2));
    }
    return nParam;
}

} // namespace

int decodeRiceZeroFrame(BitReader& irReader, int inSamples, int inLaw, bool inbMinusMore, uint8_t* opOut)
{
    const uint8_t nPlusZero = inLaw == MuLaw ? 0xFF : 0xD5;
    const uint8_t nMinusZero = inLaw == MuLaw ? 0x7F : 0x55;
    const uint8_t nMore = inbMinusMore ? nMinusZero : nPlusZero;
    const uint8_t nLess = inbMinusMore ? nPlusZero : nMinusZero;

    const int nFirst = int(irReader.bits(2));
    // A first field of 0 announces one pulse sample, whose position field
    // width comes from a table that is not publicly available.
    if (nFirst == 0)
        return irReader.overrun() ? kTruncated : unsupported(MissingTool::RiceZeroPulse);
    const int nParam = riceParameter(irReader, nFirst, inSamples);

    int i = 0;
    while (i < inSamples) {
        // Run of the more frequent zero, ended by one of the other.
        const int64_t nRun = (int64_t(irReader.unary()) << nParam) | irReader.bits(nParam);
        if (irReader.overrun())
            return kTruncated;
        if (nRun > inSamples - i)
            return kCorruptData;
        for (int64_t k = 0; k < nRun; ++k)
            opOut[i++] = nMore;
        if (i < inSamples)
            opOut[i++] = nLess;
    }
    return inSamples;
}

} // namespace g7110
