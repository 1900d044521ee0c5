// Values written in the other direction than the page's, judged by what is
// drawn: each value is captured where the page draws it and compared with
// the same text drawn at the same place in a plain box of the value's own
// direction, and with that text drawn in the opposite direction (what a
// value laid out in the page's direction looks like).
#include "LogMessageHandler.h"
#include "PageSession.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime gtStart(QDate(2026, 3, 14), QTime(9, 26, 53));
const QString gsArabicAgent = QString::fromUtf8("فريق Sales 2 سالم");

QString writePackage(const QString& isPath, const QString& isLocale)
{
    QList<CallRecord> aCalls;
    aCalls << CallRecord { 1, gtStart, "in", "+49 30 5550 1234", "+46 8 5050 3344", "Agent Berger", 4, 0x18, "",
        "\"capture\":\"/app/data/7 (2).pcap\"" };
    aCalls << CallRecord { 2, gtStart.addDays(-1), "out", "+44 20 7946 0018", "(030) 555-01", gsArabicAgent, 3, 0x18, "", QString() };
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

// The dark pixels of an image, cropped to where there are any.
QImage ink(const QImage& irImage)
{
    QImage aMask(irImage.size(), QImage::Format_Grayscale8);
    aMask.fill(0);
    QRect aBox;
    for (int y = 0; y < irImage.height(); ++y)
        for (int x = 0; x < irImage.width(); ++x)
            if (qGray(irImage.pixel(x, y)) < 150) {
                aMask.setPixel(x, y, 255);
                aBox |= QRect(x, y, 1, 1);
            }
    return aMask.copy(aBox);
}

// 0 for the same drawing, up to 1 for unrelated ones: the share of ink
// pixels that differ, at the best offset of a pixel either way.
double distance(const QImage& irA, const QImage& irB)
{
    if (irA.isNull() || irB.isNull() || qAbs(irA.width() - irB.width()) > 2 || qAbs(irA.height() - irB.height()) > 2)
        return 1;
    double fBest = 1;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int nDiffer = 0, nInk = 0;
            for (int y = -1; y <= qMax(irA.height(), irB.height()); ++y)
                for (int x = -1; x <= qMax(irA.width(), irB.width()); ++x) {
                    const bool bA = irA.valid(x, y) && qGray(irA.pixel(x, y)) > 0;
                    const bool bB = irB.valid(x + dx, y + dy) && qGray(irB.pixel(x + dx, y + dy)) > 0;
                    nDiffer += bA != bB;
                    nInk += bA || bB;
                }
            if (nInk)
                fBest = qMin(fBest, double(nDiffer) / nInk);
        }
    return fBest;
}

} // namespace

