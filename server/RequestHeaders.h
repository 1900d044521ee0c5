#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// The header fields of one request: names in lower case, values trimmed,
// in the order sent.
struct RequestHeaders
{
    QList<QByteArray> aNames;
    QList<QByteArray> aValues;

    QList<QByteArray> values(const QByteArray& iaLowerName) const;
};

// Where the header block of a request ends. ipnEnd is set to the offset just
// past the blank line that closes it; false while the blank line has not
// arrived. iaData starts with the request line.
bool findHeaderEnd(const QByteArray& iaData, int& irnEnd);

// Reads the header lines that follow the request line in iaData (up to the
// blank line, or all of it when there is none). Lines without a colon are
// skipped.
RequestHeaders parseRequestHeaders(const QByteArray& iaData);

// Only our own page may read what the server holds: a web page of another
// site must not, whether it asks directly (the browser marks the request
// with Sec-Fetch-Site, Origin or Referer) or through a host name that it
// points at the loopback address (a Host other than ours). Clients that send
// none of these fields are served. Returns why the request is refused, or
// an empty text when it may be answered.
QString refusalReason(const RequestHeaders& irHeaders, quint16 inPort);
