// wvctool end to end: encode WAV recordings, decode them back through
// WVC::Decoder, inspect them, and report bad input on one line.
#include "AudioEffect.h"
#include "G711.h"
#include "WavFile.h"
#include "WvcTestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using wvctools::WavData;

class TestWvcTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void soxRecording();
    void g711RoundTrip();
    void info();
    void seekAndZoom();
    void seekNearEnd_data();
    void seekNearEnd();
    void damagedMetadataIsNoDecodeFailure();
    void effects();
    void errors_data();
    void errors();
    void help();

private:
    struct Result
    {
        int nExit = -1;
        QString sOut;
        QString sErr;
    };
    Result run(const QString& isProgram, const QStringList& iaArgs);
    Result tool(const QStringList& iaArgs) { return run(QStringLiteral(VORN_BIN_DIR "/wvctool"), iaArgs); }
    QString path(const QString& isName) const { return maDir.filePath(isName); }
    void writeInput(const QString& isName, int inChannels, uint32_t inRate, size_t inFrames, int inSeed);
    WavData readOutput(const QString& isName);

    QTemporaryDir maDir;
};

TestWvcTool::Result TestWvcTool::run(const QString& isProgram, const QStringList& iaArgs)
{
    QProcess aProcess;
    aProcess.start(isProgram, iaArgs);
    Result aResult;
    if (!aProcess.waitForFinished(60000) || aProcess.exitStatus() != QProcess::NormalExit)
        return aResult;
    aResult.nExit = aProcess.exitCode();
    aResult.sOut = QString::fromUtf8(aProcess.readAllStandardOutput());
    aResult.sErr = QString::fromUtf8(aProcess.readAllStandardError());
    return aResult;
}

void TestWvcTool::writeInput(const QString& isName, int inChannels, uint32_t inRate, size_t inFrames, int inSeed)
{
    WavData aWav;
    aWav.nSampleRate = inRate;
    aWav.nChannels = static_cast<uint16_t>(inChannels);
    std::vector<std::vector<int16_t>> aChannels;
    for (int c = 0; c < inChannels; ++c)
        aChannels.push_back(wvctest::signal(inFrames, inSeed + c, 20000.0));
    for (size_t i = 0; i < inFrames; ++i) {
        for (int c = 0; c < inChannels; ++c)
            aWav.aSamples.push_back(aChannels[c][i]);
    }
    std::string sError;
    QVERIFY2(wvctools::writeWav(path(isName).toStdString(), aWav, sError), sError.c_str());
}

WavData TestWvcTool::readOutput(const QString& isName)
{
    WavData aWav;
    std::string sError;
    if (!wvctools::readWav(path(isName).toStdString(), aWav, sError))
        qWarning("%s", sError.c_str());
    return aWav;
}

void TestWvcTool::initTestCase()
{
    QVERIFY(maDir.isValid());
    QVERIFY(QFile::exists(QStringLiteral(VORN_BIN_DIR "/wvctool")));
}

