#pragma once
// G.711.0 frame writer for the tools that make test and demo files.
#include <cstdint>

namespace g7110 {

// Encodes inCount G.711 symbols (40, 80, 160, 240 or 320) of the given law
// (1 mu-law, 0 A-law) into one G.711.0 frame at ipOutput.
// Returns the number of octets written, or a negative value on failure
// (unsupported frame length, output too small).
int encode(const uint8_t* ipSymbols, int inCount, int inLaw, uint8_t* ipOutput, int inCapacity);

} // namespace g7110
