// Call analytics: activity and figures of synthetic calls whose turns are
// known, from the WVC level stream, from decoded WVC and WAV samples, and
// through "pkgtool analyse".
#include "Activity.h"
#include "AnalyticsTestFiles.h"
#include "CallFigures.h"
#include "Package.h"
#include "PackageAnalysis.h"
#include "PackageWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Analytics;
using namespace AnalyticsTestFiles;

namespace {

// The call: the agent speaks 3.0-8.0 s with a 1 s pause inside the turn,
// 14-17 s and 23.5-26 s; the customer 7.5-11 s (cutting in on the agent),
// a 200 ms "mm" at 16 s and 18.5-24 s (the agent cuts in at 23.5 s).
constexpr int cnDuration = 30000;
const Bursts kAgent{{3000, 5000}, {6000, 8000}, {14000, 17000}, {23500, 26000}};
const Bursts kCustomer{{7500, 11000}, {16000, 16200}, {18500, 24000}};

// The truth of that call.
CallFigures stereoTruth()
{
    CallFigures f;
    f.nChannels = 2;
    f.nDurationMs = cnDuration;
    f.nAgentTalkMs = 5000 + 3000 + 2500;
    f.nCustomerTalkMs = 3500 + 200 + 5500;
    f.nTalkMs = 8000 + 3000 + 7500;
    f.nSilenceTotalMs = 3000 + 3000 + 4000; // 17-18.5 s is shorter than 2 s
    f.nSilenceLongestMs = 4000;
    f.nSilenceCount = 3;
    f.nOvertalkTotalMs = 1000; // 16.0-16.2 s is shorter than 300 ms
    f.nOvertalkCount = 2;
    f.nInterruptionsAgent = 1;
    f.nInterruptionsCustomer = 1;
    return f;
}

// The agent's channel alone.
CallFigures monoTruth()
{
    CallFigures f;
    f.nChannels = 1;
    f.nDurationMs = cnDuration;
    f.nTalkMs = 5000 + 3000 + 2500;
    f.nSilenceTotalMs = 3000 + 6000 + 6500 + 4000;
    f.nSilenceLongestMs = 6500;
    f.nSilenceCount = 4;
    return f;
}

void compareFigures(const CallFigures& irGot, const CallFigures& irWant)
{
    const qint64 nTolerance = 150;
    const struct
    {
        const char* pName;
        qint64 nGot, nWant;
    } aTimes[] = {
        {"duration_ms", irGot.nDurationMs, irWant.nDurationMs},
        {"agent_talk_ms", irGot.nAgentTalkMs, irWant.nAgentTalkMs},
        {"customer_talk_ms", irGot.nCustomerTalkMs, irWant.nCustomerTalkMs},
        {"talk_ms", irGot.nTalkMs, irWant.nTalkMs},
        {"silence_total_ms", irGot.nSilenceTotalMs, irWant.nSilenceTotalMs},
        {"silence_longest_ms", irGot.nSilenceLongestMs, irWant.nSilenceLongestMs},
        {"overtalk_total_ms", irGot.nOvertalkTotalMs, irWant.nOvertalkTotalMs},
    };
    for (const auto& a : aTimes)
        QVERIFY2(std::llabs(a.nGot - a.nWant) <= nTolerance,
                 qPrintable(QStringLiteral("%1: %2, want %3").arg(a.pName).arg(a.nGot).arg(a.nWant)));
    QCOMPARE(irGot.nChannels, irWant.nChannels);
    QCOMPARE(irGot.nSilenceCount, irWant.nSilenceCount);
    QCOMPARE(irGot.nOvertalkCount, irWant.nOvertalkCount);
    QCOMPARE(irGot.nInterruptionsAgent, irWant.nInterruptionsAgent);
    QCOMPARE(irGot.nInterruptionsCustomer, irWant.nInterruptionsCustomer);
}

const QString kCalls = QStringLiteral(
    "var gCalls=[{\"id\":11,\"time_start\":\"2026-12-01 09:00:00\",\"flags\":24,\"voice\":\"stereo.wvc\"},"
    "{\"id\":12,\"time_start\":\"2026-12-01 09:05:00\",\"flags\":24,\"voice\":\"/app/wave/mono\"},"
    "{\"id\":13,\"time_start\":\"2026-12-01 09:10:00\",\"flags\":0,\"voice\":\"stereo.wvc\"},"
    "{\"id\":14,\"time_start\":\"2026-12-01 09:15:00\",\"flags\":24,\"voice\":\"broken.wvc\"},"
    "{\"id\":15,\"time_start\":\"2026-12-01 09:20:00\",\"flags\":24,\"voice\":\"nolevels.wvc\"},"
    "{\"id\":16,\"time_start\":\"2000-01-01 09:25:00\",\"flags\":24,\"voice\":\"stereo.wvc\"}];");

} // namespace

