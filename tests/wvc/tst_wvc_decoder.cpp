// WVC::Decoder over files written by the WVC writer and over hand-made and
// damaged page layouts, fed from memory.
#include "Amplify.h"
#include "BiquadFilter.h"
#include "G711.h"
#include "Pcm16Encoder.h"
#include "WvcTestFiles.h"

#include <QtTest>

#include <algorithm>

using namespace wvctest;
using wvctools::MemoryDecoder;
using wvctools::WvcPage;
using wvctools::WvcWriterOptions;

Q_DECLARE_METATYPE(std::vector<uint8_t>)

class TestWvcDecoder : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void versions_data();
    void versions();
    void chunksAndPartialReads_data();
    void chunksAndPartialReads();
    void damagedPages_data();
    void damagedPages();
    void monoIgnoresRightStream();
    void malformedHeaders_data();
    void malformedHeaders();
    void passwords_data();
    void passwords();
    void seekArithmetic();
    void seekDelivers();
    void seekAtGroupBoundaries_data();
    void seekAtGroupBoundaries();
    void seekStepCap();
    void seekWithoutDuration();
    void seekPastEnd();
    void zoom();
    void fastLevelScan_data();
    void fastLevelScan();
    void metadata_data();
    void metadata();
    void malformedMetadata_data();
    void malformedMetadata();
    void effects();
    void notchOvershootIsClamped();
    void refusedFrames_data();
    void refusedFrames();
    void failedFrameKeepsItsTime();
    void libraryCodecFramesEndCleanly_data();
    void libraryCodecFramesEndCleanly();
    void stopAndClose();
    void sourceThatNeverEnds();
};

namespace {

WvcWriterOptions options(uint32_t inVersion = 3, bool ibEncrypted = false)
{
    WvcWriterOptions aOptions;
    aOptions.nVersion = inVersion;
    aOptions.bEncrypted = ibEncrypted;
    aOptions.sPassword = ibEncrypted ? "s3cret" : "";
    return aOptions;
}

Channels channels(int inCount, size_t inSamples)
{
    Channels aChannels;
    for (int i = 0; i < inCount; ++i)
        aChannels.push_back(signal(inSamples, i));
    return aChannels;
}

std::vector<size_t> pagesOf(const std::vector<WvcPage>& irPages, int inSerial)
{
    std::vector<size_t> aIndexes;
    for (size_t i = firstAudioPage(irPages); i < irPages.size(); ++i) {
        if (irPages[i].nSerial == inSerial)
            aIndexes.push_back(i);
    }
    return aIndexes;
}

// Level bytes the writer puts into the level pages, channels interleaved.
std::vector<uint8_t> expectedLevels(const Channels& irInput, uint32_t inSpf)
{
    std::vector<uint8_t> aLevels;
    for (size_t nFirst = 0; nFirst < irInput[0].size(); nFirst += inSpf) {
        const int nCount = static_cast<int>(std::min<size_t>(inSpf, irInput[0].size() - nFirst));
        for (const auto& rChannel : irInput)
            aLevels.push_back(wvctools::WvcWriter::levelOf(rChannel.data() + nFirst, nCount));
    }
    return aLevels;
}

} // namespace

void TestWvcDecoder::defaults()
{
    MemoryDecoder aDecoder;
    QCOMPARE(aDecoder.sampleRate(), 8000u);
    QCOMPARE(aDecoder.samplesPerFrame(), 160u);
    QCOMPARE(aDecoder.channelCount(), 1u);
    QCOMPARE(aDecoder.frameDuration(), 0u);
    QCOMPARE(aDecoder.audioStart(), 0u);
    QCOMPARE(aDecoder.reservedOperation(), static_cast<int>(WVC::WVC_NOT_SUPPORTED));
    // Nothing opened yet: decode steps are refused, not run on empty state.
    QCOMPARE(aDecoder.decodeChunk(false, 100), static_cast<int>(WVC::WVC_ERROR));
    QCOMPARE(aDecoder.seek(2000, true), static_cast<int>(WVC::WVC_ERROR));
    QCOMPARE(aDecoder.close(), 0);
    WVC::Decoder aBase;
    aBase.setLogLevel(5000);
    uint32_t nRead = 7;
    uint8_t aBuffer[4];
    QCOMPARE(aBase.readCallback(aBuffer, 4, nRead), static_cast<int>(WVC::WVC_READ_ERROR));
    QCOMPARE(aBase.seekCallback(0, 0), static_cast<int>(WVC::WVC_SEEK_ERROR));
    QCOMPARE(aBase.open(100, false), static_cast<int>(WVC::WVC_READ_ERROR));
    QCOMPARE(aBase.decodeChunk(false, 100), static_cast<int>(WVC::WVC_READ_ERROR));
    MemoryDecoder aEmpty;
    QCOMPARE(aEmpty.openAll(), static_cast<int>(WVC::WVC_ERROR));
    QCOMPARE(aEmpty.lastError(), std::string("Can't decode header due to error in ogg_sync_pageout"));
}

void TestWvcDecoder::versions_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<int>("channelCount");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("audioStart");
    QTest::newRow("v1 plain mono PCMA") << 1 << false << 1 << "PCMA" << 8000 << 46;
    QTest::newRow("v1 plain stereo PCMA") << 1 << false << 2 << "PCMA" << 8000 << 46;
    QTest::newRow("v2 encrypted mono PCMA") << 2 << true << 1 << "PCMA" << 8000 << 86;
    QTest::newRow("v2 encrypted stereo PCMA") << 2 << true << 2 << "PCMA" << 8000 << 86;
    QTest::newRow("v3 plain mono PCM16") << 3 << false << 1 << "PCM16" << 8000 << 48;
    QTest::newRow("v3 plain stereo PCMU") << 3 << false << 2 << "PCMU" << 8000 << 48;
    QTest::newRow("v3 encrypted stereo PCM16") << 3 << true << 2 << "PCM16" << 8000 << 88;
    QTest::newRow("v4 plain stereo PCM16 16 kHz") << 4 << false << 2 << "PCM16" << 16000 << 48;
    QTest::newRow("v4 encrypted mono PCM16") << 4 << true << 1 << "PCM16" << 8000 << 88;
    QTest::newRow("v4 encrypted mono PCMA") << 4 << true << 1 << "PCMA" << 8000 << 88;
}

