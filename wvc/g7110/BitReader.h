#pragma once
// Most-significant-bit-first reader over a G.711.0 payload held one octet
// per 16-bit unit. Reading past the last octet never touches memory beyond
// it: the reader returns zero bits and remembers the overrun, which the
// decoder turns into a "truncated frame" failure.
#include <cstdint>

namespace g7110 {

class BitReader
{
public:
    BitReader(const uint16_t* ipUnits, int inOctets)
        : mpUnits(ipUnits), mnTotalBits(inOctets > 0 ? inOctets * 8 : 0)
    {
    }

    // Up to 16 bits as an unsigned number.
    uint32_t bits(int inCount)
    {
        uint32_t nValue = 0;
        for (int i = 0; i < inCount; ++i)
            nValue = (nValue << 1) | bit();
        return nValue;
    }

    uint32_t bit()
    {
        if (mnPos >= mnTotalBits) {
            mbOverrun = true;
            return 0;
        }
        const uint32_t nOctet = mpUnits[mnPos >> 3] & 0xFFu;
        const uint32_t nBit = (nOctet >> (7 - (mnPos & 7))) & 1u;
        ++mnPos;
        return nBit;
    }

    // Unary code: the number of 0 bits before the next 1 bit. A run that
    // reaches the end of the payload is an overrun.
    int unary()
    {
        int nCount = 0;
        while (mnPos < mnTotalBits) {
            const uint32_t nOctet = mpUnits[mnPos >> 3] & 0xFFu;
            const int nBitInOctet = mnPos & 7;
            const uint32_t nRest = (nOctet << nBitInOctet) & 0xFFu;
            if (nRest == 0) {
                nCount += 8 - nBitInOctet;
                mnPos += 8 - nBitInOctet;
                continue;
            }
            int nZeros = 0;
            while (!(nRest & (0x80u >> nZeros)))
                ++nZeros;
            nCount += nZeros;
            mnPos += nZeros + 1;
            return nCount;
        }
        mbOverrun = true;
        return nCount;
    }

    bool overrun() const { return mbOverrun; }
    int bitsLeft() const { return mnTotalBits - mnPos; }

    // Octets touched so far, a partly read octet counting as consumed.
    int consumedOctets() const { return (mnPos + 7) >> 3; }

private:
    const uint16_t* mpUnits;
    int mnTotalBits;
    int mnPos = 0;
    bool mbOverrun = false;
};

} // namespace g7110
