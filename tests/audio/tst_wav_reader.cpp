// The WAV reader stage: a table of small headers, each delivered whole, split
// at every byte and byte by byte; then recordings written by sox read through
// a real package and compared with sox's own decoding.
#include "AudioFormat.h"
#include "G711.h"
#include "Package.h"
#include "PackageWriter.h"
#include "WavReader.h"
#include "WavTestFiles.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cryptopp/filters.h>

using namespace WavTestFiles;

Q_DECLARE_METATYPE(WavTestFiles::Outcome)

namespace {

QStringList gaWarnings;

void collectWarnings(QtMsgType inType, const QMessageLogContext&, const QString& isText)
{
    if (inType == QtWarningMsg)
        gaWarnings << isText;
}

QByteArray expandAlaw(const QByteArray& iaBytes)
{
    QByteArray a;
    for (const char c : iaBytes) {
        const quint16 n = quint16(WVC::G711::alawToLinear(quint8(c)));
        a += char(n & 0xFF);
        a += char(n >> 8);
    }
    return a;
}

struct Delivery
{
    QByteArray aOutput;
    bool bFailed = false;
    bool bEarlyOutput = false; // output seen before the whole header was in
    AudioFormat format;
};

// Feeds iaFile in the given pieces, then ends the message.
Delivery deliver(const QByteArray& iaFile, const QVector<int>& iaCuts, int inHeaderSize)
{
    Delivery result;
    std::string sOut;
    WavReader reader(new CryptoPP::StringSink(sOut), &result.format);
    int nFrom = 0;
    try {
        for (int nCut : iaCuts + QVector<int>{iaFile.size()}) {
            reader.Put(reinterpret_cast<const CryptoPP::byte*>(iaFile.constData()) + nFrom, size_t(nCut - nFrom));
            nFrom = nCut;
            if (nFrom < inHeaderSize && !sOut.empty())
                result.bEarlyOutput = true;
        }
        reader.MessageEnd();
    } catch (const CryptoPP::Exception&) {
        result.bFailed = true;
    }
    result.aOutput = QByteArray::fromStdString(sOut);
    return result;
}

} // namespace

class TestWavReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void headers_data();
    void headers();
    void publishedAlawValues();
    void withoutFormatEverythingPasses();
    void packageRead_data();
    void packageRead();
    void rejectedMemberFailsTheRead();
    void chunkAfterLargeData();

private:
    QTemporaryDir mDir;
};

void TestWavReader::initTestCase()
{
    QVERIFY(mDir.isValid());
}

void TestWavReader::headers_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<quint64>("samples");
    QTest::addColumn<quint64>("duration");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("output");
    for (const Case& c : cases()) {
        QTest::newRow(c.pName) << c.aFile << c.eOutcome << QString::fromLatin1(c.pWarning) << c.nChannels << c.nRate
                               << c.nBits << c.nSamples << c.nDuration << c.nEncoding
                               << (c.nEncoding == 2 ? expandAlaw(c.aSamples) : c.aSamples);
    }
}

