#pragma once
#include <QAudioFormat>

// The format of a recording as the WAV reader and the WVC header report it:
// the sound device's format plus the length of the recording.
class AudioFormat : public QAudioFormat
{
public:
    AudioFormat() = default;
    AudioFormat(const AudioFormat&) = default;
    AudioFormat& operator=(const AudioFormat&) = default;
    virtual ~AudioFormat() = default;

    quint64 duration = 0;   // milliseconds
    quint64 numSamples = 0; // per channel
};
