#pragma once
// Recordings for the waveform tests: WAV files from sample arrays and WVC
// files from our writer with the lossless PCM16 codec, and a reference of
// the levels the decoder hands out, block by block.
#include "../audio/WavTestFiles.h"
#include "FrameEncoder.h"
#include "MemoryDecoder.h"
#include "WvcWriter.h"

#include <QByteArray>
#include <QVector>
#include <QtEndian>

#include <ogg/ogg.h>

#include <cmath>
#include <memory>
#include <vector>

namespace WaveformTestFiles {

inline QByteArray pcm16Wav(const std::vector<qint16>& iaSamples, quint32 inRate = 8000)
{
    QByteArray aData;
    for (qint16 n : iaSamples)
        aData += WavTestFiles::le16(quint16(n));
    using namespace WavTestFiles;
    return riff(chunk("fmt ", fmtPayload(1, 1, inRate, 16)) + chunk("data", aData));
}

inline std::vector<qint16> sine(int inCount, double ifHz, double ifAmplitude, quint32 inRate = 8000)
{
    std::vector<qint16> a(size_t(inCount), 0);
    for (int i = 0; i < inCount; ++i)
        a[size_t(i)] = qint16(std::lround(ifAmplitude * std::sin(2 * M_PI * ifHz * i / inRate)));
    return a;
}

// A level that changes every inRun samples, so that the band has steps.
inline std::vector<qint16> steps(int inCount, int inRun)
{
    std::vector<qint16> a(size_t(inCount), 0);
    for (int i = 0; i < inCount; ++i) {
        const int nLevel = ((i / inRun) * 7919) % 250; // 0 .. 249
        a[size_t(i)] = qint16((i % 2 ? -1 : 1) * nLevel * 128);
    }
    return a;
}

// 20 ms frames at the given rate.
inline QByteArray wvcFile(const std::vector<std::vector<int16_t>>& iaChannels, bool ibWriteDuration = true,
                          uint32_t inRate = 8000)
{
    std::string sError;
    std::vector<std::unique_ptr<wvctools::FrameEncoder>> aOwned;
    std::vector<wvctools::FrameEncoder*> aEncoders;
    for (size_t i = 0; i < iaChannels.size(); ++i) {
        aOwned.push_back(wvctools::makeFrameEncoder("PCM16", inRate, inRate / 50, sError));
        aEncoders.push_back(aOwned.back().get());
    }
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = inRate;
    aOptions.nSamplesPerFrame = inRate / 50;
    aOptions.bWriteDuration = ibWriteDuration;
    wvctools::WvcWriter aWriter(aOptions);
    std::vector<wvctools::WvcPage> aPages;
    if (!aWriter.write(iaChannels, aEncoders, aPages))
        return {};
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    return QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()));
}

// The file with another duration in its header (version 3 layout), the page
// checksum made good again.
inline QByteArray withHeaderDuration(QByteArray iaFile, quint32 inMilliseconds)
{
    const int nSegments = quint8(iaFile[26]);
    int nBody = 0;
    for (int i = 0; i < nSegments; ++i)
        nBody += quint8(iaFile[27 + i]);
    const int nHeader = 27 + nSegments;
    qToLittleEndian(inMilliseconds, iaFile.data() + nHeader + 16);
    ogg_page page;
    page.header = reinterpret_cast<unsigned char*>(iaFile.data());
    page.header_len = nHeader;
    page.body = reinterpret_cast<unsigned char*>(iaFile.data()) + nHeader;
    page.body_len = nBody;
    ogg_page_checksum_set(&page);
    return iaFile;
}

// The level blocks exactly as the decoder delivers them.
class LevelBlocks : public wvctools::MemoryDecoder
{
public:
    using MemoryDecoder::MemoryDecoder;
    int levelCallback(int64_t, const uint8_t* ipLevels, int inCount) override
    {
        aBlocks.emplace_back(ipLevels, ipLevels + inCount);
        return 1;
    }
    void log(int32_t, const std::string&) override {}
    std::vector<std::vector<uint8_t>> aBlocks;
};

} // namespace WaveformTestFiles
