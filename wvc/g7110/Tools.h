#pragma once
// Per-tool decoders behind decode(). Each writes exactly inSamples symbols to
// opOut (room for 320) and returns inSamples, or a negative Result.
#include <cstdint>

namespace g7110 {

class BitReader;

// Coding tools this decoder cannot decode because their normative tables are
// not publicly verifiable.
enum class MissingTool {
    LinearPrediction,
    RiceZeroPulse,
    FractionalBitTable,
    MinMaxAnchorTable,
    ALawLinearMap
};

// Records and logs the tool and returns kUnsupportedTool.
int unsupported(MissingTool inTool);
// Forgets the tool recorded by the last decode() on this thread.
void clearUnsupportedTool();

int decodeRiceZeroFrame(BitReader& irReader, int inSamples, int inLaw, bool inbMinusMore, uint8_t* opOut);
int decodeValueLocation(BitReader& irReader, int inSamples, int inLaw, uint8_t* opOut);
int decodeFractionalBits(BitReader& irReader, int inType, int inLaw, uint8_t* opOut, int* opnSamples);
int decodeMinMaxLevel(const uint16_t* ipInput, int inOctets, int inLaw, uint8_t* opOut, int* opnConsumed);
int decodeNoCompress(BitReader& irReader, int inSamples, int inLaw, uint8_t* opOut);

} // namespace g7110