void TestWvcTool::roundTrip_data()
{
    QTest::addColumn<int>("inputs");   // 1: one file of inputChannels, 2: two mono files
    QTest::addColumn<int>("inputChannels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("mono 8 kHz v3") << 1 << 1 << 8000 << QStringList{};
    QTest::newRow("mono 16 kHz v4, encrypted") << 1 << 1 << 16000
                                               << QStringList{"--version", "4", "--password", "pass word"};
    QTest::newRow("two mono inputs, small pages") << 2 << 1 << 8000
                                                  << QStringList{"--frames-per-page", "3", "--samples-per-frame",
                                                                 "80"};
    QTest::newRow("one stereo input, encrypted v3, no duration")
        << 1 << 2 << 8000 << QStringList{"--password", "x", "--no-duration"};
    QTest::newRow("stereo 16 kHz, 1920-sample frames") << 2 << 1 << 16000
                                                       << QStringList{"--samples-per-frame", "1920", "--version", "4"};
}

void TestWvcTool::roundTrip()
{
    QFETCH(int, inputs);
    QFETCH(int, inputChannels);
    QFETCH(int, rate);
    QFETCH(QStringList, options);
    const size_t nFrames = static_cast<size_t>(rate) * 2 + 77;
    writeInput("in1.wav", inputChannels, static_cast<uint32_t>(rate), nFrames, 1);
    QStringList aArgs{"encode", path("in1.wav")};
    if (inputs == 2) {
        writeInput("in2.wav", 1, static_cast<uint32_t>(rate), nFrames, 5);
        aArgs << path("in2.wav");
    }
    aArgs << path("rt.wvc") << "--codec" << "pcm16" << options;
    Result aEncode = tool(aArgs);
    QVERIFY2(aEncode.nExit == 0, qPrintable(aEncode.sErr));

    QStringList aDecodeArgs{"decode", path("rt.wvc"), path("rt.wav")};
    const int nPassword = options.indexOf("--password");
    if (nPassword >= 0)
        aDecodeArgs << "--password" << options[nPassword + 1];
    Result aDecode = tool(aDecodeArgs);
    QVERIFY2(aDecode.nExit == 0, qPrintable(aDecode.sErr));
    QCOMPARE(aDecode.sErr, QString());

    const WavData aOut = readOutput("rt.wav");
    const int nChannels = inputs == 2 ? 2 : inputChannels;
    QCOMPARE(static_cast<int>(aOut.nChannels), nChannels);
    QCOMPARE(aOut.nSampleRate, static_cast<uint32_t>(rate));
    if (inputs == 2) {
        const WavData aLeft = readOutput("in1.wav");
        const WavData aRight = readOutput("in2.wav");
        QCOMPARE(aOut.aSamples.size(), nFrames * 2);
        for (size_t i = 0; i < nFrames; ++i) {
            QCOMPARE(aOut.aSamples[2 * i], aLeft.aSamples[i]);
            QCOMPARE(aOut.aSamples[2 * i + 1], aRight.aSamples[i]);
        }
    } else {
        QVERIFY(aOut.aSamples == readOutput("in1.wav").aSamples);
    }

    // sox reads our WAV with the same shape.
    Result aSox = run("soxi", {path("rt.wav")});
    if (aSox.nExit == 0) {
        QVERIFY(aSox.sOut.contains(QString("Channels       : %1").arg(nChannels)));
        QVERIFY(aSox.sOut.contains(QString("Sample Rate    : %1").arg(rate)));
        QVERIFY(aSox.sOut.contains(QString("= %1 samples").arg(nFrames)));
    }
}

void TestWvcTool::soxRecording()
{
    if (run("sox", {"--version"}).nExit != 0)
        QFAIL("sox is not installed (scripts/setup installs it)");
    Result aSox = run("sox", {"-n", "-r", "8000", "-c", "1", "-b", "16", path("sox.wav"), "synth", "3.21", "sine",
                              "300-3000", "vol", "0.9"});
    QCOMPARE(aSox.nExit, 0);
    QCOMPARE(tool({"encode", "--codec", "PCM16", path("sox.wav"), path("sox.wvc")}).nExit, 0);
    QCOMPARE(tool({"decode", path("sox.wvc"), path("sox-out.wav")}).nExit, 0);
    // Identical audio by sox's own comparison: the difference is silent.
    Result aStat = run("sox", {"-m", "-v", "1", path("sox.wav"), "-v", "-1", path("sox-out.wav"), "-n", "stat"});
    QCOMPARE(aStat.nExit, 0);
    QVERIFY2(aStat.sErr.contains(QRegularExpression("Maximum amplitude:\\s+0\\.000000")), qPrintable(aStat.sErr));
    QVERIFY(readOutput("sox.wav").aSamples == readOutput("sox-out.wav").aSamples);
}

void TestWvcTool::g711RoundTrip()
{
    writeInput("g.wav", 1, 8000, 8000, 3);
    for (const QString& sCodec : {QString("PCMA"), QString("pcmu")}) {
        Result aEncode = tool({"encode", path("g.wav"), path("g.wvc"), "--codec", sCodec, "--version",
                               sCodec == "PCMA" ? "1" : "3"});
        QVERIFY2(aEncode.nExit == 0, qPrintable(aEncode.sErr));
        Result aDecode = tool({"decode", path("g.wvc"), path("g-out.wav")});
        QVERIFY2(aDecode.nExit == 0, qPrintable(aDecode.sErr));
        const std::vector<int16_t> aIn = readOutput("g.wav").aSamples;
        const std::vector<int16_t> aOut = readOutput("g-out.wav").aSamples;
        QCOMPARE(aOut.size(), aIn.size());
        const bool bMu = sCodec == "pcmu";
        for (size_t i = 0; i < aIn.size(); ++i) {
            const int16_t nExpected = bMu ? WVC::G711::ulawToLinear(WVC::G711::linearToUlaw(aIn[i]))
                                          : WVC::G711::alawToLinear(WVC::G711::linearToAlaw(aIn[i]));
            QCOMPARE(aOut[i], nExpected);
        }
    }
}

void TestWvcTool::info()
{
    writeInput("i.wav", 2, 16000, 32000, 2);
    QCOMPARE(tool({"encode", "--meta", "direction=incoming", path("i.wav"), "--codec", "PCM16", "--meta",
                   "note=a=b", "--version", "4", path("i.wvc"), "--password", "pw"})
                 .nExit,
             0);
    Result aInfo = tool({"info", path("i.wvc"), "--password", "pw"});
    QCOMPARE(aInfo.nExit, 0);
    QCOMPARE(aInfo.sOut, QString("version: 4\nencryption: encrypted\ncodec: PCM16\nchannels: 2\nsample rate: 16000\n"
                                 "samples per frame: 320\nframe duration: 20 ms\nduration: 2000 ms\n"
                                 "meta: direction=incoming\nmeta: note=a=b\n"));
}

void TestWvcTool::seekAndZoom()
{
    writeInput("s.wav", 1, 8000, 8000 * 4, 4);
    QCOMPARE(tool({"encode", path("s.wav"), path("s.wvc"), "--codec", "PCM16"}).nExit, 0);
    const std::vector<int16_t> aIn = readOutput("s.wav").aSamples;

    QCOMPARE(tool({"decode", "--seek", "1234", path("s.wvc"), path("seek.wav")}).nExit, 0);
    const std::vector<int16_t> aSeek = readOutput("seek.wav").aSamples;
    // From the frame around the target to the end.
    QVERIFY(aSeek.size() == aIn.size() - 1200 * 8 || aSeek.size() == aIn.size() - 1220 * 8);
    QVERIFY(std::equal(aSeek.begin(), aSeek.end(), aIn.end() - static_cast<long>(aSeek.size())));

    QCOMPARE(tool({"decode", path("s.wvc"), path("zoom.wav"), "--zoom", "1000:2500"}).nExit, 0);
    const std::vector<int16_t> aZoom = readOutput("zoom.wav").aSamples;
    QVERIFY(aZoom.size() == 1500 * 8 || aZoom.size() == 1520 * 8);
    const size_t nFirst = 2500 * 8 - aZoom.size();
    QVERIFY(std::equal(aZoom.begin(), aZoom.end(), aIn.begin() + static_cast<long>(nFirst)));
}

void TestWvcTool::seekNearEnd_data()
{
    QTest::addColumn<int>("target");
    for (int nTarget : {58000, 59000, 59500, 59980, 59999})
        QTest::addRow("%d ms", nTarget) << nTarget;
}

void TestWvcTool::seekNearEnd()
{
    // A minute of stereo, its streams ended by end-of-stream pages: a seek
    // into the last second still plays up to the end.
    QFETCH(int, target);
    if (!QFile::exists(path("minute.wvc"))) {
        writeInput("minute.wav", 2, 8000, 8000 * 60, 8);
        QCOMPARE(tool({"encode", path("minute.wav"), path("minute.wvc"), "--codec", "PCM16"}).nExit, 0);
    }
    const std::vector<int16_t> aIn = readOutput("minute.wav").aSamples;
    const QString sOut = QString("tail%1.wav").arg(target);
    const Result aResult = tool({"decode", path("minute.wvc"), path(sOut), "--seek", QString::number(target)});
    QCOMPARE(aResult.nExit, 0);
    QCOMPARE(aResult.sErr, QString());
    const std::vector<int16_t> aTail = readOutput(sOut).aSamples;
    // From the frame that ends at the target (aligned to 20 ms) or the next.
    const size_t nAligned = static_cast<size_t>(target - target % 20);
    QVERIFY2(aTail.size() == (60000 - nAligned + 20) * 16 || aTail.size() == (60000 - nAligned) * 16,
             qPrintable(QString::number(aTail.size())));
    QVERIFY(std::equal(aTail.begin(), aTail.end(), aIn.end() - static_cast<long>(aTail.size())));
}

void TestWvcTool::damagedMetadataIsNoDecodeFailure()
{
    // A version 4 key record in a version 3 file: the metadata is reported
    // as damaged, the audio decodes whole and the decode succeeds.
    wvctools::WvcWriterOptions aOptions;
    const wvctest::Channels aInput{wvctest::signal(8000, 3)};
    std::vector<wvctools::WvcPage> aPages = wvctest::writePages(aOptions, aInput);
    wvctest::Bytes aKey(44, 0);
    std::memcpy(aKey.data(), "direction", 9);
    wvctest::putLe32(aKey, 32, 8);
    wvctools::WvcPage aMeta;
    aMeta.nSerial = 13;
    aMeta.aBytes = wvctest::rawPages(13, {aKey, wvctest::Bytes(8, 'i')}, false, 0, 1);
    aPages.insert(aPages.begin() + 4, aMeta);
    const wvctest::Bytes aBytes = wvctest::join(aPages);
    QFile aFile(path("meta.wvc"));
    QVERIFY(aFile.open(QIODevice::WriteOnly));
    aFile.write(reinterpret_cast<const char*>(aBytes.data()), static_cast<qint64>(aBytes.size()));
    aFile.close();

    const Result aResult = tool({"decode", path("meta.wvc"), path("meta.wav")});
    QCOMPARE(aResult.nExit, 0);
    QCOMPARE(aResult.sErr,
             QString("wvctool: warning: damaged metadata: Got 44 metadata packet bytes but expected 40\n"));
    QVERIFY(readOutput("meta.wav").aSamples == aInput[0]);
}

void TestWvcTool::effects()
{
    writeInput("e.wav", 2, 8000, 8000, 6);
    QCOMPARE(tool({"encode", path("e.wav"), path("e.wvc"), "--codec", "PCM16"}).nExit, 0);
    Result aLoud = tool({"decode", path("e.wvc"), path("loud.wav"), "--amplify", "4", "--notch", "300:0.7"});
    QCOMPARE(aLoud.nExit, 0);
    // One warning per channel whose amplifier clipped.
    QCOMPARE(aLoud.sErr, QString("wvctool: warning: Amplified audio was clipped\n").repeated(2));
    Result aRight = tool({"decode", path("e.wvc"), path("right.wav"), "--amplify-right", "0.5"});
    QCOMPARE(aRight.nExit, 0);
    const std::vector<int16_t> aIn = readOutput("e.wav").aSamples;
    const std::vector<int16_t> aOut = readOutput("right.wav").aSamples;
    QCOMPARE(aOut.size(), aIn.size());
    for (size_t i = 0; i < aIn.size(); i += 2) {
        QCOMPARE(aOut[i], aIn[i]);
        float fIn = 0, fOut = 0;
        WVC::AudioEffect::samplesToFloat(&aIn[i + 1], &fIn, 1);
        fOut = fIn * 0.5f;
        int16_t nExpected = 0;
        WVC::AudioEffect::floatToSamples(&fOut, &nExpected, 1);
        QCOMPARE(aOut[i + 1], nExpected);
    }
}

void TestWvcTool::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong password") << QStringList{"decode", "@enc.wvc", "@x.wav", "--password", "nope"} << 3
                                    << "Password invalid (wrong password)";
    QTest::newRow("missing password") << QStringList{"info", "@enc.wvc"} << 3 << "Password invalid (give --password)";
    QTest::newRow("version 2 without password") << QStringList{"info", "@v2.wvc"} << 3 << "Password required";
    QTest::newRow("missing input") << QStringList{"decode", "@none.wvc", "@x.wav"} << 1 << "cannot read";
    QTest::newRow("not a WVC file") << QStringList{"info", "@in.wav"} << 1 << "not a readable WVC file";
    QTest::newRow("unknown codec") << QStringList{"encode", "@in.wav", "@x.wvc", "--codec", "mp3"} << 1
                                   << "unknown codec: mp3";
    QTest::newRow("PCM16 in version 1") << QStringList{"encode", "@in.wav", "@x.wvc", "--codec", "PCM16",
                                                       "--version", "1"}
                                        << 1 << "version 1 and 2 files carry PCMA only";
    QTest::newRow("version 2 without password") << QStringList{"encode", "@in.wav", "@x.wvc", "--codec", "PCMA",
                                                               "--version", "2"}
                                                << 1 << "give a password";
    QTest::newRow("stereo plus second input") << QStringList{"encode", "@st.wav", "@in.wav", "@x.wvc", "--codec",
                                                             "PCM16"}
                                              << 1 << "two inputs must both be mono";
    QTest::newRow("metadata key too long") << QStringList{"encode", "@in.wav", "@x.wvc", "--codec", "PCM16", "--meta",
                                                          QString(32, 'k') + "=v"}
                                           << 1 << "metadata key must have 1 .. 31 characters";
    QTest::newRow("metadata without =") << QStringList{"encode", "@in.wav", "@x.wvc", "--codec", "PCM16", "--meta",
                                                       "key"}
                                        << 2 << "--meta needs KEY=VALUE";
    QTest::newRow("no codec") << QStringList{"encode", "@in.wav", "@x.wvc"} << 2 << "encode needs --codec NAME";
    QTest::newRow("unknown option") << QStringList{"info", "@enc.wvc", "--frobnicate"} << 2
                                    << "unknown option --frobnicate";
    QTest::newRow("bad seek") << QStringList{"decode", "@plain.wvc", "@x.wav", "--seek", "1s"} << 2
                              << "--seek needs milliseconds";
    QTest::newRow("bad zoom") << QStringList{"decode", "@plain.wvc", "@x.wav", "--zoom", "5:2"} << 2
                              << "--zoom needs START:END";
    QTest::newRow("option without value") << QStringList{"decode", "@plain.wvc", "@x.wav", "--password"} << 2
                                          << "option --password needs a value";
    QTest::newRow("unknown command") << QStringList{"play", "@plain.wvc"} << 2 << "unknown command play";
    QTest::newRow("truncated header") << QStringList{"info", "@cut.wvc"} << 1 << "not a readable WVC file";
}

