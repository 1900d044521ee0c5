#pragma once
// Synthetic calls with known turns: shaped noise bursts per party over a
// steady hiss at -50 dBFS, a 50 Hz hum on the customer's channel.
#include "../waveform/WaveformTestFiles.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace AnalyticsTestFiles {

using Bursts = std::vector<std::pair<int, int>>; // ms, start and end

constexpr int cnRate = 8000;

// One channel: hiss everywhere, speech-like noise (a syllable-rate
// envelope, 10 ms ramps) inside each burst, a hum when inHum is not 0.
inline std::vector<int16_t> channel(int inDurationMs, const Bursts& iaBursts, unsigned inSeed, double ifHum = 0.0)
{
    std::mt19937 aRandom(inSeed);
    std::normal_distribution<double> aNoise(0.0, 1.0);
    const double fHiss = 32768.0 * std::pow(10.0, -50.0 / 20.0);
    const int nCount = inDurationMs * cnRate / 1000;
    std::vector<int16_t> a(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i) {
        const double t = double(i) / cnRate;
        double f = fHiss * aNoise(aRandom) + ifHum * std::sin(2 * M_PI * 50 * t);
        for (const auto& aBurst : iaBursts) {
            const double fStart = aBurst.first / 1000.0, fEnd = aBurst.second / 1000.0;
            if (t < fStart || t >= fEnd)
                continue;
            const double fRamp = std::min({1.0, (t - fStart) / 0.01, (fEnd - t) / 0.01});
            const double fEnvelope = 0.6 + 0.4 * std::sin(2 * M_PI * 4 * (t - fStart));
            f += 5000.0 * fRamp * fEnvelope * aNoise(aRandom);
        }
        a[size_t(i)] = int16_t(std::clamp(std::lround(f), -32768L, 32767L));
    }
    return a;
}

inline QByteArray monoWav(const std::vector<int16_t>& iaSamples)
{
    return WaveformTestFiles::pcm16Wav(std::vector<qint16>(iaSamples.begin(), iaSamples.end()), cnRate);
}

enum class LevelDamage { None, Missing, BadPage };

// A PCM16 WVC file of the channels; its level stream whole, left out, or
// with one page of the quiet end (28 s) broken.
inline QByteArray wvcFile(const std::vector<std::vector<int16_t>>& iaChannels, LevelDamage inDamage = LevelDamage::None)
{
    std::string sError;
    std::vector<std::unique_ptr<wvctools::FrameEncoder>> aOwned;
    std::vector<wvctools::FrameEncoder*> aEncoders;
    for (size_t i = 0; i < iaChannels.size(); ++i) {
        aOwned.push_back(wvctools::makeFrameEncoder("PCM16", 160, sError));
        aEncoders.push_back(aOwned.back().get());
    }
    wvctools::WvcWriter aWriter(wvctools::WvcWriterOptions{});
    std::vector<wvctools::WvcPage> aPages;
    if (!aWriter.write(iaChannels, aEncoders, aPages))
        return {};
    std::vector<wvctools::WvcPage> aKept;
    int nLevelPages = 0;
    for (wvctools::WvcPage& aPage : aPages) {
        if (aPage.nSerial == 12 && aPage.nGranule != 0) {
            ++nLevelPages;
            if (inDamage == LevelDamage::Missing)
                continue;
            if (inDamage == LevelDamage::BadPage && nLevelPages == 28)
                aPage.aBytes.back() ^= 0x5a; // the checksum no longer holds
        }
        aKept.push_back(std::move(aPage));
    }
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aKept);
    return QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()));
}

} // namespace AnalyticsTestFiles
