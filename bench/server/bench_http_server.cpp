// Requests per second of the loopback server for a 10 KB member of an
// encrypted package, with 50 clients on threads of their own; then the speed
// of one large body to a reader that keeps up, against the same bytes sent
// through a bare loopback connection.
#include "BenchFigure.h"
#include "HttpServer.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <algorithm>
#include <vector>

namespace {

constexpr int kClients = 50;
constexpr int kSeconds = 5;
constexpr int kMemberSize = 10 * 1024;

bool fetchOnce(quint16 inPort, qint64 inExpected)
{
    QTcpSocket aSocket;
    aSocket.connectToHost(QHostAddress::LocalHost, inPort);
    if (!aSocket.waitForConnected(5000))
        return false;
    aSocket.write("GET /app/data/member.txt HTTP/1.1\r\n\r\n");
    qint64 nReceived = 0;
    while (aSocket.waitForReadyRead(5000))
        nReceived += aSocket.readAll().size();
    nReceived += aSocket.readAll().size();
    return nReceived >= inExpected;
}

constexpr int kLargeSize = 20 * 1024 * 1024;

// Reads everything a connection sends; returns the byte count.
qint64 drain(int inDescriptor)
{
    static char aBuffer[256 * 1024];
    qint64 nTotal = 0;
    for (;;) {
        const ssize_t n = ::read(inDescriptor, aBuffer, sizeof aBuffer);
        if (n <= 0)
            return nTotal;
        nTotal += n;
    }
}

int connectTo(quint16 inPort)
{
    const int nDescriptor = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in aAddress {};
    aAddress.sin_family = AF_INET;
    aAddress.sin_port = htons(inPort);
    aAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(nDescriptor, reinterpret_cast<sockaddr*>(&aAddress), sizeof aAddress) != 0) {
        ::close(nDescriptor);
        return -1;
    }
    return nDescriptor;
}

// Milliseconds to move iaBody through a bare loopback connection, written
// in one blocking call and read as fast as it comes.
double bareLoopbackMs(const QByteArray& iaBody)
{
    const int nListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in aAddress {};
    aAddress.sin_family = AF_INET;
    aAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof aAddress;
    ::bind(nListener, reinterpret_cast<sockaddr*>(&aAddress), sizeof aAddress);
    ::listen(nListener, 1);
    ::getsockname(nListener, reinterpret_cast<sockaddr*>(&aAddress), &nLength);
    QElapsedTimer aTimer;
    aTimer.start();
    std::thread aWriter([&] {
        const int nPeer = ::accept(nListener, nullptr, nullptr);
        qint64 nDone = 0;
        while (nDone < iaBody.size()) {
            const ssize_t n = ::write(nPeer, iaBody.constData() + nDone, size_t(iaBody.size() - nDone));
            if (n <= 0)
                break;
            nDone += n;
        }
        ::close(nPeer);
    });
    const int nClient = connectTo(ntohs(aAddress.sin_port));
    drain(nClient);
    const double fMs = aTimer.nsecsElapsed() / 1e6;
    aWriter.join();
    ::close(nClient);
    ::close(nListener);
    return fMs;
}

