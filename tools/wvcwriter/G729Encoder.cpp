#include "G729Encoder.h"

#include "WvcFormat.h"

extern "C" {
#include <bcg729/encoder.h>
}

#include <algorithm>
#include <cstring>

namespace wvctools {

namespace {

constexpr int kFrameBytes = 10;

} // namespace

G729Encoder::G729Encoder(uint32_t inSamplesPerFrame)
    : mnSamplesPerFrame(inSamplesPerFrame), mpState(initBcg729EncoderChannel(0))
{
}

G729Encoder::~G729Encoder()
{
    if (mpState)
        closeBcg729EncoderChannel(mpState);
}

uint32_t G729Encoder::codecId() const
{
    return WVC::CODEC_G729;
}

int G729Encoder::encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                        std::string& irsError)
{
    if (!mpState) {
        irsError = "cannot create the G.729 encoder";
        return -1;
    }
    const int nFrames = static_cast<int>(mnSamplesPerFrame / kFrameSamples);
    if (nFrames * kFrameBytes > inCapacity) {
        irsError = "G729 frame does not fit the payload buffer";
        return -1;
    }
    int nWritten = 0;
    for (int nFrame = 0; nFrame < nFrames; ++nFrame) {
        // A short last frame is padded with silence.
        int16_t aSpeech[kFrameSamples] = {};
        const int nFirst = nFrame * static_cast<int>(kFrameSamples);
        const int nTake = std::max(0, std::min(static_cast<int>(kFrameSamples), inCount - nFirst));
        if (nTake > 0)
            std::memcpy(aSpeech, ipSamples + nFirst, static_cast<size_t>(nTake) * sizeof(int16_t));
        uint8_t nLength = 0;
        bcg729Encoder(mpState, aSpeech, ipOutput + nWritten, &nLength);
        nWritten += nLength;
    }
    return nWritten;
}

} // namespace wvctools
