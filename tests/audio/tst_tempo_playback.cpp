// Tempo and loop on a real sound device: the tests' PulseAudio null sink at
// the recording's rate and channel count is recorded while the player plays
// a recording of tone steps (500 ms each, a different pitch per step), so
// what was heard tells which moment of the recording it came from.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "Package.h"
#include "ToneAnalysis.h"

#include <QSignalSpy>

using namespace audiotest;

namespace {

constexpr int cnRate = 8000;
constexpr int cnStepMs = 500;
constexpr int cnSteps = 8; // a recording of 4 s

// Pitch of step k on channel c.
double stepHz(int inStep, int inChannel)
{
    return (300.0 + 60.0 * inStep) * (1.0 + inChannel / 2.0);
}

// The tone steps with a little noise that makes every stretch of samples
// unique, interleaved; never exactly 0, so silence on the device is the
// device's.
Samples steps(int inChannels)
{
    const int nFrames = cnRate * cnStepMs / 1000 * cnSteps;
    Samples a(size_t(nFrames * inChannels));
    std::vector<double> aPhase(size_t(inChannels), 0.0);
    quint32 nNoise = 12345;
    for (int i = 0; i < nFrames; ++i) {
        for (int c = 0; c < inChannels; ++c) {
            aPhase[size_t(c)] += 2 * M_PI * stepHz(i * 1000 / cnRate / cnStepMs, c) / cnRate;
            nNoise = nNoise * 1664525u + 1013904223u;
            const int n = int(std::lround(10000.0 * std::sin(aPhase[size_t(c)]))) + int(nNoise >> 24) - 128;
            a[size_t(i * inChannels + c)] = qint16(n == 0 ? 1 : n);
        }
    }
    return a;
}

struct Recording
{
    int nChannels;
    Samples aPcm;
};

// First and one past the last frame that is not silent.
std::pair<size_t, size_t> soundSpan(const Samples& irSamples, int inChannels)
{
    const size_t nFrames = irSamples.size() / size_t(inChannels);
    auto silent = [&](size_t f) {
        for (int c = 0; c < inChannels; ++c)
            if (irSamples[f * size_t(inChannels) + size_t(c)] != 0)
                return false;
        return true;
    };
    size_t nFirst = 0;
    while (nFirst < nFrames && silent(nFirst))
        ++nFirst;
    size_t nEnd = nFrames;
    while (nEnd > nFirst && silent(nEnd - 1))
        --nEnd;
    return { nFirst, nEnd };
}

} // namespace

