// The package page in the viewer's own web engine, driven with real key
// and mouse events against packages written by our package writer.
#include "LogMessageHandler.h"
#include "PageSession.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

namespace {

const QDateTime gtNow = QDateTime::currentDateTime();

// Six calls, newest first by id: 6 is the newest.
QList<CallRecord> sampleCalls()
{
    QList<CallRecord> a;
    a << CallRecord { 1, gtNow.addDays(-9), "in", "+49 30 5550 1234", "+49 89 2000 0101", "Agent Berger", 4, 0x18, "call1.wav",
        "\"queue\":\"sales\"" };
    a << CallRecord { 2, gtNow.addDays(-7), "out", "+44 20 7946 0018", "+49 89 2000 0102", "Agent Novak", 3, 0x18 | 0x00400000,
        "call2.wav", "\"queue\":\"support\",\"capture\":\"/app/data/call2.pcap\",\"notes\":\"/app/data/call2.txt\"" };
    a << CallRecord { 3, gtNow.addDays(-5), "in", "+33 1 7010 4455", "+49 89 2000 0103", "Agent Ricci", 5, 0, "", "\"queue\":\"sales\"" };
    a << CallRecord { 4, gtNow.addDays(-3), "out", "+1 212 555 0142", "+49 89 2000 0104", "Agent Olsen", 2, 0x18, "call4.wav",
        "\"queue\":\"billing\"" };
    a << CallRecord { 5, gtNow.addDays(-2), "in", "+41 44 668 1800", "+49 89 2000 0105", "Agent Berger", 6, 0x00400000, "",
        "\"queue\":\"support\"" };
    a << CallRecord { 6, gtNow.addDays(-1), "in", "+46 8 5050 3344", "+49 89 2000 0106", "Agent Novak", 3, 0x18, "call6.wav",
        "\"queue\":\"sales\"" };
    return a;
}

QString writePackage(const QString& isPath, const QList<CallRecord>& iaCalls, bool ibRecordings)
{
    PackageWriter aWriter;
    aWriter.setSettings("default_locale=en_GB");
    QByteArray aScript = "var gCalls=[";
    for (int i = 0; i < iaCalls.size(); ++i) {
        aScript += (i ? ",\n" : "\n") + iaCalls[i].json();
        if (ibRecordings && !iaCalls[i].sVoice.isEmpty())
            aWriter.addFile("/app/wave/" + iaCalls[i].sVoice, toneWav(1000 * iaCalls[i].nDuration, 300 + 50 * i));
    }
    aWriter.addFile("/app/js/data/calls.js", aScript + "\n];");
    aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"ar_SA\":1,\"de_DE\":1,\"en_GB\":1};");
    aWriter.addFile("/app/data/call2.pcap", QByteArray(64, '\xd4'));
    aWriter.addFile("/app/data/call2.txt", "notes");
    aWriter.write(isPath);
    return isPath;
}

QStringList ids(std::initializer_list<int> ia)
{
    QStringList s;
    for (int n : ia)
        s << QString::number(n);
    return s;
}

} // namespace

