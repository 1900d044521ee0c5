// The call view's analytics lanes in the viewer's own engine: bands where
// the parties speak and where nobody does, judged by the pixels drawn; a
// click on a band seeks the player there; the silence threshold in the page.
#include "../analytics/AnalyticsTestFiles.h"
#include "LogMessageHandler.h"
#include "AnalyticsChannel.h"
#include "PageSession.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// As in the analytics tests: the agent speaks 3-8 s (a 1 s pause inside),
// 14-17 s, 23.5-26 s; the customer 7.5-11 s, 16.0-16.2 s, 18.5-24 s.
constexpr int cnDuration = 30000;
const AnalyticsTestFiles::Bursts kAgent{{3000, 5000}, {6000, 8000}, {14000, 17000}, {23500, 26000}};
const AnalyticsTestFiles::Bursts kCustomer{{7500, 11000}, {16000, 16200}, {18500, 24000}};

const QColor kAgentColour(0x4f, 0x7f, 0xd6);
const QColor kSilenceColour(0xf0, 0xb4, 0x29);
const QColor kOvertalkColour(0xd6, 0x45, 0x45);

bool near(const QColor& irA, const QColor& irB)
{
    return std::abs(irA.red() - irB.red()) + std::abs(irA.green() - irB.green()) + std::abs(irA.blue() - irB.blue()) < 30;
}

} // namespace

class TestPageAnalytics : public QObject
{
    Q_OBJECT
    QTemporaryDir maDir;
    PageSession* mpSession = nullptr;

    PageSession& s() { return *mpSession; }

    // The colour drawn in a lane at a time of the recording.
    QColor colourAt(const QString& isLane, int inMs)
    {
        const QVariantList a = s().js(QStringLiteral("(function(){const r=document.querySelector("
                                                     "'.analytics-lane[data-lane=%1] .lane-track').getBoundingClientRect();"
                                                     "return [r.left + r.width*%2/%3, r.top + r.height/2];})()")
                                          .arg(isLane)
                                          .arg(inMs)
                                          .arg(cnDuration))
                                   .toList();
        if (a.size() != 2)
            return {};
        const double f = s().mpView->zoomFactor();
        const QImage aImage = s().mpView->grab().toImage();
        return aImage.pixelColor(int(a[0].toDouble() * f), int(a[1].toDouble() * f));
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        QVERIFY(maDir.isValid());
        using namespace AnalyticsTestFiles;
        PackageWriter aWriter;
        aWriter.setSettings("default_locale=en_GB");
        CallRecord aCall{1, QDateTime::currentDateTime().addDays(-1), "in", "+49 30 5550 1234", "+49 89 2000 0101",
                         "Agent Berger", cnDuration / 1000, 0x18, "talk.wvc", {}};
        aWriter.addFile("/app/js/data/calls.js", "var gCalls=[" + aCall.json() + "];");
        aWriter.addFile("/app/wave/talk.wvc",
                        wvcFile({channel(cnDuration, kAgent, 1), channel(cnDuration, kCustomer, 2, 1000.0)}));
        QVERIFY(aWriter.write(maDir.filePath("talk.pkg")));
        mpSession = new PageSession();
    }

    void cleanupTestCase() { delete mpSession; }

    void lanesShowTurnsSilencesAndOvertalk()
    {
        QVERIFY(s().open(maDir.filePath("talk.pkg")) >= 0);
        s().mpViewer->activateWindow();
        s().mpView->setFocus();
        s().key(Qt::Key_Down);
        s().key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.querySelectorAll('.call-analytics:not([hidden]) .band.silence').length")
                                         .toInt() == 3, cnRoundTripMs);
        QCOMPARE(s().js("document.querySelectorAll('.band.overtalk').length").toInt(), 2);

