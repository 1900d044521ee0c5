#pragma once
// Test-only G.711.0 frame builders, written from the bitstream definitions
// independently of the decoder: an MSB-first bit writer and one builder per
// supported coding tool. Shared by the decoder tests and the benchmark.
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace g7110test {

class BitWriter
{
public:
    void bits(uint32_t inValue, int inCount)
    {
        for (int i = inCount - 1; i >= 0; --i)
            bit((inValue >> i) & 1u);
    }
    void bit(uint32_t inBit)
    {
        if (mnBits % 8 == 0)
            maOctets.push_back(0);
        if (inBit)
            maOctets.back() |= uint8_t(0x80u >> (mnBits % 8));
        ++mnBits;
    }
    // inCount zeros, then a one.
    void unary(int inCount)
    {
        for (int i = 0; i < inCount; ++i)
            bit(0);
        bit(1);
    }
    // Unsigned Rice code: unary of the high part, inParam low bits.
    void rice(uint32_t inValue, int inParam)
    {
        unary(int(inValue >> inParam));
        bits(inValue & ((1u << inParam) - 1u), inParam);
    }
    const std::vector<uint8_t>& octets() const { return maOctets; }

private:
    std::vector<uint8_t> maOctets;
    int mnBits = 0;
};

inline uint8_t plusZero(int inLaw) { return inLaw ? 0xFF : 0xD5; }
inline uint8_t minusZero(int inLaw) { return inLaw ? 0x7F : 0x55; }
inline uint8_t muLawFromRank(int inRank) { return uint8_t(inRank >= 0 ? 255 - inRank : inRank + 128); }

// Frame length prefix: 2 bits (40/80/160) or 4 bits (240/320).
inline void lengthPrefix(BitWriter& irWriter, int inSamples)
{
    switch (inSamples) {
    case 40: irWriter.bits(1, 2); break;
    case 80: irWriter.bits(2, 2); break;
    case 160: irWriter.bits(3, 2); break;
    case 240: irWriter.bits(2, 4); break;
    default: irWriter.bits(3, 4); break;
    }
}

// Simple frame types: 0 uncompressed, 1 plus zeros, 2 minus zeros,
// 3 constant, 4 plus/minus zero bits.
inline void simpleHeader(BitWriter& irWriter, int inSamples, int inType)
{
    lengthPrefix(irWriter, inSamples);
    if (inSamples <= 160) {
        irWriter.bits(0, 3);
        irWriter.bits(uint32_t(inType), 3);
    } else if (inType < 4) {
        irWriter.bits(0, 2);
        irWriter.bits(uint32_t(inType), 2);
    } else {
        irWriter.bits(0x4, 4); // 0, 1, 0, 0
    }
}

inline std::vector<uint8_t> uncompressedFrame(const std::vector<uint8_t>& irSymbols)
{
    BitWriter oWriter;
    simpleHeader(oWriter, int(irSymbols.size()), 0);
    for (uint8_t nSymbol : irSymbols)
        oWriter.bits(nSymbol, 8);
    return oWriter.octets();
}

// Plus/minus zeros with Rice-coded runs of the more frequent zero.
// inParam 1..9 within what the frame length can signal.
inline std::vector<uint8_t> riceZeroFrame(const std::vector<uint8_t>& irSymbols, int inLaw, bool inbMinusMore, int inParam,
                                          bool inbAltSeven = false)
{
    const int nSamples = int(irSymbols.size());
    BitWriter oWriter;
    lengthPrefix(oWriter, nSamples);
    if (nSamples <= 160) {
        oWriter.bits(0, 1);
        oWriter.bits(inbMinusMore ? 3 : 2, 2);
    } else {
        oWriter.bits(1, 1);
        oWriter.bits(0, 1);
        oWriter.bits(inbMinusMore ? 1 : 0, 1);
    }
    if (inParam < 3) {
        oWriter.bits(uint32_t(inParam), 2);
    } else {
        oWriter.bits(3, 2);
        if (nSamples == 40) {
            if (inParam == 3) {
                oWriter.bit(0);
            } else {
                oWriter.bit(1);
                oWriter.bit(uint32_t(inParam - 4));
            }
        } else if (nSamples == 80) {
            oWriter.bits(uint32_t(inParam - 3), 2);
        } else if (inParam <= 4) {
            oWriter.bits(uint32_t(inParam - 3), 2);
        } else if (inParam == 7 && !inbAltSeven) {
            oWriter.bits(3, 2);
            oWriter.bit(0);
        } else if (inParam <= 6 && !inbAltSeven) {
            oWriter.bits(2, 2);
            oWriter.bit(uint32_t(inParam - 5));
        } else {
            oWriter.bits(3, 2);
            oWriter.bit(1);
            oWriter.bits(uint32_t(inParam - 6), 2);
        }
    }
    const uint8_t nMore = inbMinusMore ? minusZero(inLaw) : plusZero(inLaw);
    uint32_t nRun = 0;
    for (int i = 0; i < nSamples; ++i) {
        if (irSymbols[size_t(i)] == nMore) {
            ++nRun;
        } else {
            oWriter.rice(nRun, inParam);
            nRun = 0;
        }
    }
    if (nRun > 0)
        oWriter.rice(nRun, inParam);
    return oWriter.octets();
}

// Symbol sequence of plus and minus zeros with random runs.
inline std::vector<uint8_t> randomZeros(int inSamples, int inLaw, bool inbMinusMore, int inMeanRun)
{
    std::vector<uint8_t> aSymbols;
    const uint8_t nMore = inbMinusMore ? minusZero(inLaw) : plusZero(inLaw);
    const uint8_t nLess = inbMinusMore ? plusZero(inLaw) : minusZero(inLaw);
    for (int i = 0; i < inSamples; ++i)
        aSymbols.push_back(std::rand() % (inMeanRun + 1) == 0 ? nLess : nMore);
    return aSymbols;
}

// No-compression frame (40 mu-law samples) from ranks -128..127.
inline std::vector<uint8_t> noCompressFrame(const std::vector<int>& irRanks)
{
    BitWriter oWriter;
    lengthPrefix(oWriter, 40);
    oWriter.bits(0, 1);
    oWriter.bits(1, 2); // long-term flag, which means no compression at 40 samples
    std::vector<int> aMagnitude;
    for (int nRank : irRanks)
        aMagnitude.push_back(nRank < 0 ? -nRank : nRank);
    for (int i = 0; i < 4; ++i) {
        oWriter.bits(uint32_t(aMagnitude[size_t(i)] & 0x7F), 7);
        oWriter.bit(irRanks[size_t(i)] < 0 ? 1 : 0);
    }
    for (size_t i = 4; i < irRanks.size(); ++i) {
        const int nResidual = ((aMagnitude[i - 1] + aMagnitude[i - 2] + aMagnitude[i - 3] + aMagnitude[i - 4]) >> 2) - aMagnitude[i];
        // Signed Rice mapping: 2v for v >= 0, -2v - 1 for v < 0.
        const uint32_t nCode = nResidual >= 0 ? uint32_t(2 * nResidual) : uint32_t(-2 * nResidual - 1);
        oWriter.rice(nCode, 5);
    }
    for (size_t i = 4; i < irRanks.size(); ++i)
        oWriter.bit(irRanks[i] < 0 ? 1 : 0);
    return oWriter.octets();
}

// Min/max level frame (40 mu-law samples) with an explicit anchor, or the
// full eight-bit width when inWidth is 8.
inline std::vector<uint8_t> minMaxFrame(const std::vector<int>& irRanks, int inAnchor, int inWidth)
{
    BitWriter oWriter;
    lengthPrefix(oWriter, 40);
    oWriter.bits(0, 3);
    oWriter.bits(5, 3);
    if (inWidth == 8) {
        oWriter.bits(30, 8); // width code 0, anchor code 30
        inAnchor = -128;
    } else {
        oWriter.bits(uint32_t((inWidth << 5) | 31), 8);
        oWriter.bits(uint32_t(inAnchor + 128), 8);
    }
    for (int nRank : irRanks)
        oWriter.bits(uint32_t(nRank - inAnchor), inWidth);
    return oWriter.octets();
}

// Fractional-bit frame of type inType with 2 or 4 levels (mu-law ranks).
inline std::vector<uint8_t> fractionalFrame(int inType, int inLevels, int inLowest, bool inbNoMinusOne, const std::vector<int>& irRanks)
{
    BitWriter oWriter;
    oWriter.bits(uint32_t(inType), 8);
    for (int nRank : irRanks) {
        int nCode = nRank - inLowest;
        if (inbNoMinusOne && nRank >= 0)
            nCode -= 1;
        if (inLevels == 2)
            oWriter.bit(nCode != 0 ? 1 : 0);
        else
            oWriter.bits(uint32_t(nCode), 2);
    }
    return oWriter.octets();
}

// Value-location frame. inCase 0..3 fixes the level set: 0 ranks -2..1,
// 1 ranks -1..1, 2 ranks -2..0, 3 ranks 0..1. inMethod picks the position
// code for every coded level: 0 one bit per free position, 7 direct
// positions (at most four), otherwise the Rice parameter of the run code.
inline std::vector<uint8_t> valueLocationFrame(const std::vector<int>& irRanks, int inCase, bool inbUp, int inMethod)
{
    const int nSamples = int(irRanks.size());
    BitWriter oWriter;
    lengthPrefix(oWriter, nSamples);
    if (nSamples <= 160) {
        oWriter.bits(0, 3);
        oWriter.bits(6, 3);
    } else {
        oWriter.bits(0x5, 4); // 0, 1, 0, 1
    }
    static const int kLevels[4] = {3, 2, 2, 1};
    static const int kUncoded[4] = {2, 1, 2, 0};
    const int nLevels = kLevels[inCase];
    const int nUncoded = kUncoded[inCase];
    oWriter.bits(uint32_t(inCase), 2);
    oWriter.bit(inbUp ? 1 : 0);

    std::vector<int> aFree;
    for (int i = 0; i < nSamples; ++i)
        aFree.push_back(i);
    int nOffset = inbUp ? 1 : -1;
    int nToggle = 1;
    int nIncrement = 0;
    for (int nLevel = 1; nLevel <= nLevels; ++nLevel) {
        std::vector<int> aHits;
        std::vector<int> aRest;
        for (size_t k = 0; k < aFree.size(); ++k) {
            if (irRanks[size_t(aFree[k])] == nOffset)
                aHits.push_back(int(k));
            else
                aRest.push_back(aFree[k]);
        }
        if (aHits.empty()) {
            oWriter.bits(5, 3);
        } else if (inMethod == 0) {
            oWriter.bits(0, 3);
            size_t nNext = 0;
            for (size_t k = 0; k < aFree.size(); ++k) {
                const bool bHit = nNext < aHits.size() && aHits[nNext] == int(k);
                oWriter.bit(bHit ? 1 : 0);
                if (bHit)
                    ++nNext;
            }
        } else if (inMethod == 7) {
            oWriter.bits(7, 3);
            oWriter.bits(uint32_t(aHits.size() - 1), 2);
            int nBits = 0;
            while ((1 << nBits) < int(aFree.size()))
                ++nBits;
            if (aFree.size() == 1)
                nBits = 15;
            for (int nHit : aHits)
                oWriter.bits(uint32_t(nHit), nBits);
        } else {
            oWriter.bits(uint32_t(inMethod), 3);
            int nStart = 0;
            for (int nHit : aHits) {
                oWriter.rice(uint32_t(nHit - nStart), inMethod);
                nStart = nHit + 1;
            }
            if (nStart < int(aFree.size()))
                oWriter.rice(uint32_t(int(aFree.size()) - nStart), inMethod);
        }
        aFree = aRest;
        // Next level: alternate sides moving outwards, one-sided once a side
        // runs out of levels.
        if (nToggle) {
            nOffset = -nOffset;
            if (nIncrement) {
                nOffset += nOffset >= 0 ? 1 : -1;
                nIncrement = 0;
            } else {
                nIncrement = 1;
            }
            const int nIndex = nUncoded + nOffset;
            if (nIndex < 0 || nIndex > nLevels) {
                nOffset = -nOffset;
                if (nIncrement)
                    nOffset += nOffset >= 0 ? 1 : -1;
                nToggle = 0;
                nIncrement = 1;
            }
        } else {
            nOffset += nOffset >= 0 ? 1 : -1;
        }
    }
    return oWriter.octets();
}

// Units of one octet each, as the decoder takes them.
inline std::vector<uint16_t> toUnits(const std::vector<uint8_t>& irOctets)
{
    return std::vector<uint16_t>(irOctets.begin(), irOctets.end());
}

} // namespace g7110test