// Milliseconds from connecting to the last byte of a large member served by
// our server, while this thread turns the server's event loop.
double serverMs(quint16 inPort, qint64* opnReceived)
{
    std::atomic<bool> bDone { false };
    QElapsedTimer aTimer;
    aTimer.start();
    double fMs = 0;
    std::thread aReader([&] {
        const int nClient = connectTo(inPort);
        const char aRequest[] = "GET /app/js/data/calls.js HTTP/1.1\r\n\r\n";
        ::write(nClient, aRequest, sizeof aRequest - 1);
        *opnReceived = drain(nClient);
        fMs = aTimer.nsecsElapsed() / 1e6;
        ::close(nClient);
        bDone = true;
    });
    while (!bDone)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    aReader.join();
    return fMs;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aApplication(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QTemporaryDir aDir;
    QByteArray aContent(kMemberSize, Qt::Uninitialized);
    for (int i = 0; i < kMemberSize; ++i)
        aContent[i] = char("abcdefghij klmnopqrstuvwxyz\n"[(i * 7) % 28]);
    PackageWriter aWriter;
    aWriter.setPassword("bench");
    aWriter.setUsers("bench");
    aWriter.addFile("/app/data/member.txt", aContent);
    // About 20 MB of call list, served from memory as the page gets it.
    QByteArray aLarge = "var gCalls = [\r\n";
    for (int i = 0; aLarge.size() < kLargeSize; ++i)
        aLarge += "{\"id\": " + QByteArray::number(i) + ", \"time_start\": \"2026-01-01 10:00:00\", \"flags\": 0, "
            "\"caller\": \"+49 30 5550" + QByteArray::number(i % 10000) + "\", \"note\": \"" + QByteArray(150, 'n')
            + "\"},\r\n";
    aLarge += "{\"id\": 0}\r\n];\r\n";
    aWriter.addFile("/app/js/data/calls.js", aLarge);
    const QString sPath = aDir.filePath("bench.pkg");
    aWriter.write(sPath);

    Package aPackage;
    if (aPackage.openPackage(sPath, "bench", "bench", "", false) != 0) {
        std::fprintf(stderr, "cannot open the benchmark package\n");
        return 1;
    }
    HttpServer aServer(&aPackage, 0, nullptr);
    const quint16 nPort = aServer.serverPort();
    const qint64 nExpected = kMemberSize + 60;

    std::atomic<bool> bStop { false };
    std::atomic<long> nDone { 0 };
    std::atomic<long> nFailed { 0 };
    std::atomic<int> nFinished { 0 };
    std::vector<std::thread> aClients;
    for (int i = 0; i < kClients; ++i) {
        aClients.emplace_back([&] {
            while (!bStop) {
                if (fetchOnce(nPort, nExpected))
                    ++nDone;
                else
                    ++nFailed;
            }
            ++nFinished;
        });
    }
    // The server lives on this thread: keep its event loop turning.
    QElapsedTimer aTimer;
    aTimer.start();
    while (aTimer.elapsed() < kSeconds * 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double fSeconds = aTimer.elapsed() / 1000.0;
    const long nCompleted = nDone;
    bStop = true;
    while (nFinished < kClients)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (auto& aClient : aClients)
        aClient.join();

    std::printf("http server: %d clients, %d byte encrypted member: %.0f requests/s (%ld in %.1f s, %ld failed)\n",
        kClients, kMemberSize, nCompleted / fSeconds, nCompleted, fSeconds, long(nFailed));
    printFigure("http server: requests/s, 50 clients, 10 KB member", figureText("%.0f", nCompleted / fSeconds));
    printFigure("http server: failed requests", figureText("%ld", long(nFailed)), "0", nFailed == 0);

    // A reader that keeps up: best of five, against the bare connection.
    double fServer = 1e9;
    double fBare = 1e9;
    qint64 nReceived = 0;
    for (int i = 0; i < 5; ++i) {
        fServer = std::min(fServer, serverMs(nPort, &nReceived));
        fBare = std::min(fBare, bareLoopbackMs(aLarge));
    }
    const bool bWhole = nReceived > kLargeSize / 10 * 9;
    std::printf("http server: 20 MB call list %.1f ms (%s), bare loopback %.1f ms\n", fServer,
        bWhole ? "whole" : "CUT SHORT", fBare);
    // Loopback speed: the few tens of milliseconds the interface needs for it.
    printFigure("http server: 20 MB call list to a reader that keeps up", figureText("%.1f ms", fServer), "< 50 ms",
        bWhole && fServer < 50);
    printFigure("http server: 20 MB, bare loopback", figureText("%.1f ms", fBare));
    printFigure("http server: 20 MB call list / bare loopback", figureText("%.2f", fServer / fBare));
    return 0;
}
