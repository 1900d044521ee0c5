#include "StartTimeReader.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace {

constexpr qint64 kEpochJulianDay = 2440588; // 1970-01-01
constexpr qint64 kDayMs = 86400000;

std::optional<qint64> viaQDateTime(const QString& isText)
{
    const QDateTime tStart = QDateTime::fromString(isText, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!tStart.isValid())
        return std::nullopt;
    return tStart.toMSecsSinceEpoch();
}

// "yyyy-MM-dd hh:mm:ss" with ASCII digits only.
bool splitFields(const QString& isText, int* ipFields)
{
    static const char kPattern[] = "dddd-dd-dd dd:dd:dd";
    if (isText.size() != 19)
        return false;
    int nField = 0;
    int nValue = 0;
    for (int i = 0; i < 19; ++i) {
        const ushort c = isText.at(i).unicode();
        if (kPattern[i] == 'd') {
            if (c < '0' || c > '9')
                return false;
            nValue = nValue * 10 + (c - '0');
        } else {
            if (c != ushort(kPattern[i]))
                return false;
            ipFields[nField++] = nValue;
            nValue = 0;
        }
    }
    ipFields[nField] = nValue;
    return true;
}

} // namespace

std::optional<qint64> StartTimeReader::read(const QString& isText)
{
    int aFields[6];
    if (!splitFields(isText, aFields))
        return viaQDateTime(isText);
    const QDate aDate(aFields[0], aFields[1], aFields[2]);
    const QTime aTime(aFields[3], aFields[4], aFields[5]);
    if (!aDate.isValid() || !aTime.isValid())
        return viaQDateTime(isText);
    const std::optional<int> nOffset = steadyOffset(aDate);
    if (!nOffset)
        return viaQDateTime(isText);
    return (aDate.toJulianDay() - kEpochJulianDay) * kDayMs + aTime.msecsSinceStartOfDay() - qint64(*nOffset) * 1000;
}

std::optional<int> StartTimeReader::steadyOffset(const QDate& irDate)
{
    const auto it = maOffsets.constFind(irDate.toJulianDay());
    if (it != maOffsets.cend())
        return *it;
    const QDateTime tFirst(irDate, QTime(0, 0, 0), Qt::LocalTime);
    const QDateTime tLast(irDate, QTime(23, 59, 59), Qt::LocalTime);
    std::optional<int> nOffset;
    if (tFirst.isValid() && tLast.isValid() && tFirst.offsetFromUtc() == tLast.offsetFromUtc()
        && tFirst.secsTo(tLast) == 86399)
        nOffset = tFirst.offsetFromUtc();
    maOffsets.insert(irDate.toJulianDay(), nOffset);
    return nOffset;
}
