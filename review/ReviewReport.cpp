#include "ReviewReport.h"

#include "ReviewDocument.h"

QJsonObject noteObject(const ReviewNote& irNote)
{
    QJsonObject aObject = irNote.aExtra;
    aObject.insert(QStringLiteral("start_ms"), irNote.nStartMs);
    aObject.insert(QStringLiteral("end_ms"), irNote.nEndMs);
    aObject.insert(QStringLiteral("category"), irNote.sCategory);
    aObject.insert(QStringLiteral("text"), irNote.sText);
    return aObject;
}

QJsonArray callsWithNotes(const ReviewDocument& irDocument)
{
    QJsonArray aCalls;
    const QVector<ReviewCall> aAll = irDocument.calls();
    for (const ReviewCall& aCall : aAll) {
        if (aCall.aNotes.isEmpty())
            continue;
        QJsonArray aNotes;
        for (const ReviewNote& aNote : aCall.aNotes)
            aNotes.append(noteObject(aNote));
        aCalls.append(QJsonObject { { QStringLiteral("id"), aCall.aId },
                                    { QStringLiteral("time_start"), aCall.sTimeStart },
                                    { QStringLiteral("notes"), aNotes } });
    }
    return aCalls;
}

QJsonObject reviewReportData(const ReviewDocument& irDocument, const QString& isPackageFile,
                             const QString& isReviewer, const QDateTime& irtDate)
{
    return QJsonObject { { QStringLiteral("package"), isPackageFile },
                         { QStringLiteral("reviewer"), isReviewer },
                         { QStringLiteral("date"), irtDate.toUTC().toString(Qt::ISODate) },
                         { QStringLiteral("calls"), callsWithNotes(irDocument) } };
}
