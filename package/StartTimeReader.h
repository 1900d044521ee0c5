#pragma once
#include <QHash>
#include <QString>

#include <optional>

class QDate;

// Reads call start times "yyyy-MM-dd hh:mm:ss" as local time, giving
// milliseconds since the epoch: the same instants and the same validity as
// QDateTime::fromString with that format. Reading a local time needs the
// time zone rules (mktime), which costs more than all the rest of the
// retention filter; within a day whose UTC offset is the same at its first
// and last second no transition can lie, so such a day is looked up once and
// every time on it is plain arithmetic. Other days (transitions, gaps) and
// texts of another shape go through QDateTime.
class StartTimeReader
{
public:
    // The start time, or none when the text is no valid local date and time.
    std::optional<qint64> read(const QString& isText);
    // The same for Latin-1 text, without building a string when it has the
    // usual shape.
    std::optional<qint64> read(const char* ipText, int inSize);

private:
    std::optional<int> steadyOffset(const QDate& irDate);
    std::optional<qint64> fromFields(const int* ipFields, const QString* ipText, const char* ipLatin1, int inSize);

    QHash<qint64, std::optional<int>> maOffsets; // Julian day -> offset in seconds, none when it changes
};
