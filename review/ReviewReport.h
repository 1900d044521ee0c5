#pragma once
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

class ReviewDocument;
struct ReviewNote;

// A note as the page and the report see it: its keys, unknown ones included.
QJsonObject noteObject(const ReviewNote& irNote);

// Every call with notes: [{"id", "time_start", "notes": [...]}].
QJsonArray callsWithNotes(const ReviewDocument& irDocument);

// What the report page renders:
// {"package": file name, "reviewer", "date": ISO UTC, "calls": callsWithNotes}.
QJsonObject reviewReportData(const ReviewDocument& irDocument, const QString& isPackageFile,
                             const QString& isReviewer, const QDateTime& irtDate);
