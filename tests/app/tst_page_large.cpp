// A large generated package in the package page, with its calls in the
// viewer's native index (the default at this size) and read by the page
// itself (the index's limit raised): search, filters, sort orders (ties
// included, both directions), notes and counts are compared with a model of
// the same records computed here, the list keeps only a screenful of rows in
// the document, the keyboard reaches the far end, and the reviewer's place
// survives a reload. Also: call scripts in other shapes reach the page as
// the script itself gives them, through the index or past it.
#include "CallIndexChannel.h"
#include "LogMessageHandler.h"
#include "PageSession.h"
#include "ReviewDocument.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

constexpr int cnCalls = 20000;

struct Call
{
    int nId;
    QString sStart;
    QString sDirection;
    QString sCaller;
    QString sCallee;
    QString sAgent;
    int nDuration;
    quint32 nFlags;
    QString sVoice;
    QString sQueue;

    bool recording() const { return !sVoice.isEmpty() && (nFlags & 0x8) && (nFlags & 0x10); }
    bool marked() const { return nFlags & 0x400000; }
    QString label() const
    {
        return sDirection == "in" ? "Incoming" : sDirection == "out" ? "Outgoing" : sDirection == "internal" ? "Internal" : sDirection;
    }
    QStringList values() const
    {
        return { QString::number(nId), sStart, sDirection, sCaller, sCallee, sAgent, QString::number(nDuration),
                 QString::number(nFlags), sVoice, sQueue };
    }
    QByteArray json() const
    {
        return QStringLiteral("{\"id\":%1,\"time_start\":\"%2\",\"direction\":\"%3\",\"caller\":\"%4\",\"callee\":\"%5\","
                              "\"agent\":\"%6\",\"duration\":%7,\"flags\":%8,\"voice\":\"%9\",\"queue\":\"%10\"}")
            .arg(nId)
            .arg(sStart, sDirection, sCaller, sCallee, sAgent)
            .arg(nDuration)
            .arg(nFlags)
            .arg(sVoice, sQueue)
            .toUtf8();
    }
};

const QRegularExpression gSeparators(QStringLiteral("[\\s\\-().\\/]+"));

// Records with many equal keys: agents differing only in case, a few
// hundred durations, start times that repeat.
QList<Call> makeCalls()
{
    QRandomGenerator aRandom(26);
    const QDateTime tBase(QDate(2026, 1, 1), QTime(0, 0));
    QList<Call> a;
    for (int i = 0; i < cnCalls; ++i) {
        Call c;
        c.nId = i + 1;
        c.sStart = (i % 7 == 6 ? a.last().sStart : tBase.addSecs(aRandom.bounded(86400 * 60)).toString("yyyy-MM-dd hh:mm:ss"));
        c.sDirection = QStringList { "in", "out", "internal" }.at(aRandom.bounded(3));
        c.sCaller = i % 5 ? QStringLiteral("+49 30 %1").arg(aRandom.bounded(10000000), 7, 10, QChar('0'))
                          : QStringLiteral("(030) 555-%1").arg(aRandom.bounded(10000), 4, 10, QChar('0'));
        c.sCallee = QStringLiteral("+49 89 2000 %1").arg(i % 1000, 4, 10, QChar('0'));
        const QChar cAgent('A' + aRandom.bounded(26));
        c.sAgent = (i % 2 ? "Agent " : "agent ") + QString(i % 2 ? cAgent : cAgent.toLower());
        c.nDuration = aRandom.bounded(300);
        c.nFlags = (aRandom.bounded(4) ? 0x18u : 0x0u) | (aRandom.bounded(10) ? 0u : 0x400000u);
        c.sVoice = aRandom.bounded(5) ? QStringLiteral("call%1.wvc").arg(i) : QString();
        // Letters beyond ASCII all through the text, so that pieces of the
        // transfer end inside them.
        c.sQueue = QStringList { "Sales", "support", QStringLiteral("S\u00fcd \u00c5rhus") }.at(aRandom.bounded(3));
        a << c;
    }
    return a;
}

QStringList searchTerms(const QString& isQuery)
{
    QStringList a;
    for (QString s : isQuery.toLower().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        if (QRegularExpression("^[+\\d\\-().\\/]+$").match(s).hasMatch()) {
            const QString sBare = QString(s).remove(gSeparators);
            if (!sBare.isEmpty())
                s = sBare;
        }
        a << s;
    }
    return a;
}

