#include "Decoder.h"

#include "Amplify.h"
#include "BiquadFilter.h"
#include "WvcCipher.h"

#include <cstring>

namespace WVC {

namespace {

// Result of the decode steps of a decoder that was never opened (or closed).
constexpr int kNotOpen = WVC_ERROR;

} // namespace

Decoder::Decoder()
    : mpAmplify{nullptr, nullptr}, mpNotch{nullptr, nullptr}, mpAmrState{nullptr, nullptr}, mpAvOptions(nullptr),
      mpAvCodec{nullptr, nullptr}, mpAvContext{nullptr, nullptr}, mpAvFrame{nullptr, nullptr},
      mpAvPacket{nullptr, nullptr}, mpPlainFrame(new uint8_t[kMaxPcm16FrameBytes]), mnOpenResult(kNotOpen),
      mbOggReady(false)
{
    std::memset(&maSync, 0, sizeof(maSync));
    std::memset(maStreams, 0, sizeof(maStreams));
    std::memset(maCodecInput, 0, sizeof(maCodecInput));
    std::memset(maCodedFrame, 0, sizeof(maCodedFrame));
    std::memset(maDecoded, 0, sizeof(maDecoded));
    std::memset(maG711, 0, sizeof(maG711));
    std::memset(maPcm, 0, sizeof(maPcm));
    std::memset(maWork, 0, sizeof(maWork));
    reset();
}

Decoder::~Decoder()
{
    releaseCodecs();
    releaseEffects(false);
    clearOgg();
}

void Decoder::reset()
{
    releaseCodecs();
    releaseEffects(false);
    metadata.clear();
    mnAudioStart = 0;
    mbPasswordGiven = false;
    msPassword.clear();
    mnVersion = 0;
    mnEncryption = 0;
    mnCodecId = 0;
    mnSampleRate = 8000;
    mnSamplesPerFrame = 160;
    mnFrameDuration = 0;
    mnChannels = 1;
    mnFileSize = 0;
    std::memset(maIv, 0, sizeof(maIv));
    std::memset(maSalt, 0, sizeof(maSalt));
    std::memset(maKey, 0, sizeof(maKey));
    mnDuration = 0;
    mnSeekTarget = 0;
    mnZoomStart = 0;
    mnZoomEnd = 0;
    mnSeekIterations = 0;
    mnSeekBytePosition = 0;
    mnBytesFed = 0;
    mbSeeking = false;
    mbLevelBeforeLeft = false;
    mbSeekUndecided = false;
    mnSeekBackSteps = 0;
    mbLeftSynchronised = true;
    mbZoomActive = false;
    mnNotchFrequency = 320;
    mfNotchQ = 0.5f;
    mbEffectsEnabled = false;
    maPeak[0] = maPeak[1] = 0;
    mpCipher.reset();
}

int Decoder::reservedOperation()
{
    return WVC_NOT_SUPPORTED;
}

// ---- default callbacks ----

int Decoder::g711Callback(int64_t, const uint8_t*, int, const uint8_t*, int)
{
    return WVC_MORE_DATA;
}

int Decoder::pcmCallback(int64_t, const int16_t*, int, const int16_t*, int)
{
    return WVC_MORE_DATA;
}

int Decoder::frameCallback(int64_t, const uint8_t*, int, const uint8_t*, int)
{
    return WVC_MORE_DATA;
}

int Decoder::levelCallback(int64_t, const uint8_t*, int)
{
    return WVC_MORE_DATA;
}

int Decoder::readCallback(uint8_t*, uint32_t, uint32_t& irnBytesRead)
{
    irnBytesRead = 0;
    return WVC_READ_ERROR;
}

int Decoder::seekCallback(int64_t, int)
{
    return WVC_SEEK_ERROR;
}

void Decoder::pageCallback(const ogg_page&) {}

void Decoder::headerCallback() {}

void Decoder::metadataCallback(const std::string&) {}

// ---- configuration ----

void Decoder::setPassword(const std::string& isPassword)
{
    mbPasswordGiven = true;
    msPassword = isPassword;
}

void Decoder::setAmplify(int inChannel, float inRatio)
{
    if (inChannel < 0 || inChannel > 1) {
        logParts(ERR, "Invalid channel for amplify: ", inChannel);
        return;
    }
    delete mpAmplify[inChannel];
    mpAmplify[inChannel] = new Amplify();
    mpAmplify[inChannel]->setRatio(inRatio);
    mbEffectsEnabled = true;
    logParts(INF, "Set amplify ratio for channel ", inChannel, " to ", inRatio);
}

void Decoder::setNotchFilter(uint32_t inFrequency, float inQ)
{
    mnNotchFrequency = inFrequency;
    mfNotchQ = inQ;
    mbEffectsEnabled = true;
    for (BiquadFilter*& pFilter : mpNotch) {
        delete pFilter;
        pFilter = new BiquadFilter();
    }
    logParts(INF, "Set notch filter with frequency ", inFrequency, " and Q factor ", inQ);
}

void Decoder::setZoomSegment(int64_t inStartMs, int64_t inEndMs)
{
    mnZoomStart = inStartMs;
    mnZoomEnd = inEndMs;
    mbZoomActive = true;
    logParts(INF, "Set zoom segment: ", inStartMs, " ms to ", inEndMs, " ms");
}

// ---- Ogg state ----

void Decoder::resetOgg()
{
    ogg_sync_reset(&maSync);
    for (ogg_stream_state& rStream : maStreams)
        ogg_stream_reset(&rStream);
}

void Decoder::clearOgg()
{
    if (!mbOggReady)
        return;
    ogg_sync_clear(&maSync);
    for (ogg_stream_state& rStream : maStreams)
        ogg_stream_clear(&rStream);
    mbOggReady = false;
}

int Decoder::streamPacketOut(int inSerial, ogg_packet& irPacket, bool ibRetryOnGap)
{
    int nResult = ogg_stream_packetout(&stream(inSerial), &irPacket);
    if (nResult == -1 && ibRetryOnGap)
        nResult = ogg_stream_packetout(&stream(inSerial), &irPacket);
    return nResult;
}

int Decoder::readInto(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnRead)
{
    irnRead = 0;
    while (irnRead < inLength) {
        uint32_t nRead = 0;
        const int nResult = readCallback(ipBuffer + irnRead, inLength - irnRead, nRead);
        if (nResult != 0 && nResult != 1)
            return nResult == WVC_END_OF_FILE && irnRead > 0 ? 0 : nResult;
        // A source cannot deliver more than was asked for.
        irnRead += nRead < inLength - irnRead ? nRead : inLength - irnRead;
        if (nResult == 0 || nRead == 0)
            break;
    }
    // A read that yields nothing is the end of the data, whatever the source
    // says, so that no caller can loop on an empty source.
    return irnRead == 0 && inLength > 0 ? WVC_END_OF_FILE : 0;
}

// ---- open, header pages ----

int Decoder::open(uint64_t inFileSize, bool ibHeaderOnly)
{
    releaseCodecs();
    mnFileSize = inFileSize;
    if (!mbOggReady) {
        ogg_sync_init(&maSync);
        for (int i = 0; i < 4; ++i)
            ogg_stream_init(&maStreams[i], SERIAL_LEFT + i);
        mbOggReady = true;
    } else {
        resetOgg();
    }
    mnBytesFed = 0;

    const int nResult = readHeaderPages(ibHeaderOnly);
    headerCallback();

    if (nResult == WVC_OK) {
        switch (mnCodecId) {
        case CODEC_OPUS:
        case CODEC_G722:
        case CODEC_G723:
        case CODEC_G729:
        case CODEC_GSM:
            setupFfmpeg();
            break;
        case CODEC_AMR:
        case CODEC_AMR_WB:
            setupAmr();
            break;
        default:
            break;
        }
    }
    if (mpNotch[0] || mpNotch[1]) {
        const double fRatio = static_cast<double>(mnNotchFrequency) / mnSampleRate;
        logParts(DEB, "Initializing notch filter with frequency=", mnNotchFrequency, " and Q=", mfNotchQ,
                 " and ratio=", fRatio);
        for (BiquadFilter* pFilter : mpNotch) {
            if (pFilter)
                pFilter->setup(fRatio, mfNotchQ);
        }
    }
    mnOpenResult = nResult;
    return nResult;
}

int Decoder::close()
{
    releaseCodecs();
    releaseEffects(true);
    clearOgg();
    mnBytesFed = 0;
    mnFileSize = 0;
    mnOpenResult = kNotOpen;
    return WVC_OK;
}

int Decoder::decodeAll(bool ibLevelsOnly)
{
    if (mnOpenResult != WVC_OK)
        return mnOpenResult;
    if (mnZoomStart != 0) {
        const int nSeek = seek(mnZoomStart, true);
        if (nSeek != WVC_OK)
            return nSeek;
    }
    int nResult;
    while ((nResult = decodeChunk(ibLevelsOnly, kChunkSize)) == WVC_MORE_DATA) {
    }
    return nResult == WVC_END_OF_FILE ? WVC_OK : nResult;
}

void Decoder::releaseCodecs()
{
    releaseFfmpeg();
    releaseAmr();
}

void Decoder::releaseEffects(bool ibReportClipping)
{
    for (int i = 0; i < 2; ++i) {
        if (mpAmplify[i] && ibReportClipping && mpAmplify[i]->wasClipped())
            log(WRN, "Amplified audio was clipped");
        delete mpAmplify[i];
        mpAmplify[i] = nullptr;
        delete mpNotch[i];
        mpNotch[i] = nullptr;
    }
}

} // namespace WVC
