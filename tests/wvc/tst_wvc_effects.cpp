// Logger, audio effects and G.711 conversions of the WVC library.
#include "Amplify.h"
#include "BiquadFilter.h"
#include "G711.h"
#include "WvcLogger.h"

#include <QTemporaryFile>
#include <QtTest>

#include <cmath>
#include <unistd.h>
#include <vector>

using namespace WVC;

class TestWvcEffects : public QObject
{
    Q_OBJECT

private slots:
    void loggerThreshold_data();
    void loggerThreshold();
    void sampleConversions();
    void notchCoefficients_data();
    void notchCoefficients();
    void notchSettlesOnDcAndRemovesItsFrequency();
    void notchKeepsSilenceOutOfDenormals();
    void amplify_data();
    void amplify();
    void g711Vectors_data();
    void g711Vectors();
    void g711CompressionInvertsExpansion();
};

// Runs the base logger with stdout redirected into a file and returns what
// it wrote.
static QByteArray captureLog(int inThreshold, int inLevel, const char* ipMessage)
{
    QTemporaryFile aFile;
    if (!aFile.open())
        return "cannot open temporary file";
    std::fflush(stdout);
    const int nSaved = dup(1);
    dup2(aFile.handle(), 1);
    WvcLogger aLogger;
    if (inThreshold != 0)
        aLogger.setLogLevel(inThreshold);
    aLogger.log(inLevel, ipMessage);
    std::fflush(stdout);
    dup2(nSaved, 1);
    close(nSaved);
    aFile.seek(0);
    return aFile.readAll();
}

void TestWvcEffects::loggerThreshold_data()
{
    QTest::addColumn<int>("threshold"); // 0: the default
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("default drops info") << 0 << 2000 << QByteArray();
    QTest::newRow("default drops warning") << 0 << 3000 << QByteArray();
    QTest::newRow("default writes error") << 0 << 4000 << QByteArray("wvc  ERR  msg\n");
    QTest::newRow("default writes above error") << 0 << 5000 << QByteArray("wvc  ???  msg\n");
    QTest::newRow("trace threshold lets trace through") << 320 << 320 << QByteArray("wvc  TRC  msg\n");
    QTest::newRow("debug") << 320 << 1000 << QByteArray("wvc  DEB  msg\n");
    QTest::newRow("info") << 320 << 2000 << QByteArray("wvc  INF  msg\n");
    QTest::newRow("warning") << 320 << 3000 << QByteArray("wvc  WRN  msg\n");
    QTest::newRow("unknown level passes") << 2000 << 2500 << QByteArray("wvc  ???  msg\n");
    QTest::newRow("below threshold") << 2000 << 1999 << QByteArray();
}

void TestWvcEffects::loggerThreshold()
{
    QFETCH(int, threshold);
    QFETCH(int, level);
    QFETCH(QByteArray, expected);
    QCOMPARE(WvcLogger().logLevel(), 4000);
    QCOMPARE(captureLog(threshold, level, "msg"), expected);
}

void TestWvcEffects::sampleConversions()
{
    const int16_t aSamples[] = {-32768, 32767, 0, 16384, -1};
    float aFloats[5];
    AudioEffect::samplesToFloat(aSamples, aFloats, 5);
    QCOMPARE(aFloats[0], -1.0f);
    QCOMPARE(aFloats[1], static_cast<float>(32767 * 3.0517578125e-5));
    QCOMPARE(aFloats[2], 0.0f);
    QCOMPARE(aFloats[3], 0.5f);

    // Truncation toward zero, and clamping of values the notch overshoots.
    const float aIn[] = {1.0f, -1.0f, 0.5f, -0.99999f, 1.7f, -3.0f, 0.00002f};
    int16_t aOut[7];
    AudioEffect::floatToSamples(aIn, aOut, 7);
    const int16_t aExpected[] = {32767, -32767, 16383, -32766, 32767, -32767, 0};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(aOut[i], aExpected[i]);
}

void TestWvcEffects::notchCoefficients_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("q");
    QTest::addColumn<double>("effectiveFrequency");
    QTest::addColumn<double>("effectiveQ");
    QTest::newRow("50 Hz at 8000 Hz") << 0.00625 << 0.5 << 0.00625 << 0.5;
    QTest::newRow("frequency above the clamp") << 0.6 << 0.5 << 0.499 << 0.5;
    QTest::newRow("frequency below the clamp") << 0.0 << 2.0 << 0.000001 << 2.0;
    QTest::newRow("q of zero") << 0.1 << 0.0 << 0.1 << 0.00001;
}

void TestWvcEffects::notchCoefficients()
{
    QFETCH(double, frequency);
    QFETCH(double, q);
    QFETCH(double, effectiveFrequency);
    QFETCH(double, effectiveQ);
    BiquadFilter aFilter;
    aFilter.setup(frequency, q);
    const double fW0 = 2 * M_PI * effectiveFrequency;
    const double fAlpha = std::sin(fW0) / (2 * effectiveQ);
    const double fA0 = 1 + fAlpha;
    QCOMPARE(aFilter.b0(), 1 / fA0);
    QCOMPARE(aFilter.b2(), 1 / fA0);
    QCOMPARE(aFilter.b1(), -2 * std::cos(fW0) / fA0);
    QCOMPARE(aFilter.a1(), -2 * std::cos(fW0) / fA0);
    QCOMPARE(aFilter.a2(), (1 - fAlpha) / fA0);
}

