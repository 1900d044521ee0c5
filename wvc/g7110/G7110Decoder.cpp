#include "G7110Decoder.h"

#include "BitReader.h"
#include "Tools.h"

#include <cstring>

namespace g7110 {

namespace {

constexpr int kMaxSamples = 320;

// Frame types behind the 3-bit (frames up to 160 samples) or 2-bit (240 and
// 320 samples) type field of the header.
enum FrameType {
    Uncompressed,
    ConstPlusZero,
    ConstMinusZero,
    ConstValue,
    PlusMinusZeroBits,
    MinMaxLevel,
    ValueLocation,
    RicePlusZero,
    RiceMinusZero,
    NoCompress,
    Predicted
};

struct Header
{
    int nSamples = 0;
    FrameType eType = Uncompressed;
    int nFractionalType = 0; // non-zero: a fractional-bit frame of that type
    bool bEmpty = false;
};

// Parses the frame length prefix and the frame type. Returns 0 or a Result.
int parseHeader(BitReader& irReader, Header& orHeader)
{
    const int nPrefix = int(irReader.bits(2));
    if (nPrefix != 0) {
        orHeader.nSamples = nPrefix == 1 ? 40 : nPrefix == 2 ? 80 : 160;
    } else {
        const int nLong = int(irReader.bits(2));
        if (nLong >= 2) {
            orHeader.nSamples = nLong == 2 ? 240 : 320;
        } else {
            const int nLow = int(irReader.bits(4));
            if (irReader.overrun())
                return kTruncated;
            const int nType = (nLong << 4) | nLow;
            if (nType == 0) {
                orHeader.bEmpty = true;
                return 0;
            }
            // Types 2..31 are the fractional-bit frames; 1 is reserved.
            if (nType < 2)
                return kInvalidHeader;
            orHeader.nFractionalType = nType;
            return 0;
        }
    }

    bool bLongTerm = false;
    if (orHeader.nSamples <= 160) {
        if (irReader.bit() == 0) {
            switch (irReader.bits(2)) {
            case 0: {
                const int nType = int(irReader.bits(3));
                if (nType == 7)
                    return kInvalidFrameType;
                // The min/max level tool exists for 40-sample frames only.
                if (nType == MinMaxLevel && orHeader.nSamples != 40)
                    return kInvalidFrameType;
                orHeader.eType = FrameType(nType);
                return irReader.overrun() ? kTruncated : 0;
            }
            case 1:
                bLongTerm = true;
                break;
            case 2:
                orHeader.eType = RicePlusZero;
                return irReader.overrun() ? kTruncated : 0;
            default:
                orHeader.eType = RiceMinusZero;
                return irReader.overrun() ? kTruncated : 0;
            }
        }
        orHeader.eType = (bLongTerm && orHeader.nSamples == 40) ? NoCompress : Predicted;
        return irReader.overrun() ? kTruncated : 0;
    }

    if (irReader.bit() == 0) {
        if (irReader.bit() == 0) {
            orHeader.eType = FrameType(irReader.bits(2));
            return irReader.overrun() ? kTruncated : 0;
        }
        if (irReader.bit() == 0) {
            orHeader.eType = irReader.bit() ? ValueLocation : PlusMinusZeroBits;
            return irReader.overrun() ? kTruncated : 0;
        }
        bLongTerm = true;
    }
    const bool bPredicted = bLongTerm ? true : irReader.bit() != 0;
    if (bPredicted)
        orHeader.eType = Predicted;
    else
        orHeader.eType = irReader.bit() ? RiceMinusZero : RicePlusZero;
    return irReader.overrun() ? kTruncated : 0;
}

int decodeFrame(const uint16_t* ipInput, int inOctets, int inLaw, uint8_t* opOut, int* opnSamples, int* opnConsumed)
{
    const uint8_t nPlusZero = inLaw == MuLaw ? 0xFF : 0xD5;
    const uint8_t nMinusZero = inLaw == MuLaw ? 0x7F : 0x55;

    BitReader oReader(ipInput, inOctets);
    Header oHeader;
    int nResult = parseHeader(oReader, oHeader);
    if (nResult < 0)
        return nResult;
    if (oHeader.bEmpty) {
        *opnSamples = 0;
        *opnConsumed = 1;
        return 0;
    }
    if (oHeader.nFractionalType != 0) {
        nResult = decodeFractionalBits(oReader, oHeader.nFractionalType, inLaw, opOut, opnSamples);
        if (nResult < 0)
            return nResult;
        *opnConsumed = oReader.consumedOctets();
        return 0;
    }

    const int nSamples = oHeader.nSamples;
    *opnSamples = nSamples;
    switch (oHeader.eType) {
    case Uncompressed:
        // The symbols follow the one-octet header as they are.
        if (inOctets < 1 + nSamples)
            return kTruncated;
        for (int i = 0; i < nSamples; ++i)
            opOut[i] = uint8_t(ipInput[1 + i]);
        *opnConsumed = 1 + nSamples;
        return 0;
    case ConstPlusZero:
        std::memset(opOut, nPlusZero, size_t(nSamples));
        break;
    case ConstMinusZero:
        std::memset(opOut, nMinusZero, size_t(nSamples));
        break;
    case ConstValue:
        std::memset(opOut, int(oReader.bits(8)), size_t(nSamples));
        break;
    case PlusMinusZeroBits:
        for (int i = 0; i < nSamples; ++i)
            opOut[i] = oReader.bit() ? nMinusZero : nPlusZero;
        break;
    case MinMaxLevel: {
        // Its payload is octet-aligned and starts after the frame header.
        int nConsumed = 0;
        nResult = decodeMinMaxLevel(ipInput + 1, inOctets - 1, inLaw, opOut, &nConsumed);
        if (nResult < 0)
            return nResult;
        *opnConsumed = 1 + nConsumed;
        return 0;
    }
    case ValueLocation:
        nResult = decodeValueLocation(oReader, nSamples, inLaw, opOut);
        break;
    case RicePlusZero:
    case RiceMinusZero:
        nResult = decodeRiceZeroFrame(oReader, nSamples, inLaw, oHeader.eType == RiceMinusZero, opOut);
        break;
    case NoCompress:
        nResult = decodeNoCompress(oReader, nSamples, inLaw, opOut);
        break;
    case Predicted:
        return unsupported(MissingTool::LinearPrediction);
    }
    if (nResult < 0)
        return nResult;
    if (oReader.overrun())
        return kTruncated;
    *opnConsumed = oReader.consumedOctets();
    return 0;
}

} // namespace

int decode(const uint16_t* ipInput, int* ipnLength, uint16_t* ipOutput, int inCapacity, int inLaw)
{
    clearUnsupportedTool();
    if (!ipnLength)
        return kInvalidArgument;
    const int nOctets = *ipnLength;
    *ipnLength = 0;
    if (!ipInput || !ipOutput || nOctets < 0 || inCapacity < 0 || (inLaw != ALaw && inLaw != MuLaw))
        return kInvalidArgument;
    if (nOctets == 0)
        return kTruncated;

    // Decoded into a local frame first so that a failing frame leaves the
    // caller's area untouched and no tool can write past the capacity.
    uint8_t aFrame[kMaxSamples];
    int nSamples = 0;
    int nConsumed = 0;
    const int nResult = decodeFrame(ipInput, nOctets, inLaw, aFrame, &nSamples, &nConsumed);
    if (nResult < 0)
        return nResult;
    if (nSamples > inCapacity)
        return kOutputTooSmall;
    for (int i = 0; i < nSamples; ++i)
        ipOutput[i] = aFrame[i];
    *ipnLength = nConsumed;
    return nSamples;
}

} // namespace g7110
