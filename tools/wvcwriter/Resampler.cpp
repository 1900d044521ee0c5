#include "Resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

namespace wvctools {

bool resampleChannel(const std::vector<int16_t>& irIn, uint32_t inFromRate, uint32_t inToRate,
                     std::vector<int16_t>& irOut, std::string& irsError)
{
    if (inFromRate == 0 || inToRate == 0) {
        irsError = "cannot resample from or to 0 Hz";
        return false;
    }
    SwrContext* pSwr = nullptr;
    AVChannelLayout aMono = AV_CHANNEL_LAYOUT_MONO;
    if (swr_alloc_set_opts2(&pSwr, &aMono, AV_SAMPLE_FMT_S16, static_cast<int>(inToRate), &aMono,
                            AV_SAMPLE_FMT_S16, static_cast<int>(inFromRate), 0, nullptr) < 0 ||
        swr_init(pSwr) < 0) {
        swr_free(&pSwr);
        irsError = "cannot set up resampling from " + std::to_string(inFromRate) + " to " +
                   std::to_string(inToRate) + " Hz";
        return false;
    }
    const int64_t nWanted = av_rescale(static_cast<int64_t>(irIn.size()), inToRate, inFromRate);
    irOut.assign(static_cast<size_t>(nWanted) + 256, 0);
    const uint8_t* aIn[1] = {reinterpret_cast<const uint8_t*>(irIn.data())};
    uint8_t* aOut[1] = {reinterpret_cast<uint8_t*>(irOut.data())};
    int nDone = swr_convert(pSwr, aOut, static_cast<int>(irOut.size()), aIn, static_cast<int>(irIn.size()));
    if (nDone >= 0) {
        // Drain what the filter holds back, so no audio is lost at the end.
        aOut[0] = reinterpret_cast<uint8_t*>(irOut.data() + nDone);
        const int nTail = swr_convert(pSwr, aOut, static_cast<int>(irOut.size()) - nDone, nullptr, 0);
        nDone = nTail < 0 ? nTail : nDone + nTail;
    }
    swr_free(&pSwr);
    if (nDone < 0) {
        irsError = "resampling failed";
        return false;
    }
    irOut.resize(static_cast<size_t>(std::min<int64_t>(nDone, nWanted)));
    return true;
}

} // namespace wvctools
