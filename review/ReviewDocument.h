#pragma once
#include "ReviewNote.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>

// The notes of a review in memory, for every call they were written on,
// including calls the open package does not hold: nothing a reviewer wrote
// is dropped before it is saved.
class ReviewDocument : public QObject
{
    Q_OBJECT
public:
    enum class LoadResult { Loaded, LoadedOtherPackage, Failed };

    explicit ReviewDocument(QObject* ipParent = nullptr);

    QVector<ReviewNote> notes(const QJsonValue& irId, const QString& irsTimeStart) const;
    // An empty list removes the call.
    void setNotes(const QJsonValue& irId, const QString& irsTimeStart, const QVector<ReviewNote>& irNotes);
    QVector<ReviewCall> calls() const { return maCalls; }
    bool isEmpty() const { return maCalls.isEmpty(); }
    bool isUnsaved() const { return mbUnsaved; }
    void setUnsaved(bool ibUnsaved);
    // Forgets every note (another package was opened).
    void clear();

    // Replaces the contents with the review in iaJson. On failure nothing
    // changes and *ipsError says why. irCurrent is the open package (empty:
    // none), compared with the package the review was made on.
    LoadResult loadJson(const QByteArray& iaJson, const ReviewPackageInfo& irCurrent, QString* ipsError);
    LoadResult loadFile(const QString& isPath, const ReviewPackageInfo& irCurrent, QString* ipsError);
    // The review file, keys in the documented order, unknown keys after them.
    QByteArray toJson(const ReviewPackageInfo& irPackage, const QString& isReviewer,
                      const QDateTime& irtSaved) const;
    // Writes the file through QSaveFile and marks the review saved.
    bool saveFile(const QString& isPath, const ReviewPackageInfo& irPackage, const QString& isReviewer,
                  QString* ipsError);
    // Calls that the last load found twice and merged.
    int mergedDuplicates() const { return mnMergedDuplicates; }

    // Id as the review file keeps it: whole numbers as integers.
    static QJsonValue normalizedId(const QJsonValue& irId);

signals:
    void changed();
    void unsavedChanged(bool ibUnsaved);
    // Every call's notes were replaced at once (a review opened or cleared).
    void replaced();

private:
    int indexOf(const QJsonValue& irId, const QString& irsTimeStart) const;

    QVector<ReviewCall> maCalls;
    QJsonObject maExtra;
    QJsonObject maPackageExtra;
    bool mbUnsaved = false;
    int mnMergedDuplicates = 0;
};

// Writes iaData to isPath through QSaveFile, every write checked.
bool writeFileSafely(const QString& isPath, const QByteArray& iaData, QString* ipsError);
