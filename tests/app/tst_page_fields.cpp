// Dates and long fields in the package page, judged by what is drawn: the
// date filters read and write dates the way the page's language does, and
// a long name or value keeps to its own cell.
#include "LogMessageHandler.h"
#include "PagePixels.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString gsLongKey = QString("abcdefghij").repeated(10);
const QString gsLongValue = QString("0123456789").repeated(10);

// Five calls a day apart from 10 to 14 March 2026 (ids 1 to 5), and one with
// a long field name and value on 9 March (id 6).
QString writePackage(const QString& isPath)
{
    QList<CallRecord> aCalls;
    for (int i = 1; i <= 5; ++i)
        aCalls << CallRecord { i, QDateTime(QDate(2026, 3, 9 + i), QTime(10, 15, 30)), "in", QStringLiteral("+49 30 5550 12%1").arg(i),
            "+49 89 2000 0101", "Agent Berger", 4, 0x18, "", "\"queue\":\"sales\"" };
    aCalls << CallRecord { 6, QDateTime(QDate(2026, 3, 9), QTime(23, 59, 58)), "out", "+44 20 7946 0018", "+49 89 2000 0106",
        "Agent Novak", 3, 0x18, "", QStringLiteral("\"queue\":\"support\",\"%1\":\"%2\"").arg(gsLongKey, gsLongValue) };
    PackageWriter aWriter;
    aWriter.setSettings("default_locale=en_GB");
    QByteArray aScript = "var gCalls=[";
    for (int i = 0; i < aCalls.size(); ++i)
        aScript += (i ? ",\n" : "\n") + aCalls[i].json();
    aWriter.addFile("/app/js/data/calls.js", aScript + "\n];");
    aWriter.addFile("/app/js/data/locales.js",
        "var gLocales={\"ar_SA\":1,\"de_DE\":1,\"en_GB\":1,\"en_US\":1,\"hu_HU\":1,\"lt_LT\":1};");
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

class TestPageFields : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;
    QString msPackage;

    PageSession& s() { return *mpSession; }

    // Types into a date field as a reader does, done with Tab (or Enter).
    void typeDate(const QString& isField, const QString& isText, int inDoneKey = Qt::Key_Tab)
    {
        s().click(isField);
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.activeElement && '#' + document.activeElement.id").toString(), isField, cnRoundTripMs);
        QTest::keyClick(s().input(), Qt::Key_A, Qt::ControlModifier);
        s().type(isText);
        s().key(inDoneKey);
    }

    // The text a date field draws, against isText drawn by itself where the
    // field draws its text.
    double dateDrawnAs(const QString& isField, const QString& isText)
    {
        PagePixels aPixels(s());
        const QVariantList a = s().js(QStringLiteral("(function(){ const e = document.querySelector(%1), r = e.getBoundingClientRect(),"
                                                     " c = getComputedStyle(e), n = k => parseFloat(c[k]);"
                                                     " const l = r.left + n('borderLeftWidth') + n('paddingLeft'), t = r.top + n('borderTopWidth') + n('paddingTop');"
                                                     " return [l, t, r.right - n('borderRightWidth') - n('paddingRight') - l,"
                                                     "  r.bottom - n('borderBottomWidth') - n('paddingBottom') - t]; })()")
                                          .arg(PageSession::quoted(isField)))
                                     .toList();
        if (a.size() != 4)
            return 1;
        const QRectF aBox(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble());
        const QImage aDrawn = inkOf(aPixels.capture(aBox));
        const QImage aAlone = aPixels.drawnAlone(QStringLiteral("document.querySelector(%1)").arg(PageSession::quoted(isField)), isText,
            "ltr", aBox, aBox);
        PagePixels::keep(QStringLiteral("date-%1-%2-drawn").arg(QTest::currentDataTag(), isText), aDrawn);
        PagePixels::keep(QStringLiteral("date-%1-%2-alone").arg(QTest::currentDataTag(), isText), aAlone);
        return inkDistance(aDrawn, aAlone);
    }

    // The ink of the element's value against its text drawn by itself (0 when alike).
    double valueDrawnAlone(const QString& isElement, int* ipnLines = nullptr)
    {
        PagePixels aPixels(s());
        QString sText;
        const QRectF aBox = aPixels.box(isElement, &sText);
        if (aBox.isEmpty())
            return 1;
        const QImage aDrawn = inkOf(aPixels.capture(aBox));
        if (ipnLines)
            *ipnLines = inkLines(aDrawn);
        const QImage aAlone = aPixels.drawnAlone(isElement, sText, "ltr", QRectF(aBox.topLeft(), QSizeF(aBox.width(), aBox.height())), aBox);
        return inkDistance(aDrawn, aAlone);
    }

    QRectF boxOf(const QString& isElement) { return PagePixels(s()).box(isElement); }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        msPackage = writePackage(maDir.filePath("fields.pkg"));
        mpSession = new PageSession();
    }
    void cleanupTestCase() { delete mpSession; }

    void datesInThePagesLanguage_data()
    {
        QTest::addColumn<QString>("sLocale");
        QTest::addColumn<QString>("sShown"); // 12 March 2026 as the field shows it
        QTest::addColumn<QString>("sTyped"); // 13 March 2026 as a reader of the language types it
        QTest::newRow("en_GB") << "en_GB" << "12/03/2026" << "13/03/2026";
        QTest::newRow("en_US") << "en_US" << "03/12/2026" << "3/13/2026";
        QTest::newRow("de_DE") << "de_DE" << "12.03.2026" << "13.3.2026";
        QTest::newRow("ar_SA") << "ar_SA" << "12/03/2026" << "13/03/2026";
        QTest::newRow("hu_HU") << "hu_HU" << "2026. 03. 12." << "2026.3.13";
        QTest::newRow("lt_LT") << "lt_LT" << "2026-03-12" << "2026-03-13";
    }
    void datesInThePagesLanguage()
    {
        QFETCH(QString, sLocale);
        QFETCH(QString, sShown);
        QFETCH(QString, sTyped);
        QVERIFY(s().open(msPackage) >= 0);
        // Chosen in English, then the page switches language and keeps the filter.
        typeDate("#filter-from", "12/03/2026");
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id"), ids({ 5, 4, 3 }), cnRoundTripMs);
        if (sLocale != "en_GB")
            QVERIFY(s().switchLocale(sLocale) >= 0);
        QCOMPARE(s().column("id"), ids({ 5, 4, 3 }));
        const double fShown = dateDrawnAs("#filter-from", sShown);
        QVERIFY2(fShown < 0.2, qPrintable(QString::number(fShown)));
        // The language's own way of writing a date is understood.
        typeDate("#filter-to", sTyped, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id"), ids({ 4, 3 }), cnRoundTripMs);
        typeDate("#filter-from", sTyped);
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id"), ids({ 4 }), cnRoundTripMs);
        s().click("#filter-reset");
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id").size(), 6, cnRoundTripMs);
        QCOMPARE(s().js("document.getElementById('filter-from').value + document.getElementById('filter-to').value").toString(), QString());
        QVERIFY(s().switchLocale("en_GB") >= 0);
    }

    void textsThatAreNoDateFilterNothing_data()
    {
        QTest::addColumn<QString>("sTyped");
        QTest::newRow("30 February") << "30/02/2026";
        QTest::newRow("month 13") << "12/13/2026";
        QTest::newRow("words") << "yesterday";
        QTest::newRow("two numbers") << "12/03";
    }
    void textsThatAreNoDateFilterNothing()
    {
        QFETCH(QString, sTyped);
        QVERIFY(s().open(msPackage) >= 0);
        typeDate("#filter-from", "12/03/2026");
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id"), ids({ 5, 4, 3 }), cnRoundTripMs);
        typeDate("#filter-from", sTyped);
        QTRY_COMPARE_WITH_TIMEOUT(s().column("id").size(), 6, cnRoundTripMs);
        QCOMPARE(s().js("document.getElementById('filter-from').getAttribute('aria-invalid')").toString(), QStringLiteral("true"));
        // What was typed stays for the reader to mend.
        QCOMPARE(s().js("document.getElementById('filter-from').value").toString(), sTyped);
    }

    void longNamesAndValuesKeepToTheirCells()
    {
        QVERIFY(s().open(msPackage) >= 0);
        s().js("window.cell = (id, field) => { const c = [...document.querySelectorAll('.list-heading')].map(h => h.dataset.column).indexOf(field);"
               " const r = [...document.querySelectorAll('.list-row:not([hidden])')].find(r => r.dataset.call && window.vornPage.calls.call(Number(r.dataset.call)).id === id);"
               " return r && r.children[c].querySelector('bdi'); }; true");
        // The list: the start time whole, the neighbours of the long column untouched.
        for (const QString& sElement : { QStringLiteral("cell(6, 'time_start')"), QStringLiteral("cell(6, 'queue')"),
                 QStringLiteral("document.querySelector(\".list-heading[data-column='queue'] span\")") }) {
            const double f = valueDrawnAlone(sElement);
            QVERIFY2(f < 0.2, qPrintable(sElement + ": " + QString::number(f)));
        }

        const int nIndex = s().awaitJs("window.vornPage.allCalls().then(a => a.findIndex(c => c.id === 6))").toInt();
        s().click(QStringLiteral(".list-row[data-call='%1']").arg(nIndex));
        s().key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        // Short values on one line, drawn as by themselves.
        for (const char* sField : { "time_start", "caller", "queue" }) {
            int nLines = 0;
            const QString sElement = QStringLiteral("document.querySelector(\"#fields dd[data-field='%1'] bdi\")").arg(sField);
            const double f = valueDrawnAlone(sElement, &nLines);
            QVERIFY2(f < 0.2 && nLines == 1, qPrintable(QStringLiteral("%1: %2, %3 lines").arg(sField).arg(f).arg(nLines)));
        }
        // The long name and value wrap inside their cells: several lines, and
        // no ink in the gaps beside them.
        PagePixels aPixels(s());
        const QString sValue = QStringLiteral("document.querySelector(\"#fields dd[data-field='%1']\")").arg(gsLongKey);
        const QRectF aValue = boxOf(sValue);
        const QRectF aName = boxOf(sValue + ".previousElementSibling");
        const QRectF aDetails = boxOf("document.querySelector('.call-details')");
        const QRectF aEffects = boxOf("document.getElementById('effects')");
        QVERIFY(!aValue.isEmpty() && !aName.isEmpty() && !aDetails.isEmpty() && !aEffects.isEmpty());
        aPixels.keepPage("long-fields");
        QVERIFY2(inkLines(inkOf(aPixels.capture(aValue))) >= 2, "the long value is not wrapped");
        QVERIFY2(inkLines(inkOf(aPixels.capture(aName))) >= 2, "the long name is not wrapped");
        const QRectF aBesideName(aName.right() + 2, aName.top(), aValue.left() - aName.right() - 4, aName.height());
        const QRectF aBesideDetails(aDetails.right() + 2, aValue.top(), aEffects.left() - aDetails.right() - 4, aValue.height());
        QVERIFY(aBesideName.width() > 4 && aBesideDetails.width() > 4);
        QVERIFY2(inkOf(aPixels.capture(aBesideName)).isNull(), "the long name runs into the values");
        QVERIFY2(inkOf(aPixels.capture(aBesideDetails)).isNull(), "the long value runs out of the details");
    }
};

QTEST_MAIN(TestPageFields)
#include "tst_page_fields.moc"
