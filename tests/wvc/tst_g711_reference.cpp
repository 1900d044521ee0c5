// The A-law and µ-law expansion used for WVC PCMA/PCMU frames, code by code,
// against an independent decoder (sox), so that a wrong entry in our table
// cannot hide behind a test that expands with the same table.
#include "G711.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestG711Reference : public QObject
{
    Q_OBJECT
private slots:
    void everyCodeAsSoxExpandsIt_data()
    {
        QTest::addColumn<QString>("sEncoding");
        QTest::newRow("A-law") << "a-law";
        QTest::newRow("mu-law") << "u-law";
    }
    void everyCodeAsSoxExpandsIt()
    {
        QFETCH(QString, sEncoding);
        QTemporaryDir aDir;
        const QString sCodes = aDir.filePath("codes.raw");
        QByteArray aCodes;
        for (int i = 0; i < 256; ++i)
            aCodes += char(i);
        QFile aFile(sCodes);
        QVERIFY(aFile.open(QIODevice::WriteOnly));
        QCOMPARE(aFile.write(aCodes), qint64(256));
        aFile.close();

        QProcess aSox;
        aSox.start("sox", { "-t", "raw", "-e", sEncoding, "-b", "8", "-r", "8000", "-c", "1", sCodes,
                            "-t", "raw", "-e", "signed-integer", "-b", "16", "-L", "-" });
        QVERIFY2(aSox.waitForFinished(30000), "sox is not installed (scripts/setup installs it)");
        QCOMPARE(aSox.exitCode(), 0);
        const QByteArray aPcm = aSox.readAllStandardOutput();
        QCOMPARE(aPcm.size(), 512);
        for (int i = 0; i < 256; ++i) {
            qint16 nExpected = qFromLittleEndian<qint16>(aPcm.constData() + 2 * i);
            // µ-law's negative zero: the decoder keeps it apart from 0xFF (as
            // -1) so that compressing the sample again gives 0x7F back.
            if (sEncoding == "u-law" && i == 0x7F) {
                QCOMPARE(nExpected, qint16(0));
                nExpected = -1;
            }
            const qint16 nOurs = sEncoding == "a-law" ? WVC::G711::alawToLinear(uint8_t(i))
                                                      : WVC::G711::ulawToLinear(uint8_t(i));
            QVERIFY2(nOurs == nExpected, qPrintable(QStringLiteral("code 0x%1: ours %2, sox %3")
                                                        .arg(i, 2, 16, QLatin1Char('0')).arg(nOurs).arg(nExpected)));
        }
    }
};

QTEST_GUILESS_MAIN(TestG711Reference)
#include "tst_g711_reference.moc"
