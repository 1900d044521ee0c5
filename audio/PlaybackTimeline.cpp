#include "PlaybackTimeline.h"

#include <cmath>

void PlaybackTimeline::restart(qint64 inPositionMs, double ifTempo, qint64 inBytesPerSecond)
{
    maMarks.assign(1, Mark { 0, inPositionMs });
    mbLooped = false;
    mfTempo = ifTempo;
    mnBytesPerSecond = inBytesPerSecond;
}

void PlaybackTimeline::markLoop(qint64 inOutputBytes, qint64 inPositionMs)
{
    if (mnBytesPerSecond <= 0)
        return;
    maMarks.push_back(Mark { inOutputBytes * 1000000 / mnBytesPerSecond, inPositionMs });
    mbLooped = true;
}

bool PlaybackTimeline::isPlain() const
{
    return !mbLooped && qFuzzyCompare(mfTempo, 1.0);
}

qint64 PlaybackTimeline::position(qint64 inPlayedUs)
{
    // Marks already played are of no further use, except the last of them.
    size_t nCurrent = 0;
    while (nCurrent + 1 < maMarks.size() && maMarks[nCurrent + 1].nOutputUs <= inPlayedUs)
        ++nCurrent;
    maMarks.erase(maMarks.begin(), maMarks.begin() + long(nCurrent));
    const Mark& rMark = maMarks.front();
    return rMark.nPositionMs + std::llround(double(inPlayedUs - rMark.nOutputUs) / 1000.0 * mfTempo);
}