void TestWvcDecoder::versions()
{
    QFETCH(int, version);
    QFETCH(bool, encrypted);
    QFETCH(int, channelCount);
    QFETCH(QString, codec);
    QFETCH(int, rate);
    QFETCH(int, audioStart);
    WvcWriterOptions aOptions = options(static_cast<uint32_t>(version), encrypted);
    aOptions.nSampleRate = static_cast<uint32_t>(rate);
    aOptions.nSamplesPerFrame = static_cast<uint32_t>(rate / 50);
    // 1.01 s: the last frame is short (PCM16) or padded (G.711.0).
    const size_t nSamples = static_cast<size_t>(rate) * 101 / 100;
    const Channels aInput = channels(channelCount, nSamples);
    const std::vector<WvcPage> aPages = writePages(aOptions, aInput, codec.toStdString());
    QCOMPARE(aPages[0].aBytes.size(), static_cast<size_t>(audioStart));

    MemoryDecoder aDecoder(join(aPages));
    aDecoder.setLogLevel(1000);
    if (encrypted)
        aDecoder.setPassword("s3cret");
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.version(), static_cast<uint32_t>(version));
    QCOMPARE(aDecoder.encryption(), encrypted ? 2u : 1u);
    QCOMPARE(QString(WVC::codecName(aDecoder.codecId())), codec);
    QCOMPARE(aDecoder.channelCount(), static_cast<uint32_t>(channelCount));
    QCOMPARE(aDecoder.sampleRate(), static_cast<uint32_t>(rate));
    QCOMPARE(aDecoder.frameDuration(), 20u);
    QCOMPARE(aDecoder.audioStart(), static_cast<uint32_t>(audioStart));
    QCOMPARE(aDecoder.duration(), 1010);
    QCOMPARE(aDecoder.countLog("   Frame duration:    20"), 1);
    QCOMPARE(aDecoder.countLog("   Key:                   "), encrypted ? 1 : 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.lastError(), std::string());

    if (codec == "PCM16") {
        QCOMPARE(framesMismatch(aDecoder, aInput, aOptions.nSamplesPerFrame, 20), std::string());
        return;
    }
    // G.711: the samples come back quantised, and the G.711 bytes handed out
    // are the coded symbols.
    const bool bMu = codec == "PCMU";
    QVERIFY(aDecoder.aLeft.size() >= nSamples);
    for (size_t i = 0; i < nSamples; ++i) {
        const uint8_t nSymbol = bMu ? WVC::G711::linearToUlaw(aInput[0][i]) : WVC::G711::linearToAlaw(aInput[0][i]);
        QCOMPARE(aDecoder.aG711Left[i], nSymbol);
        QCOMPARE(aDecoder.aLeft[i], bMu ? WVC::G711::ulawToLinear(nSymbol) : WVC::G711::alawToLinear(nSymbol));
        if (channelCount == 2) {
            const uint8_t nRight =
                bMu ? WVC::G711::linearToUlaw(aInput[1][i]) : WVC::G711::linearToAlaw(aInput[1][i]);
            QCOMPARE(aDecoder.aRight[i], bMu ? WVC::G711::ulawToLinear(nRight) : WVC::G711::alawToLinear(nRight));
        }
    }
}

void TestWvcDecoder::chunksAndPartialReads_data()
{
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("piece");
    QTest::newRow("1-byte chunks") << 1 << 0;
    QTest::newRow("7-byte chunks") << 7 << 0;
    QTest::newRow("333-byte chunks, 5-byte reads") << 333 << 5;
    QTest::newRow("32 KiB chunks, 1000-byte reads") << 32768 << 1000;
    QTest::newRow("whole file at once") << 1 << -1;
}

void TestWvcDecoder::chunksAndPartialReads()
{
    QFETCH(int, chunk);
    QFETCH(int, piece);
    WvcWriterOptions aOptions = options();
    aOptions.nFramesPerPage = 7;
    const Channels aInput = channels(2, 8000 * 2 + 33);
    const Bytes aFile = join(writePages(aOptions, aInput));
    MemoryDecoder aDecoder(aFile);
    if (piece > 0)
        aDecoder.setReadPiece(static_cast<uint32_t>(piece));
    QCOMPARE(aDecoder.openAll(), 0);
    const uint32_t nChunk = piece < 0 ? static_cast<uint32_t>(aFile.size()) : static_cast<uint32_t>(chunk);
    QCOMPARE(decodeToEnd(aDecoder, nChunk), -1);
    QCOMPARE(aDecoder.aLeft.size(), aInput[0].size());
    QCOMPARE(framesMismatch(aDecoder, aInput, 160, 20), std::string());
}

void TestWvcDecoder::damagedPages_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("lostFrames");
    QTest::addColumn<QString>("warning");
    QTest::newRow("garbage between pages") << "garbage" << 0 << "";
    QTest::newRow("missing right page") << "drop-right" << 10 << "did not get expected packet for RIGHT channel";
    QTest::newRow("missing left page") << "drop-left" << 10 << "did not get expected packet for LEFT channel";
    QTest::newRow("left page with a bad checksum") << "corrupt-left" << 10
                                                   << "did not get expected packet for LEFT channel";
    QTest::newRow("truncated in the last group") << "truncate" << 10 << "";
}

void TestWvcDecoder::damagedPages()
{
    QFETCH(QString, damage);
    QFETCH(int, lostFrames);
    QFETCH(QString, warning);
    WvcWriterOptions aOptions = options();
    aOptions.nFramesPerPage = 10;
    const Channels aInput = channels(2, 160 * 60);
    std::vector<WvcPage> aPages = writePages(aOptions, aInput);
    const std::vector<size_t> aLeftPages = pagesOf(aPages, 10);
    const std::vector<size_t> aRightPages = pagesOf(aPages, 11);
    if (damage == "garbage") {
        for (size_t i = aPages.size() - 1; i > 4; i -= 3)
            aPages.insert(aPages.begin() + static_cast<long>(i), WvcPage{0, 0, Bytes(257, 0x4F)});
        aPages.push_back(WvcPage{0, 0, Bytes(100, 'O')});
    } else if (damage == "drop-right") {
        aPages.erase(aPages.begin() + static_cast<long>(aRightPages[2]));
    } else if (damage == "drop-left") {
        aPages.erase(aPages.begin() + static_cast<long>(aLeftPages[2]));
    } else if (damage == "corrupt-left") {
        aPages[aLeftPages[2]].aBytes[100] ^= 0x40;
    }
    Bytes aFile = join(aPages);
    if (damage == "truncate")
        aFile.resize(aFile.size() - 2000);

    MemoryDecoder aDecoder(aFile);
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder, 1000), -1);
    QCOMPARE(aDecoder.aPositions.size(), static_cast<size_t>(60 - lostFrames));
    if (!warning.isEmpty())
        QCOMPARE(aDecoder.countLog(warning.toStdString()), 1);
    // Frames after the damage still pair with their own partners.
    QCOMPARE(framesMismatch(aDecoder, aInput, 160, 20), std::string());
}

