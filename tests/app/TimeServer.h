#pragma once
// A signing time server and a forwarding HTTP proxy for the time
// verification tests, both on 127.0.0.1. Keys are made and replies signed by
// the openssl program, independently of the verifier under test.
#include <QDateTime>
#include <QPointer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>

// An RSA key pair in a PEM file, made by openssl.
class OpensslSigner
{
public:
    explicit OpensslSigner(const QString& isKeyPath)
        : msKeyPath(isKeyPath)
    {
        QProcess::execute("openssl", { "genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out",
                                         msKeyPath, "-quiet" });
    }
    // Base64 of the DER SubjectPublicKeyInfo, as a package index carries it.
    QString publicKeyText() const
    {
        return QString::fromLatin1(run({ "pkey", "-in", msKeyPath, "-pubout", "-outform", "DER" }, {}).toBase64());
    }
    QByteArray sign(const QByteArray& iaText) const
    {
        return run({ "dgst", "-sha1", "-sign", msKeyPath }, iaText);
    }

private:
    static QByteArray run(const QStringList& iaArguments, const QByteArray& iaInput)
    {
        QProcess aProcess;
        aProcess.start("openssl", iaArguments);
        aProcess.write(iaInput);
        aProcess.closeWriteChannel();
        aProcess.waitForFinished(30000);
        return aProcess.readAllStandardOutput();
    }
    QString msKeyPath;
};

// Answers GET /<mode>/... with "<unix seconds>;<Base64 signature>" for the
// clock of the server (local clock plus mnClockOffset seconds), or misbehaves
// as the first path segment says: late (valid, after mnLateMs), othertext
// (signature over another text), nosemicolon, twosemicolons, empty,
// emptysignature, error500, silent (never answers).
class TimeServer : public QTcpServer
{
public:
    explicit TimeServer(const OpensslSigner& irSigner)
        : mrSigner(irSigner)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* pSocket = nextPendingConnection()) {
                connect(pSocket, &QTcpSocket::readyRead, this, [this, pSocket] { readRequest(pSocket); });
                connect(pSocket, &QTcpSocket::disconnected, this, [this, pSocket] {
                    maHeads.remove(pSocket);
                    pSocket->deleteLater();
                });
            }
        });
    }

    QString url(const QString& isPath) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(isPath); }

    qint64 mnClockOffset = 0;
    int mnLateMs = 700;
    int mnAnswered = 0; // replies written, late ones included
    // Called as each request arrives, with its path.
    std::function<void(const QString&)> mOnRequest;

private:
    void readRequest(QTcpSocket* ipaSocket)
    {
        QByteArray& aHead = maHeads[ipaSocket];
        aHead += ipaSocket->readAll();
        if (!aHead.contains("\r\n\r\n"))
            return;
        const QString sPath = QString::fromLatin1(aHead.split(' ').value(1));
        maHeads.remove(ipaSocket);
        if (mOnRequest)
            mOnRequest(sPath);
        const QString sMode = sPath.section('/', 1, 1);
        if (sMode == "silent")
            return;
        const QByteArray aTime = QByteArray::number(QDateTime::currentSecsSinceEpoch() + mnClockOffset);
        const QByteArray aSignature = mrSigner.sign(aTime).toBase64();
        QByteArray aStatus = "200 OK";
        QByteArray aBody = aTime + ";" + aSignature;
        if (sMode == "othertext")
            aBody = aTime + ";" + mrSigner.sign(aTime + "0").toBase64();
        else if (sMode == "nosemicolon")
            aBody = aTime + aSignature;
        else if (sMode == "twosemicolons")
            aBody = aTime + ";" + aSignature + ";";
        else if (sMode == "empty")
            aBody.clear();
        else if (sMode == "emptysignature")
            aBody = aTime + ";";
        else if (sMode == "error500")
            aStatus = "500 Internal Server Error";
        const QByteArray aResponse = "HTTP/1.1 " + aStatus + "\r\nContent-Type: text/plain\r\nContent-Length: "
            + QByteArray::number(aBody.size()) + "\r\nConnection: close\r\n\r\n" + aBody;
        QPointer<QTcpSocket> pSocket(ipaSocket);
        QTimer::singleShot(sMode == "late" ? mnLateMs : 0, this, [this, pSocket, aResponse] {
            ++mnAnswered;
            if (!pSocket || pSocket->state() != QAbstractSocket::ConnectedState)
                return;
            pSocket->write(aResponse);
            pSocket->disconnectFromHost();
        });
    }

    const OpensslSigner& mrSigner;
    QHash<QTcpSocket*, QByteArray> maHeads;
};

// A forwarding HTTP proxy: takes absolute-form requests, remembers their
// request lines and passes them to 127.0.0.1 at the port the URL names,
// whatever its host.
class TinyProxy : public QTcpServer
{
public:
    TinyProxy()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* pClient = nextPendingConnection())
                connect(pClient, &QTcpSocket::readyRead, this, [this, pClient] { readRequest(pClient); });
        });
    }

    QStringList maRequestLines;

private:
    void readRequest(QTcpSocket* ipaClient)
    {
        QByteArray& aHead = maHeads[ipaClient];
        aHead += ipaClient->readAll();
        if (!aHead.contains("\r\n\r\n"))
            return;
        const QByteArray aLine = aHead.left(aHead.indexOf("\r\n"));
        maHeads.remove(ipaClient);
        maRequestLines << QString::fromLatin1(aLine);
        const QUrl aTarget(QString::fromLatin1(aLine.split(' ').value(1)));
        auto* pUpstream = new QTcpSocket(ipaClient);
        QPointer<QTcpSocket> pClient(ipaClient);
        connect(pUpstream, &QTcpSocket::connected, this, [pUpstream, aTarget] {
            pUpstream->write("GET " + aTarget.path(QUrl::FullyEncoded).toLatin1()
                + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
        });
        connect(pUpstream, &QTcpSocket::readyRead, this, [pUpstream, pClient] {
            if (pClient)
                pClient->write(pUpstream->readAll());
        });
        connect(pUpstream, &QTcpSocket::disconnected, this, [pClient] {
            if (pClient)
                pClient->disconnectFromHost();
        });
        pUpstream->connectToHost(QHostAddress::LocalHost, quint16(aTarget.port()));
    }

    QHash<QTcpSocket*, QByteArray> maHeads;
};
