#pragma once
// ITU-T G.711.0 lossless decoder for A-law and mu-law frames.
#include <cstdint>

namespace g7110 {

// Output capacity the WVC decoder hands over: the longest frame (320
// symbols) plus headroom.
constexpr int kOutputCapacity = 330;

enum Law { ALaw = 0, MuLaw = 1 };

// Decodes one G.711.0 frame.
// ipInput: the payload, one octet in the low 8 bits of each 16-bit unit.
// ipnLength: in, the number of octets given; out, the number consumed.
// ipOutput: receives one G.711 symbol per sample (low 8 bits of each unit);
// never more than inCapacity units are written.
// inLaw: 1 mu-law, 0 A-law.
// Returns the number of symbols decoded; 0 or a negative value on failure.
int decode(const uint16_t* ipInput, int* ipnLength, uint16_t* ipOutput, int inCapacity, int inLaw);

} // namespace g7110
