// A tenth of the soak benchmark's day of work: every operation completes,
// and open descriptors and threads return to their counts after the
// warm-up (memory and speed are the benchmark's figures).
#include "../../bench/soak/SoakRun.h"

#include <QTemporaryDir>

class TestSoakShort : public QObject
{
    Q_OBJECT
private slots:
    void descriptorsAndThreadsReturn()
    {
        QTemporaryDir aDir;
        QVERIFY(aDir.isValid());
        soak::SoakRun aRun(aDir.path(), QStringLiteral(VORN_BIN_DIR));
        QVERIFY(aRun.warmUp());
        const int nDescriptors = soak::openDescriptors();
        const int nThreads = soak::threads();
        int nFailures = 0;
        QVector<qint64> aLoadMs;
        aRun.run({ 50, 10, 20, 5 }, nFailures, aLoadMs);
        QCOMPARE(nFailures, 0);
        QCOMPARE(aLoadMs.size(), 50);
        // Threads that end on their own (the sound library's, pools) get time.
        QVERIFY(QTest::qWaitFor([&] { return soak::threads() <= nThreads; }, 30000));
        QCOMPARE(soak::threads(), nThreads);
        QCOMPARE(soak::openDescriptors(), nDescriptors);
    }
};

QTEST_MAIN(TestSoakShort)
#include "tst_soak_short.moc"
