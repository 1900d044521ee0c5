#include "TimeVerification.h"

#include "SignedTime.h"

#include <QDateTime>
#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <limits>

TimeVerification::TimeVerification(QObject* ipParent)
    : QObject(ipParent)
    , mpNetworkManager(new QNetworkAccessManager(this))
{
    connect(mpNetworkManager, &QNetworkAccessManager::finished, this, &TimeVerification::requestFinished);
}

TimeVerification::~TimeVerification()
{
    // The receivers may be half destroyed by now: drop the replies without
    // reporting.
    disconnect(mpNetworkManager, nullptr, this, nullptr);
    for (QNetworkReply* pReply : { mpReply1.data(), mpReply2.data() })
        if (pReply)
            pReply->abort();
}

void TimeVerification::start(const QString& isUrl1, const QString& isUrl2, const QString& isKey)
{
    msUrl1 = isUrl1;
    msUrl2 = isUrl2;
    maKey = isKey.toUtf8();
    qDebug().noquote() << msUrl1;
    qDebug().noquote() << msUrl2;
    emit waitingStarted(msUrl1);
    sendRequest(1);
}

void TimeVerification::cancel()
{
    QNetworkReply* pReply1 = mpReply1;
    QNetworkReply* pReply2 = mpReply2;
    if (!pReply1 && !pReply2)
        return;
    // Cleared first: aborting delivers the reply at once, and it must then
    // belong to no request.
    mpReply1.clear();
    mpReply2.clear();
    qDebug() << "Time verification cancelled";
    for (QNetworkReply* pReply : { pReply1, pReply2 })
        if (pReply)
            pReply->abort();
    emit waitingEnded();
}

void TimeVerification::sendRequest(int inNumber)
{
    if (inNumber != 1 && inNumber != 2)
        return;
    const QUrl aUrl(inNumber == 1 ? msUrl1 : msUrl2, QUrl::TolerantMode);
    const QList<QNetworkProxy> aProxies
        = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(aUrl, QNetworkProxyQuery::UrlRequest));
    if (!aProxies.isEmpty())
        mpNetworkManager->setProxy(aProxies.first());
    QNetworkRequest aRequest(aUrl);
    aRequest.setTransferTimeout(mnTransferTimeoutMs);
    QNetworkReply* pReply = mpNetworkManager->get(aRequest);
    (inNumber == 1 ? mpReply1 : mpReply2) = pReply;
}

void TimeVerification::requestFinished(QNetworkReply* ipaReply)
{
    ipaReply->deleteLater();
    const bool bFirst = ipaReply == mpReply1;
    const bool bSecond = !bFirst && ipaReply == mpReply2;
    if (!bFirst && !bSecond) {
        // Left by cancel (or by an earlier round): nobody waits for it any more.
        return;
    }
    (bFirst ? mpReply1 : mpReply2).clear();

    if (ipaReply->error() != QNetworkReply::NoError) {
        qDebug() << "Error from request:" << ipaReply->errorString();
        emit waitingEnded();
    } else {
        const SignedTime aTime = checkSignedTime(ipaReply->readAll(), maKey);
        switch (aTime.eResult) {
        case SignedTime::Result::Valid: {
            const QDateTime tServer = QDateTime::fromSecsSinceEpoch(qint64(aTime.nSeconds), Qt::UTC);
            // A signed time decades away would not fit the 32-bit offset;
            // clamped, it still judges everything as expired (or as kept).
            const qint64 nOffset = QDateTime::currentDateTime().secsTo(tServer);
            const qint32 nClamped = qint32(qBound<qint64>(std::numeric_limits<qint32>::min(), nOffset,
                std::numeric_limits<qint32>::max()));
            qDebug() << "Offset to server time" << nClamped;
            emit waitingEnded();
            emit timeVerified(nClamped);
            return;
        }
        case SignedTime::Result::Malformed:
            qWarning() << "Did not receive valid data";
            break;
        case SignedTime::Result::InvalidSignature:
            qWarning() << "Invalid signature, time will not be used";
            break;
        case SignedTime::Result::VerifierError:
            qWarning().noquote() << "Error while verifying signature: " + aTime.sError;
            break;
        }
    }

    if (bFirst) {
        qDebug() << "Trying next URL:" << msUrl2;
        emit waitingMoved(msUrl2);
        sendRequest(2);
    } else {
        qWarning() << "Both verification URLs failed, we ask the user for an alternative URL";
        emit waitingEnded();
        emit urlWanted();
    }
}
