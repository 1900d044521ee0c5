#pragma once
// Removes passages from decoded PCM: in every channel the samples of each
// span are replaced (never mixed) by a 1 kHz tone or by digital silence.
// The replacement fades in and out over 10 ms inside the span, so the cut
// does not click; the length and every sample outside the spans stay as
// they were, so times noted against the recording keep pointing at the
// same words. Spans are in recording time; the caller says where each block
// lies by its first frame.
#include <QString>
#include <QVector>
#include <QtGlobal>

class RedactionStage
{
public:
    enum class Fill { Tone, Silence };
    struct Span
    {
        qint64 nStartMs = 0;
        qint64 nEndMs = 0;
    };

    // Peak of the tone: -12 dBFS of a 16-bit sample.
    static constexpr int cnTonePeak = 8231;
    static constexpr int cnToneFrequency = 1000;
    static constexpr int cnFadeMs = 10;

    // "1200-3400,5000-6100": spans in milliseconds. Empty or reversed spans
    // and unreadable parts are dropped; *ipbOk says whether all was read.
    static QVector<Span> parseSpans(const QString& isText, bool* ipbOk = nullptr);
    static QString spansText(const QVector<Span>& irSpans);
    // "silence" gives silence; anything else (absent, "tone") the tone.
    static Fill fillFromText(const QString& isText);

    RedactionStage() = default;
    RedactionStage(const QVector<Span>& irSpans, Fill inFill, int inSampleRate, int inChannels);

    bool isEmpty() const { return maFrames.isEmpty(); }
    Fill fill() const { return mnFill; }

    // In place over inFrames interleaved frames of signed 16-bit samples
    // (or unsigned 8-bit ones) whose first frame is frame inFirstFrame of
    // the recording.
    void process(qint16* ipSamples, int inFrames, qint64 inFirstFrame) const;
    void process(quint8* ipSamples, int inFrames, qint64 inFirstFrame) const;

private:
    struct FrameSpan
    {
        qint64 nStart;
        qint64 nEnd; // one past the last frame
    };
    // The replacement at frame inOffset of a span inLength frames long.
    int replacement(qint64 inOffset, qint64 inLength) const;
    template <typename Sample, typename Convert>
    void replace(Sample* ipSamples, int inFrames, qint64 inFirstFrame, Convert irConvert) const;

    QVector<FrameSpan> maFrames; // sorted, not overlapping
    Fill mnFill = Fill::Tone;
    int mnSampleRate = 8000;
    int mnChannels = 1;
    qint64 mnFadeFrames = 80;
};
