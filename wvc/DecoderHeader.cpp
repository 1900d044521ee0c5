// Header pages, header packet, password check and metadata of WVC files.
#include "ByteOrder.h"
#include "Decoder.h"
#include "WvcCipher.h"

#include <cryptopp/cryptlib.h>

#include <cstring>
#include <iomanip>

namespace WVC {

namespace {

std::string hex(const uint8_t* ipData, int inLength)
{
    std::ostringstream aOut;
    aOut << std::hex << std::uppercase << std::setfill('0');
    for (int i = 0; i < inLength; ++i)
        aOut << std::setw(2) << static_cast<int>(ipData[i]);
    return aOut.str();
}

// Header fields as read, copied into the decoder only when all are valid.
struct Header
{
    uint32_t nVersion = 0;
    uint32_t nEncryption = ENCRYPTION_PLAIN;
    uint32_t nCodecId = CODEC_PCMA;
    uint32_t nChannels = 0;
    uint32_t nSampleRate = 0;
    uint32_t nSamplesPerFrame = 0;
    uint32_t nDuration = 0;
    uint32_t nAudioStart = 0;
    const uint8_t* pIv = nullptr;
    const uint8_t* pSalt = nullptr;
    const uint8_t* pCheck = nullptr;
};

} // namespace

int Decoder::readHeaderPages(bool ibHeaderOnly)
{
    char* pBuffer = ogg_sync_buffer(&maSync, kHeaderReadSize);
    uint32_t nRead = 0;
    const int nReadResult = pBuffer ? readInto(reinterpret_cast<uint8_t*>(pBuffer), kHeaderReadSize, nRead) : 0;
    if (nReadResult != WVC_OK && nReadResult != WVC_END_OF_FILE) {
        logParts(ERR, "Cannot read chunk, error: ", nReadResult);
        return nReadResult;
    }
    if (!pBuffer || ogg_sync_wrote(&maSync, nRead) != 0) {
        log(ERR, "Can't decode header due to error in ogg_sync_wrote");
        return WVC_ERROR;
    }
    mnBytesFed += nRead;

    bool bHaveHeader = false;
    ogg_page aPage;
    int nPage;
    while ((nPage = ogg_sync_pageout(&maSync, &aPage)) != 0) {
        if (nPage < 0)
            continue; // bytes skipped before a page
        pageCallback(aPage);
        if (!ogg_page_bos(&aPage)) {
            log(ERR, "Can't decode header due missing BOS page");
            return WVC_ERROR;
        }
        const int nSerial = ogg_page_serialno(&aPage);
        ogg_packet aPacket;
        switch (nSerial) {
        case SERIAL_LEFT: {
            ogg_stream_pagein(&stream(nSerial), &aPage);
            const int nResult = readHeaderPacket(ibHeaderOnly);
            if (nResult != WVC_OK)
                return nResult;
            bHaveHeader = true;
            break;
        }
        case SERIAL_RIGHT:
        case SERIAL_LEVEL:
            ogg_stream_pagein(&stream(nSerial), &aPage);
            ogg_stream_packetout(&stream(nSerial), &aPacket);
            break;
        case SERIAL_METADATA:
            if (!bHaveHeader) {
                log(ERR, "Can't decode header due to missing left channel header page");
                return WVC_ERROR;
            }
            ogg_stream_pagein(&stream(nSerial), &aPage);
            readMetadataHeader();
            return WVC_OK;
        default:
            logParts(ERR, "Unknown serial for logical stream: ", nSerial);
            return WVC_ERROR;
        }
    }
    log(ERR, "Can't decode header due to error in ogg_sync_pageout");
    return WVC_ERROR;
}

int Decoder::readHeaderPacket(bool ibHeaderOnly)
{
    ogg_packet aPacket;
    const int nResult = streamPacketOut(SERIAL_LEFT, aPacket, true);
    if (nResult != 1) {
        logParts(ERR, "Did not get packet for left channel header page, error: ", nResult);
        return WVC_ERROR;
    }
    if (aPacket.bytes < 5) {
        logParts(ERR, "Not enough bytes in header to get version ", nResult);
        return WVC_ERROR;
    }
    const uint8_t* pData = aPacket.packet;
    const long nBytes = aPacket.bytes;
    Header aHeader;
    aHeader.nVersion = pData[3];
    long nExpected = 0;
    switch (aHeader.nVersion) {
    case 1:
    case 2:
        nExpected = aHeader.nVersion == 1 ? kHeaderLengthV1 : kHeaderLengthV2;
        if (nBytes < nExpected)
            break;
        aHeader.nEncryption = aHeader.nVersion == 1 ? ENCRYPTION_PLAIN : ENCRYPTION_AES;
        aHeader.nCodecId = CODEC_PCMA;
        aHeader.nChannels = pData[5];
        aHeader.nSampleRate = readLe32(pData + 6);
        aHeader.nSamplesPerFrame = readLe32(pData + 10);
        aHeader.nDuration = readLe32(pData + 14);
        aHeader.nAudioStart = aHeader.nVersion == 1 ? 46 : 86;
        if (aHeader.nVersion == 2) {
            aHeader.pIv = pData + 18;
            aHeader.pSalt = pData + 34;
            aHeader.pCheck = pData + 50;
        }
        break;
    case 3:
    case 4:
        aHeader.nEncryption = pData[4];
        nExpected = aHeader.nEncryption == ENCRYPTION_PLAIN ? kHeaderLengthPlain : kHeaderLengthEncrypted;
        if (nBytes < nExpected)
            break;
        aHeader.nCodecId = pData[6];
        aHeader.nChannels = pData[7];
        aHeader.nSampleRate = readLe32(pData + 8);
        aHeader.nSamplesPerFrame = readLe32(pData + 12);
        aHeader.nDuration = readLe32(pData + 16);
        aHeader.nAudioStart = aHeader.nEncryption == ENCRYPTION_PLAIN ? 48 : 88;
        if (aHeader.nEncryption != ENCRYPTION_PLAIN) {
            aHeader.pIv = pData + 20;
            aHeader.pSalt = pData + 36;
            aHeader.pCheck = pData + 52;
        }
        break;
    default:
        logParts(ERR, "Unsupported WVC file version: ", aHeader.nVersion);
        return WVC_ERROR;
    }
    if (nBytes < nExpected) {
        logParts(ERR, "Header packet too short for version ", aHeader.nVersion, ": got ", nBytes,
                 " bytes, expected ", nExpected);
        return WVC_ERROR;
    }
    // Frames must also last at least 1 ms: times are whole milliseconds, and
    // owners divide by the frame duration.
    if (aHeader.nSamplesPerFrame == 0 || aHeader.nSamplesPerFrame > aHeader.nSampleRate ||
        aHeader.nSamplesPerFrame > static_cast<uint32_t>(kMaxFrameSamples) ||
        aHeader.nSampleRate / aHeader.nSamplesPerFrame > 1000) {
        logParts(ERR, "Invalid samples per frame: ", aHeader.nSamplesPerFrame, " at sample rate ",
                 aHeader.nSampleRate, " (at most ", kMaxFrameSamples,
                 " and the sample rate, frames of at least 1 ms)");
        return WVC_ERROR;
    }
    if (aHeader.nChannels < 1 || aHeader.nChannels > 2) {
        logParts(ERR, "Unsupported channel count: ", aHeader.nChannels);
        return WVC_ERROR;
    }
    if (aHeader.nCodecId > CODEC_LAST) {
        logParts(ERR, "Unsupported codec id: ", aHeader.nCodecId);
        return WVC_ERROR;
    }

    mnVersion = aHeader.nVersion;
    mnEncryption = aHeader.nEncryption;
    mnCodecId = aHeader.nCodecId;
    mnChannels = aHeader.nChannels;
    mnSampleRate = aHeader.nSampleRate;
    mnSamplesPerFrame = aHeader.nSamplesPerFrame;
    mnDuration = aHeader.nDuration;
    mnAudioStart = aHeader.nAudioStart;
    mnFrameDuration = 1000 / (mnSampleRate / mnSamplesPerFrame);
    if (aHeader.pIv) {
        std::memcpy(maIv, aHeader.pIv, sizeof(maIv));
        std::memcpy(maSalt, aHeader.pSalt, sizeof(maSalt));
    }

    const bool bPlain = mnVersion == 1 || (mnVersion >= 3 && mnEncryption == ENCRYPTION_PLAIN);
    if (bPlain && mbPasswordGiven)
        log(WRN, "Ignoring supplied password for non-encrypted file");
    if (logLevel() <= INF)
        logHeaderSummary();
    if (ibHeaderOnly)
        return WVC_OK;

    if (mnVersion == 2 && !mbPasswordGiven) {
        log(ERR, "Password required");
        return WVC_PASSWORD_ERROR;
    }
    if (mnEncryption != ENCRYPTION_AES)
        return WVC_OK;
    uint8_t aCheck[kPasswordCheckSize];
    try {
        WvcCipher::deriveKey(msPassword, maSalt, maKey);
        mpCipher.reset(new WvcCipher());
        mpCipher->setKey(maKey, maIv);
        mpCipher->decipher(aHeader.pCheck, aCheck, sizeof(aCheck));
    } catch (const CryptoPP::Exception& rError) {
        mpCipher.reset();
        logParts(ERR, "ERROR: Crypto++ exception:", rError.what());
        return WVC_ERROR;
    }
    if (std::memcmp(aCheck, kPasswordCheck, kPasswordCheckSize) != 0) {
        mpCipher.reset();
        log(ERR, "Password invalid");
        return WVC_PASSWORD_ERROR;
    }
    if (logLevel() <= DEB)
        logParts(DEB, "\n   PW salt:               ", hex(maSalt, 16), "\n   Initialization Vector: ",
                 hex(maIv, 16), "\n   Key:                   ", hex(maKey, 16));
    return WVC_OK;
}

void Decoder::logHeaderSummary()
{
    static const char* const kVersionNames[] = {"WVC Plain", "WVC Encrypted", "WVC Version 3", "WVC Version 4"};
    std::ostringstream aText;
    aText << "\n   File version:      " << kVersionNames[mnVersion - 1] << "\n";
    if (mnVersion >= 3)
        aText << "\n   Encryption:        " << (mnEncryption == ENCRYPTION_PLAIN ? "Plain" : "Encrypted") << "\n";
    aText << "   Codec:             " << codecName(mnCodecId) << "\n"
          << "   Channels:          " << mnChannels << "\n"
          << "   Sample rate:       " << mnSampleRate << "\n"
          << "   Samples per frame: " << mnSamplesPerFrame << "\n"
          << "   Duration:          " << mnDuration << "\n"
          << "   Frame duration:    " << mnFrameDuration;
    log(INF, aText.str());
}

void Decoder::readMetadataHeader()
{
    ogg_packet aPacket;
    const int nResult = streamPacketOut(SERIAL_METADATA, aPacket, true);
    if (nResult != 1) {
        logParts(ERR, "Did not get packet for metadata header page, error: ", nResult);
        return;
    }
    const long nOffset = mnVersion >= 3 ? 6 : 5;
    if (aPacket.bytes < nOffset + 8) {
        logParts(ERR, "Metadata header too short: ", aPacket.bytes, " bytes");
        return;
    }
    log(DEB, readLe64(aPacket.packet + nOffset) != 0 ? "This file contains metadata"
                                                     : "This file does not contain metadata");
}

void Decoder::readMetadataPair()
{
    ogg_packet aKey;
    int nResult = streamPacketOut(SERIAL_METADATA, aKey, true);
    if (nResult != 1) {
        logParts(ERR, "Did not get 1st packet for metadata page, error: ", nResult);
        return;
    }
    if (aKey.b_o_s || aKey.e_o_s)
        return;
    ogg_packet aValue;
    nResult = streamPacketOut(SERIAL_METADATA, aValue, false);
    if (nResult != 1) {
        logParts(ERR, "Did not get 2nd packet for metadata page, error: ", nResult);
        return;
    }
    const long nRecordSize = metadataKeyRecordSize(mnVersion);
    if (aKey.bytes != nRecordSize) {
        logParts(ERR, "Got ", aKey.bytes, " metadata packet bytes but expected ", nRecordSize);
        return;
    }
    const char* pKey = reinterpret_cast<const char*>(aKey.packet);
    const void* pNul = std::memchr(pKey, 0, kKeyFieldSize);
    if (!pNul) {
        log(ERR, "Metadata key is not terminated within its 32 bytes");
        return;
    }
    const uint32_t nLength = readLe32(aKey.packet + kKeyFieldSize);
    if (nLength > kMaxMetadataValue) {
        logParts(ERR, "Metadata value of ", nLength, " bytes exceeds the limit of ", kMaxMetadataValue, " bytes");
        return;
    }
    if (aValue.bytes != static_cast<long>(nLength)) {
        logParts(ERR, "Got ", aValue.bytes, " metadata packet bytes but expected ", nLength);
        return;
    }
    const std::string sKey(pKey, static_cast<const char*>(pNul) - pKey);
    const char* pValue = reinterpret_cast<const char*>(aValue.packet);
    const void* pValueEnd = nLength > 0 ? std::memchr(pValue, 0, nLength) : nullptr;
    const std::string sValue = nLength == 0 ? std::string()
                                            : std::string(pValue, pValueEnd ? static_cast<const char*>(pValueEnd) - pValue : nLength);
    metadata[sKey] = sValue;
    logParts(INF, "Metadata found: ", sKey, " = ", sValue);
    metadataCallback(sKey);
}

} // namespace WVC
