// A simulated day of work on the native side (see SoakRun.h): 500
// recordings loaded, played a moment and unloaded, 100 language switches,
// 200 package cycles and 50 cancelled downloads. Prints the growth of the
// resident memory after the warm-up, descriptors and threads at the start
// and the end, and the time of the last loads against the first. Takes a
// few minutes; needs a display and a sound server (scripts/services).
#include "../BenchFigure.h"
#include "SoakRun.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>

namespace {

double meanMs(QVector<qint64> iaMs)
{
    iaMs.erase(std::remove(iaMs.begin(), iaMs.end(), -1), iaMs.end());
    if (iaMs.isEmpty())
        return 0;
    // The median of the slice: one slow load on a loaded machine says little.
    std::sort(iaMs.begin(), iaMs.end());
    return double(iaMs.at(iaMs.size() / 2));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication aApp(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    soak::Counts aCounts;
    if (argc > 1) { // a divisor, for a quick look: "bench_soak 10"
        const int nDivisor = qMax(1, QString::fromLocal8Bit(argv[1]).toInt());
        aCounts = { aCounts.nLoads / nDivisor, aCounts.nLanguageSwitches / nDivisor,
                    aCounts.nPackageCycles / nDivisor, aCounts.nCancelledDownloads / nDivisor };
    }
    QTemporaryDir aDir;
    soak::SoakRun aRun(aDir.path(), QStringLiteral(VORN_CATALOGS));
    if (!aRun.warmUp()) {
        std::fprintf(stderr, "warm-up failed\n");
        return 1;
    }
    const qint64 nMemory = soak::residentBytes();
    const int nDescriptors = soak::openDescriptors();
    const int nThreads = soak::threads();
    int nFailures = 0;
    QVector<qint64> aLoadMs;
    QElapsedTimer aTimer;
    aTimer.start();
    aRun.run(aCounts, nFailures, aLoadMs);
    const double fMinutes = aTimer.elapsed() / 60000.0;
    // Threads that end on their own (pools, the sound library) get a moment.
    (void)QTest::qWaitFor([&] { return soak::threads() <= nThreads; }, 10000);
    const double fGrowth = (soak::residentBytes() - nMemory) / 1048576.0;
    const int nTenth = qMax(1, aLoadMs.size() / 10);
    const double fFirst = meanMs(aLoadMs.mid(0, nTenth));
    const double fLast = meanMs(aLoadMs.mid(aLoadMs.size() - nTenth));
    std::printf("%d loads, %d language switches, %d package cycles, %d cancelled downloads in %.1f min; %d failed\n",
                aCounts.nLoads, aCounts.nLanguageSwitches, aCounts.nPackageCycles, aCounts.nCancelledDownloads,
                fMinutes, nFailures);
    printFigure("soak: failed operations", figureText("%d", nFailures), "0", nFailures == 0);
    printFigure("soak: resident memory growth after warm-up (MB)", figureText("%.1f", fGrowth), "< 30", fGrowth < 30);
    printFigure("soak: open descriptors start/end",
                figureText("%d/%d", nDescriptors, soak::openDescriptors()), "equal",
                soak::openDescriptors() == nDescriptors);
    printFigure("soak: threads start/end", figureText("%d/%d", nThreads, soak::threads()), "equal",
                soak::threads() == nThreads);
    printFigure("soak: load to playing, first/last tenth (median ms)", figureText("%.0f/%.0f", fFirst, fLast),
                "last within 20 %", fLast <= fFirst * 1.2);
    return 0;
}
