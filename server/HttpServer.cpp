#include "HttpServer.h"

#include "MemberStream.h"

#include "ContentType.h"
#include "Package.h"
#include "RequestHeaders.h"
#include "RequestLine.h"

#include <QDebug>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include <cerrno>

#include <sys/socket.h>

namespace {

const QByteArray kNotFound = QByteArrayLiteral("HTTP/1.1 404 Not found\r\n\r\n");
// The package file changed or went away since it was opened: its index no
// longer describes it, so no member or waveform can be served from it.
// Never kept by the page's cache: the same path serves the next package.
const QByteArray kGone = QByteArrayLiteral("HTTP/1.1 410 Gone\r\nCache-Control: no-store\r\n\r\n");
const QByteArray kForbidden = QByteArrayLiteral("HTTP/1.1 403 Forbidden\r\n\r\n");
// A request (line and header fields) longer than this is no request of our
// page; the limit keeps a client that never ends it from growing our buffers.
constexpr qint64 kMaxRequest = 8192;
// Bodies go out in pieces of this size, the next when the client has taken
// the one before, so a client that does not read holds at most about two
// pieces of our memory, whatever the size of the member.
constexpr int kPiece = 64 * 1024;
// A connection that has not moved for this long may be closed to make room.
constexpr int kStillMs = 500;
// A client that sends a bare request line and no header block is answered
// after this pause; browsers send the line and their fields together.
constexpr int kHeaderGraceMs = 250;

// Aborts with a reset: a plain close would leave the unsent answer queued in
// the system for a client that does not read it.
void resetConnection(QTcpSocket* ipSocket)
{
    const qintptr nDescriptor = ipSocket->socketDescriptor();
    if (nDescriptor >= 0) {
        const linger aLinger { 1, 0 };
        ::setsockopt(int(nDescriptor), SOL_SOCKET, SO_LINGER, &aLinger, sizeof aLinger);
    }
    ipSocket->abort();
}

} // namespace

// What the server knows of one connection.
struct HttpServer::Client
{
    enum Stage { kReading, kIgnored, kMaking, kSending, kSent };
    Stage eStage = kReading;
    // Restarted whenever the client moves: a connection that stands still
    // this long is aborted, whatever it is doing.
    QTimer* pIdleTimer = nullptr;
    QTimer* pGraceTimer = nullptr;
    qint64 nLastMove = 0; // on the server's clock
    QString sPath;
    QByteArray aBody;
    int nSent = 0; // bytes of aBody written
    bool bInSend = false; // flushing reports progress back into sendMore
    std::unique_ptr<MemberStream> pStream;
};

HttpServer::HttpServer(Package* ipaPackage, quint16 inPort, QObject* ipaParent)
    : QTcpServer(ipaParent)
    , mpPackage(ipaPackage)
{
    maClock.start();
    maRoomTimer.setSingleShot(true);
    connect(&maRoomTimer, &QTimer::timeout, this, &HttpServer::makeRoom);
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
    pClient->nLastMove = maClock.elapsed();
    maClients.insert(pSocket, pClient);
    connect(pSocket, &QObject::destroyed, this, [this, pSocket] {
        maClients.remove(pSocket);
        if (!maRoomTimer.isActive())
            makeRoom();
    });
    connect(pSocket, &QTcpSocket::bytesWritten, this, [this, pSocket] { sendMore(pSocket); });

    Client* pState = pClient.get();
    pClient->pIdleTimer = new QTimer(pSocket);
    pClient->pIdleTimer->setSingleShot(true);
    connect(pClient->pIdleTimer, &QTimer::timeout, pSocket, [pSocket, pState] {
        if (pState->eStage == Client::kMaking)
            qWarning() << "Closing connection whose answer did not come: " << pState->sPath;
        else if (pState->eStage == Client::kSending || pState->eStage == Client::kSent)
            qWarning() << "Closing connection that does not take its answer: " << pState->sPath;
        else
            qWarning() << "Closing idle connection";
        resetConnection(pSocket);
    });
    pClient->pIdleTimer->start(mnIdleTimeoutMs);

    pClient->pGraceTimer = new QTimer(pSocket);
    pClient->pGraceTimer->setSingleShot(true);
    connect(pClient->pGraceTimer, &QTimer::timeout, this, [this, pSocket] { handleRequest(pSocket, true); });
    makeRoom();
}

