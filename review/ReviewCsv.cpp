#include "ReviewCsv.h"

#include "ReviewDocument.h"
#include "ReviewJson.h"

namespace {

void appendField(QByteArray& orLine, const QString& isField)
{
    const QByteArray aUtf8 = isField.toUtf8();
    bool bQuote = false;
    for (char c : aUtf8) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            bQuote = true;
            break;
        }
    }
    if (!bQuote) {
        orLine += aUtf8;
        return;
    }
    orLine += '"';
    for (char c : aUtf8) {
        if (c == '"')
            orLine += '"';
        orLine += c;
    }
    orLine += '"';
}

QString idText(const QJsonValue& irId)
{
    if (irId.isString())
        return irId.toString();
    return QString::fromUtf8(jsonValueText(irId));
}

} // namespace

QByteArray reviewCsv(const ReviewDocument& irDocument)
{
    QByteArray aCsv("call_id,time_start,start_ms,end_ms,category,text\r\n");
    const QVector<ReviewCall> aCalls = irDocument.calls();
    for (const ReviewCall& aCall : aCalls) {
        for (const ReviewNote& aNote : aCall.aNotes) {
            appendField(aCsv, idText(aCall.aId));
            aCsv += ',';
            appendField(aCsv, aCall.sTimeStart);
            aCsv += ',' + QByteArray::number(aNote.nStartMs) + ',' + QByteArray::number(aNote.nEndMs) + ',';
            appendField(aCsv, aNote.sCategory);
            aCsv += ',';
            appendField(aCsv, aNote.sText);
            aCsv += "\r\n";
        }
    }
    return aCsv;
}
