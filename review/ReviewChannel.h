#pragma once
#include <QObject>
#include <QVariantList>

class ReviewDocument;

// The review as the page sees it through the web channel ("Review"). The
// page keeps its own view of the notes and sends each change; the document
// behind this object is what is saved.
class ReviewChannel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool bUnsaved READ isUnsaved NOTIFY unsavedChangedJs)
public:
    explicit ReviewChannel(ReviewDocument* ipDocument, QObject* ipParent = nullptr);

    // [{"id", "time_start", "notes": [{"start_ms", "end_ms", "category", "text", ...}]}]
    Q_INVOKABLE QVariantList allNotes() const;
    Q_INVOKABLE void setCallNotes(const QVariant& irId, const QString& isTimeStart, const QVariantList& irNotes);
    Q_INVOKABLE void requestSave() { emit saveRequested(); }
    Q_INVOKABLE void requestOpen() { emit openRequested(); }
    Q_INVOKABLE void requestReport() { emit reportRequested(); }
    Q_INVOKABLE void requestExportRecordings() { emit exportRecordingsRequested(); }
    // The reviewer's choice for redacted passages, "tone" or "silence": the
    // page says it whenever it changes, the export of recordings uses it.
    Q_INVOKABLE void setRedactWith(const QString& isFill)
    {
        msRedactWith = isFill == QLatin1String("silence") ? isFill : QStringLiteral("tone");
    }
    QString redactWith() const { return msRedactWith; }

    bool isUnsaved() const;

signals:
    void notesReplacedJs();
    void unsavedChangedJs();
    void saveRequested();
    void openRequested();
    void reportRequested();
    void exportRecordingsRequested();

private:
    ReviewDocument* mpDocument;
    QString msRedactWith = QStringLiteral("tone");
};
