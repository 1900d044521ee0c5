#include "RequestHeaders.h"

#include <QUrl>

namespace {

bool isOurHost(const QString& isHost)
{
    return isHost == QLatin1String("127.0.0.1") || isHost == QLatin1String("localhost");
}

// A Host field names our server when it is the loopback address or
// localhost with our port. Without a port it means port 80, which a browser
// only sends when that is the port it connected to.
bool isOurHostField(const QByteArray& iaHost, quint16 inPort)
{
    const QUrl aUrl(QStringLiteral("http://") + QString::fromLatin1(iaHost));
    if (!aUrl.isValid() || !aUrl.userInfo().isEmpty() || aUrl.path().size() > 0 || aUrl.hasQuery()
        || aUrl.hasFragment())
        return false;
    return isOurHost(aUrl.host()) && (aUrl.port() == -1 || aUrl.port() == inPort);
}

// Origin and Referer name our page when their scheme, host and port are
// those of the address the page is loaded from.
bool isOurOrigin(const QByteArray& iaUrl, quint16 inPort)
{
    const QUrl aUrl(QString::fromLatin1(iaUrl), QUrl::StrictMode);
    return aUrl.isValid() && aUrl.scheme() == QLatin1String("http") && isOurHost(aUrl.host())
        && aUrl.port(80) == inPort;
}

} // namespace

QList<QByteArray> RequestHeaders::values(const QByteArray& iaLowerName) const
{
    QList<QByteArray> aResult;
    for (int i = 0; i < aNames.size(); ++i)
        if (aNames.at(i) == iaLowerName)
            aResult.append(aValues.at(i));
    return aResult;
}

bool findHeaderEnd(const QByteArray& iaData, int& irnEnd)
{
    int nLineStart = iaData.indexOf('\n') + 1;
    if (nLineStart == 0)
        return false;
    while (nLineStart < iaData.size()) {
        const int nLineEnd = iaData.indexOf('\n', nLineStart);
        if (nLineEnd < 0)
            return false;
        if (nLineEnd == nLineStart || (nLineEnd == nLineStart + 1 && iaData.at(nLineStart) == '\r')) {
            irnEnd = nLineEnd + 1;
            return true;
        }
        nLineStart = nLineEnd + 1;
    }
    return false;
}

RequestHeaders parseRequestHeaders(const QByteArray& iaData)
{
    RequestHeaders aHeaders;
    int nLineStart = iaData.indexOf('\n') + 1;
    while (nLineStart > 0 && nLineStart < iaData.size()) {
        int nLineEnd = iaData.indexOf('\n', nLineStart);
        if (nLineEnd < 0)
            nLineEnd = iaData.size();
        const QByteArray aLine = iaData.mid(nLineStart, nLineEnd - nLineStart).trimmed();
        if (aLine.isEmpty())
            break;
        const int nColon = aLine.indexOf(':');
        if (nColon > 0) {
            aHeaders.aNames.append(aLine.left(nColon).trimmed().toLower());
            aHeaders.aValues.append(aLine.mid(nColon + 1).trimmed());
        }
        nLineStart = nLineEnd + 1;
    }
    return aHeaders;
}

QString refusalReason(const RequestHeaders& irHeaders, quint16 inPort)
{
    for (const QByteArray& aHost : irHeaders.values("host"))
        if (!isOurHostField(aHost, inPort))
            return QStringLiteral("Host ") + QString::fromLatin1(aHost);
    for (const QByteArray& aSite : irHeaders.values("sec-fetch-site")) {
        const QByteArray aLower = aSite.toLower();
        if (aLower != "same-origin" && aLower != "none")
            return QStringLiteral("Sec-Fetch-Site ") + QString::fromLatin1(aSite);
    }
    for (const QByteArray& aOrigin : irHeaders.values("origin"))
        if (!isOurOrigin(aOrigin, inPort))
            return QStringLiteral("Origin ") + QString::fromLatin1(aOrigin);
    for (const QByteArray& aReferer : irHeaders.values("referer"))
        if (!isOurOrigin(aReferer, inPort))
            return QStringLiteral("Referer ") + QString::fromLatin1(aReferer);
    return QString();
}