class TestAnalytics : public QObject
{
    Q_OBJECT

    QTemporaryDir maDir;
    QString msPackage;
    std::vector<int16_t> maAgent;
    std::vector<int16_t> maCustomer;

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        maAgent = channel(cnDuration, kAgent, 1);
        maCustomer = channel(cnDuration, kCustomer, 2, 1000.0); // hum at -30 dBFS
        PackageWriter aWriter;
        // The last call is older than its storage time: retention drops it.
        aWriter.setSettings(QStringLiteral("storage_time_normal_cdr=3650"));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/js/data/calls.js"), kCalls.toUtf8()));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/wave/stereo.wvc"), wvcFile({maAgent, maCustomer})));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/wave/nolevels.wvc"),
                                wvcFile({maAgent, maCustomer}, LevelDamage::Missing)));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/wave/badlevels.wvc"),
                                wvcFile({maAgent, maCustomer}, LevelDamage::BadPage)));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/wave/monolevels.wvc"), wvcFile({maAgent})));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/wave/mono.wav"), monoWav(maAgent)));
        QVERIFY(aWriter.addFile(QStringLiteral("/app/wave/broken.wvc"), QByteArray(4000, 'x')));
        msPackage = maDir.filePath(QStringLiteral("calls.pkg"));
        QVERIFY(aWriter.write(msPackage));
    }

    // Smoothing: short bursts go, pauses shorter than the hangover stay
    // inside the turn, longer ones split it.
    void smoothing_data()
    {
        QTest::addColumn<QString>("sSteps"); // one character per 20 ms step
        QTest::addColumn<QVector<qint64>>("aSpans");
        QTest::newRow("click dropped") << "...#......" << QVector<qint64>{};
        QTest::newRow("two steps kept") << "...##....." << QVector<qint64>{60, 100};
        QTest::newRow("short pause bridged")
            << "##" + QString(50, '.') + "##" << QVector<qint64>{0, 1080};
        QTest::newRow("long pause splits")
            << "##" + QString(60, '.') + "##" << QVector<qint64>{0, 40, 1240, 1280};
        QTest::newRow("active to the end") << "..####" << QVector<qint64>{40, 120};
    }
    void smoothing()
    {
        QFETCH(QString, sSteps);
        QFETCH(QVector<qint64>, aSpans);
        std::vector<bool> aActive;
        for (QChar c : sSteps)
            aActive.push_back(c == '#');
        QVector<qint64> aGot;
        for (const Span& aSpan : smooth(aActive, 20, ActivityOptions{}))
            aGot << aSpan.nStart << aSpan.nEnd;
        QCOMPARE(aGot, aSpans);
    }

    // Hiss and hum alone are no speech, however loud the hum stands above
    // the hiss.
    void noiseIsNoSpeech_data()
    {
        QTest::addColumn<double>("fHum");
        QTest::newRow("hiss") << 0.0;
        QTest::newRow("hiss and quiet hum") << 300.0;
        QTest::newRow("hiss and loud hum") << 3000.0;
    }
    void noiseIsNoSpeech()
    {
        QFETCH(double, fHum);
        const std::vector<int16_t> a = channel(20000, {}, 3, fHum);
        const std::vector<Spans> aActivity =
            detectActivity(levelsFromSamples(a.data(), int64_t(a.size()), 1, cnRate));
        QCOMPARE(int(aActivity.size()), 1);
        QVERIFY(aActivity[0].empty());
    }

    // Every source of levels gives the truth: the level stream, decoded
    // WVC samples, decoded WAV, and the fallbacks for a missing or broken
    // level stream.
    void figures_data()
    {
        QTest::addColumn<QString>("sPath");
        QTest::addColumn<bool>("bDecode");
        QTest::addColumn<int>("nSource");
        QTest::addColumn<bool>("bStereo");
        const int nLevels = int(LevelSource::LevelStream), nDecoded = int(LevelSource::Decoded);
        QTest::newRow("stereo WVC levels") << "/app/wave/stereo.wvc" << false << nLevels << true;
        QTest::newRow("stereo WVC decoded") << "/app/wave/stereo.wvc" << true << nDecoded << true;
        QTest::newRow("level page broken") << "/app/wave/badlevels.wvc" << false << nDecoded << true;
        QTest::newRow("mono WVC levels") << "/app/wave/monolevels.wvc" << false << nLevels << false;
        QTest::newRow("mono WAV") << "/app/wave/mono.wav" << false << nDecoded << false;
    }
    void figures()
    {
        QFETCH(QString, sPath);
        QFETCH(bool, bDecode);
        QFETCH(int, nSource);
        QFETCH(bool, bStereo);
        Package aPackage;
        QCOMPARE(aPackage.openPackage(msPackage, {}, {}, {}, true), 0);
        const RecordingLevels aLevels = sPath.endsWith(".wvc") ? readWvcLevels(aPackage, sPath, bDecode)
                                                               : readWavLevels(aPackage, sPath);
        QCOMPARE(int(aLevels.nSource), nSource);
        const CallAnalysis aAnalysis = analyseLevels(aLevels);
        QVERIFY(aAnalysis.aFigures);
        compareFigures(*aAnalysis.aFigures, bStereo ? stereoTruth() : monoTruth());
    }

    // The silence threshold is a parameter: at 1.5 s the short gap counts too.
    void silenceThreshold()
    {
        Package aPackage;
        QCOMPARE(aPackage.openPackage(msPackage, {}, {}, {}, true), 0);
        const CallAnalysis aAnalysis = analyseRecording(aPackage, "/app/wave/stereo.wvc", FigureOptions{1500, 300});
        QVERIFY(aAnalysis.aFigures);
        QCOMPARE(aAnalysis.aFigures->nSilenceCount, 4);
        QVERIFY(std::llabs(aAnalysis.aFigures->nSilenceTotalMs - 11500) <= 150);
    }

    // The command line: header, rows in list order after retention and the
    // recording flags, empty stereo columns for mono, empty figures and a
    // warning for a recording that does not decode; read by Python's csv.
    void commandLine()
    {
        QProcess aTool;
        aTool.start(QStringLiteral(VORN_BIN_DIR "/pkgtool"), {QStringLiteral("analyse"), msPackage});
        QVERIFY(aTool.waitForFinished(60000));
        QCOMPARE(aTool.exitCode(), 0);
        const QByteArray aOut = aTool.readAllStandardOutput();
        const QByteArray aErr = aTool.readAllStandardError();
        QVERIFY2(aErr.contains("call 14"), aErr.constData());
        QVERIFY2(aErr.contains("call 15"), aErr.constData());
        QVERIFY(!aErr.contains("call 11"));

        QProcess aPython;
        aPython.start(QStringLiteral("python3"),
                      {QStringLiteral("-c"), QStringLiteral("import csv,sys,json; print(json.dumps(list(csv.reader(sys.stdin))))")});
        QVERIFY(aPython.waitForStarted());
        aPython.write(aOut);
        aPython.closeWriteChannel();
        QVERIFY(aPython.waitForFinished(30000));
        const QJsonArray aRows = QJsonDocument::fromJson(aPython.readAllStandardOutput()).array();
        QCOMPARE(aRows.size(), 5);
        QCOMPARE(aRows[0].toArray().first().toString(), QStringLiteral("call_id"));
        QCOMPARE(aRows[0].toArray().size(), 14);
        QStringList aIds;
        for (int i = 1; i < aRows.size(); ++i) {
            QCOMPARE(aRows[i].toArray().size(), 14);
            aIds << aRows[i].toArray()[0].toString();
        }
        QCOMPARE(aIds, (QStringList{"11", "12", "14", "15"}));

        auto cell = [&](int nRow, int nColumn) { return aRows[nRow].toArray()[nColumn].toString(); };
        QCOMPARE(cell(1, 1), QStringLiteral("2026-12-01 09:00:00"));
        CallFigures aStereo;
        aStereo.nChannels = cell(1, 2).toInt();
        aStereo.nDurationMs = cell(1, 3).toLongLong();
        aStereo.nAgentTalkMs = cell(1, 4).toLongLong();
        aStereo.nCustomerTalkMs = cell(1, 5).toLongLong();
        aStereo.nTalkMs = cell(1, 6).toLongLong();
        aStereo.nSilenceTotalMs = cell(1, 7).toLongLong();
        aStereo.nSilenceLongestMs = cell(1, 8).toLongLong();
        aStereo.nSilenceCount = cell(1, 9).toInt();
        aStereo.nOvertalkTotalMs = cell(1, 10).toLongLong();
        aStereo.nOvertalkCount = cell(1, 11).toInt();
        aStereo.nInterruptionsAgent = cell(1, 12).toInt();
        aStereo.nInterruptionsCustomer = cell(1, 13).toInt();
        compareFigures(aStereo, stereoTruth());

        // Mono: the stereo-only columns are empty, the others filled.
        QCOMPARE(cell(2, 2), QStringLiteral("1"));
        for (int nColumn : {4, 5, 10, 11, 12, 13})
            QVERIFY(cell(2, nColumn).isEmpty());
        for (int nColumn : {3, 6, 7, 8, 9})
            QVERIFY(!cell(2, nColumn).isEmpty());
        // Undecodable (garbage; no level pages to pair the frames by): all
        // figures empty rather than a call of silence.
        for (int nRow : {3, 4})
            for (int nColumn = 2; nColumn < 14; ++nColumn)
                QVERIFY(cell(nRow, nColumn).isEmpty());
    }

    // The run over many calls: results in call order, each call counted
    // once; a cancelled run leaves every call not begun without figures.
    void manyCalls()
    {
        Package aPackage;
        QCOMPARE(aPackage.openPackage(msPackage, {}, {}, {}, true), 0);
        QVector<CallRecording> aCalls;
        for (int i = 0; i < 12; ++i)
            aCalls.append({QString::number(i), {}, i % 2 ? "/app/wave/mono.wav" : "/app/wave/stereo.wvc", i});
        std::atomic<int> nCalls{0};
        const QVector<CallAnalysis> aAll = analyseCalls(aPackage, aCalls, {}, nullptr, [&](int) { ++nCalls; });
        QCOMPARE(aAll.size(), 12);
        QCOMPARE(nCalls.load(), 12);
        for (int i = 0; i < aAll.size(); ++i) {
            QVERIFY(aAll[i].aFigures);
            QCOMPARE(aAll[i].aFigures->nChannels, i % 2 ? 1 : 2);
        }
        const std::atomic<bool> bCancel{true};
        const QVector<CallAnalysis> aNone = analyseCalls(aPackage, aCalls, {}, &bCancel);
        QCOMPARE(aNone.size(), 12);
        for (const CallAnalysis& a : aNone)
            QVERIFY(!a.aFigures);
    }

    void unreadablePackage()
    {
        QProcess aTool;
        aTool.start(QStringLiteral(VORN_BIN_DIR "/pkgtool"),
                    {QStringLiteral("analyse"), maDir.filePath(QStringLiteral("none.pkg"))});
        QVERIFY(aTool.waitForFinished(30000));
        QCOMPARE(aTool.exitCode(), 1);
        QVERIFY(aTool.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAnalytics)
#include "tst_analytics.moc"
