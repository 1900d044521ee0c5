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
template <typename Char>
bool splitFields(const Char* ipText, int inSize, int* ipFields)
{
    static const char kPattern[] = "dddd-dd-dd dd:dd:dd";
    if (inSize != 19)
        return false;
    int nField = 0;
    int nValue = 0;
    for (int i = 0; i < 19; ++i) {
        const ushort c = ushort(ipText[i]);
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
    if (!splitFields(reinterpret_cast<const ushort*>(isText.constData()), isText.size(), aFields))
        return viaQDateTime(isText);
    return fromFields(aFields, &isText, nullptr, 0);
}

std::optional<qint64> StartTimeReader::read(const char* ipText, int inSize)
{
    int aFields[6];
    if (!splitFields(reinterpret_cast<const uchar*>(ipText), inSize, aFields))
        return viaQDateTime(QString::fromLatin1(ipText, inSize));
    return fromFields(aFields, nullptr, ipText, inSize);
}

// The instant of fields already split; texts that need the time zone rules
// of a transition day go through QDateTime, given as either form.
std::optional<qint64> StartTimeReader::fromFields(const int* ipFields, const QString* ipText, const char* ipLatin1,
                                                  int inSize)
{
    const auto viaText = [&] {
        return viaQDateTime(ipText ? *ipText : QString::fromLatin1(ipLatin1, inSize));
    };
    const QDate aDate(ipFields[0], ipFields[1], ipFields[2]);
    const QTime aTime(ipFields[3], ipFields[4], ipFields[5]);
    if (!aDate.isValid() || !aTime.isValid())
        return viaText();
    const std::optional<int> nOffset = steadyOffset(aDate);
    if (!nOffset)
        return viaText();
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
