// Prints how long a waveform request takes from the request to the PNG
// bytes (SVG generation, rendering and encoding included) for a 60-minute
// stereo WVC recording and a 60-minute 8 kHz WAV recording (PCM16 and A-law)
// in an encrypted package, each right after the package opened and as a zoom
// into one minute after it. Goals: WVC under 100 ms, WAV under 300 ms.
// Usage: bench_waveform [MINUTES]
#include "BenchFigure.h"
#include "FrameEncoder.h"
#include "G711.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WvcWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>

#include <cryptopp/filters.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

// Speech-like: tones under a syllable envelope, pauses, a little noise.
std::vector<int16_t> voice(size_t inCount, int inSeed)
{
    std::vector<int16_t> a(inCount);
    uint32_t nNoise = 12345u + uint32_t(inSeed);
    for (size_t i = 0; i < inCount; ++i) {
        const double t = double(i) / 8000;
        const double fEnvelope = std::max(0.0, std::sin(2 * M_PI * (0.7 + 0.1 * inSeed) * t)) *
                                 (0.5 + 0.5 * std::sin(2 * M_PI * 4 * t));
        nNoise = nNoise * 1103515245u + 12345u;
        const double fValue = fEnvelope * (9000 * std::sin(2 * M_PI * 220 * t) + 4000 * std::sin(2 * M_PI * 670 * t))
                              + double(int(nNoise >> 24) - 128) * 4;
        a[i] = int16_t(std::clamp(fValue, -32768.0, 32767.0));
    }
    return a;
}

QByteArray wav(const std::vector<int16_t>& iaSamples, bool ibAlaw);

double threadCpuMs()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
}

struct Timing
{
    double fWall = 1e300; // ms, best of the runs
    double fCpu = 1e300;  // ms of this thread's CPU time, best of the runs
    double fZoom = 1e300; // ms, a zoom right after the whole recording
    double fSvg = 1e300;  // ms, the SVG generation alone
    double fRead = 1e300; // ms, the member's decryption and inflation alone, streamed (WAV)
    qint64 nPngBytes = 0;
};

// A minute in the middle of the hour.
const QString csZoom = QStringLiteral("zoomstart=1800000&zoomend=1860000");

// The request as the server handles it (after the response header) right
// after the package opened, a zoom after it, and the SVG generation alone,
// each the best of inRuns. Every run reopens the package, so that nothing
// decoded for an earlier run is left.
Timing measure(Package& irPackage, const QString& isPackage, const QString& isPath, int inRuns)
{
    Timing result;
    const auto reopen = [&] { irPackage.openPackage(isPackage, "u", "pw", QString(), false); };
    for (int i = 0; i < inRuns; ++i) {
        reopen();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        const double fCpuStart = threadCpuMs();
        timer.start();
        irPackage.serveFile(isPath, QString(), &buffer);
        result.fWall = std::min(result.fWall, timer.nsecsElapsed() / 1e6);
        result.fCpu = std::min(result.fCpu, threadCpuMs() - fCpuStart);
        result.nPngBytes = buffer.data().size();

        QBuffer zoom;
        zoom.open(QIODevice::WriteOnly);
        timer.restart();
        irPackage.serveFile(isPath, csZoom, &zoom);
        result.fZoom = std::min(result.fZoom, timer.nsecsElapsed() / 1e6);

        reopen();
        QBuffer svg;
        svg.open(QIODevice::WriteOnly);
        timer.restart();
        irPackage.generateWaveformSvg(isPath, QString(), &svg);
        result.fSvg = std::min(result.fSvg, timer.nsecsElapsed() / 1e6);

        QString sMember = isPath;
        sMember.replace(QLatin1String(".svg"), QLatin1String(".wav"));
        timer.restart();
        if (irPackage.pumpMember(sMember, new CryptoPP::BitBucket) == 0)
            result.fRead = std::min(result.fRead, timer.nsecsElapsed() / 1e6);
    }
    return result;
}

QByteArray le32(quint32 inValue)
{
    char a[4];
    qToLittleEndian(inValue, a);
    return QByteArray(a, 4);
}

