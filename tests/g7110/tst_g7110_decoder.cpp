// G.711.0 decoder: frames of every supported tool built by hand from the
// bitstream definitions, both laws and every frame length, checked symbol
// by symbol; header edge cases; hostile input; the frame writer.
#include "BasicOps.h"
#include "FrameBuilder.h"
#include "G7110Decoder.h"
#include "G7110Writer.h"

#include <QtTest>

#include <cstdlib>
#include <string>
#include <vector>

using namespace g7110test;

Q_DECLARE_METATYPE(std::vector<uint8_t>)

namespace {

struct Decoded
{
    int nResult = 0;
    int nConsumed = 0;
    std::vector<uint8_t> aSymbols;
};

Decoded decodeFrame(const std::vector<uint8_t>& irFrame, int inLaw, int inCapacity = g7110::kOutputCapacity)
{
    std::vector<uint16_t> aUnits = toUnits(irFrame);
    aUnits.push_back(0); // a valid pointer even for an empty frame
    std::vector<uint16_t> aOut(size_t(inCapacity) + 8, 0xBEEF);
    Decoded oDecoded;
    oDecoded.nConsumed = int(irFrame.size());
    oDecoded.nResult = g7110::decode(aUnits.data(), &oDecoded.nConsumed, aOut.data(), inCapacity, inLaw);
    for (int i = 0; i < oDecoded.nResult; ++i)
        oDecoded.aSymbols.push_back(uint8_t(aOut[size_t(i)]));
    // Nothing beyond the decoded symbols is ever written.
    for (size_t i = size_t(std::max(oDecoded.nResult, 0)); i < aOut.size(); ++i)
        if (aOut[i] != 0xBEEF)
            oDecoded.nResult = -1000;
    return oDecoded;
}

std::vector<uint8_t> randomSymbols(int inCount)
{
    std::vector<uint8_t> aSymbols;
    for (int i = 0; i < inCount; ++i)
        aSymbols.push_back(uint8_t(std::rand() & 0xFF));
    return aSymbols;
}

std::vector<std::string> gLogLines;
void collectLog(const char* ipText) { gLogLines.emplace_back(ipText); }

const int kLengths[] = {40, 80, 160, 240, 320};

} // namespace

class TestG7110Decoder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::srand(7110);
        g7110::setLogHandler(&collectLog);
    }

    void simpleFrames_data();
    void simpleFrames();
    void riceZeroFrames_data();
    void riceZeroFrames();
    void fractionalBits_data();
    void fractionalBits();
    void valueLocation_data();
    void valueLocation();
    void minMaxLevel_data();
    void minMaxLevel();
    void noCompression();
    void unsupportedTools_data();
    void unsupportedTools();
    void headerEdgeCases_data();
    void headerEdgeCases();
    void truncatedFramesFail();
    void capacityAndArguments();
    void consumesOneFrameOfSeveral();
    void writerRoundTrip_data();
    void writerRoundTrip();
    void writerRejects();
    void errorTexts();
    void basicOperators();
};

void TestG7110Decoder::simpleFrames_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("law");
    QTest::addColumn<std::vector<uint8_t>>("expected");
    for (int nLaw = 0; nLaw <= 1; ++nLaw) {
        for (int nSamples : kLengths) {
            const QByteArray sTag = QByteArray(nLaw ? "mu" : "A") + "-" + QByteArray::number(nSamples);
            const std::vector<uint8_t> aRandom = randomSymbols(nSamples);
            QTest::newRow(sTag + " uncompressed") << uncompressedFrame(aRandom) << nLaw << aRandom;

            BitWriter oPlus;
            simpleHeader(oPlus, nSamples, 1);
            QTest::newRow(sTag + " plus zeros") << oPlus.octets() << nLaw << std::vector<uint8_t>(size_t(nSamples), plusZero(nLaw));

            BitWriter oMinus;
            simpleHeader(oMinus, nSamples, 2);
            QTest::newRow(sTag + " minus zeros") << oMinus.octets() << nLaw << std::vector<uint8_t>(size_t(nSamples), minusZero(nLaw));

            BitWriter oConst;
            simpleHeader(oConst, nSamples, 3);
            oConst.bits(0x9C, 8);
            QTest::newRow(sTag + " constant") << oConst.octets() << nLaw << std::vector<uint8_t>(size_t(nSamples), 0x9C);

            BitWriter oBits;
            simpleHeader(oBits, nSamples, 4);
            std::vector<uint8_t> aZeros;
            for (int i = 0; i < nSamples; ++i) {
                const bool bMinus = (std::rand() & 1) != 0;
                oBits.bit(bMinus ? 1 : 0);
                aZeros.push_back(bMinus ? minusZero(nLaw) : plusZero(nLaw));
            }
            QTest::newRow(sTag + " plus/minus zero bits") << oBits.octets() << nLaw << aZeros;
        }
    }
}

