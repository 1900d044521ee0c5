#include "TimeVerification.h"

#include <QNetworkAccessManager>

TimeVerification::TimeVerification(QObject* ipaOwner)
    : QObject(ipaOwner)
    , mpNetworkManager(new QNetworkAccessManager(this))
{
}
