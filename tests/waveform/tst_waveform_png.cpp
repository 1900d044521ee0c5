// The waveform route of the loopback server: the PNG a real client receives
// shows, column by column, the band of the recording's levels.
#include "../server/HttpClient.h"
#include "HttpServer.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WaveformTestFiles.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <future>

using namespace WaveformTestFiles;

namespace {

const QRgb kBackground = qRgb(238, 238, 238);
const QRgb kBlue = qRgb(0x99, 0xBB, 0xE8);
const QRgb kGrey = qRgb(0x88, 0x88, 0x88);
constexpr int cnRun = 20; // points of one level

// Level of run r: 1 .. 250, never 0, so that every column has a band.
int levelOfRun(int inRun, int inSeed)
{
    return 1 + (inRun * 97 + inSeed * 31) % 250;
}

QImage fetchPng(quint16 inPort, const QByteArray& iaTarget)
{
    auto aFuture = std::async(std::launch::async, httpGet, inPort, iaTarget);
    (void)QTest::qWaitFor([&] { return aFuture.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                          60000);
    const QByteArray aResponse = aFuture.get().aResponse;
    const QByteArray aHeader = "HTTP/1.1 200 Ok\r\nContent-Size: -1\r\nContent-Type: image/png\r\n\r\n";
    QImage aImage;
    if (aResponse.startsWith(aHeader))
        aImage.loadFromData(aResponse.mid(aHeader.size()), "PNG");
    return aImage;
}

// The rows a column's band covers: first and last row not in the background.
QPair<int, int> bandOf(const QImage& irImage, int inColumn)
{
    int nTop = -1;
    int nBottom = -1;
    for (int y = 0; y < irImage.height(); ++y) {
        if (irImage.pixel(inColumn, y) != qRgba(238, 238, 238, 255)) {
            if (nTop < 0)
                nTop = y;
            nBottom = y;
        }
    }
    return {nTop, nBottom};
}

// Checks every column inside a run (the edges between runs are slopes) of
// an image whose 800 points map one to one onto its 800 columns.
void compareBand(const QImage& irImage, const std::vector<int>& iaLevels)
{
    QCOMPARE(irImage.size(), QSize(800, 100));
    QCOMPARE(int(iaLevels.size()), 800);
    int nChecked = 0;
    for (int c = 0; c < 800; ++c) {
        if (c % cnRun < 2 || c % cnRun > cnRun - 3)
            continue;
        const int h = iaLevels[size_t(c)];
        const double fTop = (256 - h) * 100.0 / 512;
        const double fBottom = (256 + h) * 100.0 / 512;
        const QPair<int, int> band = bandOf(irImage, c);
        QVERIFY2(std::abs(band.first - fTop) <= 1.0 && std::abs(band.second + 1 - fBottom) <= 1.0,
                 qPrintable(QString("column %1, level %2: rows %3..%4, expected %5..%6")
                                .arg(c).arg(h).arg(band.first).arg(band.second).arg(fTop).arg(fBottom)));
        ++nChecked;
    }
    QVERIFY(nChecked > 600);
}

} // namespace

class TestWaveformPng : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wavBandFollowsTheSamples();
    void wvcBandFollowsTheLevels();
    void stereoDrawsBothChannels();
    void damagedRecordingIsPlainImage();
    void packageGoneIsRefused();

private:
    QTemporaryDir mDir;
    Package mPackage;
    HttpServer* mpServer = nullptr;
    std::vector<int> maWavLevels;
    std::vector<int> maWvcLevels;
};