// At the limit of simultaneous connections, those that have stood still
// longest make room, provided they have stood still for a while: a client
// that takes its answers is never one of them, while one that holds
// connections without reading loses them. When none has, new connections
// wait in the system's queue until one ends.
void HttpServer::makeRoom()
{
    QList<QPair<qint64, QTcpSocket*>> aStill;
    int nOpen = 0;
    const qint64 nNow = maClock.elapsed();
    for (auto it = maClients.cbegin(); it != maClients.cend(); ++it) {
        if (it.key()->state() == QAbstractSocket::UnconnectedState)
            continue;
        ++nOpen;
        if (nNow - it.value()->nLastMove >= kStillMs)
            aStill.append(qMakePair(it.value()->nLastMove, it.key()));
    }
    std::sort(aStill.begin(), aStill.end());
    for (int i = 0; nOpen >= mnMaxConnections && i < aStill.size(); ++i, --nOpen) {
        qWarning() << "Too many connections, closing one that stood still since ms: " << nNow - aStill.at(i).first;
        resetConnection(aStill.at(i).second);
    }
    if (nOpen >= mnMaxConnections) {
        pauseAccepting();
        maRoomTimer.start(kStillMs / 2);
    } else {
        resumeAccepting();
    }
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
    pClient->nLastMove = maClock.elapsed();
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
    irClient.eStage = Client::kSent;
    irClient.pGraceTimer->stop();
    const RequestLine aRequest = parseRequestLine(iaRequest.left(iaRequest.indexOf('\n') + 1));
    irClient.sPath = aRequest.sPath;

    const QString sRefusal = refusalReason(parseRequestHeaders(iaRequest), serverPort());
    if (!sRefusal.isEmpty()) {
        qWarning() << "Refused request from another site: " << aRequest.sPath << sRefusal;
        ipSocket->write(kForbidden);
        ipSocket->close();
        return;
    }

    const auto pRoute = maRoutes.constFind(aRequest.sPath);
    if (pRoute != maRoutes.constEnd()) {
        irClient.eStage = Client::kMaking;
        const QPointer<HttpServer> pServer(this);
        const QPointer<QTcpSocket> pSocket(ipSocket);
        const QByteArray aType = pRoute->aContentType;
        pRoute->make([pServer, pSocket, aType](const QByteArray& iaBody) {
            if (pServer && pSocket)
                pServer->sendMade(pSocket, aType, iaBody);
        });
        return;
    }

    const int nClass = mpPackage->classifyPath(aRequest.sPath);
    if (nClass == 0) {
        qWarning() << "ERROR: File not found: " << aRequest.sPath;
        ipSocket->write(kNotFound);
        ipSocket->close();
        return;
    }
    // Embedded resources (bit 1) are served before members and need no package file.
    if (!(nClass & 2) && !mpPackage->fileUnchanged()) {
        qWarning() << "Package file changed since it was opened, not serving: " << aRequest.sPath;
        ipSocket->write(kGone);
        ipSocket->close();
        return;
    }

    const QByteArray aHeader = "HTTP/1.1 200 Ok\r\nContent-Size: "
        + QByteArray::number(mpPackage->entrySize(aRequest.sPath)) + "\r\nContent-Type: "
        + contentTypeFor(aRequest.sPath).toUtf8() + "\r\n\r\n";
    ipSocket->write(aHeader);
    mpPackage->openBody(aRequest.sPath, aRequest.sQuery, true, irClient.aBody, irClient.pStream);
    irClient.eStage = Client::kSending;
    sendMore(ipSocket);
}

