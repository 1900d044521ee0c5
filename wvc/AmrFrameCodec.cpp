// Set-up, release and frame decoding of AMR and AMR-WB (opencore-amr).
#include "Decoder.h"

#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrwb/dec_if.h>

#include <cstring>

namespace WVC {

namespace {

// Speech bytes after the table-of-contents byte, by frame type (storage
// format); the library reads this many whatever the payload holds.
constexpr int kAmrSpeechBytes[16] = {12, 13, 15, 17, 19, 20, 26, 31, 5, 0, 0, 0, 0, 0, 0, 0};
constexpr int kAmrWbSpeechBytes[16] = {17, 23, 32, 36, 40, 46, 50, 58, 60, 5, 0, 0, 0, 0, 0, 0};
constexpr int kAmrSamples = 160;
constexpr int kAmrWbSamples = 320;
constexpr uint8_t kNoData = 0x7C; // frame type 15

} // namespace

void Decoder::setupAmr()
{
    for (int nChannel = 0; nChannel < 2; ++nChannel) {
        mbCodecMissingLogged[nChannel] = false;
        mpAmrState[nChannel] = mnCodecId == CODEC_AMR ? Decoder_Interface_init() : D_IF_init();
        if (!mpAmrState[nChannel])
            logParts(ERR, "Could not create ", codecName(mnCodecId), " decoder (stream: ", nChannel, ")");
    }
}

void Decoder::releaseAmr()
{
    for (void*& pState : mpAmrState) {
        if (!pState)
            continue;
        if (mnCodecId == CODEC_AMR)
            Decoder_Interface_exit(pState);
        else
            D_IF_exit(pState);
        pState = nullptr;
    }
}

int Decoder::decodeAmrFrame(int inChannel, int inLength)
{
    void* pState = mpAmrState[inChannel];
    if (!pState) {
        if (!mbCodecMissingLogged[inChannel])
            logParts(ERR, "No ", codecName(mnCodecId), " decoder (channel: ", inChannel, ")");
        mbCodecMissingLogged[inChannel] = true;
        return 0;
    }
    uint8_t* pFrame = maCodedFrame[inChannel];
    if (inLength == 0) {
        pFrame[0] = kNoData;
        inLength = 1;
    }
    const bool bWide = mnCodecId == CODEC_AMR_WB;
    const int nType = (pFrame[0] >> 3) & 0x0F;
    const int nNeeded = 1 + (bWide ? kAmrWbSpeechBytes : kAmrSpeechBytes)[nType];
    // The library trusts the frame type; a payload cut short would have it
    // decode stale bytes, so such a frame fails instead.
    if (inLength < nNeeded) {
        logParts(ERR, codecName(mnCodecId), " frame of ", inLength, " bytes is shorter than the ", nNeeded,
                 " bytes of its frame type ", nType, " (channel: ", inChannel, ")");
        return 0;
    }
    int16_t* pOutput = maDecoded[inChannel];
    if (bWide)
        D_IF_decode(pState, pFrame, pOutput, 0);
    else
        Decoder_Interface_Decode(pState, pFrame, pOutput, 0);
    // Samples the library does not write are silence, not an older frame.
    const int nWritten = bWide ? kAmrWbSamples : kAmrSamples;
    if (static_cast<int>(mnSamplesPerFrame) > nWritten)
        std::memset(pOutput + nWritten, 0, (mnSamplesPerFrame - nWritten) * sizeof(int16_t));
    return static_cast<int>(mnSamplesPerFrame);
}

} // namespace WVC
