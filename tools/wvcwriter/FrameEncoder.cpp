#include "FrameEncoder.h"

#include "G7110Encoder.h"
#include "Pcm16Encoder.h"
#include "WvcFormat.h"

namespace wvctools {

std::unique_ptr<FrameEncoder> makeFrameEncoder(const std::string& isCodecName, uint32_t inSamplesPerFrame,
                                               std::string& irsError)
{
    const int nCodec = WVC::codecIdFromName(isCodecName.c_str());
    switch (nCodec) {
    case WVC::CODEC_PCM16:
        return std::make_unique<Pcm16Encoder>();
    case WVC::CODEC_PCMA:
    case WVC::CODEC_PCMU:
        return std::make_unique<G7110Encoder>(nCodec == WVC::CODEC_PCMU, inSamplesPerFrame);
    case -1:
        irsError = "unknown codec: " + isCodecName;
        return nullptr;
    default:
        irsError = std::string("no encoder for codec ") + WVC::codecName(static_cast<uint32_t>(nCodec)) + " yet";
        return nullptr;
    }
}

} // namespace wvctools
