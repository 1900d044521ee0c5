#pragma once
// Saturating 16/32-bit fixed-point operators with the arithmetic of the
// ITU-T basic operators that G.711.0 is written in. Unlike the published
// set they never abort or exit: every operand is legal, and out-of-range
// shifts saturate, so hostile frames can only produce wrong numbers, which
// the callers then reject.
#include <cstdint>

namespace g7110 {
namespace ops {

constexpr int32_t kMax16 = 32767;
constexpr int32_t kMin16 = -32768;

inline int16_t saturate(int32_t inValue)
{
    if (inValue > kMax16)
        return int16_t(kMax16);
    if (inValue < kMin16)
        return int16_t(kMin16);
    return int16_t(inValue);
}

inline int16_t add(int16_t inA, int16_t inB) { return saturate(int32_t(inA) + inB); }
inline int16_t sub(int16_t inA, int16_t inB) { return saturate(int32_t(inA) - inB); }
inline int16_t negate(int16_t inA) { return inA == kMin16 ? int16_t(kMax16) : int16_t(-inA); }

inline int16_t shl(int16_t inValue, int16_t inShift);

// Arithmetic right shift; a negative count shifts left with saturation.
inline int16_t shr(int16_t inValue, int16_t inShift)
{
    if (inShift < 0)
        return shl(inValue, int16_t(inShift == kMin16 ? kMax16 : -inShift));
    if (inShift >= 15)
        return inValue < 0 ? int16_t(-1) : int16_t(0);
    return int16_t(inValue >> inShift);
}

// Left shift saturating to the 16-bit range; a negative count shifts right.
inline int16_t shl(int16_t inValue, int16_t inShift)
{
    if (inShift < 0)
        return shr(inValue, int16_t(inShift == kMin16 ? kMax16 : -inShift));
    if (inValue == 0)
        return 0;
    if (inShift > 15)
        return inValue > 0 ? int16_t(kMax16) : int16_t(kMin16);
    return saturate(int32_t(inValue) * (int32_t(1) << inShift));
}

// Number of left shifts that normalise inValue; 0 for 0.
inline int16_t norm_s(int16_t inValue)
{
    if (inValue == 0)
        return 0;
    if (inValue == -1)
        return 15;
    int32_t nValue = inValue < 0 ? ~int32_t(inValue) : int32_t(inValue);
    int16_t nShift = 0;
    while (nValue < 0x4000) {
        nValue <<= 1;
        ++nShift;
    }
    return nShift;
}

} // namespace ops
} // namespace g7110
