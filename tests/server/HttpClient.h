#pragma once
// A blocking loopback HTTP client for the server tests. It runs on a thread
// of its own, so that the server keeps its event loop on the test's thread.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

struct HttpExchange
{
    QByteArray aResponse;
    bool bClosedByServer = false;
};

// Sends the pieces one after another (with a pause between them, so that
// they arrive as separate segments) and reads until the server closes the
// connection or inTimeoutMs passes.
inline HttpExchange httpExchange(quint16 inPort, const QList<QByteArray>& iaPieces, int inTimeoutMs = 20000)
{
    HttpExchange aResult;
    QTcpSocket aSocket;
    aSocket.connectToHost(QHostAddress::LocalHost, inPort);
    if (!aSocket.waitForConnected(5000))
        return aResult;
    aSocket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    for (int i = 0; i < iaPieces.size(); ++i) {
        if (i > 0)
            QThread::msleep(150);
        aSocket.write(iaPieces.at(i));
        aSocket.waitForBytesWritten(5000);
    }
    QElapsedTimer aTimer;
    aTimer.start();
    while (aTimer.elapsed() < inTimeoutMs) {
        if (aSocket.state() != QAbstractSocket::ConnectedState) {
            aResult.bClosedByServer = true;
            break;
        }
        aSocket.waitForReadyRead(100);
        aResult.aResponse += aSocket.readAll();
    }
    aResult.aResponse += aSocket.readAll();
    return aResult;
}

inline HttpExchange httpGet(quint16 inPort, const QByteArray& iaTarget)
{
    return httpExchange(inPort, { "GET " + iaTarget + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" });
}
