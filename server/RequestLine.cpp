#include "RequestLine.h"

#include <QRegExp>
#include <QStringList>

RequestLine parseRequestLine(const QByteArray& iaLine)
{
    static const QRegExp aSeparator(QStringLiteral("[ \r\n][ \r\n]*"));
    const QStringList saPieces = QString::fromUtf8(iaLine).split(aSeparator, Qt::KeepEmptyParts);
    RequestLine aRequest;
    aRequest.sMethod = saPieces.value(0);
    const QString sTarget = saPieces.value(1);
    const int nFirst = sTarget.indexOf(QLatin1Char('?'));
    if (nFirst < 0) {
        aRequest.sPath = sTarget;
    } else {
        aRequest.sPath = sTarget.left(nFirst);
        const int nSecond = sTarget.indexOf(QLatin1Char('?'), nFirst + 1);
        aRequest.sQuery = nSecond < 0 ? sTarget.mid(nFirst + 1) : sTarget.mid(nFirst + 1, nSecond - nFirst - 1);
    }
    return aRequest;
}
