// Every locale of the locale menu, as a reader meets it. Per locale: the
// window's catalog beside the viewer loads and gives every text of its
// source catalog; the page, switched through the menu with the mouse, takes
// the locale's language and direction and draws its known texts in the
// locale's words; and the catalog the server hands the page translates
// every text of the page as the source catalog does. Missing, emptied or
// incomplete catalogs fail here, since the page and the window otherwise
// stay English without a word.
#include "LogMessageHandler.h"
#include "PageSession.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The locales the reader can choose.
const QStringList gsaLocales { "ar_SA", "da_DK", "de_AT", "de_CH", "de_DE", "en_AU", "en_GB", "en_IE", "en_US", "fr_CH",
    "fr_FR", "hu_HU", "lt_LT", "nb_NO", "pl_PL", "ru_RU", "sk_SK", "sl_SI", "tr_TR" };

using PoEntries = QMap<QString, QStringList>; // msgid -> translated forms

QString unquotePo(const QString& isLine)
{
    const int nOpen = isLine.indexOf('"');
    const int nClose = isLine.lastIndexOf('"');
    QString s;
    for (int i = nOpen + 1; i < nClose; ++i) {
        QChar c = isLine.at(i);
        if (c == '\\' && i + 1 < nClose) {
            c = isLine.at(++i);
            c = c == 'n' ? QChar('\n') : c == 't' ? QChar('\t') : c;
        }
        s += c;
    }
    return s;
}

