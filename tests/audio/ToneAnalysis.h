#pragma once
// Measures of recorded or processed sound used by the tempo tests: a test
// tone, the dominant frequency of a stretch of samples, and where sound is.
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tonetest {

// inFrames frames of a sine tone per channel (channel c at ifHz × (1 + c/2)),
// interleaved, at amplitude 12000.
inline std::vector<qint16> tone(int inFrames, int inChannels, int inRate, double ifHz)
{
    std::vector<qint16> aSamples(size_t(inFrames) * size_t(inChannels));
    for (int i = 0; i < inFrames; ++i) {
        for (int c = 0; c < inChannels; ++c) {
            const double fHz = ifHz * (1.0 + c / 2.0);
            aSamples[size_t(i * inChannels + c)] = qint16(std::lround(12000.0 * std::sin(2 * M_PI * fHz * i / inRate)));
        }
    }
    return aSamples;
}

// The frequency in Hz (1 Hz steps from 50 Hz to a third of the rate) at
// which channel inChannel of inFrames frames from inFirst has the most energy.
inline double dominantFrequency(const std::vector<qint16>& irSamples, int inChannels, int inChannel, int inRate,
                                size_t inFirst, size_t inFrames)
{
    double fBest = 0.0, fBestPower = -1.0;
    for (double fHz = 50.0; fHz < inRate / 3.0; fHz += 1.0) {
        // Goertzel over the stretch.
        const double fCoefficient = 2.0 * std::cos(2 * M_PI * fHz / inRate);
        double s1 = 0.0, s2 = 0.0;
        for (size_t i = inFirst; i < inFirst + inFrames && i * inChannels + inChannel < irSamples.size(); ++i) {
            const double s0 = irSamples[i * inChannels + inChannel] + fCoefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double fPower = s1 * s1 + s2 * s2 - fCoefficient * s1 * s2;
        if (fPower > fBestPower) {
            fBestPower = fPower;
            fBest = fHz;
        }
    }
    return fBest;
}

} // namespace tonetest

namespace tonetest {

// Energy of channel inChannel at ifHz over inFrames frames from inFirst.
inline double power(const std::vector<qint16>& irSamples, int inChannels, int inChannel, int inRate, size_t inFirst,
                    size_t inFrames, double ifHz)
{
    const double fCoefficient = 2.0 * std::cos(2 * M_PI * ifHz / inRate);
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = inFirst; i < inFirst + inFrames && i * inChannels + inChannel < irSamples.size(); ++i) {
        const double s0 = irSamples[i * inChannels + inChannel] + fCoefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - fCoefficient * s1 * s2;
}

// Frames of silence (every channel 0) in the longest run between inFirst and
// inEnd.
inline size_t longestSilence(const std::vector<qint16>& irSamples, int inChannels, size_t inFirst, size_t inEnd)
{
    size_t nLongest = 0, nRun = 0;
    for (size_t f = inFirst; f < inEnd && (f + 1) * inChannels <= irSamples.size(); ++f) {
        bool bSilent = true;
        for (int c = 0; c < inChannels; ++c)
            bSilent = bSilent && irSamples[f * inChannels + c] == 0;
        nRun = bSilent ? nRun + 1 : 0;
        nLongest = std::max(nLongest, nRun);
    }
    return nLongest;
}

} // namespace tonetest
