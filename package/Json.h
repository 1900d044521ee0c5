#pragma once
// The JSON reader and writer of the call list. Together they fix the exact
// text the page receives: the reader picks the numeric type of each number,
// the writer how each type is printed.
#include <QByteArray>
#include <QString>
#include <QVariant>

namespace Json {

// Parses the first value of isText; text after it is ignored. Objects become
// QVariantMap (keys sorted, a repeated key keeps its last value), arrays
// QVariantList. A null text gives an invalid variant and success.
QVariant parse(const QString& isText, bool& irbSuccess);

// Writes ipValue as UTF-8 JSON text ("[ a, b ]", "{ \"k\" : v }"). irbSuccess
// is false, and the text must not be used, when some value cannot be written
// (NaN, infinity, or a type without a JSON form).
QByteArray serialize(const QVariant& irValue, bool& irbSuccess);

} // namespace Json
