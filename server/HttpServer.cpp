#include "HttpServer.h"

#include "ContentType.h"
#include "Package.h"
#include "RequestHeaders.h"
#include "RequestLine.h"

#include <QDebug>
#include <QTcpSocket>
#include <QTimer>

namespace {

const QByteArray kNotFound = QByteArrayLiteral("HTTP/1.1 404 Not found\r\n\r\n");
const QByteArray kForbidden = QByteArrayLiteral("HTTP/1.1 403 Forbidden\r\n\r\n");
// A request (line and header fields) longer than this is no request of our
// page; the limit keeps a client that never ends it from growing our buffers.
constexpr qint64 kMaxRequest = 8192;
constexpr int kSendTimeoutMs = 30000;
// A client that sends a bare request line and no header block is answered
// after this pause; browsers send the line and their fields together.
constexpr int kHeaderGraceMs = 250;

} // namespace

// What the server knows of one connection.
struct HttpServer::Client
{
    enum Stage { kReading, kIgnored, kAnswered };
    Stage eStage = kReading;
    QTimer* pIdleTimer = nullptr;
    QTimer* pGraceTimer = nullptr;
};

HttpServer::HttpServer(Package* ipaPackage, quint16 inPort, QObject* ipaParent)
    : QTcpServer(ipaParent)
    , mpPackage(ipaPackage)
{
    listen(QHostAddress::LocalHost, inPort);
    qDebug() << "HTTP server is listening on port: " << serverPort();
}

HttpServer::~HttpServer()
{
    // The sockets go first, while the table they remove themselves from exists.
    const QList<QTcpSocket*> aSockets = maClients.keys();
    qDeleteAll(aSockets);
}

void HttpServer::incomingConnection(qintptr inSocketDescriptor)
{
    auto* pSocket = new QTcpSocket(this);
    connect(pSocket, &QTcpSocket::readyRead, this, &HttpServer::readClient);
    connect(pSocket, &QTcpSocket::disconnected, this, &HttpServer::discardClient);
    // One byte over the limit tells an overlong request from one that just fits.
    pSocket->setReadBufferSize(kMaxRequest + 1);
    pSocket->setSocketDescriptor(inSocketDescriptor);

    auto pClient = std::make_shared<Client>();
    maClients.insert(pSocket, pClient);
    connect(pSocket, &QObject::destroyed, this, [this, pSocket] { maClients.remove(pSocket); });

    pClient->pIdleTimer = new QTimer(pSocket);
    pClient->pIdleTimer->setSingleShot(true);
    connect(pClient->pIdleTimer, &QTimer::timeout, pSocket, [pSocket] {
        if (pSocket->state() != QAbstractSocket::ConnectedState)
            return;
        qWarning() << "Closing idle connection";
        pSocket->abort();
    });
    pClient->pIdleTimer->start(mnIdleTimeoutMs);

    pClient->pGraceTimer = new QTimer(pSocket);
    pClient->pGraceTimer->setSingleShot(true);
    connect(pClient->pGraceTimer, &QTimer::timeout, this, [this, pSocket] { handleRequest(pSocket, true); });
}

void HttpServer::readClient()
{
    if (auto* pSocket = qobject_cast<QTcpSocket*>(sender()))
        handleRequest(pSocket, false);
}

void HttpServer::handleRequest(QTcpSocket* ipSocket, bool ibGraceOver)
{
    const std::shared_ptr<Client> pClient = maClients.value(ipSocket);
    if (!pClient)
        return;
    if (pClient->eStage != Client::kReading) {
        // One connection carries one request; whatever follows is dropped.
        ipSocket->read(ipSocket->bytesAvailable());
        return;
    }
    const QByteArray aData = ipSocket->peek(kMaxRequest + 1);
    const int nLineEnd = aData.indexOf('\n');
    if (nLineEnd < 0) {
        if (aData.size() > kMaxRequest) {
            qWarning() << "Request line too long, closing connection after bytes: " << aData.size();
            ipSocket->abort();
            ipSocket->deleteLater();
        }
        return;
    }
    if (parseRequestLine(aData.left(nLineEnd + 1)).sMethod != QLatin1String("GET")) {
        pClient->eStage = Client::kIgnored;
        ipSocket->read(ipSocket->bytesAvailable());
        return;
    }
    int nEnd = 0;
    if (findHeaderEnd(aData, nEnd)) {
        answer(ipSocket, *pClient, ipSocket->read(nEnd));
        return;
    }
    if (aData.size() > kMaxRequest) {
        qWarning() << "Request header too long, closing connection after bytes: " << aData.size();
        ipSocket->abort();
        ipSocket->deleteLater();
        return;
    }
    // A request line alone, as simple clients send it: answered when no
    // header field follows within the grace time. Once fields have begun,
    // the request is answered only after the blank line that ends them.
    if (aData.size() > nLineEnd + 1) {
        pClient->pGraceTimer->stop();
    } else if (ibGraceOver) {
        answer(ipSocket, *pClient, ipSocket->read(nLineEnd + 1));
    } else if (!pClient->pGraceTimer->isActive()) {
        pClient->pGraceTimer->start(kHeaderGraceMs);
    }
}

void HttpServer::answer(QTcpSocket* ipSocket, Client& irClient, const QByteArray& iaRequest)
{
    irClient.eStage = Client::kAnswered;
    irClient.pGraceTimer->stop();
    irClient.pIdleTimer->stop();
    const RequestLine aRequest = parseRequestLine(iaRequest.left(iaRequest.indexOf('\n') + 1));

    const QString sRefusal = refusalReason(parseRequestHeaders(iaRequest), serverPort());
    if (!sRefusal.isEmpty()) {
        qWarning() << "Refused request from another site: " << aRequest.sPath << sRefusal;
        ipSocket->write(kForbidden);
        ipSocket->close();
        return;
    }

    if (mpPackage->classifyPath(aRequest.sPath) == 0) {
        qWarning() << "ERROR: File not found: " << aRequest.sPath;
        ipSocket->write(kNotFound);
        ipSocket->close();
        return;
    }

    const QByteArray aHeader = "HTTP/1.1 200 Ok\r\nContent-Size: "
        + QByteArray::number(mpPackage->entrySize(aRequest.sPath)) + "\r\nContent-Type: "
        + contentTypeFor(aRequest.sPath).toUtf8() + "\r\n\r\n";
    ipSocket->write(aHeader);
    mpPackage->serveFile(aRequest.sPath, aRequest.sQuery, ipSocket);
    ipSocket->waitForBytesWritten(kSendTimeoutMs);
    ipSocket->close();
    qDebug() << "File delivered: " << aRequest.sPath;
}

void HttpServer::discardClient()
{
    if (auto* pSocket = qobject_cast<QTcpSocket*>(sender()))
        pSocket->deleteLater();
}