void TestWvcDecoder::monoIgnoresRightStream()
{
    // A mono file never reads stream 11; pages piling up there are dropped
    // once they exceed the pending limit, without disturbing the audio.
    WvcWriterOptions aOptions = options();
    aOptions.nFramesPerPage = 10;
    const Channels aInput = channels(1, 160 * 200);
    std::vector<WvcPage> aPages = writePages(aOptions, aInput);
    const Bytes aRight = rawPages(11, {Bytes(60000, 'r')}, false, 20, 1);
    for (size_t i = aPages.size() - 1; i > 4; --i)
        aPages.insert(aPages.begin() + static_cast<long>(i), WvcPage{11, 0, aRight});
    MemoryDecoder aDecoder(join(aPages));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QVERIFY(aDecoder.aLeft == aInput[0]);
    QCOMPARE(aDecoder.countLog("RIGHT"), 0);
    QVERIFY(aDecoder.countLog("Dropping unpaired packets of logical stream 11") >= 1);
}

void TestWvcDecoder::malformedHeaders_data()
{
    QTest::addColumn<Bytes>("file");
    QTest::addColumn<QString>("error");
    const Bytes aGood = header34(3, 3, 1, 8000, 160, 1000);
    auto withHeader = [](Bytes iaHeader) { return bosPages(iaHeader); };
    Bytes aShort = aGood;
    aShort.resize(4);
    QTest::newRow("4-byte header") << withHeader(aShort) << "Not enough bytes in header to get version";
    Bytes aVersion5 = aGood;
    aVersion5[3] = 5;
    QTest::newRow("version 5") << withHeader(aVersion5) << "Unsupported WVC file version: 5";
    Bytes aV3Short = aGood;
    aV3Short.resize(19);
    QTest::newRow("version 3 plain, 19 bytes") << withHeader(aV3Short) << "Header packet too short for version 3";
    Bytes aV4Encrypted = aGood;
    aV4Encrypted[3] = 4;
    aV4Encrypted[4] = 2;
    aV4Encrypted.resize(59);
    QTest::newRow("version 4 encrypted, 59 bytes") << withHeader(aV4Encrypted) << "got 59 bytes, expected 60";
    Bytes aV1(17, 0);
    aV1[3] = 1;
    QTest::newRow("version 1, 17 bytes") << withHeader(aV1) << "got 17 bytes, expected 18";
    QTest::newRow("no samples per frame") << withHeader(header34(3, 3, 1, 8000, 0, 1000))
                                          << "Invalid samples per frame: 0";
    QTest::newRow("frame larger than a second") << withHeader(header34(3, 3, 1, 8000, 8001, 1000))
                                                << "Invalid samples per frame: 8001";
    QTest::newRow("frame larger than the buffers") << withHeader(header34(3, 3, 1, 48000, 1921, 1000))
                                                   << "Invalid samples per frame: 1921";
    QTest::newRow("frames shorter than 1 ms") << withHeader(header34(3, 3, 1, 48000, 40, 1000))
                                              << "Invalid samples per frame: 40 at sample rate 48000";
    QTest::newRow("zero sample rate") << withHeader(header34(3, 3, 1, 0, 160, 1000)) << "Invalid samples per frame";
    QTest::newRow("no channels") << withHeader(header34(3, 3, 0, 8000, 160, 1000)) << "Unsupported channel count: 0";
    QTest::newRow("three channels") << withHeader(header34(3, 3, 3, 8000, 160, 1000))
                                    << "Unsupported channel count: 3";
    QTest::newRow("codec id 10") << withHeader(header34(3, 10, 1, 8000, 160, 1000)) << "Unsupported codec id: 10";
    QTest::newRow("codec id 255") << withHeader(header34(4, 255, 1, 8000, 160, 1000)) << "Unsupported codec id: 255";

    Bytes aNotBos = rawPages(10, {aGood}, false, 0);
    QTest::newRow("first page not BOS") << aNotBos << "Can't decode header due missing BOS page";
    Bytes aUnknown = rawPages(10, {aGood}, true, 0);
    const Bytes aSerial14 = rawPages(14, {Bytes(3, 'x')}, true, 0);
    aUnknown.insert(aUnknown.end(), aSerial14.begin(), aSerial14.end());
    QTest::newRow("unknown serial") << aUnknown << "Unknown serial for logical stream: 14";
    QTest::newRow("BOS pages beyond 1024 bytes") << bosPages(aGood, 1000)
                                                 << "Can't decode header due to error in ogg_sync_pageout";
    Bytes aNoMeta = rawPages(10, {aGood}, true, 0);
    QTest::newRow("no metadata BOS page") << aNoMeta << "Can't decode header due missing BOS page";
    Bytes aMetaFirst = rawPages(13, {Bytes(16, 0)}, true, 0);
    QTest::newRow("metadata BOS before the header") << aMetaFirst << "missing left channel header page";
    QTest::newRow("audio page first") << Bytes() << "Can't decode header due missing BOS page";
    QTest::newRow("1024 bytes of garbage") << Bytes(1024, 'x') << "Can't decode header due to error in ogg_sync_pageout";
}

void TestWvcDecoder::malformedHeaders()
{
    QFETCH(Bytes, file);
    QFETCH(QString, error);
    // A valid group of frames behind the header must not be reached.
    const Bytes aFrames = rawPages(10, {Bytes(320, 1)}, false, 20, 1);
    file.insert(file.end(), aFrames.begin(), aFrames.end());
    MemoryDecoder aDecoder(file);
    QCOMPARE(aDecoder.openAll(), static_cast<int>(WVC::WVC_ERROR));
    QVERIFY2(aDecoder.lastError().find(error.toStdString()) != std::string::npos, aDecoder.lastError().c_str());
    QCOMPARE(aDecoder.decodeChunk(false, 32768), static_cast<int>(WVC::WVC_ERROR));
    QCOMPARE(aDecoder.decodeAll(true), static_cast<int>(WVC::WVC_ERROR));
    QCOMPARE(aDecoder.nPcmFrames, 0u);
    QCOMPARE(aDecoder.close(), 0);
}

