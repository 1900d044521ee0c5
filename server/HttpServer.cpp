#include "HttpServer.h"

#include <QDebug>
#include <QTcpSocket>

namespace {

const QByteArray kNotFound = QByteArrayLiteral("HTTP/1.1 404 Not found\r\n\r\n");

} // namespace

HttpServer::HttpServer(Package* ipaPackage, quint16 inPort, QObject* ipaParent)
    : QTcpServer(ipaParent)
    , mpPackage(ipaPackage)
{
    listen(QHostAddress::LocalHost, inPort);
    qDebug() << "HTTP server is listening on port: " << serverPort();
}

void HttpServer::incomingConnection(qintptr inSocketDescriptor)
{
    auto* pSocket = new QTcpSocket(this);
    connect(pSocket, &QTcpSocket::readyRead, this, &HttpServer::readClient);
    connect(pSocket, &QTcpSocket::disconnected, this, &HttpServer::discardClient);
    pSocket->setSocketDescriptor(inSocketDescriptor);
}

void HttpServer::readClient()
{
    auto* pSocket = qobject_cast<QTcpSocket*>(sender());
    if (!pSocket || !pSocket->canReadLine())
        return;
    pSocket->readLine();
    // Content routing joins with the package reader; until then nothing is found.
    pSocket->write(kNotFound);
    pSocket->waitForBytesWritten();
    pSocket->close();
}

void HttpServer::discardClient()
{
    if (auto* pSocket = qobject_cast<QTcpSocket*>(sender()))
        pSocket->deleteLater();
}
