#pragma once
#include <QObject>

class QNetworkAccessManager;

// Fetches a signed time from the package's time servers.
class TimeVerification : public QObject
{
    Q_OBJECT
public:
    explicit TimeVerification(QObject* ipaOwner);

private:
    QNetworkAccessManager* mpNetworkManager;
};