bool matches(const Call& irCall, const QStringList& iaTerms)
{
    for (const QString& sTerm : iaTerms) {
        bool bFound = irCall.label().toLower().contains(sTerm);
        for (const QString& sValue : irCall.values()) {
            const QString sLower = sValue.toLower();
            bFound = bFound || sLower.contains(sTerm)
                || (sValue.contains(QRegularExpression("\\d")) && QString(sLower).remove(gSeparators).contains(sTerm));
        }
        if (!bFound)
            return false;
    }
    return true;
}

struct Query
{
    QString sText;
    QString sColumn = "time_start";
    bool bDescending = true;
    bool bRecording = false;
    bool bMarked = false;
    QString sDirection;
    QString sFrom;
    QString sTo;
};

// Ids in the order the list must show them; iaNotes: notes per call index.
QStringList expected(const QList<Call>& iaCalls, const Query& irQuery, const QHash<int, int>& iaNotes = {},
    bool ibNotesOnly = false)
{
    QList<int> aOrder;
    for (int i = 0; i < iaCalls.size(); ++i)
        aOrder << i;
    // Ascending with ties in the package's order; descending is its reverse.
    auto byText = [&](std::function<QString(const Call&)> ifKey) {
        std::stable_sort(aOrder.begin(), aOrder.end(), [&](int a, int b) { return ifKey(iaCalls[a]) < ifKey(iaCalls[b]); });
    };
    auto byNumber = [&](std::function<double(const Call&)> ifKey) {
        std::stable_sort(aOrder.begin(), aOrder.end(), [&](int a, int b) { return ifKey(iaCalls[a]) < ifKey(iaCalls[b]); });
    };
    const QString& s = irQuery.sColumn;
    if (s == "time_start")
        byText([](const Call& c) { return c.sStart; });
    else if (s == "direction")
        byText([](const Call& c) { return c.label().toLower(); });
    else if (s == "caller")
        byText([](const Call& c) { return c.sCaller.toLower(); });
    else if (s == "agent")
        byText([](const Call& c) { return c.sAgent.toLower(); });
    else if (s == "queue")
        byText([](const Call& c) { return c.sQueue.toLower(); });
    else if (s == "duration")
        byNumber([](const Call& c) { return c.nDuration; });
    else if (s == "__status")
        byNumber([](const Call& c) { return c.recording() * 2 + c.marked(); });
    else if (s == "__notes")
        std::stable_sort(aOrder.begin(), aOrder.end(), [&](int a, int b) { return iaNotes.value(a) < iaNotes.value(b); });
    if (irQuery.bDescending)
        std::reverse(aOrder.begin(), aOrder.end());
    const QStringList aTerms = searchTerms(irQuery.sText);
    QStringList aIds;
    for (int i : aOrder) {
        const Call& c = iaCalls[i];
        if ((irQuery.bRecording && !c.recording()) || (irQuery.bMarked && !c.marked())
            || (!irQuery.sDirection.isEmpty() && c.sDirection != irQuery.sDirection)
            || (!irQuery.sFrom.isEmpty() && c.sStart.left(10) < irQuery.sFrom)
            || (!irQuery.sTo.isEmpty() && c.sStart.left(10) > irQuery.sTo) || (ibNotesOnly && !iaNotes.value(i))
            || !matches(c, aTerms))
            continue;
        aIds << QString::number(c.nId);
    }
    return aIds;
}

QString thousands(int n)
{
    return QLocale(QLocale::English, QLocale::UnitedKingdom).toString(n);
}

} // namespace

