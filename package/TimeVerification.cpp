#include "TimeVerification.h"

#include <QDebug>
#include <QNetworkAccessManager>

TimeVerification::TimeVerification(QObject* ipaOwner)
    : QObject(ipaOwner)
    , mpNetworkManager(new QNetworkAccessManager(this))
{
}

void TimeVerification::start(const QString& isUrl1, const QString& isUrl2, const QString&)
{
    qWarning() << "External time verification is not available; cannot verify time with " << isUrl1 << isUrl2;
}
