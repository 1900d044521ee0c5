// The catalog beside the viewer is chosen by the locale and translates the
// window; without a catalog for the locale the texts stay English.
#include "AudioPlayer.h"
#include "HttpServer.h"
#include "Package.h"
#include "Translation.h"
#include "VornViewer.h"

#include <QAction>
#include <QTranslator>
#include <QtTest>

class TestTranslation : public QObject
{
    Q_OBJECT
private slots:
    void catalogByLocale_data()
    {
        QTest::addColumn<QString>("sLocale");
        QTest::addColumn<bool>("bInstalled");
        QTest::addColumn<QString>("sHome");
        QTest::newRow("German, Germany") << "de_DE" << true << "Startseite (Strg+H)";
        QTest::newRow("German, Austria falls back to German") << "de_AT" << true << "Startseite (Strg+H)";
        QTest::newRow("French has no catalog") << "fr_FR" << false << "Home (Ctrl+H)";
    }
    void catalogByLocale()
    {
        QFETCH(QString, sLocale);
        QFETCH(bool, bInstalled);
        QFETCH(QString, sHome);
        QLocale::setDefault(QLocale(sLocale));
        QTranslator aTranslator;
        QCOMPARE(installTranslation(aTranslator, QStringLiteral(VORN_BIN_DIR)), bInstalled);

        Package aPackage;
        HttpServer aServer(&aPackage, 0, nullptr);
        VornViewer aViewer(&aPackage, new AudioPlayer(&aPackage), aServer.serverPort());
        QStringList saTexts;
        for (QAction* pAction : aViewer.findChildren<QAction*>())
            saTexts << pAction->text();
        QVERIFY2(saTexts.contains(sHome), qPrintable(saTexts.join(", ")));
        QCoreApplication::removeTranslator(&aTranslator);
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
