#include "WavFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace wvctools {

namespace {

uint32_t le32(const uint8_t* ipData)
{
    return ipData[0] | (ipData[1] << 8) | (ipData[2] << 16) | (static_cast<uint32_t>(ipData[3]) << 24);
}

uint16_t le16(const uint8_t* ipData)
{
    return static_cast<uint16_t>(ipData[0] | (ipData[1] << 8));
}

void put32(std::string& irsOut, uint32_t inValue)
{
    for (int i = 0; i < 4; ++i)
        irsOut.push_back(static_cast<char>(inValue >> (8 * i)));
}

void put16(std::string& irsOut, uint16_t inValue)
{
    irsOut.push_back(static_cast<char>(inValue));
    irsOut.push_back(static_cast<char>(inValue >> 8));
}

} // namespace

bool readWav(const std::string& isPath, WavData& irData, std::string& irsError)
{
    std::ifstream aIn(isPath, std::ios::binary);
    if (!aIn) {
        irsError = "cannot read " + isPath;
        return false;
    }
    const std::vector<uint8_t> aBytes((std::istreambuf_iterator<char>(aIn)), std::istreambuf_iterator<char>());
    if (aBytes.size() < 12 || std::memcmp(aBytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(aBytes.data() + 8, "WAVE", 4) != 0) {
        irsError = isPath + " is not a WAV file";
        return false;
    }
    bool bFormat = false;
    size_t nPos = 12;
    while (nPos + 8 <= aBytes.size()) {
        const uint8_t* pChunk = aBytes.data() + nPos;
        const uint32_t nSize = le32(pChunk + 4);
        const size_t nBody = nPos + 8;
        const size_t nAvailable = aBytes.size() - nBody;
        if (std::memcmp(pChunk, "fmt ", 4) == 0) {
            if (nSize < 16 || nAvailable < 16) {
                irsError = isPath + ": format chunk too short";
                return false;
            }
            const uint16_t nTag = le16(pChunk + 8);
            irData.nChannels = le16(pChunk + 10);
            irData.nSampleRate = le32(pChunk + 12);
            const uint16_t nBits = le16(pChunk + 22);
            if ((nTag != 1 && nTag != 0xFFFE) || nBits != 16) {
                irsError = isPath + ": only 16-bit PCM WAV files are supported";
                return false;
            }
            if (irData.nChannels != 1 && irData.nChannels != 2) {
                irsError = isPath + ": only mono or stereo WAV files are supported";
                return false;
            }
            bFormat = true;
        } else if (std::memcmp(pChunk, "data", 4) == 0) {
            if (!bFormat) {
                irsError = isPath + ": data chunk before format chunk";
                return false;
            }
            const size_t nData = nSize < nAvailable ? nSize : nAvailable; // tolerate a truncated file
            irData.aSamples.resize(nData / 2);
            for (size_t i = 0; i < irData.aSamples.size(); ++i)
                irData.aSamples[i] = static_cast<int16_t>(le16(aBytes.data() + nBody + 2 * i));
            irData.aSamples.resize(irData.aSamples.size() - irData.aSamples.size() % irData.nChannels);
            return true;
        }
        nPos = nBody + nSize + (nSize & 1);
    }
    irsError = isPath + ": no data chunk";
    return false;
}

bool writeWav(const std::string& isPath, const WavData& irData, std::string& irsError)
{
    const uint32_t nDataSize = static_cast<uint32_t>(irData.aSamples.size() * 2);
    std::string sOut = "RIFF";
    put32(sOut, nDataSize + 36);
    sOut += "WAVEfmt ";
    put32(sOut, 16);
    put16(sOut, 1);
    put16(sOut, irData.nChannels);
    put32(sOut, irData.nSampleRate);
    put32(sOut, irData.nSampleRate * irData.nChannels * 2);
    put16(sOut, static_cast<uint16_t>(irData.nChannels * 2));
    put16(sOut, 16);
    sOut += "data";
    put32(sOut, nDataSize);
    for (int16_t nSample : irData.aSamples)
        put16(sOut, static_cast<uint16_t>(nSample));
    std::ofstream aOut(isPath, std::ios::binary | std::ios::trunc);
    if (!aOut || !aOut.write(sOut.data(), static_cast<std::streamsize>(sOut.size()))) {
        irsError = "cannot write " + isPath;
        return false;
    }
    return true;
}

} // namespace wvctools
