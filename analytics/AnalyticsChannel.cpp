#include "AnalyticsChannel.h"

#include "Activity.h"
#include "Package.h"
#include "RecordingLevels.h"

#include <QSaveFile>
#include <QTimer>
#include <QVariantList>
#include <QtConcurrent>

namespace {

QVariantList spanList(const Analytics::Spans& irSpans)
{
    QVariantList a;
    for (const Analytics::Span& aSpan : irSpans)
        a.append(QVariant(QVariantList{qint64(aSpan.nStart), qint64(aSpan.nEnd)}));
    return a;
}

} // namespace

AnalyticsChannel::AnalyticsChannel(Package* ipPackage, QObject* ipParent) : QObject(ipParent), mpPackage(ipPackage)
{
    connect(&maWatcher, &QFutureWatcherBase::finished, this, &AnalyticsChannel::runFinished);
}

AnalyticsChannel::~AnalyticsChannel()
{
    mbCancel = true;
    maWatcher.waitForFinished();
}

void AnalyticsChannel::clear()
{
    maKept.clear();
    // The workers read the package: it must not close under them.
    if (maWatcher.isRunning()) {
        mbCancel = true;
        maWatcher.waitForFinished();
    }
    maResults.clear();
    maCalls.clear();
}

bool AnalyticsChannel::analyseAll()
{
    if (maWatcher.isRunning() || !mpPackage || !mpPackage->isPackageOpen())
        return false;
    QVector<Analytics::CallRecording> aCalls;
    if (!Analytics::callsWithRecording(*mpPackage, aCalls))
        return false;
    maCalls = aCalls;
    maResults.clear();
    mbCancel = false;
    mnDone = 0;
    maTimer.start();
    Package* pPackage = mpPackage;
    const int nTotal = aCalls.size();
    // The workers only count; a timer on this thread tells the page every
    // 100 ms.
    auto progress = [this](int inDone) { mnDone = inDone; };
    maWatcher.setFuture(QtConcurrent::run([pPackage, aCalls, this, progress] {
        return Analytics::analyseCalls(*pPackage, aCalls, {}, &mbCancel, progress);
    }));
    auto* pTimer = new QTimer(this);
    pTimer->setInterval(100);
    connect(pTimer, &QTimer::timeout, this, [this, pTimer, nTotal] {
        if (!maWatcher.isRunning()) {
            pTimer->deleteLater();
            return;
        }
        const int nDone = mnDone;
        const qint64 nElapsed = maTimer.elapsed();
        emit progressJs(nDone, nTotal, nDone > 0 ? nElapsed * (nTotal - nDone) / nDone : -1);
    });
    pTimer->start();
    emit progressJs(0, nTotal, -1);
    return true;
}

void AnalyticsChannel::cancelAnalysis()
{
    mbCancel = true;
}

void AnalyticsChannel::runFinished()
{
    using namespace Analytics;
    maResults = maWatcher.result();
    const bool bCancelled = mbCancel;
    QVariantList aRows;
    for (int i = 0; i < maResults.size() && i < maCalls.size(); ++i) {
        const CallAnalysis& aAnalysis = maResults[i];
        QVariantMap aRow;
        aRow.insert(QStringLiteral("index"), maCalls[i].nIndex);
        aRow.insert(QStringLiteral("id"), maCalls[i].sCallId);
        if (aAnalysis.aFigures) {
            const CallFigures& f = *aAnalysis.aFigures;
            aRow.insert(QStringLiteral("channels"), f.nChannels);
            aRow.insert(QStringLiteral("duration_ms"), qint64(f.nDurationMs));
            aRow.insert(QStringLiteral("talk_ms"), qint64(f.nTalkMs));
            aRow.insert(QStringLiteral("silence_longest_ms"), qint64(f.nSilenceLongestMs));
            aRow.insert(QStringLiteral("silence_count"), f.nSilenceCount);
            aRow.insert(QStringLiteral("overtalk_total_ms"), qint64(f.nOvertalkTotalMs));
            aRow.insert(QStringLiteral("overtalk_count"), f.nOvertalkCount);
            if (f.nChannels > 1 && f.nAgentTalkMs + f.nCustomerTalkMs > 0)
                aRow.insert(QStringLiteral("talk_ratio"),
                            double(f.nAgentTalkMs) / double(f.nAgentTalkMs + f.nCustomerTalkMs));
            const Spans aTalk = aAnalysis.aActivity.size() > 1 ? unite(aAnalysis.aActivity[0], aAnalysis.aActivity[1])
                                                               : aAnalysis.aActivity.empty() ? Spans() : aAnalysis.aActivity[0];
            for (const Span& aSpan : atLeast(gaps(aTalk, f.nDurationMs), FigureOptions{}.nSilenceMs))
                if (aSpan.length() == f.nSilenceLongestMs) {
                    aRow.insert(QStringLiteral("silence_longest_start_ms"), qint64(aSpan.nStart));
                    break;
                }
        }
        aRows.append(aRow);
    }
    emit progressJs(mnDone, maCalls.size(), 0);
    emit finishedJs(aRows, bCancelled);
}

QByteArray AnalyticsChannel::csv() const
{
    QByteArray a = Analytics::csvHeader().toUtf8() + '\n';
    for (int i = 0; i < maResults.size() && i < maCalls.size(); ++i)
        a += Analytics::csvRow(maCalls[i], maResults[i]).toUtf8() + '\n';
    return a;
}

void AnalyticsChannel::saveCsv()
{
    if (maResults.isEmpty())
        return;
    emit saveRequested(QStringLiteral("call-figures.csv"));
}

bool AnalyticsChannel::writeCsv(const QString& isPath)
{
    const QByteArray a = csv();
    QSaveFile aFile(isPath);
    if (!aFile.open(QIODevice::WriteOnly) || aFile.write(a) != a.size() || !aFile.commit()) {
        emit saveFailedJs();
        return false;
    }
    return true;
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
