// Waveform documents to the byte, generated from real packages: WAV
// recordings through the member pipeline, WVC recordings from our writer.
// Small rows are written out literally; longer ones are checked against a
// plain reference of the reduction (peak of each group of samples or levels).
#include "../codecs/CodecTestSupport.h"
#include "Amplify.h"
#include "BiquadFilter.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WaveformTestFiles.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>

using namespace WaveformTestFiles;

namespace {

const QByteArray kBlue = "rgba(153,187,232,1) ";
const QByteArray kGrey = "rgba(136,136,136,1) ";

struct Band
{
    QByteArray aUpper;
    QByteArray aLower;
    QByteArray aColour;
};

QByteArray referenceDocument(qint64 inWidth, const QVector<Band>& iaBands, bool ibWvc)
{
    const QByteArray aWidth = QByteArray::number(inWidth);
    QByteArray a = "<?xml version=\"1.0\" standalone=\"no\" ?>\n"
                   "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                   "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
                   "<svg preserveAspectRatio=\"none\" width=\"800\" height=\"100\" viewBox=\"0 0 "
                   + aWidth + " 512\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\">\n";
    for (const Band& rBand : iaBands) {
        for (const QByteArray& rPoints : {rBand.aUpper, rBand.aLower})
            a += "<polygon points=\"0,256 " + rPoints + " " + aWidth + ",256 0,256\" fill=\"" + rBand.aColour
                 + "\" stroke-width=\"0.5\" stroke=\"" + rBand.aColour + "\" />\n";
    }
    return a + (ibWvc ? "</svg>\n" : "</svg>");
}

void addPoint(Band& irBand, qint64 inX, int inHeight)
{
    irBand.aUpper += QByteArray::number(inX) + "," + QByteArray::number(256 - inHeight) + " ";
    irBand.aLower += QByteArray::number(inX) + "," + QByteArray::number(256 + inHeight) + " ";
}

// The WAV drawing: samples inStart .. inStart + total, in groups of the
// factor, each group's peak >> 7.
QByteArray referenceWav(const std::vector<qint16>& iaSamples, qint64 inStart, qint64 inTotal)
{
    const qint64 nFactor = inTotal < 1024 ? 1 : std::llround(inTotal / 1024.0);
    const qint64 nPoints = inTotal / nFactor;
    if (inStart + nPoints * nFactor > qint64(iaSamples.size()))
        return {};
    Band band{{}, {}, kBlue};
    for (qint64 p = 0; p < nPoints; ++p) {
        int nPeak = 0;
        for (qint64 j = 0; j < nFactor; ++j)
            nPeak = std::max(nPeak, std::abs(int(iaSamples[size_t(inStart + p * nFactor + j)])));
        addPoint(band, p, std::min(nPeak >> 7, 255));
    }
    return referenceDocument(nPoints, {band}, false);
}

// What the playback chain makes of the samples: notch (normalised by the
// rate), then amplify, over the whole recording at once.
std::vector<qint16> withEffects(std::vector<qint16> iaSamples, int inNotch, float ifQ, float ifRatio)
{
    std::vector<float> aIn(iaSamples.size()), aOut(iaSamples.size());
    WVC::AudioEffect::samplesToFloat(iaSamples.data(), aIn.data(), int(aIn.size()));
    if (inNotch > 0) {
        WVC::BiquadFilter notch;
        notch.setup(inNotch / 8000.0, ifQ);
        notch.process(aIn.data(), aOut.data(), int(aIn.size()));
        aIn.swap(aOut);
    }
    if (ifRatio > 0) {
        WVC::Amplify amplify;
        amplify.setRatio(ifRatio);
        amplify.process(aIn.data(), aOut.data(), int(aIn.size()));
        aIn.swap(aOut);
    }
    WVC::AudioEffect::floatToSamples(aIn.data(), iaSamples.data(), int(aIn.size()));
    return iaSamples;
}

struct WvcSettings
{
    float fRatio0 = 0; // 0: no amplifier
    float fRatio1 = 0;
    qint64 nZoomStart = -1;
    qint64 nZoomEnd = -1;
};

// The WVC drawing from the level blocks the decoder delivers: the running
// maximum of each block, a point at every multiple of the factor.
QByteArray referenceWvc(const QByteArray& iaFile, int inChannels, const WvcSettings& irSettings)
{
    LevelBlocks decoder(std::vector<uint8_t>(iaFile.begin(), iaFile.end()));
    if (irSettings.fRatio0 > 0) {
        decoder.setAmplify(0, irSettings.fRatio0);
        decoder.setAmplify(1, irSettings.fRatio1);
    }
    if (irSettings.nZoomStart >= 0)
        decoder.setZoomSegment(irSettings.nZoomStart, irSettings.nZoomEnd);
    if (decoder.openAll() != 0)
        return "open failed";
    const qint64 nCount = decoder.duration() / decoder.frameDuration();
    const qint64 nFactor = nCount < 1024 ? 1 : std::llround(nCount / 1024.0);
    if (decoder.decodeAll(true) != 0)
        return "decode failed";
    QVector<Band> aBands{{{}, {}, kBlue}, {{}, {}, kGrey}};
    aBands.resize(inChannels);
    qint64 nCounter = 0;
    for (const std::vector<uint8_t>& rBlock : decoder.aBlocks) {
        int aMax[2] = {0, 0};
        for (size_t s = 0; s + size_t(inChannels) <= rBlock.size(); s += size_t(inChannels)) {
            for (int c = 0; c < inChannels; ++c)
                aMax[c] = std::max<int>(aMax[c], rBlock[s + size_t(c)]);
            if (nCounter % nFactor == 0) {
                for (int c = 0; c < inChannels; ++c) {
                    addPoint(aBands[c], nCounter, aMax[c]);
                    aMax[c] = 0;
                }
            }
            ++nCounter;
        }
    }
    return referenceDocument(nCounter, aBands, true);
}

// The heights of the first band, column by column, read from the upper
// edge of its polygon ("0,256 x,y ... W,256 0,256").
std::vector<int> bandHeights(const QByteArray& iaSvg)
{
    const QList<QByteArray> aLines = iaSvg.split('\n');
    if (aLines.size() < 4)
        return {};
    QList<QByteArray> aPoints = aLines[3].split('"').value(1).split(' ');
    aPoints.removeAll(QByteArray());
    std::vector<int> aHeights;
    for (int i = 1; i + 2 < aPoints.size(); ++i)
        aHeights.push_back(256 - aPoints[i].split(',').value(1).toInt());
    return aHeights;
}

// The heights a tone A sin(w n) shows through the notch once settled, for
// columns of inWidth samples: the notch's steady answer is
// A |H| sin(w n + arg H), with (w0 the notch, a = sin w0 / 2Q)
//   H(w) = (cos w - cos w0) / ((cos w - cos w0) + j a sin w),
// and a column's height its largest magnitude in steps of 128.
std::vector<int> notchedToneHeights(double ifAmplitude, double inHz, double inNotchHz, double ifQ, double inRate,
                                    size_t inWidth, size_t inColumns, double* opfGain = nullptr)
{
    const double fW = 2 * M_PI * inHz / inRate;
    const double fW0 = 2 * M_PI * inNotchHz / inRate;
    const double fAlpha = std::sin(fW0) / (2 * ifQ);
    const std::complex<double> aH = (std::cos(fW) - std::cos(fW0))
                                    / std::complex<double>(std::cos(fW) - std::cos(fW0), fAlpha * std::sin(fW));
    if (opfGain)
        *opfGain = std::abs(aH);
    std::vector<int> aHeights;
    for (size_t c = 0; c < inColumns; ++c) {
        double fPeak = 0;
        for (size_t n = c * inWidth; n < (c + 1) * inWidth; ++n)
            fPeak = std::max(fPeak, std::fabs(ifAmplitude * std::abs(aH) * std::sin(fW * double(n) + std::arg(aH))));
        aHeights.push_back(std::min(int(fPeak / 128), 255));
    }
    return aHeights;
}

} // namespace

