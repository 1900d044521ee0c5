// A web page of another site, open in the web engine while the server holds
// a package, tries to read the call list and a waveform through the server
// with a script element, fetch and an image: it gets nothing, while our own
// page, served by the server, reads the same paths.
#include "HttpServer.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>

namespace {

QStringList gsaRefused;
QStringList gsaDelivered;

void captureMessage(QtMsgType, const QMessageLogContext&, const QString& isMessage)
{
    static const QRegularExpression aRefused(QStringLiteral("^Refused request from another site:  \"([^\"]*)\""));
    static const QRegularExpression aDelivered(QStringLiteral("^File delivered:  \"([^\"]*)\""));
    QRegularExpressionMatch aMatch = aRefused.match(isMessage);
    if (aMatch.hasMatch())
        gsaRefused << aMatch.captured(1);
    aMatch = aDelivered.match(isMessage);
    if (aMatch.hasMatch())
        gsaDelivered << aMatch.captured(1);
}

// The page tries every way in and records what it got in window.results.
QByteArray probePage(const QByteArray& iaBase)
{
    return "<!DOCTYPE html><html><head><script>window.results = {};"
           "function done(k, v) { window.results[k] = String(v); }</script>\n"
           "<script src='" + iaBase + "/app/js/data/calls.js' onload='done(\"script\", typeof gCalls)' "
           "onerror='done(\"script\", \"error\")'></script>\n"
           "<script src='" + iaBase + "/app/js/data/locales.js' referrerpolicy='no-referrer' "
           "onload='done(\"quietScript\", typeof gLocales)' onerror='done(\"quietScript\", \"error\")'></script>\n"
           "</head><body><img src='" + iaBase + "/app/wave/call1.svg' onload='done(\"image\", this.naturalWidth)' "
           "onerror='done(\"image\", \"error\")'>\n"
           "<script>fetch('" + iaBase + "/app/data/notes.txt').then(r => r.text())"
           ".then(t => done('fetch', t), e => done('fetch', 'error'));\n"
           "fetch('" + iaBase + "/app/data/notes.txt?q', {mode: 'no-cors', referrerPolicy: 'no-referrer'})"
           ".then(r => done('quietFetch', r.type), e => done('quietFetch', 'error'));</script></body></html>";
}

// A second web site on the loopback interface: every path gets its page.
class ForeignSite : public QTcpServer
{
public:
    explicit ForeignSite(const QByteArray& iaPage)
        : maPage(iaPage)
    {
        listen(QHostAddress::LocalHost, 0);
    }

protected:
    void incomingConnection(qintptr inDescriptor) override
    {
        auto* pSocket = new QTcpSocket(this);
        pSocket->setSocketDescriptor(inDescriptor);
        connect(pSocket, &QTcpSocket::readyRead, pSocket, [this, pSocket] {
            if (!pSocket->readAll().contains("\r\n\r\n"))
                return;
            pSocket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
                + QByteArray::number(maPage.size()) + "\r\nConnection: close\r\n\r\n" + maPage);
            pSocket->disconnectFromHost();
        });
        connect(pSocket, &QTcpSocket::disconnected, pSocket, &QObject::deleteLater);
    }

private:
    QByteArray maPage;
};

} // namespace