class TestPage : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;
    QString msSample;

    PageSession& s() { return *mpSession; }

    void openSample()
    {
        QVERIFY(s().open(msSample) >= 0);
        s().mpViewer->activateWindow();
        s().mpView->setFocus();
    }

    void screenshot(const QString& isName)
    {
        const QString sDir = qEnvironmentVariable("VORN_SCREENSHOTS");
        if (sDir.isEmpty())
            return;
        QDir().mkpath(sDir);
        QTest::qWait(300);
        s().mpViewer->grab().save(sDir + "/" + isName + ".png");
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        msSample = writePackage(maDir.filePath("sample.pkg"), sampleCalls(), true);
        mpSession = new PageSession();
    }

    void cleanupTestCase() { delete mpSession; }

    void listShowsEveryCallWithReadableHeadings()
    {
        openSample();
        QCOMPARE(s().js("document.getElementById('count').textContent").toString(), QStringLiteral("6 calls"));
        // Known fields by their names, unknown ones from the key.
        const QStringList saHeadings = s().js("[...document.querySelectorAll('.list-heading')].map(h => h.firstChild.textContent)").toStringList();
        for (const char* pHeading : { "Start", "Direction", "Caller", "Callee", "Agent", "Duration", "Call ID", "Queue", "Capture" })
            QVERIFY2(saHeadings.contains(pHeading), qPrintable(saHeadings.join("|")));
        // Newest first, durations as clock times, directions in words.
        QCOMPARE(s().column("id"), ids({ 6, 5, 4, 3, 2, 1 }));
        QCOMPARE(s().column("duration").first(), QStringLiteral("0:03"));
        QCOMPARE(s().column("direction").mid(0, 3), QStringList({ "Incoming", "Incoming", "Outgoing" }));
        QCOMPARE(s().column("queue").first(), QStringLiteral("sales"));
        screenshot("list");
    }

    void searchAsYouType_data()
    {
        QTest::addColumn<QString>("sTyped");
        QTest::addColumn<QStringList>("saIds");
        QTest::newRow("number as written") << "5550 1234" << ids({ 1 });
        QTest::newRow("number without spaces") << "55501234" << ids({ 1 });
        QTest::newRow("part of a number") << "2000 010" << ids({ 6, 5, 4, 3, 2, 1 });
        QTest::newRow("agent, any case") << "berger" << ids({ 5, 1 });
        QTest::newRow("unknown field") << "billing" << ids({ 4 });
        QTest::newRow("two words") << "novak support" << ids({ 2 });
        QTest::newRow("direction in words") << "outgoing" << ids({ 4, 2 });
        QTest::newRow("nothing") << "zzz" << QStringList();
    }
    void searchAsYouType()
    {
        QFETCH(QString, sTyped);
        QFETCH(QStringList, saIds);
        openSample();
        s().key('/');
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.activeElement.id").toString(), QStringLiteral("search"), cnRoundTripMs);
        s().type(sTyped);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.getElementById('search').value").toString(), sTyped, cnRoundTripMs);
        QCOMPARE(s().column("id"), saIds);
        const QString sCount = s().js("document.getElementById('count').textContent").toString();
        QCOMPARE(sCount, saIds.size() == 6 ? QStringLiteral("6 calls") : QStringLiteral("%1 of 6 calls").arg(saIds.size()));
        // Esc empties the search and returns to the list.
        s().key(Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id").size(), 6, cnRoundTripMs);
    }

    void filters_data()
    {
        QTest::addColumn<QString>("sScript"); // sets the controls as a user would
        QTest::addColumn<QStringList>("saIds");
        QTest::newRow("outgoing") << "set('#filter-direction','out')" << ids({ 4, 2 });
        QTest::newRow("has recording") << "check('#filter-recording')" << ids({ 6, 4, 2, 1 });
        QTest::newRow("marked") << "check('#filter-marked')" << ids({ 5, 2 });
        QTest::newRow("marked with recording") << "check('#filter-marked'); check('#filter-recording')" << ids({ 2 });
        QTest::newRow("from 4 days ago")
            << QStringLiteral("set('#filter-from','%1')").arg(gtNow.addDays(-4).toString("yyyy-MM-dd")) << ids({ 6, 5, 4 });
        QTest::newRow("6 to 2 days ago") << QStringLiteral("set('#filter-from','%1'); set('#filter-to','%2')")
                                                .arg(gtNow.addDays(-6).toString("yyyy-MM-dd"), gtNow.addDays(-2).toString("yyyy-MM-dd"))
                                         << ids({ 5, 4, 3 });
    }
    void filters()
    {
        QFETCH(QString, sScript);
        QFETCH(QStringList, saIds);
        openSample();
        s().js("window.set = (q, v) => { const e = document.querySelector(q); e.value = v; e.dispatchEvent(new Event('change')); };"
               "window.check = q => document.querySelector(q).click(); true");
        s().js(sScript + "; true");
        QCOMPARE(s().column("id"), saIds);
        s().click("#filter-reset");
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id").size(), 6, cnRoundTripMs);
    }

    void sortByClickingHeadings_data()
    {
        QTest::addColumn<QString>("sField");
        QTest::addColumn<int>("nClicks");
        QTest::addColumn<QStringList>("saIds");
        QTest::newRow("start, once: oldest first") << "time_start" << 1 << ids({ 1, 2, 3, 4, 5, 6 });
        QTest::newRow("caller ascending") << "caller" << 1 << ids({ 4, 3, 5, 2, 6, 1 });
        QTest::newRow("caller descending") << "caller" << 2 << ids({ 1, 6, 2, 5, 3, 4 });
        QTest::newRow("duration numeric") << "duration" << 1 << ids({ 4, 2, 6, 1, 3, 5 });
        QTest::newRow("agent, ties in list order") << "agent" << 1 << ids({ 1, 5, 2, 6, 4, 3 });
    }
    void sortByClickingHeadings()
    {
        QFETCH(QString, sField);
        QFETCH(int, nClicks);
        QFETCH(QStringList, saIds);
        openSample();
        for (int i = 0; i < nClicks; ++i, QTest::qWait(400)) // apart, so not a double click
            s().click(QStringLiteral(".list-heading[data-column='%1']").arg(sField));
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id"), saIds, cnRoundTripMs);
        QCOMPARE(s().js(QStringLiteral("document.querySelector(\".list-heading[data-column='%1']\").getAttribute('aria-sort')").arg(sField))
                     .toString(),
            QString(nClicks == 1 && sField != "time_start" ? "ascending" : sField == "time_start" ? "ascending" : "descending"));
    }

    void keyboardOpensCallsAndWalksThroughThem()
    {
        openSample();
        s().key(Qt::Key_Down);
        s().key(Qt::Key_Down);
        s().key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        // Third newest: call 4, every field shown.
        const QString sFields = "Object.fromEntries([...document.querySelectorAll('#fields dd')].map(d => [d.dataset.field, d.firstChild.textContent]))";
        QVariantMap aFields = s().js(sFields).toMap();
        QCOMPARE(aFields.value("id").toString(), QStringLiteral("4"));
        QCOMPARE(aFields.value("caller").toString(), QStringLiteral("+1 212 555 0142"));
        QCOMPARE(aFields.value("queue").toString(), QStringLiteral("billing"));
        QCOMPARE(aFields.value("flags").toString(), QStringLiteral("0x00000018"));
        QCOMPARE(aFields.value("voice").toString(), QStringLiteral("call4.wav"));
        QCOMPARE(s().js("document.querySelector('.call-position').textContent").toString(), QStringLiteral("Call 3 of 6"));
        // The waveform of the recording is asked for.
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.querySelector('.waveform-image').complete && document.querySelector('.waveform-image').naturalWidth").toInt() == 800, cnRoundTripMs);
        // Down goes to the next (older) call, Up back.
        s().key(Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelector('#fields dd[data-field=id]').textContent").toString(), QStringLiteral("3"), cnRoundTripMs);
        QVERIFY(s().js("document.getElementById('call-view').classList.contains('no-recording')").toBool());
        s().key(Qt::Key_Up);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelector('#fields dd[data-field=id]').textContent").toString(), QStringLiteral("4"), cnRoundTripMs);
        screenshot("call");
        // Esc: back to the list, the cursor on the call that was open.
        s().key(Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        QCOMPARE(s().js("document.querySelector('.list-row.active').dataset.position").toInt(), 2);
    }

    // Opens the call with this id from the list by keyboard.
    void openCall(int inId)
    {
        openSample();
        s().key('/');
        // A word that only this call's record holds.
        const QMap<int, QString> aUnique { { 1, "5550 1234" }, { 2, "7946" }, { 4, "Olsen" } };
        s().type(aUnique.value(inId));
        s().key(Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelector('#fields dd[data-field=id]') && document.querySelector('#fields dd[data-field=id]').textContent").toString(),
            QString::number(inId), cnRoundTripMs);
    }

    // The query of the last waveform image the page asked for.
    QUrlQuery lastWaveformQuery(const QString& isName)
    {
        for (int i = s().maRequests.maUrls.size() - 1; i >= 0; --i)
            if (s().maRequests.maUrls[i].path() == "/app/wave/" + isName)
                return QUrlQuery(s().maRequests.maUrls[i]);
        return QUrlQuery("none=1");
    }

    void dragOnTheWaveformZoomsAndTheButtonGoesBack()
    {
        openCall(4);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("!document.querySelector('#waveform').classList.contains('loading')").toBool(), cnRoundTripMs);
        const QVariantList aBox = s().js("(() => { const r = document.querySelector('.waveform-stage').getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()").toList();
        const double f = s().mpView->zoomFactor();
        const int nY = int((aBox[1].toDouble() + aBox[3].toDouble() / 2) * f);
        const int nX0 = int((aBox[0].toDouble() + aBox[2].toDouble() * 0.25) * f);
        const int nX1 = int((aBox[0].toDouble() + aBox[2].toDouble() * 0.75) * f);
        QTest::mouseMove(s().input(), QPoint(nX0, nY));
        QTest::mousePress(s().input(), Qt::LeftButton, Qt::NoModifier, QPoint(nX0, nY));
        for (int x = nX0; x <= nX1; x += 40)
            QTest::mouseMove(s().input(), QPoint(x, nY));
        QTest::mouseMove(s().input(), QPoint(nX1, nY));
        QTest::mouseRelease(s().input(), Qt::LeftButton, Qt::NoModifier, QPoint(nX1, nY));
        // Call 4 lasts 2 s: the middle half is 500 .. 1500 ms.
        QTRY_VERIFY_WITH_TIMEOUT(lastWaveformQuery("call4.svg").hasQueryItem("zoomstart"), cnRoundTripMs);
        const QUrlQuery aZoomed = lastWaveformQuery("call4.svg");
        QVERIFY(qAbs(aZoomed.queryItemValue("zoomstart").toInt() - 500) <= 20);
        QVERIFY(qAbs(aZoomed.queryItemValue("zoomend").toInt() - 1500) <= 20);
        QCOMPARE(aZoomed.queryItems().first().first, QStringLiteral("timestamp"));
        QVERIFY(!s().js("document.getElementById('zoom-out').hidden").toBool());
        s().click("#zoom-out");
        QTRY_VERIFY_WITH_TIMEOUT(!lastWaveformQuery("call4.svg").hasQueryItem("zoomstart"), cnRoundTripMs);
        QVERIFY(s().js("document.getElementById('zoom-out').hidden").toBool());
    }

    void soundEffectsReloadTheWaveformWithTheirQueryItems_data()
    {
        QTest::addColumn<QString>("sScript"); // what the user does, in the page
        QTest::addColumn<QString>("sExpected"); // query items after the timestamp
        QTest::newRow("50 Hz hum") << "document.querySelectorAll('.presets .chip')[0].click()" << "notchfrequency=50&qfactor=0.5";
        QTest::newRow("notch 120 Hz, Q 2") << "set('#notch-frequency', '120'); set('#notch-q', '2'); check('#notch')"
                                         << "notchfrequency=120&qfactor=2";
        QTest::newRow("amplify 2") << "set('#amplify', '2')" << "amplifyratio=2";
        QTest::newRow("reset") << "set('#amplify', '2'); document.getElementById('effects-reset').click()" << "";
    }
    void soundEffectsReloadTheWaveformWithTheirQueryItems()
    {
        QFETCH(QString, sScript);
        QFETCH(QString, sExpected);
        openCall(4);
        const int nBefore = s().maRequests.maUrls.size();
        s().js("window.set = (q, v) => { const e = document.querySelector(q); e.value = v; e.dispatchEvent(new Event('change')); };"
               "window.check = q => document.querySelector(q).click();" + sScript + "; true");
        QTRY_VERIFY_WITH_TIMEOUT(s().maRequests.maUrls.size() > nBefore, cnRoundTripMs);
        QUrlQuery aQuery = lastWaveformQuery("call4.svg");
        aQuery.removeQueryItem("timestamp");
        QCOMPARE(aQuery.toString(), sExpected);
    }

    static QString pactl(const QStringList& iaArguments)
    {
        QProcess a;
        a.start("pactl", iaArguments);
        a.waitForFinished(10000);
        return QString::fromUtf8(a.readAllStandardOutput()).trimmed();
    }

    qint64 playerNumber(const char* ipName) { return s().mpPlayer->property(ipName).toLongLong(); }
    bool playerFlag(const char* ipName) { return s().mpPlayer->property(ipName).toBool(); }

    void keysAndClicksReachThePlayer()
    {
        if (s().mpPlayer->metaObject()->indexOfMethod("loadFromPackage(QString,QString)") < 0)
            QSKIP("this player cannot load recordings");
        openCall(1); // 4 s of tone at 8000 Hz, mono
        // What the player sends to the sound server, through a null sink of
        // the recording's format made the default, recorded from its monitor.
        const QString sModule = pactl({ "load-module", "module-null-sink", "sink_name=vorn_page_sink", "rate=8000",
            "channels=1", "format=s16le" });
        const QString sDefault = pactl({ "get-default-sink" });
        pactl({ "set-default-sink", "vorn_page_sink" });
        QProcess aRecorder;
        aRecorder.start("parec", { "--latency-msec=20", "-d", "vorn_page_sink.monitor", "--raw", "--format=s16le",
                                     "--rate=8000", "--channels=1" });
        QVERIFY(aRecorder.waitForStarted(5000));
        // Connected once the monitor delivers its first (silent) samples: on
        // a busy machine that takes seconds, and sound played before is lost.
        QTRY_VERIFY_WITH_TIMEOUT(aRecorder.bytesAvailable() > 0, cnRoundTripMs);
        QByteArray aHeard;
        auto loud = [&] {
            aHeard += aRecorder.readAllStandardOutput();
            int nLoud = 0;
            for (int i = 0; i + 1 < aHeard.size(); i += 2)
                nLoud += qAbs(qint16(quint8(aHeard[i]) | (quint8(aHeard[i + 1]) << 8))) > 1000;
            return nLoud;
        };
        s().key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(!playerFlag("bPaused"), cnRoundTripMs);
        QTRY_COMPARE_WITH_TIMEOUT(playerNumber("nDuration"), qint64(4000), cnRoundTripMs);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.getElementById('play').getAttribute('aria-label')").toString() == "Pause", cnRoundTripMs);
        // The tone reaches the sound server.
        QTRY_VERIFY_WITH_TIMEOUT(loud() > 2000, cnRoundTripMs);
        aRecorder.kill();
        aRecorder.waitForFinished();
        pactl({ "set-default-sink", sDefault });
        pactl({ "unload-module", sModule });
        // A click at three quarters of the waveform seeks there.
        const QVariantList aBox = s().js("(() => { const r = document.querySelector('.waveform-stage').getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()").toList();
        const double f = s().mpView->zoomFactor();
        const QPoint aAt(int((aBox[0].toDouble() + aBox[2].toDouble() * 0.75) * f), int((aBox[1].toDouble() + aBox[3].toDouble() / 2) * f));
        QTest::mouseMove(s().input(), aAt);
        QTest::mouseClick(s().input(), Qt::LeftButton, Qt::NoModifier, aAt);
        QTRY_VERIFY_WITH_TIMEOUT(playerNumber("nPosition") >= 2950, cnRoundTripMs);
        // The playhead follows the player.
        QTRY_VERIFY_WITH_TIMEOUT(s().js("parseFloat(document.querySelector('.waveform-playhead').style.left)").toDouble() >= 70, cnRoundTripMs);
        s().key('M');
        QTRY_VERIFY_WITH_TIMEOUT(playerFlag("bMuted"), cnRoundTripMs);
        s().key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(playerFlag("bPaused"), cnRoundTripMs);
        // Zooming reloads the player with the passage: its duration is the passage's.
        s().js("vornPage.bus.emit('zoom', { start: 1000, end: 3000 }); true");
        QTRY_COMPARE_WITH_TIMEOUT(playerNumber("nDuration"), qint64(2000), cnRoundTripMs);
        QVERIFY(s().js("document.getElementById('zoom-text').textContent").toString().contains("0:01"));
        QTRY_VERIFY_WITH_TIMEOUT(s().js("!document.querySelector('#waveform').classList.contains('loading')").toBool(), cnRoundTripMs);
        screenshot("call-zoomed");
        // Muted before the reload, muted after it, and the page says so; M again unmutes.
        QTRY_VERIFY_WITH_TIMEOUT(playerFlag("bMuted"), cnRoundTripMs);
        // The page hears of it through the channel, a moment later.
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.getElementById('mute').getAttribute('aria-pressed')").toString(), QStringLiteral("true"),
            cnRoundTripMs);
        s().key('M');
        QTRY_VERIFY_WITH_TIMEOUT(!playerFlag("bMuted"), cnRoundTripMs);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.getElementById('mute').getAttribute('aria-pressed')").toString(), QStringLiteral("false"), cnRoundTripMs);
        s().key('Z');
        QTRY_COMPARE_WITH_TIMEOUT(playerNumber("nDuration"), qint64(4000), cnRoundTripMs);
        s().key(Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        QTRY_VERIFY_WITH_TIMEOUT(playerFlag("bPaused"), cnRoundTripMs);
    }

    void speedAndLoopReachThePlayer()
    {
        if (s().mpPlayer->metaObject()->indexOfMethod("setTempo(double)") < 0)
            QSKIP("this player has no tempo");
        openCall(1);
        QVERIFY(!s().js("document.querySelector('.player-extras').hidden").toBool());
        s().key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(!playerFlag("bPaused"), 10000);
        // Each key travels page → channel → player; the sanitizer build on a
        // busy machine has taken more than the default five seconds for it.
        s().key('>', Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(s().mpPlayer->property("fTempo").toDouble(), 1.25, 20000);
        s().key('<', Qt::ShiftModifier);
        s().key('<', Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(s().mpPlayer->property("fTempo").toDouble(), 0.75, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.getElementById('speed').value").toString(), QStringLiteral("0.75"), 20000);
        const bool bLoop = playerFlag("bLoop");
        s().key('L');
        QTRY_COMPARE(playerFlag("bLoop"), !bLoop);
        QTRY_COMPARE(s().js("document.getElementById('loop').getAttribute('aria-pressed')").toString(), QString(!bLoop ? "true" : "false"));
        s().key('L');
        QTRY_COMPARE(playerFlag("bLoop"), bLoop);
        s().key(Qt::Key_Space);
    }

    // A speed chosen while the recording is still loading reaches the player
    // once it has loaded (the two keys arrive before the load is done).
    void speedChosenWhileLoadingReachesThePlayer()
    {
        if (s().mpPlayer->metaObject()->indexOfMethod("setTempo(double)") < 0)
            QSKIP("this player has no tempo");
        openCall(4);
        const double fNext = s().js("(() => { const v = [...document.getElementById('speed').options].map(o => Number(o.value));"
                                    " return v[Math.min(v.length - 1, v.indexOf(vornPage.player.state.tempo) + 1)]; })()")
                                 .toDouble();
        s().key(Qt::Key_Space);
        s().key('>', Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!playerFlag("bPaused"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(s().mpPlayer->property("fTempo").toDouble(), fNext, 20000);
    }

    void downloadsAskForTheRightPaths_data()
    {
        QTest::addColumn<QString>("sButton");
        QTest::addColumn<QString>("sCall");     // channel method and argument the page used
        QTest::addColumn<QString>("sProposed"); // end of the name the save dialog proposes
        QTest::newRow("recording") << "#download-recording" << "downloadFromPackage /app/wave/call2.wav" << "call2.wav";
        QTest::newRow("packet capture") << ".data-file[data-path$='.pcap']" << "downloadPcap /app/data/call2.pcap" << "call2.pcap";
        QTest::newRow("other data file") << ".data-file[data-path$='.txt']" << "downloadDataFile /app/data/call2.txt" << "call2.txt";
    }
    void downloadsAskForTheRightPaths()
    {
        QFETCH(QString, sButton);
        QFETCH(QString, sCall);
        QFETCH(QString, sProposed);
        if (s().mpPlayer->metaObject()->indexOfMethod("loadFromPackage(QString,QString)") < 0)
            QSKIP("this player cannot load recordings");
        openCall(2);
        // Notes which channel method the page calls, and still calls it.
        s().js("window.__calls = []; const p = vornPage.player.native;"
               "for (const m of ['downloadFromPackage', 'downloadPcap', 'downloadDataFile']) {"
               "  const real = p[m]; p[m] = (...a) => { __calls.push(m + ' ' + a.join(' ')); return real.apply(p, a); }; } true");
        QString sSelected;
        ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
            if (auto* pDialog = qobject_cast<QFileDialog*>(ipaModal))
                sSelected = pDialog->selectedFiles().value(0);
            ipaModal->close();
        } });
        s().click(sButton);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("__calls.join('|')").toString(), sCall, cnRoundTripMs);
        QTRY_VERIFY_WITH_TIMEOUT(!sSelected.isEmpty(), cnRoundTripMs);
        QVERIFY2(sSelected.endsWith(sProposed), qPrintable(sSelected));
    }

    void languageSwitchTranslatesThePage()
    {
        // The English texts of the page's own controls...
        const QString sTexts = "[document.getElementById('app-title').textContent, document.getElementById('help-button').textContent,"
                               " document.getElementById('search').placeholder, document.getElementById('filter-reset').textContent,"
                               " ...[...document.querySelectorAll('.list-heading')].map(h => h.firstChild.textContent),"
                               " ...[...document.querySelectorAll('.filter > span, .filter-checks label')].map(e => e.textContent)]";
        openSample();
        const QStringList saEnglish = s().js(sTexts).toStringList();
        // ...become the German catalog's, where it has them.
        QMap<QString, QString> aGerman;
        QFile aPo(VORN_SOURCE_DIR "/resources/web/i18n/de_DE.po");
        QVERIFY(aPo.open(QIODevice::ReadOnly | QIODevice::Text));
        QString sId;
        for (const QString& sLine : QString::fromUtf8(aPo.readAll()).split('\n')) {
            if (sLine.startsWith("msgid \""))
                sId = sLine.mid(7, sLine.size() - 8);
            else if (sLine.startsWith("msgstr \"") && !sId.isEmpty() && sLine.size() > 9)
                aGerman.insert(sId, sLine.mid(8, sLine.size() - 9));
        }
        QVERIFY(s().switchLocale("de_DE") >= 0);
        const QStringList saShown = s().js(sTexts).toStringList();
        QCOMPARE(saShown.size(), saEnglish.size());
        int nTranslated = 0;
        for (int i = 0; i < saEnglish.size(); ++i) {
            QCOMPARE(saShown[i], aGerman.value(saEnglish[i], saEnglish[i]));
            nTranslated += saShown[i] != saEnglish[i];
        }
        QVERIFY2(nTranslated > 0, "the German catalog changed no text");
        QCOMPARE(s().js("document.documentElement.lang").toString(), QStringLiteral("de-DE"));
        QVERIFY(s().switchLocale("en_GB") >= 0);
        QCOMPARE(s().js(sTexts).toStringList(), saEnglish);
    }

    void shortcutListOpensAndCloses()
    {
        openSample();
        s().key('?', Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.getElementById('help').open").toBool(), cnRoundTripMs);
        QVERIFY(s().js("document.querySelectorAll('#help kbd').length").toInt() > 10);
        screenshot("shortcuts");
        s().key(Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('help').open").toBool(), cnRoundTripMs);
    }

    void arabicRunsRightToLeft()
    {
        openSample();
        QVERIFY(s().switchLocale("ar_SA") >= 0);
        QCOMPARE(s().js("document.documentElement.dir").toString(), QStringLiteral("rtl"));
        QCOMPARE(s().js("getComputedStyle(document.querySelector('.list-header')).direction").toString(), QStringLiteral("rtl"));
        // The first column sits at the right-hand edge.
        QVERIFY(s().js("(() => { const h = document.querySelectorAll('.list-heading'); return h[0].getBoundingClientRect().left > h[1].getBoundingClientRect().left; })()").toBool());
        screenshot("list-ar_SA");
        QVERIFY(s().switchLocale("en_GB") >= 0);
        QCOMPARE(s().js("document.documentElement.dir").toString(), QStringLiteral("ltr"));
    }

    void hundredThousandCallsDrawOnlyTheRowsInSight()
    {
        QList<CallRecord> aCalls;
        for (int i = 0; i < 100000; ++i)
            aCalls << CallRecord { i + 1, gtNow.addSecs(-60 * i), i % 3 ? "in" : "out", QStringLiteral("+49 30 %1").arg(i, 7, 10, QChar('0')),
                "+49 89 2000 0100", "Agent Berger", 60, 0x18, QStringLiteral("c%1.wav").arg(i), QString() };
        const QString sPath = writePackage(maDir.filePath("large.pkg"), aCalls, false);
        QVERIFY(s().open(sPath) >= 0);
        QCOMPARE(s().js("document.getElementById('count').textContent").toString(), QStringLiteral("100,000 calls"));
        const int nRows = s().js("document.querySelectorAll('.list-row').length").toInt();
        QVERIFY2(nRows > 10 && nRows < 80, qPrintable(QString::number(nRows)));
        // End reaches the oldest call, still with few rows in the document.
        s().mpView->setFocus();
        s().key(Qt::Key_End);
        QTRY_VERIFY_WITH_TIMEOUT(s().column("id").contains("100000"), cnRoundTripMs);
        QVERIFY(s().js("document.querySelectorAll('.list-row').length").toInt() < 80);
        s().key('/');
        s().type("0099999");
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id"), ids({ 100000 }), cnRoundTripMs);
    }

    // The toolbar's override with the package's authority password lifts the
    // retention filter: the page loads again and lists every call, as the
    // server now sends them. Any other password changes nothing.
    void authorityOverrideListsEveryCall_data()
    {
        QTest::addColumn<QString>("sPassword");
        QTest::addColumn<QString>("sBox"); // the refusal's text, empty for none
        QTest::addColumn<QStringList>("saIds"); // listed and served afterwards
        QTest::newRow("accepted") << "lift" << "" << ids({ 6, 5, 4, 3, 2, 1 });
        QTest::newRow("refused") << "nope" << "The password did not match!" << ids({ 6, 5, 4 });
        QTest::newRow("empty") << "" << "" << ids({ 6, 5, 4 });
    }
    void authorityOverrideListsEveryCall()
    {
        QFETCH(QString, sPassword);
        QFETCH(QString, sBox);
        QFETCH(QStringList, saIds);
        // Three calls past their storage time, two past their voice's, one kept.
        QList<CallRecord> aCalls;
        for (int i = 1; i <= 6; ++i)
            aCalls << CallRecord { i, gtNow.addDays(i <= 3 ? -100 : i <= 5 ? -20 : -1), "in", "+49 30 5550 1234",
                "+49 89 2000 0101", "Agent Berger", 3, 0x18, "", QString() };
        PackageWriter aWriter;
        aWriter.setSettings("default_locale=en_GB;package_call_expiration=authority_override;authority_password=lift;"
                            "storage_time_normal_cdr=50;storage_time_normal_voice=10");
        QByteArray aScript = "var gCalls=[";
        for (int i = 0; i < aCalls.size(); ++i)
            aScript += (i ? "," : "") + aCalls[i].json();
        aWriter.addFile("/app/js/data/calls.js", aScript + "];");
        const QString sPath = maDir.filePath("expired.pkg");
        QVERIFY(aWriter.write(sPath));
        QString sWarning;
        {
            ModalAnswers aAnswers({ pressButton(&sWarning) });
            QVERIFY(s().open(sPath) >= 0);
        }
        QCOMPARE(sWarning, QStringLiteral("This package contains 3 expired calls and 2 calls with expired media"));
        // The ids of the calls the server sends now, newest first.
        auto served = [&] {
            s().js("window.__served = null; fetch('/app/js/data/calls.js', { cache: 'no-store' }).then(r => r.text())"
                   ".then(t => { window.__served = (t.match(/\"id\"\\s*:\\s*\\d+/g) || [])"
                   ".map(m => m.replace(/\\D/g, '')).sort((a, b) => b - a).join(','); }); true");
            (void)QTest::qWaitFor([&] { return s().js("typeof window.__served === 'string'").toBool(); }, cnRoundTripMs);
            return s().js("window.__served").toString().split(',', Qt::SkipEmptyParts);
        };
        QCOMPARE(s().column("id"), ids({ 6, 5, 4 }));
        QCOMPARE(served(), ids({ 6, 5, 4 }));

        QAction* pAuthority = s().mpViewer->findChild<QToolBar*>()->actions().at(2);
        QVERIFY(pAuthority->isVisible() && pAuthority->isEnabled());
        QString sPrompt;
        QString sShown;
        QList<ModalAnswers::Answer> aReplies { [&](QWidget* ipaModal) {
            auto* pDialog = qobject_cast<QInputDialog*>(ipaModal);
            if (!pDialog) {
                ipaModal->close();
                return;
            }
            sPrompt = pDialog->labelText();
            pDialog->setTextValue(sPassword);
            pDialog->accept();
        } };
        if (!sBox.isEmpty())
            aReplies << pressButton(&sShown);
        const bool bAccepted = saIds.size() == 6;
        s().js("document.body.classList.remove('ready'); true");
        {
            ModalAnswers aAnswers(aReplies);
            pAuthority->trigger();
            QVERIFY2(aAnswers.allUsed(), "a dialog that should have been shown was not");
        }
        QCOMPARE(sPrompt, QStringLiteral("Please enter the password for authority access:"));
        QCOMPARE(sShown, sBox);
        QCOMPARE(pAuthority->isEnabled(), !bAccepted);
        QCOMPARE(pAuthority->toolTip(),
            bAccepted ? QStringLiteral("Authority override activated") : QStringLiteral("Authority override"));
        // Accepted, the page loads again; refused, it stays as it was.
        if (bAccepted)
            QVERIFY(s().waitReady() >= 0);
        QCOMPARE(s().js("document.body.classList.contains('ready')").toBool(), bAccepted);
        QCOMPARE(s().column("id"), saIds);
        QCOMPARE(served(), saIds);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The demo package of the build, when there is one: spoken calls in every codec.
    // Last, as its retention limits stay set for packages opened after it.
    void demoCallPlays()
    {
        const QString sDemo = QStringLiteral(VORN_BIN_DIR "/../demo/demo.pkg");
        if (!QFile::exists(sDemo))
            QSKIP("no demo package in this build");
        if (s().mpPlayer->metaObject()->indexOfMethod("loadFromPackage(QString,QString)") < 0)
            QSKIP("this player cannot load recordings");
        QString sWarning;
        {
            ModalAnswers aAnswers({ pressButton(&sWarning) }); // the expired calls
            s().js("try { sessionStorage.clear(); } catch (e) {} document.body.classList.remove('ready'); true");
            s().mpViewer->open(sDemo);
            QVERIFY(s().waitReady() >= 0);
        }
        s().mpView->setFocus();
        s().key('/');
        s().type("Opus");
        QTRY_VERIFY_WITH_TIMEOUT(s().column("id").size() >= 1, cnRoundTripMs);
        s().key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.querySelector('.waveform-image').naturalWidth").toInt() == 800, cnRoundTripMs);
        QVERIFY(s().js("document.querySelectorAll('#downloads .data-file').length").toInt() >= 1);
        s().key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(!playerFlag("bPaused") && playerNumber("nDuration") > 5000, cnRoundTripMs);
        QTRY_VERIFY_WITH_TIMEOUT(playerNumber("nPosition") > 500, cnRoundTripMs);
        screenshot("call-demo");
        // Pause once the page shows it is playing, as a user would.
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.getElementById('play').getAttribute('aria-label')").toString(), QStringLiteral("Pause"), cnRoundTripMs);
        s().key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(playerFlag("bPaused"), cnRoundTripMs);
    }
};

QTEST_MAIN(TestPage)
#include "tst_page.moc"