void HttpServer::addRoute(const QString& isPath, const QByteArray& iaContentType, std::function<void(const Answer&)> irMake)
{
    maRoutes.insert(isPath, Route { iaContentType, std::move(irMake) });
}

void HttpServer::sendMade(QTcpSocket* ipSocket, const QByteArray& iaContentType, const QByteArray& iaBody)
{
    const std::shared_ptr<Client> pClient = maClients.value(ipSocket);
    // Once only, and not to a connection that went meanwhile.
    if (!pClient || pClient->eStage != Client::kMaking || ipSocket->state() != QAbstractSocket::ConnectedState)
        return;
    ipSocket->write("HTTP/1.1 200 Ok\r\nContent-Size: " + QByteArray::number(iaBody.size()) + "\r\nContent-Type: "
        + iaContentType + "\r\nCache-Control: no-store\r\n\r\n");
    pClient->aBody = iaBody;
    pClient->eStage = Client::kSending;
    sendMore(ipSocket);
}

void HttpServer::sendMore(QTcpSocket* ipSocket)
{
    const std::shared_ptr<Client> pClient = maClients.value(ipSocket);
    if (!pClient)
        return;
    pClient->nLastMove = maClock.elapsed();
    pClient->pIdleTimer->start(mnIdleTimeoutMs);
    if (pClient->eStage != Client::kSending || pClient->bInSend)
        return;
    pClient->bInSend = true;
    sendPieces(ipSocket, *pClient);
    pClient->bInSend = false;
}

// Hands each piece to the system at once rather than on the event loop's next
// turn: a reader that keeps up empties the system's buffer as fast as we fill
// it, so the loop only ends when that buffer is full (or the body is sent),
// and our own buffer still never holds more than about two pieces.
void HttpServer::sendPieces(QTcpSocket* ipSocket, Client& irClient)
{
    Client* pClient = &irClient;
    while (ipSocket->bytesToWrite() < kPiece) {
        // A body held in memory goes straight to the system while it takes
        // it, without a copy of ours; once the system's buffer is full, one
        // piece waits with the socket, which tells us when it drains.
        if (pClient->nSent < pClient->aBody.size() && ipSocket->bytesToWrite() == 0) {
            const ssize_t nTaken = ::send(int(ipSocket->socketDescriptor()), pClient->aBody.constData() + pClient->nSent,
                size_t(pClient->aBody.size() - pClient->nSent), MSG_DONTWAIT | MSG_NOSIGNAL);
            if (nTaken > 0) {
                pClient->nSent += int(nTaken);
                continue;
            }
            if (nTaken < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                resetConnection(ipSocket);
                return;
            }
        }
        QByteArray aPiece;
        if (pClient->nSent < pClient->aBody.size()) {
            aPiece = pClient->aBody.mid(pClient->nSent, kPiece);
            pClient->nSent += aPiece.size();
        } else if (pClient->pStream) {
            // A member damaged on the way ends the body where it breaks; one
            // whose package file changed meanwhile is cut off with a reset, so
            // that the client cannot take the part for the whole.
            if (pClient->pStream->fill(kPiece)) {
                aPiece = pClient->pStream->take(kPiece);
            } else if (!mpPackage->fileUnchanged()) {
                pClient->pStream.reset();
                resetConnection(ipSocket);
                return;
            }
            if (aPiece.isEmpty())
                pClient->pStream.reset();
        }
        if (aPiece.isEmpty()) {
            pClient->eStage = Client::kSent;
            pClient->aBody.clear();
            ipSocket->close();
            qDebug() << "File delivered: " << pClient->sPath;
            return;
        }
        ipSocket->write(aPiece);
        ipSocket->flush();
        if (ipSocket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void HttpServer::discardClient()
{
    if (auto* pSocket = qobject_cast<QTcpSocket*>(sender()))
        pSocket->deleteLater();
}