void TestG7110Decoder::simpleFrames()
{
    QFETCH(std::vector<uint8_t>, frame);
    QFETCH(int, law);
    QFETCH(std::vector<uint8_t>, expected);
    const Decoded oDecoded = decodeFrame(frame, law);
    QCOMPARE(oDecoded.nResult, int(expected.size()));
    QCOMPARE(oDecoded.nConsumed, int(frame.size()));
    QVERIFY(oDecoded.aSymbols == expected);
}

void TestG7110Decoder::riceZeroFrames_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("law");
    QTest::addColumn<std::vector<uint8_t>>("expected");
    for (int nLaw = 0; nLaw <= 1; ++nLaw) {
        for (int nSamples : kLengths) {
            const int nMaxParam = nSamples == 40 ? 5 : nSamples == 80 ? 6 : 9;
            for (int nParam = 1; nParam <= nMaxParam; ++nParam) {
                for (int nMinusMore = 0; nMinusMore <= 1; ++nMinusMore) {
                    const std::vector<uint8_t> aSymbols = randomZeros(nSamples, nLaw, nMinusMore, 1 << nParam);
                    QTest::newRow(qPrintable(QString("%1-%2 s%3 %4").arg(nLaw ? "mu" : "A").arg(nSamples).arg(nParam).arg(nMinusMore ? "minus" : "plus")))
                        << riceZeroFrame(aSymbols, nLaw, nMinusMore, nParam) << nLaw << aSymbols;
                }
            }
            if (nSamples >= 160) {
                // The second code for parameter 7, and runs that end the frame.
                const std::vector<uint8_t> aSymbols = randomZeros(nSamples, nLaw, false, 200);
                QTest::newRow(qPrintable(QString("%1-%2 s7 alternative code").arg(nLaw ? "mu" : "A").arg(nSamples)))
                    << riceZeroFrame(aSymbols, nLaw, false, 7, true) << nLaw << aSymbols;
            }
            std::vector<uint8_t> aLast(size_t(nSamples), plusZero(nLaw));
            aLast.back() = minusZero(nLaw);
            QTest::newRow(qPrintable(QString("%1-%2 single minus zero at the end").arg(nLaw ? "mu" : "A").arg(nSamples)))
                << riceZeroFrame(aLast, nLaw, false, 2) << nLaw << aLast;
        }
    }
}

void TestG7110Decoder::riceZeroFrames()
{
    simpleFrames();
}

