// Set-up, release and frame decoding of AMR and AMR-WB (opencore-amr).
#include "Decoder.h"

#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrwb/dec_if.h>

namespace WVC {

void Decoder::setupAmr()
{
    for (void*& pState : mpAmrState)
        pState = mnCodecId == CODEC_AMR ? Decoder_Interface_init() : D_IF_init();
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

// Frames of these codecs are not decoded yet: every frame fails cleanly.
int Decoder::decodeAmrFrame(int inChannel, int)
{
    logParts(ERR, "AMR decoding of ", codecName(mnCodecId), " frames is not available (channel: ", inChannel, ")");
    return 0;
}

} // namespace WVC
