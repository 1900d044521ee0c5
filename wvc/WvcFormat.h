#pragma once
// Fixed values of the WVC container shared by the decoder and the writer.
#include <cstdint>

namespace WVC {

// Ogg serial numbers of the four logical streams.
enum Serial : int { SERIAL_LEFT = 10, SERIAL_RIGHT = 11, SERIAL_LEVEL = 12, SERIAL_METADATA = 13 };

enum Encryption : uint32_t { ENCRYPTION_PLAIN = 1, ENCRYPTION_AES = 2 };

enum CodecId : uint32_t {
    CODEC_PCMA = 0,
    CODEC_PCMU = 1,
    CODEC_OPUS = 2,
    CODEC_PCM16 = 3,
    CODEC_AMR = 4,
    CODEC_AMR_WB = 5,
    CODEC_G722 = 6,
    CODEC_G723 = 7,
    CODEC_G729 = 8,
    CODEC_GSM = 9,
    CODEC_LAST = CODEC_GSM
};

// Name of a codec id as files and logs spell it; "unknown" above 9.
const char* codecName(uint32_t inCodecId);
// Id for a name (case-insensitive); -1 when unknown.
int codecIdFromName(const char* ipName);

constexpr int kMaxFrameSamples = 1920;      // per channel and frame
constexpr int kMaxCodedFrameBytes = 1024;   // FFmpeg and AMR payloads
constexpr int kMaxG711FrameBytes = 1920;    // G.711.0 payloads
constexpr int kMaxPcm16FrameBytes = 3840;   // PCM16 payloads
constexpr int kDecodedCapacity = 1930;
constexpr uint32_t kHeaderReadSize = 1024;  // the BOS pages must lie in it
constexpr uint32_t kChunkSize = 32768;
constexpr uint32_t kTailScanSize = 32768;
constexpr uint32_t kMaxMetadataValue = 8000;
constexpr int kKeyFieldSize = 32;
constexpr int kSeekStepLimit = 32;
constexpr int kKeyLength = 16;              // AES-128
constexpr int kPbkdf2Iterations = 1000;

// Header packet lengths by version (plain / encrypted).
constexpr uint32_t kHeaderLengthV1 = 18;
constexpr uint32_t kHeaderLengthV2 = 58;
constexpr uint32_t kHeaderLengthPlain = 20;
constexpr uint32_t kHeaderLengthEncrypted = 60;

// The 8 bytes the check block deciphers to with the right password.
constexpr char kPasswordCheck[] = "~=}}}}-~";
constexpr int kPasswordCheckSize = 8;

// Key record of a metadata pair: 32-byte key, 4-byte length, then a value
// of 4 bytes (versions 1..3) or 8 bytes (version 4).
inline uint32_t metadataKeyRecordSize(uint32_t inVersion)
{
    return inVersion >= 4 ? 44 : 40;
}

} // namespace WVC
