// Fractional-bit frames: frames whose ranks span a few levels near rank 0.
// The frame type (first octet 2..31) names the frame length, the number of
// levels, the lowest rank and whether rank -1 (the mu-law minus zero) is
// left out of the level range.
#include "BitReader.h"
#include "G7110Decoder.h"
#include "LinearMap.h"
#include "Tools.h"

namespace g7110 {

namespace {

struct FractionalType
{
    int nSamples;
    int nLevels;  // levels actually coded
    int nLowest;  // rank of level 0
    bool bNoMinusOne;
};

// Types 2..31 in the order of the frame type list of the ITU-T G.711.0
// reference code (fract_bits.h), with the levels, lowest rank and missing
// rank that its decoder (fract_bits.c) assigns to each.
constexpr FractionalType kTypes[30] = {
    {40, 2, 0, false},  {40, 4, -2, false}, {40, 2, -2, true},  {40, 3, -2, true},
    {40, 3, -2, false}, {40, 3, -1, false}, {40, 4, -3, true},  {40, 5, -2, false},
    {40, 4, -2, true},  {40, 6, -3, false}, {40, 5, -3, true},  {40, 6, -4, true},
    {80, 2, 0, false},  {80, 4, -2, false}, {80, 2, -2, true},  {80, 3, -2, true},
    {80, 3, -2, false}, {80, 3, -1, false},
    {160, 2, 0, false}, {160, 4, -2, false}, {160, 2, -2, true}, {160, 3, -2, true},
    {240, 2, 0, false}, {240, 4, -2, false}, {240, 2, -2, true}, {240, 3, -2, true},
    {320, 2, 0, false}, {320, 4, -2, false}, {320, 2, -2, true}, {320, 3, -2, true},
};

} // namespace

int decodeFractionalBits(BitReader& irReader, int inType, int inLaw, uint8_t* opOut, int* opnSamples)
{
    if (inType < 2 || inType > 31)
        return kInvalidHeader;
    const FractionalType& rType = kTypes[inType - 2];
    if (inLaw != MuLaw)
        return unsupported(MissingTool::ALawLinearMap);
    // Three, five and six levels are packed into blocks whose sizes come
    // from tables that are not publicly available.
    if (rType.nLevels != 2 && rType.nLevels != 4)
        return unsupported(MissingTool::FractionalBitTable);

    const int nStep = rType.bNoMinusOne ? 2 : 1;
    for (int i = 0; i < rType.nSamples; ++i) {
        int nRank;
        if (rType.nLevels == 2) {
            nRank = rType.nLowest + (irReader.bit() ? nStep : 0);
        } else {
            nRank = rType.nLowest + int(irReader.bits(2));
            if (rType.bNoMinusOne && nRank + 1 >= 0)
                ++nRank;
        }
        opOut[i] = muLawFromRank(nRank);
    }
    if (irReader.overrun())
        return kTruncated;
    *opnSamples = rType.nSamples;
    return 0;
}

} // namespace g7110
