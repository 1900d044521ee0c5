#pragma once
// G.711.0 frame writer for the tools that make test and demo files.
#include <cstdint>

namespace g7110 {

// Encodes inCount G.711 symbols (40, 80, 160, 240 or 320) of the given law
// (1 mu-law, 0 A-law) into one G.711.0 frame at ipOutput.
// Uses only the frame types that need no coding tables: constant plus or
// minus zero (1 octet), constant value (2 octets), plus/minus zeros at one
// bit per sample (1 + inCount / 8 octets) and uncompressed (1 + inCount
// octets); 1 + inCount octets are always enough.
// Returns the number of octets written, or a negative value on failure
// (-1 bad argument or unsupported frame length, -2 output too small).
int encode(const uint8_t* ipSymbols, int inCount, int inLaw, uint8_t* ipOutput, int inCapacity);

} // namespace g7110
