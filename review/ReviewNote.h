#pragma once
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVector>

// One note on a recording: a point when nEndMs equals nStartMs, else a range.
struct ReviewNote
{
    qint64 nStartMs = 0;
    qint64 nEndMs = 0;
    QString sCategory; // "finding", "follow-up", "ok", "redact"
    QString sText;
    QJsonObject aExtra; // keys we do not know, written back unchanged

    bool operator==(const ReviewNote& irOther) const
    {
        return nStartMs == irOther.nStartMs && nEndMs == irOther.nEndMs && sCategory == irOther.sCategory
            && sText == irOther.sText && aExtra == irOther.aExtra;
    }
};

// The notes of one call. A call is known by id and start time together:
// ids repeat across exports, start times repeat across calls.
struct ReviewCall
{
    QJsonValue aId;
    QString sTimeStart; // "yyyy-MM-dd hh:mm:ss" as in the call list
    QVector<ReviewNote> aNotes;
    QJsonObject aExtra;
};

// What a review file records of the package it was made on.
struct ReviewPackageInfo
{
    QString sFile; // file name without folder
    qint64 nSize = -1;
    QString sSha256; // lower-case hex of the whole file

    bool isEmpty() const { return sFile.isEmpty() && nSize < 0 && sSha256.isEmpty(); }
};

// Name, size and hash of the file at isPath; empty when it cannot be read.
ReviewPackageInfo readPackageInfo(const QString& isPath);