void TestWavReader::headers()
{
    QFETCH(QByteArray, file);
    QFETCH(Outcome, outcome);
    QFETCH(QString, warning);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(quint64, samples);
    QFETCH(quint64, duration);
    QFETCH(int, encoding);
    QFETCH(QByteArray, output);

    // The header ends where the samples begin: find them behind "data".
    const int nHeaderSize = outcome == Outcome::Accepted ? file.indexOf("data") + 8 : file.size();

    QVector<QVector<int>> aSplits{{}};
    for (int nCut = 0; nCut <= file.size(); ++nCut)
        aSplits.append(QVector<int>{nCut});
    QVector<int> aBytewise;
    for (int nCut = 1; nCut < file.size(); ++nCut)
        aBytewise.append(nCut);
    aSplits.append(aBytewise);

    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    for (const QVector<int>& aCuts : aSplits) {
        gaWarnings.clear();
        const Delivery result = deliver(file, aCuts, nHeaderSize);
        const QByteArray aWhere = "cut at " + QByteArray::number(aCuts.value(0, -1)) + " of "
                                  + QByteArray::number(aCuts.size()) + " cuts";
        qInstallMessageHandler(previous);
        QVERIFY2(!result.bEarlyOutput, aWhere);
        QVERIFY2(result.bFailed == (outcome != Outcome::Accepted), aWhere);
        QCOMPARE(gaWarnings, warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(result.format.channelCount(), channels);
        QCOMPARE(result.format.sampleRate(), rate);
        if (outcome == Outcome::Accepted) {
            QCOMPARE(result.aOutput, output);
            QCOMPARE(result.format.sampleSize(), bits);
            QCOMPARE(result.format.numSamples, samples);
            QCOMPARE(result.format.duration, duration);
            QCOMPARE(result.format.byteOrder(), QAudioFormat::LittleEndian);
            QCOMPARE(result.format.codec(), QString("audio/pcm"));
            QCOMPARE(result.format.sampleType(), encoding == 1 ? QAudioFormat::UnSignedInt : QAudioFormat::SignedInt);
        } else {
            QVERIFY2(result.aOutput.isEmpty(), aWhere);
            QCOMPARE(result.format.sampleSize(), bits);
            QCOMPARE(result.format.numSamples, quint64(0));
            QCOMPARE(result.format.duration, quint64(0));
        }
        qInstallMessageHandler(collectWarnings);
    }
    qInstallMessageHandler(previous);
}

void TestWavReader::publishedAlawValues()
{
    const QByteArray aFile = riff(chunk("fmt ", fmtPayload(6, 1, 8000, 8)) + chunk("data", "\xD5\x55\x2A\xAA"));
    const Delivery result = deliver(aFile, {}, 0);
    QVERIFY(!result.bFailed);
    const QByteArray aExpected = le16(8) + le16(quint16(-8)) + le16(quint16(-32256)) + le16(32256);
    QCOMPARE(result.aOutput, aExpected);
}

void TestWavReader::withoutFormatEverythingPasses()
{
    for (const Case& c : cases()) {
        std::string sOut;
        WavReader reader(new CryptoPP::StringSink(sOut), nullptr);
        const int nHalf = c.aFile.size() / 2;
        reader.Put(reinterpret_cast<const CryptoPP::byte*>(c.aFile.constData()), size_t(nHalf));
        reader.Put(reinterpret_cast<const CryptoPP::byte*>(c.aFile.constData()) + nHalf, size_t(c.aFile.size() - nHalf));
        reader.MessageEnd();
        QCOMPARE(QByteArray::fromStdString(sOut), c.aFile);
    }
}

void TestWavReader::packageRead_data()
{
    QTest::addColumn<QStringList>("encoding"); // sox options of the stored file
    QTest::addColumn<QStringList>("raw");      // sox options of the expected samples
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("encrypted");

    const QStringList aSigned{"-e", "signed", "-b", "16", "-L"};
    for (const bool bEncrypted : {false, true}) {
        const char* pKind = bEncrypted ? "encrypted" : "plain";
        QTest::addRow("A-law, %s", pKind) << QStringList{"-e", "a-law"} << aSigned << 16 << bEncrypted;
        QTest::addRow("PCM16, %s", pKind) << aSigned << aSigned << 16 << bEncrypted;
        QTest::addRow("8-bit PCM, %s", pKind) << QStringList{"-e", "unsigned", "-b", "8"}
                                              << QStringList{"-e", "unsigned", "-b", "8"} << 8 << bEncrypted;
    }
}

void TestWavReader::packageRead()
{
    QFETCH(QStringList, encoding);
    QFETCH(QStringList, raw);
    QFETCH(int, bits);
    QFETCH(bool, encrypted);

    // 40 s at 8000 Hz: several blocks of the inflater pass the stage.
    const QString sWav = mDir.filePath("tone.wav");
    QProcess synth;
    synth.start("sox", QStringList{"-n", "-r", "8000", "-c", "1"} + encoding
                           + QStringList{sWav, "synth", "40", "sine", "300-3000", "vol", "0.8"});
    if (!synth.waitForFinished(60000) || synth.exitStatus() != QProcess::NormalExit)
        QFAIL("sox is not available (scripts/setup installs it)");
    QCOMPARE(synth.exitCode(), 0);
    QProcess decode;
    decode.start("sox", QStringList{sWav, "-t", "raw"} + raw + QStringList{"-"});
    QVERIFY(decode.waitForFinished(60000) && decode.exitCode() == 0);
    const QByteArray aExpected = decode.readAllStandardOutput();
    QCOMPARE(aExpected.size(), 320000 * bits / 8);

    QFile wav(sWav);
    QVERIFY(wav.open(QIODevice::ReadOnly));
    const QByteArray aStored = wav.readAll();
    PackageWriter writer;
    if (encrypted)
        writer.setPassword("pw");
    writer.setUsers("u");
    QVERIFY(writer.addFile("/app/wave/call.wav", aStored));
    QVERIFY(writer.write(mDir.filePath("p.pkg")));

    Package package;
    QCOMPARE(package.openPackage(mDir.filePath("p.pkg"), "u", "pw", QString(), false), 0);
    AudioFormat format;
    QBuffer buffer;
    buffer.setData("x");
    QCOMPARE(package.readFile("/app/wave/call.wav", &buffer, &format), 0);
    QVERIFY(buffer.data() == "x" + aExpected);
    QCOMPARE(format.sampleRate(), 8000);
    QCOMPARE(format.channelCount(), 1);
    QCOMPARE(format.sampleSize(), bits);
    QCOMPARE(format.numSamples, quint64(320000));
    QCOMPARE(format.duration, quint64(40000));

    // Without a format the member arrives as stored.
    QBuffer stored;
    QCOMPARE(package.readFile("/app/wave/call.wav", &stored), 0);
    QVERIFY(stored.data() == aStored);
}

void TestWavReader::rejectedMemberFailsTheRead()
{
    const QByteArray aStereo = riff(chunk("fmt ", fmtPayload(1, 2, 8000, 16)) + chunk("data", ramp(4000)));
    const QByteArray aCut = riff(chunk("fmt ", fmtPayload(1, 1, 8000, 16))).left(30);
    PackageWriter writer;
    QVERIFY(writer.addFile("/app/wave/stereo.wav", aStereo));
    QVERIFY(writer.addFile("/app/wave/cut.wav", aCut));
    QVERIFY(writer.write(mDir.filePath("r.pkg")));
    Package package;
    QCOMPARE(package.openPackage(mDir.filePath("r.pkg"), QString(), QString(), QString(), false), 0);

    for (const char* pPath : {"/app/wave/stereo.wav", "/app/wave/cut.wav"}) {
        AudioFormat format;
        QBuffer buffer;
        buffer.setData("kept");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Only mono files are supported|Could not read member"));
        if (QByteArray(pPath).contains("stereo"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not read member"));
        QCOMPARE(package.readFile(pPath, &buffer, &format), -1);
        QCOMPARE(buffer.data(), QByteArray("kept"));
        QBuffer stored;
        QCOMPARE(package.readFile(pPath, &stored), 0);
    }
}

void TestWavReader::chunkAfterLargeData()
{
    // Large enough for the inflater to write into the sink's room in place:
    // the bytes of the chunk behind the samples must not stay there.
    const QByteArray aSamples = ramp(700001, 3);
    const QByteArray aFile = riff(chunk("fmt ", fmtPayload(1, 1, 8000, 16)) + chunk("data", aSamples)
                                  + chunk("LIST", QByteArray(300000, 'L')));
    PackageWriter writer;
    QVERIFY(writer.addFile("/app/wave/tail.wav", aFile));
    QVERIFY(writer.write(mDir.filePath("t.pkg")));
    Package package;
    QCOMPARE(package.openPackage(mDir.filePath("t.pkg"), QString(), QString(), QString(), false), 0);
    AudioFormat format;
    QBuffer buffer;
    QCOMPARE(package.readFile("/app/wave/tail.wav", &buffer, &format), 0);
    QCOMPARE(buffer.data().size(), aSamples.size());
    QVERIFY(buffer.data() == aSamples);
}

QTEST_GUILESS_MAIN(TestWavReader)
#include "tst_wav_reader.moc"
