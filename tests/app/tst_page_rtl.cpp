// Values written in the other direction than the page's, judged by what is
// drawn: each value is captured where the page draws it and compared with
// the same text drawn at the same place in a plain box of the value's own
// direction, and with that text drawn in the opposite direction (what a
// value laid out in the page's direction looks like).
#include "LogMessageHandler.h"
#include "PagePixels.h"
#include "ReviewDocument.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime gtStart(QDate(2026, 3, 14), QTime(9, 26, 53));
const QString gsLongNumber = "+49 30 5550 1234 5678 9012 3456 7890 1234 5678";
const QString gsArabicAgent = QString::fromUtf8("فريق Sales 2 سالم");

QString writePackage(const QString& isPath, const QString& isLocale)
{
    QList<CallRecord> aCalls;
    aCalls << CallRecord { 1, gtStart, "in", "+49 30 5550 1234", "+46 8 5050 3344", "Agent Berger", 4, 0x18, "",
        "\"capture\":\"/app/data/7 (2).pcap\"" };
    aCalls << CallRecord { 2, gtStart.addDays(-1), "out", "+44 20 7946 0018", "(030) 555-01", gsArabicAgent, 3, 0x18, "", QString() };
    aCalls << CallRecord { 3, gtStart.addDays(-2), "in", gsLongNumber, "+44 20 7946 0019", "Agent Olsen", 2, 0x18, "", QString() };
    PackageWriter aWriter;
    aWriter.setSettings("default_locale=" + isLocale);
    QByteArray aScript = "var gCalls=[";
    for (int i = 0; i < aCalls.size(); ++i)
        aScript += (i ? ",\n" : "\n") + aCalls[i].json();
    aWriter.addFile("/app/js/data/calls.js", aScript + "\n];");
    aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"ar_SA\":1,\"en_GB\":1};");
    aWriter.addFile("/app/data/7 (2).pcap", QByteArray(64, '\xd4'));
    aWriter.write(isPath);
    return isPath;
}

} // namespace

