#pragma once
#include "CallFigures.h"
#include "RecordingLevels.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <optional>

class Package;

namespace Analytics {

// A call of the list that has a recording, in list order.
struct CallRecording
{
    QString sCallId;    // as the record writes it
    QString sTimeStart;
    QString sPath;      // member path of the recording
    int nIndex = -1;    // place in the call list
};

// The calls with a recording of an open package, after retention (the call
// list as the page gets it). False when the call list cannot be read.
bool callsWithRecording(Package& irPackage, QVector<CallRecording>& irCalls, QString* ipError = nullptr);

struct CallAnalysis
{
    std::optional<CallFigures> aFigures; // none when the recording could not be decoded
    std::vector<Spans> aActivity;        // per channel
    LevelSource nSource = LevelSource::None;
    QString sError;
};

// Levels, activity and figures of one recording.
CallAnalysis analyseRecording(Package& irPackage, const QString& isPath, const FigureOptions& irOptions = {});
// The same from a series already read.
CallAnalysis analyseLevels(const RecordingLevels& irLevels, const FigureOptions& irOptions = {});

// Every call on all cores, results in call order. Calls not begun when
// *ipCancel turns true are left without figures ("cancelled"). irProgress,
// when set, is called from the worker threads with the count of calls done.
QVector<CallAnalysis> analyseCalls(Package& irPackage, const QVector<CallRecording>& irCalls,
                                   const FigureOptions& irOptions = {}, const std::atomic<bool>* ipCancel = nullptr,
                                   const std::function<void(int)>& irProgress = {});

// One CSV line (without line break) of a call and its figures.
QString csvRow(const CallRecording& irCall, const CallAnalysis& irAnalysis);

} // namespace Analytics
