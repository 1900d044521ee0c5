#pragma once
#include <QHash>
#include <QTcpServer>

#include <memory>

class Package;
class QTcpSocket;

// Private loopback HTTP server that answers the page's requests from the
// package object. One request per connection; requests that another web
// site makes through the user's browser are refused.
class HttpServer : public QTcpServer
{
    Q_OBJECT
public:
    HttpServer(Package* ipaPackage, quint16 inPort, QObject* ipaParent);
    ~HttpServer() override;

    // A connection that has not been answered after this long is closed, so
    // that idle clients cannot use up the descriptors the page needs.
    void setIdleTimeout(int inMilliseconds) { mnIdleTimeoutMs = inMilliseconds; }

protected:
    void incomingConnection(qintptr inSocketDescriptor) override;

private slots:
    void readClient();
    void discardClient();

private:
    struct Client;
    void handleRequest(QTcpSocket* ipSocket, bool ibGraceOver);
    void answer(QTcpSocket* ipSocket, Client& irClient, const QByteArray& iaRequest);

    Package* mpPackage;
    QHash<QTcpSocket*, std::shared_ptr<Client>> maClients;
    int mnIdleTimeoutMs = 30000;
};
