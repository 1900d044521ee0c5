// Prints how fast WVC::Decoder decodes a 60-minute stereo PCM16 recording
// (× real time) and how long the fast level scan of it takes (ms).
// Goals: level scan under 50 ms, full decode at least 2000 × real time.
#include "BenchFigure.h"
#include "FrameEncoder.h"
#include "MemoryDecoder.h"
#include "WvcWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point inStart)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - inStart).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int nMinutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const uint32_t nRate = 8000;
    const size_t nSamples = static_cast<size_t>(nRate) * 60 * nMinutes;
    std::vector<std::vector<int16_t>> aChannels(2, std::vector<int16_t>(nSamples));
    for (size_t i = 0; i < nSamples; ++i) {
        aChannels[0][i] = static_cast<int16_t>(9000 * std::sin(0.031 * static_cast<double>(i)));
        aChannels[1][i] = static_cast<int16_t>(7000 * std::sin(0.017 * static_cast<double>(i)) + (i % 97) * 20);
    }
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder("PCM16", 160, sError);
    auto pRight = wvctools::makeFrameEncoder("PCM16", 160, sError);
    wvctools::WvcWriterOptions aOptions;
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    auto tWrite = std::chrono::steady_clock::now();
    if (!aWriter.write(aChannels, {pLeft.get(), pRight.get()}, aPages)) {
        std::fprintf(stderr, "writer failed: %s\n", aWriter.error().c_str());
        return 1;
    }
    const std::vector<uint8_t> aFile = wvctools::WvcWriter::join(aPages);
    std::printf("file: %d min stereo PCM16 at %u Hz, %zu bytes, %zu pages (written in %.2f s)\n", nMinutes, nRate,
                aFile.size(), aPages.size(), secondsSince(tWrite));
    aPages.clear();
    const double fAudioSeconds = 60.0 * nMinutes;

    double fBestDecode = 1e300;
    double fBestScan = 1e300;
    for (int nRun = 0; nRun < 3; ++nRun) {
        wvctools::MemoryDecoder aDecoder(aFile);
        aDecoder.setCollect(false);
        auto tStart = std::chrono::steady_clock::now();
        if (aDecoder.openAll() != 0 || aDecoder.decodeAll(false) != 0) {
            std::fprintf(stderr, "decode failed: %s\n", aDecoder.lastError().c_str());
            return 1;
        }
        const double fSeconds = secondsSince(tStart);
        fBestDecode = std::min(fBestDecode, fSeconds);
        std::printf("full decode:     %8.1f ms  %7.0f x real time  (%llu samples per channel)\n", fSeconds * 1000,
                    fAudioSeconds / fSeconds, static_cast<unsigned long long>(aDecoder.nPcmSamples));
    }
    for (int nRun = 0; nRun < 3; ++nRun) {
        wvctools::MemoryDecoder aDecoder(aFile);
        aDecoder.setCollect(false);
        auto tStart = std::chrono::steady_clock::now();
        if (aDecoder.openAll() != 0 || aDecoder.decodeAll(true) != 0) {
            std::fprintf(stderr, "level scan failed: %s\n", aDecoder.lastError().c_str());
            return 1;
        }
        const double fSeconds = secondsSince(tStart);
        fBestScan = std::min(fBestScan, fSeconds);
        std::printf("fast level scan: %8.1f ms  (%zu level pages)\n", fSeconds * 1000,
                    aDecoder.aLevelPositions.size());
    }
    const std::string sLength = std::to_string(nMinutes) + " min";
    printFigure("WVC: full decode, stereo PCM16 " + sLength, figureText("%.0f x real time", fAudioSeconds / fBestDecode),
                ">= 2000 x real time", fAudioSeconds / fBestDecode >= 2000);
    printFigure("WVC: fast level scan " + sLength, figureText("%.1f ms", fBestScan * 1000), "< 50 ms",
                fBestScan * 1000 < 50);
    return 0;
}
