// The retention filter over the package's call list, and the package's
// locale list.
#include "CallListFilter.h"
#include "Package.h"

#include <QBuffer>
#include <QHash>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <new>
#include <optional>

namespace {

const QString kCallsPath = QStringLiteral("/app/js/data/calls.js");
const QString kLocalesPath = QStringLiteral("/app/js/data/locales.js");

// A limit as milliseconds since the epoch, or none when it is not set.
std::optional<qint64> limitMs(const QDateTime& irtLimit)
{
    if (!irtLimit.isValid())
        return std::nullopt;
    return irtLimit.toMSecsSinceEpoch();
}

// The script text from the first occurrence of icOpen on, without a final
// ";". Trailing white space goes first: scripts end with a line break, which
// reaches us as a space and would otherwise hide the ";" from the check. The
// result shares the bytes of iaScript (which must outlive it); it is null
// when iaScript is.
QByteArray scriptValue(const QByteArray& iaScript, char icOpen)
{
    if (iaScript.isNull())
        return QByteArray();
    const int nStart = std::max(iaScript.indexOf(icOpen), 0);
    int nEnd = iaScript.size();
    while (nEnd > nStart && (iaScript.at(nEnd - 1) == ' ' || iaScript.at(nEnd - 1) == '\t'))
        --nEnd;
    if (nEnd > nStart && iaScript.at(nEnd - 1) == ';')
        --nEnd;
    return QByteArray::fromRawData(iaScript.constData() + nStart, nEnd - nStart);
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

CallListFilter::Limits Package::retentionLimits() const
{
    return { limitMs(mtNormalCdrLimit), limitMs(mtNormalVoiceLimit), limitMs(mtMarkedCdrLimit),
             limitMs(mtMarkedVoiceLimit) };
}

int Package::filterCallList()
{
    // Time zone rules may have changed since the last pass.
    maStartTimes = StartTimeReader();
    CallListFilter aFilter(retentionLimits(), maStartTimes);
    int nResult = 0;
    if (filterCallListOverlapped(kCallsPath, aFilter, nResult)) {
        qDebug() << "Call list filtered while it was decoded";
    } else {
        QBuffer aBuffer;
        aBuffer.open(QIODevice::ReadWrite);
        // A package without a call list has no calls; one whose list cannot
        // be read is damaged and must not look like an empty package.
        if (readFile(kCallsPath, &aBuffer) != 0 && maFiles.contains(kCallsPath)) {
            qWarning() << "JSON parsing error";
            return -1;
        }
        if (aBuffer.size() > cnMaxCallsScript) {
            qWarning() << "Call list too large to read: " << aBuffer.size();
            return -1;
        }
        maStartTimes = StartTimeReader();
        nResult = aFilter.run(scriptValue(aBuffer.buffer(), '['));
    }
    // A list that could not be written still counts what was removed.
    mnExpiredCalls += aFilter.expiredCalls();
    mnExpiredMedia += aFilter.expiredMedia();
    if (nResult != 0)
        return -1;
    msCallListScript = aFilter.takeScript();
    msCallListScript.squeeze();
    return 0;
}

int Package::filterCall(QVariantMap& irRecord, QVariantList& irOutput)
{
    CallListFilter aFilter(retentionLimits(), maStartTimes);
    const bool bKept = aFilter.filterRecord(irRecord);
    aFilter.flushLog();
    mnExpiredCalls += aFilter.expiredCalls();
    mnExpiredMedia += aFilter.expiredMedia();
    if (bKept)
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
