#include "AmrNbEncoder.h"

#include "WvcFormat.h"

#include <opencore-amrnb/interf_enc.h>

#include <algorithm>
#include <cstring>

namespace wvctools {

namespace {

constexpr int kLargestFrame = 32; // 12.2 kbit/s with its table-of-contents byte

} // namespace

AmrNbEncoder::AmrNbEncoder() : mpState(Encoder_Interface_init(0))
{
}

AmrNbEncoder::~AmrNbEncoder()
{
    if (mpState)
        Encoder_Interface_exit(mpState);
}

uint32_t AmrNbEncoder::codecId() const
{
    return WVC::CODEC_AMR;
}

int AmrNbEncoder::encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                         std::string& irsError)
{
    if (!mpState) {
        irsError = "cannot create the AMR encoder";
        return -1;
    }
    if (inCapacity < kLargestFrame) {
        irsError = "AMR frame does not fit the payload buffer";
        return -1;
    }
    short aSpeech[kFrameSamples] = {};
    std::memcpy(aSpeech, ipSamples, std::min<size_t>(inCount, kFrameSamples) * sizeof(short));
    const int nBytes = Encoder_Interface_Encode(mpState, MR122, aSpeech, ipOutput, 0);
    if (nBytes <= 0) {
        irsError = "AMR encoder failed";
        return -1;
    }
    return nBytes;
}

} // namespace wvctools