class TestPageRtl : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;

    PageSession& s() { return *mpSession; }

    // cell(id, field): the value of a call's list cell; field(key): a value in the details.
    void findValues()
    {
        s().js("window.cell = (id, field) => { const c = [...document.querySelectorAll('.list-heading')].map(h => h.dataset.column).indexOf(field);"
               " const r = [...document.querySelectorAll('.list-row:not([hidden])')].find(r => r.dataset.call && window.vornPage.calls.call(Number(r.dataset.call)).id === id);"
               " return r && r.children[c].querySelector('bdi'); };"
               "window.field = key => document.querySelector(`#fields dd[data-field='${key}'] bdi`); true");
    }

    // The drawn value of the element the script expression names, against the
    // same text drawn by itself in a box of direction isDir and of the other one.
    void checkDrawn(const QString& isElement, const QString& isDir)
    {
        PagePixels aPixels(s());
        QString sText;
        const QRectF aBox = aPixels.box(isElement, &sText);
        QVERIFY2(aBox.width() > 4, qPrintable("no element " + isElement));
        const QRectF aArea = aBox.adjusted(-1, 0, 1, 0);
        const QImage aDrawn = inkOf(aPixels.capture(aArea));
        const QImage aOwn = aPixels.drawnAlone(isElement, sText, isDir, aBox, aArea);
        const QImage aOther = aPixels.drawnAlone(isElement, sText, isDir == "ltr" ? "rtl" : "ltr", aBox, aArea);
        const double fOwn = inkDistance(aDrawn, aOwn);
        const double fOther = inkDistance(aDrawn, aOther);
        const QString sWhat = QStringLiteral("%1 \"%2\": %3 from its own drawing, %4 from the reversed one")
                                  .arg(isElement, sText)
                                  .arg(fOwn)
                                  .arg(fOther);
        const QString sName = QStringLiteral("rtl-%1-%2").arg(QTest::currentDataTag(), isElement);
        PagePixels::keep(sName + "-drawn", aDrawn);
        PagePixels::keep(sName + "-own", aOwn);
        PagePixels::keep(sName + "-other", aOther);
        QVERIFY2(!aDrawn.isNull(), qPrintable("nothing drawn: " + sWhat));
        // Every value here reads differently in the two directions, so that
        // a value drawn the wrong way round cannot pass.
        QVERIFY2(inkDistance(aOwn, aOther) > 0.3, qPrintable("the two directions draw alike: " + sWhat));
        QVERIFY2(fOwn < 0.2 && fOwn < fOther, qPrintable(sWhat));
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        writePackage(maDir.filePath("ar_SA.pkg"), "ar_SA");
        writePackage(maDir.filePath("en_GB.pkg"), "en_GB");
        mpSession = new PageSession();
        // Wide enough that no list value is cut short by an ellipsis: the
        // values are compared with their whole text drawn alone.
        s().mpViewer->resize(1560, 860);
        (void)QTest::qWaitForWindowExposed(s().mpViewer);
    }
    void cleanupTestCase() { delete mpSession; }

    // A number too long for its cell loses its end, in either page direction:
    // what is drawn begins as the whole number drawn by itself does.
    void longNumbersKeepTheirBeginning_data()
    {
        QTest::addColumn<QString>("sPackage");
        QTest::newRow("Arabic page") << "ar_SA";
        QTest::newRow("English page") << "en_GB";
    }
    void longNumbersKeepTheirBeginning()
    {
        QFETCH(QString, sPackage);
        QVERIFY(s().open(maDir.filePath(sPackage + ".pkg")) >= 0);
        findValues();
        PagePixels aPixels(s());
        const QString sCell = "cell(3, 'caller')";
        const QRectF aBox = aPixels.box(sCell);
        QVERIFY(aBox.width() > 40);
        const QRectF aStart(aBox.left() - 1, aBox.top(), aBox.width() / 2, aBox.height());
        const QImage aDrawn = inkOf(aPixels.capture(aStart));
        const QImage aAlone = aPixels.drawnAlone(sCell, gsLongNumber, "ltr", aBox, aStart);
        PagePixels::keep(QStringLiteral("long-number-%1-drawn").arg(sPackage), aDrawn);
        PagePixels::keep(QStringLiteral("long-number-%1-alone").arg(sPackage), aAlone);
        const double f = inkDistance(aDrawn, aAlone);
        QVERIFY2(f < 0.2, qPrintable(QString::number(f)));
    }

    void valuesDrawInTheirOwnDirection_data()
    {
        QTest::addColumn<QString>("sPackage"); // its default locale: the first page's language
        QTest::addColumn<QString>("sSwitchTo"); // then the language chosen in the menu, if any
        QTest::addColumn<int>("nOpenCall"); // the call then opened, or 0 for the list
        QTest::addColumn<QStringList>("saLtr"); // elements holding left-to-right values
        QTest::addColumn<QStringList>("saRtl"); // elements holding right-to-left values
        const QStringList saListLtr { "cell(1, 'caller')", "cell(1, 'callee')", "cell(1, 'time_start')", "cell(2, 'callee')",
            "cell(1, 'capture')" };
        const QStringList saCallLtr { "document.querySelectorAll('#call-title bdi')[0]", "document.querySelectorAll('#call-title bdi')[1]",
            "field('caller')", "field('time_start')", "field('capture')", "document.querySelector('.data-file bdi')" };
        QTest::newRow("Arabic page, first load, list") << "ar_SA" << "" << 0 << saListLtr << QStringList { "cell(2, 'agent')" };
        QTest::newRow("Arabic page, after a switch, list") << "en_GB" << "ar_SA" << 0 << saListLtr << QStringList { "cell(2, 'agent')" };
        QTest::newRow("Arabic page, first load, call") << "ar_SA" << "" << 1 << saCallLtr << QStringList();
        QTest::newRow("Arabic page, after a switch, call")
            << "en_GB" << "ar_SA" << 1 << saCallLtr << QStringList();
        QTest::newRow("English page, list") << "en_GB" << "" << 0 << QStringList { "cell(2, 'callee')" } << QStringList { "cell(2, 'agent')" };
        QTest::newRow("English page, call") << "en_GB" << "" << 2 << QStringList { "field('callee')", "document.querySelectorAll('#call-title bdi')[1]" }
                                            << QStringList { "field('agent')" };
        QTest::newRow("English page after Arabic, list") << "ar_SA" << "en_GB" << 0 << QStringList { "cell(2, 'callee')" }
                                                         << QStringList { "cell(2, 'agent')" };
    }
    void valuesDrawInTheirOwnDirection()
    {
        QFETCH(QString, sPackage);
        QFETCH(QString, sSwitchTo);
        QFETCH(int, nOpenCall);
        QFETCH(QStringList, saLtr);
        QFETCH(QStringList, saRtl);
        QVERIFY(s().open(maDir.filePath(sPackage + ".pkg")) >= 0);
        if (!sSwitchTo.isEmpty())
            QVERIFY(s().switchLocale(sSwitchTo) >= 0);
        QCOMPARE(s().js("document.documentElement.lang").toString(), QString(sSwitchTo.isEmpty() ? sPackage : sSwitchTo).replace('_', '-'));
        findValues();
        if (nOpenCall) {
            const int nIndex = s().awaitJs(QStringLiteral("window.vornPage.allCalls().then(a => a.findIndex(c => c.id === %1))").arg(nOpenCall)).toInt();
            s().click(QStringLiteral(".list-row[data-call='%1']").arg(nIndex));
            s().key(Qt::Key_Return);
            QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        }
        for (const QString& sElement : saLtr)
            checkDrawn(sElement, "ltr");
        for (const QString& sElement : saRtl)
            checkDrawn(sElement, "rtl");
        PagePixels(s()).keepPage(QStringLiteral("rtl-%1").arg(QTest::currentDataTag()));
    }

    // The notes of a call: times read left to right in every page, a note's
    // text in the direction of its own letters.
    void notesDrawInTheirOwnDirection_data()
    {
        QTest::addColumn<QString>("sPackage");
        QTest::newRow("Arabic page, notes") << "ar_SA";
        QTest::newRow("English page, notes") << "en_GB";
    }
    void notesDrawInTheirOwnDirection()
    {
        QFETCH(QString, sPackage);
        QVERIFY(s().open(maDir.filePath(sPackage + ".pkg")) >= 0);
        const int nIndex = s().awaitJs("window.vornPage.allCalls().then(a => a.findIndex(c => c.id === 1))").toInt();
        s().awaitJs(QStringLiteral("window.vornPage.calls.fetch([%1]).then(([c]) => window.vornPage.notes.set(c, ["
                                   " { start_ms: 65000, end_ms: 72500, category: 'finding', text: %2 },"
                                   " { start_ms: 80000, end_ms: 80000, category: 'follow-up', text: %3 }]))")
                   .arg(nIndex)
                   .arg(PageSession::quoted("+46 8 5050 3344 called back"), PageSession::quoted(gsArabicAgent)));
        s().click(QStringLiteral(".list-row[data-call='%1']").arg(nIndex));
        s().key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        QTRY_COMPARE(s().js("document.querySelectorAll('#notes-list .note').length").toInt(), 2);
        checkDrawn("document.querySelectorAll('#notes-list .note-time')[0]", "ltr");
        // A note's text fills its line: its words alone are compared, at the
        // place they are drawn (an inline box around them changes nothing drawn).
        s().js("for (const p of document.querySelectorAll('#notes-list .note-text')) {"
               " const w = document.createElement('span'); w.append(...p.childNodes); p.append(w); } true");
        checkDrawn("document.querySelectorAll('#notes-list .note-text > span')[0]", "ltr");
        checkDrawn("document.querySelectorAll('#notes-list .note-text > span')[1]", "rtl");
        PagePixels(s()).keepPage(QStringLiteral("rtl-%1").arg(QTest::currentDataTag()));
        // Nothing is left for the next package's opening to ask about.
        s().awaitJs("window.vornPage.allCalls().then(a => window.vornPage.notes.set(a.find(c => c.id === 1), []))");
        s().mpViewer->reviewDocument()->setUnsaved(false);
    }
};

QTEST_MAIN(TestPageRtl)
#include "tst_page_rtl.moc"
