// Set-up, release and frame decoding of the codecs that libavcodec decodes
// (Opus, G.722, G.723.1, G.729, GSM).
#include "Decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

namespace WVC {

namespace {

AVCodecID avCodecId(uint32_t inCodecId)
{
    switch (inCodecId) {
    case CODEC_OPUS: return AV_CODEC_ID_OPUS;
    case CODEC_G722: return AV_CODEC_ID_ADPCM_G722;
    case CODEC_G723: return AV_CODEC_ID_G723_1;
    case CODEC_G729: return AV_CODEC_ID_G729;
    case CODEC_GSM: return AV_CODEC_ID_GSM;
    default: return AV_CODEC_ID_NONE;
    }
}

int64_t avSampleRate(uint32_t inCodecId, uint32_t inHeaderRate)
{
    switch (inCodecId) {
    case CODEC_OPUS: return inHeaderRate;
    case CODEC_G722: return 16000;
    default: return 8000;
    }
}

} // namespace

void Decoder::setupFfmpeg()
{
    for (int nChannel = 0; nChannel < 2; ++nChannel) {
        if (mnCodecId != CODEC_OPUS)
            av_dict_set_int(&mpAvOptions, "ac", 1, 0);
        av_dict_set_int(&mpAvOptions, "ar", avSampleRate(mnCodecId, mnSampleRate), 0);
        mpAvCodec[nChannel] = avcodec_find_decoder(avCodecId(mnCodecId));
        mpAvContext[nChannel] = mpAvCodec[nChannel] ? avcodec_alloc_context3(mpAvCodec[nChannel]) : nullptr;
        if (!mpAvContext[nChannel]) {
            logParts(ERR, "could not allocate ffmpeg codec context (stream: ", nChannel, ")");
            continue;
        }
        if (avcodec_open2(mpAvContext[nChannel], mpAvCodec[nChannel], &mpAvOptions) < 0) {
            logParts(ERR, "Could not open ffmpeg codec (stream: ", nChannel, ")");
            avcodec_free_context(&mpAvContext[nChannel]);
            continue;
        }
        mpAvPacket[nChannel] = av_packet_alloc();
        if (!mpAvPacket[nChannel])
            logParts(ERR, "Could not allocate ffmpeg audio packet (stream: ", nChannel, ")");
        mpAvFrame[nChannel] = av_frame_alloc();
        if (!mpAvFrame[nChannel])
            logParts(ERR, "Could not allocate ffmpeg audio frame (stream: ", nChannel, ")");
    }
}

void Decoder::releaseFfmpeg()
{
    for (int nChannel = 0; nChannel < 2; ++nChannel) {
        av_packet_free(&mpAvPacket[nChannel]);
        av_frame_free(&mpAvFrame[nChannel]);
        avcodec_free_context(&mpAvContext[nChannel]);
        mpAvCodec[nChannel] = nullptr;
    }
    av_dict_free(&mpAvOptions);
}

// Frames of these codecs are not decoded yet: every frame fails cleanly.
int Decoder::decodeFfmpegFrame(int inChannel, int)
{
    logParts(ERR, "ffmpeg decoding of ", codecName(mnCodecId), " frames is not available (channel: ", inChannel,
             ")");
    return 0;
}

} // namespace WVC
