#include "Activity.h"

#include <algorithm>

namespace Analytics {

float noiseFloor(const std::vector<float>& iaLevels, float ifPercentile)
{
    if (iaLevels.empty())
        return 0.0f;
    std::vector<float> aSorted(iaLevels);
    const size_t nIndex = std::min(aSorted.size() - 1, size_t(ifPercentile * float(aSorted.size())));
    std::nth_element(aSorted.begin(), aSorted.begin() + std::ptrdiff_t(nIndex), aSorted.end());
    return aSorted[nIndex];
}

std::vector<bool> decide(const std::vector<float>& iaLevels, float ifThreshold)
{
    std::vector<bool> aActive(iaLevels.size());
    for (size_t i = 0; i < iaLevels.size(); ++i)
        aActive[i] = iaLevels[i] >= ifThreshold;
    return aActive;
}

Spans smooth(const std::vector<bool>& iaActive, int inStepMs, const ActivityOptions& irOptions)
{
    Spans aBursts;
    for (size_t i = 0; i < iaActive.size();) {
        if (!iaActive[i]) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < iaActive.size() && iaActive[j])
            ++j;
        const Span aBurst{int64_t(i) * inStepMs, int64_t(j) * inStepMs};
        if (aBurst.length() >= irOptions.nMinimumBurstMs)
            aBursts.push_back(aBurst);
        i = j;
    }
    Spans aTurns;
    for (const Span& aBurst : aBursts) {
        if (!aTurns.empty() && aBurst.nStart - aTurns.back().nEnd < irOptions.nHangoverMs)
            aTurns.back().nEnd = aBurst.nEnd;
        else
            aTurns.push_back(aBurst);
    }
    return aTurns;
}

std::vector<Spans> detectActivity(const LevelSeries& irSeries, const ActivityOptions& irOptions)
{
    std::vector<Spans> aResult;
    for (const std::vector<float>& aLevels : irSeries.aLevels) {
        const float fFloor = noiseFloor(aLevels, irOptions.fFloorPercentile);
        const float fThreshold = std::max(fFloor * irOptions.fFloorRatio, irOptions.fMinimumLevel);
        aResult.push_back(smooth(decide(aLevels, fThreshold), irSeries.nStepMs, irOptions));
    }
    return aResult;
}

} // namespace Analytics
