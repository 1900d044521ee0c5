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

protected:
    void incomingConnection(qintptr inSocketDescriptor) override;

private slots:
    void readClient();
    void discardClient();

private:
    Package* mpPackage;
};
