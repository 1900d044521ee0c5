#pragma once
// Plays PCM faster or slower with its pitch kept: interleaved samples
// (signed 16-bit, or unsigned 8-bit as 8-bit WAV recordings carry them) go in
// at recording time and come out in the same format stretched by 1 / tempo,
// by way of SoundTouch's time stretch. Used by the decoder threads just before
// PCM reaches the player, so that everything upstream (seek, zoom, effects,
// positions) stays in recording time.
#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

class TempoStage
{
public:
    static constexpr double cfMinTempo = 0.5;
    static constexpr double cfMaxTempo = 2.0;

    // The tempo of a query item's text: absent, empty, unparsable or not
    // positive means 1; others are clamped to 0.5 .. 2.
    static double tempoFromText(const QString& isText);
    // Clamped to 0.5 .. 2; values that are not numbers give 1.
    static double clampTempo(double ifTempo);
    // Tempo 1 leaves the samples untouched: no stage is needed.
    static bool isUnchanged(double ifTempo) { return qFuzzyCompare(ifTempo, 1.0); }

    // inBytesPerSample: 2 for signed 16-bit samples, 1 for unsigned 8-bit.
    TempoStage(int inChannels, int inSampleRate, int inBytesPerSample, double ifTempo);
    ~TempoStage();
    TempoStage(const TempoStage&) = delete;
    TempoStage& operator=(const TempoStage&) = delete;

    double tempo() const { return mfTempo; }
    int channels() const { return mnChannels; }

    // Takes the whole frames of inBytes bytes and appends the stretched
    // frames that are ready to orOut.
    void process(const char* ipBytes, int inBytes, QByteArray& orOut);
    // End of the data: appends what the stage still holds.
    void flush(QByteArray& orOut);
    // Forgets what it holds (a seek starts elsewhere).
    void clear();
    // Output frames still to come for the input taken so far (an estimate:
    // the stretch works in overlapping pieces).
    qint64 pendingFrames() const;
    int bytesPerFrame() const { return mnChannels * mnBytesPerSample; }

private:
    void receive(QByteArray& orOut);

    std::unique_ptr<soundtouch::SoundTouch> mpTouch;
    int mnChannels;
    int mnBytesPerSample;
    double mfTempo;
    std::vector<float> maIn;
    std::vector<float> maOut;
};
