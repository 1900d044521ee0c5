#include "Json.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <cmath>

namespace {

QByteArray quoted(const QString& isText)
{
    QString sText = isText;
    sText.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    sText.replace(QLatin1String("\""), QLatin1String("\\\""));
    sText.replace(QLatin1String("\b"), QLatin1String("\\b"));
    sText.replace(QLatin1String("\f"), QLatin1String("\\f"));
    sText.replace(QLatin1String("\n"), QLatin1String("\\n"));
    sText.replace(QLatin1String("\r"), QLatin1String("\\r"));
    sText.replace(QLatin1String("\t"), QLatin1String("\\t"));
    return '"' + sText.toUtf8() + '"';
}

bool write(const QVariant& irValue, QByteArray& irOut);

template <typename Container>
bool writeEntries(const Container& irEntries, QByteArray& irOut)
{
    irOut += "{ ";
    bool bFirst = true;
    for (auto it = irEntries.cbegin(); it != irEntries.cend(); ++it) {
        if (!bFirst)
            irOut += ", ";
        bFirst = false;
        irOut += quoted(it.key());
        irOut += " : ";
        if (!write(it.value(), irOut))
            return false;
    }
    irOut += " }";
    return true;
}

bool write(const QVariant& irValue, QByteArray& irOut)
{
    const int nType = irValue.userType();
    if (!irValue.isValid()) {
        irOut += "null";
    } else if (nType == QMetaType::QVariantList || nType == QMetaType::QStringList) {
        irOut += "[ ";
        bool bFirst = true;
        for (const QVariant& aElement : irValue.toList()) {
            if (!bFirst)
                irOut += ", ";
            bFirst = false;
            if (!write(aElement, irOut))
                return false;
        }
        irOut += " ]";
    } else if (nType == QMetaType::QVariantHash) {
        return writeEntries(irValue.toHash(), irOut);
    } else if (nType == QMetaType::QVariantMap) {
        return writeEntries(irValue.toMap(), irOut);
    } else if (nType == QMetaType::QString || nType == QMetaType::QByteArray) {
        irOut += quoted(irValue.toString());
    } else if (nType == QMetaType::Double) {
        const double fValue = irValue.toDouble();
        if (!std::isfinite(fValue))
            return false;
        QByteArray aNumber = QByteArray::number(fValue, 'g', 20);
        if (!aNumber.contains('.') && !aNumber.contains('e'))
            aNumber += ".0";
        irOut += aNumber;
    } else if (nType == QMetaType::Bool) {
        irOut += irValue.toBool() ? "true" : "false";
    } else if (nType == QMetaType::ULongLong) {
        irOut += QByteArray::number(irValue.toULongLong());
    } else if (irValue.canConvert<qlonglong>()) {
        irOut += QByteArray::number(irValue.toLongLong());
    } else if (irValue.canConvert<long>()) {
        irOut += QByteArray::number(qlonglong(irValue.value<long>()));
    } else if (irValue.canConvert<QString>()) {
        irOut += quoted(irValue.toString());
    } else {
        return false;
    }
    return true;
}

} // namespace

namespace Json {

QByteArray serialize(const QVariant& irValue, bool& irbSuccess)
{
    QByteArray aOut;
    irbSuccess = write(irValue, aOut);
    if (!irbSuccess)
        aOut.clear();
    return aOut;
}

} // namespace Json