class TestPageLarge : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;
    QList<Call> maCalls;

    PageSession& s() { return *mpSession; }

    // Index mode: the native index's default limit; local mode: above the calls.
    void useMode(const QString& isMode)
    {
        if (s().js("window.vornPage && vornPage.calls.mode").toString() == isMode)
            return;
        s().mpViewer->findChild<CallIndexChannel*>()->setLocalLimit(isMode == "index" ? 5000 : cnCalls + 1);
        s().maRequests.maUrls.clear();
        QVERIFY(s().open(maDir.filePath("large.pkg")) >= 0);
        QCOMPARE(s().js("vornPage.calls.mode").toString(), isMode);
        // The index's page never asks for calls.js; the page reading it
        // takes the early request: one transfer.
        const int nTransfers = isMode == "index" ? 0 : 1;
        QCOMPARE(s().js("performance.getEntriesByType('resource').filter(e => e.name.includes('/data/calls.js')).length").toInt(), nTransfers);
        QCOMPARE(int(std::count_if(s().maRequests.maUrls.begin(), s().maRequests.maUrls.end(),
                     [](const QUrl& irUrl) { return irUrl.path() == "/app/js/data/calls.js"; })), nTransfers);
    }

    static void addModes(const std::function<void(const QString&)>& ifRows)
    {
        for (const char* pMode : { "index", "local" })
            ifRows(pMode);
    }

    QString activeId()
    {
        return s().js("(() => { const c = [...document.querySelectorAll('.list-heading')].findIndex(h => h.dataset.column === 'id');"
                      " const r = document.querySelector('#active-row'); return r && r.dataset.call ? r.children[c].textContent : ''; })()")
            .toString();
    }

    void search(const QString& isText)
    {
        s().js(QStringLiteral("{ const e = document.getElementById('search'); e.value = %1; e.dispatchEvent(new Event('input')); }")
                   .arg(PageSession::quoted(isText)));
    }

    QStringList shownIds() { return s().awaitJs("vornPage.shownCalls().then(a => a.map(c => String(c.id)))").toStringList(); }

    void setFilters(const Query& irQuery, bool ibNotesOnly = false)
    {
        s().js(QStringLiteral("(() => { const f = vornPage.filters;"
                              " f.fromField.value = %1; f.toField.value = %2; f.direction.value = %3;"
                              " f.recording.checked = %4; f.marked.checked = %5; f.withNotes.checked = %6;"
                              " f.direction.dispatchEvent(new Event('change')); return true; })()")
                   .arg(PageSession::quoted(irQuery.sFrom), PageSession::quoted(irQuery.sTo), PageSession::quoted(irQuery.sDirection))
                   .arg(irQuery.bRecording ? "true" : "false", irQuery.bMarked ? "true" : "false", ibNotesOnly ? "true" : "false"));
    }

    // The rows drawn show the calls at their places, and only a screenful is there.
    void checkRows(const QStringList& iaExpected)
    {
        // Rows are drawn once their calls have come.
        s().awaitJs("vornPage.settled()");
        const QVariantList aRows = s().js("(() => { const c = [...document.querySelectorAll('.list-heading')].findIndex(h => h.dataset.column === 'id');"
                                          " return [...document.querySelectorAll('.list-row:not([hidden])')]"
                                          ".map(r => [Number(r.dataset.position), r.children[c].textContent]); })()").toList();
        QVERIFY(aRows.size() >= std::min<int>(10, iaExpected.size()));
        QVERIFY(s().js("document.querySelectorAll('.list-row').length").toInt() < 80);
        for (const QVariant& aRow : aRows) {
            const int nPosition = aRow.toList().value(0).toInt();
            QVERIFY(nPosition >= 0 && nPosition < iaExpected.size());
            QCOMPARE(aRow.toList().value(1).toString(), iaExpected.at(nPosition));
        }
    }

    // Clicks a column's heading until the list is sorted as asked.
    void sortBy(const QString& isColumn, bool ibDescending)
    {
        const QString sHeading = ".list-heading[data-column='" + isColumn + "']";
        for (int i = 0; i < 3; ++i) {
            const QString sSort = s().js("document.querySelector(\"" + sHeading + "\").getAttribute('aria-sort')").toString();
            if (sSort == (ibDescending ? "descending" : "ascending"))
                return;
            s().js("document.querySelector(\"" + sHeading + "\").click(); true");
        }
        QFAIL("the heading does not sort");
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        maCalls = makeCalls();
        QByteArray aScript = "var gCalls=[";
        for (int i = 0; i < maCalls.size(); ++i)
            aScript += (i ? ",\n" : "\n") + maCalls[i].json();
        PackageWriter aWriter;
        aWriter.setSettings("default_locale=en_GB");
        aWriter.addFile("/app/js/data/calls.js", aScript + "\n];\n");
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1,\"de_DE\":1};");
        QVERIFY(aWriter.write(maDir.filePath("large.pkg")));
        mpSession = new PageSession();
        useMode("index");
    }
    void cleanupTestCase() { delete mpSession; }
    // Notes a failed check left must not stop the next open with a question.
    void cleanup() { s().mpViewer->reviewDocument()->setUnsaved(false); }

    void listMatchesModel_data()
    {
        QTest::addColumn<QString>("sMode");
        QTest::addColumn<QString>("sText");
        QTest::addColumn<QString>("sColumn");
        QTest::addColumn<bool>("bDescending");
        QTest::addColumn<QString>("sFilter");
        // Typed one after another, so that a query narrowing the last is seen.
        addModes([](const QString& isMode) {
            QTest::addRow("%s: all, newest first", qPrintable(isMode)) << isMode << "" << "time_start" << true << "";
            QTest::addRow("%s: all, oldest first", qPrintable(isMode)) << isMode << "" << "time_start" << false << "";
            QTest::addRow("%s: agent, ties in case", qPrintable(isMode)) << isMode << "" << "agent" << false << "";
            QTest::addRow("%s: agent descending", qPrintable(isMode)) << isMode << "" << "agent" << true << "";
            QTest::addRow("%s: duration", qPrintable(isMode)) << isMode << "" << "duration" << false << "";
            QTest::addRow("%s: status descending", qPrintable(isMode)) << isMode << "" << "__status" << true << "";
            QTest::addRow("%s: direction label", qPrintable(isMode)) << isMode << "" << "direction" << false << "";
            QTest::addRow("%s: notes: all tied", qPrintable(isMode)) << isMode << "" << "__notes" << true << "";
            QTest::addRow("%s: caller", qPrintable(isMode)) << isMode << "" << "caller" << false << "";
            QTest::addRow("%s: digit", qPrintable(isMode)) << isMode << "5" << "caller" << true << "";
            QTest::addRow("%s: narrowing", qPrintable(isMode)) << isMode << "55" << "caller" << true << "";
            QTest::addRow("%s: narrowing more", qPrintable(isMode)) << isMode << "555" << "queue" << false << "";
            QTest::addRow("%s: number with separators", qPrintable(isMode)) << isMode << "030 555-1" << "time_start" << true << "";
            QTest::addRow("%s: number without separators", qPrintable(isMode)) << isMode << "0305551" << "time_start" << true << "";
            QTest::addRow("%s: two words", qPrintable(isMode)) << isMode << "agent q" << "duration" << true << "";
            QTest::addRow("%s: translated direction", qPrintable(isMode)) << isMode << "incoming" << "agent" << false << "";
            QTest::addRow("%s: letters beyond ASCII", qPrintable(isMode)) << isMode << QStringLiteral("\u00c5RHUS") << "queue" << true << "";
            QTest::addRow("%s: nothing", qPrintable(isMode)) << isMode << "no such call" << "time_start" << true << "";
            QTest::addRow("%s: recording only", qPrintable(isMode)) << isMode << "" << "agent" << false << "recording";
            QTest::addRow("%s: marked, searched", qPrintable(isMode)) << isMode << "sales" << "duration" << true << "marked";
            QTest::addRow("%s: direction filter", qPrintable(isMode)) << isMode << "" << "caller" << true << "out";
            QTest::addRow("%s: dates", qPrintable(isMode)) << isMode << "49" << "time_start" << false << "dates";
        });
    }

    void listMatchesModel()
    {
        QFETCH(QString, sMode);
        QFETCH(QString, sText);
        QFETCH(QString, sColumn);
        QFETCH(bool, bDescending);
        QFETCH(QString, sFilter);
        Query aQuery { sText, sColumn, bDescending, sFilter == "recording", sFilter == "marked", sFilter == "out" ? "out" : "",
                       sFilter == "dates" ? "2026-01-10" : "", sFilter == "dates" ? "2026-01-20" : "" };
        useMode(sMode);
        setFilters(aQuery);
        sortBy(sColumn, bDescending);
        search(sText);
        const QStringList aExpected = expected(maCalls, aQuery);
        QTRY_COMPARE_WITH_TIMEOUT(shownIds().size(), aExpected.size(), cnRoundTripMs);
        QCOMPARE(shownIds(), aExpected);
        const QString sCount = aExpected.size() == cnCalls ? thousands(cnCalls) + " calls"
                                                           : thousands(aExpected.size()) + " of " + thousands(cnCalls) + " calls";
        QCOMPARE(s().js("document.getElementById('count').textContent").toString(), sCount);
        checkRows(aExpected);
    }

    // The keyboard walks to the far end and back; the rows follow.
    void keyboardReachesTheEnd_data()
    {
        QTest::addColumn<QString>("sMode");
        addModes([](const QString& isMode) { QTest::addRow("%s", qPrintable(isMode)) << isMode; });
    }
    void keyboardReachesTheEnd()
    {
        QFETCH(QString, sMode);
        useMode(sMode);
        setFilters(Query {});
        sortBy("duration", false);
        s().js("{ const e = document.getElementById('search'); e.value = ''; e.dispatchEvent(new Event('input')); }");
        const QStringList aExpected = expected(maCalls, Query { "", "duration", false });
        s().js("document.getElementById('call-list').focus(); true");
        s().key(Qt::Key_End);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelector('#active-row').dataset.position").toInt(), cnCalls - 1, cnRoundTripMs);
        checkRows(aExpected);
        s().key(Qt::Key_Up);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelector('#active-row').dataset.position").toInt(), cnCalls - 2, cnRoundTripMs);
        s().key(Qt::Key_Home);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelector('#active-row').dataset.position").toInt(), 0, cnRoundTripMs);
        checkRows(aExpected);
    }

    // Scrolled a few rows at a time, as a wheel does, and in long jumps
    // either way, each row drawn shows its own call in every column: a row
    // taken up again for another call keeps nothing of the one it showed.
    void scrolledRowsShowTheirCalls_data()
    {
        QTest::addColumn<QString>("sMode");
        addModes([](const QString& isMode) { QTest::addRow("%s", qPrintable(isMode)) << isMode; });
    }
    void scrolledRowsShowTheirCalls()
    {
        QFETCH(QString, sMode);
        useMode(sMode);
        setFilters(Query {});
        search("");
        sortBy("time_start", true);
        const QStringList aExpected = expected(maCalls, Query {});
        QTRY_COMPARE_WITH_TIMEOUT(s().js("vornPage.list.count()").toInt(), cnCalls, cnRoundTripMs);
        // Per row: position, then per column what is drawn (the direction's
        // arrow, whether each status icon takes room).
        const QString sRows = "(() => { const k = [...document.querySelectorAll('.list-heading')].map(h => h.dataset.column);"
                              " const at = (r, key) => r.children[k.indexOf(key)];"
                              " return [...document.querySelectorAll('.list-row:not([hidden])')].map(r => [Number(r.dataset.position),"
                              "  at(r, 'id').textContent, at(r, 'direction').textContent,"
                              "  getComputedStyle(at(r, 'direction'), '::before').content, at(r, 'agent').textContent,"
                              "  at(r, 'queue').textContent,"
                              "  [...at(r, '__status').querySelectorAll('.icon')].filter(i => i.getClientRects().length)"
                              "   .map(i => i.classList.contains('rec') ? 'rec' : 'mark').join(' ')]); })()";
        for (const int nStep : { 5, 5, 5, 5, 1, -3, 37, 250, -400, 9000, -20, 5, cnCalls }) {
            s().awaitJs(QStringLiteral("(() => { document.getElementById('call-list').scrollTop += 34 * %1;"
                                       " return new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))"
                                       "  .then(() => vornPage.settled()); })()").arg(nStep));
            const QVariantList aRows = s().js(sRows).toList();
            QVERIFY(aRows.size() >= 10);
            for (const QVariant& aRow : aRows) {
                const QVariantList a = aRow.toList();
                const int nPosition = a.value(0).toInt();
                QVERIFY(nPosition >= 0 && nPosition < cnCalls);
                const Call& c = maCalls.at(aExpected.at(nPosition).toInt() - 1);
                const QString sArrow = c.sDirection == "in" ? "\"\u2199\"" : c.sDirection == "out" ? "\"\u2197\"" : "none";
                const QString sIcons = QStringList({ c.recording() ? "rec" : "", c.marked() ? "mark" : "" }).join(' ').trimmed();
                QCOMPARE(a.mid(1, 6), QVariantList({ QString::number(c.nId), c.label(), sArrow, c.sAgent, c.sQueue, sIcons }));
            }
        }
    }

    // A list taller than the engine can lay out (a million calls; here the
    // list's limit lowered) still scrolls to its last call, and the
    // keyboard's cursor stays in sight at both ends and between.
    void listTallerThanItsCanvas()
    {
        useMode("index");
        setFilters(Query {});
        search("");
        sortBy("time_start", true);
        const QStringList aExpected = expected(maCalls, Query {});
        QTRY_COMPARE_WITH_TIMEOUT(s().js("vornPage.list.count()").toInt(), cnCalls, cnRoundTripMs);
        s().js("vornPage.list.maxHeight = 100000; vornPage.list.setView(vornPage.list.view, 0); true");
        QCOMPARE(s().js("document.querySelector('.list-canvas').offsetHeight").toInt(), 100000);
        // The rows in sight, top to bottom: [position, top, bottom] against the list's part in sight.
        const QString sInSight = "(() => { const r = document.getElementById('call-list').getBoundingClientRect();"
                                 " const top = r.top + document.querySelector('.list-header').offsetHeight;"
                                 " return [...document.querySelectorAll('.list-row:not([hidden])')]"
                                 "  .map(e => [Number(e.dataset.position), e.getBoundingClientRect()])"
                                 "  .filter(([, b]) => b.bottom > top && b.top < r.bottom).sort((a, b) => a[0] - b[0])"
                                 "  .map(([p, b]) => [p, b.top - top, b.bottom - top, r.bottom - top]); })()";
        auto checkInSight = [&](int inWanted) {
            s().awaitJs("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r))).then(() => vornPage.settled())");
            const QVariantList aRows = s().js(sInSight).toList();
            QVERIFY(aRows.size() >= 10);
            bool bWanted = inWanted < 0;
            for (int i = 0; i < aRows.size(); ++i) {
                const QVariantList a = aRows[i].toList();
                // One after another, a row's height apart.
                if (i)
                    QCOMPARE(a[0].toInt() - 1, aRows[i - 1].toList()[0].toInt());
                if (i)
                    QCOMPARE(a[1].toDouble() - aRows[i - 1].toList()[1].toDouble(), 34.0);
                if (a[0].toInt() == inWanted)
                    bWanted = a[1].toDouble() >= -0.5 && a[2].toDouble() <= a[3].toDouble() + 0.5;
            }
            QVERIFY2(bWanted, qPrintable(QStringLiteral("row %1 not wholly in sight").arg(inWanted)));
        };
        s().js("document.getElementById('call-list').focus(); true");
        s().key(Qt::Key_End);
        QTRY_COMPARE_WITH_TIMEOUT(activeId(), aExpected.last(), cnRoundTripMs);
        checkInSight(cnCalls - 1);
        for (int i = 0; i < 30; ++i)
            s().key(Qt::Key_Up);
        QTRY_COMPARE_WITH_TIMEOUT(activeId(), aExpected.at(cnCalls - 31), cnRoundTripMs);
        checkInSight(cnCalls - 31);
        s().key(Qt::Key_Home);
        QTRY_COMPARE_WITH_TIMEOUT(activeId(), aExpected.first(), cnRoundTripMs);
        checkInSight(0);
        s().js("document.getElementById('call-list').scrollTop = 50000; true");
        checkInSight(-1);
        checkRows(aExpected);
        s().js("document.getElementById('call-list').scrollTop = 1e9; true");
        checkInSight(cnCalls - 1);
        checkRows(aExpected);
        s().js("vornPage.list.maxHeight = 30000000; vornPage.list.setView(vornPage.list.view, 0); true");
    }

    // The reviewer's place (search, filters, sort, the call open, the
    // cursor far down the list) survives a reload of the page, here a
    // language switch, and the call view and the list take it up again.
    void placeSurvivesReload_data()
    {
        QTest::addColumn<QString>("sMode");
        addModes([](const QString& isMode) { QTest::addRow("%s", qPrintable(isMode)) << isMode; });
    }
    void placeSurvivesReload()
    {
        QFETCH(QString, sMode);
        useMode(sMode);
        const Query aQuery { "agent", "caller", false, true };
        setFilters(aQuery);
        sortBy("caller", false);
        search("agent");
        const QStringList aExpected = expected(maCalls, aQuery);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("vornPage.list.count()").toInt(), aExpected.size(), cnRoundTripMs);
        s().js("document.getElementById('call-list').focus(); true");
        s().key(Qt::Key_End);
        s().key(Qt::Key_Up);
        s().key(Qt::Key_Up);
        const int nPosition = aExpected.size() - 3;
        QTRY_COMPARE_WITH_TIMEOUT(activeId(), aExpected.at(nPosition), cnRoundTripMs);
        s().key(Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("vornPage.callView.isOpen() && String(vornPage.callView.call.id)").toString(),
            aExpected.at(nPosition), cnRoundTripMs);

        QVERIFY(s().switchLocale("de_DE") >= 0);
        QCOMPARE(s().js("vornPage.calls.mode").toString(), sMode);
        QCOMPARE(s().js("document.getElementById('search').value").toString(), QString("agent"));
        QVERIFY(s().js("document.getElementById('filter-recording').checked").toBool());
        QCOMPARE(s().js("document.querySelector(\".list-heading[data-column='caller']\").getAttribute('aria-sort')").toString(),
            QString("ascending"));
        QTRY_COMPARE_WITH_TIMEOUT(s().js("vornPage.callView.isOpen() && String(vornPage.callView.call.id)").toString(),
            aExpected.at(nPosition), cnRoundTripMs);
        // "Call n of m" in German, the numbers as the page writes them.
        const QStringList aNumbers = s().js("document.querySelector('.call-position').textContent.replace(/[.,\\s\\u00a0\\u202f](?=\\d{3})/g, '').match(/\\d+/g)")
                                         .toStringList();
        QCOMPARE(aNumbers, QStringList({ QString::number(nPosition + 1), QString::number(aExpected.size()) }));
        // Down walks on from there; back in the list the cursor is on it.
        s().key(Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("String(vornPage.callView.call.id)").toString(), aExpected.at(nPosition + 1), cnRoundTripMs);
        s().key(Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("vornPage.callView.isOpen()").toBool(), cnRoundTripMs);
        QTRY_COMPARE_WITH_TIMEOUT(activeId(), aExpected.at(nPosition + 1), cnRoundTripMs);
        checkRows(aExpected);
        QVERIFY(s().switchLocale("en_GB") >= 0);
    }

    // Notes added in the page count in the notes column, the notes filter
    // and the notes sort, whichever way the calls come.
    void notesCountFilterAndSort_data()
    {
        QTest::addColumn<QString>("sMode");
        addModes([](const QString& isMode) { QTest::addRow("%s", qPrintable(isMode)) << isMode; });
    }
    void notesCountFilterAndSort()
    {
        QFETCH(QString, sMode);
        useMode(sMode);
        // Call index -> notes; the first and the last call included.
        const QHash<int, int> aNotes { { 0, 2 }, { 10, 3 }, { 7777, 1 }, { cnCalls - 1, 2 } };
        auto setNotes = [&](bool ibClear) {
            for (auto it = aNotes.begin(); it != aNotes.end(); ++it)
                s().awaitJs(QStringLiteral("vornPage.calls.fetch([%1]).then(([c]) => vornPage.notes.set(c,"
                                           " Array.from({ length: %2 }, (_, k) => ({ start_ms: k * 1000, end_ms: k * 1000, text: 'n' + k }))))")
                                .arg(it.key())
                                .arg(ibClear ? 0 : it.value()));
        };
        setNotes(false);
        const Query aQuery { "", "__notes", true };
        setFilters(aQuery);
        search("");
        sortBy("__notes", true);
        QStringList aExpected = expected(maCalls, aQuery, aNotes);
        QTRY_COMPARE_WITH_TIMEOUT(shownIds().mid(0, 4), aExpected.mid(0, 4), cnRoundTripMs);
        QCOMPARE(shownIds(), aExpected);
        s().js("document.getElementById('call-list').focus(); true");
        s().key(Qt::Key_Home);
        QTRY_COMPARE_WITH_TIMEOUT(activeId(), aExpected.at(0), cnRoundTripMs);
        QCOMPARE(s().column("__notes").mid(0, 5), QStringList({ "3", "2", "2", "1", "" }));
        checkRows(aExpected);

        setFilters(aQuery, true);
        aExpected = expected(maCalls, aQuery, aNotes, true);
        QTRY_COMPARE_WITH_TIMEOUT(shownIds(), aExpected, cnRoundTripMs);
        QCOMPARE(s().js("document.getElementById('count').textContent").toString(), "4 of " + thousands(cnCalls) + " calls");
        checkRows(aExpected);

        // A note taken away leaves the filtered list when the list is next shown.
        setNotes(true);
        setFilters(aQuery, true);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("vornPage.list.count()").toInt(), 0, cnRoundTripMs);
        setFilters(Query {});
        s().mpViewer->reviewDocument()->setUnsaved(false);
    }

    // Call scripts in other shapes reach the page as the script gives them:
    // read as JSON where that gives the same, run as a script otherwise;
    // with the index's limit at one call, the index takes the plain ones
    // and leaves the others to the page.
    void scriptShapes_data()
    {
        QTest::addColumn<QString>("sMode");
        QTest::addColumn<QByteArray>("aScript");
        QTest::addColumn<QString>("sCalls");
        QTest::addColumn<QString>("sIncoming"); // the count with the direction filter on "in"; empty: none
        // Every call has a start time, so that the viewer keeps it.
        const QByteArray aA = "{\"id\":1,\"time_start\":\"2026-01-01 10:00:00\"";
        const QByteArray aB = "{\"id\":2,\"time_start\":\"2026-01-02 10:00:00\"}";
        const QString sA = aA, sB = aB;
        QTest::newRow("blanks, no final semicolon") << "index"
            << "\xef\xbb\xbf var  gCalls =\n[" + aA + ",\"caller\":\"\\u00e9\\n\",\"duration\":2.5e1}," + aB + "]\n\n"
            << "[" + sA + ",\"caller\":\"\u00e9\\n\",\"duration\":25}," + sB + "]" << "";
        QTest::newRow("comment first") << "local" << "/* export */\nvar gCalls=[" + aA + "}," + aB + "];" << "[" + sA + "}," + sB + "]" << "";
        // The script sets the object's prototype; the JSON reader would make a field.
        QTest::newRow("prototype key") << "local" << "var gCalls=[" + aA + ",\"__proto__\":{\"x\":1}}," + aB + "];" << "[" + sA + "}," + sB + "]" << "";
        // A hole is a call without fields; the direction filter passes over it.
        QTest::newRow("hole") << "local" << "var gCalls=[" + aA + ",\"direction\":\"in\"},," + aB + "];"
                              << "[" + sA + ",\"direction\":\"in\"},{}," + sB + "]" << "1 of 3 calls";
        QTest::newRow("directions, index") << "index" << "var gCalls=[" + aA + ",\"direction\":\"in\"}," + aB + "];"
                                           << "[" + sA + ",\"direction\":\"in\"}," + sB + "]" << "1 of 2 calls";
    }
    void scriptShapes()
    {
        QFETCH(QString, sMode);
        QFETCH(QByteArray, aScript);
        QFETCH(QString, sCalls);
        QFETCH(QString, sIncoming);
        PackageWriter aWriter;
        // Without retention rules the page gets the script as the package holds it.
        aWriter.setSettings("default_locale=en_GB;package_call_expiration=never");
        aWriter.addFile("/app/js/data/calls.js", aScript);
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1};");
        const QString sPath = maDir.filePath(QStringLiteral("script%1.pkg").arg(QTest::currentDataTag()).remove(' '));
        QVERIFY(aWriter.write(sPath));
        PageSession aSession;
        aSession.mpViewer->findChild<CallIndexChannel*>()->setLocalLimit(1);
        QVERIFY(aSession.open(sPath) >= 0);
        QCOMPARE(aSession.js("vornPage.calls.mode").toString(), sMode);
        QCOMPARE(aSession.awaitJs("vornPage.allCalls().then(a => JSON.stringify(a))").toString(), sCalls);
        if (!sIncoming.isEmpty()) {
            aSession.js("{ const d = document.getElementById('filter-direction'); d.value = 'in'; d.dispatchEvent(new Event('change')); }");
            QTRY_COMPARE_WITH_TIMEOUT(aSession.js("document.getElementById('count').textContent").toString(), sIncoming, cnRoundTripMs);
        }
    }

    // Where the calls come from is asked over HTTP before the web channel
    // connects; a server without that route leaves it to the channel, with
    // the same outcome.
    void sourceWithOrWithoutTheSummaryRoute_data()
    {
        QTest::addColumn<bool>("bRoute");
        QTest::addColumn<int>("nLimit");
        QTest::addColumn<QString>("sMode");
        QTest::newRow("route, index") << true << 1 << "index";
        QTest::newRow("route, local") << true << 3 << "local";
        QTest::newRow("channel, index") << false << 1 << "index";
        QTest::newRow("channel, local") << false << 3 << "local";
    }
    void sourceWithOrWithoutTheSummaryRoute()
    {
        QFETCH(bool, bRoute);
        QFETCH(int, nLimit);
        QFETCH(QString, sMode);
        PackageWriter aWriter;
        aWriter.setSettings("default_locale=en_GB");
        aWriter.addFile("/app/js/data/calls.js",
            "var gCalls=[{\"id\":1,\"time_start\":\"2026-01-01 10:00:00\"},{\"id\":2,\"time_start\":\"2026-01-02 10:00:00\"}];");
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1};");
        const QString sPath = maDir.filePath("source.pkg");
        QVERIFY(aWriter.write(sPath));
        PageSession aSession(bRoute);
        aSession.mpViewer->findChild<CallIndexChannel*>()->setLocalLimit(nLimit);
        QVERIFY(aSession.open(sPath) >= 0);
        QCOMPARE(aSession.js("vornPage.calls.mode").toString(), sMode);
        QCOMPARE(aSession.js("document.getElementById('count').textContent").toString(), QString("2 calls"));
        QCOMPARE(aSession.js("[...document.querySelectorAll('.list-row[data-call]')].length").toInt(), 2);
        QCOMPARE(aSession.js("performance.getEntriesByType('resource').filter(e => e.name.includes('/data/calls.js')).length").toInt(),
            sMode == "local" ? 1 : 0);
        // The page asked once; without the route the server said it has none.
        QCOMPARE(int(std::count_if(aSession.maRequests.maUrls.begin(), aSession.maRequests.maUrls.end(),
                     [](const QUrl& irUrl) { return irUrl.path() == "/app/calls/summary"; })), 1);
        QCOMPARE(aSession.js("!!vornPage.player.state.available").toBool(), true);
    }
};

QTEST_MAIN(TestPageLarge)
#include "tst_page_large.moc"