class TestWaveformSvg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wav_data();
    void wav();
    void wvc_data();
    void wvc();
    void notchLevels_data();
    void notchLevels();
    void levelsOfSoxDecode();
    void levelsOfFfmpegDecode_data();
    void levelsOfFfmpegDecode();
    void missingRecording();
    void lyingDurationIsCapped();
    void requestsAfterTheFirst();
    void reopenedPackageIsReadAgain();
    void fileChangedWhileOpen();

private:
    QByteArray generate(const QString& isMember, const QByteArray& iaContent, const QString& isQuery,
                        bool ibEncrypted = false);
    QTemporaryDir mDir;
    int mnPackages = 0;
};

void TestWaveformSvg::initTestCase()
{
    QVERIFY(mDir.isValid());
}

QByteArray TestWaveformSvg::generate(const QString& isMember, const QByteArray& iaContent, const QString& isQuery,
                                     bool ibEncrypted)
{
    PackageWriter writer;
    if (ibEncrypted) {
        writer.setPassword("pw");
        writer.setUsers("u");
    }
    if (!writer.addFile(isMember, iaContent))
        return "cannot write package";
    const QString sPackage = mDir.filePath(QString("p%1.pkg").arg(mnPackages++));
    if (!writer.write(sPackage))
        return "cannot write package";
    Package package;
    if (package.openPackage(sPackage, "u", "pw", QString(), false) != 0)
        return "cannot open package";
    QString sSvgPath = isMember;
    sSvgPath.replace(".wav", ".svg").replace(".wvc", ".svg");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (package.generateWaveformSvg(sSvgPath, isQuery, &buffer) != 0)
        return "not generated";
    return buffer.data();
}

