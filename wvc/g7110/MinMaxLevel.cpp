// Min/max level frames (40 samples): every rank is coded as a fixed-width
// offset from an anchor rank. Its own octet-aligned header follows the frame
// header: 3 bits of sample width and 5 bits of anchor code.
#include "BitReader.h"
#include "G7110Decoder.h"
#include "LinearMap.h"
#include "Tools.h"

namespace g7110 {

namespace {

// Codes as in the ITU-T G.711.0 reference decoder (G711Zdecode_function.c).
constexpr int kSamples = 40;
constexpr int kFullWidthCode = 30;  // with width 0: eight bits from rank -128
constexpr int kExplicitAnchor = 31; // the anchor rank + 128 follows in one octet

} // namespace

int decodeMinMaxLevel(const uint16_t* ipInput, int inOctets, int inLaw, uint8_t* opOut, int* opnConsumed)
{
    if (inOctets < 1)
        return kTruncated;
    const int nWidthCode = (ipInput[0] >> 5) & 0x07;
    const int nAnchorCode = ipInput[0] & 0x1F;
    int nWidth = nWidthCode;
    int nAnchor = -128;
    int nPos = 1;
    if (nWidthCode == 0 && nAnchorCode == kFullWidthCode) {
        nWidth = 8;
    } else if (nAnchorCode == kFullWidthCode) {
        return kInvalidFrameType; // reserved
    } else if (nAnchorCode == kExplicitAnchor) {
        if (inOctets < 2)
            return kTruncated;
        nAnchor = int(ipInput[1] & 0xFF) - 128;
        nPos = 2;
    } else {
        // Anchor codes 0..29 index a table that is not publicly available.
        return unsupported(MissingTool::MinMaxAnchorTable);
    }
    if (inLaw != MuLaw)
        return unsupported(MissingTool::ALawLinearMap);

    BitReader oReader(ipInput + nPos, inOctets - nPos);
    for (int i = 0; i < kSamples; ++i) {
        const int nRank = nAnchor + int(oReader.bits(nWidth));
        if (!rankInRange(nRank))
            return oReader.overrun() ? kTruncated : kCorruptData;
        opOut[i] = muLawFromRank(nRank);
    }
    if (oReader.overrun())
        return kTruncated;
    *opnConsumed = nPos + oReader.consumedOctets();
    return 0;
}

} // namespace g7110
