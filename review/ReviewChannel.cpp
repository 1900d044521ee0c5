#include "ReviewChannel.h"

#include "ReviewDocument.h"
#include "ReviewReport.h"

#include <QJsonArray>
#include <QJsonObject>

ReviewChannel::ReviewChannel(ReviewDocument* ipDocument, QObject* ipParent)
    : QObject(ipParent)
    , mpDocument(ipDocument)
{
    connect(mpDocument, &ReviewDocument::replaced, this, &ReviewChannel::notesReplacedJs);
    connect(mpDocument, &ReviewDocument::unsavedChanged, this, &ReviewChannel::unsavedChangedJs);
}

bool ReviewChannel::isUnsaved() const
{
    return mpDocument->isUnsaved();
}

QVariantList ReviewChannel::allNotes() const
{
    return callsWithNotes(*mpDocument).toVariantList();
}

void ReviewChannel::setCallNotes(const QVariant& irId, const QString& isTimeStart, const QVariantList& irNotes)
{
    const QJsonValue aId = QJsonValue::fromVariant(irId);
    if (!(aId.isDouble() || aId.isString()) || isTimeStart.isEmpty())
        return;
    QVector<ReviewNote> aNotes;
    for (const QVariant& aValue : irNotes) {
        QJsonObject aObject = QJsonObject::fromVariantMap(aValue.toMap());
        ReviewNote aNote;
        aNote.nStartMs = qint64(aObject.take(QStringLiteral("start_ms")).toDouble());
        aNote.nEndMs = qint64(aObject.take(QStringLiteral("end_ms")).toDouble());
        aNote.sCategory = aObject.take(QStringLiteral("category")).toString();
        aNote.sText = aObject.take(QStringLiteral("text")).toString();
        if (aNote.nStartMs < 0 || aNote.sCategory.isEmpty())
            continue;
        if (aNote.nEndMs < aNote.nStartMs)
            aNote.nEndMs = aNote.nStartMs;
        aNote.aExtra = aObject;
        aNotes.append(aNote);
    }
    mpDocument->setNotes(aId, isTimeStart, aNotes);
}
