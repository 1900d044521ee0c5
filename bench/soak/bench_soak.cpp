// A simulated day of work in the real window (see SoakRun.h): 500
// recordings loaded, played a moment and unloaded, 100 language switches,
// 200 package cycles and 50 cancelled downloads. Prints the growth of the
// resident memory of all the viewer's processes (its own and the web
// engine's) after the warm-up, their descriptors and threads at the start
// and the end, and the time of the last loads against the first. Takes
// many minutes; needs a display and a sound server (scripts/services).
#include "../BenchFigure.h"
#include "SoakRun.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// The median of the slice (-1 marks a failed load): one slow load on a
// loaded machine says little.
double median(QVector<qint64> iaValues)
{
    iaValues.erase(std::remove(iaValues.begin(), iaValues.end(), -1), iaValues.end());
    if (iaValues.isEmpty())
        return 0;
    std::sort(iaValues.begin(), iaValues.end());
    return double(iaValues.at(iaValues.size() / 2));
}

// The heap of the viewer's own process, in use and free: growth of the free
// part is space the allocator keeps, growth of the part in use is held.
QByteArray heapText()
{
#if defined(__GLIBC__)
    const struct mallinfo2 a = mallinfo2();
    return QByteArray("; heap in use ") + QByteArray::number((a.uordblks + a.hblkhd) / 1048576.0, 'f', 1) + " MB, free "
        + QByteArray::number(a.fordblks / 1048576.0, 'f', 1) + " MB";
#else
    return {};
#endif
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
    soak::SoakRun aRun(aDir.path());
    if (!aRun.warmUp()) {
        std::fprintf(stderr, "warm-up failed\n");
        return 1;
    }
    const soak::Footprint aStart = soak::viewerFootprint();
    const soak::Footprint aOwnStart = soak::ownFootprint();
    int nFailures = 0;
    QVector<qint64> aLoadMs;
    QElapsedTimer aTimer;
    aTimer.start();
    // The memory after every load: its course tells a bounded cache filling
    // up from a steady leak, and the medians of the first and the last tenth
    // ("after the first hour" and "at the end of the day") are not swayed by
    // the allocator's and the web engine's ups and downs of a moment.
    QVector<qint64> aResident;
    aRun.run(aCounts, nFailures, aLoadMs, [&](int inDone) {
        const soak::Footprint aNow = soak::viewerFootprint();
        aResident << aNow.nResident;
        if (inDone % qMax(1, aCounts.nLoads / 10) != 0)
            return;
        std::printf("after %d loads: resident %.1f MB (+%.1f), own process +%.1f MB%s, %d processes\n", inDone,
                    aNow.nResident / 1048576.0, (aNow.nResident - aStart.nResident) / 1048576.0,
                    (soak::ownFootprint().nResident - aOwnStart.nResident) / 1048576.0, heapText().constData(),
                    aNow.nProcesses);
        std::fflush(stdout);
    });
    const double fMinutes = aTimer.elapsed() / 60000.0;
    // Threads that end on their own (pools, the sound library) get a moment.
    soak::Footprint aEnd;
    (void)QTest::qWaitFor([&] { return soak::settled(aStart, aEnd = soak::viewerFootprint()); }, 60000);
    const soak::Footprint aOwnEnd = soak::ownFootprint();
    const double fGrowth = (aEnd.nResident - aStart.nResident) / 1048576.0;
    const double fOwnGrowth = (aOwnEnd.nResident - aOwnStart.nResident) / 1048576.0;
    const int nTenth = qMax(1, aLoadMs.size() / 10);
    const double fTenthsGrowth =
        (median(aResident.mid(aResident.size() - nTenth)) - median(aResident.mid(0, nTenth))) / 1048576.0;
    const double fFirst = median(aLoadMs.mid(0, nTenth));
    const double fLast = median(aLoadMs.mid(aLoadMs.size() - nTenth));
    std::printf("%d loads, %d language switches, %d package cycles, %d cancelled downloads in %.1f min; %d failed\n",
                aCounts.nLoads, aCounts.nLanguageSwitches, aCounts.nPackageCycles, aCounts.nCancelledDownloads,
                fMinutes, nFailures);
    std::printf("viewer processes start/end %d/%d; resident start/end %.1f/%.1f MB (own process %.1f/%.1f MB)\n",
                aStart.nProcesses, aEnd.nProcesses, aStart.nResident / 1048576.0, aEnd.nResident / 1048576.0,
                aOwnStart.nResident / 1048576.0, aOwnEnd.nResident / 1048576.0);
    printFigure("soak: failed operations", figureText("%d", nFailures), "0", nFailures == 0);
    printFigure("soak: resident memory growth, all processes, first to last tenth (medians, MB)",
                figureText("%.1f", fTenthsGrowth), "< 30", fTenthsGrowth < 30);
    printFigure("soak: resident memory growth after warm-up, all processes, end against start (MB)",
                figureText("%.1f", fGrowth), "< 30", fGrowth < 30);
    printFigure("soak: resident memory growth after warm-up, viewer process only (MB)", figureText("%.1f", fOwnGrowth),
                "< 30", fOwnGrowth < 30);
    printFigure("soak: open descriptors of all processes start/end",
                figureText("%d/%d", aStart.nDescriptors, aEnd.nDescriptors), "back to start",
                aEnd.nDescriptors <= aStart.nDescriptors);
    printFigure("soak: threads of all processes start/end", figureText("%d/%d", aStart.nThreads, aEnd.nThreads),
                "back to start", aEnd.nThreads <= aStart.nThreads);
    printFigure("soak: load to playing, first/last tenth (median ms)", figureText("%.0f/%.0f", fFirst, fLast),
                "last within 20 %", fLast <= fFirst * 1.2);
    return 0;
}
