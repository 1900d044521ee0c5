#include "G7110Writer.h"

namespace g7110 {

// Placeholder until the writer lands.
int encode(const uint8_t*, int, int, uint8_t*, int)
{
    return -1;
}

} // namespace g7110
