// The loopback server against real packages and real TCP clients.
#include "HttpClient.h"
#include "ContentType.h"
#include "HttpServer.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <future>

#include <poll.h>
#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

namespace {

const QByteArray kNotFound("HTTP/1.1 404 Not found\r\n\r\n");

QByteArray okHeader(qint64 inSize, const QByteArray& iaType)
{
    return "HTTP/1.1 200 Ok\r\nContent-Size: " + QByteArray::number(inSize) + "\r\nContent-Type: " + iaType
        + "\r\n\r\n";
}

QByteArray pattern(int inSize, int inSeed)
{
    QByteArray aBytes(inSize, Qt::Uninitialized);
    quint32 nState = quint32(inSeed) * 2654435761u + 1;
    for (int i = 0; i < inSize; ++i) {
        nState = nState * 1103515245u + 12345u;
        aBytes[i] = char(nState >> 24);
    }
    return aBytes;
}

QByteArray embedded(const QString& isName, bool ibText)
{
    QFile aFile(":/resources/" + isName);
    aFile.open(ibText ? QIODevice::ReadOnly | QIODevice::Text : QIODevice::ReadOnly);
    return aFile.readAll();
}

// Waits on the test's thread, keeping the server's event loop running,
// until the exchange that a client thread runs has finished.
HttpExchange await(std::future<HttpExchange>& irFuture)
{
    (void)QTest::qWaitFor([&] { return irFuture.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        60000);
    return irFuture.get();
}

HttpExchange exchange(quint16 inPort, const QList<QByteArray>& iaPieces, int inTimeoutMs = 20000)
{
    auto aFuture = std::async(std::launch::async, httpExchange, inPort, iaPieces, inTimeoutMs);
    return await(aFuture);
}

HttpExchange get(quint16 inPort, const QByteArray& iaTarget)
{
    return exchange(inPort, { "GET " + iaTarget + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" });
}

qint64 residentBytes()
{
    QFile aStatus("/proc/self/statm");
    if (!aStatus.open(QIODevice::ReadOnly))
        return -1;
    return aStatus.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Opens inCount connections that each ask for iaTarget and never read, with
// a small receive buffer so that the answers pile up on the server's side.
// Returns how many the server closed within inWaitMs.
int stalledClients(quint16 inPort, const QByteArray& iaTarget, int inCount, int inWaitMs)
{
    std::vector<int> aSockets;
    sockaddr_in aAddress {};
    aAddress.sin_family = AF_INET;
    aAddress.sin_port = htons(inPort);
    aAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const QByteArray aRequest = "GET " + iaTarget + " HTTP/1.1\r\n\r\n";
    for (int i = 0; i < inCount; ++i) {
        const int nSocket = ::socket(AF_INET, SOCK_STREAM, 0);
        const int nBuffer = 4096;
        ::setsockopt(nSocket, SOL_SOCKET, SO_RCVBUF, &nBuffer, sizeof nBuffer);
        if (::connect(nSocket, reinterpret_cast<sockaddr*>(&aAddress), sizeof aAddress) != 0
            || ::send(nSocket, aRequest.constData(), size_t(aRequest.size()), 0) != aRequest.size()) {
            ::close(nSocket);
            continue;
        }
        aSockets.push_back(nSocket);
    }
    int nClosed = 0;
    QElapsedTimer aTimer;
    aTimer.start();
    std::vector<bool> aDone(aSockets.size(), false);
    while (nClosed < int(aSockets.size()) && aTimer.elapsed() < inWaitMs) {
        for (size_t i = 0; i < aSockets.size(); ++i) {
            if (aDone[i])
                continue;
            pollfd aPoll { aSockets[i], POLLRDHUP, 0 };
            if (::poll(&aPoll, 1, 0) > 0 && (aPoll.revents & (POLLRDHUP | POLLHUP | POLLERR))) {
                aDone[i] = true;
                ++nClosed;
            }
        }
        QThread::msleep(50);
    }
    for (int nSocket : aSockets)
        ::close(nSocket);
    return int(aSockets.size()) == inCount ? nClosed : -1;
}

// A client that asks for iaTarget through a small receive buffer, takes
// inFirst bytes, says so through irMidway and stops reading until
// iaGoOn is ready, then reads on until the server closes the connection.
struct SlowRead
{
    QByteArray aResponse;
    bool bClosedByServer = false;
    bool bReset = false; // closed with a reset rather than an orderly end
};
SlowRead slowRead(quint16 inPort, const QByteArray& iaTarget, int inFirst, std::promise<void>& irMidway,
                  std::shared_future<void> iaGoOn)
{
    SlowRead aResult;
    const int nSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    const int nBuffer = 4096;
    ::setsockopt(nSocket, SOL_SOCKET, SO_RCVBUF, &nBuffer, sizeof nBuffer);
    sockaddr_in aAddress {};
    aAddress.sin_family = AF_INET;
    aAddress.sin_port = htons(inPort);
    aAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const QByteArray aRequest = "GET " + iaTarget + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    bool bMidway = false;
    if (::connect(nSocket, reinterpret_cast<sockaddr*>(&aAddress), sizeof aAddress) == 0
        && ::send(nSocket, aRequest.constData(), size_t(aRequest.size()), MSG_NOSIGNAL) == aRequest.size()) {
        QElapsedTimer aTimer;
        aTimer.start();
        char aPiece[16384];
        while (aTimer.elapsed() < 60000) {
            if (!bMidway && aResult.aResponse.size() >= inFirst) {
                bMidway = true;
                irMidway.set_value();
                if (iaGoOn.wait_for(std::chrono::seconds(60)) != std::future_status::ready)
                    break;
            }
            pollfd aPoll { nSocket, POLLIN, 0 };
            if (::poll(&aPoll, 1, 100) <= 0)
                continue;
            const ssize_t nRead = ::recv(nSocket, aPiece, sizeof aPiece, 0);
            if (nRead <= 0) {
                aResult.bClosedByServer = true;
                aResult.bReset = nRead < 0 && errno == ECONNRESET;
                break;
            }
            aResult.aResponse.append(aPiece, int(nRead));
        }
    }
    ::close(nSocket);
    if (!bMidway)
        irMidway.set_value();
    return aResult;
}

} // namespace

class TestHttpServer : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package maPackage;
    HttpServer* mpServer = nullptr;
    QString msPlainPath;
    QString msEncryptedPath;
    QString msDamagedPath;
    QByteArray maReport;
    QMap<QString, QByteArray> maBulk;

    quint16 port() const { return mpServer->serverPort(); }

    void openPlain() { QCOMPARE(maPackage.openPackage(msPlainPath, "", "", "", false), 0); }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        mpServer = new HttpServer(&maPackage, 0, this);
        QVERIFY(mpServer->isListening());
        QCOMPARE(mpServer->serverAddress(), QHostAddress(QHostAddress::LocalHost));

        maReport = pattern(812, 1);
        PackageWriter aPlain;
        QVERIFY(aPlain.addFile("/app/data/report.txt", maReport));
        QVERIFY(aPlain.addFile("/app/data/a%20b.txt", "escaped name"));
        QVERIFY(aPlain.addFile("/a", "just a"));
        QVERIFY(aPlain.addFile("/app/css/vorn.css", "package style, shadowed by ours"));
        QVERIFY(aPlain.addFile("/app/js/data/vorn.js", "package data wins"));
        QVERIFY(aPlain.addFile("/app/js/data/locales.js", "var gLocales = {\r\n\"en_GB\": 1\r\n};"));
        QVERIFY(aPlain.addFile("/app/wave/only.txt", "x"));
        msPlainPath = maDir.filePath("plain.pkg");
        QVERIFY(aPlain.write(msPlainPath));

        PackageWriter aEncrypted;
        aEncrypted.setPassword("secret");
        aEncrypted.setUsers("anna");
        for (int i = 0; i < 20; ++i) {
            const QString sPath = QStringLiteral("/app/data/member%1.txt").arg(i);
            maBulk.insert(sPath, pattern(1000 + i * 997, i + 10));
            QVERIFY(aEncrypted.addFile(sPath, maBulk.value(sPath)));
        }
        msEncryptedPath = maDir.filePath("encrypted.pkg");
        QVERIFY(aEncrypted.write(msEncryptedPath));

        // A member whose stored bytes are not a zlib stream.
        PackageWriter aDamaged;
        aDamaged.addRawMember("/app/data/broken.txt", pattern(300, 3), 300, QByteArray());
        QVERIFY(aDamaged.addFile("/app/data/fine.txt", "still fine"));
        msDamagedPath = maDir.filePath("damaged.pkg");
        QVERIFY(aDamaged.write(msDamagedPath));
    }

    void noPackageOpen()
    {
        maPackage.closePackage();
        // An embedded resource is announced but nothing is written for it.
        QCOMPARE(get(port(), "/index.html").aResponse, okHeader(-1, "text/html"));
        QCOMPARE(get(port(), "/anything/vorn.css").aResponse, okHeader(-1, "text/css"));
        QTest::ignoreMessage(QtWarningMsg, "ERROR: File not found:  \"/app/data/report.txt\"");
        const HttpExchange aMissing = get(port(), "/app/data/report.txt");
        QCOMPARE(aMissing.aResponse, kNotFound);
        QVERIFY(aMissing.bClosedByServer);
    }

    void memberBytesExactly()
    {
        openPlain();
        const HttpExchange aResult = get(port(), "/app/data/report.txt");
        QCOMPARE(aResult.aResponse, okHeader(812, "text/plain") + maReport);
        QVERIFY(aResult.bClosedByServer);
    }

    // The call list goes straight to the system while a reader keeps up, and
    // a piece at a time once it does not: either way every byte, in order.
    void largeCallListWhole()
    {
        QByteArray aScript = "var gCalls = [\r\n";
        for (int i = 0; aScript.size() < 6 * 1024 * 1024; ++i)
            aScript += "{\"id\": " + QByteArray::number(i) + ", \"time_start\": \"2026-01-01 10:00:00\", \"flags\": 0, \"note\": \"" + pattern(97, i).toHex() + "\"},\r\n";
        aScript += "{\"id\": -1, \"time_start\": \"2026-01-01 10:00:00\", \"flags\": 0}\r\n];\r\n";
        PackageWriter aWriter;
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", aScript));
        const QString sPath = maDir.filePath("calls.pkg");
        QVERIFY(aWriter.write(sPath));
        Package aPackage;
        // The test framework's own handler comes back afterwards: later tests expect messages through it.
        const QtMessageHandler pTestHandler
            = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        const int nOpened = aPackage.openPackage(sPath, "", "", "", false);
        qInstallMessageHandler(pTestHandler);
        QCOMPARE(nOpened, 0);
        const QByteArray aServed = aPackage.callListScriptUtf8();
        QVERIFY2(aServed.size() > 6 * 1024 * 1024, aServed.left(200).constData());
        HttpServer aServer(&aPackage, 0, nullptr);
        const QByteArray aExpected
            = okHeader(aPackage.entrySize("/app/js/data/calls.js"), contentTypeFor("/app/js/data/calls.js").toUtf8())
            + aServed;
        for (int i = 0; i < 2; ++i) {
            const HttpExchange aResult = get(aServer.serverPort(), "/app/js/data/calls.js");
            QCOMPARE(aResult.aResponse.size(), aExpected.size());
            QVERIFY(aResult.aResponse == aExpected);
            QVERIFY(aResult.bClosedByServer);
        }
    }

    void notFoundExactly()
    {
        openPlain();
        QTest::ignoreMessage(QtWarningMsg, "ERROR: File not found:  \"/app/data/none.txt\"");
        QCOMPARE(get(port(), "/app/data/none.txt").aResponse, kNotFound);
        QCOMPARE(kNotFound.size(), 26);
    }

    void pathsAsSent_data()
    {
        QTest::addColumn<QList<QByteArray>>("aPieces");
        QTest::addColumn<QByteArray>("aExpected");
        const QByteArray aReportResponse = okHeader(812, "text/plain") + maReport;
        QTest::newRow("line split over two segments")
            << QList<QByteArray> { "GET /app/data/rep", "ort.txt HTTP/1.1\r\n\r\n" } << aReportResponse;
        QTest::newRow("path?x?y") << QList<QByteArray> { "GET /app/data/report.txt?x?y HTTP/1.1\r\n" }
                                  << aReportResponse;
        QTest::newRow("percent escape looked up as it stands")
            << QList<QByteArray> { "GET /app/data/a%20b.txt HTTP/1.1\r\n" }
            << okHeader(12, "text/plain") + "escaped name";
        QTest::newRow("unencoded space ends the path") << QList<QByteArray> { "GET /a b HTTP/1.1\r\n" }
                                                      << okHeader(6, "text/html") + "just a";
        QTest::newRow("bare line feed") << QList<QByteArray> { "GET /a\n" } << okHeader(6, "text/html") + "just a";
        QTest::newRow("embedded resource wins outside the data folder")
            << QList<QByteArray> { "GET /app/css/vorn.css HTTP/1.1\r\n" }
            << okHeader(31, "text/css") + embedded("vorn.css", true);
        QTest::newRow("package data wins inside the data folder")
            << QList<QByteArray> { "GET /app/js/data/vorn.js HTTP/1.1\r\n" }
            << okHeader(17, "application/javascript") + "package data wins";
        QTest::newRow("script line breaks become spaces")
            << QList<QByteArray> { "GET /app/js/data/locales.js HTTP/1.1\r\n" }
            << okHeader(32, "application/javascript") + "var gLocales = {  \"en_GB\": 1  };";
        QTest::newRow("catalog by its last three components")
            << QList<QByteArray> { "GET /app/i18n/locale/de/ui.mo HTTP/1.1\r\n" }
            << okHeader(-1, "application/x-gettext-translation") + embedded("locale/de/ui.mo", false);
        QTest::newRow("page from the resources in text mode")
            << QList<QByteArray> { "GET /index.html?lang=en_GB HTTP/1.1\r\n" }
            << okHeader(-1, "text/html") + embedded("index.html", true);
    }
    void pathsAsSent()
    {
        QFETCH(QList<QByteArray>, aPieces);
        QFETCH(QByteArray, aExpected);
        openPlain();
        const HttpExchange aResult = exchange(port(), aPieces);
        QCOMPARE(aResult.aResponse, aExpected);
        QVERIFY(aResult.bClosedByServer);
    }

    // Requests our page and simple clients send are answered; requests that
    // a browser marks as made by another site, or that name another host
    // (a host name pointed at the loopback address), get the short refusal.
    void onlyOurPageIsServed_data()
    {
        QTest::addColumn<QByteArray>("aFields");
        QTest::addColumn<bool>("bServed");
        const QByteArray aPort = QByteArray::number(port());
        const QByteArray aOrigin = "http://127.0.0.1:" + aPort;
        QTest::newRow("no fields") << QByteArray() << true;
        QTest::newRow("fields without a site") << QByteArray("User-Agent: curl/7.88.1\r\nAccept: */*\r\n") << true;
        QTest::newRow("our page") << "Host: 127.0.0.1:" + aPort + "\r\nSec-Fetch-Site: same-origin\r\nSec-Fetch-Mode: "
                "no-cors\r\nReferer: " + aOrigin + "/index.html?lang=de\r\n" << true;
        QTest::newRow("our page, fetch with origin")
            << "Host: 127.0.0.1:" + aPort + "\r\nOrigin: " + aOrigin + "\r\nSec-Fetch-Site: same-origin\r\n" << true;
        QTest::newRow("typed into the address bar") << "Host: localhost:" + aPort + "\r\nSec-Fetch-Site: none\r\n" << true;
        QTest::newRow("host without port") << QByteArray("Host: 127.0.0.1\r\n") << true;
        QTest::newRow("host in capitals, field name in lower case") << "host: LOCALHOST:" + aPort + "\r\n" << true;
        QTest::newRow("rebound host name") << "Host: attacker.example:" + aPort + "\r\n" << false;
        QTest::newRow("other port") << QByteArray("Host: 127.0.0.1:1\r\n") << false;
        QTest::newRow("other loopback address") << "Host: 127.0.0.2:" + aPort + "\r\n" << false;
        QTest::newRow("user name in the host") << "Host: x@127.0.0.1:" + aPort + "\r\n" << false;
        QTest::newRow("second host field") << "Host: 127.0.0.1:" + aPort + "\r\nHost: attacker.example\r\n" << false;
        QTest::newRow("cross-site") << "Host: 127.0.0.1:" + aPort + "\r\nSec-Fetch-Site: cross-site\r\n" << false;
        QTest::newRow("same-site") << "Host: 127.0.0.1:" + aPort + "\r\nSEC-FETCH-SITE: same-site\r\n" << false;
        QTest::newRow("other origin") << QByteArray("Origin: http://attacker.example\r\n") << false;
        QTest::newRow("opaque origin") << QByteArray("Origin: null\r\n") << false;
        QTest::newRow("our host over https") << "Origin: https://127.0.0.1:" + aPort + "\r\n" << false;
        QTest::newRow("other port on the loopback") << QByteArray("Origin: http://127.0.0.1:8080\r\n") << false;
        QTest::newRow("other referer") << QByteArray("Referer: http://attacker.example/page.html\r\n") << false;
        QTest::newRow("referer with our origin as a prefix")
            << "Referer: " + aOrigin + ".attacker.example/\r\n" << false;
    }
    void onlyOurPageIsServed()
    {
        QFETCH(QByteArray, aFields);
        QFETCH(bool, bServed);
        openPlain();
        if (!bServed)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Refused request from another site:  \"/app/data/report.txt\""));
        const HttpExchange aResult = exchange(port(), { "GET /app/data/report.txt HTTP/1.1\r\n" + aFields + "\r\n" });
        QCOMPARE(aResult.aResponse,
            bServed ? okHeader(812, "text/plain") + maReport : QByteArray("HTTP/1.1 403 Forbidden\r\n\r\n"));
        QVERIFY(aResult.bClosedByServer);
    }

