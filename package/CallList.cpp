// The retention filter over the package's call list, and the package's
// locale list.
#include "Json.h"
#include "Package.h"

#include <QBuffer>
#include <QHash>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include <new>
#include <optional>

namespace {

constexpr quint32 CF_HAS_CC_OPEN = 0x00000008;
constexpr quint32 CF_HAS_CC_CLOSE = 0x00000010;
constexpr quint32 CF_LONG_TERM_STORAGE = 0x00400000;

const QString kCallsPath = QStringLiteral("/app/js/data/calls.js");
// Far above any real call list (100 000 calls take about 35 MB).
constexpr int kMaxCallsScript = 512 * 1024 * 1024;
const QString kLocalesPath = QStringLiteral("/app/js/data/locales.js");

// A limit as milliseconds since the epoch, or none when it is not set.
std::optional<qint64> limitMs(const QDateTime& irtLimit)
{
    if (!irtLimit.isValid())
        return std::nullopt;
    return irtLimit.toMSecsSinceEpoch();
}

// True when the start lies at least one whole second before the limit (the
// difference in whole seconds, truncated toward zero, is negative).
bool isBefore(qint64 inStartMs, const std::optional<qint64>& irLimitMs)
{
    return irLimitMs && (inStartMs - *irLimitMs) / 1000 < 0;
}

// The script text from the first occurrence of icOpen on, without a final
// ";". Trailing white space goes first: scripts end with a line break, which
// reaches us as a space and would otherwise hide the ";" from the check.
QByteArray scriptValue(const QByteArray& iaScript, char icOpen)
{
    const int nStart = iaScript.indexOf(icOpen);
    QByteArray aText = nStart < 0 ? iaScript : iaScript.mid(nStart);
    while (!aText.isEmpty() && (aText.endsWith(' ') || aText.endsWith('\t')))
        aText.chop(1);
    if (aText.endsWith(';'))
        aText.chop(1);
    return aText;
}

} // namespace

int Package::buildCallList()
{
    // A hostile package can inflate a small member to gigabytes; the parse
    // and the page would need several times that.
    try {
        return filterCallList();
    } catch (const std::bad_alloc&) {
        qWarning() << "Call list too large to read";
        return -1;
    }
}

int Package::filterCallList()
{
    QBuffer aBuffer;
    aBuffer.open(QIODevice::ReadWrite);
    // A package without a call list has no calls; one whose list cannot be
    // read is damaged and must not look like an empty package.
    if (readFile(kCallsPath, &aBuffer) != 0 && maFiles.contains(kCallsPath)) {
        qWarning() << "JSON parsing error";
        return -1;
    }
    if (aBuffer.size() > kMaxCallsScript) {
        qWarning() << "Call list too large to read: " << aBuffer.size();
        return -1;
    }

    bool bOk = false;
    const QString sText = QString::fromUtf8(scriptValue(aBuffer.data(), '['));
    aBuffer.close();
    aBuffer.setData(QByteArray());
    const QVariant aParsed = Json::parse(sText, bOk);
    if (!bOk) {
        qWarning() << "JSON parsing error";
        qDebug() << sText;
        return -1;
    }

    // Time zone rules may have changed since the last pass.
    maStartTimes = StartTimeReader();
    const QVariantList aCalls = aParsed.toList();
    QVariantList aKept;
    aKept.reserve(aCalls.size());
    for (const QVariant& aCall : aCalls) {
        QVariantMap aRecord = aCall.toMap();
        filterCall(aRecord, aKept);
    }
    bool bWritten = false;
    const QByteArray aJson = Json::serialize(aKept, bWritten);
    if (!bWritten) {
        // A value without a JSON form (a number out of range, say) would
        // leave the page a broken script.
        qWarning() << "Call list could not be written";
        return -1;
    }
    msCallListScript = QStringLiteral("var gCalls=") + QString::fromUtf8(aJson) + QLatin1Char(';');
    return 0;
}

int Package::filterCall(QVariantMap& irRecord, QVariantList& irOutput)
{
    const std::optional<qint64> nStart = maStartTimes.read(irRecord.value(QStringLiteral("time_start")).toString().left(19));
    if (!nStart) {
        qWarning() << "Could not parse start time of call. Call will be filtered.";
        ++mnExpiredCalls;
        return 0;
    }
    const qint64 nStartMs = *nStart;

    const quint32 nFlags = irRecord.value(QStringLiteral("flags")).toUInt();
    const bool bMarked = nFlags & CF_LONG_TERM_STORAGE;
    const QDateTime& tCallLimit = bMarked ? mtMarkedCdrLimit : mtNormalCdrLimit;
    const QDateTime& tVoiceLimit = bMarked ? mtMarkedVoiceLimit : mtNormalVoiceLimit;

    if (isBefore(nStartMs, limitMs(tCallLimit))) {
        qDebug() << (bMarked ? "Filter marked call: " : "Filter normal call: ")
                 << irRecord.value(QStringLiteral("id")).toInt();
        ++mnExpiredCalls;
        return 0;
    }
    if ((nFlags & CF_HAS_CC_OPEN) && isBefore(nStartMs, limitMs(tVoiceLimit))) {
        irRecord.insert(QStringLiteral("flags"), nFlags & ~(CF_HAS_CC_OPEN | CF_HAS_CC_CLOSE));
        irRecord.insert(QStringLiteral("voice"), QString(QLatin1String("")));
        qDebug() << (bMarked ? "Filter marked voice for call: " : "Filter normal voice for call: ")
                 << irRecord.value(QStringLiteral("id")).toInt();
        ++mnExpiredMedia;
    }
    irOutput.append(irRecord);
    return 0;
}

int Package::loadLocales()
{
    QBuffer aBuffer;
    aBuffer.open(QIODevice::ReadWrite);
    readFile(kLocalesPath, &aBuffer);
    const QJsonDocument aDocument = QJsonDocument::fromJson(scriptValue(aBuffer.data(), '{'));
    if (!aDocument.isObject()) {
        qWarning() << "JSON parsing error";
        qDebug() << aDocument.toJson();
        return -1;
    }
    maLocales = aDocument.object().keys();
    qDebug() << "maLocales: " << maLocales;
    return 0;
}

QStringList Package::locales()
{
    loadLocales();
    return maLocales;
}
