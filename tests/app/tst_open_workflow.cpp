// Opening packages through the real window: every result the package can
// give leads to its message and end state.
#include "AudioPlayer.h"
#include "GuiTestHelpers.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "PackageWriter.h"
#include "VornViewer.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWebEngineView>

namespace {

// Fills the credentials dialog and presses OK (or Cancel when ibCancel).
ModalAnswers::Answer credentials(const QString& isUser, const QString& isPassword,
    const QString& isAuthority = QString(), bool ibCancel = false)
{
    return [=](QWidget* ipaModal) {
        const QList<QLineEdit*> aEdits = ipaModal->findChildren<QLineEdit*>();
        if (aEdits.size() == 3) {
            aEdits[0]->setText(isUser);
            aEdits[1]->setText(isPassword);
            aEdits[2]->setText(isAuthority);
        }
        auto* pButtons = ipaModal->findChild<QDialogButtonBox*>();
        if (!pButtons) {
            ipaModal->close();
            return;
        }
        pButtons->button(ibCancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
    };
}

QByteArray callsScript(int inExpiredCalls, int inExpiredVoices, int inKept)
{
    const QDateTime tNow = QDateTime::currentDateTime();
    QByteArray aScript = "var gCalls=[";
    int nId = 0;
    auto add = [&](int inDaysAgo, int inFlags) {
        aScript += "{\"id\":" + QByteArray::number(++nId) + ",\"time_start\":\""
            + tNow.addDays(-inDaysAgo).toString("yyyy-MM-dd hh:mm:ss").toUtf8()
            + "\",\"flags\":" + QByteArray::number(inFlags) + ",\"voice\":\"v\"},";
    };
    for (int i = 0; i < inExpiredCalls; ++i)
        add(100, 0x18);
    for (int i = 0; i < inExpiredVoices; ++i)
        add(20, 0x18);
    for (int i = 0; i < inKept; ++i)
        add(1, 0x18);
    return aScript + "];";
}

} // namespace

class TestOpenWorkflow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package* mpPackage = nullptr;
    HttpServer* mpServer = nullptr;
    VornViewer* mpViewer = nullptr;
    QWebEngineView* mpView = nullptr;
    QAction* mpAuthority = nullptr;
    QAction* mpLocales = nullptr;

