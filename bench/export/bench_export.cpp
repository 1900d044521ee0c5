// Batch export of reviewed calls: N five-minute stereo WVC recordings, each
// with five redacted passages, written as WAV files into a folder. Figures:
// audio exported per second of wall time (goal: 200 x real time) and the
// growth of the resident size between the first tenth and the end (memory
// flat: no growth with the number of calls).
//   bench_export [calls=200] [codec=PCMA]
#include "../BenchFigure.h"
#include "BatchExport.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WvcWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cmath>
#include <fstream>

namespace {

long statusKb(const char* ipField)
{
    std::ifstream aStatus("/proc/self/status");
    std::string sLine;
    while (std::getline(aStatus, sLine))
        if (sLine.rfind(ipField, 0) == 0)
            return std::stol(sLine.substr(sLine.find(':') + 1));
    return -1;
}

std::vector<int16_t> speech(int inCount, int inSeed)
{
    std::vector<int16_t> a(static_cast<size_t>(inCount));
    uint32_t nNoise = 99u + uint32_t(inSeed);
    for (int i = 0; i < inCount; ++i) {
        nNoise = nNoise * 1664525u + 1013904223u;
        a[size_t(i)] = int16_t(6000 * std::sin(0.05 * i * (inSeed + 1)) + int(nNoise >> 22) - 512);
    }
    return a;
}

QByteArray wvc(const std::string& isCodec, int inSeconds)
{
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = 8000;
    aOptions.nSamplesPerFrame = wvctools::defaultSamplesPerFrame(isCodec, 8000);
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder(isCodec, 8000, aOptions.nSamplesPerFrame, sError);
    auto pRight = wvctools::makeFrameEncoder(isCodec, 8000, aOptions.nSamplesPerFrame, sError);
    if (!pLeft || !pRight)
        qFatal("no encoder: %s", sError.c_str());
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    if (!aWriter.write({ speech(8000 * inSeconds, 1), speech(8000 * inSeconds, 2) }, { pLeft.get(), pRight.get() },
                       aPages))
        qFatal("writer failed");
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    return QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aApplication(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const int nCalls = argc > 1 ? qMax(10, atoi(argv[1])) : 200;
    const std::string sCodec = argc > 2 ? argv[2] : "PCMA";
    constexpr int cnSeconds = 300;

    QTemporaryDir aDir;
    // The calls share one recording: the package stays small, and every
    // call is still decoded, redacted and written on its own.
    const QString sStart = QDateTime::currentDateTime().addDays(-1).toString("yyyy-MM-dd hh:mm:ss");
    PackageWriter aWriter;
    QJsonArray aCalls;
    QVector<BatchExport::Call> aReviewed;
    const QByteArray aRecording = wvc(sCodec, cnSeconds);
    const QString sMember = QStringLiteral("/app/wave/call.wvc");
    aWriter.addFile(sMember, aRecording);
    for (int i = 0; i < nCalls; ++i) {
        aCalls.append(QJsonObject { { "id", 5000 + i }, { "time_start", sStart }, { "flags", 0x18 }, { "voice", sMember } });
        QVector<RedactionStage::Span> aSpans;
        for (int n = 0; n < 5; ++n)
            aSpans.append({ 20000 + n * 55000 + i * 17, 24000 + n * 55000 + i * 31 });
        aReviewed.append({ 5000 + i, sStart, aSpans });
    }
    aWriter.addFile("/app/js/data/calls.js", "var gCalls=" + QJsonDocument(aCalls).toJson(QJsonDocument::Compact) + ";");
    const QString sPackage = aDir.filePath("bench.pkg");
    if (!aWriter.write(sPackage))
        qFatal("package not written");
    Package aPackage;
    if (aPackage.openPackage(sPackage, "", "", "", false) != 0)
        qFatal("package not opened");
    const QString sFolder = aDir.filePath("out");
    QDir().mkpath(sFolder);

    long nRssTenth = -1;
    int nRemoved = 0;
    const long nRssBefore = statusKb("VmRSS");
    QElapsedTimer aTimer;
    aTimer.start();
    const BatchExport::Result aResult
        = BatchExport(&aPackage, aReviewed, sFolder).run(false, [&](int inDone, int, const QString&) {
              if (inDone == nCalls / 10 && nRssTenth < 0)
                  nRssTenth = statusKb("VmRSS");
              // Files already written go, so that the disk holds a few at a time.
              for (; nRemoved < inDone; ++nRemoved)
                  QFile::remove(QStringLiteral("%1/%2.wav").arg(sFolder).arg(5000 + nRemoved));
              return true;
          });
    const double fSeconds = aTimer.nsecsElapsed() / 1e9;
    const long nRssEnd = statusKb("VmRSS");
    if (!aResult.ok() || aResult.aWritten.size() != nCalls)
        qFatal("export failed: %s", qPrintable(aResult.sError));

    const double fRealTime = double(nCalls) * cnSeconds / fSeconds;
    const double fGrowthMb = (nRssEnd - nRssTenth) / 1024.0;
    std::printf("bench_export: %d calls of %d s stereo %s WVC, 5 redactions each\n", nCalls, cnSeconds, sCodec.c_str());
    std::printf("  wall time %.1f s, %.0f x real time; resident %.1f MB before, %.1f MB after a tenth, %.1f MB at the end\n",
                fSeconds, fRealTime, nRssBefore / 1024.0, nRssTenth / 1024.0, nRssEnd / 1024.0);
    printFigure("export: audio per wall time (x real time)", figureText("%.0f", fRealTime), ">= 200", fRealTime >= 200);
    printFigure("export: resident growth after the first tenth (MB)", figureText("%.1f", fGrowthMb), "< 5",
                fGrowthMb < 5);
    return 0;
}