void TestG7110Decoder::fractionalBits_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("law");
    QTest::addColumn<std::vector<uint8_t>>("expected");
    // Type, samples, levels, lowest rank, rank -1 left out.
    struct Type { int nType, nSamples, nLevels, nLowest; bool bNoMinusOne; };
    const Type aTypes[] = {
        {2, 40, 2, 0, false},  {3, 40, 4, -2, false},  {4, 40, 2, -2, true},   {8, 40, 4, -3, true},  {10, 40, 4, -2, true},
        {14, 80, 2, 0, false}, {15, 80, 4, -2, false}, {16, 80, 2, -2, true},
        {20, 160, 2, 0, false}, {21, 160, 4, -2, false}, {22, 160, 2, -2, true},
        {24, 240, 2, 0, false}, {25, 240, 4, -2, false}, {26, 240, 2, -2, true},
        {28, 320, 2, 0, false}, {29, 320, 4, -2, false}, {30, 320, 2, -2, true},
    };
    for (const Type& rType : aTypes) {
        std::vector<int> aRanks;
        std::vector<uint8_t> aExpected;
        for (int i = 0; i < rType.nSamples; ++i) {
            int nCode = std::rand() % rType.nLevels;
            int nRank = rType.nLowest + (rType.nLevels == 2 && rType.bNoMinusOne ? 2 * nCode : nCode);
            if (rType.nLevels == 4 && rType.bNoMinusOne && nRank >= -1)
                ++nRank;
            aRanks.push_back(nRank);
            aExpected.push_back(muLawFromRank(nRank));
        }
        QTest::newRow(qPrintable(QString("type %1").arg(rType.nType)))
            << fractionalFrame(rType.nType, rType.nLevels, rType.nLowest, rType.bNoMinusOne, aRanks) << 1 << aExpected;
    }
}

void TestG7110Decoder::fractionalBits()
{
    simpleFrames();
}

void TestG7110Decoder::valueLocation_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("law");
    QTest::addColumn<std::vector<uint8_t>>("expected");
    // Level sets of the four special cases.
    const int aLow[4] = {-2, -1, -2, 0};
    const int aHigh[4] = {1, 1, 0, 1};
    for (int nSamples : kLengths) {
        for (int nCase = 0; nCase < 4; ++nCase) {
            for (int nMethod : {0, 1, 2, 3, 4, 6, 7}) {
                for (int nUp = 0; nUp <= 1; ++nUp) {
                    // With the uncoded level at an end of the level set the
                    // coding starts towards the other levels.
                    if ((nCase == 2 && nUp) || (nCase == 3 && !nUp))
                        continue;
                    std::vector<int> aRanks(size_t(nSamples), 0);
                    if (nMethod == 7) {
                        // Direct positions: at most four of each level.
                        for (int nRank = aLow[nCase]; nRank <= aHigh[nCase]; ++nRank) {
                            if (nRank == 0)
                                continue;
                            for (int k = 0; k < 1 + std::rand() % 4; ++k)
                                aRanks[size_t(std::rand() % nSamples)] = nRank;
                        }
                    } else {
                        for (int& rnRank : aRanks)
                            if (std::rand() % 3 == 0)
                                rnRank = aLow[nCase] + std::rand() % (aHigh[nCase] - aLow[nCase] + 1);
                    }
                    std::vector<uint8_t> aExpected;
                    for (int nRank : aRanks)
                        aExpected.push_back(muLawFromRank(nRank));
                    QTest::newRow(qPrintable(QString("%1 case %2 method %3 %4").arg(nSamples).arg(nCase).arg(nMethod).arg(nUp ? "up" : "down")))
                        << valueLocationFrame(aRanks, nCase, nUp, nMethod) << 1 << aExpected;
                }
            }
        }
        // A level that does not occur at all.
        std::vector<int> aOnes(size_t(nSamples), 0);
        aOnes[3] = 1;
        std::vector<uint8_t> aExpected;
        for (int nRank : aOnes)
            aExpected.push_back(muLawFromRank(nRank));
        QTest::newRow(qPrintable(QString("%1 empty level").arg(nSamples))) << valueLocationFrame(aOnes, 0, true, 2) << 1 << aExpected;
    }
}

void TestG7110Decoder::valueLocation()
{
    simpleFrames();
}

