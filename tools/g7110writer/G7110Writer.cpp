#include "G7110Writer.h"

#include <cstring>

namespace g7110 {

namespace {

// Frame type codes of the header, as the decoder reads them.
enum WriterType { TypeUncompressed = 0, TypePlusZero = 1, TypeMinusZero = 2, TypeConstant = 3 };

// First octet of a frame: the frame length prefix followed by the frame type.
// Up to 160 samples: 2-bit length code, 0, 00, 3-bit type. 240 and 320
// samples: 00, 2-bit length code, 0, 0, 2-bit type.
int headerOctet(int inCount, int inType)
{
    switch (inCount) {
    case 40:
        return 0x40 | inType;
    case 80:
        return 0x80 | inType;
    case 160:
        return 0xC0 | inType;
    case 240:
        return 0x20 | inType;
    default:
        return 0x30 | inType;
    }
}

// The plus/minus-zero frame (one bit per sample, 1 = minus zero).
int plusMinusZeroOctet(int inCount)
{
    return inCount <= 160 ? headerOctet(inCount, 4) : headerOctet(inCount, 0) | 0x04;
}

} // namespace

int encode(const uint8_t* ipSymbols, int inCount, int inLaw, uint8_t* ipOutput, int inCapacity)
{
    if (!ipSymbols || !ipOutput || (inLaw != 0 && inLaw != 1))
        return -1;
    if (inCount != 40 && inCount != 80 && inCount != 160 && inCount != 240 && inCount != 320)
        return -1;
    const uint8_t nPlusZero = inLaw == 1 ? 0xFF : 0xD5;
    const uint8_t nMinusZero = inLaw == 1 ? 0x7F : 0x55;

    bool bConstant = true;
    bool bZerosOnly = true;
    for (int i = 0; i < inCount; ++i) {
        bConstant = bConstant && ipSymbols[i] == ipSymbols[0];
        bZerosOnly = bZerosOnly && (ipSymbols[i] == nPlusZero || ipSymbols[i] == nMinusZero);
    }

    if (bConstant) {
        if (ipSymbols[0] == nPlusZero || ipSymbols[0] == nMinusZero) {
            if (inCapacity < 1)
                return -2;
            ipOutput[0] = uint8_t(headerOctet(inCount, ipSymbols[0] == nPlusZero ? TypePlusZero : TypeMinusZero));
            return 1;
        }
        if (inCapacity < 2)
            return -2;
        ipOutput[0] = uint8_t(headerOctet(inCount, TypeConstant));
        ipOutput[1] = ipSymbols[0];
        return 2;
    }

    if (bZerosOnly) {
        const int nSize = 1 + inCount / 8;
        if (inCapacity < nSize)
            return -2;
        ipOutput[0] = uint8_t(plusMinusZeroOctet(inCount));
        std::memset(ipOutput + 1, 0, size_t(inCount / 8));
        for (int i = 0; i < inCount; ++i)
            if (ipSymbols[i] == nMinusZero)
                ipOutput[1 + i / 8] |= uint8_t(0x80 >> (i % 8));
        return nSize;
    }

    if (inCapacity < 1 + inCount)
        return -2;
    ipOutput[0] = uint8_t(headerOctet(inCount, TypeUncompressed));
    std::memcpy(ipOutput + 1, ipSymbols, size_t(inCount));
    return 1 + inCount;
}

} // namespace g7110
