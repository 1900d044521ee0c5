#include "CallFigures.h"

#include <QStringList>

#include <algorithm>

namespace Analytics {

namespace {

int64_t total(const Spans& irSpans)
{
    int64_t n = 0;
    for (const Span& aSpan : irSpans)
        n += aSpan.length();
    return n;
}

// Whether a span of irSpans covers the instant just before inAt.
bool coversBefore(const Spans& irSpans, int64_t inAt)
{
    for (const Span& aSpan : irSpans)
        if (aSpan.nStart < inAt && aSpan.nEnd >= inAt)
            return true;
    return false;
}

} // namespace

Spans unite(const Spans& irA, const Spans& irB)
{
    Spans aAll(irA);
    aAll.insert(aAll.end(), irB.begin(), irB.end());
    std::sort(aAll.begin(), aAll.end(), [](const Span& a, const Span& b) { return a.nStart < b.nStart; });
    Spans aResult;
    for (const Span& aSpan : aAll) {
        if (aSpan.length() <= 0)
            continue;
        if (!aResult.empty() && aSpan.nStart <= aResult.back().nEnd)
            aResult.back().nEnd = std::max(aResult.back().nEnd, aSpan.nEnd);
        else
            aResult.push_back(aSpan);
    }
    return aResult;
}

Spans intersect(const Spans& irA, const Spans& irB)
{
    Spans aResult;
    size_t i = 0, j = 0;
    while (i < irA.size() && j < irB.size()) {
        const int64_t nStart = std::max(irA[i].nStart, irB[j].nStart);
        const int64_t nEnd = std::min(irA[i].nEnd, irB[j].nEnd);
        if (nStart < nEnd)
            aResult.push_back({nStart, nEnd});
        if (irA[i].nEnd < irB[j].nEnd)
            ++i;
        else
            ++j;
    }
    return aResult;
}

Spans gaps(const Spans& irSpans, int64_t inDurationMs)
{
    Spans aResult;
    int64_t nAt = 0;
    for (const Span& aSpan : irSpans) {
        if (aSpan.nStart > nAt)
            aResult.push_back({nAt, std::min(aSpan.nStart, inDurationMs)});
        nAt = std::max(nAt, aSpan.nEnd);
    }
    if (nAt < inDurationMs)
        aResult.push_back({nAt, inDurationMs});
    return aResult;
}

Spans atLeast(const Spans& irSpans, int64_t inMinimumMs)
{
    Spans aResult;
    for (const Span& aSpan : irSpans)
        if (aSpan.length() >= inMinimumMs)
            aResult.push_back(aSpan);
    return aResult;
}

CallFigures computeFigures(const std::vector<Spans>& irActivity, int64_t inDurationMs, const FigureOptions& irOptions)
{
    CallFigures aFigures;
    aFigures.nChannels = int(irActivity.size());
    aFigures.nDurationMs = inDurationMs;
    const Spans aNone;
    const Spans& aLeft = irActivity.empty() ? aNone : irActivity[0];
    const Spans& aRight = irActivity.size() > 1 ? irActivity[1] : aNone;
    const Spans aTalk = unite(aLeft, aRight);
    aFigures.nTalkMs = total(aTalk);

    const Spans aSilences = atLeast(gaps(aTalk, inDurationMs), irOptions.nSilenceMs);
    aFigures.nSilenceTotalMs = total(aSilences);
    aFigures.nSilenceCount = int(aSilences.size());
    for (const Span& aSpan : aSilences)
        aFigures.nSilenceLongestMs = std::max(aFigures.nSilenceLongestMs, aSpan.length());

    if (irActivity.size() < 2)
        return aFigures;
    aFigures.nAgentTalkMs = total(aLeft);
    aFigures.nCustomerTalkMs = total(aRight);
    const Spans aOvertalk = atLeast(intersect(aLeft, aRight), irOptions.nOvertalkMs);
    aFigures.nOvertalkTotalMs = total(aOvertalk);
    aFigures.nOvertalkCount = int(aOvertalk.size());
    // The party that was already speaking just before the overtalk began was
    // interrupted by the other.
    for (const Span& aSpan : aOvertalk) {
        const bool bAgentBefore = coversBefore(aLeft, aSpan.nStart);
        const bool bCustomerBefore = coversBefore(aRight, aSpan.nStart);
        if (bCustomerBefore && !bAgentBefore)
            ++aFigures.nInterruptionsAgent;
        else if (bAgentBefore && !bCustomerBefore)
            ++aFigures.nInterruptionsCustomer;
    }
    return aFigures;
}

QString csvHeader()
{
    return QStringLiteral("call_id,time_start,channels,duration_ms,agent_talk_ms,customer_talk_ms,talk_ms,"
                          "silence_total_ms,silence_longest_ms,silence_count,overtalk_total_ms,overtalk_count,"
                          "interruptions_agent,interruptions_customer");
}

QString csvFigures(const CallFigures* ipFigures)
{
    QStringList aCells;
    if (!ipFigures) {
        for (int i = 0; i < 12; ++i)
            aCells << QString();
        return aCells.join(QLatin1Char(','));
    }
    const CallFigures& f = *ipFigures;
    const bool bStereo = f.nChannels >= 2;
    auto stereo = [bStereo](qint64 n) { return bStereo ? QString::number(n) : QString(); };
    aCells << QString::number(f.nChannels) << QString::number(f.nDurationMs) << stereo(f.nAgentTalkMs)
           << stereo(f.nCustomerTalkMs) << QString::number(f.nTalkMs) << QString::number(f.nSilenceTotalMs)
           << QString::number(f.nSilenceLongestMs) << QString::number(f.nSilenceCount) << stereo(f.nOvertalkTotalMs)
           << stereo(f.nOvertalkCount) << stereo(f.nInterruptionsAgent) << stereo(f.nInterruptionsCustomer);
    return aCells.join(QLatin1Char(','));
}

} // namespace Analytics