void TestWaveformSvg::wav_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("expected");

    // Every height once: silence, full scale both ways, the >> 7 steps.
    const std::vector<qint16> aEight{0, 32767, -32768, 128, -129, 255, 256, 1000};
    const QByteArray aEightSvg = referenceDocument(
        8,
        {{"0,256 1,1 2,1 3,255 4,255 5,255 6,254 7,249 ", "0,256 1,511 2,511 3,257 4,257 5,257 6,258 7,263 ",
          kBlue}},
        false);
    QTest::newRow("8 samples, literal") << pcm16Wav(aEight) << "" << aEightSvg;
    QTest::newRow("encrypted package") << pcm16Wav(aEight) << "encrypted" << aEightSvg;
    QTest::newRow("balance does not apply") << pcm16Wav(aEight) << "balance=80" << aEightSvg;

    const std::vector<qint16> aLoud{32767, -32768, 1000, -20000, 0, 0, 0, 255};
    QTest::newRow("amplify 0.5, literal")
        << pcm16Wav(aLoud) << "amplifyratio=0.5"
        << referenceDocument(8, {{"0,129 1,129 2,253 3,178 4,256 5,256 6,256 7,256 ",
                                  "0,383 1,383 2,259 3,334 4,256 5,256 6,256 7,256 ", kBlue}},
                             false);
    QTest::newRow("amplify 2 clips, literal")
        << pcm16Wav(aLoud) << "amplifyratio=2"
        << referenceDocument(8, {{"0,1 1,1 2,241 3,1 4,256 5,256 6,256 7,253 ",
                                  "0,511 1,511 2,271 3,511 4,256 5,256 6,256 7,259 ", kBlue}},
                             false);

    using namespace WavTestFiles;
    QTest::newRow("A-law, literal")
        << riff(chunk("fmt ", fmtPayload(6, 1, 8000, 8, 0)) + chunk("fact", le32(8))
                + chunk("data", QByteArray("\xD5\xAA\x2A\x55\xD5\xD5\xD5\xD5", 8)))
        << ""
        << referenceDocument(8, {{"0,256 1,4 2,4 3,256 4,256 5,256 6,256 7,256 ",
                                  "0,256 1,508 2,508 3,256 4,256 5,256 6,256 7,256 ", kBlue}},
                             false);
    QTest::newRow("8-bit PCM on the 16-bit scale, literal")
        << riff(chunk("fmt ", fmtPayload(1, 1, 8000, 8)) + chunk("data", QByteArray("\x80\xFF\x00\xC8\x80\x80\x7F\x81", 8)))
        << ""
        << referenceDocument(8, {{"0,256 1,2 2,1 3,112 4,256 5,256 6,254 7,254 ",
                                  "0,256 1,510 2,511 3,400 4,256 5,256 6,258 7,258 ", kBlue}},
                             false);

    const std::vector<qint16> aSilence(1000, 0);
    QTest::newRow("silence, 1000 samples at factor 1") << pcm16Wav(aSilence) << "" << referenceWav(aSilence, 0, 1000);
    std::vector<qint16> aFull(2048);
    for (size_t i = 0; i < aFull.size(); ++i)
        aFull[i] = i % 2 ? -32767 : 32767;
    QTest::newRow("full scale, factor 2") << pcm16Wav(aFull) << "" << referenceWav(aFull, 0, 2048);

    // 60 s at 8000 Hz: factor 469, 479 787 samples, 1023 points.
    const std::vector<qint16> aMinute = steps(480000, 3000);
    QTest::newRow("60 s") << pcm16Wav(aMinute) << "" << referenceWav(aMinute, 0, 479787);

    const std::vector<qint16> aFour = steps(32000, 90);
    QTest::newRow("zoom 1000..3000: samples 8000..23999 at factor 16")
        << pcm16Wav(aFour) << "zoomstart=1000&zoomend=3000" << referenceWav(aFour, 8000, 16000);
    QTest::newRow("zoom times with fractions")
        << pcm16Wav(aFour) << "zoomstart=1000.7&zoomend=3000.2" << referenceWav(aFour, 8000, 16000);
    QTest::newRow("zoom start off the factor's grid")
        << pcm16Wav(aFour) << "zoomstart=1001&zoomend=3001" << referenceWav(aFour, 8008, 16000);
    QTest::newRow("zoom to the last sample")
        << pcm16Wav(aFour) << "zoomstart=2000&zoomend=4000" << referenceWav(aFour, 16000, 16000);
    QTest::newRow("zoom beyond the end: no document") << pcm16Wav(aFour) << "zoomstart=3000&zoomend=5000" << QByteArray();
    QTest::newRow("only one zoom item: whole recording")
        << pcm16Wav(aFour) << "zoomstart=3000" << referenceWav(aFour, 0, 32000);

    const std::vector<qint16> aHum = sine(16000, 50, 20000);
    QTest::newRow("notch at 50 Hz on a 50 Hz hum")
        << pcm16Wav(aHum) << "notchfrequency=50&qfactor=0.5"
        << referenceWav(withEffects(aHum, 50, 0.5f, 0), 0, 16000);
    QTest::newRow("notch with empty Q, then amplify")
        << pcm16Wav(aHum) << "notchfrequency=50&qfactor=&amplifyratio=3"
        << referenceWav(withEffects(aHum, 50, 0.5f, 3), 0, 16000);

    QTest::newRow("stereo recording is rejected: no document")
        << riff(chunk("fmt ", fmtPayload(1, 2, 8000, 16)) + chunk("data", QByteArray(4000, '\x10'))) << ""
        << QByteArray();
}

