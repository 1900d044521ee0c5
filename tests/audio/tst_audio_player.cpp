// The player on a real sound device: the tests' PulseAudio runs a null sink
// at each recording's rate and channel count as the default output, and its
// monitor is recorded while the player plays, so what reached the device is
// compared sample by sample with the recording.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "Package.h"

#include <QApplication>
#include <QAudioOutput>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace audiotest;

namespace {

// A recording in a package and the PCM the device must receive.
struct Recording
{
    QString sName;     // member path below /app/wave/
    int nRate = 8000;
    int nChannels = 1;
    Samples aExpected; // interleaved
};

// Presses the default button of the next message box and keeps its text.
class BoxAnswer : public QObject
{
public:
    BoxAnswer()
    {
        connect(&maTimer, &QTimer::timeout, this, [this] {
            if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                msText = pBox->text();
                if (pBox->defaultButton())
                    pBox->defaultButton()->click();
                else
                    pBox->close();
            }
        });
        maTimer.start(20);
    }
    QString msText;

private:
    QTimer maTimer;
};

// Index of the first frame from which irHaystack continues with irNeedle's
// first inLength frames, or -1.
qint64 findFrames(const Samples& irHaystack, const Samples& irNeedle, int inChannels, size_t inLength)
{
    const size_t n = inLength * size_t(inChannels);
    if (irNeedle.size() < n)
        return -1;
    for (size_t i = 0; i + n <= irHaystack.size(); i += size_t(inChannels))
        if (std::equal(irNeedle.begin(), irNeedle.begin() + long(n), irHaystack.begin() + long(i)))
            return qint64(i) / inChannels;
    return -1;
}

double channelRms(const Samples& irSamples, int inChannels, int inChannel)
{
    double f = 0;
    size_t n = 0;
    for (size_t i = size_t(inChannel); i < irSamples.size(); i += size_t(inChannels), ++n)
        f += double(irSamples[i]) * irSamples[i];
    return n ? std::sqrt(f / double(n)) : 0.0;
}

} // namespace

