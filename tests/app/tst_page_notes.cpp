// Review notes in the package page, in the viewer's own engine: added at
// the playhead and over a passage with real keys and clicks, drawn on the
// waveform (judged by pixels), edited, deleted, followed, counted in the
// list, kept across a language switch, and handed to the native review.
#include "LogMessageHandler.h"
#include "PageSession.h"
#include "ReviewDocument.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime gtStart = QDateTime::currentDateTime().addDays(-2).addSecs(-QDateTime::currentDateTime().time().second());

QString writePackage(const QString& isPath)
{
    const QList<CallRecord> aCalls {
        { 1, gtStart, "in", "+49 30 5550 1234", "+49 89 2000 0101", "Agent Berger", 4, 0x18, "call1.wav", "" },
        { 2, gtStart.addSecs(600), "out", "+44 20 7946 0018", "+49 89 2000 0102", "Agent Novak", 3, 0x18, "call2.wav", "" },
        { 3, gtStart.addSecs(1200), "in", "+33 1 7010 4455", "+49 89 2000 0103", "Agent Ricci", 5, 0, "", "" },
    };
    PackageWriter aWriter;
    aWriter.setSettings("default_locale=en_GB");
    QByteArray aScript = "var gCalls=[";
    for (int i = 0; i < aCalls.size(); ++i) {
        aScript += (i ? ",\n" : "\n") + aCalls[i].json();
        if (!aCalls[i].sVoice.isEmpty())
            aWriter.addFile("/app/wave/" + aCalls[i].sVoice, toneWav(1000 * aCalls[i].nDuration, 400));
    }
    aWriter.addFile("/app/js/data/calls.js", aScript + "\n];");
    aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"de_DE\":1,\"en_GB\":1};");
    aWriter.write(isPath);
    return isPath;
}

} // namespace

class TestPageNotes : public QObject
{
    Q_OBJECT
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;
    QString msPackage;

    PageSession& s() { return *mpSession; }

    QVector<ReviewNote> documentNotes(int inId)
    {
        const QDateTime t = inId == 1 ? gtStart : gtStart.addSecs(600 * (inId - 1));
        return s().mpViewer->reviewDocument()->notes(QJsonValue(inId), t.toString("yyyy-MM-dd hh:mm:ss"));
    }

    qint64 position() { return s().mpPlayer->property("nPosition").toLongLong(); }
    // Where the page's playhead stands (a paused player reports its new
    // place only once it plays again).
    qint64 playhead() { return s().js("Math.round(vornPage.callView.playheadMs())").toLongLong(); }

    // A point of the waveform stage, as a fraction of its width, in widget pixels.
    QPoint stagePoint(double ifX, double ifY)
    {
        const QVariantList a = s().js("(() => { const r = document.querySelector('.waveform-stage').getBoundingClientRect();"
                                      " return [r.left, r.top, r.width, r.height]; })()")
                                   .toList();
        const double f = s().mpView->zoomFactor();
        return QPoint(int((a[0].toDouble() + a[2].toDouble() * ifX) * f), int((a[1].toDouble() + a[3].toDouble() * ifY) * f));
    }

    QColor pixel(const QPoint& irAt) { return s().mpView->grab().toImage().pixelColor(irAt); }

    void waitForWaveform()
    {
        QTRY_VERIFY_WITH_TIMEOUT(s().js("!document.querySelector('#waveform').classList.contains('loading')").toBool(), 20000);
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        msPackage = writePackage(maDir.filePath("notes.pkg"));
        mpSession = new PageSession();
    }

    void cleanupTestCase() { delete mpSession; }

