// Value-location ("multi-run") frames: a few ranks around rank 0, each coded
// by the positions it takes among the samples not yet placed.
#include "BasicOps.h"
#include "BitReader.h"
#include "G7110Decoder.h"
#include "LinearMap.h"
#include "Tools.h"

namespace g7110 {

namespace {

// Field widths and codes as in the ITU-T G.711.0 reference code (multirun.h,
// multirun.c).
constexpr int kExponentBits = 3;
constexpr int kEmptyLevel = 5;     // exponent code: the level does not occur
constexpr int kBitmap = 0;         // exponent code: one flag bit per sample
constexpr int kDirect = 7;         // exponent code: up to four explicit positions
constexpr int kDirectCountBits = 2;

// Next level offset from the uncoded level: alternating above and below,
// moving outwards, and one-sided once one side is exhausted.
int nextOffset(int inLevels, int inUncoded, int inOffset, int& irnIncrement, int& irnToggle)
{
    using namespace ops;
    int16_t nOffset = int16_t(inOffset);
    if (irnToggle > 0) {
        nOffset = negate(nOffset);
        if (irnIncrement > 0) {
            if (nOffset >= 0)
                nOffset = add(nOffset, 2);
            nOffset = sub(nOffset, 1);
            irnIncrement = 0;
        } else {
            irnIncrement = 1;
        }
        const int nIndex = inUncoded + nOffset;
        if (nIndex < 0 || nIndex > inLevels) {
            nOffset = negate(nOffset);
            if (irnIncrement > 0) {
                if (nOffset >= 0)
                    nOffset = add(nOffset, 2);
                nOffset = sub(nOffset, 1);
            }
            irnToggle = 0;
            irnIncrement = 1;
        }
    } else {
        if (nOffset >= 0)
            nOffset = add(nOffset, 2);
        nOffset = sub(nOffset, 1);
    }
    return nOffset;
}

// Bits that address one of inLength positions: the bit length of
// inLength - 1, or 15 when that is 0 (the operator's norm of 0 is 0).
int positionBits(int inLength)
{
    return 15 - ops::norm_s(int16_t(inLength - 1));
}

} // namespace

int decodeValueLocation(BitReader& irReader, int inSamples, int inLaw, uint8_t* opOut)
{
    if (inLaw != MuLaw)
        return unsupported(MissingTool::ALawLinearMap);

    // Special cases: number of levels beyond the uncoded one, and the index
    // of the uncoded level (rank 0) among them.
    int nLevels = 0;
    int nUncoded = 0;
    switch (irReader.bits(2)) {
    case 0:
        nLevels = 3;
        nUncoded = 2;
        break;
    case 1:
        nLevels = 2;
        nUncoded = 1;
        break;
    case 2:
        nLevels = 2;
        nUncoded = 2;
        break;
    default:
        nLevels = 1;
        nUncoded = 0;
        break;
    }
    int nOffset = irReader.bit() ? 1 : -1;
    int nToggle = 1;
    int nIncrement = 0;

    int8_t aRank[320];
    int16_t aFree[320]; // sample positions not yet given a level
    int nFree = inSamples;
    for (int i = 0; i < inSamples; ++i)
        aFree[i] = int16_t(i);

    for (int nLevel = 1; nLevel <= nLevels; ++nLevel) {
        const int nExponent = int(irReader.bits(kExponentBits));
        if (irReader.overrun())
            return kTruncated;
        int16_t aHit[320]; // indices into aFree, strictly increasing
        int nHits = 0;
        if (nExponent == kEmptyLevel) {
            // nothing of this level
        } else if (nExponent == kBitmap) {
            for (int i = 0; i < nFree; ++i)
                if (irReader.bit())
                    aHit[nHits++] = int16_t(i);
        } else if (nExponent == kDirect) {
            const int nCount = int(irReader.bits(kDirectCountBits)) + 1;
            const int nBits = positionBits(nFree);
            for (int k = 0; k < nCount; ++k) {
                const int nIndex = int(irReader.bits(nBits));
                // Positions outside the free list or out of order cannot come
                // from an encoder and would corrupt the bookkeeping.
                if (nIndex >= nFree || (nHits > 0 && nIndex <= aHit[nHits - 1]))
                    return irReader.overrun() ? kTruncated : kCorruptData;
                aHit[nHits++] = int16_t(nIndex);
            }
        } else {
            int64_t nIndex = 0;
            while (nIndex < nFree) {
                nIndex += (int64_t(irReader.unary()) << nExponent) | irReader.bits(nExponent);
                if (irReader.overrun())
                    return kTruncated;
                if (nIndex < nFree)
                    aHit[nHits++] = int16_t(nIndex);
                ++nIndex;
            }
        }
        if (irReader.overrun())
            return kTruncated;

        for (int k = 0; k < nHits; ++k)
            aRank[aFree[aHit[k]]] = int8_t(nOffset);
        // Drop the placed positions from the free list.
        int nKept = 0;
        int nNext = 0;
        for (int i = 0; i < nFree; ++i) {
            if (nNext < nHits && aHit[nNext] == i) {
                ++nNext;
                continue;
            }
            aFree[nKept++] = aFree[i];
        }
        nFree = nKept;
        nOffset = nextOffset(nLevels, nUncoded, nOffset, nIncrement, nToggle);
    }
    for (int i = 0; i < nFree; ++i)
        aRank[aFree[i]] = 0;

    for (int i = 0; i < inSamples; ++i)
        opOut[i] = muLawFromRank(aRank[i]);
    return inSamples;
}

} // namespace g7110
