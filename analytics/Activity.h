#pragma once
#include "LevelSeries.h"

#include <vector>

namespace Analytics {

struct ActivityOptions
{
    float fFloorPercentile = 0.10f; // share of the quietest steps that make the noise floor
    float fFloorRatio = 4.0f;       // speech stands this far above the floor (12 dB)
    float fMinimumLevel = 512.0f;   // and never below this peak (-36 dBFS)
    int64_t nHangoverMs = 1200;     // a pause shorter than this stays inside the turn
    int64_t nMinimumBurstMs = 40;   // shorter bursts (clicks) are no speech
};

// The noise floor of one channel: the level below which the quietest share
// of its steps lie. A steady hiss or hum sets it, so neither counts.
float noiseFloor(const std::vector<float>& iaLevels, float ifPercentile);

// Decision: one flag per step, the level at or above the threshold.
std::vector<bool> decide(const std::vector<float>& iaLevels, float ifThreshold);

// Smoothing: the flagged steps as spans of time, bursts shorter than the
// minimum dropped, then gaps shorter than the hangover closed.
Spans smooth(const std::vector<bool>& iaActive, int inStepMs, const ActivityOptions& irOptions);

// Both steps for every channel of a series.
std::vector<Spans> detectActivity(const LevelSeries& irSeries, const ActivityOptions& irOptions = {});

} // namespace Analytics