    QString write(const QString& isName, bool ibEncrypted, const QString& isSettings,
        const QByteArray& iaCalls = "var gCalls=[];")
    {
        PackageWriter aWriter;
        if (ibEncrypted) {
            aWriter.setPassword("secret");
            aWriter.setUsers("anna,bob");
        }
        aWriter.setSettings(isSettings);
        aWriter.addFile("/app/js/data/calls.js", iaCalls);
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"de_DE\":1,\"en_GB\":1,\"xx_XX\":1};");
        const QString sPath = maDir.filePath(isName);
        aWriter.write(sPath);
        return sPath;
    }

    // A copy of a plain package with another type word.
    QString withType(const QString& isName, quint32 inType)
    {
        QFile aSource(write(isName + ".src", false, ""));
        aSource.open(QIODevice::ReadOnly);
        QByteArray aBytes = aSource.readAll();
        for (int i = 0; i < 4; ++i)
            aBytes[4 + i] = char((inType >> (8 * i)) & 0xFF);
        const QString sPath = maDir.filePath(isName);
        QFile aTarget(sPath);
        aTarget.open(QIODevice::WriteOnly);
        aTarget.write(aBytes);
        return sPath;
    }

    QString legacyPath() const { return QCoreApplication::applicationDirPath() + "/legacy/VornViewerOG.exe"; }

    void goHome()
    {
        QMetaObject::invokeMethod(mpViewer, "home");
        QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
    }

    // Opens isPath answering the modal widgets in order; returns the texts of
    // the message boxes that were answered.
    void openWith(const QString& isPath, QList<ModalAnswers::Answer> iaAnswers)
    {
        ModalAnswers aAnswers(std::move(iaAnswers));
        mpViewer->open(isPath);
        QVERIFY2(aAnswers.allUsed(), "a dialog that should have been shown was not");
    }

    // Opens isPath as openWith does and waits until the new page has loaded,
    // so that the checks that follow read it and not the one before.
    void openLoaded(const QString& isPath, QList<ModalAnswers::Answer> iaAnswers)
    {
        QSignalSpy aLoaded(mpView, &QWebEngineView::loadFinished);
        openWith(isPath, std::move(iaAnswers));
        QTRY_VERIFY_WITH_TIMEOUT(!aLoaded.isEmpty(), cnRoundTripMs);
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        mpPackage = new Package();
        mpServer = new HttpServer(mpPackage, 0, nullptr);
        mpViewer = new VornViewer(mpPackage, new AudioPlayer(mpPackage), mpServer->serverPort());
        mpViewer->resize(1280, 860);
        mpViewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(mpViewer));
        mpView = mpViewer->findChild<QWebEngineView*>();
        const QList<QAction*> aActions = mpViewer->findChild<QToolBar*>()->actions();
        mpAuthority = aActions.at(2);
        mpLocales = aActions.at(4);
        QFile::remove(legacyPath());
    }

    void cleanupTestCase()
    {
        delete mpViewer;
        delete mpServer;
        delete mpPackage;
        QFile::remove(legacyPath());
    }

    void results_data()
    {
        QTest::addColumn<QString>("sPackage");
        QTest::addColumn<QStringList>("saCredentials"); // user, password, authority; empty: no dialog expected
        QTest::addColumn<QString>("sButton");           // button for a question box, if one is expected
        QTest::addColumn<QString>("sMessage");          // expected warning text, empty for none
        QTest::addColumn<bool>("bOpened");
        QTest::addColumn<bool>("bAuthorityEnabled");

        const QString sOverride = "package_call_expiration=authority_override;authority_password=lift";
        QTest::newRow("plain") << "plain" << QStringList() << "" << "" << true << true;
        QTest::newRow("encrypted") << "encrypted" << QStringList { " bob ", "secret ", "" } << "" << "" << true << true;
        QTest::newRow("wrong password") << "encrypted" << QStringList { "anna", "wrong", "" } << ""
                                        << "Cannot authenticate user" << false << true;
        QTest::newRow("unknown user") << "encrypted" << QStringList { "carl", "secret", "" } << ""
                                      << "Cannot authenticate user" << false << true;
        QTest::newRow("authority accepted") << "override" << QStringList { "anna", "secret", "lift" } << "" << ""
                                            << true << false;
        QTest::newRow("authority refused, continue") << "override" << QStringList { "anna", "secret", "nope" }
                                                     << "Yes" << "" << true << true;
        QTest::newRow("authority refused, stop") << "override" << QStringList { "anna", "secret", "nope" } << "No"
                                                 << "" << false << true;
        QTest::newRow("damaged") << "damaged" << QStringList() << "" << "Error decoding package" << false << true;
    }
    void results()
    {
        QFETCH(QString, sPackage);
        QFETCH(QStringList, saCredentials);
        QFETCH(QString, sButton);
        QFETCH(QString, sMessage);
        QFETCH(bool, bOpened);
        QFETCH(bool, bAuthorityEnabled);

        QString sPath;
        if (sPackage == "plain")
            sPath = write("plain.pkg", false, "default_locale=de_DE");
        else if (sPackage == "encrypted")
            sPath = write("encrypted.pkg", true, "default_locale=en_GB");
        else if (sPackage == "override")
            sPath = write("override.pkg", true,
                "default_locale=en_GB;package_call_expiration=authority_override;authority_password=lift");
        else
            sPath = write("damaged.pkg", false, "", "var gCalls=[{");

        QString sQuestion;
        QString sWarning;
        QList<ModalAnswers::Answer> aAnswers;
        if (!saCredentials.isEmpty())
            aAnswers << credentials(saCredentials.at(0), saCredentials.at(1), saCredentials.at(2));
        if (!sButton.isEmpty())
            aAnswers << pressButton(&sQuestion, sButton);
        if (!sMessage.isEmpty())
            aAnswers << pressButton(&sWarning);
        openWith(sPath, aAnswers);

        if (!sButton.isEmpty())
            QCOMPARE(sQuestion, QStringLiteral("Authority password invalid. Continue anyway?"));
        QCOMPARE(sWarning, sMessage);
        QCOMPARE(mpPackage->isPackageOpen(), bOpened);
        QCOMPARE(mpAuthority->toolTip(),
            bAuthorityEnabled ? QStringLiteral("Authority override") : QStringLiteral("Authority override activated"));
        if (bOpened) {
            const QString sName = QFileInfo(sPath).fileName();
            QCOMPARE(mpViewer->windowTitle(), "VORN Viewer  |  " + sName);
            const QString sLocale = sPackage == "plain" ? "de_DE" : "en_GB";
            QTRY_COMPARE_WITH_TIMEOUT(mpView->url().toString(),
                QStringLiteral("http://127.0.0.1:%1/index.html?lang=%2").arg(mpServer->serverPort()).arg(sLocale),
                20000);
            QVERIFY(mpLocales->isVisible());
            QCOMPARE(mpLocales->menu()->actions().size(), 3);
            QCOMPARE(mpLocales->menu()->title(), sPackage == "plain" ? "German (de_DE)" : "English (en_GB)");
        } else {
            QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
            QTRY_VERIFY_WITH_TIMEOUT(mpView->url().toString().endsWith("/StartPage.html"), 20000);
            QVERIFY(!mpLocales->isVisible());
        }
    }

    void refusalsKeepThePreviousPackage_data()
    {
        QTest::addColumn<QString>("sKind");
        QTest::addColumn<QString>("sMessage");
        QTest::newRow("not a package") << "text" << "This is not a valid VORN package file!";
        QTest::newRow("missing file") << "missing" << "This is not a valid VORN package file!";
        QTest::newRow("legacy type without legacy viewer")
            << "type1"
            << "This package is not compatible with this version of VORN Viewer. Try opening this package with an "
               "earlier version of VORN Viewer.";
        QTest::newRow("newer type") << "type5"
                                    << "This package is not compatible with this version of VORN Viewer. Try opening "
                                       "this package with an newer version of VORN Viewer.";
        QTest::newRow("cancelled credentials") << "cancel" << "";
    }
    void refusalsKeepThePreviousPackage()
    {
        QFETCH(QString, sKind);
        QFETCH(QString, sMessage);
        const QString sPlain = write("previous.pkg", false, "");
        openWith(sPlain, {});
        QVERIFY(mpPackage->isPackageOpen());
        const QString sTitle = mpViewer->windowTitle();

        QString sPath;
        if (sKind == "text") {
            sPath = maDir.filePath("text.pkg");
            QFile aFile(sPath);
            aFile.open(QIODevice::WriteOnly);
            aFile.write("just some text, no package at all");
        } else if (sKind == "missing") {
            sPath = maDir.filePath("missing.pkg");
        } else if (sKind == "type1") {
            sPath = withType("type1.pkg", 1);
        } else if (sKind == "type5") {
            sPath = withType("type5.pkg", 5);
        } else {
            sPath = write("cancel.pkg", true, "");
        }
        QString sWarning;
        if (sKind == "cancel")
            openWith(sPath, { credentials("", "", "", true) });
        else
            openWith(sPath, { pressButton(&sWarning) });
        QCOMPARE(sWarning, sMessage);
        QVERIFY(mpPackage->isPackageOpen());
        QCOMPARE(mpViewer->windowTitle(), sTitle);
        QCOMPARE(mpPackage->entrySize("/app/js/data/locales.js") > 0, true);
    }

    void emptyFieldsAskAgain()
    {
        const QString sPath = write("again.pkg", true, "");
        openWith(sPath, { credentials("anna", ""), credentials("anna", "secret") });
        QVERIFY(mpPackage->isPackageOpen());
    }

    void legacyViewerGetsThePath()
    {
        const QString sRecord = maDir.filePath("legacy-argument.txt");
        QDir().mkpath(QFileInfo(legacyPath()).path());
        QFile aScript(legacyPath());
        QVERIFY(aScript.open(QIODevice::WriteOnly));
        aScript.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + sRecord.toUtf8() + "'\n");
        aScript.close();
        aScript.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        const QString sPath = withType("type0.pkg", 0);
        openWith(sPath, {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(sRecord), 10000);
        auto recorded = [&] {
            QFile aRecord(sRecord);
            return aRecord.open(QIODevice::ReadOnly) ? QString::fromUtf8(aRecord.readAll()) : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(recorded(), sPath, 10000);
        QFile::remove(legacyPath());
    }

    void expiredContentIsReported()
    {
        const QString sPath = write("expired.pkg", false,
            "package_call_expiration=authority_override;authority_password=lift;storage_time_normal_cdr=50;"
            "storage_time_normal_voice=10",
            callsScript(3, 2, 1));
        QString sWarning;
        openLoaded(sPath, { pressButton(&sWarning) });
        QCOMPARE(sWarning, QStringLiteral("This package contains 3 expired calls and 2 calls with expired media"));
        QVERIFY(mpAuthority->isVisible());
        QVERIFY(mpAuthority->isEnabled());

        // The page shows what the filter kept.
        QTRY_COMPARE_WITH_TIMEOUT(runScript(mpView, "document.querySelectorAll('.list-row:not([hidden])').length").toInt(), 3,
            20000);

        // Switching the locale loads the page again, with the message again.
        QAction* pGerman = nullptr;
        for (QAction* pAction : mpLocales->menu()->actions())
            if (pAction->text() == "German (de_DE)")
                pGerman = pAction;
        QVERIFY(pGerman);
        QString sAgain;
        {
            ModalAnswers aAnswers({ pressButton(&sAgain) });
            pGerman->trigger();
            QVERIFY(aAnswers.allUsed());
        }
        QCOMPARE(sAgain, sWarning);
        QTRY_VERIFY_WITH_TIMEOUT(mpView->url().toString().endsWith("/index.html?lang=de_DE"), 20000);
        QCOMPARE(mpLocales->menu()->title(), QStringLiteral("German (de_DE)"));

        // An unknown code has an empty label and reloads in the current locale.
        QAction* pUnknown = mpLocales->menu()->actions().last();
        QCOMPARE(pUnknown->text(), QString());
        {
            ModalAnswers aAnswers({ pressButton(&sAgain) });
            pUnknown->trigger();
        }
        QTRY_VERIFY_WITH_TIMEOUT(mpView->url().toString().endsWith("/index.html?lang=en_GB"), 20000);
    }

    void onlyMediaExpired()
    {
        const QString sPath = write("media.pkg", false, "package_call_expiration=always;storage_time_normal_voice=10", callsScript(0, 2, 1));
        QString sWarning;
        openWith(sPath, { pressButton(&sWarning) });
        QCOMPARE(sWarning, QStringLiteral("This package contains 2 calls with expired media"));
        QVERIFY(!mpAuthority->isVisible());
    }

    // Opens a package that demands a verified time from servers that refuse
    // the connection, and cancels the prompt for another server's URL.
    void openUnverified(const QString& isPath, QList<ModalAnswers::Answer> iaAnswers)
    {
        iaAnswers << [](QWidget* ipaModal) { ipaModal->close(); };
        ModalAnswers aAnswers(std::move(iaAnswers),
            [](QWidget* ipaWidget) { return ipaWidget->windowTitle() == "Time verification progress..."; });
        mpViewer->open(isPath);
        QTRY_VERIFY_WITH_TIMEOUT(aAnswers.allUsed(), 20000);
    }

    void timeVerificationLeavesThePageAlone()
    {
        goHome();
        const QString sPath = write("verify.pkg", false, "viewer_verify_time=true;viewer_verify_time_url1=http://127.0.0.1:9/");
        openUnverified(sPath, {});
        QVERIFY(!mpPackage->isPackageOpen());
        QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
    }

    // The second open, after a verified time: its own wording for failures.
    void openAfterVerification_data()
    {
        QTest::addColumn<QString>("sReplacement");
        QTest::addColumn<QString>("sMessage");
        QTest::newRow("same package") << "" << "";
        QTest::newRow("password changed") << "password" << "Password invalid";
        QTest::newRow("user removed") << "user" << "Username invalid";
        QTest::newRow("damaged") << "damaged" << "Error decoding package";
    }
    void openAfterVerification()
    {
        QFETCH(QString, sReplacement);
        QFETCH(QString, sMessage);
        goHome();
        const QString sSettings = "viewer_verify_time=true;viewer_verify_time_url1=http://127.0.0.1:9/";
        const QString sPath = write("verified.pkg", true, sSettings);
        openUnverified(sPath, { credentials("anna", "secret") });
        QVERIFY(!mpPackage->isPackageOpen());

        // What the file holds by the time the verified time arrives.
        PackageWriter aWriter;
        aWriter.setSettings(sSettings);
        aWriter.setPassword(sReplacement == "password" ? "other" : "secret");
        aWriter.setUsers(sReplacement == "user" ? "bob" : "anna");
        aWriter.addFile("/app/js/data/calls.js", sReplacement == "damaged" ? "var gCalls=[{" : "var gCalls=[];");
        if (!sReplacement.isEmpty())
            QVERIFY(aWriter.write(sPath));

        QString sWarning;
        {
            ModalAnswers aAnswers({ pressButton(&sWarning) });
            mpViewer->openWithTimeOffset(3600);
        }
        QCOMPARE(sWarning, sMessage);
        QCOMPARE(mpPackage->isPackageOpen(), sMessage.isEmpty());
        QCOMPARE(mpViewer->windowTitle(),
            sMessage.isEmpty() ? QStringLiteral("VORN Viewer  |  verified.pkg") : QStringLiteral("VORN Viewer"));
    }
};

QTEST_MAIN(TestOpenWorkflow)
#include "tst_open_workflow.moc"
