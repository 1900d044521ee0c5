#include "HttpServer.h"

#include "ContentType.h"
#include "Package.h"
#include "RequestLine.h"

#include <QDebug>
#include <QTcpSocket>
#include <QTimer>

namespace {

const QByteArray kNotFound = QByteArrayLiteral("HTTP/1.1 404 Not found\r\n\r\n");
// A request line longer than this is no request of our page; the limit keeps
// a client that never sends a line end from growing our buffers.
constexpr qint64 kMaxRequestLine = 8192;
constexpr int kSendTimeoutMs = 30000;

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
    // One byte over the limit tells an overlong line from one that just fits.
    pSocket->setReadBufferSize(kMaxRequestLine + 1);
    pSocket->setSocketDescriptor(inSocketDescriptor);

    auto* pIdleTimer = new QTimer(pSocket);
    pIdleTimer->setSingleShot(true);
    connect(pIdleTimer, &QTimer::timeout, pSocket, [pSocket] {
        if (pSocket->state() != QAbstractSocket::ConnectedState)
            return;
        qWarning() << "Closing idle connection";
        pSocket->abort();
    });
    pIdleTimer->start(mnIdleTimeoutMs);
}

void HttpServer::readClient()
{
    auto* pSocket = qobject_cast<QTcpSocket*>(sender());
    if (!pSocket)
        return;
    if (!pSocket->canReadLine()) {
        if (pSocket->bytesAvailable() > kMaxRequestLine) {
            qWarning() << "Request line too long, closing connection after bytes: " << pSocket->bytesAvailable();
            pSocket->abort();
            pSocket->deleteLater();
        }
        return;
    }
    const RequestLine aRequest = parseRequestLine(pSocket->readLine());
    if (aRequest.sMethod != QLatin1String("GET"))
        return;

    if (mpPackage->classifyPath(aRequest.sPath) == 0) {
        qWarning() << "ERROR: File not found: " << aRequest.sPath;
        pSocket->write(kNotFound);
        pSocket->close();
        return;
    }

    const QByteArray aHeader = "HTTP/1.1 200 Ok\r\nContent-Size: "
        + QByteArray::number(mpPackage->entrySize(aRequest.sPath)) + "\r\nContent-Type: "
        + contentTypeFor(aRequest.sPath).toUtf8() + "\r\n\r\n";
    pSocket->write(aHeader);
    mpPackage->serveFile(aRequest.sPath, aRequest.sQuery, pSocket);
    pSocket->waitForBytesWritten(kSendTimeoutMs);
    pSocket->close();
    qDebug() << "File delivered: " << aRequest.sPath;
}

void HttpServer::discardClient()
{
    if (auto* pSocket = qobject_cast<QTcpSocket*>(sender()))
        pSocket->deleteLater();
}
