#pragma once
// Decoder of WVC voice containers. Owns no I/O: a subclass supplies the bytes
// through readCallback/seekCallback and takes PCM, G.711 bytes, coded frames
// and levels through the output callbacks. Not thread-safe; one owner thread.
#include "WvcFormat.h"
#include "WvcLogger.h"

#include <ogg/ogg.h>

#include <cstdint>
#include <map>
#include <memory>
#include <sstream>
#include <string>

struct AVCodec;
struct AVCodecContext;
struct AVDictionary;
struct AVFrame;
struct AVPacket;

namespace WVC {

class Amplify;
class BiquadFilter;
class SampleConverter;
class WvcCipher;

enum Status : int {
    WVC_MORE_DATA = 1,
    WVC_OK = 0,
    WVC_END_OF_FILE = -1,
    WVC_NOT_SUPPORTED = -3,
    WVC_ERROR = -5,
    WVC_BUFFER_TOO_SMALL = -6,
    WVC_SEEK_ERROR = -9,
    WVC_PASSWORD_ERROR = -10,
    WVC_READ_ERROR = -11
};

class Decoder : public WvcLogger
{
public:
    Decoder();
    ~Decoder() override;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    virtual int reservedOperation();
    // Reads the header pages and checks the password. Decode steps after a
    // failed open are refused with its result.
    virtual int open(uint64_t inFileSize, bool ibHeaderOnly);
    virtual int close();
    // Reads one chunk and processes every complete page: 1 to go on, -1 at
    // the end of data or of the zoom segment, other values stop.
    virtual int decodeChunk(bool ibLevelsOnly, uint32_t inChunkSize);
    // Decodes from the zoom start to the end; 0 at the end or when a
    // callback stopped it, the error otherwise.
    virtual int decodeAll(bool ibLevelsOnly);

    // Output callbacks: return 1 to go on; any other value ends the step.
    virtual int g711Callback(int64_t inPosition, const uint8_t* ipLeft, int inLeftCount, const uint8_t* ipRight,
                             int inRightCount);
    virtual int pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                            int inRightCount);
    virtual int frameCallback(int64_t inPosition, const uint8_t* ipLeft, int inLeftBytes, const uint8_t* ipRight,
                              int inRightBytes);
    virtual int levelCallback(int64_t inPosition, const uint8_t* ipLevels, int inCount);
    // Fill up to inLength bytes, store the count, return 0; -1 when no byte
    // is left; 1 for a partial read (called again for the rest).
    virtual int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead);
    // inOrigin 0: from the start of the WVC data; 2: from its end.
    virtual int seekCallback(int64_t inOffset, int inOrigin);
    virtual void pageCallback(const ogg_page& irPage);
    virtual void headerCallback();
    virtual void metadataCallback(const std::string& irsKey);

    void setPassword(const std::string& isPassword);
    void setAmplify(int inChannel, float inRatio);
    void setNotchFilter(uint32_t inFrequency, float inQ);
    void setZoomSegment(int64_t inStartMs, int64_t inEndMs);
    int seek(int64_t inOffsetMs, bool ibAbsolute);
    int64_t duration();
    void reset();

    // Read access for owners and tools.
    uint32_t version() const { return mnVersion; }
    uint32_t encryption() const { return mnEncryption; }
    uint32_t codecId() const { return mnCodecId; }
    uint32_t sampleRate() const { return mnSampleRate; }
    uint32_t samplesPerFrame() const { return mnSamplesPerFrame; }
    uint32_t frameDuration() const { return mnFrameDuration; }
    uint32_t channelCount() const { return mnChannels; }
    uint32_t audioStart() const { return mnAudioStart; }
    int64_t seekTarget() const { return mnSeekTarget; }
    int64_t seekBytePosition() const { return mnSeekBytePosition; }
    uint32_t seekIterations() const { return mnSeekIterations; }
    bool isSeeking() const { return mbSeeking; }

    std::map<std::string, std::string> metadata;

