#pragma once
#include <QByteArray>
#include <QString>

// The parts of an HTTP request line that the server looks at.
struct RequestLine
{
    QString sMethod;
    QString sPath;  // as sent: neither percent-decoded nor normalised
    QString sQuery; // text between the first and a second "?", if any
};

// Splits one request line (with or without its line end) at runs of spaces,
// CRs and LFs. Pure, so that hostile lines can be tested as byte strings.
RequestLine parseRequestLine(const QByteArray& iaLine);