void TestWvcDecoder::passwords_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("written");   // empty: plain file
    QTest::addColumn<QString>("given");     // "-": none given
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("v2 without password") << 2 << "pw" << "-" << -10 << "Password required";
    QTest::newRow("v2 wrong password") << 2 << "pw" << "PW" << -10 << "Password invalid";
    QTest::newRow("v2 right password") << 2 << "pw" << "pw" << 0 << "";
    QTest::newRow("v3 without password") << 3 << "pw" << "-" << -10 << "Password invalid";
    QTest::newRow("v3 empty password, none given") << 3 << "" << "-" << 0 << "";
    QTest::newRow("v4 wrong password") << 4 << "pw" << "p" << -10 << "Password invalid";
    QTest::newRow("v4 non-ASCII password") << 4 << QString::fromUtf8("pässwört") << QString::fromUtf8("pässwört") << 0
                                           << "";
    QTest::newRow("plain file with a password") << 3 << "" << "pw" << 0
                                                << "Ignoring supplied password for non-encrypted file";
}

void TestWvcDecoder::passwords()
{
    QFETCH(int, version);
    QFETCH(QString, written);
    QFETCH(QString, given);
    QFETCH(int, result);
    QFETCH(QString, message);
    WvcWriterOptions aOptions = options(static_cast<uint32_t>(version));
    aOptions.bEncrypted = version == 2 || !written.isEmpty() || (given == "-" && result == 0);
    aOptions.sPassword = written.toStdString();
    const Channels aInput = channels(1, 1600);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput, version == 2 ? "PCMA" : "PCM16")));
    if (given != "-")
        aDecoder.setPassword(given.toUtf8().toStdString());
    QCOMPARE(aDecoder.openAll(), result);
    if (!message.isEmpty())
        QCOMPARE(aDecoder.countLog(message.toStdString()), 1);
    // The header was read either way.
    QCOMPARE(aDecoder.sampleRate(), 8000u);
    QCOMPARE(aDecoder.duration(), 200);
    const int nDecode = decodeToEnd(aDecoder);
    if (result == 0) {
        QCOMPARE(nDecode, -1);
        QCOMPARE(aDecoder.nPcmSamples, 1600u);
    } else {
        QCOMPARE(nDecode, result);
        QCOMPARE(aDecoder.seek(100, true), result);
        QCOMPARE(aDecoder.decodeAll(false), result);
        QCOMPARE(aDecoder.nPcmFrames, 0u);
    }
}

void TestWvcDecoder::seekArithmetic()
{
    WvcWriterOptions aOptions = options();
    const Channels aInput = channels(1, 8000 * 65);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput)));
    aDecoder.setLogLevel(1000);
    // Open as a 650 000-byte file of 65 000 ms.
    QCOMPARE(aDecoder.open(650000, false), 0);
    QCOMPARE(aDecoder.duration(), 65000);
    QCOMPARE(aDecoder.seek(30000, true), 0);
    QCOMPARE(aDecoder.seekTarget(), 30000);
    QCOMPARE(aDecoder.seekBytePosition(), 300000);
    QCOMPARE(aDecoder.seek(1234, true), 0);
    QCOMPARE(aDecoder.seekTarget(), 1220);
    QCOMPARE(aDecoder.seekBytePosition(), 12200);
    QCOMPARE(aDecoder.countLog("Seek offset adjusted to align with frame: 1220 ms"), 1);
    QCOMPARE(aDecoder.seek(500, true), 0);
    QCOMPARE(aDecoder.seekTarget(), 500);
    QCOMPARE(aDecoder.seekBytePosition(), 48);
    // Relative steps move by the byte rate and stay inside the file.
    QCOMPARE(aDecoder.seek(30000, true), 0);
    QCOMPARE(aDecoder.seek(-2000, false), 0);
    QCOMPARE(aDecoder.seekBytePosition(), 280000);
    QCOMPARE(aDecoder.seekTarget(), 30000);
    QCOMPARE(aDecoder.seekIterations(), 2u);
    QCOMPARE(aDecoder.seek(-100000, false), 0);
    QCOMPARE(aDecoder.seekBytePosition(), 48);
    QCOMPARE(aDecoder.seek(1000000, false), 0);
    QCOMPARE(aDecoder.seekBytePosition(), 650000);
}

void TestWvcDecoder::seekDelivers()
{
    WvcWriterOptions aOptions = options();
    const Channels aInput = channels(2, 8000 * 10);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput)));
    QCOMPARE(aDecoder.openAll(), 0);
    aDecoder.nStopAfterFrames = 30;
    QCOMPARE(decodeToEnd(aDecoder), 0);
    for (int64_t nTarget : {1234, 7777, 0, 9990}) {
        aDecoder.aLeft.clear();
        aDecoder.aRight.clear();
        aDecoder.aPositions.clear();
        aDecoder.nStopAfterFrames = -1;
        QCOMPARE(aDecoder.seek(nTarget, true), 0);
        QCOMPARE(decodeToEnd(aDecoder, 4096), -1);
        QVERIFY(!aDecoder.isSeeking());
        QVERIFY(!aDecoder.aPositions.empty());
        const int64_t nAligned = std::max<int64_t>(20, nTarget - nTarget % 20);
        QVERIFY(aDecoder.aPositions.front() == nAligned || aDecoder.aPositions.front() == nAligned + 20);
        QCOMPARE(aDecoder.aPositions.back(), 10000);
        QCOMPARE(framesMismatch(aDecoder, aInput, 160, 20), std::string());
    }
}

void TestWvcDecoder::seekAtGroupBoundaries_data()
{
    QTest::addColumn<uint32_t>("rate");
    QTest::addColumn<uint32_t>("samplesPerFrame");
    QTest::addColumn<int>("channelCount");
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<bool>("endPages");
    QTest::addColumn<int>("seconds");
    QTest::newRow("mono") << 8000u << 160u << 1 << false << true << 60;
    QTest::newRow("stereo") << 8000u << 160u << 2 << false << true << 60;
    QTest::newRow("mono, encrypted") << 8000u << 160u << 1 << true << true << 60;
    QTest::newRow("stereo, encrypted") << 8000u << 160u << 2 << true << true << 60;
    QTest::newRow("stereo, no end-of-stream pages") << 8000u << 160u << 2 << false << false << 60;
    // 3840-byte frames: each channel's group spans several Ogg pages.
    QTest::newRow("stereo, groups over several pages") << 48000u << 1920u << 2 << false << true << 20;
    QTest::newRow("mono, groups over several pages, encrypted") << 48000u << 1920u << 1 << true << true << 20;
}

