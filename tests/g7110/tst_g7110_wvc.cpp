// PCMA and PCMU WVC files end to end: written with the G.711.0 frame writer
// through the WVC writer, read back by the WVC decoder; every G.711 symbol
// and every PCM sample must come back.
#include "FrameBuilder.h"
#include "G711.h"
#include "G7110Encoder.h"
#include "MemoryDecoder.h"
#include "WvcWriter.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

// Silence, near-silence (plus and minus zeros only) and a tone: frames of
// the constant, plus/minus-zero and uncompressed kinds.
std::vector<int16_t> testSignal(int inSamples, int inSeed)
{
    std::vector<int16_t> aSamples;
    for (int i = 0; i < inSamples; ++i) {
        const int nPart = (i / 400) % 3;
        if (nPart == 0)
            aSamples.push_back(0);
        else if (nPart == 1)
            aSamples.push_back(int16_t(((i * 7 + inSeed) % 5) - 2));
        else
            aSamples.push_back(int16_t(12000.0 * std::sin(0.05 * (i + inSeed))));
    }
    return aSamples;
}

// Writes frames of the linear prediction tool, which the decoder lacks.
class LinearPredictionEncoder : public wvctools::FrameEncoder
{
public:
    uint32_t codecId() const override { return 1; } // PCMU
    int encode(const int16_t*, int, uint8_t* ipOutput, int inCapacity, std::string&) override
    {
        g7110test::BitWriter oFrame;
        g7110test::lengthPrefix(oFrame, 160);
        oFrame.bit(1);
        std::vector<uint8_t> aOctets = oFrame.octets();
        aOctets.resize(64, 0x5A);
        if (int(aOctets.size()) > inCapacity)
            return -1;
        std::copy(aOctets.begin(), aOctets.end(), ipOutput);
        return int(aOctets.size());
    }
};

} // namespace

class TestG7110Wvc : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<bool>("muLaw");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("channels");
        for (bool bMuLaw : {false, true})
            for (int nFrame : {40, 80, 160, 240, 320})
                QTest::newRow(qPrintable(QString("%1 %2").arg(bMuLaw ? "PCMU" : "PCMA").arg(nFrame)))
                    << bMuLaw << nFrame << (nFrame == 160 ? 2 : 1);
    }

    void roundTrip()
    {
        QFETCH(bool, muLaw);
        QFETCH(int, frame);
        QFETCH(int, channels);
        const int nSamples = 8000;
        std::vector<std::vector<int16_t>> aChannels;
        for (int c = 0; c < channels; ++c)
            aChannels.push_back(testSignal(nSamples, 13 * c));

        wvctools::WvcWriterOptions oOptions;
        oOptions.nSamplesPerFrame = uint32_t(frame);
        wvctools::WvcWriter oWriter(oOptions);
        std::vector<wvctools::G7110Encoder> aEncoders(size_t(channels), wvctools::G7110Encoder(muLaw, uint32_t(frame)));
        std::vector<wvctools::FrameEncoder*> aEncoderPointers;
        for (wvctools::G7110Encoder& rEncoder : aEncoders)
            aEncoderPointers.push_back(&rEncoder);
        std::vector<wvctools::WvcPage> aPages;
        QVERIFY2(oWriter.write(aChannels, aEncoderPointers, aPages), oWriter.error().c_str());

        wvctools::MemoryDecoder oDecoder(wvctools::WvcWriter::join(aPages));
        QCOMPARE(oDecoder.openAll(), 0);
        QCOMPARE(oDecoder.decodeAll(false), 0);
        for (const auto& rLine : oDecoder.aLog)
            QVERIFY2(rLine.second.find("g711 decode error") == std::string::npos, rLine.second.c_str());

        // The last frame may be padded with silence.
        QVERIFY(int(oDecoder.aG711Left.size()) >= nSamples);
        QVERIFY(int(oDecoder.aLeft.size()) >= nSamples);
        QCOMPARE(int(oDecoder.aG711Left.size()) % frame, 0);
        for (int i = 0; i < nSamples; ++i) {
            const int16_t nSample = aChannels[0][size_t(i)];
            const uint8_t nSymbol = muLaw ? WVC::G711::linearToUlaw(nSample) : WVC::G711::linearToAlaw(nSample);
            QCOMPARE(oDecoder.aG711Left[size_t(i)], nSymbol);
            QCOMPARE(oDecoder.aLeft[size_t(i)], muLaw ? WVC::G711::ulawToLinear(nSymbol) : WVC::G711::alawToLinear(nSymbol));
            if (channels == 2) {
                const int16_t nRight = aChannels[1][size_t(i)];
                const uint8_t nRightSymbol = muLaw ? WVC::G711::linearToUlaw(nRight) : WVC::G711::linearToAlaw(nRight);
                QCOMPARE(oDecoder.aRight[size_t(i)],
                         muLaw ? WVC::G711::ulawToLinear(nRightSymbol) : WVC::G711::alawToLinear(nRightSymbol));
            }
        }
    }

    // A frame of a missing coding tool fails alone, says which tool it needs
    // and keeps its time as silence.
    void missingToolIsNamed()
    {
        wvctools::WvcWriterOptions oOptions;
        wvctools::WvcWriter oWriter(oOptions);
        LinearPredictionEncoder oEncoder;
        std::vector<wvctools::FrameEncoder*> aEncoders { &oEncoder };
        std::vector<wvctools::WvcPage> aPages;
        QVERIFY2(oWriter.write({ std::vector<int16_t>(800, 100) }, aEncoders, aPages), oWriter.error().c_str());

        wvctools::MemoryDecoder oDecoder(wvctools::WvcWriter::join(aPages));
        QCOMPARE(oDecoder.openAll(), 0);
        oDecoder.decodeAll(false);
        int nNamed = 0;
        int nErrors = 0;
        for (const auto& rLine : oDecoder.aLog) {
            nNamed += rLine.second.find("G.711.0 coding tool not supported: mapped-domain linear prediction") != std::string::npos;
            nErrors += rLine.second.find("g711 decode error: -7") != std::string::npos;
        }
        QCOMPARE(nErrors, 5);
        QCOMPARE(nNamed, nErrors);
        QCOMPARE(oDecoder.aLeft, std::vector<int16_t>(800, 0));
    }
};

QTEST_GUILESS_MAIN(TestG7110Wvc)
#include "tst_g7110_wvc.moc"
