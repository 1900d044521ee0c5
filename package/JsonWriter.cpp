#include "Json.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <cmath>

namespace {

void appendQuoted(const QString& isText, QByteArray& irOut)
{
    irOut += '"';
    const QChar* pText = isText.constData();
    const int nSize = isText.size();

    // Most texts are plain ASCII without anything to escape: copy them byte
    // for byte, and fall back to the general loop at the first other character.
    const int nStart = irOut.size();
    irOut.resize(nStart + nSize);
    char* pOut = irOut.data() + nStart;
    int nPlain = 0;
    for (; nPlain < nSize; ++nPlain) {
        const ushort c = pText[nPlain].unicode();
        if (c >= 0x80 || c < 0x20 || c == '\\' || c == '"')
            break;
        pOut[nPlain] = char(c);
    }
    irOut.resize(nStart + nPlain);
    if (nPlain == nSize) {
        irOut += '"';
        return;
    }

    int nRunStart = nPlain;
    for (int i = nPlain; i < nSize; ++i) {
        const char* pEscape = nullptr;
        switch (pText[i].unicode()) {
        case '\\': pEscape = "\\\\"; break;
        case '"': pEscape = "\\\""; break;
        case '\b': pEscape = "\\b"; break;
        case '\f': pEscape = "\\f"; break;
        case '\n': pEscape = "\\n"; break;
        case '\r': pEscape = "\\r"; break;
        case '\t': pEscape = "\\t"; break;
        default: continue;
        }
        irOut += QStringView(pText + nRunStart, i - nRunStart).toUtf8();
        irOut += pEscape;
        nRunStart = i + 1;
    }
    irOut += QStringView(pText + nRunStart, nSize - nRunStart).toUtf8();
    irOut += '"';
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
        appendQuoted(it.key(), irOut);
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
        appendQuoted(irValue.toString(), irOut);
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
        appendQuoted(irValue.toString(), irOut);
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