void TestWvcDecoder::seekAtGroupBoundaries()
{
    // Seeks into the first, a middle and the last group (50 frames each), at
    // their boundaries and a millisecond either side: each delivers from the
    // target's frame, or the one before it, to the end of the file.
    QFETCH(uint32_t, rate);
    QFETCH(uint32_t, samplesPerFrame);
    QFETCH(int, channelCount);
    QFETCH(bool, encrypted);
    QFETCH(bool, endPages);
    QFETCH(int, seconds);
    WvcWriterOptions aOptions = options(3, encrypted);
    aOptions.nSampleRate = rate;
    aOptions.nSamplesPerFrame = samplesPerFrame;
    aOptions.bEndStreams = endPages;
    const Channels aInput = channels(channelCount, static_cast<size_t>(rate) * seconds);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput)));
    if (encrypted)
        aDecoder.setPassword("s3cret");
    QCOMPARE(aDecoder.openAll(), 0);
    const int64_t nFrame = aDecoder.frameDuration();
    const int64_t nGroup = 50 * nFrame;
    const int64_t nEnd = seconds * 1000;
    std::vector<int64_t> aTargets;
    for (int64_t nBoundary : {int64_t(0), nGroup, nEnd / 2 / nGroup * nGroup, nEnd - nGroup, nEnd}) {
        for (int64_t nTarget : {nBoundary - 1, nBoundary, nBoundary + 1}) {
            if (nTarget >= 0 && nTarget <= nEnd)
                aTargets.push_back(nTarget);
        }
    }
    for (int64_t nTarget : {nEnd - nGroup / 2, nEnd - nFrame})
        aTargets.push_back(nTarget);
    for (int64_t nTarget : aTargets) {
        const QByteArray aWhere = "target " + QByteArray::number(static_cast<qlonglong>(nTarget));
        aDecoder.aLeft.clear();
        aDecoder.aRight.clear();
        aDecoder.aPositions.clear();
        aDecoder.aLog.clear();
        QCOMPARE(aDecoder.seek(nTarget, true), 0);
        QVERIFY2(decodeToEnd(aDecoder) == -1, aWhere);
        QVERIFY2(!aDecoder.isSeeking(), aWhere);
        QVERIFY2(!aDecoder.aPositions.empty(), aWhere);
        // A frame's time is the end of its audio.
        const int64_t nStart = aDecoder.aPositions.front() - nFrame;
        QVERIFY2(nStart <= nTarget && nStart >= nTarget - 2 * nFrame,
                 aWhere + " starts at " + QByteArray::number(static_cast<qlonglong>(nStart)));
        QVERIFY2(aDecoder.aPositions.back() == nEnd, aWhere);
        QVERIFY2(framesMismatch(aDecoder, aInput, samplesPerFrame, static_cast<uint32_t>(nFrame)).empty(), aWhere);
        QVERIFY2(aDecoder.aLeft.size() == static_cast<size_t>((nEnd - nStart) / nFrame) * samplesPerFrame, aWhere);
        QVERIFY2(aDecoder.lastError().empty(), aWhere);
        QVERIFY2(aDecoder.countLog("did not get expected packet") == 0, aWhere);
    }
}

void TestWvcDecoder::seekStepCap()
{
    // Left pages that claim to lie far past every target: the correction
    // never converges and must stop after 32 steps.
    const Channels aInput = channels(1, 8000 * 10);
    std::vector<WvcPage> aPages = writePages(options(), aInput);
    for (size_t i : pagesOf(aPages, 10)) {
        ogg_page aPage;
        Bytes& rBytes = aPages[i].aBytes;
        const int64_t nGranule = aPages[i].nGranule + 1000000;
        for (int b = 0; b < 8; ++b)
            rBytes[6 + b] = static_cast<uint8_t>(nGranule >> (8 * b));
        aPage.header = rBytes.data();
        aPage.header_len = 27 + rBytes[26];
        aPage.body = rBytes.data() + aPage.header_len;
        aPage.body_len = static_cast<long>(rBytes.size()) - aPage.header_len;
        ogg_page_checksum_set(&aPage);
    }
    MemoryDecoder aDecoder(join(aPages));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.seek(4000, true), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.countLog("stopping seek after 32 iterations"), 1);
    QCOMPARE(aDecoder.seekIterations(), 32u);
    QCOMPARE(aDecoder.aPositions.front(), 4000);
    QCOMPARE(framesMismatch(aDecoder, aInput, 160, 20), std::string());
}

void TestWvcDecoder::seekWithoutDuration()
{
    WvcWriterOptions aOptions = options();
    aOptions.bWriteDuration = false;
    const Channels aInput = channels(2, 8000 * 5 + 80);
    const Bytes aFile = join(writePages(aOptions, aInput));

    // Seeks from the end refused: no duration, and seeking must not divide
    // by it.
    MemoryDecoder aDecoder(aFile);
    aDecoder.setEndSeekAllowed(false);
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.duration(), 0);
    QCOMPARE(aDecoder.countLog("Error seeking, can not determine current duration"), 1);
    QCOMPARE(aDecoder.seek(2000, true), 0);
    QCOMPARE(aDecoder.seekBytePosition(), 48);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.aPositions.front(), 2000);
    QCOMPARE(framesMismatch(aDecoder, aInput, 160, 20), std::string());
    QCOMPARE(aDecoder.seek(-500, false), 0);
    QCOMPARE(aDecoder.seekBytePosition(), 48);

    // With the tail scan: the last level granule, and decoding continues
    // where it stood.
    MemoryDecoder aTail(aFile);
    aTail.setLogLevel(1000);
    QCOMPARE(aTail.openAll(), 0);
    QCOMPARE(aTail.duration(), 5020);
    QCOMPARE(aTail.countLog("Current Duration: 5020"), 1);
    QCOMPARE(decodeToEnd(aTail), -1);
    QCOMPARE(framesMismatch(aTail, aInput, 160, 20), std::string());
    QCOMPARE(aTail.aLeft.size(), aInput[0].size());
}