void TestWaveformSvg::wav()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, query);
    QFETCH(QByteArray, expected);
    const bool bEncrypted = query == "encrypted";
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QByteArray aSvg = generate("/app/wave/call.wav", file, bEncrypted ? QString() : query, bEncrypted);
    qInstallMessageHandler(previous);
    QCOMPARE(aSvg, expected);
}

void TestWaveformSvg::wvc_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("expected");

    const std::vector<int16_t> aShort = steps(40 * 160, 160);
    const std::vector<int16_t> aShortRight = steps(40 * 160, 480);
    const QByteArray aMono = wvcFile({aShort});
    const QByteArray aStereo = wvcFile({aShort, aShortRight});

    // The reference reads the decoder's levels; check them once against
    // the levels of the source frames, so the reference stands on its own.
    Band left{{}, {}, kBlue};
    Band right{{}, {}, kGrey};
    for (int f = 0; f < 40; ++f) {
        addPoint(left, f, wvctools::WvcWriter::levelOf(aShort.data() + f * 160, 160));
        addPoint(right, f, wvctools::WvcWriter::levelOf(aShortRight.data() + f * 160, 160));
    }
    QTest::newRow("mono, 40 frames, from the source levels") << aMono << 1 << "" << referenceDocument(40, {left}, true);
    QTest::newRow("stereo: four polygons, from the source levels")
        << aStereo << 2 << "" << referenceDocument(40, {left, right}, true);
    QTest::newRow("mono, the same by the reference") << aMono << 1 << "" << referenceWvc(aMono, 1, {});

    const QByteArray aSilence = wvcFile({std::vector<int16_t>(50 * 160, 0)});
    QTest::newRow("silence") << aSilence << 1 << "" << referenceWvc(aSilence, 1, {});
    const QByteArray aFull = wvcFile({std::vector<int16_t>(50 * 160, 32767)});
    QTest::newRow("full scale") << aFull << 1 << "" << referenceWvc(aFull, 1, {});

    // 60 s of 20 ms frames: 3000 level steps at factor 3.
    const std::vector<int16_t> aMinute = steps(480000, 1234);
    const std::vector<int16_t> aMinuteRight = steps(480000, 777);
    const QByteArray aLong = wvcFile({aMinute, aMinuteRight});
    QTest::newRow("stereo, 60 s") << aLong << 2 << "" << referenceWvc(aLong, 2, {});
    const QByteArray aLongNoDuration = wvcFile({aMinute}, false);
    QTest::newRow("mono, 60 s, no duration in the header")
        << aLongNoDuration << 1 << "" << referenceWvc(aLongNoDuration, 1, {});

    WvcSettings zoom;
    zoom.nZoomStart = 1000;
    zoom.nZoomEnd = 3000;
    QTest::newRow("zoom 1000..3000") << aLong << 2 << "zoomstart=1000&zoomend=3000" << referenceWvc(aLong, 2, zoom);
    zoom.nZoomStart = 50000;
    zoom.nZoomEnd = 70000;
    QTest::newRow("zoom beyond the end") << aLong << 2 << "zoomstart=50000&zoomend=70000"
                                        << referenceWvc(aLong, 2, zoom);

    WvcSettings amplify;
    amplify.fRatio0 = 2;
    amplify.fRatio1 = 2;
    QTest::newRow("amplify 2") << aStereo << 2 << "amplifyratio=2" << referenceWvc(aStereo, 2, amplify);
    WvcSettings balance;
    balance.fRatio0 = 2 - 40 * 2.0f / 100;
    balance.fRatio1 = 2;
    QTest::newRow("balance 40 on amplify 2") << aStereo << 2 << "amplifyratio=2&balance=40"
                                             << referenceWvc(aStereo, 2, balance);
    balance.fRatio0 = 1;
    balance.fRatio1 = 1 - 100 * 1.0f / 100;
    QTest::newRow("balance -100: right silent") << aStereo << 2 << "balance=-100" << referenceWvc(aStereo, 2, balance);

    QTest::newRow("not a WVC file: nothing") << QByteArray(5000, 'x') << 1 << "" << QByteArray();
}

