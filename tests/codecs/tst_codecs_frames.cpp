// Frame decoding of the codecs through WVC::Decoder: padding, frames too
// large, empty payloads, damaged frames (which keep their place in time as
// silence) and channels without a decoder.
#include "CodecTestSupport.h"
#include "LavcEncoder.h"

#include <QtTest>

extern "C" {
#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrwb/dec_if.h>
}

using namespace codectest;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(codectest::Bytes)

namespace {

// Records the sample count of every frame of both channels.
class CountingDecoder : public wvctools::MemoryDecoder
{
public:
    using MemoryDecoder::MemoryDecoder;
    int pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                    int inRightCount) override
    {
        aLeftCounts.push_back(inLeftCount);
        aRightCounts.push_back(inRightCount);
        return MemoryDecoder::pcmCallback(inPosition, ipLeft, inLeftCount, ipRight, inRightCount);
    }
    // Takes channel 1's codec away after open, as a failed set-up leaves it.
    void dropRightCodec()
    {
        avcodec_free_context(&mpAvContext[1]);
        if (mpAmrState[1]) {
            if (codecId() == WVC::CODEC_AMR)
                Decoder_Interface_exit(mpAmrState[1]);
            else
                D_IF_exit(mpAmrState[1]);
            mpAmrState[1] = nullptr;
        }
    }
    std::vector<int> aLeftCounts, aRightCounts;
};

// Hands every other frame on empty; the others come from the real encoder.
class GappyEncoder : public wvctools::FrameEncoder
{
public:
    explicit GappyEncoder(std::unique_ptr<wvctools::FrameEncoder> ipInner) : mpInner(std::move(ipInner)) {}
    uint32_t codecId() const override { return mpInner->codecId(); }
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override
    {
        const int nBytes = mpInner->encode(ipSamples, inCount, ipOutput, inCapacity, irsError);
        return (mnFrame++ % 2 == 1 && nBytes >= 0) ? 0 : nBytes;
    }

private:
    std::unique_ptr<wvctools::FrameEncoder> mpInner;
    int mnFrame = 0;
};

CodecCase caseOf(const std::string& isCodec)
{
    const int nCodec = WVC::codecIdFromName(isCodec.c_str());
    const uint32_t nRate = nCodec == WVC::CODEC_G722 || nCodec == WVC::CODEC_AMR_WB || nCodec == WVC::CODEC_OPUS
                               ? 16000
                               : 8000;
    return {isCodec, nRate, nCodec == WVC::CODEC_G723 ? nRate * 3 / 100 : nRate / 50};
}

std::vector<Samples> twoChannels(const CodecCase& irCase, uint32_t inFrames)
{
    return {speechLike(irCase.nSamplesPerFrame * inFrames, irCase.nRate, 0),
            speechLike(irCase.nSamplesPerFrame * inFrames, irCase.nRate, 1)};
}

std::vector<uint8_t> writeWith(const CodecCase& irCase, const std::vector<Samples>& irInput,
                               wvctools::FrameEncoder& irLeft, wvctools::FrameEncoder& irRight)
{
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = irCase.nRate;
    aOptions.nSamplesPerFrame = irCase.nSamplesPerFrame;
    aOptions.nFramesPerPage = 10;
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    std::vector<wvctools::FrameEncoder*> aEncoders{&irLeft, &irRight};
    aEncoders.resize(irInput.size());
    if (!aWriter.write(irInput, aEncoders, aPages))
        qFatal("writer failed: %s", aWriter.error().c_str());
    return wvctools::WvcWriter::join(aPages);
}

const char* const kCodecs[] = {"opus", "AMR", "AMR-WB", "G722", "G723", "G729", "GSM"};
const char* const kAllCodecs[] = {"PCMA", "PCMU", "opus", "PCM16", "AMR", "AMR-WB", "G722", "G723", "G729", "GSM"};

// The payload a damage kind makes of a frame.
Bytes damaged(const Bytes& irFrame, const std::string& isKind)
{
    if (isKind == "truncated")
        return Bytes(irFrame.begin(), irFrame.begin() + static_cast<long>(std::max<size_t>(1, irFrame.size() / 2)));
    if (isKind == "empty")
        return Bytes();
    Bytes aOut(isKind == "oversized" ? 4000 : irFrame.size());
    uint32_t nSeed = 4711;
    for (uint8_t& n : aOut) {
        nSeed = nSeed * 1103515245u + 12345u;
        n = static_cast<uint8_t>(nSeed >> 24);
    }
    return aOut;
}