    // The header block is read to its blank line before the answer, however
    // the client's segments cut it.
    void headerBlockIsReadWhole_data()
    {
        QTest::addColumn<QList<QByteArray>>("aPieces");
        QTest::addColumn<QByteArray>("aExpected");
        const QByteArray aReportResponse = okHeader(812, "text/plain") + maReport;
        const QByteArray aForbidden("HTTP/1.1 403 Forbidden\r\n\r\n");
        QTest::newRow("fields in a later segment")
            << QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\r\n", "Host: attacker.example\r\n\r\n" }
            << aForbidden;
        QTest::newRow("one field over two segments")
            << QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\r\nHo", "st: attacker.example\r\n", "\r\n" }
            << aForbidden;
        QTest::newRow("blank line in its own segment")
            << QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n", "\r\n" }
            << aReportResponse;
        QTest::newRow("bare line feeds")
            << QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\nOrigin: null\n\n" } << aForbidden;
        QTest::newRow("a body after the blank line is ignored")
            << QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\r\n\r\nGET /a HTTP/1.1\r\n\r\n" }
            << aReportResponse;
    }
    void headerBlockIsReadWhole()
    {
        QFETCH(QList<QByteArray>, aPieces);
        QFETCH(QByteArray, aExpected);
        openPlain();
        if (aExpected.contains("403"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Refused request from another site"));
        const HttpExchange aResult = exchange(port(), aPieces);
        QCOMPARE(aResult.aResponse, aExpected);
        QVERIFY(aResult.bClosedByServer);
    }

    void unendedOrOverlongHeaderBlockIsNotAnswered()
    {
        openPlain();
        HttpServer aServer(&maPackage, 0, nullptr);
        aServer.setIdleTimeout(500);
        QTest::ignoreMessage(QtWarningMsg, "Closing idle connection");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Request header too long"));
        auto aUnended = std::async(std::launch::async, httpExchange, aServer.serverPort(),
            QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n" }, 10000);
        auto aOverlong = std::async(std::launch::async, httpExchange, aServer.serverPort(),
            QList<QByteArray> { "GET /app/data/report.txt HTTP/1.1\r\n" + QByteArray(9000, 'x') + "\r\n\r\n" }, 10000);
        const HttpExchange aUnendedResult = await(aUnended);
        const HttpExchange aOverlongResult = await(aOverlong);
        QCOMPARE(aUnendedResult.aResponse, QByteArray());
        QVERIFY(aUnendedResult.bClosedByServer);
        QCOMPARE(aOverlongResult.aResponse, QByteArray());
        QVERIFY(aOverlongResult.bClosedByServer);
    }

    void otherMethodsGetNoAnswer()
    {
        openPlain();
        const HttpExchange aResult = exchange(port(), { "POST /app/data/report.txt HTTP/1.1\r\n\r\n" }, 1500);
        QCOMPARE(aResult.aResponse, QByteArray());
        QVERIFY(!aResult.bClosedByServer);
    }

    // A body made elsewhere: sent once when it comes, never to a foreign
    // site, never cached, and dropped for a client that went meanwhile.
    void madeBodies()
    {
        HttpServer aServer(&maPackage, 0, nullptr);
        const quint16 nPort = aServer.serverPort();
        QList<HttpServer::Answer> aPending;
        int nAsked = 0;
        aServer.addRoute("/made", "application/json", [&](const HttpServer::Answer& irAnswer) {
            ++nAsked;
            aPending << irAnswer;
        });
        aServer.addRoute("/at-once", "text/plain", [](const HttpServer::Answer& irAnswer) { irAnswer("now"); });
        const QByteArray aMadeHeader = "HTTP/1.1 200 Ok\r\nContent-Size: 9\r\nContent-Type: application/json\r\n"
                                       "Cache-Control: no-store\r\n\r\n";

        const HttpExchange aNow = exchange(nPort, { "GET /at-once?x HTTP/1.1\r\n\r\n" });
        QCOMPARE(aNow.aResponse, "HTTP/1.1 200 Ok\r\nContent-Size: 3\r\nContent-Type: text/plain\r\n"
                                 "Cache-Control: no-store\r\n\r\nnow");
        QVERIFY(aNow.bClosedByServer);

        // Answered later, and only once.
        auto aLater = std::async(std::launch::async, httpExchange, nPort, QList<QByteArray> { "GET /made HTTP/1.1\r\n\r\n" }, 20000);
        QVERIFY(QTest::qWaitFor([&] { return aPending.size() == 1; }, 10000));
        QTest::qWait(50);
        const HttpServer::Answer aAnswer = aPending.takeFirst();
        aAnswer("{\"a\":[1]}");
        aAnswer("{\"b\":[2]}");
        const HttpExchange aLaterResult = await(aLater);
        QCOMPARE(aLaterResult.aResponse, aMadeHeader + "{\"a\":[1]}");
        QVERIFY(aLaterResult.bClosedByServer);

        // The client gives up before the body comes: nothing is sent, and
        // the server goes on serving.
        auto aGone = std::async(std::launch::async, httpExchange, nPort, QList<QByteArray> { "GET /made HTTP/1.1\r\n\r\n" }, 300);
        QVERIFY(QTest::qWaitFor([&] { return aPending.size() == 1; }, 10000));
        const HttpExchange aGoneResult = await(aGone);
        QCOMPARE(aGoneResult.aResponse, QByteArray());
        QTest::qWait(100);
        const HttpServer::Answer aLate = aPending.takeFirst();
        aLate("{\"late\":1}");
        aLate("{\"late\":2}");
        QCOMPARE(exchange(nPort, { "GET /at-once HTTP/1.1\r\n\r\n" }).aResponse.right(3), QByteArray("now"));

        // A foreign site's request never reaches the maker.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Refused request from another site:  \"/made\""));
        QCOMPARE(exchange(nPort, { "GET /made HTTP/1.1\r\nOrigin: http://attacker.example\r\n\r\n" }).aResponse,
            QByteArray("HTTP/1.1 403 Forbidden\r\n\r\n"));
        QCOMPARE(nAsked, 2);

        // A body that does not come is given up with the idle connection.
        aServer.setIdleTimeout(300);
        QTest::ignoreMessage(QtWarningMsg, "Closing connection whose answer did not come:  \"/made\"");
        const HttpExchange aNever = exchange(nPort, { "GET /made HTTP/1.1\r\n\r\n" }, 10000);
        QVERIFY(aNever.bClosedByServer);
        QCOMPARE(aNever.aResponse, QByteArray());
        aPending.takeFirst()("{}");
    }

    void idleConnectionsAreClosed()
    {
        openPlain();
        HttpServer aServer(&maPackage, 0, nullptr);
        aServer.setIdleTimeout(300);
        QTest::ignoreMessage(QtWarningMsg, "Closing idle connection");
        QTest::ignoreMessage(QtWarningMsg, "Closing idle connection");
        auto aSilent = std::async(std::launch::async, httpExchange, aServer.serverPort(), QList<QByteArray> {}, 10000);
        auto aPost = std::async(std::launch::async, httpExchange, aServer.serverPort(),
            QList<QByteArray> { "POST /app/data/report.txt HTTP/1.1\r\n" }, 10000);
        const HttpExchange aSilentResult = await(aSilent);
        const HttpExchange aPostResult = await(aPost);
        QVERIFY(aSilentResult.bClosedByServer);
        QVERIFY(aPostResult.bClosedByServer);
        QCOMPARE(aPostResult.aResponse, QByteArray());
        // Answered connections are not reported as idle.
        QCOMPARE(exchange(aServer.serverPort(), { "GET /a HTTP/1.1\r\n" }).aResponse,
            okHeader(6, "text/html") + "just a");
        QTest::qWait(500);
    }

    void waveformWithoutRecordingIsPlainImage()
    {
        openPlain();
        QTest::ignoreMessage(QtWarningMsg,
            "Could not generate  \"/app/wave/none.svg\"  because voice file not found");
        const HttpExchange aResult = get(port(), "/app/wave/none.svg");
        const QByteArray aHeader = okHeader(-1, "image/png");
        QVERIFY(aResult.aResponse.startsWith(aHeader));
        QImage aImage;
        QVERIFY(aImage.loadFromData(aResult.aResponse.mid(aHeader.size()), "PNG"));
        QCOMPARE(aImage.size(), QSize(800, 100));
        QCOMPARE(aImage.pixel(0, 0), qRgba(238, 238, 238, 255));
        QCOMPARE(aImage.pixel(799, 99), qRgba(238, 238, 238, 255));
    }

    // A package file replaced or deleted while open: members are refused with
    // an error status, our own resources still come, the next package opens.
    void packageGoneIsRefused_data()
    {
        QTest::addColumn<bool>("bDelete");
        QTest::newRow("replaced") << false;
        QTest::newRow("deleted") << true;
    }
    void packageGoneIsRefused()
    {
        QFETCH(bool, bDelete);
        const QString sCopy = maDir.filePath("going.pkg");
        QFile::remove(sCopy);
        QVERIFY(QFile::copy(msPlainPath, sCopy));
        QCOMPARE(maPackage.openPackage(sCopy, "", "", "", false), 0);
        QCOMPARE(get(port(), "/app/data/report.txt").aResponse, okHeader(812, "text/plain") + maReport);
        QVERIFY(QFile::remove(sCopy));
        if (!bDelete)
            QVERIFY(QFile::copy(msEncryptedPath, sCopy));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Package file changed since it was opened"));
        const HttpExchange aGone = get(port(), "/app/data/report.txt");
        QCOMPARE(aGone.aResponse, QByteArray("HTTP/1.1 410 Gone\r\nCache-Control: no-store\r\n\r\n"));
        QVERIFY(aGone.bClosedByServer);
        QVERIFY(get(port(), "/index.html").aResponse.startsWith(okHeader(-1, "text/html")));
        openPlain();
        QCOMPARE(get(port(), "/app/data/report.txt").aResponse, okHeader(812, "text/plain") + maReport);
    }

    // A package file that changes while a client slowly takes a large member:
    // the body is cut off short with the connection closed (never made
    // whole with other bytes), and the server goes on serving.
    void bodyIsCutOffWhenThePackageChanges_data()
    {
        QTest::addColumn<QString>("sChange");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("overwritten") << "overwritten";
        QTest::newRow("replaced") << "replaced";
    }
    void bodyIsCutOffWhenThePackageChanges()
    {
        QFETCH(QString, sChange);
        const QByteArray aLarge = pattern(24 * 1024 * 1024, 11);
        const QString sPath = maDir.filePath("changing.pkg");
        QFile::remove(sPath);
        PackageWriter aWriter;
        QVERIFY(aWriter.addFile("/app/data/large.bin", aLarge));
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, "", "", "", false), 0);

        std::promise<void> aMidway;
        std::promise<void> aChanged;
        auto aClient = std::async(std::launch::async, slowRead, port(), QByteArray("/app/data/large.bin"), 1024 * 1024,
                                  std::ref(aMidway), aChanged.get_future().share());
        auto aAtMidway = aMidway.get_future();
        QVERIFY(QTest::qWaitFor(
            [&] { return aAtMidway.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 60000));
        if (sChange == "truncated") {
            QFile aFile(sPath);
            QVERIFY(aFile.resize(aFile.size() / 2));
        } else if (sChange == "overwritten") { // in place, same file, other contents
            QFile aFile(sPath);
            const qint64 nSize = aFile.size();
            QVERIFY(aFile.open(QIODevice::WriteOnly));
            QCOMPARE(aFile.write(pattern(int(nSize), 12)), nSize);
        } else {
            QVERIFY(QFile::remove(sPath));
            QVERIFY(QFile::copy(msPlainPath, sPath));
        }
        aChanged.set_value();
        QVERIFY(QTest::qWaitFor(
            [&] { return aClient.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 90000));
        const SlowRead aResult = aClient.get();

        const QByteArray aHeader = okHeader(aLarge.size(), "text/html");
        QVERIFY2(aResult.aResponse.startsWith(aHeader), aResult.aResponse.left(200).constData());
        const QByteArray aBody = aResult.aResponse.mid(aHeader.size());
        QVERIFY2(aBody.size() < aLarge.size(),
                 qPrintable(QStringLiteral("%1 of %2 bytes").arg(aBody.size()).arg(aLarge.size())));
        QVERIFY(aBody.size() >= 1024 * 1024 - aHeader.size());
        QVERIFY2(aLarge.startsWith(aBody), "the body holds bytes that are not the member's");
        // A reset, not an orderly end: a client that reads to the end of the
        // connection cannot take the part for the whole.
        QVERIFY(aResult.bClosedByServer);
        QVERIFY(aResult.bReset);

        // The server goes on: its own page, members refused, the next package.
        QVERIFY(get(port(), "/index.html").aResponse.startsWith(okHeader(-1, "text/html")));
        QCOMPARE(get(port(), "/app/data/large.bin").aResponse, QByteArray("HTTP/1.1 410 Gone\r\nCache-Control: no-store\r\n\r\n"));
        openPlain();
        QCOMPARE(get(port(), "/app/data/report.txt").aResponse, okHeader(812, "text/plain") + maReport);
    }

    void damagedMemberEndsCleanly()
    {
        QCOMPARE(maPackage.openPackage(msDamagedPath, "", "", "", false), 0);
        const HttpExchange aBroken = get(port(), "/app/data/broken.txt");
        QCOMPARE(aBroken.aResponse, okHeader(300, "text/plain"));
        QVERIFY(aBroken.bClosedByServer);
        QCOMPARE(get(port(), "/app/data/fine.txt").aResponse, okHeader(10, "text/plain") + "still fine");
    }

    void endlessLineIsCutOffWhileOthersAreServed()
    {
        openPlain();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Request line too long"));
        auto aEndless = std::async(std::launch::async, [this] {
            QTcpSocket aSocket;
            aSocket.connectToHost(QHostAddress::LocalHost, port());
            if (!aSocket.waitForConnected(5000))
                return qint64(-1);
            const QByteArray aChunk(4096, 'A');
            qint64 nSent = 0;
            // Bounded: the server must hang up long before this is sent.
            while (nSent < 64 * 1024 * 1024 && aSocket.state() == QAbstractSocket::ConnectedState) {
                if (aSocket.write(aChunk) < 0)
                    break;
                aSocket.waitForBytesWritten(200);
                nSent += aChunk.size();
                aSocket.waitForReadyRead(0);
            }
            return aSocket.state() == QAbstractSocket::ConnectedState ? qint64(-1) : nSent;
        });
        for (int i = 0; i < 3; ++i)
            QCOMPARE(get(port(), "/app/data/report.txt").aResponse, okHeader(812, "text/plain") + maReport);
        QVERIFY(QTest::qWaitFor([&] { return aEndless.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            60000));
        const qint64 nSent = aEndless.get();
        QVERIFY2(nSent > 0, "the server kept a connection without a line end open");
    }

    // Clients that ask for a large member and never read hold neither the
    // member in our memory nor their connection past the timeout, and others
    // are served meanwhile.
    void stalledClientsCannotExhaustMemory()
    {
        const QByteArray aLarge = pattern(16 * 1024 * 1024, 7);
        PackageWriter aWriter;
        aWriter.setPassword("secret");
        aWriter.setUsers("anna");
        QVERIFY(aWriter.addFile("/app/data/large.bin", aLarge));
        QVERIFY(aWriter.addFile("/app/data/small.txt", "small"));
        const QString sPath = maDir.filePath("large.pkg");
        QVERIFY(aWriter.write(sPath));
        Package aPackage;
        QCOMPARE(aPackage.openPackage(sPath, "anna", "secret", "", false), 0);
        HttpServer aServer(&aPackage, 0, nullptr);
        const int nTimeoutMs = 4000;
        aServer.setIdleTimeout(nTimeoutMs);
        aServer.setMaxConnections(64);
        const quint16 nPort = aServer.serverPort();

        // A reading client gets the large member whole, piece after piece.
        const QByteArray aHeader = okHeader(aLarge.size(), "text/html");
        QCOMPARE(exchange(nPort, { "GET /app/data/large.bin HTTP/1.1\r\n\r\n" }).aResponse, aHeader + aLarge);

        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        const qint64 nBefore = residentBytes();
        QElapsedTimer aTimer;
        aTimer.start();
        auto aStalled = std::async(std::launch::async, stalledClients, nPort, QByteArray("/app/data/large.bin"), 300,
            nTimeoutMs + 40000);
        qint64 nPeak = nBefore;
        HttpExchange aNormal;
        while (aStalled.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            QTest::qWait(100);
            nPeak = qMax(nPeak, residentBytes());
            if (aNormal.aResponse.isEmpty() && aTimer.elapsed() > 1000) {
                aNormal = exchange(nPort, { "GET /app/data/small.txt HTTP/1.1\r\n\r\n" });
                QVERIFY2(aStalled.wait_for(std::chrono::seconds(0)) != std::future_status::ready,
                    "the normal request waited for the stalled ones");
            }
        }
        const int nClosed = aStalled.get();
        qInstallMessageHandler(nullptr);
        QCOMPARE(aNormal.aResponse, okHeader(5, "text/plain") + "small");
        QCOMPARE(nClosed, 300);
        // Sixteen megabytes for each stalled client without pieces; a few
        // pieces each with them. The address sanitizer's allocator keeps
        // freed memory back, so its figure says nothing.
#ifndef __SANITIZE_ADDRESS__
        QVERIFY2(nPeak - nBefore < 48 * 1024 * 1024,
            qPrintable(QString("memory grew by %1 MB").arg((nPeak - nBefore) / (1024 * 1024))));
#endif
    }

    void manyConcurrentClientsOnEncryptedPackage()
    {
        QCOMPARE(maPackage.openPackage(msEncryptedPath, "anna", "secret", "", false), 0);
        const QStringList saPaths = maBulk.keys();
        std::vector<std::future<HttpExchange>> aFutures;
        for (int i = 0; i < 200; ++i) {
            const QByteArray aTarget = saPaths.at(i % saPaths.size()).toUtf8();
            aFutures.push_back(std::async(std::launch::async, httpGet, port(), aTarget));
        }
        for (int i = 0; i < 200; ++i) {
            const HttpExchange aResult = await(aFutures[size_t(i)]);
            const QByteArray aBody = maBulk.value(saPaths.at(i % saPaths.size()));
            QCOMPARE(aResult.aResponse, okHeader(aBody.size(), "text/plain") + aBody);
        }
    }
};

QTEST_MAIN(TestHttpServer)
#include "tst_http_server.moc"
