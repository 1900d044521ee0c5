// A large generated package in the package page: search, filters, sort
// orders (ties included, both directions) and counts are compared with a
// model of the same records computed here, the list keeps only a screenful
// of rows in the document, and the keyboard reaches the far end. Also: call
// scripts in other shapes reach the page as the script itself gives them.
#include "LogMessageHandler.h"
#include "PageSession.h"

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

// Ids in the order the list must show them.
QStringList expected(const QList<Call>& iaCalls, const Query& irQuery)
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
        ; // no notes: every call ties
    if (irQuery.bDescending)
        std::reverse(aOrder.begin(), aOrder.end());
    const QStringList aTerms = searchTerms(irQuery.sText);
    QStringList aIds;
    for (int i : aOrder) {
        const Call& c = iaCalls[i];
        if ((irQuery.bRecording && !c.recording()) || (irQuery.bMarked && !c.marked())
            || (!irQuery.sDirection.isEmpty() && c.sDirection != irQuery.sDirection)
            || (!irQuery.sFrom.isEmpty() && c.sStart.left(10) < irQuery.sFrom)
            || (!irQuery.sTo.isEmpty() && c.sStart.left(10) > irQuery.sTo) || !matches(c, aTerms))
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

    QStringList shownIds() { return s().awaitJs("vornPage.shownCalls().then(a => a.map(c => String(c.id)))").toStringList(); }

    void setFilters(const Query& irQuery)
    {
        s().js(QStringLiteral("(() => { const f = vornPage.filters;"
                              " f.fromField.value = %1; f.toField.value = %2; f.direction.value = %3;"
                              " f.recording.checked = %4; f.marked.checked = %5; f.withNotes.checked = false;"
                              " f.direction.dispatchEvent(new Event('change')); return true; })()")
                   .arg(PageSession::quoted(irQuery.sFrom), PageSession::quoted(irQuery.sTo), PageSession::quoted(irQuery.sDirection))
                   .arg(irQuery.bRecording ? "true" : "false", irQuery.bMarked ? "true" : "false"));
    }

    // The rows drawn show the calls at their places, and only a screenful is there.
    void checkRows(const QStringList& iaExpected)
    {
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
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1};");
        QVERIFY(aWriter.write(maDir.filePath("large.pkg")));
        mpSession = new PageSession();
        QVERIFY(s().open(maDir.filePath("large.pkg")) >= 0);
        // The early request for the calls is the one the page reads: one transfer.
        QCOMPARE(s().js("performance.getEntriesByType('resource').filter(e => e.name.includes('/data/calls.js')).length").toInt(), 1);
    }
    void cleanupTestCase() { delete mpSession; }

    void listMatchesModel_data()
    {
        QTest::addColumn<QString>("sText");
        QTest::addColumn<QString>("sColumn");
        QTest::addColumn<bool>("bDescending");
        QTest::addColumn<QString>("sFilter");
        // Typed one after another, so that a query narrowing the last is seen.
        QTest::newRow("all, newest first") << "" << "time_start" << true << "";
        QTest::newRow("all, oldest first") << "" << "time_start" << false << "";
        QTest::newRow("agent, ties in case") << "" << "agent" << false << "";
        QTest::newRow("agent descending") << "" << "agent" << true << "";
        QTest::newRow("duration") << "" << "duration" << false << "";
        QTest::newRow("status descending") << "" << "__status" << true << "";
        QTest::newRow("direction label") << "" << "direction" << false << "";
        QTest::newRow("notes: all tied") << "" << "__notes" << true << "";
        QTest::newRow("caller") << "" << "caller" << false << "";
        QTest::newRow("digit") << "5" << "caller" << true << "";
        QTest::newRow("narrowing") << "55" << "caller" << true << "";
        QTest::newRow("narrowing more") << "555" << "queue" << false << "";
        QTest::newRow("number with separators") << "030 555-1" << "time_start" << true << "";
        QTest::newRow("number without separators") << "0305551" << "time_start" << true << "";
        QTest::newRow("two words") << "agent q" << "duration" << true << "";
        QTest::newRow("translated direction") << "incoming" << "agent" << false << "";
        QTest::newRow("letters beyond ASCII") << QStringLiteral("\u00c5RHUS") << "queue" << true << "";
        QTest::newRow("nothing") << "no such call" << "time_start" << true << "";
        QTest::newRow("recording only") << "" << "agent" << false << "recording";
        QTest::newRow("marked, searched") << "sales" << "duration" << true << "marked";
        QTest::newRow("direction filter") << "" << "caller" << true << "out";
        QTest::newRow("dates") << "49" << "time_start" << false << "dates";
    }
    void listMatchesModel()
    {
        QFETCH(QString, sText);
        QFETCH(QString, sColumn);
        QFETCH(bool, bDescending);
        QFETCH(QString, sFilter);
        Query aQuery { sText, sColumn, bDescending, sFilter == "recording", sFilter == "marked", sFilter == "out" ? "out" : "",
                       sFilter == "dates" ? "2026-01-10" : "", sFilter == "dates" ? "2026-01-20" : "" };
        setFilters(aQuery);
        sortBy(sColumn, bDescending);
        s().js(QStringLiteral("{ const e = document.getElementById('search'); e.value = %1; e.dispatchEvent(new Event('input')); }")
                   .arg(PageSession::quoted(sText)));
        const QStringList aExpected = expected(maCalls, aQuery);
        QTRY_COMPARE_WITH_TIMEOUT(shownIds().size(), aExpected.size(), cnRoundTripMs);
        QCOMPARE(shownIds(), aExpected);
        const QString sCount = aExpected.size() == cnCalls ? thousands(cnCalls) + " calls"
                                                           : thousands(aExpected.size()) + " of " + thousands(cnCalls) + " calls";
        QCOMPARE(s().js("document.getElementById('count').textContent").toString(), sCount);
        checkRows(aExpected);
    }

    // The keyboard walks to the far end and back; the rows follow.
    void keyboardReachesTheEnd()
    {
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

    // Call scripts in other shapes reach the page as the script gives them:
    // read as JSON where that gives the same, run as a script otherwise.
    void scriptShapes_data()
    {
        QTest::addColumn<QByteArray>("aScript");
        QTest::addColumn<QString>("sCalls");
        // Every call has a start time, so that the viewer keeps it.
        const QByteArray aA = "{\"id\":1,\"time_start\":\"2026-01-01 10:00:00\"";
        const QByteArray aB = "{\"id\":2,\"time_start\":\"2026-01-02 10:00:00\"}";
        const QString sA = aA, sB = aB;
        QTest::newRow("blanks, no final semicolon")
            << "\xef\xbb\xbf var  gCalls =\n[" + aA + ",\"caller\":\"\\u00e9\\n\",\"duration\":2.5e1}," + aB + "]\n\n"
            << "[" + sA + ",\"caller\":\"\u00e9\\n\",\"duration\":25}," + sB + "]";
        QTest::newRow("comment first") << "/* export */\nvar gCalls=[" + aA + "}," + aB + "];" << "[" + sA + "}," + sB + "]";
        // The script sets the object's prototype; the JSON reader would make a field.
        QTest::newRow("prototype key") << "var gCalls=[" + aA + ",\"__proto__\":{\"x\":1}}," + aB + "];" << "[" + sA + "}," + sB + "]";
    }
    void scriptShapes()
    {
        QFETCH(QByteArray, aScript);
        QFETCH(QString, sCalls);
        PackageWriter aWriter;
        // Without retention rules the page gets the script as the package holds it.
        aWriter.setSettings("default_locale=en_GB;package_call_expiration=never");
        aWriter.addFile("/app/js/data/calls.js", aScript);
        aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1};");
        const QString sPath = maDir.filePath(QStringLiteral("script%1.pkg").arg(QTest::currentDataTag()).remove(' '));
        QVERIFY(aWriter.write(sPath));
        PageSession aSession;
        QVERIFY(aSession.open(sPath) >= 0);
        QCOMPARE(aSession.awaitJs("vornPage.allCalls().then(a => JSON.stringify(a))").toString(), sCalls);
    }
};

QTEST_MAIN(TestPageLarge)
#include "tst_page_large.moc"
