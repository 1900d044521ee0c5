#pragma once
#include <QByteArray>
#include <QByteArrayList>
#include <QJsonObject>
#include <QJsonValue>

// The review file keeps its keys in a fixed order (QJsonDocument would sort
// them) so that people reading or diffing it find what they look for first.

// One value as compact JSON text.
QByteArray jsonValueText(const QJsonValue& irValue);

// "[ ... ]" with one item per line, nLevel steps of two spaces deep.
QByteArray jsonArrayText(const QByteArrayList& irItems, int inLevel);

// An object written key by key: on one line (inLevel < 0) or one key per line.
class JsonObjectWriter
{
public:
    explicit JsonObjectWriter(int inLevel)
        : mnLevel(inLevel)
    {
    }
    void add(const char* ipKey, const QJsonValue& irValue);
    void addRaw(const char* ipKey, const QByteArray& iaText);
    // The keys not written yet, in the order QJsonObject keeps them.
    void addRest(const QJsonObject& irObject);
    QByteArray finish() const;

private:
    void addRaw(const QString& isKey, const QByteArray& iaText);

    int mnLevel;
    QByteArrayList maEntries;
};
