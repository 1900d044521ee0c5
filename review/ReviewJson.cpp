#include "ReviewJson.h"

#include <QJsonArray>
#include <QJsonDocument>

QByteArray jsonValueText(const QJsonValue& irValue)
{
    if (irValue.isUndefined())
        return QByteArrayLiteral("null");
    const QByteArray aText = QJsonDocument(QJsonArray { irValue }).toJson(QJsonDocument::Compact);
    return aText.mid(1, aText.size() - 2);
}

QByteArray jsonArrayText(const QByteArrayList& irItems, int inLevel)
{
    if (irItems.isEmpty())
        return QByteArrayLiteral("[]");
    const QByteArray aItemIndent(2 * (inLevel + 1), ' ');
    QByteArray aText("[\n");
    for (int n = 0; n < irItems.size(); ++n) {
        aText += aItemIndent + irItems.at(n);
        aText += n + 1 < irItems.size() ? ",\n" : "\n";
    }
    return aText + QByteArray(2 * inLevel, ' ') + ']';
}

void JsonObjectWriter::add(const char* ipKey, const QJsonValue& irValue)
{
    addRaw(QString::fromLatin1(ipKey), jsonValueText(irValue));
}

void JsonObjectWriter::addRaw(const char* ipKey, const QByteArray& iaText)
{
    addRaw(QString::fromLatin1(ipKey), iaText);
}

void JsonObjectWriter::addRaw(const QString& isKey, const QByteArray& iaText)
{
    maEntries.append(jsonValueText(QJsonValue(isKey)) + ": " + iaText);
}

void JsonObjectWriter::addRest(const QJsonObject& irObject)
{
    for (auto it = irObject.constBegin(); it != irObject.constEnd(); ++it)
        addRaw(it.key(), jsonValueText(it.value()));
}

QByteArray JsonObjectWriter::finish() const
{
    if (mnLevel < 0)
        return '{' + maEntries.join(", ") + '}';
    const QByteArray aIndent(2 * (mnLevel + 1), ' ');
    QByteArray aText("{\n");
    for (int n = 0; n < maEntries.size(); ++n) {
        aText += aIndent + maEntries.at(n);
        aText += n + 1 < maEntries.size() ? ",\n" : "\n";
    }
    return aText + QByteArray(2 * mnLevel, ' ') + '}';
}