    void aReviewerNotesWhatTheyHear()
    {
        QVERIFY(s().open(msPackage) >= 0);
        s().mpViewer->activateWindow();
        s().mpView->setFocus();
        QVERIFY(!s().mpViewer->reviewDocument()->isUnsaved());
        // Call 1 is the oldest, so the last row: End, Enter.
        s().key(Qt::Key_End);
        s().key(Qt::Key_Return);
        QTRY_COMPARE(s().js("(document.querySelector('#fields dd[data-field=id]') || {}).textContent").toString(), QStringLiteral("1"));
        waitForWaveform();
        QVERIFY(s().js("document.querySelectorAll('#notes-list .note').length === 0").toBool());

        // A point note at the playhead: click the middle (2 s of 4), pause, N.
        QTest::mouseClick(s().input(), Qt::LeftButton, Qt::NoModifier, stagePoint(0.5, 0.5));
        QTRY_VERIFY_WITH_TIMEOUT(s().mpPlayer->property("nDuration").toLongLong() == 4000 && position() >= 1950, 20000);
        s().mpView->setFocus();
        s().key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(s().mpPlayer->property("bPaused").toBool(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("vornPage.player.state.paused").toBool(), 20000);
        const qint64 nAt = s().js("Math.round(vornPage.callView.playheadMs())").toLongLong();
        s().key('N');
        QTRY_COMPARE(s().js("document.activeElement.id").toString(), QStringLiteral("note-text"));
        s().type("Card number read out, \"twice\"");
        s().key(Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE(documentNotes(1).size(), 1);
        QVERIFY(s().mpViewer->reviewDocument()->isUnsaved());
        QCOMPARE(documentNotes(1)[0].sCategory, QStringLiteral("finding"));
        QCOMPARE(documentNotes(1)[0].sText, QStringLiteral("Card number read out, \"twice\""));
        QCOMPARE(documentNotes(1)[0].nStartMs, nAt);
        QCOMPARE(documentNotes(1)[0].nEndMs, nAt);
        QVERIFY(qAbs(nAt - 2000) < 600);
        QTRY_COMPARE(s().js("document.querySelector('#notes-list .note .note-text').textContent").toString(),
                     QStringLiteral("Card number read out, \"twice\""));
        QTRY_VERIFY(s().js("document.getElementById('review-save').classList.contains('unsaved')").toBool());

        // A range note over a dragged passage (10 % to 40 %: 0.4 s to 1.6 s), as "Redact".
        const QPoint aFrom = stagePoint(0.1, 0.5), aTo = stagePoint(0.4, 0.5);
        QTest::mouseMove(s().input(), aFrom);
        QTest::mousePress(s().input(), Qt::LeftButton, Qt::NoModifier, aFrom);
        for (int x = aFrom.x(); x <= aTo.x(); x += 30)
            QTest::mouseMove(s().input(), QPoint(x, aFrom.y()));
        QTest::mouseRelease(s().input(), Qt::LeftButton, Qt::NoModifier, aTo);
        QTRY_VERIFY(s().js("!!vornPage.callView.zoom").toBool());
        s().mpView->setFocus();
        s().click("#note-add");
        QTRY_COMPARE(s().js("document.activeElement.id").toString(), QStringLiteral("note-text"));
        s().type("Date of birth");
        s().key(Qt::Key_Tab, Qt::ShiftModifier);
        QTRY_COMPARE(s().js("document.activeElement.id").toString(), QStringLiteral("note-category"));
        for (int i = 0; i < 3; ++i)
            s().key(Qt::Key_Down);
        QTRY_COMPARE(s().js("document.getElementById('note-category').value").toString(), QStringLiteral("redact"));
        s().click("#note-save");
        QTRY_COMPARE(documentNotes(1).size(), 2);
        const ReviewNote aRange = documentNotes(1)[0]; // sorted by time
        QCOMPARE(aRange.sCategory, QStringLiteral("redact"));
        QCOMPARE(aRange.sText, QStringLiteral("Date of birth"));
        QVERIFY2(qAbs(aRange.nStartMs - 400) < 60 && qAbs(aRange.nEndMs - 1600) < 60,
                 qPrintable(QStringLiteral("%1-%2").arg(aRange.nStartMs).arg(aRange.nEndMs)));
        // The redaction hears of it at once.
        QTRY_VERIFY(!s().js("document.getElementById('redacted-badge').hidden").toBool());

        // The whole call again: the band and the mark are drawn where the notes are.
        s().key('Z');
        QTRY_VERIFY(!s().js("!!vornPage.callView.zoom").toBool());
        waitForWaveform();
        QTRY_COMPARE(s().js("document.querySelectorAll('.note-marks > *').length").toInt(), 2);
        // The marks are drawn a frame or more after they are in the document.
        QColor aBand, aClear;
        QTRY_VERIFY2_WITH_TIMEOUT((aBand = pixel(stagePoint(0.25, 0.03)), aClear = pixel(stagePoint(0.75, 0.03)),
                                      aClear.red() - aBand.red() > 30 && aClear.green() - aBand.green() > 30),
            qPrintable(aBand.name() + " against " + aClear.name()), cnRoundTripMs);
        const QColor aPoint = pixel(stagePoint(double(nAt) / 4000, 0.03));
        QVERIFY2(aPoint.red() > 150 && aPoint.green() < 90 && aPoint.blue() < 90, qPrintable(aPoint.name()));
        if (qEnvironmentVariableIsSet("VORN_SCREENSHOTS"))
            s().mpViewer->grab().save(qEnvironmentVariable("VORN_SCREENSHOTS") + "/call-notes.png");

        // Next and previous note from the start, paused: the range's start, the point, back.
        QVERIFY(s().js("vornPage.player.state.paused").toBool());
        s().key(Qt::Key_Left);
        QTRY_COMPARE_WITH_TIMEOUT(playhead(), qint64(0), 20000);
        s().key(']');
        QTRY_COMPARE_WITH_TIMEOUT(playhead(), aRange.nStartMs, 20000);
        s().key(']');
        QTRY_COMPARE_WITH_TIMEOUT(playhead(), nAt, 20000);
        s().key('[');
        QTRY_COMPARE_WITH_TIMEOUT(playhead(), aRange.nStartMs, 20000);

        // A click on a range selects its passage: the player holds just that.
        s().click(".note[data-index='0'] .note-time");
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(s().mpPlayer->property("nDuration").toLongLong() - 1200) < 80, 20000);
        QVERIFY(s().js("document.getElementById('zoom-text').textContent").toString().contains("0:00"));

        // Edit the point note's text, then delete the range.
        s().click(".note[data-index='1'] .note-edit");
        QTRY_COMPARE(s().js("document.activeElement.id").toString(), QStringLiteral("note-text"));
        QCOMPARE(s().js("document.activeElement.value").toString(), QStringLiteral("Card number read out, \"twice\""));
        s().key('A', Qt::ControlModifier);
        s().type("Card number, line 2");
        s().key(Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE(documentNotes(1).size() == 2 ? documentNotes(1)[1].sText : QString(), QStringLiteral("Card number, line 2"));
        QCOMPARE(documentNotes(1)[1].nStartMs, nAt);
        s().click(".note[data-index='0'] .note-delete");
        QTRY_COMPARE(documentNotes(1).size(), 1);
        QCOMPARE(documentNotes(1)[0].sCategory, QStringLiteral("finding"));
        QTRY_VERIFY(s().js("document.getElementById('redacted-badge').hidden").toBool());

        // Escape in the form gives up without a change.
        s().mpView->setFocus();
        s().key('N');
        QTRY_COMPARE(s().js("document.activeElement.id").toString(), QStringLiteral("note-text"));
        s().type("not kept");
        s().key(Qt::Key_Escape);
        QTRY_VERIFY(s().js("document.getElementById('note-form').hidden").toBool());
        QCOMPARE(documentNotes(1).size(), 1);

        // Another language keeps the notes (the page is loaded again).
        QVERIFY(s().switchLocale("de_DE") >= 0);
        QTRY_COMPARE(s().js("[...document.querySelectorAll('#notes-list .note-text')].map(e => e.textContent).join('|')").toString(),
                     QStringLiteral("Card number, line 2"));
        QVERIFY(s().switchLocale("en_GB") >= 0);

        // The list counts notes, and "Has notes" keeps only calls with notes.
        s().mpView->setFocus();
        s().key(Qt::Key_Escape);
        QTRY_VERIFY(s().js("document.getElementById('call-view').hidden").toBool());
        QTRY_COMPARE(s().column("__notes"), QStringList({ "", "", "1" }));
        s().click("#filter-notes");
        QTRY_COMPARE(s().column("id"), QStringList({ "1" }));
        QTRY_COMPARE(s().js("document.getElementById('count').textContent").toString(), QStringLiteral("1 of 3 calls"));
    }
};

QTEST_MAIN(TestPageNotes)
#include "tst_page_notes.moc"