void TestWaveformPng::initTestCase()
{
    QVERIFY(mDir.isValid());
    // 800 samples at factor 1: point i is sample i, column i of the image.
    std::vector<qint16> aSamples(800);
    for (int i = 0; i < 800; ++i) {
        maWavLevels.push_back(levelOfRun(i / cnRun, 1));
        aSamples[size_t(i)] = qint16((i % 2 ? -1 : 1) * maWavLevels.back() * 128);
    }
    // 800 frames of 20 ms (16 s), one level step each.
    std::vector<int16_t> aLeft(800 * 160);
    std::vector<int16_t> aRight(800 * 160);
    for (int f = 0; f < 800; ++f) {
        maWvcLevels.push_back(levelOfRun(f / cnRun, 2));
        for (int s = 0; s < 160; ++s) {
            aLeft[size_t(f * 160 + s)] = int16_t((s % 2 ? -1 : 1) * maWvcLevels.back() * 128);
            aRight[size_t(f * 160 + s)] = int16_t(s == 0 ? 32767 : 0);
        }
    }
    PackageWriter writer;
    writer.setPassword("pw");
    writer.setUsers("u");
    QVERIFY(writer.addFile("/app/wave/steps.wav", pcm16Wav(aSamples)));
    QVERIFY(writer.addFile("/app/wave/levels.wvc", wvcFile({aLeft})));
    QVERIFY(writer.addFile("/app/wave/stereo.wvc", wvcFile({aLeft, aRight})));
    QVERIFY(writer.addFile("/app/wave/damaged.wav", pcm16Wav(aSamples).left(30)));
    QVERIFY(writer.write(mDir.filePath("w.pkg")));
    QCOMPARE(mPackage.openPackage(mDir.filePath("w.pkg"), "u", "pw", QString(), false), 0);
    mpServer = new HttpServer(&mPackage, 0, this);
    QVERIFY(mpServer->isListening());
}

void TestWaveformPng::wavBandFollowsTheSamples()
{
    const QImage aImage = fetchPng(mpServer->serverPort(), "/app/wave/steps.svg");
    compareBand(aImage, maWavLevels);
    QCOMPARE(aImage.pixel(30, 50), kBlue);
    QCOMPARE(aImage.pixel(30, 0), kBackground);
}

void TestWaveformPng::wvcBandFollowsTheLevels()
{
    compareBand(fetchPng(mpServer->serverPort(), "/app/wave/levels.svg"), maWvcLevels);
}

void TestWaveformPng::stereoDrawsBothChannels()
{
    // The right channel peaks at full scale in every frame and is drawn over
    // the left one: grey from top to bottom, blue nowhere.
    const QImage aImage = fetchPng(mpServer->serverPort(), "/app/wave/stereo.svg?amplifyratio=1");
    QCOMPARE(aImage.size(), QSize(800, 100));
    for (int c : {10, 400, 790}) {
        QCOMPARE(aImage.pixel(c, 50), kGrey);
        QCOMPARE(aImage.pixel(c, 2), kGrey);
        QCOMPARE(aImage.pixel(c, 97), kGrey);
    }
}

void TestWaveformPng::damagedRecordingIsPlainImage()
{
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QImage aImage = fetchPng(mpServer->serverPort(), "/app/wave/damaged.svg");
    qInstallMessageHandler(previous);
    QCOMPARE(aImage.size(), QSize(800, 100));
    for (int c = 0; c < 800; c += 7)
        QCOMPARE(bandOf(aImage, c).first, -1);
}

// The package file deleted while open (a share that dropped): waveforms,
// already drawn or not, are refused with an error status, not drawn from
// whatever the old offsets hold; the next package draws as before.
void TestWaveformPng::packageGoneIsRefused()
{
    const QString sCopy = mDir.filePath("gone.pkg");
    QVERIFY(QFile::copy(mDir.filePath("w.pkg"), sCopy));
    QCOMPARE(mPackage.openPackage(sCopy, "u", "pw", QString(), false), 0);
    compareBand(fetchPng(mpServer->serverPort(), "/app/wave/steps.svg"), maWavLevels);
    QVERIFY(QFile::remove(sCopy));
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    for (const QByteArray& rTarget : {QByteArray("/app/wave/steps.svg"), QByteArray("/app/wave/levels.svg")}) {
        auto aFuture = std::async(std::launch::async, httpGet, mpServer->serverPort(), rTarget);
        QVERIFY(QTest::qWaitFor([&] { return aFuture.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                60000));
        QCOMPARE(aFuture.get().aResponse, QByteArray("HTTP/1.1 410 Gone\r\nCache-Control: no-store\r\n\r\n"));
    }
    qInstallMessageHandler(previous);
    QCOMPARE(mPackage.openPackage(mDir.filePath("w.pkg"), "u", "pw", QString(), false), 0);
    compareBand(fetchPng(mpServer->serverPort(), "/app/wave/levels.svg"), maWvcLevels);
}

QTEST_MAIN(TestWaveformPng)
#include "tst_waveform_png.moc"