void TestWvcTool::errors()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    writeInput("in.wav", 1, 8000, 4000, 7);
    writeInput("st.wav", 2, 8000, 4000, 7);
    QCOMPARE(tool({"encode", path("in.wav"), path("enc.wvc"), "--codec", "PCM16", "--password", "right"}).nExit, 0);
    QCOMPARE(tool({"encode", path("in.wav"), path("plain.wvc"), "--codec", "PCM16"}).nExit, 0);
    QCOMPARE(tool({"encode", path("in.wav"), path("v2.wvc"), "--codec", "PCMA", "--version", "2", "--password", "p"})
                 .nExit,
             0);
    QFile aPlain(path("plain.wvc")), aCut(path("cut.wvc"));
    QVERIFY(aPlain.open(QIODevice::ReadOnly) && aCut.open(QIODevice::WriteOnly));
    aCut.write(aPlain.read(100));
    aCut.close();

    for (QString& rArg : args) {
        if (rArg.startsWith('@'))
            rArg = path(rArg.mid(1));
    }
    Result aResult = tool(args);
    QCOMPARE(aResult.nExit, exitCode);
    QVERIFY2(aResult.sErr.startsWith("wvctool: "), qPrintable(aResult.sErr));
    QVERIFY2(aResult.sErr.contains(message), qPrintable(aResult.sErr));
    // One line naming the problem (usage errors add the usage text).
    if (exitCode != 2 || !aResult.sErr.contains("usage:"))
        QCOMPARE(aResult.sErr.count('\n'), 1);
}

void TestWvcTool::help()
{
    for (const QString& sArgument : {QStringLiteral("--help"), QStringLiteral("help")}) {
        const Result aResult = tool({sArgument});
        QCOMPARE(aResult.nExit, 0);
        QVERIFY2(aResult.sOut.startsWith("usage:\n  wvctool encode"), qPrintable(aResult.sOut));
    }
}

QTEST_GUILESS_MAIN(TestWvcTool)
#include "tst_wvctool.moc"
