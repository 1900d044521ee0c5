#include "WvcLogger.h"

#include <cstdio>

namespace WVC {

const char* WvcLogger::prefix(int32_t inLevel)
{
    switch (inLevel) {
    case TRC: return "wvc  TRC  ";
    case DEB: return "wvc  DEB  ";
    case INF: return "wvc  INF  ";
    case WRN: return "wvc  WRN  ";
    case ERR: return "wvc  ERR  ";
    default: return "wvc  ???  ";
    }
}

void WvcLogger::log(int32_t inLevel, const std::string& isMessage)
{
    if (inLevel < mnLogLevel)
        return;
    std::fputs(prefix(inLevel), stdout);
    std::fwrite(isMessage.data(), 1, isMessage.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace WVC