        const struct
        {
            const char* pLane;
            int nMs;
            QColor aColour;
            bool bDrawn;
        } aPoints[] = {
            {"agent", 4000, kAgentColour, true},
            {"agent", 5500, kAgentColour, true}, // the pause inside the turn
            {"agent", 12000, kAgentColour, false},
            {"silence", 1500, kSilenceColour, true},
            {"silence", 12500, kSilenceColour, true},
            {"silence", 17700, kSilenceColour, false}, // 1.5 s: under the threshold
            {"silence", 7750, kOvertalkColour, true},
            {"silence", 23750, kOvertalkColour, true},
            {"silence", 16100, kOvertalkColour, false}, // 200 ms: too short
        };
        // The first point drawn otherwise than expected, until the page has painted.
        auto mismatch = [&] {
            for (const auto& a : aPoints) {
                const QColor aGot = colourAt(a.pLane, a.nMs);
                if (near(aGot, a.aColour) != a.bDrawn)
                    return QStringLiteral("%1 lane at %2 ms: %3").arg(a.pLane).arg(a.nMs).arg(aGot.name());
            }
            return QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(mismatch(), QString(), cnRoundTripMs);
        const QString sFigures = s().js("document.getElementById('analytics-figures').textContent").toString();
        QVERIFY2(sFigures.contains("3× 0:10"), qPrintable(sFigures));

        // A lower threshold: the 1.5 s gap becomes a silence band too.
        s().js("const i=document.getElementById('silence-threshold'); i.value='1'; i.dispatchEvent(new Event('change')); true");
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelectorAll('.band.silence').length").toInt(), 4, cnRoundTripMs);
        s().js("const j=document.getElementById('silence-threshold'); j.value='2'; j.dispatchEvent(new Event('change')); true");
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelectorAll('.band.silence').length").toInt(), 3, cnRoundTripMs);
    }

    // A click on the silence at 11-14 s puts the player there.
    void clickOnBandSeeks()
    {
        const QPoint aAt = s().centreOf(".band.silence[data-start='11000']");
        QVERIFY(!aAt.isNull());
        QTest::mouseClick(s().input(), Qt::LeftButton, Qt::NoModifier, aAt);
        QTRY_VERIFY_WITH_TIMEOUT(s().mpPlayer->property("nPosition").toLongLong() >= 11000
                                     && s().mpPlayer->property("nPosition").toLongLong() < 14000, cnRoundTripMs);
        s().mpPlayer->metaObject()->invokeMethod(s().mpPlayer, "stop");
    }

    // The package run: progress, a table of figures that filters, a row
    // that opens its call at its longest silence (the 4 s at the end), and
    // the CSV of the run.
    void analyseRecordings()
    {
        s().js("window.vornPage.bus.emit('close'); true");
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('list-view').hidden").toBool(), cnRoundTripMs);
        s().click("#analyse-recordings");
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelectorAll('#analytics-table .analytics-row').length").toInt(), 1, cnRoundTripMs);
        QVERIFY2(s().js("document.getElementById('analysis-status').textContent").toString().startsWith("1 of 1 calls"),
                 qPrintable(s().js("document.getElementById('analysis-status').textContent").toString()));
        const QStringList aCells =
            s().js("[...document.querySelectorAll('#analytics-table .analytics-row td')].map(c => c.textContent)").toStringList();
        QCOMPARE(aCells.value(0), QStringLiteral("1"));
        QCOMPARE(aCells.value(2), QStringLiteral("0:04"));

        s().js("const m=document.getElementById('filter-min-silence'); m.value='5'; m.dispatchEvent(new Event('input')); true");
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelectorAll('#analytics-table .analytics-row').length").toInt(), 0, cnRoundTripMs);
        s().js("const n=document.getElementById('filter-min-silence'); n.value='4'; n.dispatchEvent(new Event('input')); true");
        QTRY_COMPARE_WITH_TIMEOUT(s().js("document.querySelectorAll('#analytics-table .analytics-row').length").toInt(), 1, cnRoundTripMs);

        auto* pChannel = s().mpViewer->findChild<AnalyticsChannel*>();
        QVERIFY(pChannel);
        const QString sCsv = maDir.filePath("figures.csv");
        QVERIFY(pChannel->writeCsv(sCsv));
        QFile aFile(sCsv);
        QVERIFY(aFile.open(QIODevice::ReadOnly));
        const QList<QByteArray> aLines = aFile.readAll().split('\n');
        QVERIFY(aLines.value(0).startsWith("call_id,time_start,channels,duration_ms"));
        QVERIFY(aLines.value(1).startsWith("1,"));

        s().click("#analytics-table .analytics-row");
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        // The call is loaded and paused from the test before: the player is
        // asked to go to the start of the longest silence.
        QTRY_VERIFY_WITH_TIMEOUT(s().js("window.vornPage.player.state.position").toLongLong() >= 26000, cnRoundTripMs);
        s().mpPlayer->metaObject()->invokeMethod(s().mpPlayer, "stop");
    }

