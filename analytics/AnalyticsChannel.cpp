#include "AnalyticsChannel.h"

#include "Activity.h"
#include "Package.h"
#include "RecordingLevels.h"

#include <QVariantList>

namespace {

QVariantList spanList(const Analytics::Spans& irSpans)
{
    QVariantList a;
    for (const Analytics::Span& aSpan : irSpans)
        a.append(QVariant(QVariantList{qint64(aSpan.nStart), qint64(aSpan.nEnd)}));
    return a;
}

} // namespace

AnalyticsChannel::AnalyticsChannel(Package* ipPackage, QObject* ipParent) : QObject(ipParent), mpPackage(ipPackage) {}

void AnalyticsChannel::clear()
{
    maKept.clear();
}

QVariantMap AnalyticsChannel::activity(const QString& isPath, int inSilenceMs)
{
    using namespace Analytics;
    QVariantMap aResult;
    if (!mpPackage || !mpPackage->isPackageOpen() || mpPackage->entryStoredSize(isPath) < 0) {
        aResult.insert(QStringLiteral("ok"), false);
        aResult.insert(QStringLiteral("error"), QStringLiteral("no such recording"));
        return aResult;
    }
    if (!maKept.contains(isPath)) {
        if (maKept.size() > 16)
            maKept.clear();
        const RecordingLevels aLevels = readRecordingLevels(*mpPackage, isPath);
        Kept aKept;
        aKept.sError = aLevels.sError;
        if (aLevels.nSource != LevelSource::None) {
            aKept.aActivity = detectActivity(aLevels.aSeries);
            aKept.nDurationMs = aLevels.nDurationMs;
            aKept.sError.clear();
        }
        maKept.insert(isPath, aKept);
    }
    const Kept& aKept = maKept[isPath];
    if (aKept.aActivity.empty()) {
        aResult.insert(QStringLiteral("ok"), false);
        aResult.insert(QStringLiteral("error"), aKept.sError);
        return aResult;
    }
    FigureOptions aOptions;
    aOptions.nSilenceMs = std::max(100, inSilenceMs);
    const CallFigures f = computeFigures(aKept.aActivity, aKept.nDurationMs, aOptions);
    const Spans aTalk = aKept.aActivity.size() > 1 ? unite(aKept.aActivity[0], aKept.aActivity[1]) : aKept.aActivity[0];
    QVariantList aSpeech;
    for (const Spans& a : aKept.aActivity)
        aSpeech.append(QVariant(spanList(a)));
    aResult.insert(QStringLiteral("ok"), true);
    aResult.insert(QStringLiteral("channels"), f.nChannels);
    aResult.insert(QStringLiteral("duration"), qint64(f.nDurationMs));
    aResult.insert(QStringLiteral("speech"), aSpeech);
    aResult.insert(QStringLiteral("silences"), spanList(atLeast(gaps(aTalk, f.nDurationMs), aOptions.nSilenceMs)));
    aResult.insert(QStringLiteral("overtalk"),
                   aKept.aActivity.size() > 1
                       ? spanList(atLeast(intersect(aKept.aActivity[0], aKept.aActivity[1]), aOptions.nOvertalkMs))
                       : QVariantList());
    QVariantMap aFigures;
    aFigures.insert(QStringLiteral("duration_ms"), qint64(f.nDurationMs));
    aFigures.insert(QStringLiteral("talk_ms"), qint64(f.nTalkMs));
    aFigures.insert(QStringLiteral("silence_total_ms"), qint64(f.nSilenceTotalMs));
    aFigures.insert(QStringLiteral("silence_longest_ms"), qint64(f.nSilenceLongestMs));
    aFigures.insert(QStringLiteral("silence_count"), f.nSilenceCount);
    if (f.nChannels > 1) {
        aFigures.insert(QStringLiteral("agent_talk_ms"), qint64(f.nAgentTalkMs));
        aFigures.insert(QStringLiteral("customer_talk_ms"), qint64(f.nCustomerTalkMs));
        aFigures.insert(QStringLiteral("overtalk_total_ms"), qint64(f.nOvertalkTotalMs));
        aFigures.insert(QStringLiteral("overtalk_count"), f.nOvertalkCount);
        aFigures.insert(QStringLiteral("interruptions_agent"), f.nInterruptionsAgent);
        aFigures.insert(QStringLiteral("interruptions_customer"), f.nInterruptionsCustomer);
    }
    aResult.insert(QStringLiteral("figures"), aFigures);
    return aResult;
}
