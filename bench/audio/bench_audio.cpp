// Playback and download costs of long recordings: the time from
// loadFromPackage to the first PCM the sound device takes, the CPU time of
// 30 s of playing (load included), and the speed of saving as WAV, for a
// 60-minute stereo Opus WVC and a 60-minute 8 kHz A-law WAV. Needs a sound
// server (scripts/services starts one); the packages are cached in the
// temporary folder because encoding an hour of Opus takes a while.
#include "AudioPlayer.h"
#include "BenchFigure.h"
#include "FrameEncoder.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WvcWriter.h"

#include <QApplication>
#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTimer>

#include <sys/resource.h>

#include <cmath>
#include <functional>

namespace {

constexpr int cnMinutes = 60;

// Runs the event loop (blocking in it, not spinning) until ibDone or the
// time is up.
void runUntil(const std::function<bool()>& ibDone, int inMilliseconds)
{
    QEventLoop aLoop;
    QTimer aCheck;
    QObject::connect(&aCheck, &QTimer::timeout, &aLoop, [&] {
        if (ibDone && ibDone())
            aLoop.quit();
    });
    if (ibDone)
        aCheck.start(20); // not while playing: its wake-ups would count as the player's
    QTimer::singleShot(inMilliseconds, &aLoop, &QEventLoop::quit);
    aLoop.exec();
}

double cpuSeconds()
{
    rusage aUsage {};
    getrusage(RUSAGE_SELF, &aUsage);
    return double(aUsage.ru_utime.tv_sec + aUsage.ru_stime.tv_sec)
        + double(aUsage.ru_utime.tv_usec + aUsage.ru_stime.tv_usec) / 1e6;
}

std::vector<int16_t> voice(size_t inCount, int inRate, int inSeed)
{
    std::vector<int16_t> a(inCount);
    uint32_t nNoise = 99u + uint32_t(inSeed);
    for (size_t i = 0; i < inCount; ++i) {
        nNoise = nNoise * 1664525u + 1013904223u;
        const double t = double(i) / inRate;
        const double fLoud = 0.2 + 0.8 * std::fabs(std::sin(2.3 * t + inSeed));
        a[i] = int16_t(fLoud * (5000 * std::sin(2 * M_PI * (180 + 40 * inSeed) * t)
                                + 2000 * std::sin(2 * M_PI * 900 * t)) + int(nNoise >> 22) - 512);
    }
    return a;
}

QByteArray alawByte(int16_t inSample)
{
    int n = inSample;
    int nSign = 0x80;
    if (n < 0) {
        nSign = 0;
        n = -n - 1;
    }
    int nExponent = 7;
    for (int nMask = 0x4000; (n & nMask) == 0 && nExponent > 0; nMask >>= 1)
        --nExponent;
    const int nMantissa = (n >> (nExponent == 0 ? 4 : nExponent + 3)) & 0x0F;
    return QByteArray(1, char((nSign | (nExponent << 4) | nMantissa) ^ 0x55));
}

QByteArray le(quint32 inValue, int inBytes)
{
    QByteArray a(inBytes, 0);
    for (int i = 0; i < inBytes; ++i)
        a[i] = char((inValue >> (8 * i)) & 0xFF);
    return a;
}

// The package with both recordings, written once and kept.
QString benchPackage()
{
    const QString sPath = QDir::temp().filePath(QStringLiteral("vorn-bench-audio-%1min.pkg").arg(cnMinutes));
    if (QFile::exists(sPath))
        return sPath;
    std::printf("writing %s (once) ...\n", qPrintable(sPath));
    std::fflush(stdout);
    PackageWriter aWriter;
    aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];");

    const int nWavRate = 8000;
    const std::vector<int16_t> aMono = voice(size_t(nWavRate) * 60 * cnMinutes, nWavRate, 1);
    QByteArray aAlaw;
    aAlaw.reserve(int(aMono.size()));
    for (int16_t n : aMono)
        aAlaw += alawByte(n);
    QByteArray aWav = "RIFF" + le(quint32(36 + aAlaw.size()), 4) + "WAVE" + "fmt " + le(16, 4) + le(6, 2) + le(1, 2)
        + le(nWavRate, 4) + le(nWavRate, 4) + le(1, 2) + le(8, 2) + "data" + le(quint32(aAlaw.size()), 4) + aAlaw;
    aWriter.addFile("/app/wave/long.wav", aWav);

    const int nRate = 16000;
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = nRate;
    aOptions.nSamplesPerFrame = nRate / 50;
    std::vector<std::vector<int16_t>> aChannels { voice(size_t(nRate) * 60 * cnMinutes, nRate, 2),
                                                  voice(size_t(nRate) * 60 * cnMinutes, nRate, 3) };
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder("opus", nRate, aOptions.nSamplesPerFrame, sError);
    auto pRight = wvctools::makeFrameEncoder("opus", nRate, aOptions.nSamplesPerFrame, sError);
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWvc(aOptions);
    if (!pLeft || !pRight || !aWvc.write(aChannels, { pLeft.get(), pRight.get() }, aPages))
        qFatal("cannot write the WVC recording: %s", sError.c_str());
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    aWriter.addFile("/app/wave/long.wvc", QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size())));
    const QString sPart = sPath + ".part";
    if (!aWriter.write(sPart) || !QFile::rename(sPart, sPath))
        qFatal("cannot write %s", qPrintable(sPath));
    return sPath;
}

