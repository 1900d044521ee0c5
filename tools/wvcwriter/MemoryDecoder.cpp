#include "MemoryDecoder.h"

#include <cstring>

namespace wvctools {

MemoryDecoder::MemoryDecoder(std::vector<uint8_t> iaBytes) : maBytes(std::move(iaBytes)) {}

void MemoryDecoder::setBytes(std::vector<uint8_t> iaBytes)
{
    maBytes = std::move(iaBytes);
    mnPosition = 0;
}

void MemoryDecoder::log(int32_t inLevel, const std::string& isMessage)
{
    aLog.emplace_back(inLevel, isMessage);
    if (mbEcho)
        WVC::Decoder::log(inLevel, isMessage);
}

int MemoryDecoder::pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                               int inRightCount)
{
    ++nPcmFrames;
    nPcmSamples += static_cast<uint64_t>(inLeftCount);
    if (mbCollect) {
        aPositions.push_back(inPosition);
        aLeft.insert(aLeft.end(), ipLeft, ipLeft + inLeftCount);
        if (channelCount() > 1) {
            // A failed right frame is silence, so the channels stay aligned.
            const int nRight = inRightCount < inLeftCount ? inRightCount : inLeftCount;
            aRight.insert(aRight.end(), ipRight, ipRight + nRight);
            aRight.insert(aRight.end(), static_cast<size_t>(inLeftCount - nRight), 0);
        }
    }
    if (nStopAfterFrames >= 0 && nPcmFrames >= static_cast<uint64_t>(nStopAfterFrames))
        return WVC::WVC_OK;
    return WVC::WVC_MORE_DATA;
}

int MemoryDecoder::g711Callback(int64_t, const uint8_t* ipLeft, int inLeftCount, const uint8_t*, int)
{
    if (mbCollect)
        aG711Left.insert(aG711Left.end(), ipLeft, ipLeft + inLeftCount);
    return WVC::WVC_MORE_DATA;
}

int MemoryDecoder::levelCallback(int64_t inPosition, const uint8_t* ipLevels, int inCount)
{
    aLevelPositions.push_back(inPosition);
    if (mbCollect && inCount > 0)
        aLevels.insert(aLevels.end(), ipLevels, ipLevels + inCount);
    return WVC::WVC_MORE_DATA;
}

int MemoryDecoder::readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead)
{
    irnBytesRead = 0;
    if (mnPosition >= maBytes.size())
        return WVC::WVC_END_OF_FILE;
    size_t nCount = std::min<size_t>(inLength, maBytes.size() - mnPosition);
    bool bPartial = false;
    if (mnReadPiece > 0 && nCount > mnReadPiece) {
        nCount = mnReadPiece;
        bPartial = true;
    }
    std::memcpy(ipBuffer, maBytes.data() + mnPosition, nCount);
    mnPosition += nCount;
    irnBytesRead = static_cast<uint32_t>(nCount);
    return bPartial ? 1 : 0;
}

int MemoryDecoder::seekCallback(int64_t inOffset, int inOrigin)
{
    int64_t nTarget;
    if (inOrigin == 0)
        nTarget = inOffset;
    else if (inOrigin == 2 && mbEndSeekAllowed)
        nTarget = static_cast<int64_t>(maBytes.size()) + inOffset;
    else
        return WVC::WVC_SEEK_ERROR;
    if (nTarget < 0 || nTarget > static_cast<int64_t>(maBytes.size()))
        return WVC::WVC_SEEK_ERROR;
    mnPosition = static_cast<size_t>(nTarget);
    return WVC::WVC_OK;
}

void MemoryDecoder::metadataCallback(const std::string& irsKey)
{
    aMetadataKeys.push_back(irsKey);
}

int MemoryDecoder::countLog(const std::string& isText) const
{
    int nCount = 0;
    for (const auto& rLine : aLog)
        nCount += rLine.second.find(isText) != std::string::npos ? 1 : 0;
    return nCount;
}

std::string MemoryDecoder::lastError() const
{
    for (auto it = aLog.rbegin(); it != aLog.rend(); ++it) {
        if (it->first >= WVC::WvcLogger::ERR)
            return it->second;
    }
    return std::string();
}

} // namespace wvctools