QByteArray wav(const std::vector<int16_t>& iaSamples, bool ibAlaw)
{
    QByteArray aData;
    if (ibAlaw) {
        aData.resize(int(iaSamples.size()));
        for (size_t i = 0; i < iaSamples.size(); ++i)
            aData[int(i)] = char(WVC::G711::linearToAlaw(iaSamples[i]));
    } else {
        aData.resize(int(iaSamples.size() * 2));
        qToLittleEndian<qint16>(iaSamples.data(), qsizetype(iaSamples.size()), aData.data());
    }
    const QByteArray aFmt = QByteArray("fmt ") + le32(16) + QByteArray::fromHex(ibAlaw ? "06000100" : "01000100")
                            + le32(8000) + le32(ibAlaw ? 8000 : 16000)
                            + QByteArray::fromHex(ibAlaw ? "01000800" : "02001000");
    const QByteArray aChunks = aFmt + "data" + le32(quint32(aData.size())) + aData;
    return "RIFF" + le32(quint32(aChunks.size() + 4)) + "WAVE" + aChunks;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int nMinutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const size_t nSamples = size_t(8000) * 60 * size_t(nMinutes);

    QElapsedTimer prepare;
    prepare.start();
    const std::vector<int16_t> aLeft = voice(nSamples, 0);
    const std::vector<int16_t> aRight = voice(nSamples, 1);
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder("PCM16", 160, sError);
    auto pRight = wvctools::makeFrameEncoder("PCM16", 160, sError);
    wvctools::WvcWriter writer{wvctools::WvcWriterOptions()};
    std::vector<wvctools::WvcPage> aPages;
    if (!writer.write({aLeft, aRight}, {pLeft.get(), pRight.get()}, aPages)) {
        std::fprintf(stderr, "WVC writer failed: %s\n", writer.error().c_str());
        return 1;
    }
    const std::vector<uint8_t> aWvc = wvctools::WvcWriter::join(aPages);
    aPages.clear();

    PackageWriter package;
    package.setPassword("pw");
    package.setUsers("u");
    package.addFile("/app/wave/stereo.wvc", QByteArray(reinterpret_cast<const char*>(aWvc.data()), int(aWvc.size())));
    package.addFile("/app/wave/pcm.wav", wav(aLeft, false));
    package.addFile("/app/wave/alaw.wav", wav(aLeft, true));
    QTemporaryDir dir;
    if (!package.write(dir.filePath("bench.pkg"))) {
        std::fprintf(stderr, "package writer failed\n");
        return 1;
    }
    Package reader;
    if (reader.openPackage(dir.filePath("bench.pkg"), "u", "pw", QString(), false) != 0) {
        std::fprintf(stderr, "cannot open the package\n");
        return 1;
    }
    std::printf("package: %d min, stereo PCM16 WVC of %zu bytes, PCM16 and A-law WAV (prepared in %.1f s)\n",
                nMinutes, aWvc.size(), prepare.elapsed() / 1000.0);

    const std::string sLength = std::to_string(nMinutes) + " min";
    // The machine may be shared: the thread's CPU time shows the cost of the
    // request itself, the wall time what a user waited.
    struct Case
    {
        const char* pLabel;
        const char* pPath;
        std::string sFigure;
        double fGoal;
    };
    const Case aCases[] = {{"WVC stereo:", "/app/wave/stereo.svg", "stereo WVC " + sLength, 100},
                           {"WAV PCM16:", "/app/wave/pcm.svg", "8 kHz PCM16 WAV " + sLength, 300},
                           {"WAV A-law:", "/app/wave/alaw.svg", "8 kHz A-law WAV " + sLength, 300}};
    for (const Case& rCase : aCases) {
        const Timing timing = measure(reader, dir.filePath("bench.pkg"), rCase.pPath, 5);
        std::printf("%-11s %7.1f ms wall, %7.1f ms CPU  (SVG alone %6.1f ms", rCase.pLabel, timing.fWall, timing.fCpu,
                    timing.fSvg);
        if (timing.fRead < 1e300)
            std::printf("; decryption and inflation streamed %6.1f ms", timing.fRead);
        std::printf("; PNG of %lld bytes)\n", static_cast<long long>(timing.nPngBytes));
        const std::string sGoal = figureText("< %.0f ms", rCase.fGoal);
        printFigure("Waveform PNG (wall): " + rCase.sFigure, figureText("%.1f ms", timing.fWall), sGoal,
                    timing.fWall < rCase.fGoal);
        printFigure("Waveform PNG (CPU): " + rCase.sFigure, figureText("%.1f ms", timing.fCpu), sGoal,
                    timing.fCpu < rCase.fGoal);
        printFigure("Waveform PNG zoom after whole (wall): " + rCase.sFigure, figureText("%.1f ms", timing.fZoom));
    }
    return 0;
}
