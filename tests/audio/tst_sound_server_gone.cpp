// The sound server stops while a recording plays: the player stops with the
// message and nothing hangs; once the server is back, the next play works in
// the same process. The test runs a sound server of its own (own runtime
// folder and socket), so that the one other tests share is never stopped.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "Package.h"

#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QProcess>

#include <cstdlib>

using namespace audiotest;

namespace {

QString gsRuntime; // the private server's folder, made before the application

class SoundServer
{
public:
    bool start()
    {
        maProcess.setProcessChannelMode(QProcess::ForwardedChannels);
        maProcess.start("pulseaudio",
                        { "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-n", "--use-pid-file=no",
                          "--load=module-null-sink sink_name=gone_null",
                          "--load=module-native-protocol-unix auth-anonymous=1 socket=" + gsRuntime + "/native",
                          "--log-level=error" });
        if (!maProcess.waitForStarted(10000))
            return false;
        return QTest::qWaitFor(
            [] {
                QProcess aInfo;
                aInfo.setStandardOutputFile(QProcess::nullDevice());
                aInfo.setStandardErrorFile(QProcess::nullDevice());
                aInfo.start("pactl", { "-s", "unix:" + gsRuntime + "/native", "info" });
                return aInfo.waitForFinished(10000) && aInfo.exitStatus() == QProcess::NormalExit
                    && aInfo.exitCode() == 0;
            },
            30000);
    }
    void stop()
    {
        maProcess.terminate();
        if (!maProcess.waitForFinished(10000)) {
            maProcess.kill();
            maProcess.waitForFinished(10000);
        }
    }
    ~SoundServer() { stop(); }

private:
    QProcess maProcess;
};

// The sound system of the process has found the server again: an output
// of its own starts without an error.
bool soundSystemBack()
{
    const QAudioDeviceInfo aDevice = QAudioDeviceInfo::defaultOutputDevice();
    if (aDevice.isNull())
        return false;
    QAudioFormat aFormat;
    aFormat.setSampleRate(8000);
    aFormat.setChannelCount(1);
    aFormat.setSampleSize(16);
    aFormat.setCodec(QStringLiteral("audio/pcm"));
    aFormat.setByteOrder(QAudioFormat::LittleEndian);
    aFormat.setSampleType(QAudioFormat::SignedInt);
    QAudioOutput aOutput(aDevice, aFormat);
    aOutput.start();
    QCoreApplication::processEvents();
    const bool bStarted = aOutput.error() == QAudio::NoError && aOutput.state() != QAudio::StoppedState;
    aOutput.stop();
    return bStarted;
}

} // namespace

class TestSoundServerGone : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;
    SoundServer maServer;

    bool playFor(qint64 inMs)
    {
        QSignalSpy aPlaying(mpPlayer, SIGNAL(whilePlayingJs()));
        mpPlayer->loadFromPackage("long.wav", "1");
        return QTest::qWaitFor(
            [&] { return aPlaying.count() > 0 && mpPlayer->property("nPosition").toLongLong() >= inMs; }, 60000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        QVERIFY(maServer.start());
        PackageWriter aWriter;
        aWriter.setUsers("anna");
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));
        QVERIFY(aWriter.addFile("/app/wave/long.wav", wavFile(1, 16, 8000, pcmBytes(tone(8000 * 120, 1)))));
        const QString sPath = maDir.filePath("calls.pkg");
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, "", "", "", false), 0);
        mpPlayer = new AudioPlayer(&maPackage);
    }

    void cleanupTestCase() { delete mpPlayer; }

    void serverStopsWhilePlaying()
    {
        QVERIFY(playFor(300));
        QSignalSpy aIdle(mpPlayer, SIGNAL(idleJs()));
        QString sMessage;
        {
            ModalAnswers aAnswers({ pressButton(&sMessage) });
            maServer.stop();
            QVERIFY(QTest::qWaitFor([&] { return aAnswers.allUsed() && !qApp->activeModalWidget(); }, 60000));
        }
        QCOMPARE(sMessage, QStringLiteral("<p>The sound device stopped working. Playback has ended."));
        QCOMPARE(aIdle.count(), 1);
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);

        // Back again: the sound system finds it on its own, and the next play
        // reaches it without a restart of the program.
        QVERIFY(maServer.start());
        QVERIFY(QTest::qWaitFor(soundSystemBack, 60000));
        QVERIFY(playFor(300));
        mpPlayer->unload();
    }
};

int main(int argc, char** argv)
{
    // The private server's address goes into the environment before the
    // sound system is first used.
    QTemporaryDir aRuntime;
    aRuntime.setAutoRemove(true);
    gsRuntime = aRuntime.path();
    qputenv("PULSE_SERVER", ("unix:" + gsRuntime + "/native").toUtf8());
    qputenv("PULSE_RUNTIME_PATH", (gsRuntime + "/pulse").toUtf8());
    qputenv("XDG_RUNTIME_DIR", gsRuntime.toUtf8());
    QApplication aApp(argc, argv);
    TestSoundServerGone aTest;
    return QTest::qExec(&aTest, argc, argv);
}

#include "tst_sound_server_gone.moc"
