// Frame decoding of one channel: deciphering, codec, G.711 conversions,
// effects and peak level.
#include "Amplify.h"
#include "BiquadFilter.h"
#include "Decoder.h"
#include "G711.h"
#include "G7110Decoder.h"
#include "WvcCipher.h"

#include <cryptopp/cryptlib.h>

#include <cstring>

namespace WVC {

namespace {

long maxPayload(uint32_t inCodecId)
{
    switch (inCodecId) {
    case CODEC_PCMA:
    case CODEC_PCMU:
        return kMaxG711FrameBytes;
    case CODEC_PCM16:
        return kMaxPcm16FrameBytes;
    default:
        return kMaxCodedFrameBytes;
    }
}

} // namespace

int Decoder::decodeFrame(int inChannel, const ogg_packet& irPacket, int& irnCodedBytes)
{
    maPeak[inChannel] = 0;
    irnCodedBytes = 0;
    if (mnCodecId > CODEC_LAST)
        return 0;
    const int nCount = decodePayload(inChannel, irPacket);
    if (nCount <= 0) {
        // A frame that cannot be decoded keeps its place in time as a
        // frame of silence; dropping it would move every later sample of
        // this channel one frame early. The cause is already logged.
        convertFrame(inChannel, static_cast<int>(mnSamplesPerFrame), true);
        return static_cast<int>(mnSamplesPerFrame);
    }
    convertFrame(inChannel, nCount, false);
    irnCodedBytes = static_cast<int>(irPacket.bytes);
    return nCount;
}

int Decoder::decodePayload(int inChannel, const ogg_packet& irPacket)
{
    long nLength = irPacket.bytes;
    if (nLength > maxPayload(mnCodecId)) {
        logParts(ERR, "Frame packet of ", nLength, " bytes exceeds the ", maxPayload(mnCodecId),
                 " bytes of the codec buffer (channel: ", inChannel, ")");
        return 0;
    }
    const uint8_t* pPayload = irPacket.packet;
    if (mnEncryption == ENCRYPTION_AES && nLength > 0) {
        if (!mpCipher) {
            logParts(ERR, "No key to decipher frame (channel: ", inChannel, ")");
            return 0;
        }
        try {
            mpCipher->decipher(pPayload, mpPlainFrame.get(), static_cast<size_t>(nLength));
            pPayload = mpPlainFrame.get();
        } catch (const CryptoPP::Exception& rError) {
            logParts(ERR, "Crypto++ exception:", rError.what());
            nLength = 0;
        }
    }

    int nCount = 0;
    switch (mnCodecId) {
    case CODEC_PCMA:
    case CODEC_PCMU:
        for (long i = 0; i < nLength; ++i)
            maCodecInput[inChannel][i] = pPayload[i];
        nCount = decodeG711Frame(inChannel, static_cast<int>(nLength));
        break;
    case CODEC_PCM16:
        nCount = static_cast<int>(nLength / 2);
        for (int i = 0; i < nCount; ++i)
            maDecoded[inChannel][i] = static_cast<int16_t>(pPayload[2 * i] | (pPayload[2 * i + 1] << 8));
        if (nCount == 0)
            logParts(ERR, "Empty PCM16 frame (channel: ", inChannel, ")");
        break;
    case CODEC_AMR:
    case CODEC_AMR_WB:
        if (nLength > 0)
            std::memcpy(maCodedFrame[inChannel], pPayload, static_cast<size_t>(nLength));
        nCount = decodeAmrFrame(inChannel, static_cast<int>(nLength));
        break;
    default:
        if (nLength > 0)
            std::memcpy(maCodedFrame[inChannel], pPayload, static_cast<size_t>(nLength));
        nCount = decodeFfmpegFrame(inChannel, static_cast<int>(nLength));
        break;
    }
    if (nCount > kMaxFrameSamples) {
        logParts(ERR, "Decoded frame of ", nCount, " samples exceeds the buffer (channel: ", inChannel, ")");
        return 0;
    }
    return nCount;
}

int Decoder::decodeG711Frame(int inChannel, int inLength)
{
    int nLength = inLength;
    uint16_t* pOutput = reinterpret_cast<uint16_t*>(maDecoded[inChannel]);
    const int nResult = g7110::decode(maCodecInput[inChannel], &nLength, pOutput, g7110::kOutputCapacity,
                                      mnCodecId == CODEC_PCMU ? g7110::MuLaw : g7110::ALaw);
    if (nResult <= 0 || nResult > g7110::kOutputCapacity) {
        // Say which coding tool is missing, so that an unplayable file can be explained.
        if (nResult == g7110::kUnsupportedTool && g7110::lastUnsupportedTool())
            logParts(ERR, "G.711.0 coding tool not supported: ", g7110::lastUnsupportedTool());
        logParts(ERR, "g711 decode error: ", nResult);
        return 0;
    }
    return nResult;
}

void Decoder::convertFrame(int inChannel, int inCount, bool ibSilence)
{
    const int16_t* pDecoded = maDecoded[inChannel];
    uint8_t* pG711 = maG711[inChannel];
    int16_t* pPcm = maPcm[inChannel];

    if (ibSilence) {
        const uint8_t nZero = mnCodecId == CODEC_PCMU ? G711::linearToUlaw(0) : G711::linearToAlaw(0);
        std::memset(pPcm, 0, static_cast<size_t>(inCount) * sizeof(int16_t));
        std::memset(pG711, nZero, static_cast<size_t>(inCount));
    } else {
        switch (mnCodecId) {
        case CODEC_PCMA:
            for (int i = 0; i < inCount; ++i) {
                pG711[i] = static_cast<uint8_t>(pDecoded[i]);
                pPcm[i] = G711::alawToLinear(pG711[i]);
            }
            break;
        case CODEC_PCMU:
            for (int i = 0; i < inCount; ++i) {
                pG711[i] = static_cast<uint8_t>(pDecoded[i]);
                pPcm[i] = G711::ulawToLinear(pG711[i]);
            }
            break;
        default:
            for (int i = 0; i < inCount; ++i) {
                pPcm[i] = pDecoded[i];
                pG711[i] = G711::linearToAlaw(pDecoded[i]);
            }
            break;
        }
    }
    if (!mbEffectsEnabled)
        return;

    Amplify* pAmplify = mpAmplify[inChannel];
    BiquadFilter* pNotch = mpNotch[inChannel];
    if (pAmplify || pNotch) {
        int nArea = 0;
        AudioEffect::samplesToFloat(pPcm, maWork[nArea], inCount);
        if (pNotch) {
            pNotch->process(maWork[nArea], maWork[1 - nArea], inCount);
            nArea = 1 - nArea;
        }
        if (pAmplify) {
            pAmplify->process(maWork[nArea], maWork[1 - nArea], inCount);
            nArea = 1 - nArea;
        }
        AudioEffect::floatToSamples(maWork[nArea], pPcm, inCount);
        for (int i = 0; i < inCount; ++i)
            pG711[i] = mnCodecId == CODEC_PCMU ? G711::linearToUlaw(pPcm[i]) : G711::linearToAlaw(pPcm[i]);
    }
    // Peaks are taken on every channel once effects are on, so that a
    // channel without an effect of its own does not show as silent.
    int nPeak = 0;
    for (int i = 0; i < inCount; ++i) {
        const int nMagnitude = pPcm[i] < 0 ? -pPcm[i] : pPcm[i];
        if (nMagnitude > nPeak)
            nPeak = nMagnitude;
    }
    nPeak /= 128;
    maPeak[inChannel] = static_cast<uint8_t>(nPeak > 255 ? 255 : nPeak);
}

} // namespace WVC