class TestAudioPlayer : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;
    QMap<QString, Recording> maRecordings;

    void add(PackageWriter& irWriter, const Recording& irRecording, const QByteArray& iaBytes)
    {
        QVERIFY(irWriter.addFile("/app/wave/" + irRecording.sName, iaBytes));
        maRecordings.insert(irRecording.sName, irRecording);
    }

    QAudioOutput* output() const { return mpPlayer->findChild<QAudioOutput*>(); }

    // Plays isName (with its query) to the end of irExpected on a sink of
    // the recording's format; returns what the device got, silence removed.
    Samples playToEnd(const QString& isName, const QString& isQuery, size_t inExpectedFrames)
    {
        const Recording& r = maRecordings[isName];
        SinkRecorder aSink(r.nRate, r.nChannels);
        mpPlayer->unload();
        mpPlayer->loadFromPackage(isName + isQuery, "7");
        const size_t nWanted = inExpectedFrames * size_t(r.nChannels);
        QTest::qWaitFor([&] { return aSink.sound().size() >= nWanted; }, cnDeviceWaitMs);
        aSink.runOn(r.nRate * 3 / 10); // nothing more may follow
        mpPlayer->unload();
        return aSink.sound();
    }

    // Opens a package with the given members; a password makes it encrypted.
    void openPackage(const QString& isPassword, const QString& isSettings)
    {
        PackageWriter aWriter;
        if (!isPassword.isEmpty()) {
            aWriter.setPassword(isPassword);
            aWriter.setUsers("anna");
        }
        aWriter.setSettings(isSettings);
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));
        const Samples aMono = tone(16000, 1);
        const Samples aLeft = tone(16000, 2);
        const Samples aRight = tone(16000, 3, 4000.0);
        const Samples aWideLeft = tone(32000, 4);
        const Samples aWideRight = tone(32000, 5, 4000.0);
        const std::string sWvcPassword = isPassword.isEmpty() ? std::string("wvcpass") : isPassword.toStdString();
        add(aWriter, { "mono.wvc", 8000, 1, aMono }, wvcFile({ aMono }, 8000, "PCM16"));
        add(aWriter, { "stereo.wvc", 16000, 2, interleave(aWideLeft, aWideRight) },
            wvcFile({ aWideLeft, aWideRight }, 16000, "PCM16"));
        add(aWriter, { "secret.wvc", 8000, 2, interleave(aLeft, aRight) },
            wvcFile({ aLeft, aRight }, 8000, "PCM16", sWvcPassword));
        add(aWriter, { "pcm.wav", 8000, 1, aMono }, wavFile(1, 16, 8000, pcmBytes(aMono)));
        QByteArray aAlaw;
        Samples aAlawPcm;
        for (qint16 n : aLeft) {
            aAlaw += char(alawEncode(n));
            aAlawPcm.push_back(alawDecode(quint8(aAlaw.back())));
        }
        add(aWriter, { "alaw.wav", 8000, 1, aAlawPcm }, wavFile(6, 8, 8000, aAlaw));
        const QString sPath = maDir.filePath(isPassword.isEmpty() ? "plain.pkg" : "secret.pkg");
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, isPassword.isEmpty() ? "" : "anna", isPassword, "", false), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        mpPlayer = new AudioPlayer(&maPackage);
    }
    void cleanupTestCase() { delete mpPlayer; }

    // The page calls by name and reads arguments by position: the order and
    // the argument names are part of the interface.
    void webChannelInterface()
    {
        const QStringList saExpected {
            "callIdChanged(QString irsCallId)", "durationChanged()", "mutedChanged()", "pausedChanged()",
            "onLoadJs(QString irsCallId)", "whileLoadingJs()", "whilePlayingJs()", "idleJs()",
            "tempoChanged()", "loopChanged()",
            "loadFromPackage(QString isFilename,QString isCallId)", "downloadFromPackage(QString isFilename)",
            "downloadPcap(QString isFilename)", "downloadDataFile(QString isFilename)", "unload()", "play()",
            "stop()", "pause()", "resume()", "togglePause()", "mute()", "unmute()", "toggleMute()",
            "int seek(qlonglong inPosition)", "audioStateChanged(QAudio::State inState)", "whilePlaying()",
            "readHeader()", "startStreamingTimer()", "streamBuffer()", "idlePlayer()",
            "setTempo(double ifTempo)", "setLoop(bool ibLoop)", "savePassage(QString isFilename)"
        };
        const QMetaObject& rMeta = AudioPlayer::staticMetaObject;
        QStringList saFound;
        for (int i = rMeta.methodOffset(); i < rMeta.methodCount(); ++i) {
            const QMetaMethod aMethod = rMeta.method(i);
            QStringList saArguments;
            for (int a = 0; a < aMethod.parameterCount(); ++a)
                saArguments << aMethod.parameterTypes().at(a) + " " + aMethod.parameterNames().at(a);
            const QString sReturn = aMethod.returnType() == QMetaType::Void ? QString() : QString(aMethod.typeName()) + " ";
            saFound << sReturn + aMethod.name() + "(" + saArguments.join(",") + ")";
        }
        QCOMPARE(saFound, saExpected);
        QCOMPARE(rMeta.method(rMeta.indexOfSlot("idlePlayer()")).access(), QMetaMethod::Private);
        const QStringList saProperties { "nDuration qlonglong", "nPosition qlonglong", "bMuted bool", "bPaused bool",
                                          "fTempo double", "bLoop bool" };
        QStringList saFoundProperties;
        for (int i = rMeta.propertyOffset(); i < rMeta.propertyCount(); ++i)
            saFoundProperties << QString(rMeta.property(i).name()) + " " + rMeta.property(i).typeName();
        QCOMPARE(saFoundProperties, saProperties);
        QVERIFY(QMetaType::type("QAudio::State") != QMetaType::UnknownType);
    }

    void playsEveryKind_data()
    {
        QTest::addColumn<QString>("sPassword");
        QTest::addColumn<QString>("sName");
        for (const QString& sPassword : { QString(), QStringLiteral("secret") })
            for (const char* pName : { "mono.wvc", "stereo.wvc", "secret.wvc", "pcm.wav", "alaw.wav" })
                QTest::addRow("%s %s", sPassword.isEmpty() ? "plain" : "encrypted", pName) << sPassword << pName;
    }
    void playsEveryKind()
    {
        QFETCH(QString, sPassword);
        QFETCH(QString, sName);
        openPackage(sPassword, sPassword.isEmpty() ? "wvc_encryption_password=wvcpass" : "");
        const Recording& r = maRecordings[sName];
        const Samples aHeard = playToEnd(sName, "", r.aExpected.size() / size_t(r.nChannels));
        QCOMPARE(aHeard.size(), r.aExpected.size());
        QVERIFY(aHeard == r.aExpected);
    }

    // Pausing halts the device; resuming plays the rest and nothing is lost.
    void pauseLosesNothing()
    {
        openPackage("", "");
        const Recording& r = maRecordings["mono.wvc"];
        SinkRecorder aSink(r.nRate, r.nChannels);
        mpPlayer->loadFromPackage("mono.wvc", "1");
        QVERIFY(QTest::qWaitFor([&] { return aSink.sound().size() > 4000; }, cnDeviceWaitMs));
        mpPlayer->pause();
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);
        QVERIFY(aSink.runOn(r.nRate / 5)); // what was on its way is heard
        const size_t nHeard = aSink.sound().size();
        QVERIFY(aSink.runOn(3000)); // the device runs on, silent
        QCOMPARE(aSink.sound().size(), nHeard);
        mpPlayer->resume();
        QCOMPARE(mpPlayer->property("bPaused").toBool(), false);
        QVERIFY(QTest::qWaitFor([&] { return aSink.sound().size() >= r.aExpected.size(); }, cnDeviceWaitMs));
        QVERIFY(aSink.runOn(r.nRate / 5));
        mpPlayer->unload();
        QVERIFY(aSink.sound() == r.aExpected);
    }

    // After a seek the device continues at the target, within one 20 ms step.
    void seekResumesAtTarget_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::addColumn<qint64>("nTarget");
        QTest::newRow("wvc forward") << "stereo.wvc" << qint64(1500);
        QTest::newRow("wvc back to start") << "mono.wvc" << qint64(0);
        QTest::newRow("wav forward") << "pcm.wav" << qint64(1234);
    }
    void seekResumesAtTarget()
    {
        QFETCH(QString, sName);
        QFETCH(qint64, nTarget);
        openPackage("", "");
        const Recording& r = maRecordings[sName];
        SinkRecorder aSink(r.nRate, r.nChannels);
        mpPlayer->loadFromPackage(sName, "1");
        QVERIFY(QTest::qWaitFor([&] { return aSink.sound().size() > size_t(r.nRate / 2 * r.nChannels); }, cnDeviceWaitMs));
        QCOMPARE(mpPlayer->seek(nTarget), 0);
        // The rest of the recording from the target on, then nothing.
        const size_t nTail = size_t(r.nRate) / 4;
        const Samples aTail(r.aExpected.end() - long(nTail * size_t(r.nChannels)), r.aExpected.end());
        QVERIFY(QTest::qWaitFor([&] { return findFrames(aSink.sound(), aTail, r.nChannels, nTail) >= 0; }, cnDeviceWaitMs));
        QVERIFY(aSink.runOn(r.nRate / 5));
        mpPlayer->unload();
        const Samples aHeard = aSink.sound();
        // Walk back from the end while the device and the recording agree.
        size_t nHeard = aHeard.size();
        size_t nRecording = r.aExpected.size();
        while (nHeard > 0 && nRecording > 0 && aHeard[nHeard - 1] == r.aExpected[nRecording - 1]) {
            --nHeard;
            --nRecording;
        }
        QCOMPARE(nHeard % size_t(r.nChannels), size_t(0));
        const qint64 nStart = qint64(nRecording) / r.nChannels * 1000 / r.nRate;
        QVERIFY2(qAbs(nStart - nTarget) <= 20, qPrintable(QString("resumed at %1 ms").arg(nStart)));
        if (nTarget > 0)
            QVERIFY(mpPlayer->property("nPosition").toLongLong() >= 0);
    }

    // Only the zoom segment is heard; its start and end within a 20 ms frame
    // (WAV to the sample).
    void zoomPlaysTheSegment_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::addColumn<int>("nTolerance");
        QTest::newRow("wav") << "pcm.wav" << 0;
        QTest::newRow("wvc") << "stereo.wvc" << 20;
    }
    void zoomPlaysTheSegment()
    {
        QFETCH(QString, sName);
        QFETCH(int, nTolerance);
        openPackage("", "");
        const Recording& r = maRecordings[sName];
        const Samples aHeard = playToEnd(sName, "?timestamp=1&zoomstart=500.7&zoomend=1250", size_t(r.nRate) * 3 / 4);
        QCOMPARE(mpPlayer->property("nDuration").toLongLong(), qint64(750)); // kept by the unload
        const qint64 nFirst = findFrames(r.aExpected, aHeard, r.nChannels, 50);
        QVERIFY(nFirst >= 0);
        const qint64 nFrames = qint64(aHeard.size()) / r.nChannels;
        const qint64 nStartMs = nFirst * 1000 / r.nRate;
        const qint64 nEndMs = (nFirst + nFrames) * 1000 / r.nRate;
        QVERIFY2(qAbs(nStartMs - 500) <= nTolerance && qAbs(nEndMs - 1250) <= nTolerance,
                 qPrintable(QString("heard %1 .. %2 ms").arg(nStartMs).arg(nEndMs)));
        QVERIFY(std::equal(aHeard.begin(), aHeard.end(), r.aExpected.begin() + long(nFirst * r.nChannels)));
    }

    // Amplification and balance change each channel by the requested ratio.
    void effectsScaleTheChannels_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::addColumn<QString>("sQuery");
        QTest::addColumn<double>("fLeft");
        QTest::addColumn<double>("fRight");
        QTest::newRow("wvc amplify and balance") << "stereo.wvc" << "?timestamp=1&amplifyratio=2&balance=-50" << 2.0
                                                 << 1.0;
        QTest::newRow("wvc balance right") << "stereo.wvc" << "?timestamp=1&balance=75" << 0.25 << 1.0;
        QTest::newRow("wav amplify") << "pcm.wav" << "?timestamp=1&amplifyratio=0.5" << 0.5 << 0.0;
    }
    void effectsScaleTheChannels()
    {
        QFETCH(QString, sName);
        QFETCH(QString, sQuery);
        QFETCH(double, fLeft);
        QFETCH(double, fRight);
        openPackage("", "");
        const Recording& r = maRecordings[sName];
        const Samples aHeard = playToEnd(sName, sQuery, size_t(r.nRate) * 3 / 2);
        for (int c = 0; c < r.nChannels; ++c) {
            const double fRatio = channelRms(aHeard, r.nChannels, c) /
                channelRms(Samples(r.aExpected.begin(), r.aExpected.begin() + long(aHeard.size())), r.nChannels, c);
            QVERIFY2(qAbs(fRatio - (c == 0 ? fLeft : fRight)) < 0.01, qPrintable(QString::number(fRatio)));
        }
    }

    // Muted output reaches the device as silence; unmuting brings it back.
    void muteSilencesTheDevice()
    {
        openPackage("", "");
        const Recording& r = maRecordings["stereo.wvc"];
        SinkRecorder aSink(r.nRate, r.nChannels);
        QSignalSpy aMuted(mpPlayer, &AudioPlayer::mutedChanged);
        mpPlayer->loadFromPackage("stereo.wvc", "1");
        mpPlayer->mute();
        QVERIFY(aMuted.count() >= 1);
        QCOMPARE(mpPlayer->property("bMuted").toBool(), true);
        // Half a second of the recording went out, and the device has had it.
        QTRY_VERIFY_WITH_TIMEOUT(mpPlayer->property("nPosition").toLongLong() >= 500, cnDeviceWaitMs);
        QVERIFY(aSink.runOn(r.nRate / 5));
        QCOMPARE(aSink.sound().size(), size_t(0));
        mpPlayer->unmute();
        QVERIFY(QTest::qWaitFor([&] { return aSink.sound().size() > 1000; }, cnDeviceWaitMs));
        mpPlayer->unload();
    }

    // Output states and the paused flag after each operation.
    void stateTable_data()
    {
        QTest::addColumn<QStringList>("saOperations");
        QTest::addColumn<int>("nState"); // QAudio::State, -1: no output
        QTest::addColumn<bool>("bPaused");
        QTest::addColumn<bool>("bIdleTimer");
        QTest::newRow("nothing loaded") << QStringList { "pause", "resume", "togglePause", "stop" } << -1 << true
                                        << false;
        QTest::newRow("playing") << QStringList { "load" } << int(QAudio::ActiveState) << false << false;
        QTest::newRow("paused") << QStringList { "load", "pause" } << int(QAudio::SuspendedState) << true << true;
        QTest::newRow("paused twice") << QStringList { "load", "pause", "pause" } << int(QAudio::SuspendedState)
                                      << true << true;
        QTest::newRow("resumed") << QStringList { "load", "pause", "resume" } << int(QAudio::ActiveState) << false
                                 << false;
        QTest::newRow("toggled") << QStringList { "load", "togglePause" } << int(QAudio::SuspendedState) << true
                                 << true;
        QTest::newRow("toggled back") << QStringList { "load", "togglePause", "play" } << int(QAudio::ActiveState)
                                      << false << false;
        QTest::newRow("stopped") << QStringList { "load", "stop" } << int(QAudio::IdleState) << true << false;
        QTest::newRow("stopped, resumed") << QStringList { "load", "stop", "resume" } << int(QAudio::ActiveState)
                                          << false << false;
        QTest::newRow("seek while paused") << QStringList { "load", "pause", "seek" } << int(QAudio::IdleState)
                                           << true << false;
        QTest::newRow("seek while playing") << QStringList { "load", "seek" } << int(QAudio::ActiveState) << false
                                            << false;
        QTest::newRow("unloaded") << QStringList { "load", "unload" } << -1 << true << false;
    }
    void stateTable()
    {
        QFETCH(QStringList, saOperations);
        QFETCH(int, nState);
        QFETCH(bool, bPaused);
        QFETCH(bool, bIdleTimer);
        openPackage("", "");
        mpPlayer->unload();
        for (const QString& sOperation : saOperations) {
            if (sOperation == "load") {
                mpPlayer->loadFromPackage("mono.wvc", "1");
                QTRY_VERIFY_WITH_TIMEOUT(output() && output()->state() == QAudio::ActiveState, cnDeviceWaitMs);
            } else if (sOperation == "seek") {
                QCOMPARE(mpPlayer->seek(800), 0);
            } else {
                QVERIFY(QMetaObject::invokeMethod(mpPlayer, sOperation.toLatin1()));
            }
            QTest::qWait(400);
        }
        if (nState < 0) {
            QVERIFY(!output());
            QCOMPARE(mpPlayer->seek(100), -1);
        } else {
            QVERIFY(output());
            QTRY_COMPARE_WITH_TIMEOUT(int(output()->state()), nState, cnDeviceWaitMs);
        }
        QCOMPARE(mpPlayer->property("bPaused").toBool(), bPaused);
        bool bTimer = false;
        for (QTimer* pTimer : mpPlayer->findChildren<QTimer*>())
            bTimer = bTimer || (pTimer->isSingleShot() && pTimer->interval() == 300000 && pTimer->isActive());
        QCOMPARE(bTimer, bIdleTimer);
        mpPlayer->unload();
    }

    // A pause that lasts the idle interval unloads the player once, also
    // when it comes before the streaming of a resume has started.
    void idleUnload_data()
    {
        QTest::addColumn<bool>("bRightAfterResume");
        QTest::newRow("paused while playing") << false;
        QTest::newRow("paused right after resuming") << true;
    }
    void idleUnload()
    {
        QFETCH(bool, bRightAfterResume);
        openPackage("", "");
        QSignalSpy aIdle(mpPlayer, &AudioPlayer::idleJs);
        mpPlayer->setIdleInterval(400);
        mpPlayer->loadFromPackage("mono.wvc", "1");
        QTRY_VERIFY_WITH_TIMEOUT(output() && output()->state() == QAudio::ActiveState, cnDeviceWaitMs);
        if (bRightAfterResume) {
            mpPlayer->pause();
            mpPlayer->resume();
        }
        mpPlayer->pause();
        QTRY_COMPARE_WITH_TIMEOUT(aIdle.count(), 1, cnDeviceWaitMs);
        QVERIFY(!output());
        QCOMPARE(mpPlayer->seek(0), -1);
        QTest::qWait(600);
        QCOMPARE(aIdle.count(), 1);
        mpPlayer->setIdleInterval(300000);
    }

    // Recordings that cannot be opened: the user is told, the busy cursor
    // goes, and the page does not hear of playing.
    void unplayableRecording_data()
    {
        QTest::addColumn<QString>("sSettings");
        QTest::addColumn<QString>("sName");
        QTest::addColumn<QString>("sMessage");
        QTest::newRow("wvc, wrong password") << "wvc_encryption_password=wrong" << "secret.wvc"
                                             << "<p>Could not open wvc file.";
        QTest::newRow("wvc, not in the package") << "" << "missing.wvc" << "<p>Could not open wvc file.";
        QTest::newRow("wav, not in the package") << "" << "missing.wav" << "<p>Could not open wav file.";
    }
    void unplayableRecording()
    {
        QFETCH(QString, sSettings);
        QFETCH(QString, sName);
        QFETCH(QString, sMessage);
        openPackage("", sSettings);
        mpPlayer->unload();
        QSignalSpy aPaused(mpPlayer, &AudioPlayer::pausedChanged);
        QSignalSpy aLoaded(mpPlayer, &AudioPlayer::onLoadJs);
        BoxAnswer aAnswer;
        mpPlayer->loadFromPackage(sName, "9");
        QCOMPARE(aAnswer.msText, sMessage);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(aLoaded.count(), 0);
        QVERIFY(aPaused.count() >= 1);
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);
        QVERIFY(!output());
    }
};

QTEST_MAIN(TestAudioPlayer)
#include "tst_audio_player.moc"
