#pragma once
#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTimer>

#include <functional>
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

    // A connection that has neither sent its request nor taken any of its
    // answer for this long is aborted, so that idle or stalled clients cannot
    // hold descriptors and memory.
    void setIdleTimeout(int inMilliseconds) { mnIdleTimeoutMs = inMilliseconds; }
    // At most this many connections are open at once; beyond them, those
    // that stood still longest are closed, or new ones wait to be accepted.
    void setMaxConnections(int inCount) { mnMaxConnections = inCount; }

    // A path whose body is made elsewhere rather than read from the package:
    // irMake gets a function to call once with the body, at once or later
    // (the request waits meanwhile, within the idle limit). Never cached.
    using Answer = std::function<void(const QByteArray& iaBody)>;
    void addRoute(const QString& isPath, const QByteArray& iaContentType, std::function<void(const Answer&)> irMake);

protected:
    void incomingConnection(qintptr inSocketDescriptor) override;

private slots:
    void readClient();
    void discardClient();

private:
    struct Client;
    void handleRequest(QTcpSocket* ipSocket, bool ibGraceOver);
    void answer(QTcpSocket* ipSocket, Client& irClient, const QByteArray& iaRequest);
    void sendMore(QTcpSocket* ipSocket);
    void sendPieces(QTcpSocket* ipSocket, Client& irClient);
    void makeRoom();
    void sendMade(QTcpSocket* ipSocket, const QByteArray& iaContentType, const QByteArray& iaBody);

    Package* mpPackage;
    QHash<QTcpSocket*, std::shared_ptr<Client>> maClients;
    QElapsedTimer maClock;
    int mnIdleTimeoutMs = 30000;
    QTimer maRoomTimer;
    int mnMaxConnections = 128;
    struct Route
    {
        QByteArray aContentType;
        std::function<void(const Answer&)> make;
    };
    QHash<QString, Route> maRoutes;
};
