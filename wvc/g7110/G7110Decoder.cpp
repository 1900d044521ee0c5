#include "G7110Decoder.h"

namespace g7110 {

// Placeholder until the decoder lands: every frame fails cleanly.
int decode(const uint16_t*, int* ipnLength, uint16_t*, int, int)
{
    if (ipnLength)
        *ipnLength = 0;
    return -1;
}

} // namespace g7110
