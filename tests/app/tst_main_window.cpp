// The main window under a real X server: toolbar, zoom, keys, home, About
// and the start page served into the web view.
#include "AudioPlayer.h"
#include "GuiTestHelpers.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "VornViewer.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QToolBar>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidgetAction>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <malloc.h>

namespace {

QStringList gsaMessages;

void captureMessage(QtMsgType, const QMessageLogContext&, const QString& irsMessage)
{
    gsaMessages << irsMessage;
}

void sendKey(QWidget* ipaWidget, int inKey, Qt::KeyboardModifiers inModifiers)
{
    QKeyEvent aEvent(QEvent::KeyPress, inKey, inModifiers);
    QApplication::sendEvent(ipaWidget, &aEvent);
}

// Through pointers the compiler cannot see through, so that no allocation
// is left out; every byte touched, so that it is resident.
void* (*volatile gpAllocate)(size_t) = std::malloc;
void (*volatile gpRelease)(void*) = std::free;
void* touched(size_t inBytes)
{
    void* p = gpAllocate(inBytes);
    if (p)
        std::memset(p, 0x5a, inBytes);
    return p;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    Package* mpPackage = nullptr;
    HttpServer* mpServer = nullptr;
    VornViewer* mpViewer = nullptr;
    QWebEngineView* mpView = nullptr;

    QAction* action(const QString& isText)
    {
        for (QAction* pAction : mpViewer->findChildren<QAction*>())
            if (pAction->text() == isText)
                return pAction;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        // The program's own handler, which also drops the web channel's
        // complaints about widget properties.
        qInstallMessageHandler(logMessageHandler);
        mpPackage = new Package();
        mpServer = new HttpServer(mpPackage, 0, nullptr);
        mpViewer = new VornViewer(mpPackage, new AudioPlayer(mpPackage), mpServer->serverPort());
        mpView = mpViewer->findChild<QWebEngineView*>();
        QVERIFY(mpView);
        QSignalSpy aLoaded(mpView, &QWebEngineView::loadFinished);
        mpViewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(mpViewer));
        QVERIFY(aLoaded.count() > 0 || aLoaded.wait(30000));
        QCOMPARE(aLoaded.last().at(0).toBool(), true);
    }

    void cleanupTestCase()
    {
        delete mpViewer;
        delete mpServer;
        delete mpPackage;
    }

    void windowBasics()
    {
        QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
        QCOMPARE(mpViewer->minimumSize(), QSize(1024, 768));
        QCOMPARE(mpViewer->centralWidget(), mpView);
        QVERIFY(mpView->page()->profile()->isOffTheRecord());
        QVERIFY(mpView->page()->webChannel());
        const QHash<QString, QObject*> aObjects = mpView->page()->webChannel()->registeredObjects();
        QCOMPARE(aObjects.value("VornViewer"), mpViewer);
        QVERIFY(qobject_cast<AudioPlayer*>(aObjects.value("AudioPlayer")));
    }