void TestWvcDecoder::seekPastEnd()
{
    const Channels aInput = channels(1, 8000 * 3);
    for (bool bDuration : {true, false}) {
        WvcWriterOptions aOptions = options();
        aOptions.bWriteDuration = bDuration;
        MemoryDecoder aDecoder(join(writePages(aOptions, aInput)));
        aDecoder.setEndSeekAllowed(false);
        QCOMPARE(aDecoder.openAll(), 0);
        QCOMPARE(aDecoder.seek(100000000, true), 0);
        QCOMPARE(decodeToEnd(aDecoder), -1);
        QCOMPARE(aDecoder.nPcmFrames, 0u);
    }
    // No left-channel page after the header: nothing ends the seek but the
    // step limit.
    std::vector<WvcPage> aPages = writePages(options(), aInput);
    const std::vector<size_t> aLeft = pagesOf(aPages, 10);
    for (auto it = aLeft.rbegin(); it != aLeft.rend(); ++it)
        aPages.erase(aPages.begin() + static_cast<long>(*it));
    MemoryDecoder aDecoder(join(aPages));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.seek(1500, true), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.countLog("stopping seek at end of data after 32 iterations"), 1);
    QCOMPARE(aDecoder.nPcmFrames, 0u);
}

void TestWvcDecoder::zoom()
{
    const Channels aInput = channels(2, 8000 * 8);
    const std::vector<WvcPage> aPages = writePages(options(), aInput);
    MemoryDecoder aDecoder(join(aPages));
    aDecoder.setZoomSegment(2010, 5000);
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.duration(), 3000);
    aDecoder.setLogLevel(1000);
    QCOMPARE(aDecoder.decodeAll(false), 0);
    QCOMPARE(aDecoder.countLog("Reached end of audio zoom segment"), 1);
    // The frame that ends at the start may or may not be delivered: the
    // seek lands on a page that starts at most one frame past the target.
    const int64_t nFront = aDecoder.aPositions.front();
    QVERIFY2(nFront == 2000 || nFront == 2020, qPrintable(QString::number(nFront)));
    QCOMPARE(aDecoder.aPositions.back(), 5000);
    QCOMPARE(aDecoder.aPositions.size(), static_cast<size_t>((5000 - nFront) / 20 + 1));
    QCOMPARE(framesMismatch(aDecoder, aInput, 160, 20), std::string());
    // Zoom without effects hands out each frame's level packet.
    const std::vector<uint8_t> aLevels = expectedLevels(aInput, 160);
    QCOMPARE(aDecoder.aLevels.size(), aDecoder.aPositions.size() * 2);
    QVERIFY(std::equal(aDecoder.aLevels.begin(), aDecoder.aLevels.end(), aLevels.begin() + (nFront / 20 - 1) * 2));
}

void TestWvcDecoder::fastLevelScan_data()
{
    QTest::addColumn<int>("channelCount");
    QTest::addColumn<int>("framesPerPage");
    QTest::newRow("mono") << 1 << 50;
    QTest::newRow("stereo") << 2 << 50;
    QTest::newRow("stereo, one frame per page") << 2 << 1;
}

void TestWvcDecoder::fastLevelScan()
{
    QFETCH(int, channelCount);
    QFETCH(int, framesPerPage);
    WvcWriterOptions aOptions = options(4, true);
    aOptions.nFramesPerPage = static_cast<uint32_t>(framesPerPage);
    const Channels aInput = channels(channelCount, 8000 * 3 + 100);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput)));
    aDecoder.setPassword("s3cret");
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.decodeAll(true), 0);
    QCOMPARE(aDecoder.nPcmFrames, 0u);
    QVERIFY(aDecoder.aLevels == expectedLevels(aInput, 160));
    const size_t nFrames = (aInput[0].size() + 159) / 160;
    const size_t nPages = (nFrames + framesPerPage - 1) / framesPerPage;
    QCOMPARE(aDecoder.aLevelPositions.size(), nPages);
    // Position: page granule less the page's frames.
    QCOMPARE(aDecoder.aLevelPositions[0], 0);
    if (nPages > 1)
        QCOMPARE(aDecoder.aLevelPositions[1], static_cast<int64_t>(framesPerPage) * 20);

    // With effects the levels are the peaks of the processed audio.
    MemoryDecoder aEffects(join(writePages(aOptions, aInput)));
    aEffects.setPassword("s3cret");
    aEffects.setAmplify(0, 0.5f);
    QCOMPARE(aEffects.openAll(), 0);
    QCOMPARE(aEffects.decodeAll(true), 0);
    QCOMPARE(aEffects.aLevels.size(), nFrames * channelCount);
    int nPeak = 0;
    for (int i = 0; i < 160; ++i)
        nPeak = std::max(nPeak, std::abs(static_cast<int>(aEffects.aLeft[i])));
    QCOMPARE(static_cast<int>(aEffects.aLevels[0]), nPeak / 128);
    // A channel without an effect of its own still reports its peaks.
    if (channelCount == 2)
        QCOMPARE(aEffects.aLevels[1], wvctools::WvcWriter::levelOf(aInput[1].data(), 160));
}

void TestWvcDecoder::metadata_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("version 1") << 1;
    QTest::newRow("version 3") << 3;
    QTest::newRow("version 4") << 4;
}

void TestWvcDecoder::metadata()
{
    QFETCH(int, version);
    WvcWriterOptions aOptions = options(static_cast<uint32_t>(version));
    aOptions.aMetadata = {{"direction", "incoming"}, {"caller", "+49 30 1234"}, {"empty", ""},
                          {"direction", "outgoing"}, {std::string(31, 'k'), std::string(8000, 'v')}};
    const Channels aInput = channels(1, 1600);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput, version == 1 ? "PCMA" : "PCM16")));
    aDecoder.setLogLevel(1000);
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.countLog("This file contains metadata"), 1);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.countLog("Metadata found: direction = incoming"), 1);
    QCOMPARE(aDecoder.metadata.size(), 4u);
    QCOMPARE(aDecoder.metadata["direction"], std::string("outgoing"));
    QCOMPARE(aDecoder.metadata["caller"], std::string("+49 30 1234"));
    QCOMPARE(aDecoder.metadata["empty"], std::string());
    QCOMPARE(aDecoder.metadata[std::string(31, 'k')], std::string(8000, 'v'));
    QCOMPARE(aDecoder.aMetadataKeys.size(), 5u);
    QCOMPARE(aDecoder.nPcmSamples, 1600u);
}