void TestG7110Decoder::minMaxLevel_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("law");
    QTest::addColumn<std::vector<uint8_t>>("expected");
    for (int nWidth = 0; nWidth <= 8; ++nWidth) {
        const int nAnchor = nWidth == 8 ? -128 : -60 + nWidth * 7;
        std::vector<int> aRanks;
        std::vector<uint8_t> aExpected;
        for (int i = 0; i < 40; ++i) {
            const int nRank = nAnchor + (std::rand() % (1 << nWidth));
            aRanks.push_back(nRank);
            aExpected.push_back(muLawFromRank(nRank));
        }
        QTest::newRow(qPrintable(QString("width %1").arg(nWidth))) << minMaxFrame(aRanks, nAnchor, nWidth) << 1 << aExpected;
    }
    // Extremes of the explicit anchor.
    std::vector<int> aLow(40, -128);
    QTest::newRow("anchor -128") << minMaxFrame(aLow, -128, 0) << 1 << std::vector<uint8_t>(40, muLawFromRank(-128));
    std::vector<int> aHigh(40, 127);
    QTest::newRow("anchor 127") << minMaxFrame(aHigh, 127, 0) << 1 << std::vector<uint8_t>(40, muLawFromRank(127));
}

void TestG7110Decoder::minMaxLevel()
{
    simpleFrames();
}

void TestG7110Decoder::noCompression()
{
    for (int nRound = 0; nRound < 50; ++nRound) {
        std::vector<int> aRanks;
        std::vector<uint8_t> aExpected;
        for (int i = 0; i < 40; ++i) {
            // Full range in the first rounds (including -128 among the
            // first four), speech-like small ranks later.
            int nRank = nRound < 10 ? std::rand() % 256 - 128 : std::rand() % 41 - 20;
            if (nRound == 0 && i < 4)
                nRank = -128;
            aRanks.push_back(nRank);
            aExpected.push_back(muLawFromRank(nRank));
        }
        const Decoded oDecoded = decodeFrame(noCompressFrame(aRanks), 1);
        QCOMPARE(oDecoded.nResult, 40);
        QVERIFY(oDecoded.aSymbols == aExpected);
        QCOMPARE(oDecoded.nConsumed, int(noCompressFrame(aRanks).size()));
    }
}

void TestG7110Decoder::unsupportedTools_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("law");
    QTest::addColumn<QString>("tool");
    const std::vector<uint8_t> aPadding(64, 0x5A);
    auto padded = [&](std::vector<uint8_t> aFrame) {
        aFrame.insert(aFrame.end(), aPadding.begin(), aPadding.end());
        return aFrame;
    };
    for (int nLaw = 0; nLaw <= 1; ++nLaw) {
        const QByteArray sLaw = nLaw ? "mu " : "A ";
        for (int nSamples : kLengths) {
            BitWriter oLpc;
            lengthPrefix(oLpc, nSamples);
            oLpc.bit(1);
            if (nSamples > 160)
                oLpc.bit(1); // not a Rice zero frame
            QTest::newRow(sLaw + QByteArray::number(nSamples) + " linear prediction") << padded(oLpc.octets()) << nLaw << "linear prediction";

            BitWriter oPulse;
            lengthPrefix(oPulse, nSamples);
            if (nSamples <= 160)
                oPulse.bits(0x2, 3); // 0, 10
            else
                oPulse.bits(0x4, 3); // 1, 0, 0
            oPulse.bits(0, 2);       // pulse announced
            QTest::newRow(sLaw + QByteArray::number(nSamples) + " Rice zeros with pulse") << padded(oPulse.octets()) << nLaw << "pulse";
        }
        BitWriter oLongTerm;
        lengthPrefix(oLongTerm, 160);
        oLongTerm.bits(0x1, 3); // 0, 01: long-term prediction
        QTest::newRow(sLaw + "160 long-term prediction") << padded(oLongTerm.octets()) << nLaw << "linear prediction";
        QTest::newRow(sLaw + "fractional 3 levels") << padded({6}) << nLaw << (nLaw ? "fractional-bit" : "A-law");
        QTest::newRow(sLaw + "min/max anchor table") << padded({0x45, 0x43}) << nLaw << "tabled anchor";
    }
    QTest::newRow("A fractional 2 levels") << padded({2}) << 0 << "A-law";
    QTest::newRow("A value-location") << padded({0x46}) << 0 << "A-law";
    QTest::newRow("A min/max explicit anchor") << padded({0x45, 0x3F, 0x80}) << 0 << "A-law";
    QTest::newRow("A no compression") << padded({0x48}) << 0 << "A-law";
}