    // With "Skip silences" on, the 30 s call plays its 3 s, 3 s and 4 s
    // silences as 0.5 s each: about 21.5 s of sound from start to end
    // instead of 30.
    void skipSilencesShortensPlayback()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!s().js("document.getElementById('call-view').hidden").toBool(), cnRoundTripMs);
        s().click("#skip-silences");
        QTRY_VERIFY_WITH_TIMEOUT(s().js("document.getElementById('skip-silences').checked").toBool(), cnRoundTripMs);
        s().js("window.vornPage.callView.seekTo(0); true");
        QTRY_VERIFY_WITH_TIMEOUT(s().js("window.vornPage.player.state.position").toLongLong() < 1000, cnRoundTripMs);
        QElapsedTimer aTimer;
        aTimer.start();
        s().js("window.vornPage.player.state.paused ? window.vornPage.callView.togglePlay() : 0; true");
        QTRY_VERIFY_WITH_TIMEOUT(!s().mpPlayer->property("bPaused").toBool(), cnRoundTripMs);
        // Where the page says the player is, against the clock. Played, the
        // position keeps pace with the clock at most (a busy machine's
        // underruns hold it back); a skip runs it ahead by seconds.
        struct Look
        {
            qint64 nWall;
            qint64 nPosition;
        };
        QVector<Look> aLooks;
        while (aTimer.elapsed() < 120000) {
            aLooks.append({ aTimer.elapsed(), s().js("window.vornPage.player.state.position").toLongLong() });
            if (aLooks.last().nPosition >= 29400)
                break;
            QTest::qWait(100);
        }
        qInfo() << "skip-silences playback of 30 s took" << aTimer.elapsed() << "ms";
        s().mpPlayer->metaObject()->invokeMethod(s().mpPlayer, "stop");
        QVERIFY2(aLooks.last().nPosition >= 29400, qPrintable(QString::number(aLooks.last().nPosition)));
        // Each silence is left from inside for its last quarter second, more
        // than a second ahead of the clock.
        for (const auto& aSilence : { std::pair<qint64, qint64> { 0, 3000 }, { 11000, 14000 }, { 26000, 30000 } }) {
            bool bSkipped = false;
            for (int i = 0; i < aLooks.size(); ++i)
                for (int j = i + 1; j < aLooks.size(); ++j)
                    bSkipped = bSkipped
                        || (aLooks[i].nPosition >= aSilence.first && aLooks[i].nPosition < aSilence.second - 300
                            && aLooks[j].nPosition >= aSilence.second - 300 && aLooks[j].nPosition < aSilence.second + 1000
                            && (aLooks[j].nPosition - aLooks[i].nPosition) - (aLooks[j].nWall - aLooks[i].nWall) > 1000);
            QVERIFY2(bSkipped, qPrintable(QStringLiteral("the silence at %1 ms was played through").arg(aSilence.first)));
        }
    }
};

QTEST_MAIN(TestPageAnalytics)
#include "tst_page_analytics.moc"
