// Set-up, release and frame decoding of the codecs that libavcodec decodes
// (Opus, G.722, G.723.1, G.729, GSM).
#include "Decoder.h"
#include "SampleConverter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

#include <cerrno>
#include <cstring>

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

// Each channel of a WVC file is a mono Opus stream without pre-skip. Told
// so, as an Ogg Opus header would, the decoder synthesises one channel
// instead of its default two.
void describeMonoOpus(AVCodecContext* ipContext, uint32_t inSampleRate)
{
    constexpr int kHeadSize = 19;
    auto* pHead = static_cast<uint8_t*>(av_mallocz(kHeadSize + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!pHead)
        return; // the decoder then takes its default layout
    std::memcpy(pHead, "OpusHead", 8);
    pHead[8] = 1; // version
    pHead[9] = 1; // channels
    for (int i = 0; i < 4; ++i)
        pHead[12 + i] = static_cast<uint8_t>(inSampleRate >> (8 * i));
    ipContext->extradata = pHead;
    ipContext->extradata_size = kHeadSize;
}

} // namespace

void Decoder::setupFfmpeg()
{
    for (int nChannel = 0; nChannel < 2; ++nChannel) {
        mbCodecMissingLogged[nChannel] = false;
        mpAvConverter[nChannel] = new SampleConverter();
        if (mnCodecId != CODEC_OPUS)
            av_dict_set_int(&mpAvOptions, "ac", 1, 0);
        av_dict_set_int(&mpAvOptions, "ar", avSampleRate(mnCodecId, mnSampleRate), 0);
        mpAvCodec[nChannel] = avcodec_find_decoder(avCodecId(mnCodecId));
        mpAvContext[nChannel] = mpAvCodec[nChannel] ? avcodec_alloc_context3(mpAvCodec[nChannel]) : nullptr;
        if (!mpAvContext[nChannel]) {
            logParts(ERR, "could not allocate ffmpeg codec context (stream: ", nChannel, ")");
            continue;
        }
        if (mnCodecId == CODEC_OPUS)
            describeMonoOpus(mpAvContext[nChannel], mnSampleRate);
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
        delete mpAvConverter[nChannel];
        mpAvConverter[nChannel] = nullptr;
    }
    av_dict_free(&mpAvOptions);
}

int Decoder::decodeFfmpegFrame(int inChannel, int inLength)
{
    AVCodecContext* pContext = mpAvContext[inChannel];
    AVPacket* pPacket = mpAvPacket[inChannel];
    AVFrame* pFrame = mpAvFrame[inChannel];
    if (!pContext || !pPacket || !pFrame || !mpAvConverter[inChannel]) {
        // Set-up already reported why; say once that the frames are lost.
        if (!mbCodecMissingLogged[inChannel])
            logParts(ERR, "No ffmpeg decoder for ", codecName(mnCodecId), " frames (channel: ", inChannel, ")");
        mbCodecMissingLogged[inChannel] = true;
        return 0;
    }
    // libavcodec takes a packet of size 0 for the end of the stream (or
    // refuses it): an empty payload is a frame without data, so nothing is
    // sent and the frame comes out as silence.
    if (inLength > 0) {
        pPacket->data = maCodedFrame[inChannel];
        pPacket->size = inLength;
        const int nSent = avcodec_send_packet(pContext, pPacket);
        pPacket->data = nullptr;
        pPacket->size = 0;
        if (nSent < 0 && nSent != AVERROR(EAGAIN) && nSent != AVERROR_EOF) {
            // Decoders that decode on sending report a damaged frame here.
            logParts(ERR, "ffmpeg decoding error (channel: ", inChannel, ")");
            return 0;
        }
    }
    // Opus decodes at 48 kHz whatever it is asked; the others at their rate.
    const int nOutRate = static_cast<int>(mnCodecId == CODEC_OPUS ? mnSampleRate : pContext->sample_rate);
    int nTotal = 0;
    bool bFailed = false;
    for (;;) {
        const int nReceived = avcodec_receive_frame(pContext, pFrame);
        if (nReceived == AVERROR(EAGAIN))
            break;
        if (nReceived == AVERROR_EOF) {
            logParts(WRN, "ffmpeg EOF (channel: ", inChannel, ")");
            avcodec_flush_buffers(pContext);
            break;
        }
        if (nReceived < 0) {
            logParts(ERR, "ffmpeg decoding error (channel: ", inChannel, ")");
            bFailed = true;
            break;
        }
        if (!bFailed) {
            const int nCount = mpAvConverter[inChannel]->convert(*pFrame, nOutRate, maDecoded[inChannel] + nTotal,
                                                                 kMaxFrameSamples - nTotal);
            if (nCount == SampleConverter::kTooLarge) {
                logParts(ERR, "ffmpeg frame too large for buffer (channel: ", inChannel, ")");
                bFailed = true;
            } else if (nCount < 0) {
                logParts(ERR, "ffmpeg decoding error (channel: ", inChannel, ")");
                bFailed = true;
            } else {
                nTotal += nCount;
            }
        }
        // Frames after a failure are drained so the next packet starts clean.
        av_frame_unref(pFrame);
    }
    if (bFailed)
        return 0;
    if (nTotal < static_cast<int>(mnSamplesPerFrame)) {
        std::memset(maDecoded[inChannel] + nTotal, 0, (mnSamplesPerFrame - nTotal) * sizeof(int16_t));
        nTotal = static_cast<int>(mnSamplesPerFrame);
    }
    return nTotal;
}

} // namespace WVC
