// wvctool with the real encoders: WAV recordings at any rate go in, are
// resampled where the codec fixes its rate, and come back out through
// WVC::Decoder; settings a codec cannot take are refused with a message.
#include "CodecTestSupport.h"
#include "Resampler.h"
#include "WavFile.h"

#include <QtTest>

using namespace codectest;

namespace {

// Normalised cross-correlation of irOut against irIn at the best lag up to
// inMaxLag samples (codec and resampler delays).
double bestCorrelation(const Samples& irIn, const Samples& irOut, size_t inMaxLag)
{
    double fBest = -1.0;
    for (size_t nLag = 0; nLag <= inMaxLag; ++nLag) {
        const size_t n = std::min(irIn.size(), irOut.size() - std::min(irOut.size(), nLag));
        double fXy = 0, fXx = 0, fYy = 0;
        for (size_t i = 0; i < n; ++i) {
            const double x = irIn[i], y = irOut[i + nLag];
            fXy += x * y;
            fXx += x * x;
            fYy += y * y;
        }
        if (fXx > 0 && fYy > 0)
            fBest = std::max(fBest, fXy / std::sqrt(fXx * fYy));
    }
    return fBest;
}

} // namespace

class TestCodecWvcTool : public QObject
{
    Q_OBJECT

private slots:
    void encodeAndDecode_data();
    void encodeAndDecode();
    void refusals_data();
    void refusals();

private:
    struct Result
    {
        int nExit = -1;
        QString sErr;
    };
    Result tool(const QStringList& iaArgs);
    QString path(const QString& isName) const { return maDir.filePath(isName); }

    QTemporaryDir maDir;
};

TestCodecWvcTool::Result TestCodecWvcTool::tool(const QStringList& iaArgs)
{
    QProcess aProcess;
    aProcess.start(QStringLiteral(VORN_BIN_DIR "/wvctool"), iaArgs);
    Result aResult;
    if (!aProcess.waitForFinished(120000) || aProcess.exitStatus() != QProcess::NormalExit)
        return aResult;
    aResult.nExit = aProcess.exitCode();
    aResult.sErr = QString::fromUtf8(aProcess.readAllStandardError());
    return aResult;
}

void TestCodecWvcTool::encodeAndDecode_data()
{
    QTest::addColumn<QString>("codec");
    QTest::addColumn<uint32_t>("inputRate");
    QTest::addColumn<uint32_t>("codecRate");
    QTest::addColumn<QString>("password");
    QTest::newRow("opus at 16 kHz as it is") << "opus" << 16000u << 16000u << "";
    QTest::newRow("opus from 44.1 kHz") << "opus" << 44100u << 48000u << "secret";
    QTest::newRow("AMR from 22.05 kHz") << "AMR" << 22050u << 8000u << "";
    QTest::newRow("AMR-WB from 8 kHz") << "AMR-WB" << 8000u << 16000u << "secret";
    QTest::newRow("G.722 from 48 kHz") << "G722" << 48000u << 16000u << "";
    QTest::newRow("G.723.1 from 16 kHz") << "G723" << 16000u << 8000u << "secret";
    QTest::newRow("G.729 at 8 kHz as it is") << "G729" << 8000u << 8000u << "";
    QTest::newRow("GSM from 22.05 kHz") << "gsm" << 22050u << 8000u << "secret";
}

