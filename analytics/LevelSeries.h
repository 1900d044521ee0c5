#pragma once
#include <cstdint>
#include <vector>

namespace Analytics {

// Peak magnitudes (16-bit sample scale, 0 .. 32768) of one recording, one
// value per step and channel, channels side by side.
struct LevelSeries
{
    int nChannels = 1;
    int nStepMs = 20;
    std::vector<std::vector<float>> aLevels; // [channel][step]

    int64_t steps() const { return aLevels.empty() ? 0 : int64_t(aLevels[0].size()); }
};

// Half-open span of time in milliseconds.
struct Span
{
    int64_t nStart = 0;
    int64_t nEnd = 0;
    int64_t length() const { return nEnd - nStart; }
    bool operator==(const Span& irOther) const { return nStart == irOther.nStart && nEnd == irOther.nEnd; }
};
using Spans = std::vector<Span>;

} // namespace Analytics
