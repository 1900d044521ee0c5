#include "FrameEncoder.h"

#include "AmrNbEncoder.h"
#include "AmrWbEncoder.h"
#include "G7110Encoder.h"
#include "G729Encoder.h"
#include "LavcEncoder.h"
#include "Pcm16Encoder.h"
#include "WvcFormat.h"

namespace wvctools {

namespace {

// 0 where the codec takes any rate.
uint32_t fixedRate(int inCodec)
{
    switch (inCodec) {
    case WVC::CODEC_G722:
    case WVC::CODEC_AMR_WB:
        return 16000;
    case WVC::CODEC_AMR:
    case WVC::CODEC_G723:
    case WVC::CODEC_G729:
    case WVC::CODEC_GSM:
        return 8000;
    default:
        return 0;
    }
}

bool isOpusRate(uint32_t inRate)
{
    return inRate == 8000 || inRate == 12000 || inRate == 16000 || inRate == 24000 || inRate == 48000;
}

} // namespace

uint32_t encoderSampleRate(const std::string& isCodecName, uint32_t inInputRate)
{
    const int nCodec = WVC::codecIdFromName(isCodecName.c_str());
    if (fixedRate(nCodec) != 0)
        return fixedRate(nCodec);
    if (nCodec == WVC::CODEC_OPUS && !isOpusRate(inInputRate))
        return 48000;
    return inInputRate;
}

uint32_t defaultSamplesPerFrame(const std::string& isCodecName, uint32_t inSampleRate)
{
    const uint32_t nFrame = WVC::codecIdFromName(isCodecName.c_str()) == WVC::CODEC_G723 ? inSampleRate * 3 / 100
                                                                                          : inSampleRate / 50;
    return nFrame > 0 ? nFrame : 1;
}

std::unique_ptr<FrameEncoder> makeFrameEncoder(const std::string& isCodecName, uint32_t inSampleRate,
                                               uint32_t inSamplesPerFrame, std::string& irsError)
{
    const int nCodec = WVC::codecIdFromName(isCodecName.c_str());
    if (nCodec == -1) {
        irsError = "unknown codec: " + isCodecName;
        return nullptr;
    }
    const std::string sName = WVC::codecName(static_cast<uint32_t>(nCodec));
    const uint32_t nFixed = fixedRate(nCodec);
    if (nFixed != 0 && inSampleRate != nFixed) {
        irsError = sName + " encodes at " + std::to_string(nFixed) + " Hz only, not " +
                   std::to_string(inSampleRate) + " Hz: resample the input";
        return nullptr;
    }
    auto frameSize = [&](uint32_t inSamples) {
        if (inSamplesPerFrame == inSamples)
            return true;
        irsError = sName + " frames hold " + std::to_string(inSamples) + " samples, not " +
                   std::to_string(inSamplesPerFrame);
        return false;
    };
    switch (nCodec) {
    case WVC::CODEC_PCM16:
        return std::make_unique<Pcm16Encoder>();
    case WVC::CODEC_PCMA:
    case WVC::CODEC_PCMU:
        return std::make_unique<G7110Encoder>(nCodec == WVC::CODEC_PCMU, inSamplesPerFrame);
    case WVC::CODEC_AMR:
        if (!frameSize(AmrNbEncoder::kFrameSamples))
            return nullptr;
        return std::make_unique<AmrNbEncoder>();
    case WVC::CODEC_AMR_WB:
        if (!frameSize(AmrWbEncoder::kFrameSamples))
            return nullptr;
        return std::make_unique<AmrWbEncoder>();
    case WVC::CODEC_G729:
        if (inSamplesPerFrame == 0 || inSamplesPerFrame % G729Encoder::kFrameSamples != 0) {
            irsError = "G729 frames hold 80 samples: samples per frame must be a multiple of that";
            return nullptr;
        }
        return std::make_unique<G729Encoder>(inSamplesPerFrame);
    default:
        return LavcEncoder::create(static_cast<uint32_t>(nCodec), inSampleRate, inSamplesPerFrame, irsError);
    }
}

std::unique_ptr<FrameEncoder> makeFrameEncoder(const std::string& isCodecName, uint32_t inSamplesPerFrame,
                                               std::string& irsError)
{
    return makeFrameEncoder(isCodecName, encoderSampleRate(isCodecName, 8000), inSamplesPerFrame, irsError);
}

} // namespace wvctools
