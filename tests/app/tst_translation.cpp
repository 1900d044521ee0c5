// The catalog beside the viewer is chosen by the locale and translates the
// window; without a catalog for the locale the texts stay English.
#include "AudioPlayer.h"
#include "HttpServer.h"
#include "Package.h"
#include "Translation.h"
#include "VornViewer.h"

#include <QAction>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

// The texts of the window's actions, as a user of the locale sees them.
QStringList actionTexts()
{
    Package aPackage;
    HttpServer aServer(&aPackage, 0, nullptr);
    VornViewer aViewer(&aPackage, new AudioPlayer(&aPackage), aServer.serverPort());
    QStringList saTexts;
    for (QAction* pAction : aViewer.findChildren<QAction*>())
        saTexts << pAction->text();
    return saTexts;
}

// Child mode: a fresh process whose system locale comes from its environment.
int printActionTexts(int argc, char** argv)
{
    QApplication aApp(argc, argv);
    QTranslator aTranslator;
    installTranslation(aTranslator, QStringLiteral(VORN_BIN_DIR));
    QTextStream(stdout) << actionTexts().join(QLatin1Char('\n')) << '\n';
    return 0;
}

const char* const kChildMode = "--print-action-texts";

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT
private slots:
    void catalogByLocale_data()
    {
        QTest::addColumn<QString>("sLocale");
        QTest::addColumn<bool>("bInstalled");
        QTest::addColumn<QString>("sText");
        QTest::newRow("German, Germany") << "de_DE" << true << "Startseite (Strg+H)";
        QTest::newRow("German, Switzerland writes ss") << "de_CH" << true << "Vergrössern (Strg++)";
        QTest::newRow("German, Austria") << "de_AT" << true << "Vergrößern (Strg++)";
        QTest::newRow("German, Liechtenstein falls back to German") << "de_LI" << true << "Startseite (Strg+H)";
        QTest::newRow("French, France") << "fr_FR" << true << "Accueil (Ctrl+H)";
        QTest::newRow("French, Belgium falls back to French") << "fr_BE" << true << "Accueil (Ctrl+H)";
        QTest::newRow("Arabic") << "ar_SA" << true << QString::fromUtf8("الصفحة الرئيسية (Ctrl+H)");
        QTest::newRow("Danish") << "da_DK" << true << QString::fromUtf8("Åbn pakke (Ctrl+O)");
        QTest::newRow("Hungarian") << "hu_HU" << true << QString::fromUtf8("Névjegy");
        QTest::newRow("Lithuanian") << "lt_LT" << true << QString::fromUtf8("Atidaryti paketą (Ctrl+O)");
        QTest::newRow("Norwegian") << "nb_NO" << true << QString::fromUtf8("Åpne pakke (Ctrl+O)");
        QTest::newRow("Polish") << "pl_PL" << true << QString::fromUtf8("Otwórz pakiet (Ctrl+O)");
        QTest::newRow("Russian") << "ru_RU" << true << QString::fromUtf8("Открыть пакет (Ctrl+O)");
        QTest::newRow("Slovak") << "sk_SK" << true << QString::fromUtf8("Otvoriť balík (Ctrl+O)");
        QTest::newRow("Slovenian") << "sl_SI" << true << QString::fromUtf8("Odpri paket (Ctrl+O)");
        QTest::newRow("Turkish") << "tr_TR" << true << QString::fromUtf8("Paket aç (Ctrl+O)");
        QTest::newRow("English, Britain") << "en_GB" << true << "Home (Ctrl+H)";
        QTest::newRow("Japanese has no catalog") << "ja_JP" << false << "Home (Ctrl+H)";
    }
    void catalogByLocale()
    {
        QFETCH(QString, sLocale);
        QFETCH(bool, bInstalled);
        QFETCH(QString, sText);
        QLocale::setDefault(QLocale(sLocale));
        QTranslator aTranslator;
        QCOMPARE(installTranslation(aTranslator, QStringLiteral(VORN_BIN_DIR)), bInstalled);
        const QStringList saTexts = actionTexts();
        QCoreApplication::removeTranslator(&aTranslator);
        QVERIFY2(saTexts.contains(sText), qPrintable(saTexts.join(", ")));
    }

    // Qt's own texts (standard buttons) come with the catalog where Qt ships
    // them, and Arabic turns the whole window right to left.
    void wholeWindow_data()
    {
        QTest::addColumn<QString>("sLocale");
        QTest::addColumn<QString>("sCancel");
        QTest::addColumn<Qt::LayoutDirection>("nDirection");
        QTest::newRow("German") << "de_DE" << "Abbrechen" << Qt::LeftToRight;
        QTest::newRow("French") << "fr_FR" << "Annuler" << Qt::LeftToRight;
        QTest::newRow("Arabic") << "ar_SA" << QString::fromUtf8("ألغِ") << Qt::RightToLeft;
        QTest::newRow("Lithuanian: Qt ships no texts") << "lt_LT" << "Cancel" << Qt::LeftToRight;
    }
    void wholeWindow()
    {
        QFETCH(QString, sLocale);
        QFETCH(QString, sCancel);
        QFETCH(Qt::LayoutDirection, nDirection);
        QLocale::setDefault(QLocale(sLocale));
        QTranslator aTranslator;
        QVERIFY(installTranslation(aTranslator, QStringLiteral(VORN_BIN_DIR)));
        const QString sTranslated = QCoreApplication::translate("QPlatformTheme", "Cancel");
        const Qt::LayoutDirection nInstalled = QGuiApplication::layoutDirection();
        QCoreApplication::removeTranslator(&aTranslator);
        QCOMPARE(sTranslated, sCancel);
        QCOMPARE(nInstalled, nDirection);
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    }

    // The system locale of a fresh process, as the shell's environment sets it.
    void systemLocale_data()
    {
        QTest::addColumn<QString>("sVariable");
        QTest::addColumn<QString>("sValue");
        QTest::addColumn<QString>("sText");
        QTest::newRow("LANG French") << "LANG" << "fr_FR.UTF-8" << "Ouvrir un paquet (Ctrl+O)";
        QTest::newRow("LC_ALL French") << "LC_ALL" << "fr_FR.UTF-8" << "Ouvrir un paquet (Ctrl+O)";
        QTest::newRow("LANG Polish") << "LANG" << "pl_PL.UTF-8" << QString::fromUtf8("Otwórz pakiet (Ctrl+O)");
        QTest::newRow("LANG C stays English") << "LANG" << "C" << "Open package (Ctrl+O)";
    }
    void systemLocale()
    {
        QFETCH(QString, sVariable);
        QFETCH(QString, sValue);
        QFETCH(QString, sText);
        QProcessEnvironment aEnvironment = QProcessEnvironment::systemEnvironment();
        for (const char* pName : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            aEnvironment.remove(QLatin1String(pName));
        aEnvironment.insert(sVariable, sValue);
        QProcess aChild;
        aChild.setProcessEnvironment(aEnvironment);
        aChild.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildMode)});
        QVERIFY(aChild.waitForFinished(60000));
        QCOMPARE(aChild.exitCode(), 0);
        const QStringList saTexts = QString::fromUtf8(aChild.readAllStandardOutput()).split(QLatin1Char('\n'));
        QVERIFY2(saTexts.contains(sText), qPrintable(saTexts.join(", ")));
    }

    // An installed viewer finds its catalogs relative to itself; a catalog
    // beside the executable still comes first.
    void installedLayout_data()
    {
        QTest::addColumn<bool>("bBeside");
        QTest::addColumn<bool>("bInstalled");
        QTest::addColumn<QString>("sFound"); // "beside", "installed" or "" for none
        QTest::newRow("installed only") << false << true << "installed";
        QTest::newRow("beside the executable first") << true << true << "beside";
        QTest::newRow("beside only") << true << false << "beside";
        QTest::newRow("neither") << false << false << "";
    }
    void installedLayout()
    {
        QFETCH(bool, bBeside);
        QFETCH(bool, bInstalled);
        QFETCH(QString, sFound);
        QTemporaryDir aRoot;
        const QString sBin = aRoot.filePath("usr/bin");
        const QString sInstalled = aRoot.filePath("usr/share/vorn-viewer/translations");
        QVERIFY(QDir().mkpath(sBin) && QDir().mkpath(sInstalled));
        const QString sCatalog = QStringLiteral(VORN_BIN_DIR "/VornViewer_de_DE.qm");
        if (bBeside)
            QVERIFY(QFile::copy(sCatalog, sBin + "/VornViewer_de_DE.qm"));
        if (bInstalled)
            QVERIFY(QFile::copy(sCatalog, sInstalled + "/VornViewer_de_DE.qm"));
        QLocale::setDefault(QLocale("de_DE"));
        QTranslator aTranslator;
        QCOMPARE(installViewerTranslation(aTranslator, sBin), !sFound.isEmpty());
        QCoreApplication::removeTranslator(&aTranslator);
        const QString sExpected = sFound == "beside" ? sBin : sInstalled;
        if (!sFound.isEmpty())
            QCOMPARE(aTranslator.filePath(), sExpected + "/VornViewer_de_DE.qm");
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], kChildMode) == 0)
        return printActionTexts(argc, argv);
    QApplication aApp(argc, argv);
    TestTranslation aTest;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&aTest, argc, argv);
}

#include "tst_translation.moc"
