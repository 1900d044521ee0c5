// Prints the CPU time the whole program spends while the player plays a
// 60-minute stereo WVC recording (8 kHz PCM16) at tempo 2 for 30 s, as a
// share of the audio's duration that was played (60 s); and the same at
// tempo 1 for comparison. Goal at tempo 2: below 2 %.
// Needs a sound server (run it under scripts/services, whose PulseAudio has
// a null sink as its default output).
// Usage: bench_tempo [MINUTES] [SECONDS]
#include "AudioPlayer.h"
#include "BenchFigure.h"
#include "FrameEncoder.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WvcWriter.h"

#include <QApplication>
#include <QAudioDeviceInfo>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

namespace {

std::vector<int16_t> voice(size_t inCount, int inSeed)
{
    std::vector<int16_t> a(inCount);
    uint32_t nNoise = 777u + uint32_t(inSeed);
    for (size_t i = 0; i < inCount; ++i) {
        const double t = double(i) / 8000;
        const double fEnvelope = 0.3 + 0.7 * std::max(0.0, std::sin(2 * M_PI * (0.7 + 0.1 * inSeed) * t));
        nNoise = nNoise * 1103515245u + 12345u;
        a[i] = int16_t(fEnvelope * (9000 * std::sin(2 * M_PI * 220 * t) + 3000 * std::sin(2 * M_PI * 670 * t))
                       + int(nNoise >> 24) - 128);
    }
    return a;
}

double processCpuSeconds()
{
    rusage aUsage {};
    getrusage(RUSAGE_SELF, &aUsage);
    return double(aUsage.ru_utime.tv_sec + aUsage.ru_stime.tv_sec)
        + double(aUsage.ru_utime.tv_usec + aUsage.ru_stime.tv_usec) / 1e6;
}

void wait(int inMilliseconds)
{
    QEventLoop aLoop;
    QTimer::singleShot(inMilliseconds, &aLoop, &QEventLoop::quit);
    aLoop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication aApp(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const int nMinutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int nSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
    if (QAudioDeviceInfo::defaultOutputDevice().isNull()) {
        std::fprintf(stderr, "bench_tempo: no sound device; run it under scripts/services\n");
        return 1;
    }

    QElapsedTimer aPrepare;
    aPrepare.start();
    const size_t nSamples = size_t(nMinutes) * 60 * 8000;
    const std::vector<std::vector<int16_t>> aChannels { voice(nSamples, 0), voice(nSamples, 1) };
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder("PCM16", 160, sError);
    auto pRight = wvctools::makeFrameEncoder("PCM16", 160, sError);
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter { wvctools::WvcWriterOptions() };
    if (!aWriter.write(aChannels, { pLeft.get(), pRight.get() }, aPages)) {
        std::fprintf(stderr, "bench_tempo: %s\n", aWriter.error().c_str());
        return 1;
    }
    const std::vector<uint8_t> aWvc = wvctools::WvcWriter::join(aPages);
    QTemporaryDir aDir;
    PackageWriter aPackageWriter;
    aPackageWriter.addFile("/app/js/data/calls.js", "var gCalls=[];");
    aPackageWriter.addFile("/app/wave/long.wvc", QByteArray(reinterpret_cast<const char*>(aWvc.data()), int(aWvc.size())));
    Package aPackage;
    if (!aPackageWriter.write(aDir.filePath("bench.pkg"))
        || aPackage.openPackage(aDir.filePath("bench.pkg"), "", "", QString(), false) != 0) {
        std::fprintf(stderr, "bench_tempo: cannot write or open the package\n");
        return 1;
    }
    std::printf("recording: %d min stereo PCM16 WVC at 8000 Hz, %zu bytes (prepared in %.1f s)\n", nMinutes,
                aWvc.size(), aPrepare.elapsed() / 1000.0);

    AudioPlayer aPlayer(&aPackage);
    for (double fTempo : { 2.0, 1.0 }) {
        aPlayer.loadFromPackage(QString("long.wvc?timestamp=1&tempo=%1").arg(fTempo), "1");
        wait(2000); // header, output and the first buffers
        const qint64 nStartPosition = aPlayer.property("nPosition").toLongLong();
        const double fCpuBefore = processCpuSeconds();
        QElapsedTimer aWall;
        aWall.start();
        wait(nSeconds * 1000);
        const double fCpu = processCpuSeconds() - fCpuBefore;
        const double fWall = aWall.elapsed() / 1000.0;
        const qint64 nPlayed = aPlayer.property("nPosition").toLongLong() - nStartPosition;
        aPlayer.unload();
        const double fAudio = fWall * fTempo;
        const double fShare = 100.0 * fCpu / fAudio;
        std::printf("tempo %.1f: %.1f s of playing, %.1f s of audio (position moved %.1f s), CPU %.3f s = %.2f %%\n",
                    fTempo, fWall, fAudio, nPlayed / 1000.0, fCpu, fShare);
        const std::string sWhat = figureText("CPU while playing %d min stereo at %.0fx, share of audio played",
                                             nMinutes, fTempo);
        if (fTempo == 2.0)
            printFigure(sWhat, figureText("%.2f %%", fShare), "< 2 %", fShare < 2.0);
        else
            printFigure(sWhat, figureText("%.2f %%", fShare));
    }
    return 0;
}
