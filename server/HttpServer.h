#pragma once
#include <QTcpServer>

class Package;

// Private loopback HTTP server that answers the page's requests from the
// package object. One request line per connection.
class HttpServer : public QTcpServer
{
    Q_OBJECT
public:
    HttpServer(Package* ipaPackage, quint16 inPort, QObject* ipaParent);

    // A connection that has not been answered after this long is closed, so
    // that idle clients cannot use up the descriptors the page needs.
    void setIdleTimeout(int inMilliseconds) { mnIdleTimeoutMs = inMilliseconds; }

protected:
    void incomingConnection(qintptr inSocketDescriptor) override;

private slots:
    void readClient();
    void discardClient();

private:
    Package* mpPackage;
    int mnIdleTimeoutMs = 30000;
};
