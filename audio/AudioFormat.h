#pragma once
#include <QAudioFormat>

// The format of a recording as its reader found it, with the two values the
// player, the decoder threads, the downloads and the waveform need besides.
class AudioFormat : public QAudioFormat
{
public:
    AudioFormat() = default;
    virtual ~AudioFormat();

    quint64 duration = 0;   // milliseconds
    quint64 numSamples = 0; // per channel
};
