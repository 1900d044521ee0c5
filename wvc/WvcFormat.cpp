#include "WvcFormat.h"

#include <strings.h>

namespace WVC {

namespace {
const char* const kCodecNames[] = {"PCMA", "PCMU", "opus", "PCM16", "AMR", "AMR-WB", "G722", "G723", "G729", "GSM"};
}

const char* codecName(uint32_t inCodecId)
{
    return inCodecId <= CODEC_LAST ? kCodecNames[inCodecId] : "unknown";
}

int codecIdFromName(const char* ipName)
{
    for (uint32_t i = 0; i <= CODEC_LAST; ++i) {
        if (strcasecmp(ipName, kCodecNames[i]) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace WVC
