#pragma once
// Where the played sound stands in the recording when it does not reach the
// device at recording speed: a tempo stretches it, and a loop starts the
// segment over. The player restarts the timeline at every seek; a decoder
// thread marks where in its output a loop starts over. Not thread-safe: all
// calls are made with the player's buffer mutex held.
#include <QtGlobal>

#include <vector>

class PlaybackTimeline
{
public:
    // Output from here on plays from inPositionMs (page time, relative to a
    // zoom segment) at ifTempo; inBytesPerSecond is the output's byte rate.
    void restart(qint64 inPositionMs, double ifTempo, qint64 inBytesPerSecond);
    // The output after inOutputBytes (counted from the restart) plays from
    // inPositionMs.
    void markLoop(qint64 inOutputBytes, qint64 inPositionMs);
    // True while output and recording time run alike: tempo 1, no loop since
    // the restart.
    bool isPlain() const;
    // The page position of the output played for inPlayedUs microseconds
    // since the restart.
    qint64 position(qint64 inPlayedUs);

private:
    struct Mark
    {
        qint64 nOutputUs;
        qint64 nPositionMs;
    };
    std::vector<Mark> maMarks { Mark { 0, 0 } };
    double mfTempo = 1.0;
    bool mbLooped = false;
    qint64 mnBytesPerSecond = 0;
};
