#include "AmrWbEncoder.h"

#include "WvcFormat.h"

#include <vo-amrwbenc/enc_if.h>

#include <algorithm>
#include <cstring>

namespace wvctools {

namespace {

constexpr int kMode2385 = 8;
constexpr int kLargestFrame = 61; // 23.85 kbit/s with its table-of-contents byte

} // namespace

AmrWbEncoder::AmrWbEncoder() : mpState(E_IF_init())
{
}

AmrWbEncoder::~AmrWbEncoder()
{
    if (mpState)
        E_IF_exit(mpState);
}

uint32_t AmrWbEncoder::codecId() const
{
    return WVC::CODEC_AMR_WB;
}

int AmrWbEncoder::encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                         std::string& irsError)
{
    if (!mpState) {
        irsError = "cannot create the AMR-WB encoder";
        return -1;
    }
    if (inCapacity < kLargestFrame) {
        irsError = "AMR-WB frame does not fit the payload buffer";
        return -1;
    }
    short aSpeech[kFrameSamples] = {};
    std::memcpy(aSpeech, ipSamples, std::min<size_t>(inCount, kFrameSamples) * sizeof(short));
    const int nBytes = E_IF_encode(mpState, kMode2385, aSpeech, ipOutput, 0);
    if (nBytes <= 0) {
        irsError = "AMR-WB encoder failed";
        return -1;
    }
    return nBytes;
}

} // namespace wvctools
