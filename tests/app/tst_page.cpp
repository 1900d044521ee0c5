// The package page in the viewer's own web engine, driven with real key
// and mouse events against packages written by our package writer.
#include "LogMessageHandler.h"
#include "PageSession.h"

#include <QDir>
#include <QTemporaryDir>
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
        QTRY_COMPARE(s().js("document.activeElement.id").toString(), QStringLiteral("search"));
        s().type(sTyped);
        QTRY_COMPARE(s().js("document.getElementById('search').value").toString(), sTyped);
        QCOMPARE(s().column("id"), saIds);
        const QString sCount = s().js("document.getElementById('count').textContent").toString();
        QCOMPARE(sCount, saIds.size() == 6 ? QStringLiteral("6 calls") : QStringLiteral("%1 of 6 calls").arg(saIds.size()));
        // Esc empties the search and returns to the list.
        s().key(Qt::Key_Escape);
        QTRY_COMPARE(s().column("id").size(), 6);
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
        QTRY_COMPARE(s().column("id").size(), 6);
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
        QTRY_COMPARE(s().column("id"), saIds);
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
        QTRY_VERIFY(!s().js("document.getElementById('call-view').hidden").toBool());
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
        QTRY_VERIFY(s().js("document.querySelector('.waveform-image').complete && document.querySelector('.waveform-image').naturalWidth").toInt() == 800);
        // Down goes to the next (older) call, Up back.
        s().key(Qt::Key_Down);
        QTRY_COMPARE(s().js("document.querySelector('#fields dd[data-field=id]').textContent").toString(), QStringLiteral("3"));
        QVERIFY(s().js("document.getElementById('call-view').classList.contains('no-recording')").toBool());
        s().key(Qt::Key_Up);
        QTRY_COMPARE(s().js("document.querySelector('#fields dd[data-field=id]').textContent").toString(), QStringLiteral("4"));
        screenshot("call");
        // Esc: back to the list, the cursor on the call that was open.
        s().key(Qt::Key_Escape);
        QTRY_VERIFY(s().js("document.getElementById('call-view').hidden").toBool());
        QCOMPARE(s().js("document.querySelector('.list-row.active').dataset.position").toInt(), 2);
    }

    void shortcutListOpensAndCloses()
    {
        openSample();
        s().key('?', Qt::ShiftModifier);
        QTRY_VERIFY(s().js("document.getElementById('help').open").toBool());
        QVERIFY(s().js("document.querySelectorAll('#help kbd').length").toInt() > 10);
        s().key(Qt::Key_Escape);
        QTRY_VERIFY(!s().js("document.getElementById('help').open").toBool());
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
        QTRY_VERIFY(s().column("id").contains("100000"));
        QVERIFY(s().js("document.querySelectorAll('.list-row').length").toInt() < 80);
        s().key('/');
        s().type("0099999");
        QTRY_COMPARE(s().column("id"), ids({ 100000 }));
    }
};

QTEST_MAIN(TestPage)
#include "tst_page.moc"