void TestG7110Decoder::unsupportedTools()
{
    QFETCH(std::vector<uint8_t>, frame);
    QFETCH(int, law);
    QFETCH(QString, tool);
    gLogLines.clear();
    const Decoded oDecoded = decodeFrame(frame, law);
    QCOMPARE(oDecoded.nResult, int(g7110::kUnsupportedTool));
    QCOMPARE(oDecoded.nConsumed, 0);
    QCOMPARE(int(gLogLines.size()), 1);
    const QString sLine = QString::fromStdString(gLogLines.front());
    QVERIFY2(sLine.startsWith("G.711.0 coding tool not supported: ") && sLine.contains(tool), qPrintable(sLine));
    QVERIFY(g7110::lastUnsupportedTool());
    QVERIFY(sLine.endsWith(QString::fromLatin1(g7110::lastUnsupportedTool())));
    // A following frame that decodes clears it.
    decodeFrame(uncompressedFrame(randomSymbols(40)), law);
    QVERIFY(!g7110::lastUnsupportedTool());
}

void TestG7110Decoder::headerEdgeCases_data()
{
    QTest::addColumn<std::vector<uint8_t>>("frame");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("consumed");
    QTest::newRow("0x00 frame without samples") << std::vector<uint8_t>{0x00, 0x12} << 0 << 1;
    QTest::newRow("0x01 reserved") << std::vector<uint8_t>{0x01, 0x12} << int(g7110::kInvalidHeader) << 0;
    QTest::newRow("type 7 reserved") << std::vector<uint8_t>{0x47, 0x12} << int(g7110::kInvalidFrameType) << 0;
    QTest::newRow("min/max level at 80 samples") << std::vector<uint8_t>{0x85, 0x3F, 0x80} << int(g7110::kInvalidFrameType) << 0;
    QTest::newRow("min/max reserved anchor code") << std::vector<uint8_t>{0x45, 0x3E} << int(g7110::kInvalidFrameType) << 0;
    QTest::newRow("empty payload") << std::vector<uint8_t>{} << int(g7110::kTruncated) << 0;
    // A run longer than the frame cannot come from an encoder.
    BitWriter oLong;
    lengthPrefix(oLong, 40);
    oLong.bits(0x2, 3);
    oLong.bits(1, 2);
    oLong.rice(41, 1);
    QTest::newRow("Rice run beyond the frame") << oLong.octets() << int(g7110::kCorruptData) << 0;
    // A min/max rank beyond 127.
    QTest::newRow("min/max rank overflow") << std::vector<uint8_t>{0x45, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                   0xFF, 0xFF, 0xFF, 0xFF}
                                           << int(g7110::kCorruptData) << 0;
}

void TestG7110Decoder::headerEdgeCases()
{
    QFETCH(std::vector<uint8_t>, frame);
    QFETCH(int, result);
    QFETCH(int, consumed);
    std::vector<uint16_t> aUnits = toUnits(frame);
    if (aUnits.empty())
        aUnits.push_back(0); // a valid pointer with a length of 0
    std::vector<uint16_t> aOut(g7110::kOutputCapacity, 0xBEEF);
    int nLength = int(frame.size());
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, aOut.data(), g7110::kOutputCapacity, 1), result);
    QCOMPARE(nLength, consumed);
    QCOMPARE(aOut[0], uint16_t(0xBEEF));
}

