// Decoding speed of the G.711.0 decoder per coding tool, in symbols per
// second and as a multiple of real time (8000 symbols per second). The goal
// is at least 1000 x real time for every tool.
#include "BenchFigure.h"
#include "FrameBuilder.h"
#include "G7110Decoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace g7110test;

namespace {

struct Case
{
    std::string sName;
    int nLaw;
    std::vector<uint8_t> aFrame;
};

double symbolsPerSecond(const Case& irCase, int& ornSamples)
{
    std::vector<uint16_t> aUnits = toUnits(irCase.aFrame);
    uint16_t aOut[g7110::kOutputCapacity];
    long long nSymbols = 0;
    int nCalls = 0;
    const auto tStart = std::chrono::steady_clock::now();
    double fSeconds = 0;
    do {
        for (int i = 0; i < 1000; ++i) {
            int nLength = int(aUnits.size());
            const int nResult = g7110::decode(aUnits.data(), &nLength, aOut, g7110::kOutputCapacity, irCase.nLaw);
            if (nResult <= 0) {
                std::fprintf(stderr, "%s: decode failed (%d)\n", irCase.sName.c_str(), nResult);
                std::exit(1);
            }
            ornSamples = nResult;
            nSymbols += nResult;
        }
        nCalls += 1000;
        fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
    } while (fSeconds < 0.25);
    return double(nSymbols) / fSeconds;
}

std::vector<int> randomRanks(int inCount, int inLow, int inHigh)
{
    std::vector<int> aRanks;
    for (int i = 0; i < inCount; ++i)
        aRanks.push_back(inLow + std::rand() % (inHigh - inLow + 1));
    return aRanks;
}

} // namespace

int main()
{
    std::srand(7110);
    std::vector<Case> aCases;
    for (int nSamples : {40, 160, 320}) {
        const std::string sLen = std::to_string(nSamples);
        std::vector<uint8_t> aSymbols;
        for (int i = 0; i < nSamples; ++i)
            aSymbols.push_back(uint8_t(std::rand()));
        aCases.push_back({"uncompressed " + sLen, 0, uncompressedFrame(aSymbols)});
        BitWriter oPlus;
        simpleHeader(oPlus, nSamples, 1);
        aCases.push_back({"constant plus zero " + sLen, 1, oPlus.octets()});
        BitWriter oConst;
        simpleHeader(oConst, nSamples, 3);
        oConst.bits(0x42, 8);
        aCases.push_back({"constant value " + sLen, 0, oConst.octets()});
        BitWriter oBits;
        simpleHeader(oBits, nSamples, 4);
        for (int i = 0; i < nSamples; ++i)
            oBits.bit(uint32_t(std::rand() & 1));
        aCases.push_back({"plus/minus zero bits " + sLen, 1, oBits.octets()});
        aCases.push_back({"Rice zero frame " + sLen, 0, riceZeroFrame(randomZeros(nSamples, 0, false, 3), 0, false, 2)});
        const int nType2 = nSamples == 40 ? 2 : nSamples == 160 ? 20 : 28;
        const int nType4 = nType2 + 1;
        aCases.push_back({"fractional-bit 2 levels " + sLen, 1, fractionalFrame(nType2, 2, 0, false, randomRanks(nSamples, 0, 1))});
        aCases.push_back({"fractional-bit 4 levels " + sLen, 1, fractionalFrame(nType4, 4, -2, false, randomRanks(nSamples, -2, 1))});
        aCases.push_back({"value-location bitmap " + sLen, 1, valueLocationFrame(randomRanks(nSamples, -2, 1), 0, true, 0)});
        aCases.push_back({"value-location Rice " + sLen, 1, valueLocationFrame(randomRanks(nSamples, -1, 1), 1, true, 2)});
    }
    aCases.push_back({"min/max level width 4 40", 1, minMaxFrame(randomRanks(40, -10, 5), -10, 4)});
    aCases.push_back({"min/max level width 8 40", 1, minMaxFrame(randomRanks(40, -128, 127), -128, 8)});
    aCases.push_back({"no compression 40", 1, noCompressFrame(randomRanks(40, -30, 30))});

    std::printf("%-34s %8s %16s %12s\n", "tool / frame length", "octets", "symbols/s", "x real time");
    bool bAllMet = true;
    double fSlowest = 1e300;
    for (const Case& rCase : aCases) {
        int nSamples = 0;
        const double fRate = symbolsPerSecond(rCase, nSamples);
        const double fRealTime = fRate / 8000.0;
        bAllMet = bAllMet && fRealTime >= 1000.0;
        fSlowest = std::min(fSlowest, fRealTime);
        std::printf("%-34s %8zu %16.0f %12.0f\n", rCase.sName.c_str(), rCase.aFrame.size(), fRate, fRealTime);
    }
    std::printf("goal 1000 x real time (8 000 000 symbols/s): %s\n", bAllMet ? "met by every tool" : "NOT met by every tool");
    printFigure("G.711.0: slowest coding tool", figureText("%.0f x real time", fSlowest), ">= 1000 x real time", bAllMet);
    return 0;
}
