#pragma once
// Helpers of the WVC tests: signals, files written by the WVC writer, raw
// pages for malformed layouts, and frame-by-frame comparison of results.
#include "FrameEncoder.h"
#include "MemoryDecoder.h"
#include "WvcWriter.h"

#include <QtGlobal>

#include <ogg/ogg.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace wvctest {

using Bytes = std::vector<uint8_t>;
using Channels = std::vector<std::vector<int16_t>>;

// A tone with noise and occasional full-scale samples; seed varies it.
inline std::vector<int16_t> signal(size_t inCount, int inSeed, double inAmplitude = 12000.0)
{
    std::vector<int16_t> aSamples(inCount);
    uint32_t nNoise = 12345u + static_cast<uint32_t>(inSeed) * 7919u;
    for (size_t i = 0; i < inCount; ++i) {
        nNoise = nNoise * 1664525u + 1013904223u;
        const double fValue = inAmplitude * std::sin(0.05 * (inSeed + 1) * static_cast<double>(i)) +
                              static_cast<double>(static_cast<int>(nNoise >> 20) - 2048);
        aSamples[i] = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, fValue)));
        if (i % 997 == 13)
            aSamples[i] = (i & 1) ? 32767 : -32768;
    }
    return aSamples;
}

// Encoder that hands out fixed payloads, for codecs without an encoder and
// frames that readers must refuse.
class FixedEncoder : public wvctools::FrameEncoder
{
public:
    FixedEncoder(uint32_t inCodec, int inBytes) : mnCodec(inCodec), mnBytes(inBytes) {}
    uint32_t codecId() const override { return mnCodec; }
    int encode(const int16_t*, int, uint8_t* ipOutput, int inCapacity, std::string&) override
    {
        const int nBytes = mnBytes < inCapacity ? mnBytes : inCapacity;
        for (int i = 0; i < nBytes; ++i)
            ipOutput[i] = static_cast<uint8_t>(i * 37 + 11);
        return nBytes;
    }

private:
    uint32_t mnCodec;
    int mnBytes;
};

inline std::vector<wvctools::WvcPage> writePages(const wvctools::WvcWriterOptions& irOptions,
                                                 const Channels& irChannels, const std::string& isCodec = "PCM16")
{
    std::vector<std::unique_ptr<wvctools::FrameEncoder>> aEncoders;
    std::vector<wvctools::FrameEncoder*> aPointers;
    std::string sError;
    for (size_t i = 0; i < irChannels.size(); ++i) {
        aEncoders.push_back(wvctools::makeFrameEncoder(isCodec, irOptions.nSamplesPerFrame, sError));
        if (!aEncoders.back())
            qFatal("no encoder: %s", sError.c_str());
        aPointers.push_back(aEncoders.back().get());
    }
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(irOptions);
    if (!aWriter.write(irChannels, aPointers, aPages))
        qFatal("writer failed: %s", aWriter.error().c_str());
    return aPages;
}

inline std::vector<wvctools::WvcPage> writePages(const wvctools::WvcWriterOptions& irOptions,
                                                 const Channels& irChannels, wvctools::FrameEncoder& irEncoder)
{
    std::vector<wvctools::FrameEncoder*> aPointers(irChannels.size(), &irEncoder);
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(irOptions);
    if (!aWriter.write(irChannels, aPointers, aPages))
        qFatal("writer failed: %s", aWriter.error().c_str());
    return aPages;
}

// One or more Ogg pages of one logical stream carrying the given packets.
inline Bytes rawPages(int inSerial, const std::vector<Bytes>& irPackets, bool ibBos, int64_t inGranule,
                      long inPageNo = 0)
{
    ogg_stream_state aStream;
    ogg_stream_init(&aStream, inSerial);
    aStream.pageno = inPageNo;
    if (!ibBos)
        aStream.b_o_s = 1; // libogg marks a stream's first page BOS otherwise
    for (size_t i = 0; i < irPackets.size(); ++i) {
        ogg_packet aPacket;
        aPacket.packet = const_cast<unsigned char*>(irPackets[i].data());
        aPacket.bytes = static_cast<long>(irPackets[i].size());
        aPacket.b_o_s = (ibBos && i == 0) ? 1 : 0;
        aPacket.e_o_s = 0;
        aPacket.granulepos = inGranule;
        aPacket.packetno = static_cast<int64_t>(i);
        ogg_stream_packetin(&aStream, &aPacket);
    }
    Bytes aOut;
    ogg_page aPage;
    while (ogg_stream_flush_fill(&aStream, &aPage, 1 << 16) != 0) {
        aOut.insert(aOut.end(), aPage.header, aPage.header + aPage.header_len);
        aOut.insert(aOut.end(), aPage.body, aPage.body + aPage.body_len);
    }
    ogg_stream_clear(&aStream);
    return aOut;
}

