#pragma once
#include <QObject>

class QNetworkAccessManager;

// Fetches a signed time from the package's time servers.
class TimeVerification : public QObject
{
    Q_OBJECT
public:
    explicit TimeVerification(QObject* ipaOwner);

    // Asks the time servers for a signed time. Fetching and checking the
    // signed time is not built yet: the request is logged and goes no further.
    void start(const QString& isUrl1, const QString& isUrl2, const QString& isKey);

private:
    QNetworkAccessManager* mpNetworkManager;
};
