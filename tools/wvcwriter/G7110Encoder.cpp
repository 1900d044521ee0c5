#include "G7110Encoder.h"

#include "G711.h"
#include "G7110Writer.h"
#include "WvcFormat.h"

#include <vector>

namespace wvctools {

G7110Encoder::G7110Encoder(bool ibMuLaw, uint32_t inSamplesPerFrame)
    : mbMuLaw(ibMuLaw), mnSamplesPerFrame(inSamplesPerFrame)
{
}

uint32_t G7110Encoder::codecId() const
{
    return mbMuLaw ? WVC::CODEC_PCMU : WVC::CODEC_PCMA;
}

int G7110Encoder::encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                         std::string& irsError)
{
    // G.711.0 frames have fixed lengths: a short last frame is padded with
    // silence.
    const int nFrame = static_cast<int>(mnSamplesPerFrame) > inCount ? static_cast<int>(mnSamplesPerFrame) : inCount;
    std::vector<uint8_t> aSymbols(static_cast<size_t>(nFrame), mbMuLaw ? 0xFF : 0xD5);
    for (int i = 0; i < inCount; ++i)
        aSymbols[i] = mbMuLaw ? WVC::G711::linearToUlaw(ipSamples[i]) : WVC::G711::linearToAlaw(ipSamples[i]);
    const int nResult = g7110::encode(aSymbols.data(), nFrame, mbMuLaw ? 1 : 0, ipOutput, inCapacity);
    if (nResult < 0) {
        irsError = "G.711.0 encoding of a " + std::to_string(nFrame) + "-sample frame failed (" +
                   std::to_string(nResult) + ")";
        return -1;
    }
    return nResult;
}

} // namespace wvctools
