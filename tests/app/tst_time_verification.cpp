// Packages that demand a verified time, opened through the real window
// against a real signing time server on the loopback address: every
// sequence of server answers ends in its log lines, waiting box states,
// prompts and outcome, and the retention rules are judged by the server's
// clock.
#include "AudioPlayer.h"
#include "GuiTestHelpers.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "PackageWriter.h"
#include "TimeServer.h"
#include "TimeVerification.h"
#include "VornViewer.h"

#include <QInputDialog>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr qint64 kDay = 24 * 3600;
const QString kBoxTitle = QStringLiteral("Time verification progress...");

QStringList gaLog;

void captureLog(QtMsgType inType, const QMessageLogContext& irContext, const QString& irsMessage)
{
    gaLog << irsMessage;
    logMessageHandler(inType, irContext, irsMessage);
}

// The log lines that tell the verification's course, as short tokens.
QStringList sequenceOf(const QStringList& iaLog)
{
    static const QList<QPair<QString, QString>> aTokens = {
        { "Error from request:", "error" },
        { "Did not receive valid data", "malformed" },
        { "Invalid signature, time will not be used", "invalid" },
        { "Error while verifying signature: ", "exception" },
        { "Trying next URL:", "next" },
        { "Both verification URLs failed, we ask the user for an alternative URL", "ask" },
        { "Offset to server time", "offset" },
        { "loadPackageHtml(", "load" },
    };
    QStringList aSequence;
    for (const QString& sLine : iaLog)
        for (const auto& aToken : aTokens)
            if (sLine.startsWith(aToken.first))
                aSequence << aToken.second;
    return aSequence;
}

bool isWaitingBox(QWidget* ipaWidget)
{
    return ipaWidget->windowTitle() == kBoxTitle;
}

QList<QMessageBox*> waitingBoxes()
{
    QList<QMessageBox*> aBoxes;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pBox = qobject_cast<QMessageBox*>(pWidget); pBox && isWaitingBox(pBox))
            aBoxes << pBox;
    return aBoxes;
}

bool anyWaitingBoxVisible()
{
    for (QMessageBox* pBox : waitingBoxes())
        if (pBox->isVisible())
            return true;
    return false;
}

// Calls by age against the local clock: 35 days in the future, 1 day,
// 45 s inside and 45 s outside a 10-day limit, 45 days.
QByteArray callsScript()
{
    const QDateTime tNow = QDateTime::currentDateTime();
    const qint64 aAges[] = { -35 * kDay, kDay, 10 * kDay - 45, 10 * kDay + 45, 45 * kDay };
    QByteArray aScript = "var gCalls=[";
    for (int i = 0; i < 5; ++i)
        aScript += "{\"id\":" + QByteArray::number(i + 1) + ",\"time_start\":\""
            + tNow.addSecs(-aAges[i]).toString("yyyy-MM-dd hh:mm:ss").toUtf8()
            + "\",\"flags\":0,\"voice\":\"\"},";
    return aScript + "];";
}

// Answers the URL prompt with a URL, or cancels it when isUrl is empty;
// records the prompt's title and label.
ModalAnswers::Answer answerPrompt(QStringList* ipaPrompts, const QString& isUrl)
{
    return [=](QWidget* ipaModal) {
        auto* pDialog = qobject_cast<QInputDialog*>(ipaModal);
        if (!pDialog) {
            *ipaPrompts << QStringLiteral("<not an input dialog: %1>").arg(ipaModal->metaObject()->className());
            ipaModal->close();
            return;
        }
        *ipaPrompts << pDialog->windowTitle() + " / " + pDialog->labelText();
        if (isUrl.isEmpty()) {
            pDialog->reject();
        } else {
            pDialog->setTextValue(isUrl);
            pDialog->accept();
        }
    };
}

} // namespace

