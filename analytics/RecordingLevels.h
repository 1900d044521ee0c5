#pragma once
#include "LevelSeries.h"

#include <QString>

class Package;

namespace Analytics {

// Where a series came from: the recorder's level stream, or decoded samples.
enum class LevelSource { None, LevelStream, Decoded };

struct RecordingLevels
{
    LevelSeries aSeries;
    int64_t nDurationMs = 0;
    LevelSource nSource = LevelSource::None;
    QString sError; // set when no series could be read
};

// The step of the series read from decoded samples.
constexpr int cnDecodedStepMs = 20;

// Peaks of interleaved 16-bit samples, one per step of inStepMs and channel.
LevelSeries levelsFromSamples(const int16_t* ipSamples, int64_t inFrames, int inChannels, int inSampleRate,
                              int inStepMs = cnDecodedStepMs);

// A ".wvc" member: the level stream when it is whole, decoded samples
// otherwise (ibDecode forces decoding).
RecordingLevels readWvcLevels(const Package& irPackage, const QString& isPath, bool ibDecode = false);
// A ".wav" member, decoded.
RecordingLevels readWavLevels(Package& irPackage, const QString& isPath);
// Either, by the member's extension.
RecordingLevels readRecordingLevels(Package& irPackage, const QString& isPath);

} // namespace Analytics
