// The player as the page sees it: a real page in the main window's web view
// drives the "AudioPlayer" object through QWebChannel in JavaScript and
// watches its properties and signals.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "VornViewer.h"

#include <QAudioOutput>

using namespace audiotest;

class TestAudioChannel : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package* mpPackage = nullptr;
    HttpServer* mpServer = nullptr;
    AudioPlayer* mpPlayer = nullptr;
    VornViewer* mpViewer = nullptr;
    QWebEngineView* mpView = nullptr;

    QString js(const QString& isScript) { return runScript(mpView, isScript).toString(); }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        PackageWriter aWriter;
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));
        QVERIFY(aWriter.addFile("/app/wave/call.wvc", wvcFile({ tone(24000, 1) }, 8000, "PCM16")));
        const QString sPath = maDir.filePath("channel.pkg");
        QVERIFY(aWriter.write(sPath));

        mpPackage = new Package();
        mpServer = new HttpServer(mpPackage, 0, nullptr);
        mpPlayer = new AudioPlayer(mpPackage);
        mpViewer = new VornViewer(mpPackage, mpPlayer, mpServer->serverPort());
        mpView = mpViewer->findChild<QWebEngineView*>();
        QSignalSpy aLoaded(mpView, &QWebEngineView::loadFinished);
        mpViewer->show();
        QVERIFY(aLoaded.count() > 0 || aLoaded.wait(30000));
        QCOMPARE(mpPackage->openPackage(sPath, "", "", "", false), 0);

        // The start page carries the channel's script; connect as the page does.
        js("window.events = [];"
           "new QWebChannel(qt.webChannelTransport, function (channel) {"
           "  const p = channel.objects.AudioPlayer; window.player = p;"
           "  p.callIdChanged.connect(id => events.push('callId ' + id));"
           "  p.onLoadJs.connect(id => events.push('onLoad ' + id));"
           "  p.whileLoadingJs.connect(() => events.push('loading'));"
           "  p.durationChanged.connect(() => events.push('duration ' + p.nDuration));"
           "  p.pausedChanged.connect(() => events.push('paused ' + p.bPaused));"
           "  p.mutedChanged.connect(() => events.push('muted ' + p.bMuted));"
           "  p.idleJs.connect(() => events.push('idle'));"
           "  p.whilePlayingJs.connect(() => { window.position = p.nPosition; });"
           "}); ''");
        QTRY_COMPARE_WITH_TIMEOUT(js("typeof window.player"), QStringLiteral("object"), cnDeviceWaitMs);
    }

    void cleanupTestCase()
    {
        delete mpViewer;
        delete mpServer;
        delete mpPackage;
    }

    void pageDrivesThePlayer()
    {
        js("events.length = 0; player.unload(); player.loadFromPackage('call.wvc?timestamp=1&notchfrequency=300', '42'); ''");
        QTRY_VERIFY_WITH_TIMEOUT(js("events.join('|')").contains("paused false"), cnDeviceWaitMs);
        const QString sEvents = js("events.join('|')");
        for (const char* pEvent : { "callId 42", "onLoad 42", "loading", "duration 3000" })
            QVERIFY2(sEvents.contains(pEvent), qPrintable(sEvents));

        // A slot's result reaches the page; positions then count from the
        // seek target in whole 20 ms steps.
        js("window.seekResult = null; player.seek(1234, r => { window.seekResult = r; }); ''");
        QTRY_COMPARE_WITH_TIMEOUT(js("String(window.seekResult)"), QStringLiteral("0"), cnDeviceWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(js("String(window.position)").toLongLong() >= 1220, cnDeviceWaitMs);

        js("events.length = 0; player.pause(); ''");
        QTRY_VERIFY_WITH_TIMEOUT(js("events.join('|')").contains("paused true"), cnDeviceWaitMs);
        js("events.length = 0; player.togglePause(); ''");
        // Each time the output turns active it re-announces the mute state.
        QTRY_VERIFY_WITH_TIMEOUT(js("events.join('|')").contains("paused false"), cnDeviceWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(mpPlayer->findChild<QAudioOutput*>()->state(), QAudio::ActiveState, cnDeviceWaitMs);

        // Writing the property only notifies; the volume stays (until the
        // output next turns active, which re-applies the mute state). Paused,
        // so that no underrun of a busy machine turns it active meanwhile.
        js("events.length = 0; player.pause(); ''");
        QTRY_VERIFY_WITH_TIMEOUT(js("events.join('|')").contains("paused true"), cnDeviceWaitMs);
        js("events.length = 0; player.bMuted = true; ''");
        QTRY_COMPARE_WITH_TIMEOUT(js("events.join('|')"), QStringLiteral("muted true"), cnDeviceWaitMs);
        QCOMPARE(mpPlayer->findChild<QAudioOutput*>()->volume(), 1.0);
        js("events.length = 0; player.toggleMute(); ''"); // bMuted is true: unmutes
        QTRY_COMPARE_WITH_TIMEOUT(js("events.join('|')"), QStringLiteral("muted false"), cnDeviceWaitMs);
        js("events.length = 0; player.mute(); ''");
        QTRY_COMPARE_WITH_TIMEOUT(js("events.join('|')"), QStringLiteral("muted true"), cnDeviceWaitMs);
        QCOMPARE(mpPlayer->findChild<QAudioOutput*>()->volume(), 0.0);

        js("events.length = 0; player.unload(); ''");
        QTRY_COMPARE_WITH_TIMEOUT(js("events.join('|')"), QStringLiteral("muted false"), cnDeviceWaitMs);
        // Nothing is loaded: no place is left over from the recording.
        QCOMPARE(mpPlayer->property("nPosition").toLongLong(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(js("String(window.position) + ' ' + player.nPosition"), QStringLiteral("0 0"), cnDeviceWaitMs);
        js("window.seekResult = null; player.seek(10, r => { window.seekResult = r; }); ''");
        QTRY_COMPARE_WITH_TIMEOUT(js("String(window.seekResult)"), QStringLiteral("-1"), cnDeviceWaitMs);
    }
};

QTEST_MAIN(TestAudioChannel)
#include "tst_audio_channel.moc"