inline void putLe32(Bytes& irBytes, size_t inOffset, uint32_t inValue)
{
    for (int i = 0; i < 4; ++i)
        irBytes[inOffset + i] = static_cast<uint8_t>(inValue >> (8 * i));
}

// Version 3/4 header packet.
inline Bytes header34(uint32_t inVersion, uint32_t inCodec, uint32_t inChannels, uint32_t inRate, uint32_t inSpf,
                      uint32_t inDuration)
{
    Bytes aHeader(20, 0);
    std::memcpy(aHeader.data(), "WVC", 3);
    aHeader[3] = static_cast<uint8_t>(inVersion);
    aHeader[4] = 1;
    aHeader[6] = static_cast<uint8_t>(inCodec);
    aHeader[7] = static_cast<uint8_t>(inChannels);
    putLe32(aHeader, 8, inRate);
    putLe32(aHeader, 12, inSpf);
    putLe32(aHeader, 16, inDuration);
    return aHeader;
}

// The four BOS pages around a given header packet.
inline Bytes bosPages(const Bytes& irHeader, size_t inRightBosSize = 3)
{
    Bytes aOut = rawPages(10, {irHeader}, true, 0);
    const Bytes aRight = rawPages(11, {Bytes(inRightBosSize, 'R')}, true, 0);
    const Bytes aLevel = rawPages(12, {Bytes(3, 'L')}, true, 0);
    const Bytes aMeta = rawPages(13, {Bytes(16, 0)}, true, 0);
    for (const Bytes* p : {&aRight, &aLevel, &aMeta})
        aOut.insert(aOut.end(), p->begin(), p->end());
    return aOut;
}

inline Bytes join(const std::vector<wvctools::WvcPage>& irPages)
{
    return wvctools::WvcWriter::join(irPages);
}

// Pages after the header pages (the four BOS pages and the metadata pages).
inline size_t firstAudioPage(const std::vector<wvctools::WvcPage>& irPages)
{
    size_t i = 0;
    while (i < irPages.size() && (irPages[i].nSerial == 13 || i < 4))
        ++i;
    return i;
}

// Compares every delivered frame with the input at the frame's position
// (frame time = end of its audio). Returns an empty string when all match.
inline std::string framesMismatch(const wvctools::MemoryDecoder& irDecoder, const Channels& irInput,
                                  uint32_t inSpf, uint32_t inFrameDuration)
{
    size_t nOffset = 0;
    for (size_t f = 0; f < irDecoder.aPositions.size(); ++f) {
        const int64_t t = irDecoder.aPositions[f];
        if (t <= 0 || t % inFrameDuration != 0)
            return "bad frame time " + std::to_string(t);
        const size_t nFirst = static_cast<size_t>(t / inFrameDuration - 1) * inSpf;
        if (nFirst >= irInput[0].size())
            return "frame time past the input: " + std::to_string(t);
        const size_t nCount = std::min<size_t>(inSpf, irInput[0].size() - nFirst);
        for (size_t c = 0; c < irInput.size(); ++c) {
            const std::vector<int16_t>& rOut = c == 0 ? irDecoder.aLeft : irDecoder.aRight;
            if (nOffset + nCount > rOut.size())
                return "output too short at frame " + std::to_string(f);
            if (!std::equal(rOut.begin() + static_cast<long>(nOffset), rOut.begin() + static_cast<long>(nOffset + nCount),
                            irInput[c].begin() + static_cast<long>(nFirst)))
                return "channel " + std::to_string(c) + " differs in frame at " + std::to_string(t) + " ms";
        }
        nOffset += nCount;
    }
    if (nOffset != irDecoder.aLeft.size())
        return "more samples than frames";
    return std::string();
}

inline int decodeToEnd(wvctools::MemoryDecoder& irDecoder, uint32_t inChunk = 32768)
{
    int nResult;
    int nGuard = 0;
    while ((nResult = irDecoder.decodeChunk(false, inChunk)) == WVC::WVC_MORE_DATA) {
        if (++nGuard > 10000000)
            return -1000; // a hang shows as a distinct failure
    }
    return nResult;
}

} // namespace wvctest
