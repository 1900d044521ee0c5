#pragma once
// Writes WVC files: the four BOS pages, metadata pages, then groups of
// channel pages each followed by the level page of the same frames, and
// finally an end-of-stream page per stream. Pages are
// handed out one by one so tests can drop, damage or reorder them.
#include "FrameEncoder.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wvctools {

struct WvcWriterOptions
{
    uint32_t nVersion = 3;
    uint32_t nSampleRate = 8000;
    uint32_t nSamplesPerFrame = 160;
    uint32_t nFramesPerPage = 50;       // 1 .. 255
    bool bEncrypted = false;            // versions 3 and 4; version 2 always is
    std::string sPassword;
    bool bWriteDuration = true;         // false leaves 0: readers scan the tail
    bool bEndStreams = true;            // end each stream with an end-of-stream page
    std::vector<std::pair<std::string, std::string>> aMetadata;
};

struct WvcPage
{
    int nSerial = 0;
    int64_t nGranule = 0;
    std::vector<uint8_t> aBytes;
};

class WvcWriter
{
public:
    explicit WvcWriter(const WvcWriterOptions& irOptions);

    // One sample vector per channel (1 or 2, same length) and one encoder per
    // channel. False with error() set on bad options or a failed encoder.
    bool write(const std::vector<std::vector<int16_t>>& irChannels, const std::vector<FrameEncoder*>& irEncoders,
               std::vector<WvcPage>& irPages);
    const std::string& error() const { return msError; }

    static std::vector<uint8_t> join(const std::vector<WvcPage>& irPages);
    // Level byte of a frame: its peak magnitude / 128, at most 255.
    static uint8_t levelOf(const int16_t* ipSamples, int inCount);

private:
    bool checkOptions(size_t inChannels, uint32_t inCodecId);
    std::vector<uint8_t> headerPacket(uint32_t inCodecId, uint32_t inChannels, uint32_t inDuration);

    WvcWriterOptions maOptions;
    std::string msError;
    uint8_t maIv[16] = {};
    uint8_t maSalt[16] = {};
    uint8_t maKey[16] = {};
};

} // namespace wvctools