class TestForeignPage : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package maPackage;
    HttpServer* mpServer = nullptr;
    QWebEngineProfile* mpProfile = nullptr;

    QByteArray ourBase() const { return "http://127.0.0.1:" + QByteArray::number(mpServer->serverPort()); }

    // Loads isUrl into a fresh view and returns window.results once every
    // attempt has reported.
    QVariantMap resultsOf(const QUrl& iaUrl)
    {
        QWebEngineView aView;
        aView.setPage(new QWebEnginePage(mpProfile, &aView));
        QSignalSpy aLoaded(&aView, &QWebEngineView::loadFinished);
        aView.load(iaUrl);
        aView.show();
        if (!aLoaded.wait(30000))
            return {};
        QVariantMap aResults;
        (void)QTest::qWaitFor(
            [&] {
                bool bDone = false;
                aView.page()->runJavaScript(QStringLiteral("window.results"), [&](const QVariant& irValue) {
                    aResults = irValue.toMap();
                    bDone = true;
                });
                (void)QTest::qWaitFor([&] { return bDone; }, 5000);
                return aResults.size() == 5;
            },
            20000);
        return aResults;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        PackageWriter aWriter;
        aWriter.setPassword("secret");
        aWriter.setUsers("anna");
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls = [{\"id\": 1}];"));
        QVERIFY(aWriter.addFile("/app/js/data/locales.js", "var gLocales = {\"en_GB\": 1};"));
        QVERIFY(aWriter.addFile("/app/data/notes.txt", "confidential notes"));
        const QString sPath = maDir.filePath("calls.pkg");
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, "anna", "secret", "", false), 0);
        mpServer = new HttpServer(&maPackage, 0, this);
        QVERIFY(mpServer->isListening());
        // Off the record, so that the test leaves nothing in the home folder.
        mpProfile = new QWebEngineProfile(this);
        qInstallMessageHandler(captureMessage);
    }

    void cleanupTestCase() { qInstallMessageHandler(nullptr); }

    void otherSiteGetsNothing_data()
    {
        QTest::addColumn<QString>("sHost");
        QTest::newRow("other site") << "localhost";
        QTest::newRow("same address, other port") << "127.0.0.1";
    }
    void otherSiteGetsNothing()
    {
        QFETCH(QString, sHost);
        ForeignSite aSite(probePage(ourBase()));
        gsaRefused.clear();
        gsaDelivered.clear();
        const QVariantMap aResults = resultsOf(QUrl(QStringLiteral("http://%1:%2/page.html").arg(sHost).arg(aSite.serverPort())));
        QCOMPARE(aResults.value("script").toString(), QString("error"));
        QCOMPARE(aResults.value("quietScript").toString(), QString("error"));
        QCOMPARE(aResults.value("image").toString(), QString("error"));
        QCOMPARE(aResults.value("fetch").toString(), QString("error"));
        // An opaque answer tells the page nothing; the server must still have
        // refused it.
        QVERIFY(aResults.contains("quietFetch"));
        QCOMPARE(gsaDelivered, QStringList());
        for (const char* sPath : { "/app/js/data/calls.js", "/app/js/data/locales.js", "/app/wave/call1.svg",
                 "/app/data/notes.txt" })
            QVERIFY2(gsaRefused.contains(sPath), qPrintable(QString(sPath) + " was not refused: " + gsaRefused.join(", ")));
    }

    void ourPageReadsTheSamePaths()
    {
        // Our page comes from the server itself, as the viewer loads it.
        PackageWriter aWriter;
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls = [{\"id\": 1}];"));
        QVERIFY(aWriter.addFile("/app/js/data/locales.js", "var gLocales = {\"en_GB\": 1};"));
        QVERIFY(aWriter.addFile("/app/data/notes.txt", "confidential notes"));
        QVERIFY(aWriter.addFile("/app/probe.html", probePage(QByteArray())));
        const QString sPath = maDir.filePath("page.pkg");
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, "", "", "", false), 0);
        gsaRefused.clear();
        const QVariantMap aResults = resultsOf(QUrl(QString::fromLatin1(ourBase() + "/app/probe.html")));
        QCOMPARE(aResults.value("script").toString(), QString("object"));
        QCOMPARE(aResults.value("quietScript").toString(), QString("object"));
        QCOMPARE(aResults.value("image").toString(), QString("800"));
        QCOMPARE(aResults.value("fetch").toString(), QString("confidential notes"));
        QCOMPARE(aResults.value("quietFetch").toString(), QString("basic"));
        QCOMPARE(gsaRefused, QStringList());
    }
};

QTEST_MAIN(TestForeignPage)
#include "tst_foreign_page.moc"