void TestWaveformSvg::wvc()
{
    QFETCH(QByteArray, file);
    QFETCH(int, channels);
    QFETCH(QString, query);
    QFETCH(QByteArray, expected);
    Q_UNUSED(channels)
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QByteArray aSvg = generate("/app/wave/call.wvc", file, query);
    qInstallMessageHandler(previous);
    QCOMPARE(aSvg, expected);
}

// A tone through the notch, drawn from a WAV and from a WVC recording: once
// the filter has settled, every column shows the height computed above from
// the notch's transfer function. Allowed: one step, for the rounding of the
// input samples and of the filter's output.
void TestWaveformSvg::notchLevels_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("tone");
    QTest::addColumn<int>("notch");
    QTest::addColumn<double>("q");
    // Columns of at least one period of the tone: 60 s of WAV (458 or 938
    // samples a column), 10 s of WVC (a 20 ms frame a column).
    for (const char* pMember : {"call.wav", "call.wvc"}) {
        const QString sMember = pMember;
        const QString sKind = sMember.endsWith("wav") ? "WAV" : "WVC";
        QTest::newRow(qPrintable(sKind + ", 50 Hz hum, notch at 50 Hz: gone")) << sMember << 8000 << 50.0 << 50 << 0.5;
        QTest::newRow(qPrintable(sKind + ", 1003 Hz, notch at 50 Hz: kept")) << sMember << 8000 << 1003.0 << 50 << 0.5;
        QTest::newRow(qPrintable(sKind + ", 60 Hz, narrow notch at 50 Hz: partly"))
            << sMember << 8000 << 60.0 << 50 << 2.0;
        QTest::newRow(qPrintable(sKind + ", 16 kHz, 60 Hz, narrow notch at 50 Hz: partly"))
            << sMember << 16000 << 60.0 << 50 << 2.0;
        QTest::newRow(qPrintable(sKind + ", 16 kHz, 50 Hz hum, notch at 50 Hz: gone"))
            << sMember << 16000 << 50.0 << 50 << 0.5;
    }
}

