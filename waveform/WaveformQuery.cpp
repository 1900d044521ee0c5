#include "WaveformQuery.h"

#include <QDebug>
#include <QUrlQuery>

namespace {

// Playback drops the fractional part of a zoom time the same way: the text
// is cut at a "." that is not its first character.
qint64 zoomMilliseconds(QString isValue)
{
    const int nDot = isValue.indexOf(QLatin1Char('.'));
    if (nDot > 0)
        isValue.truncate(nDot);
    // A hostile request cannot make the sample arithmetic overflow: no
    // recording lasts anywhere near 10^12 ms.
    return qBound<qint64>(0, isValue.toLongLong(nullptr, 10), 1000000000000LL);
}

} // namespace

WaveformQuery WaveformQuery::parse(const QString& isQuery, bool ibWithBalance)
{
    const QUrlQuery aQuery(isQuery);
    WaveformQuery result;
    if (aQuery.hasQueryItem(QStringLiteral("notchfrequency"))) {
        result.bNotch = true;
        result.nNotchFrequency = aQuery.queryItemValue(QStringLiteral("notchfrequency")).toInt(nullptr, 10);
        qDebug() << "AUDIO EFFECT notchfrequency=" << result.nNotchFrequency;
        if (aQuery.hasQueryItem(QStringLiteral("qfactor"))) {
            const QString sQ = aQuery.queryItemValue(QStringLiteral("qfactor"));
            if (!sQ.isEmpty())
                result.fQFactor = sQ.toFloat();
            qDebug() << "AUDIO EFFECT qfactor=" << result.fQFactor;
        }
    }
    if (aQuery.hasQueryItem(QStringLiteral("amplifyratio"))) {
        result.bAmplify = true;
        result.fAmplifyRatio = aQuery.queryItemValue(QStringLiteral("amplifyratio")).toFloat();
        qDebug() << "AUDIO EFFECT amplifyratio=" << result.fAmplifyRatio;
    }
    if (ibWithBalance && aQuery.hasQueryItem(QStringLiteral("balance"))) {
        result.bBalance = true;
        result.nBalance = aQuery.queryItemValue(QStringLiteral("balance")).toInt(nullptr, 10);
        qDebug() << "AUDIO EFFECT balance=" << result.nBalance;
    }
    if (aQuery.hasQueryItem(QStringLiteral("zoomstart")) && aQuery.hasQueryItem(QStringLiteral("zoomend"))) {
        result.bZoom = true;
        result.nZoomStart = zoomMilliseconds(aQuery.queryItemValue(QStringLiteral("zoomstart")));
        result.nZoomEnd = zoomMilliseconds(aQuery.queryItemValue(QStringLiteral("zoomend")));
        qDebug() << "ZOOM SEGMENT start=" << result.nZoomStart << " end=" << result.nZoomEnd;
    }
    return result;
}
