#pragma once
// ITU-T G.711.0 lossless decoder for A-law and mu-law frames.
#include <cstdint>

namespace g7110 {

// Output capacity the WVC decoder hands over: the longest frame (320
// symbols) plus headroom.
constexpr int kOutputCapacity = 330;

enum Law { ALaw = 0, MuLaw = 1 };

// Failure results of decode(); every one is negative. A frame whose first
// octet is 0x00 carries no samples: decode() returns 0 and consumes 1 octet.
enum Result {
    kInvalidArgument = -1,   // null pointer, negative length, unknown law
    kTruncated = -2,         // the frame needs more octets than were given
    kInvalidHeader = -3,     // reserved first octet
    kInvalidFrameType = -4,  // reserved frame type code
    kCorruptData = -5,       // a coded value lies outside what an encoder can write
    kOutputTooSmall = -6,    // the frame holds more symbols than the capacity
    kUnsupportedTool = -7    // a legal frame of a coding tool this decoder lacks
};

// Decodes one G.711.0 frame.
// ipInput: the payload, one octet in the low 8 bits of each 16-bit unit.
// ipnLength: in, the number of octets given; out, the number consumed
// (0 after a failure).
// ipOutput: receives one G.711 symbol per sample (low 8 bits of each unit);
// never more than inCapacity units are written, and nothing is written when
// the frame fails.
// inLaw: 1 mu-law, 0 A-law.
// Returns the number of symbols decoded; 0 or a negative Result on failure.
int decode(const uint16_t* ipInput, int* ipnLength, uint16_t* ipOutput, int inCapacity, int inLaw);

// Fixed English text for a decode() result.
const char* errorText(int inResult);

// After decode() returned kUnsupportedTool on this thread: the name of the
// coding tool it met, for callers that log through their own logger.
// nullptr when the last decode() on this thread met no unsupported tool.
const char* lastUnsupportedTool();

// Receives one log line per unsupported coding tool met
// ("G.711.0 coding tool not supported: <tool>"). The library has no logger
// of its own; the handler may be called from any decoding thread, so it
// must be thread-safe. nullptr switches logging off (the default).
using LogHandler = void (*)(const char* ipText);
void setLogHandler(LogHandler ipHandler);

} // namespace g7110