void TestWaveformSvg::notchLevels()
{
    QFETCH(QString, member);
    QFETCH(int, rate);
    QFETCH(double, tone);
    QFETCH(int, notch);
    QFETCH(double, q);
    const double fAmplitude = 20000;
    const bool bWav = member.endsWith(".wav");
    const int nSeconds = bWav ? 60 : 10;
    const std::vector<qint16> aTone = sine(rate * nSeconds, tone, fAmplitude, quint32(rate));
    const QByteArray aFile = bWav ? pcm16Wav(aTone, quint32(rate)) : wvcFile({aTone}, true, uint32_t(rate));
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QByteArray aSvg =
        generate("/app/wave/" + member, aFile, QString("notchfrequency=%1&qfactor=%2").arg(notch).arg(q));
    qInstallMessageHandler(previous);
    const std::vector<int> aHeights = bandHeights(aSvg);
    // WAV: columns of round(samples / 1024) samples; WVC: one a frame.
    const size_t nColumns = bWav ? size_t(aTone.size() / std::lround(aTone.size() / 1024.0)) : size_t(nSeconds * 50);
    QCOMPARE(aHeights.size(), nColumns);

    const size_t nWidth = bWav ? size_t(std::lround(aTone.size() / 1024.0)) : size_t(rate / 50);
    double fGain = 0;
    const std::vector<int> aExpected = notchedToneHeights(fAmplitude, tone, notch, q, rate, nWidth, nColumns, &fGain);
    qInfo("gain %.3f", fGain);
    // The filter settles within a second.
    for (size_t c = nColumns / size_t(nSeconds); c < nColumns; ++c) {
        if (std::abs(aHeights[c] - aExpected[c]) > 1)
            QFAIL(qPrintable(QString("column %1 of %2: height %3, expected %4")
                                 .arg(c).arg(nColumns).arg(aHeights[c]).arg(aExpected[c])));
    }
}

// An A-law WAV recording drawn from sox's decode of it: each column the
// largest magnitude of its samples, in steps of 128.
void TestWaveformSvg::levelsOfSoxDecode()
{
    const std::vector<qint16> aSpeech = steps(80000, 700);
    QByteArray aCodes;
    for (size_t i = 0; i < aSpeech.size(); ++i)
        aCodes += char((aSpeech[i] >> 8) ^ int(i * 37)); // every code, at every height
    using namespace WavTestFiles;
    const QByteArray aWav = riff(chunk("fmt ", fmtPayload(6, 1, 8000, 8, 0)) + chunk("fact", le32(quint32(aCodes.size())))
                                 + chunk("data", aCodes));
    const QString sWav = mDir.filePath("sox-alaw.wav");
    QFile aFile(sWav);
    QVERIFY(aFile.open(QIODevice::WriteOnly));
    QCOMPARE(aFile.write(aWav), qint64(aWav.size()));
    aFile.close();
    QProcess aSox;
    aSox.start("sox", {"-V1", sWav, "-t", "raw", "-e", "signed-integer", "-b", "16", "-L", "-"});
    QVERIFY2(aSox.waitForFinished(60000) && aSox.exitCode() == 0, "sox failed (scripts/setup installs it)");
    const QByteArray aRaw = aSox.readAllStandardOutput();
    QCOMPARE(aRaw.size(), aCodes.size() * 2);
    std::vector<qint16> aDecoded(size_t(aCodes.size()));
    std::memcpy(aDecoded.data(), aRaw.constData(), size_t(aRaw.size()));

    // 80 000 samples: 1025 columns of 78.
    std::vector<int> aExpected;
    for (size_t c = 0; c < 1025; ++c) {
        int nPeak = 0;
        for (size_t i = c * 78; i < c * 78 + 78; ++i)
            nPeak = std::max(nPeak, std::abs(int(aDecoded[i])));
        aExpected.push_back(std::min(nPeak / 128, 255));
    }
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const std::vector<int> aHeights = bandHeights(generate("/app/wave/call.wav", aWav, QString()));
    qInstallMessageHandler(previous);
    QCOMPARE(aHeights.size(), aExpected.size());
    for (size_t c = 0; c < aExpected.size(); ++c)
        QCOMPARE(aHeights[c], aExpected[c]);
}