class TestPageRtl : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;

    PageSession& s() { return *mpSession; }

    // Waits for two frames of the page, then for the window to show the same
    // pixels twice in a row, and returns the part of it at irCss (page pixels).
    QImage capture(const QRectF& irCss)
    {
        s().js("window.__painted = false; requestAnimationFrame(() => requestAnimationFrame(() => { window.__painted = true; })); true");
        [&] { QTRY_VERIFY_WITH_TIMEOUT(s().js("window.__painted").toBool(), 10000); }();
        const double f = s().mpView->zoomFactor();
        const QRect aRect = QRectF(irCss.x() * f, irCss.y() * f, irCss.width() * f, irCss.height() * f).toAlignedRect();
        QImage aLast;
        for (int i = 0; i < 50; ++i) {
            QTest::qWait(100);
            const QImage aNow = s().mpView->grab(aRect).toImage().convertToFormat(QImage::Format_RGB32);
            if (!aNow.isNull() && aNow == aLast)
                return aNow;
            aLast = aNow;
        }
        return aLast;
    }

    // The drawn value of the element the script expression names, against the
    // same text drawn by itself in a box of direction isDir and of the other one.
    void checkDrawn(const QString& isElement, const QString& isDir)
    {
        const QVariantList a = s().js(QStringLiteral("(function(){ const e = %1; if (!e) return [];"
                                                     " e.scrollIntoView({block: 'nearest', inline: 'nearest'});"
                                                     " const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height, e.textContent]; })()")
                                          .arg(isElement))
                                     .toList();
        QVERIFY2(a.size() == 5, qPrintable("no element " + isElement));
        const QRectF aBox(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble());
        const QString sText = a[4].toString();
        QVERIFY2(aBox.width() > 4, qPrintable(isElement));
        const QRectF aArea = aBox.adjusted(-1, 0, 1, 0);
        const QImage aDrawn = ink(capture(aArea));

        auto reference = [&](const QString& isBoxDir) {
            s().js(QStringLiteral("(function(){ const e = %1, c = getComputedStyle(e), b = document.createElement('div');"
                                  " b.id = 'reference'; b.dir = %2; b.textContent = %3;"
                                  " Object.assign(b.style, { position: 'fixed', zIndex: 100000, margin: 0, padding: 0, border: 0,"
                                  "  left: '%4px', top: '%5px', width: '%6px', height: '%7px', background: '#fff', color: c.color,"
                                  "  font: c.font, fontVariantNumeric: c.fontVariantNumeric, letterSpacing: c.letterSpacing,"
                                  "  whiteSpace: 'pre', overflow: 'visible', textAlign: %2 === 'rtl' ? 'right' : 'left' });"
                                  " document.body.append(b); return true; })()")
                       .arg(isElement, PageSession::quoted(isBoxDir), PageSession::quoted(sText))
                       .arg(aBox.left())
                       .arg(aBox.top())
                       .arg(aBox.width())
                       .arg(aBox.height()));
            const QImage aImage = ink(capture(aArea));
            s().js("document.getElementById('reference').remove(); true");
            return aImage;
        };
        const QImage aOwn = reference(isDir);
        const QImage aOther = reference(isDir == "ltr" ? "rtl" : "ltr");
        const double fOwn = distance(aDrawn, aOwn);
        const double fOther = distance(aDrawn, aOther);
        const QString sWhat = QStringLiteral("%1 \"%2\": %3 from its own drawing, %4 from the reversed one")
                                  .arg(isElement, sText)
                                  .arg(fOwn)
                                  .arg(fOther);
        if (!qEnvironmentVariableIsEmpty("VORN_SCREENSHOTS")) {
            const QString sName = qEnvironmentVariable("VORN_SCREENSHOTS") + "/rtl-" + QString::number(qHash(isElement + QTest::currentDataTag()));
            aDrawn.save(sName + "-drawn.png");
            aOwn.save(sName + "-own.png");
            aOther.save(sName + "-other.png");
        }
        QVERIFY2(!aDrawn.isNull(), qPrintable("nothing drawn: " + sWhat));
        // Every value here reads differently in the two directions, so that
        // a value drawn the wrong way round cannot pass.
        QVERIFY2(distance(aOwn, aOther) > 0.3, qPrintable("the two directions draw alike: " + sWhat));
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
        s().js("window.cell = (id, field) => { const c = [...document.querySelectorAll('.list-heading')].map(h => h.dataset.column).indexOf(field);"
               " const r = [...document.querySelectorAll('.list-row:not([hidden])')].find(r => window.vornPage.model.calls[r.dataset.call].id === id);"
               " return r && r.children[c].querySelector('bdi'); };"
               "window.field = key => document.querySelector(`#fields dd[data-field='${key}'] bdi`); true");
        if (nOpenCall) {
            const int nIndex = s().js(QStringLiteral("window.vornPage.model.calls.findIndex(c => c.id === %1)").arg(nOpenCall)).toInt();
            s().click(QStringLiteral(".list-row[data-call='%1']").arg(nIndex));
            s().key(Qt::Key_Return);
            QTRY_VERIFY(!s().js("document.getElementById('call-view').hidden").toBool());
        }
        for (const QString& sElement : saLtr)
            checkDrawn(sElement, "ltr");
        for (const QString& sElement : saRtl)
            checkDrawn(sElement, "rtl");
    }
};

QTEST_MAIN(TestPageRtl)
#include "tst_page_rtl.moc"