    void toolbarOrder()
    {
        auto* pToolBar = mpViewer->findChild<QToolBar*>();
        QVERIFY(pToolBar);
        QCOMPARE(pToolBar->windowTitle(), QStringLiteral("Main toolbar"));
        QCOMPARE(pToolBar->iconSize(), QSize(24, 24));
        QVERIFY(!pToolBar->isFloatable());
        const QList<QAction*> aActions = pToolBar->actions();
        QCOMPARE(aActions.size(), 16);
        QStringList saKinds;
        for (QAction* pAction : aActions) {
            if (pAction->isSeparator())
                saKinds << "|";
            else if (auto* pWidgetAction = qobject_cast<QWidgetAction*>(pAction))
                saKinds << (qobject_cast<AudioPlayer*>(pToolBar->widgetForAction(pWidgetAction)) ? "player" : "spacer");
            else if (pAction->menu())
                saKinds << "locales";
            else
                saKinds << pAction->text();
        }
        QCOMPARE(saKinds,
            QStringList({ "Home (Ctrl+H)", "Open package (Ctrl+O)", "Authority override", "spacer", "locales", "|",
                "Save Review", "Open Review", "Export Report", "Export Recordings", "|", "Zoom in (Ctrl++)", "Zoom out (Ctrl+-)", "|", "About", "player" }));
        QCOMPARE(action("Home (Ctrl+H)")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        QCOMPARE(action("Open package (Ctrl+O)")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(action("Zoom in (Ctrl++)")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
        QCOMPARE(action("Zoom out (Ctrl+-)")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
        // The review actions name their keys in the tooltip and wait for a package.
        QCOMPARE(action("Save Review")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(action("Open Review")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
        QCOMPARE(action("Export Report")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(action("Open Review")->toolTip(), QStringLiteral("Open Review (Ctrl+Shift+O)"));
        for (const char* pText : { "Save Review", "Open Review", "Export Report", "Export Recordings" })
            QVERIFY2(!action(pText)->isEnabled(), pText);
        QVERIFY(!action("Authority override")->isVisible());
        QVERIFY(!action("Authority override")->icon().pixmap(24, QIcon::Normal).isNull());
        QVERIFY(!action("Authority override")->icon().pixmap(24, QIcon::Disabled).isNull());
        for (const char* pText : { "Home (Ctrl+H)", "Open package (Ctrl+O)", "Zoom in (Ctrl++)", "About" })
            QVERIFY2(!action(pText)->icon().pixmap(24).isNull(), pText);
        QVERIFY(pToolBar->widgetForAction(aActions.at(3))->sizePolicy().horizontalPolicy() == QSizePolicy::Expanding);
    }

    void zoomBounds()
    {
        gsaMessages.clear();
        QtMessageHandler pPrevious = qInstallMessageHandler(captureMessage);
        mpView->setZoomFactor(1.0);
        for (int i = 0; i < 12; ++i)
            action("Zoom in (Ctrl++)")->trigger();
        const qreal fMax = mpView->zoomFactor();
        const int nInMessages = gsaMessages.filter(QStringLiteral("Zoomed in, zoom factor: ")).size();
        mpView->setZoomFactor(1.0);
        for (int i = 0; i < 7; ++i)
            action("Zoom out (Ctrl+-)")->trigger();
        const qreal fMin = mpView->zoomFactor();
        const int nOutMessages = gsaMessages.filter(QStringLiteral("Zoomed out, zoom factor: ")).size();
        qInstallMessageHandler(pPrevious);
        mpView->setZoomFactor(1.0);

        QVERIFY2(qAbs(fMax - 2.0) < 1e-6, qPrintable(QString::number(fMax, 'g', 17)));
        QCOMPARE(nInMessages, 10);
        QVERIFY2(qAbs(fMin - 0.5) < 1e-6, qPrintable(QString::number(fMin, 'g', 17)));
        QCOMPARE(nOutMessages, 5);
    }

    void ctrlKeysEmitForThePage_data()
    {
        QTest::addColumn<int>("nKey");
        QTest::addColumn<int>("nModifiers");
        QTest::addColumn<int>("nZoomIn");
        QTest::addColumn<int>("nZoomOut");
        QTest::newRow("ctrl plus") << int(Qt::Key_Plus) << int(Qt::ControlModifier) << 1 << 0;
        QTest::newRow("ctrl bracket") << int(Qt::Key_BracketRight) << int(Qt::ControlModifier) << 1 << 0;
        QTest::newRow("ctrl minus") << int(Qt::Key_Minus) << int(Qt::ControlModifier) << 0 << 1;
        QTest::newRow("ctrl shift plus") << int(Qt::Key_Plus) << int(Qt::ControlModifier | Qt::ShiftModifier) << 0 << 0;
        QTest::newRow("plus alone") << int(Qt::Key_Plus) << int(Qt::NoModifier) << 0 << 0;
        QTest::newRow("ctrl other key") << int(Qt::Key_A) << int(Qt::ControlModifier) << 0 << 0;
    }
    void ctrlKeysEmitForThePage()
    {
        QFETCH(int, nKey);
        QFETCH(int, nModifiers);
        QFETCH(int, nZoomIn);
        QFETCH(int, nZoomOut);
        QSignalSpy aIn(mpViewer, &VornViewer::zoomInTriggered);
        QSignalSpy aOut(mpViewer, &VornViewer::zoomOutTriggered);
        sendKey(mpViewer, nKey, Qt::KeyboardModifiers(nModifiers));
        QCOMPARE(aIn.count(), nZoomIn);
        QCOMPARE(aOut.count(), nZoomOut);
    }

    void aboutBox()
    {
        QString sText;
        QString sTitle;
        ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
            sTitle = ipaModal->windowTitle();
            pressButton(&sText)(ipaModal);
        } });
        QMetaObject::invokeMethod(mpViewer, "showInfo");
        QVERIFY(aAnswers.allUsed());
        QVERIFY(sText.startsWith(QLatin1String("Version 7.12<br")));
        QVERIFY(sText.contains(QLatin1String("Built with Qt version 5.15.2<br />")));
        QCOMPARE(sTitle, QStringLiteral("About VORN Viewer"));
    }

    void startPageShowsItsImages()
    {
        QCOMPARE(mpView->url().toString(), QStringLiteral("http://127.0.0.1:%1/StartPage.html").arg(mpServer->serverPort()));
        QCOMPARE(runScript(mpView, "document.title").toString(), QStringLiteral("VORN Viewer"));
        QVERIFY(QTest::qWaitFor([&] {
            return runScript(mpView,
                "Array.from(document.images).every(function (i) { return i.complete && i.naturalWidth > 0; })")
                .toBool();
        }, 10000));
        QCOMPARE(runScript(mpView, "document.images.length").toInt(), 2);
        QVERIFY(runScript(mpView, "getComputedStyle(document.body).backgroundImage")
                    .toString()
                    .contains("qrc:///resources/tessano_background.jpg"));
    }

    void homeWithNothingOpen()
    {
        action("Authority override")->setVisible(true);
        mpViewer->setAuthorityOverrideActive();
        mpViewer->setWindowTitle("something else");
        QSignalSpy aLoaded(mpView, &QWebEngineView::loadFinished);
        action("Home (Ctrl+H)")->trigger();
        QVERIFY(aLoaded.wait(20000));
        QVERIFY(!action("Authority override")->isVisible());
        QCOMPARE(action("Authority override")->toolTip(), QStringLiteral("Authority override"));
        // A hidden action reports itself disabled; the reset shows once it is visible again.
        action("Authority override")->setVisible(true);
        QVERIFY(action("Authority override")->isEnabled());
        action("Authority override")->setVisible(false);
        auto* pToolBar = mpViewer->findChild<QToolBar*>();
        QVERIFY(!pToolBar->actions().at(4)->isVisible());
        QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
        QVERIFY(!mpPackage->isOpen());
    }

    void analysisBoxOpensTheFileDialog()
    {
        QString sCaption;
        QString sDirectory;
        QStringList saFilters;
        // A home of its own with a download folder, so the start folder is
        // checked whatever the machine's home holds.
        QTemporaryDir aHome;
        const QByteArray aOldHome = qgetenv("HOME");
        const QByteArray aOldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", aHome.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", aHome.filePath(".config").toUtf8());
        const QString sDownloads = aHome.filePath("Downloads");
        QVERIFY(QDir().mkpath(sDownloads));
        struct Restore {
            QByteArray h, c;
            ~Restore() { qputenv("HOME", h); c.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", c); }
        } aRestore { aOldHome, aOldConfig };
        ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
            if (auto* pDialog = qobject_cast<QFileDialog*>(ipaModal)) {
                sCaption = pDialog->windowTitle();
                sDirectory = pDialog->directory().absolutePath();
                saFilters = pDialog->nameFilters();
            }
            ipaModal->close();
        } });
        runScript(mpView, "document.getElementById('analysis').click(); true");
        QTRY_VERIFY_WITH_TIMEOUT(!sCaption.isEmpty(), 20000);
        QCOMPARE(sCaption, QStringLiteral("Open VORN Analysis Package"));
        QCOMPARE(saFilters, QStringList { "VORN Analysis Packages (*.pkg)" });
        QCOMPARE(sDirectory, QDir(sDownloads).absolutePath());
        // A cancelled dialog changes nothing.
        QCOMPARE(mpViewer->windowTitle(), QStringLiteral("VORN Viewer"));
    }

    // The viewer stays open all day: the large buffers it frees (recordings
    // decoded and unloaded, members served) must leave the process, also
    // after a larger one was freed before them. In the heap, freed space
    // between blocks that live on would stay resident; so they must be
    // mapped on their own and unmapped when freed.
    void freedLargeBuffersLeaveTheProcess()
    {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
        QSKIP("glibc's allocator only (the sanitizer has its own)");
#else
        gpRelease(touched(8 << 20));
        const qint64 nBefore = qint64(mallinfo2().hblkhd);
        std::vector<void*> aLarge;
        for (int i = 0; i < 16; ++i)
            aLarge.push_back(touched(1 << 20));
        const qint64 nHeld = qint64(mallinfo2().hblkhd);
        for (void* p : aLarge)
            gpRelease(p);
        const qint64 nAfter = qint64(mallinfo2().hblkhd);
        const QByteArray aText = QStringLiteral("mapped before/holding/after: %1/%2/%3 KB")
                                     .arg(nBefore >> 10).arg(nHeld >> 10).arg(nAfter >> 10).toUtf8();
        // A margin for the web engine's threads, which allocate meanwhile.
        QVERIFY2(nHeld - nBefore >= (15 << 20), aText);
        QVERIFY2(nHeld - nAfter >= (15 << 20), aText);
#endif
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
