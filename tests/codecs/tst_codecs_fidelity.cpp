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

        if (nCodec == WVC::CODEC_AMR || nCodec == WVC::CODEC_AMR_WB) {
            QCOMPARE(aTheirs.size(), aOurs.size());
            // AMR-WB fills 6.4 .. 7 kHz with noise that each decoder draws
            // from its own random generator: only the coded band compares.
            const double fSnr = nCodec == WVC::CODEC_AMR_WB
                                    ? snrDb(lowPass(aTheirs, 6000.0 / 16000.0), lowPass(aOurs, 6000.0 / 16000.0))
                                    : snrDb(aTheirs, aOurs);
            qInfo("channel %d: %.1f dB against ffmpeg", nChannel, fSnr);
            QVERIFY2(fSnr >= 30.0, qPrintable(QString("SNR %1 dB on channel %2").arg(fSnr).arg(nChannel)));
            // Both decodes carry the signal: the codec's delay (up to 30 ms)
            // aside, ours follows the input.
            const Samples aIn = nCodec == WVC::CODEC_AMR_WB ? lowPass(aInput[nChannel], 6000.0 / 16000.0)
                                                             : aInput[nChannel];
            const Samples aOut = nCodec == WVC::CODEC_AMR_WB ? lowPass(aOurs, 6000.0 / 16000.0) : aOurs;
            double fBest = -100.0;
            for (size_t nDelay = 0; nDelay < 480; ++nDelay)
                fBest = std::max(fBest, snrDb(aIn, Samples(aOut.begin() + static_cast<long>(nDelay), aOut.end())));
            QVERIFY2(fBest > 3.0, qPrintable(QString("input to decode SNR %1 dB").arg(fBest)));
            continue;
        }
        // Opus comes out of the resampler behind a short lead-in of silence
        // that ffmpeg's own resampler does not pad; ffmpeg in turn drains
        // the resampler at the end. Between the two, samples are identical.
        size_t nLead = 0;
        if (nCodec == WVC::CODEC_OPUS && rate != 48000) {
            while (nLead < aOurs.size() && aOurs[nLead] == 0)
                ++nLead;
            QVERIFY2(nLead > 0 && nLead <= 64, qPrintable(QString("lead-in of %1 samples").arg(nLead)));
            // The lead-in is the resampler's alone when ffmpeg's first
            // samples are silent too; find the exact alignment.
            size_t nAligned = nLead;
            while (nAligned > 0 &&
                   !std::equal(aOurs.begin() + static_cast<long>(nAligned), aOurs.begin() + 400,
                               aTheirs.begin()))
                --nAligned;
            nLead = nAligned;
        } else {
            QCOMPARE(aTheirs.size(), aOurs.size());
        }
        QVERIFY2(aTheirs.size() + nLead >= aOurs.size(),
                 qPrintable(QString("ffmpeg gave %1 samples, we %2").arg(aTheirs.size()).arg(aOurs.size())));
        size_t nFirstDiff = aOurs.size();
        for (size_t i = nLead; i < aOurs.size(); ++i) {
            if (aOurs[i] != aTheirs[i - nLead]) {
                nFirstDiff = i;
                break;
            }
        }
        QVERIFY2(nFirstDiff == aOurs.size(),
                 qPrintable(QString("channel %1 differs from sample %2 of %3 (lead-in %4)")
                                .arg(nChannel)
                                .arg(nFirstDiff)
                                .arg(aOurs.size())
                                .arg(nLead)));
        // Not trivially equal: the decode carries the signal.
        int nLoud = 0;
        for (int16_t nSample : aOurs)
            nLoud += std::abs(nSample) > 1000;
        QVERIFY(nLoud > static_cast<int>(aOurs.size() / 20));
    }
}

QTEST_GUILESS_MAIN(TestCodecFidelity)
#include "tst_codecs_fidelity.moc"
