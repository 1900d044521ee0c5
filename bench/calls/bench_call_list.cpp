// The retention filter on 100 000 calls beside Qt's own JSON round trip of
// the same text, and the whole open (decrypt, inflate, filter).
#include "BenchFigure.h"
#include "Json.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kCalls = 100000;

QByteArray callsScript()
{
    const QDateTime tNow = QDateTime::currentDateTime();
    QByteArray aScript = "var gCalls = [\r\n";
    aScript.reserve(40 * 1024 * 1024);
    for (int i = 0; i < kCalls; ++i) {
        const QDateTime tStart = tNow.addSecs(-qint64(i) * 1800);
        const quint32 nFlags = (i % 7 == 0 ? 0x00400000u : 0u) | (i % 3 == 0 ? 0x18u : 0u);
        aScript += "{\"id\": " + QByteArray::number(100000 + i) + ", \"time_start\": \""
            + tStart.toString("yyyy-MM-dd hh:mm:ss").toUtf8() + "\", \"time_end\": \""
            + tStart.addSecs(95).toString("yyyy-MM-dd hh:mm:ss").toUtf8() + "\", \"flags\": "
            + QByteArray::number(nFlags) + ", \"voice\": \"/app/wave/call" + QByteArray::number(i)
            + ".wvc\", \"caller\": \"+49 30 5550" + QByteArray::number(i % 10000)
            + "\", \"callee\": \"+44 20 7946 " + QByteArray::number(i % 9973)
            + "\", \"direction\": \"" + (i % 2 ? "in" : "out") + "\", \"duration\": " + QByteArray::number(95 + i % 600)
            + ", \"score\": " + QByteArray::number(0.25 + (i % 100) / 128.0, 'f', 6)
            + ", \"agent\": \"Agent " + QByteArray::number(i % 57) + "\", \"tags\": [\"sales\", \"q" + QByteArray::number(i % 4)
            + "\"], \"note\": \"Customer asked about \\\"contract\\\" renewal\"}";
        aScript += i + 1 < kCalls ? ",\r\n" : "\r\n";
    }
    aScript += "];\r\n";
    return aScript;
}

double millis(QElapsedTimer& irTimer)
{
    return irTimer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aApplication(argc, argv);
    // As in the viewer without --debug: debug lines are not even composed.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    const QByteArray aScript = callsScript();
    QTemporaryDir aDir;
    PackageWriter aWriter;
    aWriter.setPassword("bench");
    aWriter.setUsers("bench");
    aWriter.setSettings("storage_time_normal_cdr=1500;storage_time_normal_voice=400;storage_time_marked_cdr=3000;"
                        "storage_time_marked_voice=2000");
    aWriter.addFile("/app/js/data/calls.js", aScript);
    const QString sPath = aDir.filePath("calls.pkg");
    aWriter.write(sPath);

    Package aPackage;
    QElapsedTimer aTimer;
    aTimer.start();
    const int nOpen = aPackage.openPackage(sPath, "bench", "bench", "", false);
    const double fOpen = millis(aTimer);
    if (nOpen != 0) {
        std::fprintf(stderr, "cannot open the benchmark package: %d\n", nOpen);
        return 1;
    }

    aTimer.restart();
    aPackage.buildCallList();
    const double fFilter = millis(aTimer);

    // Qt's round trip of the same JSON text.
    const QByteArray aJson = aScript.mid(aScript.indexOf('['), aScript.lastIndexOf(']') - aScript.indexOf('[') + 1);
    aTimer.restart();
    const QVariant aVariant = QJsonDocument::fromJson(aJson).toVariant();
    const QByteArray aBack = QJsonDocument::fromVariant(aVariant).toJson();
    const double fQt = millis(aTimer);

    // Where the filter's time goes.
    QBuffer aMember;
    aMember.open(QIODevice::ReadWrite);
    aTimer.restart();
    aPackage.readFile("/app/js/data/calls.js", &aMember);
    const double fRead = millis(aTimer);
    aTimer.restart();
    bool bOk = false;
    const QVariant aParsed = Json::parse(QString::fromUtf8(aJson), bOk);
    const double fParse = millis(aTimer);
    aTimer.restart();
    const QByteArray aWritten = Json::serialize(aParsed, bOk);
    const double fWrite = millis(aTimer);

    std::printf("call list: %d calls, %.1f MB script\n", kCalls, aScript.size() / 1e6);
    std::printf("  openPackage (decrypt, inflate, filter): %.0f ms (goal < 1000 ms)\n", fOpen);
    std::printf("  buildCallList (inflate, parse, filter, write): %.0f ms\n", fFilter);
    std::printf("  of which: member read %.0f ms, our parse %.0f ms, our write %.0f ms (%d bytes)\n", fRead, fParse, fWrite,
        int(aWritten.size()));
    std::printf("  Qt JSON round trip of the same text: %.0f ms (%d bytes back)\n", fQt, int(aBack.size()));
    std::printf("  ratio filter / Qt: %.2f (goal <= 0.5)\n", fFilter / fQt);
    std::printf("  expired calls %d, expired media %d\n", aPackage.expiredCallCount(), aPackage.expiredMediaCount());
    printFigure("call list: openPackage, 100 000 calls", figureText("%.0f ms", fOpen), "< 1000 ms", fOpen < 1000);
    printFigure("call list: filter / Qt JSON round trip", figureText("%.2f", fFilter / fQt), "<= 0.5", fFilter / fQt <= 0.5);
    return 0;
}