class TestTempoPlayback : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;
    QMap<QString, Recording> maRecordings;
    // (frames recorded so far, reported position) at each position report.
    std::vector<std::pair<qint64, qint64>> maPositions;

    const Recording& recording(const QString& isName) { return maRecordings[isName.section('?', 0, 0)]; }

    // Starts isName (with its query) and records the device until
    // ifUntil(recorder) holds or 30 s have passed.
    Samples play(const QString& isName, const std::function<bool(SinkRecorder&)>& ifUntil,
                 const std::function<void(SinkRecorder&)>& ifWhile = {})
    {
        const Recording& r = recording(isName);
        SinkRecorder aSink(cnRate, r.nChannels);
        maPositions.clear();
        QMetaObject::Connection aConnection = connect(mpPlayer, &AudioPlayer::whilePlayingJs, this, [&] {
            maPositions.emplace_back(aSink.frames(), mpPlayer->property("nPosition").toLongLong());
        });
        mpPlayer->unload();
        mpPlayer->loadFromPackage(isName, "9");
        if (ifWhile)
            ifWhile(aSink);
        const bool bDone = QTest::qWaitFor([&] { return ifUntil(aSink); }, 30000);
        disconnect(aConnection);
        mpPlayer->unload();
        if (!bDone)
            qWarning("recording ended by the time limit");
        return aSink.samples();
    }

    // Waits until inFrames frames of sound were heard.
    static void waitHeard(SinkRecorder& irSink, int inChannels, size_t inFrames)
    {
        QVERIFY(QTest::qWaitFor([&] { return irSink.sound().size() >= inFrames * size_t(inChannels); }, cnDeviceWaitMs));
    }

    // The first frame of sound after the silence that follows inFrom (the
    // rest of what was playing, then the gap of a rebuilt output), or -1
    // while the sound has not come back.
    static qint64 resumeFrame(const Samples& irHeard, int inChannels, size_t inFrom)
    {
        const size_t nFrames = irHeard.size() / size_t(inChannels);
        size_t n = inFrom;
        while (n < nFrames && irHeard[n * size_t(inChannels)] != 0)
            ++n;
        while (n < nFrames && irHeard[n * size_t(inChannels)] == 0)
            ++n;
        return n < nFrames ? qint64(n) : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        PackageWriter aWriter;
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));
        const Samples aStereo = steps(2);
        Samples aLeft, aRight;
        for (size_t i = 0; i < aStereo.size(); i += 2) {
            aLeft.push_back(aStereo[i]);
            aRight.push_back(aStereo[i + 1]);
        }
        QVERIFY(aWriter.addFile("/app/wave/steps.wvc", wvcFile({ aLeft, aRight }, cnRate, "PCM16")));
        QVERIFY(aWriter.addFile("/app/wave/steps.wav", wavFile(1, 16, cnRate, pcmBytes(aLeft))));
        maRecordings["steps.wvc"] = { 2, aStereo };
        maRecordings["steps.wav"] = { 1, aLeft };
        const QString sPath = maDir.filePath("steps.pkg");
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, "", "", "", false), 0);
        mpPlayer = new AudioPlayer(&maPackage);
    }
    void cleanupTestCase() { delete mpPlayer; }

    // At 0.5x and 2x the recording takes twice and half its time to reach
    // the device, at its own pitch, and the positions reported meanwhile
    // are those of the recording.
    void tempoStretchesTime_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::addColumn<double>("fTempo");
        for (const char* pName : { "steps.wvc", "steps.wav" })
            for (double fTempo : { 0.5, 2.0 })
                QTest::addRow("%s at %.1f", pName, fTempo) << QString(pName) << fTempo;
    }
    void tempoStretchesTime()
    {
        QFETCH(QString, sName);
        QFETCH(double, fTempo);
        const Recording& r = recording(sName);
        const qint64 nDurationMs = cnSteps * cnStepMs;
        const Samples aHeard = play(sName + "?timestamp=1&tempo=" + QString::number(fTempo), [&](SinkRecorder& irSink) {
            const auto aSpan = soundSpan(irSink.samples(), r.nChannels);
            // Sound came and has stopped for a while.
            return aSpan.second > aSpan.first && irSink.frames() - qint64(aSpan.second) > cnRate / 2;
        });
        QCOMPARE(mpPlayer->tempo(), fTempo);
        const auto aSpan = soundSpan(aHeard, r.nChannels);
        const double fHeardMs = double(aSpan.second - aSpan.first) * 1000 / cnRate;
        const double fWantMs = nDurationMs / fTempo;
        QVERIFY2(qAbs(fHeardMs - fWantMs) <= 0.02 * fWantMs,
                 qPrintable(QString("heard %1 ms, expected %2 ms").arg(fHeardMs).arg(fWantMs)));

        // The pitch of each step's middle, where the recording has it.
        for (int nStep : { 1, 4, 6 }) {
            const size_t nMiddle = aSpan.first + size_t((nStep + 0.5) * cnStepMs / fTempo * cnRate / 1000);
            const size_t nWindow = size_t(cnStepMs / fTempo * 0.5 * cnRate / 1000);
            for (int c = 0; c < r.nChannels; ++c) {
                const double fHz = tonetest::dominantFrequency(aHeard, r.nChannels, c, cnRate, nMiddle - nWindow / 2, nWindow);
                QVERIFY2(qAbs(fHz - stepHz(nStep, c)) <= 0.02 * stepHz(nStep, c),
                         qPrintable(QString("step %1 channel %2: %3 Hz").arg(nStep).arg(c).arg(fHz)));
            }
        }

        // Positions: the time heard so far, in the recording's time.
        int nChecked = 0;
        qint64 nLast = -1;
        for (const auto& rReport : maPositions) {
            const double fHeard = double(rReport.first - qint64(aSpan.first)) * 1000 / cnRate;
            if (fHeard < 200 || fHeard > fWantMs - 200)
                continue;
            QVERIFY2(qAbs(rReport.second - fHeard * fTempo) <= 250,
                     qPrintable(QString("position %1 after %2 ms heard").arg(rReport.second).arg(fHeard)));
            QVERIFY(rReport.second >= nLast);
            nLast = rReport.second;
            ++nChecked;
        }
        QVERIFY2(nChecked >= 5, qPrintable(QString::number(nChecked)));
    }

    // Speeding up during playback applies at once, and a seek at 1.5x lands
    // where it was asked to: the step that follows the target begins when
    // the rest of the target's step has been heard at 1.5x.
    void seekAtTempo_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::newRow("wvc") << "steps.wvc";
        QTest::newRow("wav") << "steps.wav";
    }
    void seekAtTempo()
    {
        QFETCH(QString, sName);
        const Recording& r = recording(sName);
        constexpr qint64 cnTarget = 2600; // inside step 5, 400 ms before step 6
        qint64 nSeekFrame = 0;
        qint64 nPositionAfter = -1, nHeardAfter = 0;
        const Samples aHeard = play(
            sName,
            [&](SinkRecorder& irSink) { return irSink.frames() > nSeekFrame + cnRate; },
            [&](SinkRecorder& irSink) {
                waitHeard(irSink, r.nChannels, cnRate / 2);
                mpPlayer->setTempo(1.5);
                QCOMPARE(mpPlayer->tempo(), 1.5);
                waitHeard(irSink, r.nChannels, cnRate);
                nSeekFrame = irSink.frames();
                QCOMPARE(mpPlayer->seek(cnTarget), 0);
                // Half a second of sound after the gap the seek makes.
                QVERIFY(QTest::qWaitFor([&] {
                    const qint64 nResume = resumeFrame(irSink.samples(), r.nChannels, size_t(nSeekFrame));
                    return nResume >= 0 && irSink.frames() - nResume > cnRate / 2;
                }, cnDeviceWaitMs));
                QMetaObject::invokeMethod(mpPlayer, "whilePlaying");
                nPositionAfter = mpPlayer->property("nPosition").toLongLong();
                nHeardAfter = irSink.frames();
            });
        // The seek rebuilt the output: sound resumes after a short silence.
        const size_t nResume = size_t(qMax<qint64>(0, resumeFrame(aHeard, r.nChannels, size_t(nSeekFrame))));
        // Where step 6 takes over from step 5, in 30 ms windows.
        const size_t nWindow = cnRate * 30 / 1000;
        size_t nSwitch = nResume;
        while (nSwitch + nWindow < aHeard.size() / size_t(r.nChannels)
               && tonetest::power(aHeard, r.nChannels, 0, cnRate, nSwitch, nWindow, stepHz(6, 0))
                   < tonetest::power(aHeard, r.nChannels, 0, cnRate, nSwitch, nWindow, stepHz(5, 0)))
            nSwitch += cnRate * 5 / 1000;
        const double fHeardMs = double(nSwitch + nWindow / 2 - nResume) * 1000 / cnRate;
        const double fWantMs = (3000 - cnTarget) / 1.5;
        QVERIFY2(qAbs(fHeardMs - fWantMs) <= 40,
                 qPrintable(QString("step 6 began %1 ms after the seek, expected %2").arg(fHeardMs).arg(fWantMs)));
        // The position reported counts from the target in recording time.
        const double fSince = double(nHeardAfter - qint64(nResume)) * 1000 / cnRate;
        QVERIFY2(qAbs(nPositionAfter - (cnTarget + fSince * 1.5)) <= 250,
                 qPrintable(QString("position %1 after %2 ms heard").arg(nPositionAfter).arg(fSince)));
    }

    // A 2 s segment with the loop on is heard three times in a row without
    // a gap, and the position starts over with it.
    void loopRepeatsSegment_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::newRow("wvc") << "steps.wvc";
        QTest::newRow("wav") << "steps.wav";
    }
    void loopRepeatsSegment()
    {
        QFETCH(QString, sName);
        const Recording& r = recording(sName);
        mpPlayer->setLoop(true);
        QVERIFY(mpPlayer->loop());
        const Samples aHeard = play(sName + "?timestamp=1&zoomstart=1000&zoomend=3000", [&](SinkRecorder& irSink) {
            const auto aSpan = soundSpan(irSink.samples(), r.nChannels);
            return aSpan.second > aSpan.first && aSpan.second - aSpan.first > size_t(cnRate) * 65 / 10;
        });
        mpPlayer->setLoop(false);
        const auto aSpan = soundSpan(aHeard, r.nChannels);
        // The segment's first frames as heard, found again each time round.
        const size_t nProbe = 80;
        const Samples aStart(aHeard.begin() + long(aSpan.first * size_t(r.nChannels)),
                             aHeard.begin() + long((aSpan.first + nProbe) * size_t(r.nChannels)));
        const qint64 nInRecording = [&] {
            for (size_t f = 0; f + nProbe <= r.aPcm.size() / size_t(r.nChannels); ++f)
                if (std::equal(aStart.begin(), aStart.end(), r.aPcm.begin() + long(f * size_t(r.nChannels))))
                    return qint64(f);
            return qint64(-1);
        }();
        QVERIFY(nInRecording >= 0);
        QVERIFY2(qAbs(nInRecording * 1000 / cnRate - 1000) <= 20, qPrintable(QString::number(nInRecording)));
        std::vector<size_t> aRounds;
        for (size_t f = aSpan.first; f + nProbe <= aHeard.size() / size_t(r.nChannels); ++f)
            if (std::equal(aStart.begin(), aStart.end(), aHeard.begin() + long(f * size_t(r.nChannels))))
                aRounds.push_back(f);
        QVERIFY2(aRounds.size() >= 3, qPrintable(QString::number(aRounds.size())));
        for (size_t i = 1; i < 3; ++i) {
            const qint64 nRoundMs = qint64(aRounds[i] - aRounds[i - 1]) * 1000 / cnRate;
            QVERIFY2(qAbs(nRoundMs - 2000) <= 20, qPrintable(QString("round of %1 ms").arg(nRoundMs)));
        }
        // Three rounds without a silence a listener would notice.
        const size_t nEnd = aRounds[2] + size_t(cnRate) * 2;
        const size_t nGap = tonetest::longestSilence(aHeard, r.nChannels, aSpan.first, nEnd);
        QVERIFY2(nGap * 1000 / cnRate < 100, qPrintable(QString("gap of %1 frames").arg(nGap)));
        // Positions stay inside the segment and start over with it.
        int nWraps = 0;
        for (size_t i = 0; i < maPositions.size(); ++i) {
            QVERIFY2(maPositions[i].second >= 0 && maPositions[i].second <= 2100,
                     qPrintable(QString::number(maPositions[i].second)));
            if (i > 0 && maPositions[i].second + 1000 < maPositions[i - 1].second)
                ++nWraps;
        }
        QVERIFY2(nWraps >= 2, qPrintable(QString::number(nWraps)));
    }

    // Tempo 1, given or not, leaves every sample as it is.
    void tempoOneIsIdentical_data()
    {
        QTest::addColumn<QString>("sQuery");
        QTest::newRow("no item") << "";
        QTest::newRow("tempo=1") << "?timestamp=1&tempo=1";
        QTest::newRow("tempo= (empty)") << "?timestamp=1&tempo=";
    }
    void tempoOneIsIdentical()
    {
        QFETCH(QString, sQuery);
        mpPlayer->setTempo(2.0); // a load without the item goes back to 1
        const Recording& r = recording("steps.wvc");
        const Samples aHeard = play("steps.wvc" + sQuery, [&](SinkRecorder& irSink) {
            return irSink.sound().size() >= r.aPcm.size();
        });
        QCOMPARE(mpPlayer->tempo(), 1.0);
        const auto aSpan = soundSpan(aHeard, r.nChannels);
        const Samples aSound(aHeard.begin() + long(aSpan.first * 2), aHeard.begin() + long(aSpan.second * 2));
        QCOMPARE(aSound.size(), r.aPcm.size());
        QVERIFY(aSound == r.aPcm);
    }
};

QTEST_MAIN(TestTempoPlayback)
#include "tst_tempo_playback.moc"
