// A tenth of the soak benchmark's day of work in the real window: every
// operation completes, and the open descriptors and threads of the viewer's
// processes (its own and the web engine's) return to their counts after
// the warm-up (memory and speed are the benchmark's figures).
#include "../../bench/soak/SoakRun.h"

#include <QTemporaryDir>

namespace {

QByteArray describe(const soak::Footprint& irStart, const soak::Footprint& irEnd)
{
    return QStringLiteral("processes %1/%2, descriptors %3/%4, threads %5/%6 (start/end)")
        .arg(irStart.nProcesses)
        .arg(irEnd.nProcesses)
        .arg(irStart.nDescriptors)
        .arg(irEnd.nDescriptors)
        .arg(irStart.nThreads)
        .arg(irEnd.nThreads)
        .toUtf8();
}

} // namespace

class TestSoakShort : public QObject
{
    Q_OBJECT
private slots:
    void descriptorsAndThreadsReturn()
    {
        QTemporaryDir aDir;
        QVERIFY(aDir.isValid());
        soak::SoakRun aRun(aDir.path());
        QVERIFY(aRun.warmUp());
        const soak::Footprint aStart = soak::viewerFootprint();
        // The web engine's helpers are counted with the viewer.
        QVERIFY2(aStart.nProcesses > 1, describe(aStart, aStart));
        int nFailures = 0;
        QVector<qint64> aLoadMs;
        aRun.run({ 50, 10, 20, 5 }, nFailures, aLoadMs);
        QCOMPARE(nFailures, 0);
        QCOMPARE(aLoadMs.size(), 50);
        // Threads that end on their own (the sound library's, the web
        // engine's pools) get time.
        soak::Footprint aEnd;
        const bool bSettled = QTest::qWaitFor([&] { return soak::settled(aStart, aEnd = soak::viewerFootprint()); }, 60000);
        qInfo().noquote() << describe(aStart, aEnd);
        QVERIFY2(bSettled, describe(aStart, aEnd));
    }
};

QTEST_MAIN(TestSoakShort)
#include "tst_soak_short.moc"
