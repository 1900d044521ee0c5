// Prints how long the call figures take: a 60-minute stereo WVC recording
// (level stream), a 60-minute 8 kHz PCM16 WAV recording (decoded), and the
// whole package's run over 1000 one-minute stereo WVC calls on all cores.
// Goals: 50 ms, 400 ms, 5 s.
// Usage: bench_analytics [MINUTES] [CALLS]
#include "BenchFigure.h"
#include "AudioFormat.h"
#include "FrameEncoder.h"
#include "Package.h"
#include "PackageAnalysis.h"
#include "PackageWriter.h"
#include "WvcWriter.h"

#include <QBuffer>
#include <cryptopp/filters.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Turns of about 4 s with pauses between, a little hiss.
std::vector<int16_t> voice(size_t inCount, int inSeed)
{
    std::vector<int16_t> a(inCount);
    uint32_t nNoise = 12345u + uint32_t(inSeed);
    for (size_t i = 0; i < inCount; ++i) {
        const double t = double(i) / 8000;
        const double fTurn = std::sin(2 * M_PI * (0.11 + 0.02 * inSeed) * t) > 0.2 ? 1.0 : 0.0;
        nNoise = nNoise * 1103515245u + 12345u;
        const double fValue = fTurn * (0.6 + 0.4 * std::sin(2 * M_PI * 4 * t)) * 9000 * std::sin(2 * M_PI * 220 * t)
                              + double(int(nNoise >> 24) - 128);
        a[i] = int16_t(std::clamp(fValue, -32768.0, 32767.0));
    }
    return a;
}

QByteArray wvc(const std::vector<int16_t>& iaLeft, const std::vector<int16_t>& iaRight, const char* ipCodec)
{
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder(ipCodec, 160, sError);
    auto pRight = wvctools::makeFrameEncoder(ipCodec, 160, sError);
    if (!pLeft || !pRight)
        return {};
    wvctools::WvcWriter aWriter(wvctools::WvcWriterOptions{});
    std::vector<wvctools::WvcPage> aPages;
    if (!aWriter.write({iaLeft, iaRight}, {pLeft.get(), pRight.get()}, aPages))
        return {};
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    return QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()));
}

QByteArray wav(const std::vector<int16_t>& iaSamples)
{
    char p[44] = {};
    const quint32 nData = quint32(iaSamples.size() * 2);
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + nData, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(1, p + 22);
    qToLittleEndian<quint32>(8000, p + 24);
    qToLittleEndian<quint32>(16000, p + 28);
    qToLittleEndian<quint16>(2, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(nData, p + 40);
    return QByteArray(p, 44) + QByteArray(reinterpret_cast<const char*>(iaSamples.data()), int(nData));
}

template <typename Run>
double bestMs(int inRuns, Run irRun)
{
    double f = 1e300;
    for (int i = 0; i < inRuns; ++i) {
        QElapsedTimer aTimer;
        aTimer.start();
        irRun();
        f = std::min(f, aTimer.nsecsElapsed() / 1e6);
    }
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false");
    const int nMinutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int nCalls = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    QTemporaryDir aDir;
    const size_t nLong = size_t(nMinutes) * 60 * 8000;
    std::printf("writing a package: %d-minute stereo WVC and PCM16 WAV, %d one-minute stereo Opus WVC calls\n",
                nMinutes, nCalls);
    const std::vector<int16_t> aLeft = voice(nLong, 0), aRight = voice(nLong, 1);
    PackageWriter aWriter;
    aWriter.addFile(QStringLiteral("/app/wave/long.wvc"), wvc(aLeft, aRight, "PCMA"));
    aWriter.addFile(QStringLiteral("/app/wave/long.wav"), wav(aLeft));
    const size_t nShort = 60 * 8000;
    const QByteArray aCall = wvc(std::vector<int16_t>(aLeft.begin(), aLeft.begin() + long(nShort)),
                                 std::vector<int16_t>(aRight.begin(), aRight.begin() + long(nShort)), "opus");
    QVector<Analytics::CallRecording> aCalls;
    for (int i = 0; i < nCalls; ++i) {
        const QString sPath = QStringLiteral("/app/wave/call%1.wvc").arg(i);
        aWriter.addFile(sPath, aCall);
        aCalls.append({QString::number(i), QString(), sPath});
    }
    const QString sPackage = aDir.filePath(QStringLiteral("bench.pkg"));
    if (!aWriter.write(sPackage)) {
        std::fprintf(stderr, "cannot write the package\n");
        return 1;
    }
    Package aPackage;
    if (aPackage.openPackage(sPackage, {}, {}, {}, true) < 0) {
        std::fprintf(stderr, "cannot open the package\n");
        return 1;
    }

    Analytics::CallAnalysis aLast;
    const double fWvc = bestMs(5, [&] { aLast = Analytics::analyseRecording(aPackage, "/app/wave/long.wvc"); });
    if (aLast.nSource != Analytics::LevelSource::LevelStream)
        std::fprintf(stderr, "the long WVC was not read from its level stream\n");
    printFigure(figureText("%d-minute stereo WVC", nMinutes), figureText("%.1f ms", fWvc), "50 ms", fWvc < 50);
    const double fWav = bestMs(3, [&] { aLast = Analytics::analyseRecording(aPackage, "/app/wave/long.wav"); });
    const double fRead = bestMs(3, [&] {
        QBuffer aBuffer;
        AudioFormat aFormat;
        aPackage.readFile(QStringLiteral("/app/wave/long.wav"), &aBuffer, &aFormat);
    });
    const double fInflate = bestMs(3, [&] { aPackage.pumpMember(QStringLiteral("/app/wave/long.wav"), new CryptoPP::BitBucket); });
    std::printf("for comparison: whole member read into memory %.1f ms, inflation alone %.1f ms\n", fRead, fInflate);
    printFigure(figureText("%d-minute PCM16 WAV", nMinutes), figureText("%.1f ms", fWav), "400 ms", fWav < 400);
    QVector<Analytics::CallAnalysis> aAll;
    const double fAll = bestMs(2, [&] { aAll = Analytics::analyseCalls(aPackage, aCalls); });
    int nFailed = 0;
    for (const Analytics::CallAnalysis& a : aAll)
        nFailed += a.aFigures ? 0 : 1;
    if (nFailed)
        std::fprintf(stderr, "%d calls without figures\n", nFailed);
    printFigure(figureText("%d one-minute stereo WVC calls, %d threads", nCalls, QThread::idealThreadCount()),
                figureText("%.0f ms", fAll), "5000 ms", fAll < 5000);
    return 0;
}
