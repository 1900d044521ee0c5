#pragma once
#include "LevelSeries.h"

#include <QString>

#include <vector>

namespace Analytics {

struct FigureOptions
{
    int64_t nSilenceMs = 2000;  // a silence is at least this long
    int64_t nOvertalkMs = 300;  // overtalk is at least this long
};

// The figures of one call, in milliseconds and counts. The stereo-only ones
// (agent, customer, overtalk, interruptions) mean nothing for mono.
struct CallFigures
{
    int nChannels = 0;
    int64_t nDurationMs = 0;
    int64_t nAgentTalkMs = 0;
    int64_t nCustomerTalkMs = 0;
    int64_t nTalkMs = 0;
    int64_t nSilenceTotalMs = 0;
    int64_t nSilenceLongestMs = 0;
    int nSilenceCount = 0;
    int64_t nOvertalkTotalMs = 0;
    int nOvertalkCount = 0;
    int nInterruptionsAgent = 0;
    int nInterruptionsCustomer = 0;
};

// Spans covered by any of the inputs, joined.
Spans unite(const Spans& irA, const Spans& irB);
// Spans covered by both inputs.
Spans intersect(const Spans& irA, const Spans& irB);
// The gaps of irSpans within 0 .. inDurationMs, the start and end included.
Spans gaps(const Spans& irSpans, int64_t inDurationMs);
// Spans at least inMinimumMs long.
Spans atLeast(const Spans& irSpans, int64_t inMinimumMs);

// The figures from the activity of each channel (left = agent, right =
// customer) over a recording of inDurationMs.
CallFigures computeFigures(const std::vector<Spans>& irActivity, int64_t inDurationMs,
                           const FigureOptions& irOptions = {});

// The CSV columns after call_id and time_start, for one call; all empty
// but the channel count when ipFigures is null (a recording not decoded).
QString csvFigures(const CallFigures* ipFigures);
QString csvHeader();

} // namespace Analytics
