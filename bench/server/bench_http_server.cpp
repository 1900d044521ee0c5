// Requests per second of the loopback server for a 10 KB member of an
// encrypted package, with 50 clients on threads of their own.
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

#include <atomic>
#include <cstdio>
#include <thread>
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
    return 0;
}
