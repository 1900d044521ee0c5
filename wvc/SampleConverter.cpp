#include "SampleConverter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/mathematics.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <cstring>
#include <vector>

namespace WVC {

SampleConverter::~SampleConverter()
{
    swr_free(&mpSwr);
}

void SampleConverter::reset()
{
    swr_free(&mpSwr);
    mnInFormat = -1;
    mbLeadIn = true;
}

int SampleConverter::copyS16(const AVFrame& irFrame, int16_t* ipOutput, int inCapacity) const
{
    const int nCount = irFrame.nb_samples;
    if (nCount > inCapacity)
        return kTooLarge;
    const int16_t* pIn = reinterpret_cast<const int16_t*>(irFrame.extended_data[0]);
    const int nStride = irFrame.format == AV_SAMPLE_FMT_S16 ? irFrame.ch_layout.nb_channels : 1;
    if (nStride == 1) {
        std::memcpy(ipOutput, pIn, static_cast<size_t>(nCount) * sizeof(int16_t));
    } else {
        for (int i = 0; i < nCount; ++i)
            ipOutput[i] = pIn[i * nStride];
    }
    return nCount;
}

bool SampleConverter::configure(const AVFrame& irFrame, int inOutRate)
{
    const int nChannels = irFrame.ch_layout.nb_channels;
    if (mpSwr && irFrame.format == mnInFormat && irFrame.sample_rate == mnInRate && nChannels == mnInChannels &&
        inOutRate == mnOutRate)
        return true;
    swr_free(&mpSwr);
    mnInFormat = -1;
    mbLeadIn = true;

    const auto eFormat = static_cast<AVSampleFormat>(irFrame.format);
    // Planar input is read from its first plane alone, as a mono stream;
    // packed input keeps its channels and a matrix picks channel 0.
    const bool bPlanar = av_sample_fmt_is_planar(eFormat) != 0;
    AVChannelLayout aMono = AV_CHANNEL_LAYOUT_MONO;
    AVChannelLayout aIn;
    av_channel_layout_default(&aIn, bPlanar ? 1 : nChannels);
    const int nResult = swr_alloc_set_opts2(&mpSwr, &aMono, AV_SAMPLE_FMT_S16, inOutRate, &aIn, eFormat,
                                            irFrame.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&aIn);
    if (nResult < 0 || !mpSwr)
        return false;
    if (!bPlanar && nChannels > 1) {
        std::vector<double> aMatrix(static_cast<size_t>(nChannels), 0.0);
        aMatrix[0] = 1.0;
        if (swr_set_matrix(mpSwr, aMatrix.data(), nChannels) < 0) {
            swr_free(&mpSwr);
            return false;
        }
    }
    if (swr_init(mpSwr) < 0) {
        swr_free(&mpSwr);
        return false;
    }
    mnInFormat = irFrame.format;
    mnInRate = irFrame.sample_rate;
    mnInChannels = nChannels;
    mnOutRate = inOutRate;
    return true;
}

int SampleConverter::convert(const AVFrame& irFrame, int inOutRate, int16_t* ipOutput, int inCapacity)
{
    if (irFrame.nb_samples <= 0 || irFrame.ch_layout.nb_channels <= 0 || irFrame.sample_rate <= 0 ||
        inOutRate <= 0)
        return kFailed;
    const bool bS16 = irFrame.format == AV_SAMPLE_FMT_S16 || irFrame.format == AV_SAMPLE_FMT_S16P;
    if (bS16 && irFrame.sample_rate == inOutRate && !mpSwr)
        return copyS16(irFrame, ipOutput, inCapacity);

    if (!configure(irFrame, inOutRate))
        return kFailed;
    // Count the frame would give without the resampler's hold-back.
    const int64_t nExpected = av_rescale(irFrame.nb_samples, inOutRate, irFrame.sample_rate);
    const int nBound = swr_get_out_samples(mpSwr, irFrame.nb_samples);
    if (nBound < 0 || nBound > inCapacity || nExpected > inCapacity)
        return kTooLarge;
    uint8_t* aOut[1] = {reinterpret_cast<uint8_t*>(ipOutput)};
    const uint8_t* aIn[1] = {irFrame.extended_data[0]};
    const uint8_t** pIn = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(irFrame.format))
                              ? aIn
                              : const_cast<const uint8_t**>(irFrame.extended_data);
    int nCount = swr_convert(mpSwr, aOut, inCapacity, pIn, irFrame.nb_samples);
    if (nCount < 0)
        return kFailed;
    // The resampler holds back the length of its filter on the first frame;
    // that lead-in goes in front as silence so the stream keeps its timing
    // and every later frame comes out whole.
    if (mbLeadIn) {
        mbLeadIn = false;
        if (nCount < nExpected) {
            const int nLead = static_cast<int>(nExpected) - nCount;
            std::memmove(ipOutput + nLead, ipOutput, static_cast<size_t>(nCount) * sizeof(int16_t));
            std::memset(ipOutput, 0, static_cast<size_t>(nLead) * sizeof(int16_t));
            nCount = static_cast<int>(nExpected);
        }
    }
    return nCount;
}

} // namespace WVC
