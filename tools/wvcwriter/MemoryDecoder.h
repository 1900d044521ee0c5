#pragma once
// A WVC::Decoder over bytes in memory that collects what it decodes: used by
// wvctool, the tests, the fuzz target and the benchmark.
#include "Decoder.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wvctools {

class MemoryDecoder : public WVC::Decoder
{
public:
    explicit MemoryDecoder(std::vector<uint8_t> iaBytes = {});

    void setBytes(std::vector<uint8_t> iaBytes);
    const std::vector<uint8_t>& bytes() const { return maBytes; }
    // At most this many bytes per readCallback, reported as partial reads.
    void setReadPiece(uint32_t inPiece) { mnReadPiece = inPiece; }
    // Refuse seeks from the end, as the application's decoders do.
    void setEndSeekAllowed(bool ibAllowed) { mbEndSeekAllowed = ibAllowed; }
    // Keep decoded samples and levels (off for the benchmark's scans).
    void setCollect(bool ibCollect) { mbCollect = ibCollect; }
    // Forward log lines to the base (standard output) as well.
    void setEcho(bool ibEcho) { mbEcho = ibEcho; }

    int openAll() { return open(maBytes.size(), false); }

    void log(int32_t inLevel, const std::string& isMessage) override;
    int pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                    int inRightCount) override;
    int g711Callback(int64_t inPosition, const uint8_t* ipLeft, int inLeftCount, const uint8_t* ipRight,
                     int inRightCount) override;
    int levelCallback(int64_t inPosition, const uint8_t* ipLevels, int inCount) override;
    int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override;
    int seekCallback(int64_t inOffset, int inOrigin) override;
    void metadataCallback(const std::string& irsKey) override;

    // What was decoded.
    std::vector<int16_t> aLeft, aRight;
    std::vector<int64_t> aPositions;            // one per delivered frame
    std::vector<uint8_t> aG711Left;
    std::vector<uint8_t> aLevels;               // as handed to levelCallback
    std::vector<int64_t> aLevelPositions;       // one per levelCallback
    std::vector<std::pair<int32_t, std::string>> aLog;
    std::vector<std::string> aMetadataKeys;
    uint64_t nPcmFrames = 0;
    uint64_t nPcmSamples = 0;
    int nStopAfterFrames = -1;                  // pcmCallback returns 0 after this many frames

    size_t position() const { return mnPosition; }
    int countLog(const std::string& isText) const;
    std::string lastError() const;

private:
    std::vector<uint8_t> maBytes;
    size_t mnPosition = 0;
    uint32_t mnReadPiece = 0;
    bool mbEndSeekAllowed = true;
    bool mbCollect = true;
    bool mbEcho = false;
};

} // namespace wvctools
