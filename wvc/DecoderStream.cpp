// Chunked reading, page demultiplexing, level pairing, seeking and duration.
#include "Decoder.h"
#include "G711.h"

#include <algorithm>
#include <cstring>

namespace WVC {

namespace {

// A channel or level stream holding more unpaired data than this is
// dropped: pairing can never catch up with it, and a hostile file must not
// make the decoder hold all of its bytes.
constexpr long kMaxPendingBytes = 1 << 20;

// Results of the seek steering besides those of seek(): the page ends the
// seek and is decoded, or it is passed over while the seek goes on.
constexpr int kSeekEnded = 100;
constexpr int kSeekPassOver = 101;

// Time in ms that a frame k places before the page granule, on 32 bits.
int64_t frameTime(int64_t inGranule, uint32_t inFramesBefore, uint32_t inFrameDuration)
{
    const uint32_t nLow = static_cast<uint32_t>(inGranule);
    return static_cast<uint32_t>(nLow - inFramesBefore * inFrameDuration);
}

int64_t clampToInt64(__int128 inValue)
{
    if (inValue > INT64_MAX)
        return INT64_MAX;
    if (inValue < INT64_MIN)
        return INT64_MIN;
    return static_cast<int64_t>(inValue);
}

} // namespace

int Decoder::decodeChunk(bool ibLevelsOnly, uint32_t inChunkSize)
{
    if (mnOpenResult != WVC_OK)
        return mnOpenResult;
    char* pBuffer = ogg_sync_buffer(&maSync, inChunkSize);
    uint32_t nRead = 0;
    const int nReadResult = pBuffer ? readInto(reinterpret_cast<uint8_t*>(pBuffer), inChunkSize, nRead) : 0;
    if (nReadResult != WVC_OK && nReadResult != WVC_END_OF_FILE) {
        logParts(ERR, "Cannot read chunk, error: ", nReadResult);
        return nReadResult;
    }
    if (!pBuffer || ogg_sync_wrote(&maSync, nRead) != 0) {
        log(ERR, "ERROR in ogg_sync_wrote");
        return WVC_ERROR;
    }
    mnBytesFed += nRead;

    const int nResult = processPages(ibLevelsOnly);
    if (nReadResult == WVC_OK || nResult != WVC_MORE_DATA)
        return nResult;
    if (!mbSeeking)
        return WVC_END_OF_FILE;
    // The seek overshot the end: step back, but not forever when no
    // left-channel page ever turns up to end the search.
    if (mnSeekIterations >= static_cast<uint32_t>(kSeekStepLimit)) {
        logParts(WRN, "stopping seek at end of data after ", mnSeekIterations, " iterations");
        mbSeeking = false;
        return WVC_END_OF_FILE;
    }
    const int nSeek = seek(-1000, false);
    return nSeek == WVC_OK ? nResult : nSeek;
}

int Decoder::processPages(bool ibLevelsOnly)
{
    const bool bFastScan = ibLevelsOnly && !mbEffectsEnabled && !mbZoomActive;
    ogg_page aPage;
    for (;;) {
        if (bFastScan && !skipChannelPages())
            return WVC_MORE_DATA;
        const int nPage = ogg_sync_pageout(&maSync, &aPage);
        if (nPage == 0)
            return WVC_MORE_DATA;
        if (nPage < 0)
            continue;
        pageCallback(aPage);
        const int nSerial = ogg_page_serialno(&aPage);
        if (bFastScan) {
            if (nSerial == SERIAL_LEVEL && mbLeftSynchronised && !ogg_page_bos(&aPage) && !ogg_page_eos(&aPage)) {
                const int64_t nPosition = static_cast<int64_t>(static_cast<uint32_t>(ogg_page_granulepos(&aPage))) -
                                          static_cast<int64_t>(ogg_page_packets(&aPage)) * mnFrameDuration;
                levelCallback(nPosition, aPage.body, static_cast<int>(aPage.body_len));
            }
            continue;
        }
        if (nSerial >= SERIAL_LEFT && nSerial <= SERIAL_METADATA) {
            ogg_stream_state& rStream = stream(nSerial);
            if (rStream.body_fill - rStream.body_returned > kMaxPendingBytes) {
                logParts(WRN, "Dropping unpaired packets of logical stream ", nSerial);
                ogg_stream_reset(&rStream);
            }
        }
        switch (nSerial) {
        case SERIAL_LEFT:
            if (mbSeeking) {
                const int nSteer = steerSeek(aPage);
                if (nSteer == kSeekPassOver)
                    continue;
                if (nSteer != kSeekEnded)
                    return nSteer == WVC_OK ? WVC_MORE_DATA : nSteer;
            }
            ogg_stream_pagein(&stream(nSerial), &aPage);
            mbLeftSynchronised = true;
            break;
        case SERIAL_RIGHT:
        case SERIAL_LEVEL:
            if (mbSeeking && nSerial == SERIAL_LEVEL) {
                const int nSteer = steerSeekAtLevelPage(aPage);
                if (nSteer != kSeekPassOver)
                    return nSteer == WVC_OK ? WVC_MORE_DATA : nSteer;
            }
            ogg_stream_pagein(&stream(nSerial), &aPage);
            if (!mbLeftSynchronised)
                ogg_stream_reset(&stream(nSerial));
            break;
        case SERIAL_METADATA: {
            const int nResult = ogg_stream_pagein(&stream(nSerial), &aPage);
            if (nResult == 0)
                readMetadataPair();
            else
                logParts(ERR, "Did not get metadata page, error: ", nResult);
            break;
        }
        default:
            logParts(ERR, "Unknown serial for logical stream: ", nSerial);
            return WVC_ERROR;
        }
        if (nSerial != SERIAL_LEVEL || !mbLeftSynchronised)
            continue;
        const int nResult = processLevelPage(aPage);
        if (nResult != WVC_MORE_DATA)
            return nResult;
    }
}

bool Decoder::skipChannelPages()
{
    for (;;) {
        const unsigned char* pPage = maSync.data + maSync.returned;
        const long nAvailable = maSync.fill - maSync.returned;
        if (nAvailable < 27 || std::memcmp(pPage, "OggS", 4) != 0 || pPage[4] != 0)
            return true; // not at a page start: libogg finds the next one
        const int nSegments = pPage[26];
        if (nAvailable < 27 + nSegments)
            return false;
        const uint32_t nSerial = pPage[14] | (pPage[15] << 8) | (pPage[16] << 16) | (static_cast<uint32_t>(pPage[17]) << 24);
        if (nSerial == SERIAL_LEVEL)
            return true;
        long nLength = 27 + nSegments;
        for (int i = 0; i < nSegments; ++i)
            nLength += pPage[27 + i];
        if (nAvailable < nLength)
            return false;
        maSync.returned += nLength;
    }
}

int Decoder::processLevelPage(const ogg_page& irPage)
{
    const int nPackets = ogg_page_packets(&irPage);
    const int64_t nGranule = ogg_page_granulepos(&irPage);
    if (nPackets < 1 || static_cast<uint32_t>(nGranule) == 0)
        return WVC_MORE_DATA;
    const bool bCodedFrames = mnCodecId == CODEC_OPUS || (mnCodecId >= CODEC_AMR && mnCodecId <= CODEC_LAST);

    for (int r = nPackets; r >= 1; --r) {
        int nLeftCount = 0;
        int nRightCount = 0;
        int nLeftBytes = 0;
        int nRightBytes = 0;
        ogg_packet aPacket;
        if (streamPacketOut(SERIAL_LEFT, aPacket, true) != 1) {
            log(WRN, "did not get expected packet for LEFT channel");
            // The partners of the missing packets would pair with the next
            // page's frames and shift a channel for the rest of the file.
            if (mnChannels > 1)
                dropPackets(SERIAL_RIGHT, r);
            dropPackets(SERIAL_LEVEL, r);
            return WVC_MORE_DATA;
        }
        if (!aPacket.b_o_s && !aPacket.e_o_s)
            nLeftCount = decodeFrame(0, aPacket, nLeftBytes);
        if (mnChannels > 1) {
            // A second attempt here too: a lost right page leaves a gap
            // mark that would otherwise cost the next page as well.
            if (streamPacketOut(SERIAL_RIGHT, aPacket, true) != 1) {
                log(WRN, "did not get expected packet for RIGHT channel");
                dropPackets(SERIAL_LEFT, r - 1);
                dropPackets(SERIAL_LEVEL, r);
                return WVC_MORE_DATA;
            }
            if (!aPacket.b_o_s && !aPacket.e_o_s)
                nRightCount = decodeFrame(1, aPacket, nRightBytes);
        }
        ogg_packet aLevel;
        if (streamPacketOut(SERIAL_LEVEL, aLevel, false) != 1) {
            aLevel.packet = nullptr;
            aLevel.bytes = 0;
        }
        const int64_t nTime = frameTime(nGranule, static_cast<uint32_t>(r - 1), mnFrameDuration);

        // A left packet without a frame (a BOS or EOS packet, an unknown
        // codec) delivers nothing for this pair; the page's other frames
        // still pair with their own partners.
        if (nLeftCount == 0)
            continue;
        // Every frame but the recording's last has the header's length: a
        // shorter one (a payload cut short) is filled up with silence, so
        // that the frames after it keep their time. The last frame ends at
        // or after the duration.
        if (r > 1 || (mnDuration > 0 && nTime < mnDuration)) {
            padFrame(0, nLeftCount);
            if (mnChannels > 1)
                padFrame(1, nRightCount);
        }
        if (mbZoomActive && nTime > mnZoomEnd) {
            log(DEB, "Reached end of audio zoom segment");
            return WVC_END_OF_FILE;
        }
        if (nTime < mnSeekTarget)
            continue;
        int nResult;
        if (mbEffectsEnabled || mbZoomActive) {
            nResult = mbEffectsEnabled ? levelCallback(nTime, maPeak, static_cast<int>(mnChannels))
                                       : levelCallback(nTime, aLevel.packet, static_cast<int>(aLevel.bytes));
            if (nResult != WVC_MORE_DATA)
                return nResult;
        }
        nResult = g711Callback(nTime, maG711[0], nLeftCount, maG711[1], nRightCount);
        if (nResult != WVC_MORE_DATA)
            return nResult;
        nResult = pcmCallback(nTime, maPcm[0], nLeftCount, maPcm[1], nRightCount);
        if (nResult != WVC_MORE_DATA)
            return nResult;
        if (bCodedFrames) {
            nResult = frameCallback(nTime, maCodedFrame[0], nLeftBytes, maCodedFrame[1], nRightBytes);
            if (nResult != WVC_MORE_DATA)
                return nResult;
        }
    }
    return WVC_MORE_DATA;
}

int Decoder::steerSeek(const ogg_page& irPage)
{
    const int64_t nGranule = ogg_page_granulepos(&irPage);
    const int64_t nDelta = clampToInt64(static_cast<__int128>(mnSeekTarget) - nGranule);
    // An end-of-stream page carries no frame, and a page on which no packet
    // ends has no time of its own: neither may end a seek, or decoding
    // would start after the audio it should play.
    const int nPackets = ogg_page_packets(&irPage);
    const bool bFrames = nGranule >= 0 && nPackets > 0 && irPage.body_len > 0;
    // Only the first left page of a group pairs with the group's level
    // page; a seek that ends on a later one loses the group's first frames.
    const bool bGroupStart = bFrames && !ogg_page_continued(&irPage) && mbLevelBeforeLeft;
    mbLevelBeforeLeft = false;
    // The group's first frame: the first packet that ends on this page.
    // When it lies more than a frame past the target, the group that holds
    // the target comes earlier.
    const int64_t nFirst =
        bGroupStart ? frameTime(nGranule, static_cast<uint32_t>(nPackets - 1), mnFrameDuration) : 0;
    const bool bTooLate = nFirst > mnSeekTarget + mnFrameDuration;
    if (nDelta >= -1000 && bGroupStart && !bTooLate) {
        mbSeeking = false;
        return kSeekEnded;
    }
    if (mnSeekIterations >= static_cast<uint32_t>(kSeekStepLimit)) {
        logParts(WRN, "stopping seek after ", mnSeekIterations, " iterations, current page position: ",
                 nGranule - 1000);
        mbSeeking = false;
        return kSeekEnded;
    }
    if (nDelta < -1000 && nGranule >= 0)
        return seek(nDelta, false);
    if (bGroupStart)
        return stepBack(nFirst - mnSeekTarget, 0);
    // Inside a group, or past the last frame: the group's level page tells
    // whether the target lies in this group (or before it) or further on.
    mbSeekUndecided = true;
    return kSeekPassOver;
}

int Decoder::steerSeekAtLevelPage(const ogg_page& irPage)
{
    mbLevelBeforeLeft = true;
    if (!mbSeekUndecided)
        return kSeekPassOver;
    mbSeekUndecided = false;
    const int nPackets = ogg_page_packets(&irPage);
    const int64_t nGranule = ogg_page_granulepos(&irPage);
    if (nPackets < 1 || static_cast<uint32_t>(nGranule) == 0)
        return kSeekPassOver;
    const int64_t nLast = static_cast<uint32_t>(nGranule);
    const int64_t nFirst = frameTime(nGranule, static_cast<uint32_t>(nPackets - 1), mnFrameDuration);
    if (mnSeekTarget > nLast)
        return kSeekPassOver; // the next group's first left page decides
    if (mnSeekIterations >= static_cast<uint32_t>(kSeekStepLimit))
        return kSeekPassOver; // the next left page ends the seek
    // The target lies in this group or before it, and the group's first
    // page came before where the seek landed.
    return stepBack(std::max<int64_t>(0, nFirst - mnSeekTarget), nLast - nFirst + mnFrameDuration);
}

int Decoder::stepBack(int64_t inBeforeMs, int64_t inGroupMs)
{
    // Back past the group's start by more than a group, and further each
    // time, as groups differ in their bytes.
    const int64_t nStep = (std::max<int64_t>(1000, inGroupMs * 3 / 2) << std::min<uint32_t>(mnSeekBackSteps, 8)) +
                          inBeforeMs;
    ++mnSeekBackSteps;
    return seek(-nStep, false);
}

void Decoder::padFrame(int inChannel, int& irnCount)
{
    const int nFrame = static_cast<int>(mnSamplesPerFrame);
    if (irnCount <= 0 || irnCount >= nFrame)
        return;
    logParts(WRN, "Frame of ", irnCount, " samples is shorter than the ", nFrame,
             " samples per frame, filled up with silence (channel: ", inChannel, ")");
    const uint8_t nZero = mnCodecId == CODEC_PCMU ? G711::linearToUlaw(0) : G711::linearToAlaw(0);
    std::fill(maPcm[inChannel] + irnCount, maPcm[inChannel] + nFrame, 0);
    std::fill(maG711[inChannel] + irnCount, maG711[inChannel] + nFrame, nZero);
    irnCount = nFrame;
}

void Decoder::dropPackets(int inSerial, int inCount)
{
    ogg_packet aPacket;
    for (int i = 0; i < inCount; ++i) {
        if (ogg_stream_packetout(&stream(inSerial), &aPacket) == 0)
            break;
    }
}

int Decoder::seek(int64_t inOffsetMs, bool ibAbsolute)
{
    // Like the decode steps, seeking needs a successful open.
    if (mnOpenResult != WVC_OK)
        return mnOpenResult;
    logParts(DEB, "seek inOffsetMs: ", inOffsetMs);
    resetOgg();
    mbSeeking = true;
    mbLeftSynchronised = false;
    if (mnDuration == 0)
        computeDuration();

    // Without a duration there is no byte rate to guess from: start at the
    // first audio page and let the frames before the target be skipped.
    mbSeekUndecided = false;
    mbLevelBeforeLeft = false;
    if (ibAbsolute) {
        mnSeekIterations = 0;
        mnSeekBackSteps = 0;
        const int64_t nFrame = mnFrameDuration != 0 ? mnFrameDuration : 1;
        mnSeekTarget = inOffsetMs - inOffsetMs % nFrame;
        logParts(DEB, "Seek offset adjusted to align with frame: ", mnSeekTarget, " ms");
        if (mnSeekTarget >= 1000 && mnDuration > 0)
            mnSeekBytePosition = clampToInt64(static_cast<__int128>(mnSeekTarget) * mnFileSize / mnDuration);
        else
            mnSeekBytePosition = mnAudioStart;
    } else if (mnDuration > 0) {
        mnSeekBytePosition = clampToInt64(static_cast<__int128>(mnSeekBytePosition) +
                                          static_cast<__int128>(mnFileSize) * inOffsetMs / mnDuration);
    } else {
        mnSeekBytePosition = mnAudioStart;
    }
    const int64_t nEnd = static_cast<int64_t>(std::min<uint64_t>(mnFileSize, INT64_MAX));
    mnSeekBytePosition = std::min(std::max<int64_t>(mnSeekBytePosition, mnAudioStart), nEnd);

    const int nResult = seekCallback(mnSeekBytePosition, 0);
    if (nResult == WVC_OK)
        mnBytesFed = static_cast<uint64_t>(mnSeekBytePosition);
    ++mnSeekIterations;
    return nResult;
}

int64_t Decoder::duration()
{
    if (mbZoomActive) {
        const uint32_t nFrame = mnFrameDuration != 0 ? mnFrameDuration : 1;
        const uint32_t nStart = static_cast<uint32_t>(mnZoomStart) / nFrame * nFrame;
        const int64_t nDuration = mnZoomEnd - nStart;
        logParts(DEB, "Calculated duration for audio zoom: ", nDuration, " ms");
        return nDuration;
    }
    if (mnDuration == 0)
        computeDuration();
    return mnDuration;
}

int Decoder::computeDuration()
{
    const uint32_t nTail = static_cast<uint32_t>(std::min<uint64_t>(mnFileSize, kTailScanSize));
    if (nTail == 0 || seekCallback(-static_cast<int64_t>(nTail), 2) != WVC_OK) {
        log(ERR, "Error seeking, can not determine current duration");
        return 0;
    }
    // A sync state of its own keeps the pages already buffered for decoding.
    ogg_sync_state aSync;
    ogg_sync_init(&aSync);
    int64_t nDuration = 0;
    char* pBuffer = ogg_sync_buffer(&aSync, nTail);
    uint32_t nRead = 0;
    const int nReadResult = pBuffer ? readInto(reinterpret_cast<uint8_t*>(pBuffer), nTail, nRead) : WVC_ERROR;
    bool bScanned = false;
    if (nReadResult != WVC_OK) {
        logParts(ERR, "Cannot read chunk, error: ", nReadResult);
    } else if (ogg_sync_wrote(&aSync, nRead) != 0) {
        log(ERR, "ERROR in ogg_sync_wrote");
    } else {
        ogg_page aPage;
        long nSeek;
        while ((nSeek = ogg_sync_pageseek(&aSync, &aPage)) < 0) {
        }
        if (nSeek == 0) {
            logParts(ERR, "Could not sync to ogg page, file size: ", mnFileSize);
        } else {
            int nResult = 1;
            do {
                if (nResult > 0 && ogg_page_serialno(&aPage) == SERIAL_LEVEL)
                    nDuration = std::max<int64_t>(nDuration, ogg_page_granulepos(&aPage));
                logParts(DEB, "ogg_sync_pageout, nRet=", nResult, ", nCurrentDuration=", nDuration);
            } while ((nResult = ogg_sync_pageout(&aSync, &aPage)) != 0);
        }
        bScanned = true;
    }
    ogg_sync_clear(&aSync);
    // Reading goes on where it stood before the scan.
    seekCallback(static_cast<int64_t>(std::min<uint64_t>(mnBytesFed, INT64_MAX)), 0);
    if (!bScanned)
        return 0;
    logParts(DEB, "Current Duration: ", nDuration);
    mnDuration = nDuration;
    return static_cast<int>(std::min<int64_t>(nDuration, INT32_MAX));
}

} // namespace WVC
