// TempoStage: faster and slower playback of PCM with the pitch kept, and
// the tempo of the query item.
#include "TempoStage.h"
#include "ToneAnalysis.h"

#include <QtTest>

#include <cstring>

class TestTempoStage : public QObject
{
    Q_OBJECT

private slots:
    void stretch_data();
    void stretch();
    void tempoFromText_data();
    void tempoFromText();
};

void TestTempoStage::stretch_data()
{
    QTest::addColumn<double>("tempo");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::newRow("0.5, mono 8 kHz") << 0.5 << 1 << 8000;
    QTest::newRow("0.75, stereo 8 kHz") << 0.75 << 2 << 8000;
    QTest::newRow("1.25, mono 16 kHz") << 1.25 << 1 << 16000;
    QTest::newRow("1.5, stereo 16 kHz") << 1.5 << 2 << 16000;
    QTest::newRow("2, stereo 8 kHz") << 2.0 << 2 << 8000;
}

void TestTempoStage::stretch()
{
    // Four seconds of tone fed in decoder-sized blocks come out lasting
    // four seconds / tempo, at the same frequency on every channel.
    QFETCH(double, tempo);
    QFETCH(int, channels);
    QFETCH(int, rate);
    const int nFrames = rate * 4;
    const std::vector<qint16> aIn = tonetest::tone(nFrames, channels, rate, 400.0);
    TempoStage aStage(channels, rate, 2, tempo);
    QByteArray aOut;
    const char* pIn = reinterpret_cast<const char*>(aIn.data());
    const int nBlock = 160 * channels * 2;
    for (int nFirst = 0; nFirst < int(aIn.size()) * 2; nFirst += nBlock)
        aStage.process(pIn + nFirst, qMin(nBlock, int(aIn.size()) * 2 - nFirst), aOut);
    aStage.flush(aOut);
    std::vector<qint16> aSamples(size_t(aOut.size()) / 2);
    std::memcpy(aSamples.data(), aOut.constData(), aSamples.size() * 2);
    const double fOutFrames = double(aSamples.size()) / channels;
    const double fExpected = nFrames / tempo;
    QVERIFY2(std::abs(fOutFrames - fExpected) <= 0.02 * fExpected,
             qPrintable(QString("%1 frames, expected %2").arg(fOutFrames).arg(fExpected)));
    for (int c = 0; c < channels; ++c) {
        const double fHz = tonetest::dominantFrequency(aSamples, channels, c, rate, size_t(rate) / 2, size_t(rate));
        const double fWant = 400.0 * (1.0 + c / 2.0);
        QVERIFY2(std::abs(fHz - fWant) <= 0.02 * fWant, qPrintable(QString("channel %1: %2 Hz").arg(c).arg(fHz)));
    }
}

void TestTempoStage::tempoFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("tempo");
    QTest::newRow("empty") << "" << 1.0;
    QTest::newRow("one") << "1" << 1.0;
    QTest::newRow("one and a half") << "1.5" << 1.5;
    QTest::newRow("three quarters") << " 0.75 " << 0.75;
    QTest::newRow("too slow") << "0.1" << 0.5;
    QTest::newRow("too fast") << "8" << 2.0;
    QTest::newRow("zero") << "0" << 1.0;
    QTest::newRow("negative") << "-2" << 1.0;
    QTest::newRow("not a number") << "fast" << 1.0;
    QTest::newRow("nan") << "nan" << 1.0;
    QTest::newRow("infinity") << "inf" << 1.0;
}

void TestTempoStage::tempoFromText()
{
    QFETCH(QString, text);
    QFETCH(double, tempo);
    QCOMPARE(TempoStage::tempoFromText(text), tempo);
}

QTEST_GUILESS_MAIN(TestTempoStage)
#include "tst_tempo_stage.moc"