void TestWvcDecoder::malformedMetadata_data()
{
    QTest::addColumn<Bytes>("key");
    QTest::addColumn<Bytes>("value");
    QTest::addColumn<QString>("error");
    Bytes aKey(40, 0);
    std::memcpy(aKey.data(), "direction", 9);
    putLe32(aKey, 32, 8);
    const Bytes aValue(8, 'i');
    QTest::newRow("valid") << aKey << aValue << "";
    Bytes aNoNul = aKey;
    std::fill(aNoNul.begin(), aNoNul.begin() + 32, 'k');
    QTest::newRow("key without NUL") << aNoNul << aValue << "Metadata key is not terminated";
    Bytes aLong = aKey;
    putLe32(aLong, 32, 9000);
    QTest::newRow("value above 8000 bytes") << aLong << Bytes(9000, 'v') << "Metadata value of 9000 bytes exceeds";
    Bytes aHuge = aKey;
    putLe32(aHuge, 32, 0xFFFFFFFFu);
    QTest::newRow("value length 4 GiB") << aHuge << aValue << "Metadata value of 4294967295 bytes exceeds";
    QTest::newRow("value shorter than its length") << aKey << Bytes(5, 'i')
                                                   << "Got 5 metadata packet bytes but expected 8";
    Bytes aRecord44 = aKey;
    aRecord44.resize(44);
    QTest::newRow("version 4 record in version 3") << aRecord44 << aValue
                                                   << "Got 44 metadata packet bytes but expected 40";
    QTest::newRow("empty value packet") << aKey << Bytes() << "Got 0 metadata packet bytes but expected 8";
}

void TestWvcDecoder::malformedMetadata()
{
    QFETCH(Bytes, key);
    QFETCH(Bytes, value);
    QFETCH(QString, error);
    const Channels aInput = channels(1, 8000);
    WvcWriterOptions aOptions = options();
    aOptions.nFramesPerPage = 10;
    std::vector<WvcPage> aPages = writePages(aOptions, aInput);
    WvcPage aMeta;
    aMeta.nSerial = 13;
    aMeta.aBytes = rawPages(13, {key, value}, false, 0, 1);
    aPages.insert(aPages.begin() + 4, aMeta);
    aPages.insert(aPages.begin() + 8, aMeta); // once more between audio pages
    MemoryDecoder aDecoder(join(aPages));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.nPcmSamples, 8000u);
    if (error.isEmpty()) {
        QCOMPARE(aDecoder.metadata["direction"], std::string("iiiiiiii"));
        return;
    }
    QVERIFY(aDecoder.metadata.empty());
    QCOMPARE(aDecoder.countLog(error.toStdString()), 2);
}

void TestWvcDecoder::effects()
{
    const Channels aInput = channels(2, 8000 * 2 + 50);
    const Bytes aFile = join(writePages(options(), aInput));
    MemoryDecoder aDecoder(aFile);
    aDecoder.setNotchFilter(400, 0.7f);
    aDecoder.setAmplify(0, 2.5f);
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder, 5000), -1);

    // The same chain run by hand over each channel, frame by frame.
    for (int nChannel = 0; nChannel < 2; ++nChannel) {
        WVC::BiquadFilter aNotch;
        aNotch.setup(400.0 / 8000, 0.7f);
        WVC::Amplify aAmplify;
        aAmplify.setRatio(2.5f);
        std::vector<int16_t> aExpected(aInput[nChannel].size());
        std::vector<float> aA(160), aB(160);
        for (size_t nFirst = 0; nFirst < aExpected.size(); nFirst += 160) {
            const int nCount = static_cast<int>(std::min<size_t>(160, aExpected.size() - nFirst));
            WVC::AudioEffect::samplesToFloat(aInput[nChannel].data() + nFirst, aA.data(), nCount);
            aNotch.process(aA.data(), aB.data(), nCount);
            const float* pResult = aB.data();
            if (nChannel == 0) {
                aAmplify.process(aB.data(), aA.data(), nCount);
                pResult = aA.data();
            }
            WVC::AudioEffect::floatToSamples(pResult, aExpected.data() + nFirst, nCount);
        }
        QVERIFY(aExpected == (nChannel == 0 ? aDecoder.aLeft : aDecoder.aRight));
    }
    for (size_t i = 0; i < 160; ++i)
        QCOMPARE(aDecoder.aG711Left[i], WVC::G711::linearToAlaw(aDecoder.aLeft[i]));
    aDecoder.setLogLevel(3000);
    QCOMPARE(aDecoder.close(), 0);
    QCOMPARE(aDecoder.countLog("Amplified audio was clipped"), 1);
    // Closed: decoding is refused until the next open.
    QCOMPARE(aDecoder.decodeChunk(false, 100), static_cast<int>(WVC::WVC_ERROR));

    MemoryDecoder aQuiet(aFile);
    aQuiet.setAmplify(1, 0.5f);
    aQuiet.setAmplify(2, 0.5f);
    QCOMPARE(aQuiet.countLog("Invalid channel for amplify: 2"), 1);
    QCOMPARE(aQuiet.openAll(), 0);
    QCOMPARE(decodeToEnd(aQuiet), -1);
    QVERIFY(aQuiet.aLeft == aInput[0]);
    QCOMPARE(aQuiet.close(), 0);
    QCOMPARE(aQuiet.countLog("Amplified audio was clipped"), 0);
}

void TestWvcDecoder::notchOvershootIsClamped()
{
    // Full-scale square wave: the notch rings past full scale at each edge.
    std::vector<int16_t> aSquare(8000);
    for (size_t i = 0; i < aSquare.size(); ++i)
        aSquare[i] = ((i / 100) & 1) ? -32768 : 32767;
    MemoryDecoder aDecoder(join(writePages(options(), {aSquare})));
    aDecoder.setNotchFilter(1600, 2.0f);
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.aLeft.size(), aSquare.size());

    WVC::BiquadFilter aNotch;
    aNotch.setup(0.2, 2.0);
    std::vector<float> aIn(aSquare.size()), aOut(aSquare.size());
    WVC::AudioEffect::samplesToFloat(aSquare.data(), aIn.data(), static_cast<int>(aIn.size()));
    int nOvershoots = 0;
    for (size_t nFirst = 0; nFirst < aIn.size(); nFirst += 160)
        aNotch.process(aIn.data() + nFirst, aOut.data() + nFirst, 160);
    for (size_t i = 0; i < aOut.size(); ++i) {
        if (std::fabs(aOut[i]) <= 1.0f)
            continue;
        ++nOvershoots;
        QCOMPARE(aDecoder.aLeft[i], static_cast<int16_t>(aOut[i] > 0 ? 32767 : -32767));
    }
    QVERIFY(nOvershoots > 10);
}