void TestCodecWvcTool::encodeAndDecode()
{
    QFETCH(QString, codec);
    QFETCH(uint32_t, inputRate);
    QFETCH(uint32_t, codecRate);
    QFETCH(QString, password);

    // A stereo recording of two different voices, two seconds long.
    const size_t nSamples = inputRate * 2;
    const Samples aLeft = speechLike(nSamples, inputRate, 0), aRight = speechLike(nSamples, inputRate, 2);
    wvctools::WavData aWav;
    aWav.nSampleRate = inputRate;
    aWav.nChannels = 2;
    for (size_t i = 0; i < nSamples; ++i) {
        aWav.aSamples.push_back(aLeft[i]);
        aWav.aSamples.push_back(aRight[i]);
    }
    std::string sError;
    QVERIFY2(wvctools::writeWav(path("in.wav").toStdString(), aWav, sError), sError.c_str());

    QStringList aEncode{"encode", path("in.wav"), path("out.wvc"), "--codec", codec};
    QStringList aDecode{"decode", path("out.wvc"), path("out.wav")};
    if (!password.isEmpty()) {
        aEncode << "--password" << password;
        aDecode << "--password" << password;
    }
    const Result aEncoded = tool(aEncode);
    QVERIFY2(aEncoded.nExit == 0, qPrintable(aEncoded.sErr));
    QCOMPARE(aEncoded.sErr.contains("resampling"), inputRate != codecRate);
    if (inputRate != codecRate)
        QVERIFY(aEncoded.sErr.contains(QString("resampling %1 Hz to %2 Hz").arg(inputRate).arg(codecRate)));
    const Result aDecoded = tool(aDecode);
    QVERIFY2(aDecoded.nExit == 0, qPrintable(aDecoded.sErr));

    wvctools::WavData aOut;
    QVERIFY2(wvctools::readWav(path("out.wav").toStdString(), aOut, sError), sError.c_str());
    QCOMPARE(aOut.nSampleRate, codecRate);
    QCOMPARE(aOut.nChannels, static_cast<uint16_t>(2));
    const size_t nFrames = aOut.aSamples.size() / 2;
    // Whole frames of the resampled length: at most one frame more (30 ms).
    QVERIFY2(nFrames >= codecRate * 2 && nFrames <= codecRate * 2 + codecRate * 3 / 100,
             qPrintable(QString::number(nFrames)));

    Samples aOutLeft, aOutRight, aRefLeft, aRefRight;
    for (size_t i = 0; i < nFrames; ++i) {
        aOutLeft.push_back(aOut.aSamples[2 * i]);
        aOutRight.push_back(aOut.aSamples[2 * i + 1]);
    }
    QVERIFY(wvctools::resampleChannel(aLeft, inputRate, codecRate, aRefLeft, sError));
    QVERIFY(wvctools::resampleChannel(aRight, inputRate, codecRate, aRefRight, sError));
    // Each channel carries its own voice, not the other's.
    const size_t nLag = codecRate / 25;
    const double fLeft = bestCorrelation(aRefLeft, aOutLeft, nLag);
    const double fRight = bestCorrelation(aRefRight, aOutRight, nLag);
    QVERIFY2(fLeft > 0.85 && fRight > 0.85, qPrintable(QString("correlation %1 / %2").arg(fLeft).arg(fRight)));
    QVERIFY(bestCorrelation(aRefLeft, aOutRight, nLag) < 0.3);
}

void TestCodecWvcTool::refusals_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::newRow("G.723.1 frames are 30 ms") << QStringList{"--codec", "G723", "--samples-per-frame", "160"}
                                               << "G723 frames hold 240 samples: samples per frame must be a multiple";
    QTest::newRow("AMR frames are 20 ms") << QStringList{"--codec", "AMR", "--samples-per-frame", "320"}
                                          << "AMR frames hold 160 samples, not 320";
    QTest::newRow("AMR-WB frames are 20 ms") << QStringList{"--codec", "AMR-WB", "--samples-per-frame", "160"}
                                             << "AMR-WB frames hold 320 samples, not 160";
    QTest::newRow("G.729 frames are 10 ms") << QStringList{"--codec", "G729", "--samples-per-frame", "100"}
                                            << "G729 frames hold 80 samples";
    QTest::newRow("GSM frames are 20 ms") << QStringList{"--codec", "GSM", "--samples-per-frame", "80"}
                                          << "GSM frames hold 160 samples";
    QTest::newRow("G.722 frames are even") << QStringList{"--codec", "G722", "--samples-per-frame", "161"}
                                           << "G722 frames hold 160 samples";
    QTest::newRow("Opus frame lengths") << QStringList{"--codec", "opus", "--samples-per-frame", "100"}
                                        << "Opus takes 8000, 12000, 16000, 24000 or 48000 Hz and frames of 2.5, 5, "
                                           "10, 20, 40 or 60 ms";
}

void TestCodecWvcTool::refusals()
{
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    wvctools::WavData aWav;
    aWav.nSampleRate = 16000;
    aWav.aSamples = speechLike(16000, 16000, 0);
    std::string sError;
    QVERIFY2(wvctools::writeWav(path("short.wav").toStdString(), aWav, sError), sError.c_str());
    const Result aResult = tool(QStringList{"encode", path("short.wav"), path("refused.wvc")} + options);
    QCOMPARE(aResult.nExit, 1);
    QVERIFY2(aResult.sErr.contains(message), qPrintable(aResult.sErr));
    QVERIFY(!QFile::exists(path("refused.wvc")));
}

QTEST_GUILESS_MAIN(TestCodecWvcTool)
#include "tst_codecs_wvctool.moc"
