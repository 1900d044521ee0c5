#pragma once
#include "CallFigures.h"
#include "PackageAnalysis.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QVariantList>

#include <atomic>

#include <QHash>
#include <QObject>
#include <QVariantMap>

class Package;

// The page's "Analytics" channel object: the activity and figures of one
// recording, for the lanes under the waveform. The levels of the last
// recordings asked for are kept, so a new silence threshold costs nothing.
class AnalyticsChannel : public QObject
{
    Q_OBJECT
public:
    AnalyticsChannel(Package* ipPackage, QObject* ipParent = nullptr);
    // A run still going is cancelled and waited for: its workers use this.
    ~AnalyticsChannel() override;

    // isPath: the recording's member path ("/app/wave/x.wvc"); inSilenceMs:
    // the silence threshold. A map with "ok", "channels", "duration",
    // "speech" (per channel a list of [start, end] in ms), "silences",
    // "overtalk" and "figures" (the CSV's names), or "ok" false and "error".
    Q_INVOKABLE QVariantMap activity(const QString& isPath, int inSilenceMs);

    // Analyses every call with a recording in the background, on all cores;
    // progressJs while it runs, then finishedJs with one map per call
    // ("index" in the call list, "id", the figures, "talk_ratio" of the
    // agent's share of the talk, "silence_longest_start_ms"). The results
    // live in memory only.
    Q_INVOKABLE bool analyseAll();
    Q_INVOKABLE void cancelAnalysis();
    // Asks the window for a target (saveRequested) and writes the figures of
    // the last run there as CSV.
    Q_INVOKABLE void saveCsv();
    // The CSV of the last run, as "pkgtool analyse" prints it.
    QByteArray csv() const;
    // Writes csv() through QSaveFile; false (and saveFailedJs) on failure.
    bool writeCsv(const QString& isPath);

signals:
    void progressJs(int nDone, int nTotal, qint64 nMsLeft);
    void finishedJs(const QVariantList& aResults, bool bCancelled);
    void saveFailedJs();
    void saveRequested(const QString& sProposedName);

public slots:
    // A package was opened or closed: what was kept belongs to the old one,
    // and a run over it stops.
    void clear();

private:
    struct Kept
    {
        std::vector<Analytics::Spans> aActivity;
        qint64 nDurationMs = 0;
        QString sError;
    };
    void runFinished();

    Package* mpPackage;
    QHash<QString, Kept> maKept;
    QFutureWatcher<QVector<Analytics::CallAnalysis>> maWatcher;
    QVector<Analytics::CallRecording> maCalls;
    QVector<Analytics::CallAnalysis> maResults;
    std::atomic<bool> mbCancel{false};
    std::atomic<int> mnDone{0};
    QElapsedTimer maTimer;
};
