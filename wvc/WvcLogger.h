#pragma once
// Logging base of every class of the WVC library: messages are composed by
// the library and handed, with a numeric level, to the virtual log().
#include <cstdint>
#include <string>

namespace WVC {

class WvcLogger
{
public:
    // Numeric levels; any other value is written with the "???" tag.
    enum Level : int32_t { TRC = 320, DEB = 1000, INF = 2000, WRN = 3000, ERR = 4000 };

    WvcLogger() = default;
    virtual ~WvcLogger() = default;

    // Writes "wvc  TAG  " + message to standard output when the level is at
    // or above the threshold. Subclasses route messages elsewhere.
    virtual void log(int32_t inLevel, const std::string& isMessage);

    int32_t logLevel() const { return mnLogLevel; }
    void setLogLevel(int32_t inLevel) { mnLogLevel = inLevel; }

    // The 10-character prefix the base writes for a level.
    static const char* prefix(int32_t inLevel);

private:
    int32_t mnLogLevel = ERR;
};

} // namespace WVC
