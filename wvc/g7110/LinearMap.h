#pragma once
// The "linear" rank domain (-128..127) that several G.711.0 tools code
// symbols in. For mu-law the rank of a symbol is fixed by the reference
// decoder's published mapping formula for the plus/minus-zero mapped domain
// (mapping.c, unmap_ulaw_PMZero: rank r >= 0 gives symbol 255 - r, r < 0
// gives r + 128), which the symbol-to-rank table of its encoder must invert
// for the coding to be lossless. The A-law ranks come only from a table of
// the reference code that is not publicly available, so tools that code in
// this domain are unsupported for A-law.
#include <cstdint>

namespace g7110 {

inline bool rankInRange(int inRank) { return inRank >= -128 && inRank <= 127; }

inline uint8_t muLawFromRank(int inRank)
{
    return uint8_t(inRank >= 0 ? 255 - inRank : inRank + 128);
}

inline int rankFromMuLaw(uint8_t inSymbol)
{
    return inSymbol >= 128 ? 255 - inSymbol : int(inSymbol) - 128;
}

} // namespace g7110