void TestG7110Decoder::truncatedFramesFail()
{
    // Every proper prefix of a valid frame fails (as truncated, or as corrupt
    // when the cut leaves a code that no encoder writes) and writes nothing.
    std::vector<std::vector<uint8_t>> aFrames;
    aFrames.push_back(uncompressedFrame(randomSymbols(160)));
    aFrames.push_back(riceZeroFrame(randomZeros(320, 1, false, 8), 1, false, 3));
    std::vector<int> aRanks;
    for (int i = 0; i < 40; ++i)
        aRanks.push_back(std::rand() % 41 - 20);
    aFrames.push_back(noCompressFrame(aRanks));
    aFrames.push_back(minMaxFrame(aRanks, -20, 6));
    aFrames.push_back(valueLocationFrame(std::vector<int>(240, 1), 3, true, 2));
    for (const std::vector<uint8_t>& rFrame : aFrames) {
        for (size_t nLength = 0; nLength < rFrame.size(); ++nLength) {
            const Decoded oDecoded = decodeFrame(std::vector<uint8_t>(rFrame.begin(), rFrame.begin() + long(nLength)), 1);
            QVERIFY2(oDecoded.nResult == g7110::kTruncated || oDecoded.nResult == g7110::kCorruptData,
                     qPrintable(QString("length %1 of %2: %3").arg(nLength).arg(rFrame.size()).arg(oDecoded.nResult)));
        }
        QCOMPARE(decodeFrame(rFrame, 1).nConsumed, int(rFrame.size()));
    }
}

void TestG7110Decoder::capacityAndArguments()
{
    const std::vector<uint8_t> aSymbols = randomSymbols(320);
    std::vector<uint16_t> aUnits = toUnits(uncompressedFrame(aSymbols));
    std::vector<uint16_t> aOut(400, 0xBEEF);
    int nLength = int(aUnits.size());
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, aOut.data(), 319, 0), int(g7110::kOutputTooSmall));
    QCOMPARE(nLength, 0);
    QCOMPARE(aOut[0], uint16_t(0xBEEF));
    nLength = int(aUnits.size());
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, aOut.data(), 320, 0), 320);
    QCOMPARE(aOut[320], uint16_t(0xBEEF));

    nLength = int(aUnits.size());
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, aOut.data(), 330, 2), int(g7110::kInvalidArgument));
    nLength = int(aUnits.size());
    QCOMPARE(g7110::decode(nullptr, &nLength, aOut.data(), 330, 1), int(g7110::kInvalidArgument));
    nLength = int(aUnits.size());
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, nullptr, 330, 1), int(g7110::kInvalidArgument));
    QCOMPARE(g7110::decode(aUnits.data(), nullptr, aOut.data(), 330, 1), int(g7110::kInvalidArgument));
    nLength = -5;
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, aOut.data(), 330, 1), int(g7110::kInvalidArgument));

    // Only the low octet of each unit counts.
    for (uint16_t& rnUnit : aUnits)
        rnUnit = uint16_t(rnUnit | 0xA500);
    nLength = int(aUnits.size());
    QCOMPARE(g7110::decode(aUnits.data(), &nLength, aOut.data(), 330, 0), 320);
    for (int i = 0; i < 320; ++i)
        QCOMPARE(aOut[size_t(i)], uint16_t(aSymbols[size_t(i)]));
}

void TestG7110Decoder::consumesOneFrameOfSeveral()
{
    std::vector<uint8_t> aStream = riceZeroFrame(randomZeros(80, 0, true, 4), 0, true, 2);
    const int nFirst = int(aStream.size());
    const std::vector<uint8_t> aSecond = uncompressedFrame(randomSymbols(40));
    aStream.insert(aStream.end(), aSecond.begin(), aSecond.end());
    const Decoded oDecoded = decodeFrame(aStream, 0);
    QCOMPARE(oDecoded.nResult, 80);
    QCOMPARE(oDecoded.nConsumed, nFirst);
}

void TestG7110Decoder::writerRoundTrip_data()
{
    QTest::addColumn<std::vector<uint8_t>>("symbols");
    QTest::addColumn<int>("law");
    QTest::addColumn<int>("size");
    for (int nLaw = 0; nLaw <= 1; ++nLaw) {
        for (int nSamples : kLengths) {
            const QByteArray sTag = QByteArray(nLaw ? "mu" : "A") + "-" + QByteArray::number(nSamples);
            QTest::newRow(sTag + " plus zeros") << std::vector<uint8_t>(size_t(nSamples), plusZero(nLaw)) << nLaw << 1;
            QTest::newRow(sTag + " minus zeros") << std::vector<uint8_t>(size_t(nSamples), minusZero(nLaw)) << nLaw << 1;
            QTest::newRow(sTag + " constant") << std::vector<uint8_t>(size_t(nSamples), 0x33) << nLaw << 2;
            QTest::newRow(sTag + " zeros") << randomZeros(nSamples, nLaw, false, 3) << nLaw << 1 + nSamples / 8;
            QTest::newRow(sTag + " speech") << randomSymbols(nSamples) << nLaw << 1 + nSamples;
        }
    }
}