void TestWvcDecoder::refusedFrames_data()
{
    QTest::addColumn<int>("codec");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("PCM16 frame above 3840 bytes") << 3 << 3842 << "Frame packet of 3842 bytes exceeds the 3840";
    QTest::newRow("G.711.0 frame above 1920 bytes") << 0 << 1921 << "Frame packet of 1921 bytes exceeds the 1920";
    QTest::newRow("garbage G.711.0 frames") << 1 << 100 << "g711 decode error: ";
    QTest::newRow("Opus frame above 1024 bytes") << 2 << 1025 << "Frame packet of 1025 bytes exceeds the 1024";
}

void TestWvcDecoder::refusedFrames()
{
    QFETCH(int, codec);
    QFETCH(int, bytes);
    QFETCH(QString, error);
    FixedEncoder aEncoder(static_cast<uint32_t>(codec), bytes);
    WvcWriterOptions aOptions = options();
    if (codec == 5) {
        aOptions.nSampleRate = 16000;
        aOptions.nSamplesPerFrame = 320;
    }
    const Channels aInput = channels(2, aOptions.nSampleRate);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput, aEncoder)));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.countLog(error.toStdString()), 100);
    // Refused frames keep their time as silence on both channels.
    QCOMPARE(aDecoder.nPcmFrames, 50u);
    QCOMPARE(aDecoder.aLeft, std::vector<int16_t>(aInput[0].size(), 0));
    QCOMPARE(aDecoder.aRight, std::vector<int16_t>(aInput[0].size(), 0));
    QCOMPARE(aDecoder.close(), 0);
}

void TestWvcDecoder::failedFrameKeepsItsTime()
{
    // PCM16 frames, one of which is too large for the decoder's buffer.
    class OneBadFrame : public wvctools::FrameEncoder
    {
    public:
        uint32_t codecId() const override { return WVC::CODEC_PCM16; }
        int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                   std::string& irsError) override
        {
            if (mnFrame++ == 5)
                return 3842;
            return maPcm16.encode(ipSamples, inCount, ipOutput, inCapacity, irsError);
        }

    private:
        wvctools::Pcm16Encoder maPcm16;
        int mnFrame = 0;
    } aEncoder;
    WvcWriterOptions aOptions = options();
    aOptions.nFramesPerPage = 10;
    const Channels aInput = channels(1, 160 * 30);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput, aEncoder)));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    QCOMPARE(aDecoder.countLog("Frame packet of 3842 bytes exceeds"), 1);
    // The frame is silence in its own place; the page's other frames and
    // every later one keep theirs.
    QCOMPARE(aDecoder.aPositions.size(), 30u);
    QCOMPARE(aDecoder.aPositions[5], 120);
    QCOMPARE(aDecoder.aLeft.size(), aInput[0].size());
    QVERIFY(std::all_of(aDecoder.aLeft.begin() + 800, aDecoder.aLeft.begin() + 960, [](int16_t n) { return n == 0; }));
    std::copy(aInput[0].begin() + 800, aInput[0].begin() + 960, aDecoder.aLeft.begin() + 800);
    QVERIFY(aDecoder.aLeft == aInput[0]);
}

void TestWvcDecoder::libraryCodecFramesEndCleanly_data()
{
    QTest::addColumn<int>("codec");
    QTest::addColumn<int>("bytes");
    QTest::newRow("opus") << 2 << 60;
    QTest::newRow("AMR") << 4 << 14;
    QTest::newRow("AMR-WB, empty frames") << 5 << 0;
    QTest::newRow("G722") << 6 << 80;
    QTest::newRow("G723") << 7 << 24;
    QTest::newRow("G729") << 8 << 10;
    QTest::newRow("GSM") << 9 << 33;
}

// Frames of the codecs decoded by libraries, filled with arbitrary bytes:
// each frame is either decoded or fails with an error and becomes silence,
// and decoding goes on to the end.
void TestWvcDecoder::libraryCodecFramesEndCleanly()
{
    QFETCH(int, codec);
    QFETCH(int, bytes);
    FixedEncoder aEncoder(static_cast<uint32_t>(codec), bytes);
    WvcWriterOptions aOptions = options();
    if (codec == 5 || codec == 6) {
        aOptions.nSampleRate = 16000;
        aOptions.nSamplesPerFrame = 320;
    }
    const Channels aInput = channels(2, aOptions.nSampleRate);
    MemoryDecoder aDecoder(join(writePages(aOptions, aInput, aEncoder)));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder), -1);
    // Frames that fail are silence, so every frame is there.
    QCOMPARE(aDecoder.nPcmFrames, 50u);
    QVERIFY(aDecoder.nPcmSamples <= aDecoder.nPcmFrames * WVC::kMaxFrameSamples);
    QCOMPARE(aDecoder.close(), 0);
}

void TestWvcDecoder::stopAndClose()
{
    const Channels aInput = channels(1, 8000);
    MemoryDecoder aDecoder(join(writePages(options(), aInput)));
    QCOMPARE(aDecoder.openAll(), 0);
    aDecoder.nStopAfterFrames = 3;
    QCOMPARE(aDecoder.decodeChunk(false, 32768), 0);
    QCOMPARE(aDecoder.nPcmFrames, 3u);
    QCOMPARE(aDecoder.close(), 0);
    QCOMPARE(aDecoder.decodeAll(false), static_cast<int>(WVC::WVC_ERROR));
    // Opened again from the start, it decodes the whole file.
    aDecoder.setBytes(aDecoder.bytes());
    aDecoder.nStopAfterFrames = -1;
    aDecoder.aLeft.clear();
    aDecoder.aPositions.clear();
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(aDecoder.decodeAll(false), 0);
    QVERIFY(aDecoder.aLeft == aInput[0]);
}

void TestWvcDecoder::sourceThatNeverEnds()
{
    // A source that answers "data" with no bytes once it runs dry, and
    // claims more bytes than were asked for: decoding must still end.
    class DryReader : public MemoryDecoder
    {
    public:
        using MemoryDecoder::MemoryDecoder;
        int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override
        {
            const int nResult = MemoryDecoder::readCallback(ipBuffer, inLength, irnBytesRead);
            if (nResult == WVC::WVC_END_OF_FILE)
                return WVC::WVC_OK;
            if (irnBytesRead == inLength)
                irnBytesRead = inLength + 1000;
            return nResult;
        }
    };
    const Channels aInput = channels(1, 8000);
    DryReader aDecoder(join(writePages(options(), aInput)));
    QCOMPARE(aDecoder.openAll(), 0);
    QCOMPARE(decodeToEnd(aDecoder, 512), -1);
    QVERIFY(aDecoder.aLeft == aInput[0]);
}

QTEST_APPLESS_MAIN(TestWvcDecoder)
#include "tst_wvc_decoder.moc"
