#pragma once
// Export of the reviewed calls' recordings into a folder: one redacted WAV
// file per call that has a recording, named after the call. Retention holds:
// the call list the export reads is the one the page gets, so a voice that
// has expired is skipped unless the authority override is active. Each file
// is written through QSaveFile, so a failed or cancelled export leaves no
// partial file. No widgets: the window and the command line ask and show.
#include "RedactionStage.h"

#include <QCoreApplication>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class Package;
struct ReviewCall;

class BatchExport
{
    Q_DECLARE_TR_FUNCTIONS(BatchExport)
public:
    struct Call
    {
        QJsonValue aId;
        QString sTimeStart;
        QVector<RedactionStage::Span> aRedact;
    };
    struct Skipped
    {
        QString sCall; // the call as the summary names it
        QString sReason;
    };
    struct Result
    {
        QStringList aWritten; // file names
        QVector<Skipped> aSkipped;
        bool bCancelled = false;
        QString sError; // the export stopped (unwritable folder, ...)
        bool ok() const { return !bCancelled && sError.isEmpty(); }
        // Several lines: what was written, what was skipped and why.
        QString summary() const;
    };
    // Called before each file and while it is written: the calls done, the
    // total and the file name; false cancels.
    using Progress = std::function<bool(int inDone, int inTotal, const QString& irsName)>;

    BatchExport(Package* ipPackage, const QVector<Call>& irCalls, const QString& isFolder,
                RedactionStage::Fill inFill = RedactionStage::Fill::Tone);

    // "<id>.wav" (or "<yyyymmdd-hhmmss>.wav" without an id), "-2", "-3"
    // for a name taken twice: the file each call gets, empty for calls
    // that are skipped.
    QStringList plannedNames() const;
    // Planned names that exist in the folder already.
    QStringList existingNames() const;
    // Writes the files. Existing files are replaced only with ibOverwrite;
    // without it an export that would replace one writes nothing.
    Result run(bool ibOverwrite, const Progress& irProgress = {});

    // "1001" for 1001, "A-7" for "A-7"; characters a file name cannot hold
    // become "_". A call without an id: "<yyyymmdd-hhmmss>".
    static QString baseName(const QJsonValue& irId, const QString& isTimeStart);
    // Every reviewed call with its "redact" notes as spans.
    static QVector<Call> fromReview(const QVector<ReviewCall>& irCalls);
    // "1001 (2026-12-10 16:44:59)".
    static QString callLabel(const Call& irCall);

private:
    struct Plan
    {
        QString sMember; // empty: skipped
        QString sReason;
        QString sName;
    };
    void plan();

    Package* mpPackage;
    QVector<Call> maCalls;
    QString msFolder;
    RedactionStage::Fill mnFill;
    QVector<Plan> maPlan;
};