void play(AudioPlayer& irPlayer, const QString& isName, const char* ipWhat)
{
    const double fCpuStart = cpuSeconds();
    QElapsedTimer aClock;
    aClock.start();
    irPlayer.unload();
    irPlayer.loadFromPackage(isName, "1");
    const qint64 nLoadCall = aClock.elapsed();
    auto* pOutput = irPlayer.findChild<QAudioOutput*>();
    if (!pOutput) {
        printFigure(std::string(ipWhat) + ": first audio", "no output", "< 250 ms", 0);
        return;
    }
    // The first PCM written leaves the device's buffer less than free.
    qint64 nFirst = -1;
    QTimer aPoll;
    QObject::connect(&aPoll, &QTimer::timeout, [&] {
        if (nFirst < 0 && pOutput->bytesFree() < pOutput->bufferSize())
            nFirst = aClock.elapsed();
    });
    aPoll.start(1);
    runUntil([&] { return nFirst >= 0; }, 5000);
    aPoll.stop();
    // The poll itself is not part of the cost: measure from here on the
    // playing alone, plus the load measured so far.
    const double fLoadCpu = cpuSeconds() - fCpuStart;
    const double fCpuPlay = cpuSeconds();
    QElapsedTimer aPlaying;
    aPlaying.start();
    runUntil(nullptr, int(30000 - aClock.elapsed()));
    const double fCpu = fLoadCpu + (cpuSeconds() - fCpuPlay);
    const double fAudio = aClock.elapsed() / 1000.0;
    const qint64 nPosition = irPlayer.property("nPosition").toLongLong();
    irPlayer.unload();
    printFigure(std::string(ipWhat) + ": first audio after load", figureText("%lld ms", (long long)nFirst), "< 250 ms",
                nFirst >= 0 && nFirst < 250);
    printFigure(std::string(ipWhat) + ": CPU of 30 s playing", figureText("%.0f ms = %.2f %%", fCpu * 1000, 100 * fCpu / fAudio),
                "< 1 %", fCpu / fAudio < 0.01);
    std::printf("  %s: loadFromPackage returned after %lld ms\n", ipWhat, (long long)nLoadCall);
    std::printf("  %s: load CPU %.0f ms, position after 30 s: %lld ms\n", ipWhat, fLoadCpu * 1000, (long long)nPosition);
}

void save(AudioPlayer& irPlayer, const QString& isName, const char* ipWhat)
{
    const QString sTarget = QDir::temp().filePath("vorn-bench-download.wav");
    QFile::remove(sTarget);
    QElapsedTimer aClock;
    QTimer aAnswer;
    QObject::connect(&aAnswer, &QTimer::timeout, [&] {
        if (auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            pDialog->setDirectory(QFileInfo(sTarget).absolutePath());
            pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(sTarget).fileName());
            aClock.start();
            QMetaObject::invokeMethod(pDialog, "accept");
        }
    });
    aAnswer.start(5);
    irPlayer.downloadFromPackage(isName);
    aAnswer.stop();
    runUntil([&] { return !irPlayer.findChild<QSaveFile*>(); }, 600000);
    const double fSeconds = aClock.elapsed() / 1000.0;
    const double fSpeed = 60.0 * cnMinutes / fSeconds;
    std::printf("  %s: %lld bytes in %.2f s\n", ipWhat, (long long)QFileInfo(sTarget).size(), fSeconds);
    printFigure(std::string(ipWhat) + ": saving as WAV", figureText("%.0f x real time", fSpeed), ">= 500 x", fSpeed >= 500);
    QFile::remove(sTarget);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication aApplication(argc, argv);
    // As the program runs without "--debug".
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    qInstallMessageHandler([](QtMsgType inType, const QMessageLogContext&, const QString& irsText) {
        if (inType >= QtCriticalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(irsText));
    });
    Package aPackage;
    if (aPackage.openPackage(benchPackage(), "", "", "", false) != 0)
        qFatal("cannot open the benchmark package");
    AudioPlayer aPlayer(&aPackage);
    if (QAudioDeviceInfo::defaultOutputDevice().isNull()) {
        std::printf("no sound device: run under scripts/services for the playing figures\n");
    } else {
        play(aPlayer, "long.wvc", "60-min stereo Opus WVC");
        play(aPlayer, "long.wav", "60-min A-law WAV");
    }
    save(aPlayer, "long.wvc", "60-min stereo Opus WVC");
    save(aPlayer, "long.wav", "60-min A-law WAV");
    return 0;
}
