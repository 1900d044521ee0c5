// Our decode of real encoder output against the ffmpeg program's decode of
// the same frames: identical samples where both run libavcodec's decoder,
// at least 30 dB SNR for AMR and AMR-WB (opencore against ffmpeg's own).
#include "CodecTestSupport.h"

#include <QtTest>

using namespace codectest;

Q_DECLARE_METATYPE(std::string)

class TestCodecFidelity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void againstFfmpeg_data();
    void againstFfmpeg();
};

void TestCodecFidelity::initTestCase()
{
    QProcess aProbe;
    aProbe.start("ffmpeg", {"-version"});
    if (!aProbe.waitForFinished(20000) || aProbe.exitCode() != 0)
        QFAIL("the ffmpeg program is not available (scripts/setup installs it)");
}

void TestCodecFidelity::againstFfmpeg_data()
{
    QTest::addColumn<std::string>("codec");
    QTest::addColumn<uint32_t>("rate");
    QTest::addColumn<uint32_t>("samplesPerFrame");
    QTest::addColumn<int>("channels");
    QTest::addColumn<std::string>("password");

    const CodecCase aCases[] = {
        {"opus", 16000, 320}, {"AMR", 8000, 160}, {"AMR-WB", 16000, 320}, {"G722", 16000, 320},
        {"G723", 8000, 240},  {"G729", 8000, 160}, {"GSM", 8000, 160},
    };
    for (const CodecCase& rCase : aCases) {
        for (int nChannels = 1; nChannels <= 2; ++nChannels) {
            for (const char* pPassword : {"", "sesame"}) {
                const QString sName = QString("%1 %2 %3")
                                          .arg(QString::fromStdString(rCase.sCodec))
                                          .arg(nChannels == 1 ? "mono" : "stereo")
                                          .arg(*pPassword ? "encrypted" : "plain");
                QTest::newRow(qPrintable(sName)) << rCase.sCodec << rCase.nRate << rCase.nSamplesPerFrame
                                                 << nChannels << std::string(pPassword);
            }
        }
    }
    // Opus at other rates and frame lengths: the 48 kHz decode is resampled
    // to the header's rate, or handed on as it is at 48 kHz.
    QTest::newRow("opus 8 kHz 10 ms") << std::string("opus") << 8000u << 80u << 1 << std::string();
    QTest::newRow("opus 12 kHz 40 ms") << std::string("opus") << 12000u << 480u << 1 << std::string();
    QTest::newRow("opus 24 kHz 60 ms") << std::string("opus") << 24000u << 1440u << 2 << std::string();
    QTest::newRow("opus 48 kHz 20 ms") << std::string("opus") << 48000u << 960u << 2 << std::string("pw");
    QTest::newRow("G.729 10 ms frames") << std::string("G729") << 8000u << 80u << 1 << std::string();
    QTest::newRow("G.723.1 two frames per packet") << std::string("G723") << 8000u << 480u << 1 << std::string();
    QTest::newRow("GSM three frames per packet") << std::string("GSM") << 8000u << 480u << 2 << std::string();
    QTest::newRow("G.722 10 ms") << std::string("G722") << 16000u << 160u << 1 << std::string();
}

void TestCodecFidelity::againstFfmpeg()
{
    QFETCH(std::string, codec);
    QFETCH(uint32_t, rate);
    QFETCH(uint32_t, samplesPerFrame);
    QFETCH(int, channels);
    QFETCH(std::string, password);
    const CodecCase aCase{codec, rate, samplesPerFrame};
    const uint32_t nCodec = static_cast<uint32_t>(WVC::codecIdFromName(codec.c_str()));

    std::vector<Samples> aInput;
    for (int i = 0; i < channels; ++i)
        aInput.push_back(speechLike(rate * 2 + samplesPerFrame / 3, rate, i));
    WrittenFile aFile;
    std::string sError;
    QVERIFY2(writeFile(aCase, aInput, password, aFile, sError), sError.c_str());

    wvctools::MemoryDecoder aDecoder(aFile.aBytes);
    QCOMPARE(decodeWhole(aDecoder, password), static_cast<int>(WVC::WVC_END_OF_FILE));
    QCOMPARE(aDecoder.countLog("ffmpeg"), 0);
    QCOMPARE(aDecoder.codecId(), nCodec);
    QCOMPARE(aDecoder.channelCount(), static_cast<uint32_t>(channels));
    const size_t nFrames = aFile.aFrames[0].size();
    QCOMPARE(aDecoder.nPcmFrames, static_cast<uint64_t>(nFrames));

    for (int nChannel = 0; nChannel < channels; ++nChannel) {
        const Samples& aOurs = nChannel == 0 ? aDecoder.aLeft : aDecoder.aRight;
        QCOMPARE(aOurs.size(), nFrames * samplesPerFrame);
        Samples aTheirs;
        QString sFfmpegError;
        QVERIFY2(ffmpegDecode(aCase, aFile.aFrames[nChannel], rate, aTheirs, sFfmpegError),
                 qPrintable(sFfmpegError));

        QString sInfo;
        const QString sVerdict = judgeAgainstFfmpeg(nCodec, rate, aOurs, aTheirs, aInput[nChannel], &sInfo);
        if (!sInfo.isEmpty())
            qInfo("channel %d: %s", nChannel, qPrintable(sInfo));
        QVERIFY2(sVerdict.isEmpty(), qPrintable(QString("channel %1: %2").arg(nChannel).arg(sVerdict)));
    }
}

QTEST_GUILESS_MAIN(TestCodecFidelity)
#include "tst_codecs_fidelity.moc"
