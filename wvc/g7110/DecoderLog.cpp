// Error texts and the log hook of the G.711.0 decoder.
#include "G7110Decoder.h"
#include "Tools.h"

#include <atomic>
#include <string>

namespace g7110 {

namespace {

std::atomic<LogHandler> gpLogHandler{nullptr};
thread_local const char* gpLastTool = nullptr;

const char* toolName(MissingTool inTool)
{
    switch (inTool) {
    case MissingTool::LinearPrediction:
        return "mapped-domain linear prediction (PARCOR, long-term prediction, escaped-Huffman/Rice residual)";
    case MissingTool::RiceZeroPulse:
        return "Rice-coded zero frame with pulse";
    case MissingTool::FractionalBitTable:
        return "fractional-bit coding of 3, 5 or 6 levels";
    case MissingTool::MinMaxAnchorTable:
        return "min/max level coding with a tabled anchor";
    case MissingTool::ALawLinearMap:
        return "A-law rank mapping (fractional-bit, min/max level, value-location and no-compression frames)";
    }
    return "unknown";
}

} // namespace

const char* errorText(int inResult)
{
    if (inResult > 0)
        return "no error";
    switch (inResult) {
    case 0:
        return "frame without samples";
    case kInvalidArgument:
        return "invalid argument";
    case kTruncated:
        return "truncated frame";
    case kInvalidHeader:
        return "invalid frame header";
    case kInvalidFrameType:
        return "invalid frame type";
    case kCorruptData:
        return "corrupt frame data";
    case kOutputTooSmall:
        return "output capacity too small";
    case kUnsupportedTool:
        return "unsupported coding tool";
    default:
        return "unknown error";
    }
}

void setLogHandler(LogHandler ipHandler)
{
    gpLogHandler.store(ipHandler);
}

const char* lastUnsupportedTool()
{
    return gpLastTool;
}

void clearUnsupportedTool()
{
    gpLastTool = nullptr;
}

int unsupported(MissingTool inTool)
{
    gpLastTool = toolName(inTool);
    if (const LogHandler pHandler = gpLogHandler.load()) {
        const std::string sLine = std::string("G.711.0 coding tool not supported: ") + toolName(inTool);
        pHandler(sLine.c_str());
    }
    return kUnsupportedTool;
}

} // namespace g7110