// Sum of squared differences of the frames from inFirst on, with irOut
// taken inShift samples later than irReference.
double distance(const Samples& irReference, const Samples& irOut, size_t inFirst, long inShift)
{
    double fSum = 0.0;
    for (size_t i = inFirst; i < irReference.size(); ++i) {
        const long j = static_cast<long>(i) + inShift;
        if (j < 0 || j >= static_cast<long>(irOut.size()))
            continue;
        const double fDiff = static_cast<double>(irReference[i]) - irOut[static_cast<size_t>(j)];
        fSum += fDiff * fDiff;
    }
    return fSum;
}

} // namespace

class TestCodecFrames : public QObject
{
    Q_OBJECT

private slots:
    void opusShortFrameIsPadded();
    void frameTooLargeFails();
    void emptyPayloads_data();
    void emptyPayloads();
    void damagedFrame_data();
    void damagedFrame();
    void damagedFrameKeepsTime_data();
    void damagedFrameKeepsTime();
    void channelWithoutDecoder_data();
    void channelWithoutDecoder();
};

void TestCodecFrames::opusShortFrameIsPadded()
{
    // 10 ms Opus packets in 20 ms WVC frames at 16 kHz.
    const CodecCase aCase{"opus", 16000, 320};
    std::string sError;
    auto pEncoder = wvctools::LavcEncoder::create(WVC::CODEC_OPUS, 16000, 160, sError);
    QVERIFY2(pEncoder, sError.c_str());
    const std::vector<Samples> aInput{speechLike(320 * 30, 16000, 0)};
    CountingDecoder aDecoder(writeWith(aCase, aInput, *pEncoder, *pEncoder));
    QCOMPARE(decodeWhole(aDecoder, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    QCOMPARE(aDecoder.aLeftCounts, std::vector<int>(30, 320));
    int nLoudFirstHalves = 0;
    for (size_t nFrame = 0; nFrame < 30; ++nFrame) {
        const int16_t* pFrame = aDecoder.aLeft.data() + nFrame * 320;
        QVERIFY(std::all_of(pFrame + 160, pFrame + 320, [](int16_t n) { return n == 0; }));
        nLoudFirstHalves += std::any_of(pFrame, pFrame + 160, [](int16_t n) { return std::abs(n) > 500; });
    }
    QVERIFY(nLoudFirstHalves > 20);

    // 20 ms packets in 20 ms frames hand on 320 samples with nothing padded.
    WrittenFile aFile;
    QVERIFY2(writeFile(aCase, aInput, "", aFile, sError), sError.c_str());
    CountingDecoder aWhole(aFile.aBytes);
    QCOMPARE(decodeWhole(aWhole, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    QCOMPARE(aWhole.aLeftCounts, std::vector<int>(30, 320));
    QVERIFY(std::any_of(aWhole.aLeft.begin() + 5 * 320 + 160, aWhole.aLeft.begin() + 6 * 320,
                        [](int16_t n) { return n != 0; }));
}

void TestCodecFrames::frameTooLargeFails()
{
    // 60 ms Opus packets (2880 samples at 48 kHz) in 20 ms frames.
    const CodecCase aCase{"opus", 48000, 960};
    std::string sError;
    auto pEncoder = wvctools::LavcEncoder::create(WVC::CODEC_OPUS, 48000, 2880, sError);
    QVERIFY2(pEncoder, sError.c_str());
    const std::vector<Samples> aInput{speechLike(960 * 12, 48000, 0)};
    CountingDecoder aDecoder(writeWith(aCase, aInput, *pEncoder, *pEncoder));
    QCOMPARE(decodeWhole(aDecoder, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    QCOMPARE(aDecoder.countLog("ffmpeg frame too large for buffer (channel: 0)"), 12);
    // Each frame keeps its 20 ms as silence.
    QCOMPARE(aDecoder.aLeftCounts, std::vector<int>(12, 960));
    QVERIFY(std::all_of(aDecoder.aLeft.begin(), aDecoder.aLeft.end(), [](int16_t n) { return n == 0; }));
}

void TestCodecFrames::emptyPayloads_data()
{
    QTest::addColumn<std::string>("codec");
    for (const char* pCodec : kCodecs)
        QTest::newRow(pCodec) << std::string(pCodec);
}

void TestCodecFrames::emptyPayloads()
{
    // An empty AMR payload is a frame without data (0x7C) that the library
    // conceals; for the others it is silence. Either way the frame has the
    // header's length and the frames around it decode as usual.
    QFETCH(std::string, codec);
    const CodecCase aCase = caseOf(codec);
    std::string sError;
    auto pInner = wvctools::makeFrameEncoder(codec, aCase.nRate, aCase.nSamplesPerFrame, sError);
    QVERIFY2(pInner, sError.c_str());
    GappyEncoder aEncoder(std::move(pInner));
    const std::vector<Samples> aInput{speechLike(aCase.nSamplesPerFrame * 40, aCase.nRate, 0)};
    CountingDecoder aDecoder(writeWith(aCase, aInput, aEncoder, aEncoder));
    QCOMPARE(decodeWhole(aDecoder, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    QCOMPARE(aDecoder.lastError(), std::string());
    QCOMPARE(aDecoder.aLeftCounts, std::vector<int>(40, static_cast<int>(aCase.nSamplesPerFrame)));
    const bool bAmr = codec == "AMR" || codec == "AMR-WB";
    int nLoud = 0;
    for (size_t nFrame = 0; nFrame < 40; ++nFrame) {
        const auto itFirst = aDecoder.aLeft.begin() + static_cast<long>(nFrame * aCase.nSamplesPerFrame);
        const auto itEnd = itFirst + aCase.nSamplesPerFrame;
        if (nFrame % 2 == 1 && !bAmr)
            QVERIFY(std::all_of(itFirst, itEnd, [](int16_t n) { return n == 0; }));
        if (nFrame % 2 == 0)
            nLoud += std::any_of(itFirst, itEnd, [](int16_t n) { return std::abs(n) > 300; });
    }
    QVERIFY(nLoud > 10);
}

void TestCodecFrames::damagedFrame_data()
{
    QTest::addColumn<std::string>("codec");
    QTest::addColumn<Bytes>("payload");
    QTest::addColumn<QString>("error");
    Bytes aNoise(40);
    uint32_t nSeed = 99;
    for (uint8_t& n : aNoise) {
        nSeed = nSeed * 1103515245u + 12345u;
        n = static_cast<uint8_t>(nSeed >> 24);
    }
    QTest::newRow("opus without frame count") << std::string("opus") << Bytes{0x03} << "ffmpeg decoding error (channel: 1)";
    QTest::newRow("opus noise") << std::string("opus") << aNoise << "";
    QTest::newRow("G.722 of 2048 samples") << std::string("G722") << Bytes(1024, 0x55)
                                           << "ffmpeg frame too large for buffer (channel: 1)";
    QTest::newRow("G.722 noise") << std::string("G722") << aNoise << "";
    QTest::newRow("G.723.1 cut short") << std::string("G723") << Bytes{0x00, 0x11, 0x22, 0x33, 0x44} << "";
    QTest::newRow("G.723.1 noise") << std::string("G723") << aNoise << "";
    QTest::newRow("G.729 of 7 bytes") << std::string("G729") << Bytes(7, 0x5A) << "ffmpeg decoding error (channel: 1)";
    QTest::newRow("G.729 noise") << std::string("G729") << Bytes(aNoise.begin(), aNoise.begin() + 20) << "";
    QTest::newRow("GSM of 10 bytes") << std::string("GSM") << Bytes(10, 0xD0) << "ffmpeg decoding error (channel: 1)";
    QTest::newRow("GSM noise") << std::string("GSM") << Bytes(aNoise.begin(), aNoise.begin() + 33) << "";
    QTest::newRow("AMR cut short") << std::string("AMR") << Bytes{0x3C, 1, 2, 3, 4, 5, 6, 7, 8, 9}
                                   << "AMR frame of 10 bytes is shorter than the 32 bytes of its frame type 7 (channel: 1)";
    QTest::newRow("AMR noise") << std::string("AMR") << aNoise << "";
    QTest::newRow("AMR-WB cut short") << std::string("AMR-WB") << Bytes{0x44, 1, 2}
                                      << "AMR-WB frame of 3 bytes is shorter than the 61 bytes of its frame type 8 "
                                         "(channel: 1)";
    QTest::newRow("AMR-WB noise") << std::string("AMR-WB") << Bytes(aNoise.begin(), aNoise.begin() + 24) << "";
}

void TestCodecFrames::damagedFrame()
{
    // Frame 5 of the right channel is replaced. Whatever the decoder makes
    // of it, the left channel decodes as without the damage, every frame is
    // delivered with its full length (a failed one as silence), and the
    // right channel goes on decoding after it.
    QFETCH(std::string, codec);
    QFETCH(Bytes, payload);
    QFETCH(QString, error);
    const CodecCase aCase = caseOf(codec);
    const std::vector<Samples> aInput = twoChannels(aCase, 30);
    WrittenFile aClean, aDamaged;
    std::string sError;
    QVERIFY2(writeFile(aCase, aInput, "", aClean, sError), sError.c_str());
    QVERIFY2(writeFile(aCase, aInput, "", aDamaged, sError, 1, 5, [&](Bytes& irFrame) { irFrame = payload; }),
             sError.c_str());

    CountingDecoder aReference(aClean.aBytes);
    QCOMPARE(decodeWhole(aReference, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    CountingDecoder aDecoder(aDamaged.aBytes);
    QCOMPARE(decodeWhole(aDecoder, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    QCOMPARE(aDecoder.nPcmFrames, 30u);
    QVERIFY(aDecoder.aLeft == aReference.aLeft);
    const int nFrame = static_cast<int>(aCase.nSamplesPerFrame);
    if (!error.isEmpty()) {
        QCOMPARE(aDecoder.countLog(error.toStdString()), 1);
        QVERIFY(std::all_of(aDecoder.aRight.begin() + 5 * nFrame, aDecoder.aRight.begin() + 6 * nFrame,
                            [](int16_t n) { return n == 0; }));
    }
    // A payload longer than a frame may decode to more than one frame.
    for (size_t i = 0; i < aDecoder.aRightCounts.size(); ++i)
        QVERIFY(i == 5 ? aDecoder.aRightCounts[i] >= nFrame : aDecoder.aRightCounts[i] == nFrame);
    QVERIFY(std::any_of(aDecoder.aRight.end() - 5 * nFrame, aDecoder.aRight.end(),
                        [](int16_t n) { return std::abs(n) > 300; }));
    // Frames before the damage are untouched.
    QVERIFY(std::equal(aDecoder.aRight.begin(), aDecoder.aRight.begin() + 5 * nFrame, aReference.aRight.begin()));
}

void TestCodecFrames::damagedFrameKeepsTime_data()
{
    QTest::addColumn<std::string>("codec");
    QTest::addColumn<std::string>("damage");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("damagedChannel");
    for (const char* pCodec : kAllCodecs) {
        for (const char* pDamage : {"truncated", "empty", "random", "oversized"}) {
            QTest::addRow("%s %s, mono", pCodec, pDamage) << std::string(pCodec) << std::string(pDamage) << 1 << 0;
            QTest::addRow("%s %s, stereo left", pCodec, pDamage) << std::string(pCodec) << std::string(pDamage) << 2 << 0;
            QTest::addRow("%s %s, stereo right", pCodec, pDamage)
                << std::string(pCodec) << std::string(pDamage) << 2 << 1;
        }
    }
}

void TestCodecFrames::damagedFrameKeepsTime()
{
    // Frame 12 of 40 is damaged. Whatever becomes of it, no sample after it
    // moves: the output is as long as the undamaged one, everything before
    // the damage and the other channel are identical, and the damaged
    // channel afterwards lines up with the undamaged decode (exactly for
    // the codecs without decoder state).
    QFETCH(std::string, codec);
    QFETCH(std::string, damage);
    QFETCH(int, channels);
    QFETCH(int, damagedChannel);
    const CodecCase aCase = caseOf(codec);
    std::vector<Samples> aInput = twoChannels(aCase, 40);
    aInput.resize(static_cast<size_t>(channels));
    constexpr int kDamaged = 12;
    WrittenFile aClean, aDamaged;
    std::string sError;
    QVERIFY2(writeFile(aCase, aInput, "", aClean, sError), sError.c_str());
    QVERIFY2(writeFile(aCase, aInput, "", aDamaged, sError, damagedChannel, kDamaged,
                       [&](Bytes& irFrame) { irFrame = damaged(irFrame, damage); }),
             sError.c_str());

    CountingDecoder aReference(aClean.aBytes);
    QCOMPARE(decodeWhole(aReference, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    CountingDecoder aDecoder(aDamaged.aBytes);
    QCOMPARE(decodeWhole(aDecoder, ""), static_cast<int>(WVC::WVC_END_OF_FILE));
    if (damage == "oversized")
        QCOMPARE(aDecoder.countLog("Frame packet of 4000 bytes exceeds"), 1);

    const size_t nFrame = aCase.nSamplesPerFrame;
    const Samples& rHit = damagedChannel == 0 ? aDecoder.aLeft : aDecoder.aRight;
    const Samples& rHitReference = damagedChannel == 0 ? aReference.aLeft : aReference.aRight;
    QCOMPARE(aDecoder.aLeft.size(), aReference.aLeft.size());
    QCOMPARE(aDecoder.aRight.size(), aReference.aRight.size());
    QCOMPARE(aDecoder.aPositions, aReference.aPositions);
    QVERIFY(std::equal(rHit.begin(), rHit.begin() + static_cast<long>(kDamaged * nFrame), rHitReference.begin()));
    if (channels == 2)
        QVERIFY(damagedChannel == 0 ? aDecoder.aRight == aReference.aRight : aDecoder.aLeft == aReference.aLeft);

    const int nCodec = WVC::codecIdFromName(codec.c_str());
    const size_t nAfter = (kDamaged + 1) * nFrame;
    if (nCodec == WVC::CODEC_PCMA || nCodec == WVC::CODEC_PCMU || nCodec == WVC::CODEC_PCM16) {
        QVERIFY(std::equal(rHit.begin() + static_cast<long>(nAfter), rHit.end(),
                           rHitReference.begin() + static_cast<long>(nAfter)));
        return;
    }
    // A decoder with state needs a while to settle after the damage (G.723.1
    // up to a dozen frames); from then on the output matches the undamaged
    // decode far better in place than one frame early or late.
    const size_t nSettled = (kDamaged + 16) * nFrame;
    const double fInPlace = distance(rHitReference, rHit, nSettled, 0);
    const double fEarly = distance(rHitReference, rHit, nSettled, -static_cast<long>(nFrame));
    const double fLate = distance(rHitReference, rHit, nSettled, static_cast<long>(nFrame));
    QVERIFY2(fInPlace * 4 < std::min(fEarly, fLate),
             qPrintable(QString("in place %1, early %2, late %3").arg(fInPlace).arg(fEarly).arg(fLate)));
}

void TestCodecFrames::channelWithoutDecoder_data()
{
    emptyPayloads_data();
}

void TestCodecFrames::channelWithoutDecoder()
{
    QFETCH(std::string, codec);
    const CodecCase aCase = caseOf(codec);
    const std::vector<Samples> aInput = twoChannels(aCase, 20);
    WrittenFile aFile;
    std::string sError;
    QVERIFY2(writeFile(aCase, aInput, "", aFile, sError), sError.c_str());
    CountingDecoder aReference(aFile.aBytes);
    QCOMPARE(decodeWhole(aReference, ""), static_cast<int>(WVC::WVC_END_OF_FILE));

    CountingDecoder aDecoder(aFile.aBytes);
    QCOMPARE(aDecoder.openAll(), 0);
    aDecoder.dropRightCodec();
    int nResult;
    while ((nResult = aDecoder.decodeChunk(false, WVC::kChunkSize)) == WVC::WVC_MORE_DATA) {
    }
    QCOMPARE(nResult, static_cast<int>(WVC::WVC_END_OF_FILE));
    // The channel plays silence for as long as the other one plays.
    QCOMPARE(aDecoder.aRightCounts, std::vector<int>(20, static_cast<int>(aCase.nSamplesPerFrame)));
    QVERIFY(std::all_of(aDecoder.aRight.begin(), aDecoder.aRight.end(), [](int16_t n) { return n == 0; }));
    QVERIFY(aDecoder.aLeft == aReference.aLeft);
    const bool bAmr = codec == "AMR" || codec == "AMR-WB";
    const std::string sMessage = bAmr ? "No " + std::string(WVC::codecName(aDecoder.codecId())) + " decoder (channel: 1)"
                                      : "No ffmpeg decoder for " + std::string(WVC::codecName(aDecoder.codecId())) +
                                            " frames (channel: 1)";
    QCOMPARE(aDecoder.countLog(sMessage), 1);
    QCOMPARE(aDecoder.close(), 0);
}

QTEST_GUILESS_MAIN(TestCodecFrames)
#include "tst_codecs_frames.moc"