// A coded WVC recording with the amplifier on, so that the drawing shows
// the decoded samples (not the levels stored at recording): each column one
// frame, its height the largest magnitude of ffmpeg's decode of the frame
// times the ratio, in steps of 128. Allowed: one step, for the amplifier's
// float rounding (0.5 * 32767 / 32768 per sample unit, truncated).
void TestWaveformSvg::levelsOfFfmpegDecode_data()
{
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("rate");
    QTest::newRow("GSM") << "GSM" << 8000;
    QTest::newRow("G.729") << "G729" << 8000;
    QTest::newRow("G.722") << "G722" << 16000;
}

void TestWaveformSvg::levelsOfFfmpegDecode()
{
    QFETCH(QString, codec);
    QFETCH(int, rate);
    const codectest::CodecCase aCase{codec.toStdString(), uint32_t(rate), uint32_t(rate / 50)};
    codectest::WrittenFile aWritten;
    std::string sError;
    QVERIFY2(codectest::writeFile(aCase, {codectest::speechLike(size_t(rate) * 10, uint32_t(rate), 1)}, "", aWritten,
                                  sError),
             sError.c_str());
    codectest::Samples aDecoded;
    QString sFfmpegError;
    QVERIFY2(codectest::ffmpegDecode(aCase, aWritten.aFrames[0], uint32_t(rate), aDecoded, sFfmpegError),
             qPrintable(sFfmpegError));
    const size_t nFrames = aWritten.aFrames[0].size();
    QCOMPARE(aDecoded.size(), nFrames * size_t(rate / 50));
    std::vector<int> aExpected;
    for (size_t f = 0; f < nFrames; ++f) {
        double fPeak = 0;
        for (size_t i = f * size_t(rate / 50); i < (f + 1) * size_t(rate / 50); ++i)
            fPeak = std::max(fPeak, std::fabs(aDecoded[i] * 0.5 * 32767 / 32768));
        aExpected.push_back(std::min(int(fPeak) / 128, 255));
    }
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const std::vector<int> aHeights = bandHeights(generate(
        "/app/wave/call.wvc", QByteArray(reinterpret_cast<const char*>(aWritten.aBytes.data()), int(aWritten.aBytes.size())),
        "amplifyratio=0.5"));
    qInstallMessageHandler(previous);
    QCOMPARE(aHeights.size(), aExpected.size());
    int nLoud = 0;
    for (size_t c = 0; c < aExpected.size(); ++c) {
        nLoud += aExpected[c] > 10;
        if (std::abs(aHeights[c] - aExpected[c]) > 1)
            QFAIL(qPrintable(QString("column %1: height %2, expected %3").arg(c).arg(aHeights[c]).arg(aExpected[c])));
    }
    QVERIFY(nLoud > int(nFrames / 4)); // the recording is not near silence
}

void TestWaveformSvg::missingRecording()
{
    QTest::ignoreMessage(QtWarningMsg, "Could not generate  \"/app/wave/other.svg\"  because voice file not found");
    PackageWriter writer;
    QVERIFY(writer.addFile("/app/wave/call.wav", pcm16Wav({1, 2, 3})));
    QVERIFY(writer.write(mDir.filePath("missing.pkg")));
    Package package;
    QCOMPARE(package.openPackage(mDir.filePath("missing.pkg"), "", "", "", false), 0);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QCOMPARE(package.generateWaveformSvg("/app/wave/other.svg", "", &buffer), -1);
    QVERIFY(buffer.data().isEmpty());
}

void TestWaveformSvg::lyingDurationIsCapped()
{
    // Six minutes of 20 ms frames whose header claims 20 ms: every level
    // step would become a point; drawing stops at 16 384 of them.
    const QByteArray aFile = withHeaderDuration(wvcFile({steps(18000 * 160, 1600)}), 20);
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QByteArray aSvg = generate("/app/wave/long.wvc", aFile, QString());
    qInstallMessageHandler(previous);
    QVERIFY(aSvg.contains("viewBox=\"0 0 18000 512\""));
    const QByteArray aUpper = aSvg.split('\n').value(3).split('"').value(1);
    QCOMPARE(aUpper.count(','), 16384 + 3); // the three corner points besides
    QVERIFY(aUpper.contains(" 16383,"));
    QVERIFY(!aUpper.contains(" 16384,"));
}

