// Report of a large review: 200 calls, each with a 5-minute stereo WVC
// recording and 5 notes, written as PDF (laid out and printed by the web
// engine, a waveform per call) and as CSV. Needs a display (run it under
// scripts/services).
#include "BenchFigure.h"
#include "FrameEncoder.h"
#include "HttpServer.h"
#include "Package.h"
#include "PackageWriter.h"
#include "ReportPrinter.h"
#include "ReviewCsv.h"
#include "ReviewDocument.h"
#include "ReviewReport.h"
#include "WvcWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kCalls = 200;
constexpr int kNotes = 5;
constexpr int kSeconds = 300;

// Bursts of tone with pauses, a different rhythm per channel.
std::vector<int16_t> voice(size_t inCount, int inChannel)
{
    std::vector<int16_t> a(inCount);
    for (size_t i = 0; i < inCount; ++i) {
        const bool bTalking = ((i / 8000 + size_t(inChannel)) % 3) != 0;
        a[i] = bTalking ? int16_t(9000 * std::sin(2 * M_PI * (300 + 100 * inChannel) * double(i) / 8000)) : 0;
    }
    return a;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QElapsedTimer prepare;
    prepare.start();
    const size_t nSamples = size_t(8000) * kSeconds;
    std::string sError;
    auto pLeft = wvctools::makeFrameEncoder("GSM", 160, sError);
    auto pRight = wvctools::makeFrameEncoder("GSM", 160, sError);
    if (!pLeft || !pRight) {
        std::fprintf(stderr, "no GSM encoder: %s\n", sError.c_str());
        return 1;
    }
    wvctools::WvcWriter writer{wvctools::WvcWriterOptions()};
    std::vector<wvctools::WvcPage> aPages;
    if (!writer.write({voice(nSamples, 0), voice(nSamples, 1)}, {pLeft.get(), pRight.get()}, aPages)) {
        std::fprintf(stderr, "WVC writer failed: %s\n", writer.error().c_str());
        return 1;
    }
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    const QByteArray aWvc(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()));

    PackageWriter package;
    QJsonArray aCalls;
    ReviewDocument document;
    for (int n = 0; n < kCalls; ++n) {
        const int nId = 5000 + n;
        const QString sVoice = QStringLiteral("call%1.wvc").arg(nId);
        const QString sTime = QStringLiteral("2026-12-10 %1:%2:00").arg(8 + n / 60, 2, 10, QLatin1Char('0')).arg(n % 60, 2, 10, QLatin1Char('0'));
        aCalls.append(QJsonObject { { "id", nId }, { "time_start", sTime }, { "agent", "Agent " + QString::number(n % 17) },
                                    { "caller", "+49 30 5550 " + QString::number(1000 + n) }, { "duration", kSeconds },
                                    { "voice", sVoice }, { "flags", 24 } });
        package.addFile("/app/wave/" + sVoice, aWvc);
        QVector<ReviewNote> aNotes;
        for (int k = 0; k < kNotes; ++k) {
            ReviewNote aNote;
            aNote.nStartMs = qint64(k) * 55000 + n * 10;
            aNote.nEndMs = aNote.nStartMs + (k % 2 ? 0 : 12500);
            aNote.sCategory = QStringList { "finding", "follow-up", "ok", "redact", "finding" }.at(k);
            aNote.sText = QStringLiteral("Note %1 on call %2: the agent repeated the terms, \"as agreed\".").arg(k + 1).arg(nId);
            aNotes.append(aNote);
        }
        document.setNotes(QJsonValue(nId), sTime, aNotes);
    }
    package.addFile("/app/js/data/calls.js", "var gCalls = " + QJsonDocument(aCalls).toJson(QJsonDocument::Compact) + ";");
    package.addFile("/app/js/data/locales.js", "var gLocales={\"en_GB\":1};");
    QTemporaryDir dir;
    const QString sPackage = dir.filePath("bench.pkg");
    if (!package.write(sPackage)) {
        std::fprintf(stderr, "package writer failed\n");
        return 1;
    }
    Package reader;
    if (reader.openPackage(sPackage, QString(), QString(), QString(), false) < 0) {
        std::fprintf(stderr, "cannot open the package\n");
        return 1;
    }
    HttpServer server(&reader, 0, nullptr);
    std::printf("package: %d calls, 5-min stereo GSM WVC of %d bytes each, %d notes per call (prepared in %.1f s)\n",
                kCalls, aWvc.size(), kNotes, prepare.elapsed() / 1000.0);

    // What the waveform route alone costs for these recordings (20 of them):
    // the report asks it once per call.
    QElapsedTimer wave;
    wave.start();
    for (int n = 0; n < 20; ++n) {
        QBuffer aPng;
        aPng.open(QIODevice::WriteOnly);
        reader.serveFile(QStringLiteral("/app/wave/call%1.svg").arg(5000 + n), QString(), &aPng);
    }
    std::printf("waveform route: %.1f ms per call\n", wave.nsecsElapsed() / 1e6 / 20);

    // CSV: built and written as the window does.
    QString sWriteError;
    QElapsedTimer csv;
    csv.start();
    if (!writeFileSafely(dir.filePath("report.csv"), reviewCsv(document), &sWriteError)) {
        std::fprintf(stderr, "CSV: %s\n", qPrintable(sWriteError));
        return 1;
    }
    const double fCsvMs = csv.nsecsElapsed() / 1e6;
    std::printf("CSV:  %8.1f ms, %lld bytes\n", fCsvMs, static_cast<long long>(QFile(dir.filePath("report.csv")).size()));
    printFigure("Review report CSV: 200 calls x 5 notes", figureText("%.1f ms", fCsvMs), "< 200 ms", fCsvMs < 200);

    // PDF: from the request to the file on disk, waveforms rendered by the
    // loopback server as the page asks for them.
    ReportPrinter printer(server.serverPort());
    QEventLoop loop;
    bool bOk = false;
    QObject::connect(&printer, &ReportPrinter::finished, &loop, [&](bool ibOk, const QString& isError) {
        bOk = ibOk;
        sWriteError = isError;
        loop.quit();
    });
    QElapsedTimer pdf;
    pdf.start();
    printer.print(reviewReportData(document, QStringLiteral("bench.pkg"), QString(), QDateTime::currentDateTimeUtc()),
                  QStringLiteral("en_GB"), dir.filePath("report.pdf"));
    loop.exec();
    const double fPdfS = pdf.nsecsElapsed() / 1e9;
    if (!bOk) {
        std::fprintf(stderr, "PDF: %s\n", qPrintable(sWriteError));
        return 1;
    }
    std::printf("PDF:  %8.2f s, %lld bytes\n", fPdfS, static_cast<long long>(QFile(dir.filePath("report.pdf")).size()));
    printFigure("Review report PDF: 200 calls x 5 notes, 5-min stereo", figureText("%.2f s", fPdfS), "< 10 s", fPdfS < 10);
    return 0;
}