// The entries of a gettext source catalog that are in use (not "#~").
bool readPo(const QString& isPath, PoEntries& irEntries)
{
    QFile aFile(isPath);
    if (!aFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QString sId;
    QStringList saForms;
    bool bInId = false;
    bool bHave = false;
    auto finish = [&] {
        if (bHave && !sId.isEmpty())
            irEntries[sId] = saForms;
    };
    for (const QString& sRaw : QString::fromUtf8(aFile.readAll()).split('\n')) {
        const QString sLine = sRaw.trimmed();
        if (sLine.isEmpty() || sLine.startsWith('#'))
            continue;
        if (sLine.startsWith("msgid ")) {
            finish();
            sId = unquotePo(sLine);
            saForms.clear();
            bInId = bHave = true;
        } else if (sLine.startsWith("msgid_plural")) {
            bInId = false;
        } else if (sLine.startsWith("msgstr")) {
            saForms << unquotePo(sLine);
            bInId = false;
        } else if (sLine.startsWith('"')) {
            if (bInId)
                sId += unquotePo(sLine);
            else if (!saForms.isEmpty())
                saForms.last() += unquotePo(sLine);
        }
    }
    finish();
    return true;
}

struct NativeText
{
    QString sTranslation;
    bool bFinished = false;
};
using NativeKey = QPair<QString, QString>; // context, source

// The messages of a Qt source catalog that are in use.
bool readTs(const QString& isPath, QMap<NativeKey, NativeText>& irTexts)
{
    QFile aFile(isPath);
    if (!aFile.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader aXml(&aFile);
    QString sContext, sSource;
    while (!aXml.atEnd()) {
        if (aXml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (aXml.name() == QLatin1String("name")) {
            sContext = aXml.readElementText();
        } else if (aXml.name() == QLatin1String("source")) {
            sSource = aXml.readElementText();
        } else if (aXml.name() == QLatin1String("translation")) {
            const QString sType = aXml.attributes().value("type").toString();
            const QString sText = aXml.readElementText();
            if (sType != "obsolete" && sType != "vanished")
                irTexts[{ sContext, sSource }] = { sText, sType.isEmpty() && !sText.isEmpty() };
        }
    }
    return !aXml.hasError() && !irTexts.isEmpty();
}

QString writePackage(const QString& isPath)
{
    const QDateTime tStart(QDate(2026, 3, 14), QTime(9, 26, 53));
    QList<CallRecord> aCalls;
    aCalls << CallRecord { 1, tStart, "in", "+49 30 5550 1234", "+49 89 2000 0101", "Agent Berger", 4, 0x18, "", QString() };
    aCalls << CallRecord { 2, tStart.addDays(-1), "out", "+49 89 2000 0102", "+44 20 7946 0018", "Agent Olsen", 3, 0x18, "", QString() };
    QByteArray aLocales;
    for (const QString& sLocale : gsaLocales)
        aLocales += (aLocales.isEmpty() ? "" : ",") + ("\"" + sLocale + "\":1").toUtf8();
    PackageWriter aWriter;
    aWriter.setSettings("default_locale=en_GB");
    aWriter.addFile("/app/js/data/calls.js", "var gCalls=[" + aCalls[0].json() + ",\n" + aCalls[1].json() + "];");
    aWriter.addFile("/app/js/data/locales.js", "var gLocales={" + aLocales + "};");
    aWriter.write(isPath);
    return isPath;
}

// Lists the first few of the problems for a failure message.
QString firstOf(const QStringList& isaProblems)
{
    return QStringLiteral("%1 problems: %2").arg(isaProblems.size()).arg(isaProblems.mid(0, 5).join(" | "));
}

} // namespace

class TestPageLocales : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;
    QSet<NativeKey> maNativeKeys; // every window text of any catalog
    QStringList maPageTexts;      // every page text

    PageSession& s() { return *mpSession; }

    QMenu* localeMenu() { return s().mpViewer->findChild<QToolBar*>()->actions().at(4)->menu(); }

    // Opens the locale menu with the mouse and clicks the entry of isCode.
    bool chooseWithMouse(const QString& isCode)
    {
        QToolBar* pBar = s().mpViewer->findChild<QToolBar*>();
        QMenu* pMenu = localeMenu();
        auto* pButton = qobject_cast<QToolButton*>(pBar->widgetForAction(pMenu->menuAction()));
        QAction* pChoice = nullptr;
        for (QAction* pAction : pMenu->actions())
            if (pAction->text().endsWith("(" + isCode + ")"))
                pChoice = pAction;
        if (!pButton || !pChoice)
            return false;
        // The button's press shows the menu in a loop of its own: the entry
        // is clicked from a timer once the menu is up.
        bool bChosen = false;
        QTimer aPicker;
        connect(&aPicker, &QTimer::timeout, this, [&] {
            if (!pMenu->isVisible() || pMenu->actionGeometry(pChoice).isEmpty())
                return;
            aPicker.stop();
            QTest::mouseClick(pMenu, Qt::LeftButton, Qt::NoModifier, pMenu->actionGeometry(pChoice).center());
            bChosen = true;
        });
        aPicker.start(50);
        s().js("document.body.classList.remove('ready'); true");
        // A button with a default action opens its menu from the arrow at its end.
        const QPoint aAt = pButton->popupMode() == QToolButton::MenuButtonPopup
            ? QPoint(pButton->layoutDirection() == Qt::RightToLeft ? 3 : pButton->width() - 3, pButton->height() / 2)
            : pButton->rect().center();
        QTest::mouseClick(pButton, Qt::LeftButton, Qt::NoModifier, aAt);
        return QTest::qWaitFor([&] { return bChosen; }, cnRoundTripMs);
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        for (const QString& sLocale : gsaLocales) {
            QMap<NativeKey, NativeText> aTexts;
            readTs(QStringLiteral(VORN_SOURCE_DIR "/resources/translations/VornViewer_%1.ts").arg(sLocale), aTexts);
            for (auto it = aTexts.cbegin(); it != aTexts.cend(); ++it)
                maNativeKeys.insert(it.key());
        }
        PoEntries aTemplate;
        QVERIFY(readPo(VORN_SOURCE_DIR "/resources/web/i18n/ui.pot", aTemplate));
        maPageTexts = aTemplate.keys();
        QVERIFY(maNativeKeys.size() > 50);
        QVERIFY(maPageTexts.size() > 50);

        mpSession = new PageSession();
        QVERIFY(s().open(writePackage(maDir.filePath("locales.pkg"))) >= 0);
    }
    void cleanupTestCase() { delete mpSession; }

    // The menu offers each locale once, by a label that names its code.
    void menuOffersEveryLocale()
    {
        QStringList saOffered;
        for (QAction* pAction : localeMenu()->actions())
            saOffered << pAction->text().section('(', -1).chopped(1);
        saOffered.sort();
        QCOMPARE(saOffered, gsaLocales);
    }

    void everyLocale_data()
    {
        QTest::addColumn<QString>("sLocale");
        for (const QString& sLocale : gsaLocales)
            QTest::newRow(qPrintable(sLocale)) << sLocale;
    }
    void everyLocale()
    {
        QFETCH(QString, sLocale);

        // The window: the source catalog gives every text, and the catalog
        // built from it loads beside the viewer and gives the same.
        QMap<NativeKey, NativeText> aNative;
        QVERIFY2(readTs(QStringLiteral(VORN_SOURCE_DIR "/resources/translations/VornViewer_%1.ts").arg(sLocale), aNative),
            "no readable window catalog");
        QTranslator aTranslator;
        QVERIFY2(aTranslator.load(QStringLiteral(VORN_BIN_DIR "/VornViewer_%1.qm").arg(sLocale)), "the built window catalog does not load");
        QStringList saProblems;
        for (const NativeKey& aKey : qAsConst(maNativeKeys)) {
            const NativeText aText = aNative.value(aKey);
            if (!aText.bFinished)
                saProblems << "untranslated " + aKey.second;
            else if (aTranslator.translate(qPrintable(aKey.first), qPrintable(aKey.second)) != aText.sTranslation)
                saProblems << "built catalog differs on " + aKey.second;
        }
        QVERIFY2(saProblems.isEmpty(), qPrintable(firstOf(saProblems)));

        // The page's source catalog gives every text.
        PoEntries aPage;
        QVERIFY2(readPo(QStringLiteral(VORN_SOURCE_DIR "/resources/web/i18n/%1.po").arg(sLocale), aPage), "no page catalog");
        for (const QString& sText : qAsConst(maPageTexts)) {
            const QStringList saForms = aPage.value(sText);
            if (saForms.isEmpty() || saForms.contains(QString()))
                saProblems << "untranslated " + sText;
        }
        QVERIFY2(saProblems.isEmpty(), qPrintable(firstOf(saProblems)));

        // Switched through the menu, the page speaks the locale.
        QVERIFY2(chooseWithMouse(sLocale), "no menu entry to click");
        QVERIFY2(s().waitReady() >= 0, "the page did not come back");
        const QString sDirection = sLocale.startsWith("ar_") ? "rtl" : "ltr";
        QCOMPARE(s().js("document.documentElement.lang + ' ' + document.documentElement.dir").toString(),
            QString(sLocale).replace('_', '-') + ' ' + sDirection);
        const QStringList saDrawn = s().js("(function(){ const q = s => document.querySelector(s);"
                                           " return [document.title, q('#app-title').textContent, q('#help-button').textContent,"
                                           "  q('#search').placeholder, q('#filter-direction').options[0].text,"
                                           "  q('.list-heading[data-column=caller] span').textContent,"
                                           "  q('.list-heading[data-column=duration] span').textContent]; })()")
                                        .toStringList();
        const auto word = [&](const char* ipText) { return aPage.value(ipText).value(0); };
        const QStringList saExpected { word("Calls") + " – " + word("VORN Viewer"), word("Calls"), word("Keyboard shortcuts"),
            word("Search all fields (press /)"), word("All directions"), word("Caller"), word("Duration") };
        QCOMPARE(saDrawn, saExpected);

        // The catalog the server hands the page, read by the page's own reader.
        s().js("window.servedCatalog = undefined;"
               " import('/app/js/i18n.js').then(m => fetch(m.catalogPath(m.currentLocale()))"
               "  .then(r => { if (!r.ok) throw new Error('HTTP ' + r.status); return r.arrayBuffer(); })"
               "  .then(b => { window.servedCatalog = JSON.stringify(Object.fromEntries(m.parseMo(b).messages)); }))"
               " .catch(e => { window.servedCatalog = 'failed: ' + e.message; }); true");
        QString sServed;
        QVERIFY(QTest::qWaitFor([&] {
            sServed = s().js("window.servedCatalog || ''").toString();
            return !sServed.isEmpty();
        }, cnRoundTripMs));
        const QJsonObject aServed = QJsonDocument::fromJson(sServed.toUtf8()).object();
        QVERIFY2(!aServed.isEmpty(), qPrintable(sServed.left(200)));
        for (const QString& sText : qAsConst(maPageTexts))
            if (aServed.value(sText).toVariant().toStringList() != aPage.value(sText))
                saProblems << "served catalog differs on " + sText;
        QVERIFY2(saProblems.isEmpty(), qPrintable(firstOf(saProblems)));
    }
};

QTEST_MAIN(TestPageLocales)
#include "tst_page_locales.moc"