class TestTimeVerification : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    OpensslSigner* mpSigner = nullptr;
    TimeServer* mpTimeServer = nullptr;
    QString msKey;
    QString msUnreachable;
    Package* mpPackage = nullptr;
    HttpServer* mpServer = nullptr;
    VornViewer* mpViewer = nullptr;
    QStringList maBoxStates; // "V" or "H" per request that reached the time server
    int mnRow = 0;

    QString urlFor(const QString& isMode)
    {
        if (isMode == "unreachable")
            return msUnreachable;
        return mpTimeServer->url(QStringLiteral("/%1/r%2").arg(isMode).arg(mnRow));
    }

    QString writePackage(const QString& isUrl1, const QString& isUrl2, const QString& isKey)
    {
        PackageWriter aWriter;
        aWriter.setSettings("default_locale=en_GB;package_call_expiration=always;storage_time_normal_cdr=10;"
                            "viewer_verify_time=true;viewer_verify_time_url1="
            + isUrl1 + ";viewer_verify_time_url2=" + isUrl2);
        aWriter.setTimeVerificationKey(isKey);
        aWriter.addFile("/app/js/data/calls.js", callsScript());
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1};");
        const QString sPath = maDir.filePath(QStringLiteral("verify%1.pkg").arg(mnRow));
        aWriter.write(sPath);
        return sPath;
    }

    // The ids in the call list that the loopback server serves.
    QString servedIds()
    {
        QNetworkAccessManager aManager;
        aManager.setProxy(QNetworkProxy::NoProxy);
        QNetworkReply* pReply = aManager.get(QNetworkRequest(
            QUrl(QStringLiteral("http://127.0.0.1:%1/app/js/data/calls.js").arg(mpServer->serverPort()))));
        if (!QTest::qWaitFor([pReply] { return pReply->isFinished(); }, 10000))
            return "<no answer>";
        QStringList aIds;
        const QString sScript = QString::fromUtf8(pReply->readAll());
        auto aMatches = QRegularExpression("\"id\"\\s*:\\s*(\\d+)").globalMatch(sScript);
        while (aMatches.hasNext())
            aIds << aMatches.next().captured(1);
        delete pReply;
        return aIds.join(',');
    }

    QString offsetLogged() const
    {
        for (const QString& sLine : gaLog)
            if (sLine.startsWith("Offset to server time"))
                return sLine.section(' ', -1);
        return QString();
    }

    static void clearEnvironmentProxy()
    {
        for (const char* pName : { "http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                 "ALL_PROXY", "no_proxy", "NO_PROXY" })
            qunsetenv(pName);
    }

private slots:
    void initTestCase()
    {
        clearEnvironmentProxy();
        qInstallMessageHandler(captureLog);
        QVERIFY(maDir.isValid());
        mpSigner = new OpensslSigner(maDir.filePath("time.pem"));
        msKey = mpSigner->publicKeyText();
        QVERIFY2(msKey.size() > 100, "openssl made no key");
        mpTimeServer = new TimeServer(*mpSigner);
        mpTimeServer->mOnRequest = [this](const QString& isPath) {
            const QString sText = "Waiting for " + mpTimeServer->url(isPath);
            QStringList aStates;
            for (QMessageBox* pBox : waitingBoxes())
                if (pBox->text() == sText)
                    aStates << (pBox->isVisible() ? "V" : "H");
            maBoxStates << (aStates.size() == 1 ? aStates.first() : "<" + aStates.join('|') + ">");
        };
        {
            QTcpServer aClosed;
            aClosed.listen(QHostAddress::LocalHost);
            msUnreachable = QStringLiteral("http://127.0.0.1:%1/unreachable").arg(aClosed.serverPort());
        }
        mpPackage = new Package();
        mpServer = new HttpServer(mpPackage, 0, nullptr);
        mpViewer = new VornViewer(mpPackage, new AudioPlayer(mpPackage), mpServer->serverPort());
        mpViewer->show();
        // Silent servers give up quickly here; the program's own default is
        // TimeVerification::cnDefaultTransferTimeoutMs.
        mpViewer->findChild<TimeVerification*>()->setTransferTimeout(1500);
    }

    void init()
    {
        ++mnRow;
        gaLog.clear();
        maBoxStates.clear();
    }

    void cleanupTestCase()
    {
        delete mpViewer;
        delete mpServer;
        delete mpPackage;
        delete mpTimeServer;
        delete mpSigner;
    }

    void sequences_data()
    {
        QTest::addColumn<QString>("sUrl1");           // server mode of URL 1 ("unreachable": nobody listens)
        QTest::addColumn<QString>("sUrl2");
        QTest::addColumn<QStringList>("saPrompts");   // answers to the URL prompt in order, "" cancels
        QTest::addColumn<bool>("bBadKey");            // the package carries a key that cannot be decoded
        QTest::addColumn<qint64>("nClockOffset");     // server clock minus local clock, seconds
        QTest::addColumn<QStringList>("saSequence");  // log tokens in order
        QTest::addColumn<QStringList>("saBoxStates"); // waiting box as each request reaches the server
        QTest::addColumn<QString>("sKept");           // ids in the served call list; "-" when nothing opens

        const QStringList aNone;
        const QStringList aOpened { "offset", "load" };
        const auto steps = [](const QString& isTokens) { return isTokens.split(','); };
        const auto boxes = [](const QString& isStates) { return isStates.isEmpty() ? QStringList() : isStates.split(','); };
        const qint64 nBeyond = 4000000000LL - QDateTime::currentSecsSinceEpoch();

        QTest::newRow("URL 1 valid, server 90 s ahead")
            << "valid" << "valid" << aNone << false << qint64(90) << aOpened << boxes("V") << "1,2";
        QTest::newRow("URL 1 late but in time, 90 s behind")
            << "late" << "valid" << aNone << false << qint64(-90) << aOpened << boxes("V") << "1,2,3,4";
        QTest::newRow("URL 1 unreachable, URL 2 valid")
            << "unreachable" << "valid" << aNone << false << qint64(-90) << steps("error,next,offset,load")
            << boxes("H") << "1,2,3,4";
        QTest::newRow("URL 1 answers 500, 40 days ahead")
            << "error500" << "valid" << aNone << false << 40 * kDay << steps("error,next,offset,load")
            << boxes("V,H") << "1";
        QTest::newRow("URL 1 never answers")
            << "silent" << "valid" << aNone << false << qint64(90) << steps("error,next,offset,load")
            << boxes("V,H") << "1,2";
        QTest::newRow("no semicolon, 40 days behind")
            << "nosemicolon" << "valid" << aNone << false << -40 * kDay << steps("malformed,next,offset,load")
            << boxes("V,V") << "1,2,3,4,5";
        QTest::newRow("two semicolons")
            << "twosemicolons" << "valid" << aNone << false << qint64(90) << steps("malformed,next,offset,load")
            << boxes("V,V") << "1,2";
        QTest::newRow("empty body")
            << "empty" << "valid" << aNone << false << qint64(-90) << steps("malformed,next,offset,load")
            << boxes("V,V") << "1,2,3,4";
        QTest::newRow("empty signature")
            << "emptysignature" << "valid" << aNone << false << 40 * kDay << steps("invalid,next,offset,load")
            << boxes("V,V") << "1";
        QTest::newRow("signature over other text")
            << "othertext" << "valid" << aNone << false << -40 * kDay << steps("invalid,next,offset,load")
            << boxes("V,V") << "1,2,3,4,5";
        QTest::newRow("both fail, the user's URL is valid")
            << "error500" << "twosemicolons" << QStringList { "valid" } << false << 40 * kDay
            << steps("error,next,malformed,ask,offset,load") << boxes("V,H,V") << "1";
        QTest::newRow("both fail, prompt cancelled")
            << "othertext" << "unreachable" << QStringList { "" } << false << qint64(90)
            << steps("invalid,next,error,ask") << boxes("V") << "-";
        QTest::newRow("the user's URL fails, its empty second URL too")
            << "nosemicolon" << "error500" << QStringList { "unreachable", "" } << false << qint64(90)
            << steps("malformed,next,error,ask,error,next,error,ask") << boxes("V,V") << "-";
        QTest::newRow("key cannot be decoded")
            << "valid" << "valid" << QStringList { "" } << true << qint64(90)
            << steps("exception,next,exception,ask") << boxes("V,V") << "-";
        QTest::newRow("server time beyond a 32-bit offset")
            << "valid" << "valid" << aNone << false << nBeyond << aOpened << boxes("V") << "";
    }
    void sequences()
    {
        QFETCH(QString, sUrl1);
        QFETCH(QString, sUrl2);
        QFETCH(QStringList, saPrompts);
        QFETCH(bool, bBadKey);
        QFETCH(qint64, nClockOffset);
        QFETCH(QStringList, saSequence);
        QFETCH(QStringList, saBoxStates);
        QFETCH(QString, sKept);

        QMetaObject::invokeMethod(mpViewer, "home");
        mpTimeServer->mnClockOffset = nClockOffset;
        const QString sPath = writePackage(urlFor(sUrl1), urlFor(sUrl2), bBadKey ? "bm90IGEga2V5" : msKey);

        const bool bOpened = sKept != "-";
        QStringList aPrompts;
        QString sWarning;
        QList<ModalAnswers::Answer> aAnswers;
        for (const QString& sPrompt : saPrompts)
            aAnswers << answerPrompt(&aPrompts, sPrompt.isEmpty() ? QString() : urlFor(sPrompt));
        const int nKept = sKept.isEmpty() ? 0 : sKept.split(',').size();
        if (bOpened && nKept < 5)
            aAnswers << pressButton(&sWarning);
        ModalAnswers aModal(aAnswers, isWaitingBox);
        mpViewer->open(sPath);

        QTRY_COMPARE_WITH_TIMEOUT(sequenceOf(gaLog), saSequence, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(aModal.allUsed(), 10000);
        QCOMPARE(maBoxStates, saBoxStates);
        QCOMPARE(aPrompts.size(), saPrompts.size());
        for (const QString& sPrompt : aPrompts)
            QCOMPARE(sPrompt, QStringLiteral("Time verification failed / Please enter a valid URL to verify time:"));
        QVERIFY(!anyWaitingBoxVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(mpPackage->isPackageOpen(), bOpened);
        if (!bOpened) {
            QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
            return;
        }
        const qint64 nExpected = qBound<qint64>(INT_MIN, nClockOffset, INT_MAX);
        QVERIFY2(qAbs(offsetLogged().toLongLong() - nExpected) <= 2, qPrintable(offsetLogged()));
        QCOMPARE(mpViewer->windowTitle(), "VORN Viewer  |  " + QFileInfo(sPath).fileName());
        if (nKept < 5)
            QCOMPARE(sWarning, QStringLiteral("This package contains %1 expired calls").arg(5 - nKept));
        QCOMPARE(servedIds(), sKept);
    }

    // A verification the user leaves while a request is pending never opens
    // its package later, and leaves no box or wait cursor behind.
    void leavingWhilePending_data()
    {
        QTest::addColumn<QString>("sHow");
        QTest::newRow("home") << "home";
        QTest::newRow("another package") << "open";
        QTest::newRow("window closed") << "close";
    }
    void leavingWhilePending()
    {
        QFETCH(QString, sHow);
        QMetaObject::invokeMethod(mpViewer, "home");
        mpTimeServer->mnClockOffset = 90;
        const QString sPath = writePackage(urlFor("late"), urlFor("valid"), msKey);
        const int nAnswered = mpTimeServer->mnAnswered;

        Package aOwnPackage;
        VornViewer* pViewer = mpViewer;
        Package* pPackage = mpPackage;
        if (sHow == "close") {
            pPackage = &aOwnPackage;
            pViewer = new VornViewer(pPackage, new AudioPlayer(pPackage), mpServer->serverPort());
            pViewer->show();
        }
        pViewer->open(sPath);
        QTRY_COMPARE(maBoxStates, QStringList { "V" });
        // As a person would: dismiss the waiting box, then leave.
        for (QMessageBox* pBox : waitingBoxes())
            if (pBox->isVisible())
                pBox->button(QMessageBox::Ok)->click();
        QString sPlain;
        if (sHow == "home") {
            QMetaObject::invokeMethod(pViewer, "home");
        } else if (sHow == "open") {
            PackageWriter aWriter;
            aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];");
            sPlain = maDir.filePath("plain.pkg");
            aWriter.write(sPlain);
            pViewer->open(sPlain);
        } else {
            pViewer->close();
            delete pViewer;
        }

        QTRY_VERIFY(mpTimeServer->mnAnswered > nAnswered);
        QTest::qWait(500);
        QVERIFY(!sequenceOf(gaLog).contains("offset"));
        QVERIFY(waitingBoxes().isEmpty() || !anyWaitingBoxVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(maBoxStates, QStringList { "V" });
        if (sHow == "open") {
            QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer  |  plain.pkg"));
            QVERIFY(mpPackage->isPackageOpen());
        } else {
            QVERIFY(!pPackage->isPackageOpen());
        }
    }

    // With http_proxy naming a proxy, the request goes through it: the time
    // server's host name exists only for the proxy.
    void systemProxyIsUsed()
    {
        TinyProxy aProxy;
        qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(aProxy.serverPort()).toLatin1());
        mpTimeServer->mnClockOffset = -90;
        const QString sUrl = QStringLiteral("http://timeserver.invalid:%1/valid/proxy").arg(mpTimeServer->serverPort());
        const QString sPath = writePackage(sUrl, msUnreachable, msKey);
        QString sWarning;
        ModalAnswers aModal({ pressButton(&sWarning) }, isWaitingBox);
        mpViewer->open(sPath);
        QTRY_COMPARE_WITH_TIMEOUT(sequenceOf(gaLog), (QStringList { "offset", "load" }), 20000);
        clearEnvironmentProxy();
        QCOMPARE(aProxy.maRequestLines, QStringList { "GET " + sUrl + " HTTP/1.1" });
        QTRY_VERIFY(aModal.allUsed());
        QCOMPARE(servedIds(), QStringLiteral("1,2,3,4"));
    }
};

QTEST_MAIN(TestTimeVerification)
#include "tst_time_verification.moc"