void TestWaveformSvg::requestsAfterTheFirst()
{
    // The first request decodes the recording; the later ones draw from
    // what was kept, and must draw exactly what a fresh package draws.
    const QByteArray aFile = pcm16Wav(steps(32000, 90));
    PackageWriter writer;
    writer.setPassword("pw");
    writer.setUsers("u");
    QVERIFY(writer.addFile("/app/wave/call.wav", aFile));
    QVERIFY(writer.addFile("/app/wave/other.wav", pcm16Wav(sine(16000, 50, 20000))));
    QVERIFY(writer.write(mDir.filePath("repeated.pkg")));
    Package package;
    QCOMPARE(package.openPackage(mDir.filePath("repeated.pkg"), "u", "pw", QString(), false), 0);
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QString aQueries[] = {"", "zoomstart=1000&zoomend=3000", "notchfrequency=50&qfactor=0.5&amplifyratio=3",
                                "zoomstart=1001&zoomend=3001", "zoomstart=3000&zoomend=5000", ""};
    for (const QString& sQuery : aQueries) {
        for (const char* pRecording : {"call", "other"}) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QCOMPARE(package.generateWaveformSvg(QString("/app/wave/%1.svg").arg(pRecording), sQuery, &buffer), 0);
            const QByteArray aFresh = generate("/app/wave/call.wav",
                                               QByteArray(pRecording) == "call" ? aFile : pcm16Wav(sine(16000, 50, 20000)),
                                               sQuery);
            if (buffer.data() != aFresh)
                QFAIL(qPrintable(QString("%1 with \"%2\" differs").arg(pRecording, sQuery)));
        }
    }
    qInstallMessageHandler(previous);
}

void TestWaveformSvg::reopenedPackageIsReadAgain()
{
    // The same file name, the same member and the same size, other samples:
    // what was decoded for the first package must not be drawn for the second.
    const QString sPath = mDir.filePath("reopened.pkg");
    const QByteArray aFirst = pcm16Wav(steps(8000, 90));
    const QByteArray aSecond = pcm16Wav(steps(8000, 400));
    QCOMPARE(aFirst.size(), aSecond.size());
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    Package package;
    for (const QByteArray& aFile : {aFirst, aSecond}) {
        PackageWriter writer;
        QVERIFY(writer.addFile("/app/wave/call.wav", aFile));
        QFile::remove(sPath);
        QVERIFY(writer.write(sPath));
        QCOMPARE(package.openPackage(sPath, "", "", QString(), false), 0);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QCOMPARE(package.generateWaveformSvg("/app/wave/call.svg", QString(), &buffer), 0);
        QCOMPARE(buffer.data(), generate("/app/wave/call.wav", aFile, QString()));
    }
    qInstallMessageHandler(previous);
}

void TestWaveformSvg::fileChangedWhileOpen()
{
    // What was decoded before the file was overwritten is not drawn after.
    const QString sPath = mDir.filePath("overwritten.pkg");
    PackageWriter writer;
    QVERIFY(writer.addFile("/app/wave/call.wav", pcm16Wav(steps(8000, 90))));
    const QByteArray aPackage = writer.build();
    QVERIFY(writer.write(sPath));
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    Package package;
    QCOMPARE(package.openPackage(sPath, "", "", QString(), false), 0);
    QBuffer first;
    first.open(QIODevice::WriteOnly);
    QCOMPARE(package.generateWaveformSvg("/app/wave/call.svg", QString(), &first), 0);
    QVERIFY(first.data().startsWith("<?xml"));
    QFile file(sPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(aPackage.left(aPackage.size() / 2)), qint64(aPackage.size() / 2));
    file.close();
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    package.generateWaveformSvg("/app/wave/call.svg", QString(), &second);
    qInstallMessageHandler(previous);
    QVERIFY(second.data().isEmpty());
}

QTEST_MAIN(TestWaveformSvg)
#include "tst_waveform_svg.moc"