void TestG7110Decoder::writerRoundTrip()
{
    QFETCH(std::vector<uint8_t>, symbols);
    QFETCH(int, law);
    QFETCH(int, size);
    std::vector<uint8_t> aFrame(400);
    const int nSize = g7110::encode(symbols.data(), int(symbols.size()), law, aFrame.data(), int(aFrame.size()));
    QCOMPARE(nSize, size);
    aFrame.resize(size_t(nSize));
    const Decoded oDecoded = decodeFrame(aFrame, law);
    QCOMPARE(oDecoded.nResult, int(symbols.size()));
    QCOMPARE(oDecoded.nConsumed, nSize);
    QVERIFY(oDecoded.aSymbols == symbols);
}

void TestG7110Decoder::writerRejects()
{
    const std::vector<uint8_t> aSymbols = randomSymbols(320);
    std::vector<uint8_t> aFrame(400);
    QCOMPARE(g7110::encode(aSymbols.data(), 100, 1, aFrame.data(), 400), -1);
    QCOMPARE(g7110::encode(aSymbols.data(), 160, 3, aFrame.data(), 400), -1);
    QCOMPARE(g7110::encode(nullptr, 160, 1, aFrame.data(), 400), -1);
    QCOMPARE(g7110::encode(aSymbols.data(), 160, 1, aFrame.data(), 160), -2);
    QCOMPARE(g7110::encode(aSymbols.data(), 160, 1, aFrame.data(), 161), 161);
}

void TestG7110Decoder::errorTexts()
{
    const int aResults[] = {0, g7110::kInvalidArgument, g7110::kTruncated, g7110::kInvalidHeader, g7110::kInvalidFrameType,
                            g7110::kCorruptData, g7110::kOutputTooSmall, g7110::kUnsupportedTool};
    QSet<QString> aTexts;
    for (int nResult : aResults)
        aTexts.insert(QString::fromLatin1(g7110::errorText(nResult)));
    QCOMPARE(aTexts.size(), int(std::size(aResults)));
    QCOMPARE(QString(g7110::errorText(g7110::kUnsupportedTool)), QString("unsupported coding tool"));
}

void TestG7110Decoder::basicOperators()
{
    using namespace g7110::ops;
    // Saturation instead of overflow, and no operand that aborts.
    QCOMPARE(add(32767, 1), int16_t(32767));
    QCOMPARE(sub(-32768, 1), int16_t(-32768));
    QCOMPARE(negate(-32768), int16_t(32767));
    QCOMPARE(shl(0x4000, 1), int16_t(32767));
    QCOMPARE(shl(-0x4001, 1), int16_t(-32768));
    QCOMPARE(shl(1, 40), int16_t(32767));
    QCOMPARE(shl(0, 40), int16_t(0));
    QCOMPARE(shl(-8, -2), int16_t(-2));
    QCOMPARE(shr(-1, 20), int16_t(-1));
    QCOMPARE(shr(12345, 20), int16_t(0));
    QCOMPARE(shr(-7, 1), int16_t(-4));
    QCOMPARE(shr(3, -32768), int16_t(32767));
    QCOMPARE(norm_s(0), int16_t(0));
    QCOMPARE(norm_s(-1), int16_t(15));
    QCOMPARE(norm_s(1), int16_t(14));
    QCOMPARE(norm_s(0x4000), int16_t(0));
    QCOMPARE(norm_s(-32768), int16_t(0));
    QCOMPARE(norm_s(319), int16_t(6));
}

QTEST_GUILESS_MAIN(TestG7110Decoder)
#include "tst_g7110_decoder.moc"