protected:
    uint32_t mnAudioStart;
    bool mbPasswordGiven;
    std::string msPassword;
    uint32_t mnVersion;
    uint32_t mnEncryption;
    uint32_t mnCodecId;
    uint32_t mnSampleRate;
    uint32_t mnSamplesPerFrame;
    uint32_t mnFrameDuration;
    uint32_t mnChannels;
    uint64_t mnFileSize;
    uint8_t maIv[16];
    uint8_t maSalt[16];
    uint8_t maKey[16];

    ogg_sync_state maSync;
    ogg_stream_state maStreams[4]; // serials 10, 11, 12, 13

    uint16_t maCodecInput[2][kMaxFrameSamples];
    uint8_t maCodedFrame[2][kMaxCodedFrameBytes];
    int16_t maDecoded[2][kDecodedCapacity];
    uint8_t maG711[2][kMaxFrameSamples];
    int16_t maPcm[2][kMaxFrameSamples];
    float maWork[2][kMaxFrameSamples];

    int64_t mnDuration;
    int64_t mnSeekTarget;
    int64_t mnZoomStart;
    int64_t mnZoomEnd;

    uint32_t mnSeekIterations;
    int64_t mnSeekBytePosition;
    uint64_t mnBytesFed;

    bool mbSeeking;
    bool mbLeftSynchronised;
    bool mbZoomActive;

    Amplify* mpAmplify[2];
    BiquadFilter* mpNotch[2];
    uint32_t mnNotchFrequency;
    float mfNotchQ;
    bool mbEffectsEnabled;
    uint8_t maPeak[2];

    std::ostringstream maMessage;

    // AMR (Decoder_Interface) or AMR-WB (D_IF) state per channel.
    void* mpAmrState[2];

    AVDictionary* mpAvOptions;
    const AVCodec* mpAvCodec[2];
    AVCodecContext* mpAvContext[2];
    AVFrame* mpAvFrame[2];
    AVPacket* mpAvPacket[2];
    // Per channel: hands decoded frames on as 16-bit mono at the wanted rate.
    SampleConverter* mpAvConverter[2] = {nullptr, nullptr};
    // Per channel: a channel without a decoder has said so once.
    bool mbCodecMissingLogged[2] = {false, false};

private:
    // Composes the parts into one message and hands it to log().
    template <typename... Parts>
    void logParts(int32_t inLevel, const Parts&... irParts)
    {
        maMessage.str(std::string());
        maMessage.clear();
        (maMessage << ... << irParts);
        log(inLevel, maMessage.str());
    }

    ogg_stream_state& stream(int inSerial) { return maStreams[inSerial - SERIAL_LEFT]; }
    int streamPacketOut(int inSerial, ogg_packet& irPacket, bool ibRetryOnGap);
    void resetOgg();
    void clearOgg();
    int readInto(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnRead);

    int readHeaderPages(bool ibHeaderOnly);
    int readHeaderPacket(bool ibHeaderOnly);
    int checkPassword();
    void readMetadataHeader();
    void readMetadataPair();
    void logHeaderSummary();

    int processPages(bool ibLevelsOnly);
    // Fast level scan: passes over the pages of other streams by their
    // length alone, sparing the checksum of pages it does not use. False
    // when the next page is not complete yet.
    bool skipChannelPages();
    int processLevelPage(const ogg_page& irPage);
    // While seeking: whether a left page ends the seek, moves it, or is
    // passed over until its group's level page shows where the target lies.
    int steerSeek(const ogg_page& irPage);
    int steerSeekAtLevelPage(const ogg_page& irPage);
    // A relative seek back by inBeforeMs and more than a group of inGroupMs.
    int stepBack(int64_t inBeforeMs, int64_t inGroupMs);
    void dropPackets(int inSerial, int inCount);
    // Fills a decoded frame shorter than the samples per frame up with
    // silence; irnCount becomes the samples per frame.
    void padFrame(int inChannel, int& irnCount);
    int computeDuration();

    // Frame decoding of one channel's packet; the sample count. A frame that
    // fails decodes as silence of the header's frame length, so that no later
    // sample moves in time; 0 only for an unknown codec. irnCodedBytes: the
    // payload length of a decoded frame, 0 for a failed one.
    int decodeFrame(int inChannel, const ogg_packet& irPacket, int& irnCodedBytes);
    // Deciphers and decodes the payload; the sample count, 0 on failure.
    int decodePayload(int inChannel, const ogg_packet& irPacket);
    int decodeG711Frame(int inChannel, int inLength);
    void convertFrame(int inChannel, int inCount, bool ibSilence);

    // Codec set-up, release and frame decoding of the library codecs.
    void setupFfmpeg();
    void releaseFfmpeg();
    int decodeFfmpegFrame(int inChannel, int inLength);
    void setupAmr();
    void releaseAmr();
    int decodeAmrFrame(int inChannel, int inLength);

    void releaseCodecs();
    void releaseEffects(bool ibReportClipping);

    std::unique_ptr<WvcCipher> mpCipher;
    std::unique_ptr<uint8_t[]> mpPlainFrame; // deciphered payload, largest frame size
    int mnOpenResult;
    bool mbOggReady;
    // Seek steering: a level page came after the last left page since the
    // seek landed (so the next left page starts a group); a left page was
    // passed over and its level page decides; steps back taken so far.
    bool mbLevelBeforeLeft = false;
    bool mbSeekUndecided = false;
    uint32_t mnSeekBackSteps = 0;
};

} // namespace WVC
