#include "LavcEncoder.h"

#include "WvcFormat.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cstring>

namespace wvctools {

namespace {

struct LavcCodec
{
    const char* pEncoder;
    int64_t nBitRate;
};

LavcCodec lavcCodec(uint32_t inCodecId)
{
    switch (inCodecId) {
    case WVC::CODEC_OPUS: return {"libopus", 24000};
    case WVC::CODEC_G722: return {"g722", 64000};
    case WVC::CODEC_G723: return {"g723_1", 6300};
    case WVC::CODEC_GSM: return {"libgsm", 13000};
    default: return {nullptr, 0};
    }
}

std::string avError(int inError)
{
    char aText[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(inError, aText, sizeof(aText));
    return aText;
}

} // namespace

LavcEncoder::LavcEncoder(uint32_t inCodecId, uint32_t inSamplesPerFrame)
    : mnCodecId(inCodecId), mnSamplesPerFrame(inSamplesPerFrame)
{
}

LavcEncoder::~LavcEncoder()
{
    // Drained so that encoders with look-ahead close without complaint; a
    // recording ends with its last whole frame.
    if (mpContext && mpPacket && avcodec_is_open(mpContext) && avcodec_send_frame(mpContext, nullptr) == 0) {
        while (avcodec_receive_packet(mpContext, mpPacket) == 0)
            av_packet_unref(mpPacket);
    }
    av_packet_free(&mpPacket);
    av_frame_free(&mpFrame);
    avcodec_free_context(&mpContext);
}

std::unique_ptr<LavcEncoder> LavcEncoder::create(uint32_t inCodecId, uint32_t inSampleRate,
                                                 uint32_t inSamplesPerFrame, std::string& irsError)
{
    std::unique_ptr<LavcEncoder> pEncoder(new LavcEncoder(inCodecId, inSamplesPerFrame));
    if (!pEncoder->open(inSampleRate, irsError))
        return nullptr;
    return pEncoder;
}

bool LavcEncoder::open(uint32_t inSampleRate, std::string& irsError)
{
    const std::string sName = WVC::codecName(mnCodecId);
    const LavcCodec aCodec = lavcCodec(mnCodecId);
    const AVCodec* pCodec = aCodec.pEncoder ? avcodec_find_encoder_by_name(aCodec.pEncoder) : nullptr;
    if (!pCodec) {
        irsError = "libavcodec has no " + sName + " encoder" +
                   (aCodec.pEncoder ? std::string(" (") + aCodec.pEncoder + ")" : std::string());
        return false;
    }
    mpContext = avcodec_alloc_context3(pCodec);
    mpFrame = av_frame_alloc();
    mpPacket = av_packet_alloc();
    if (!mpContext || !mpFrame || !mpPacket) {
        irsError = "out of memory for the " + sName + " encoder";
        return false;
    }
    mpContext->sample_rate = static_cast<int>(inSampleRate);
    mpContext->sample_fmt = AV_SAMPLE_FMT_S16;
    mpContext->bit_rate = aCodec.nBitRate;
    av_channel_layout_default(&mpContext->ch_layout, 1);
    mpContext->time_base = AVRational{1, static_cast<int>(inSampleRate)};
    // Opus and G.722 take the WVC frame as their own; the others fix theirs.
    mpContext->frame_size = static_cast<int>(mnSamplesPerFrame);
    // libopus takes its frame length from an option of its own, in ms.
    AVDictionary* pOptions = nullptr;
    if (mnCodecId == WVC::CODEC_OPUS)
        av_dict_set(&pOptions, "frame_duration", std::to_string(1000.0 * mnSamplesPerFrame / inSampleRate).c_str(), 0);
    const int nOpen = avcodec_open2(mpContext, pCodec, &pOptions);
    av_dict_free(&pOptions);
    if (nOpen < 0) {
        irsError = sName + " encoder refuses " + std::to_string(inSampleRate) + " Hz with " +
                   std::to_string(mnSamplesPerFrame) + " samples per frame: " + avError(nOpen);
        if (mnCodecId == WVC::CODEC_OPUS)
            irsError += " (Opus takes 8000, 12000, 16000, 24000 or 48000 Hz and frames of 2.5, 5, 10, 20, 40 or 60 ms)";
        return false;
    }
    mnSubFrame = mpContext->frame_size > 0 ? mpContext->frame_size : static_cast<int>(mnSamplesPerFrame);
    if (mnSamplesPerFrame % static_cast<uint32_t>(mnSubFrame) != 0) {
        irsError = sName + " frames hold " + std::to_string(mnSubFrame) +
                   " samples: samples per frame must be a multiple of that";
        return false;
    }
    mpFrame->format = AV_SAMPLE_FMT_S16;
    mpFrame->sample_rate = mpContext->sample_rate;
    mpFrame->nb_samples = mnSubFrame;
    av_channel_layout_default(&mpFrame->ch_layout, 1);
    const int nBuffer = av_frame_get_buffer(mpFrame, 0);
    if (nBuffer < 0) {
        irsError = "cannot allocate a " + sName + " frame: " + avError(nBuffer);
        return false;
    }
    return true;
}

uint32_t LavcEncoder::codecId() const
{
    return mnCodecId;
}

int LavcEncoder::encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
                        std::string& irsError)
{
    const std::string sName = WVC::codecName(mnCodecId);
    int nWritten = 0;
    // A short last frame is padded with silence.
    for (uint32_t nFirst = 0; nFirst < mnSamplesPerFrame; nFirst += static_cast<uint32_t>(mnSubFrame)) {
        const int nMade = av_frame_make_writable(mpFrame);
        if (nMade < 0) {
            irsError = sName + " encoder: " + avError(nMade);
            return -1;
        }
        int16_t* pFrame = reinterpret_cast<int16_t*>(mpFrame->data[0]);
        const int nTake = std::max(0, std::min(mnSubFrame, inCount - static_cast<int>(nFirst)));
        if (nTake > 0)
            std::memcpy(pFrame, ipSamples + nFirst, static_cast<size_t>(nTake) * sizeof(int16_t));
        std::memset(pFrame + nTake, 0, static_cast<size_t>(mnSubFrame - nTake) * sizeof(int16_t));
        mpFrame->pts = mnPts;
        mnPts += mnSubFrame;
        const int nSent = avcodec_send_frame(mpContext, mpFrame);
        if (nSent < 0) {
            irsError = sName + " encoder: " + avError(nSent);
            return -1;
        }
        int nReceived;
        while ((nReceived = avcodec_receive_packet(mpContext, mpPacket)) == 0) {
            if (mpPacket->size > inCapacity - nWritten) {
                av_packet_unref(mpPacket);
                irsError = sName + " frame does not fit the payload buffer";
                return -1;
            }
            std::memcpy(ipOutput + nWritten, mpPacket->data, static_cast<size_t>(mpPacket->size));
            nWritten += mpPacket->size;
            av_packet_unref(mpPacket);
        }
        if (nReceived != AVERROR(EAGAIN)) {
            irsError = sName + " encoder: " + avError(nReceived);
            return -1;
        }
    }
    return nWritten;
}

} // namespace wvctools