void TestWvcEffects::notchSettlesOnDcAndRemovesItsFrequency()
{
    BiquadFilter aDc;
    aDc.setup(50.0 / 8000, 0.5);
    std::vector<float> aIn(8000, 0.25f), aOut(8000);
    aDc.process(aIn.data(), aOut.data(), 8000);
    QVERIFY(std::fabs(aOut.back() - 0.25f) < 1e-4);

    // 50 Hz sine, fed in blocks of 160 so the state must carry over.
    BiquadFilter aNotch;
    aNotch.setup(50.0 / 8000, 0.5);
    const int nTotal = 16000;
    std::vector<float> aSine(nTotal), aResult(nTotal);
    for (int i = 0; i < nTotal; ++i)
        aSine[i] = 0.8f * static_cast<float>(std::sin(2 * M_PI * 50 * i / 8000.0));
    for (int i = 0; i < nTotal; i += 160)
        aNotch.process(aSine.data() + i, aResult.data() + i, 160);
    float fPeak = 0;
    for (int i = nTotal - 4000; i < nTotal; ++i)
        fPeak = std::max(fPeak, std::fabs(aResult[i]));
    QVERIFY2(fPeak < 0.01f, qPrintable(QString::number(fPeak)));

    // A tone far from the notch passes nearly unchanged.
    BiquadFilter aPass;
    aPass.setup(50.0 / 8000, 0.5);
    for (int i = 0; i < nTotal; ++i)
        aSine[i] = 0.8f * static_cast<float>(std::sin(2 * M_PI * 1000 * i / 8000.0));
    aPass.process(aSine.data(), aResult.data(), nTotal);
    fPeak = 0;
    for (int i = nTotal - 4000; i < nTotal; ++i)
        fPeak = std::max(fPeak, std::fabs(aResult[i]));
    QVERIFY(fPeak > 0.75f);
}

void TestWvcEffects::notchKeepsSilenceOutOfDenormals()
{
    BiquadFilter aFilter;
    aFilter.setup(0.04, 0.5);
    std::vector<float> aIn(64, 0.0f), aOut(64);
    aFilter.process(aIn.data(), aOut.data(), 64);
    QVERIFY(aFilter.y1() != 0.0);
    QVERIFY(aFilter.y2() != 0.0);
    QVERIFY(std::fabs(aOut.back()) < 1e-20f);
}

void TestWvcEffects::amplify_data()
{
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("input");
    QTest::addColumn<float>("output");
    QTest::addColumn<bool>("clipped");
    QTest::newRow("ratio 2 clips 0.6") << 2.0f << 0.6f << 1.0f << true;
    QTest::newRow("ratio 2 clips -0.6") << 2.0f << -0.6f << -1.0f << true;
    QTest::newRow("ratio 0.5") << 0.5f << 0.6f << 0.3f << false;
    QTest::newRow("ratio 2 on 0.5 reaches 1 without clipping") << 2.0f << 0.5f << 1.0f << false;
}

void TestWvcEffects::amplify()
{
    QFETCH(float, ratio);
    QFETCH(float, input);
    QFETCH(float, output);
    QFETCH(bool, clipped);
    Amplify aAmplify;
    QCOMPARE(aAmplify.ratio(), 1.0f);
    QVERIFY(!aAmplify.wasClipped());
    aAmplify.setRatio(ratio);
    float fOut = 0;
    aAmplify.process(&input, &fOut, 1);
    QCOMPARE(fOut, output);
    QCOMPARE(aAmplify.wasClipped(), clipped);
    // Clipping is never cleared.
    const float fQuiet = 0.0f;
    aAmplify.process(&fQuiet, &fOut, 1);
    QCOMPARE(aAmplify.wasClipped(), clipped);
}

void TestWvcEffects::g711Vectors_data()
{
    QTest::addColumn<bool>("muLaw");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("sample");
    QTest::newRow("A 0xD5") << false << 0xD5 << 8;
    QTest::newRow("A 0x55") << false << 0x55 << -8;
    QTest::newRow("A 0xAA") << false << 0xAA << 32256;
    QTest::newRow("A 0x2A") << false << 0x2A << -32256;
    QTest::newRow("u 0xFF") << true << 0xFF << 0;
    QTest::newRow("u 0x7F") << true << 0x7F << -1;
    QTest::newRow("u 0x00") << true << 0x00 << -32124;
    QTest::newRow("u 0x80") << true << 0x80 << 32124;
}

void TestWvcEffects::g711Vectors()
{
    QFETCH(bool, muLaw);
    QFETCH(int, byte);
    QFETCH(int, sample);
    const uint8_t nByte = static_cast<uint8_t>(byte);
    const int16_t nSample = static_cast<int16_t>(sample);
    QCOMPARE(muLaw ? G711::ulawToLinear(nByte) : G711::alawToLinear(nByte), nSample);
    QCOMPARE(muLaw ? G711::linearToUlaw(nSample) : G711::linearToAlaw(nSample), nByte);
}

void TestWvcEffects::g711CompressionInvertsExpansion()
{
    for (int b = 0; b < 256; ++b) {
        const uint8_t nByte = static_cast<uint8_t>(b);
        QCOMPARE(G711::linearToAlaw(G711::alawToLinear(nByte)), nByte);
        QCOMPARE(G711::linearToUlaw(G711::ulawToLinear(nByte)), nByte);
    }
    // Extremes keep their sign and saturate.
    QCOMPARE(G711::linearToAlaw(32767), static_cast<uint8_t>(0xAA));
    QCOMPARE(G711::linearToAlaw(-32768), static_cast<uint8_t>(0x2A));
    QCOMPARE(G711::linearToUlaw(32767), static_cast<uint8_t>(0x80));
    QCOMPARE(G711::linearToUlaw(-32768), static_cast<uint8_t>(0x00));
}

QTEST_APPLESS_MAIN(TestWvcEffects)
#include "tst_wvc_effects.moc"
