#pragma once
// The last step of a decoder thread's PCM on its way to the player: the
// tempo stretch, and the loop that starts the segment over when it ends.
// The player sets tempo, loop and timeline; the thread hands its PCM to
// append() instead of straight into the shared buffer, reports seeks and
// the end of its data. Downloads never set a tempo or a loop. Redaction
// comes first: what is played is what would be saved.
#include "RedactionStage.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <memory>

class PlaybackTimeline;
class QBuffer;
class QMutex;
class StreamControl;
class TempoStage;

class PlaybackStage
{
public:
    PlaybackStage(QBuffer* ipaBuffer, QMutex* ipaMutex, StreamControl* ipaControl);
    ~PlaybackStage();

    // Player side. The tempo takes effect at the next seek the thread takes.
    void setTempo(double ifTempo) { mfTempo = ifTempo; }
    void setLoop(bool ibLoop) { mbLoop = ibLoop; }
    bool loop() const { return mbLoop; }
    // Guarded by the buffer mutex; set before the thread starts.
    void setTimeline(PlaybackTimeline* ipaTimeline) { mpTimeline = ipaTimeline; }
    // Passages replaced by a tone or silence; set before the thread starts.
    void setRedaction(const QVector<RedactionStage::Span>& irSpans, RedactionStage::Fill inFill)
    {
        maRedactSpans = irSpans;
        mnRedactFill = inFill;
    }

    // Thread side. The PCM format, before the first append.
    void setFormat(int inChannels, int inSampleRate, int inBytesPerSample);
    // A seek was taken: what the stretch holds belongs before it.
    void restart();
    // Appends PCM (redacted, then stretched when the tempo is not 1) to the
    // shared buffer; inFirstFrame is the recording frame of its first
    // sample. False when a seek came in and the PCM was dropped.
    bool append(const char* ipData, int inBytes, qint64 inFirstFrame);
    // The data has ended. With the loop on, marks that what follows plays
    // from the segment start and returns true: the thread starts over
    // there. Otherwise hands on what the stretch still holds; false.
    bool endOfData();

private:
    bool appendToBuffer(const char* ipData, int inBytes);

    QBuffer* mpBuffer;
    QMutex* mpMutex;
    StreamControl* mpControl;
    PlaybackTimeline* mpTimeline = nullptr;
    std::atomic<double> mfTempo { 1.0 };
    std::atomic<bool> mbLoop { false };

    int mnChannels = 1;
    int mnSampleRate = 8000;
    int mnBytesPerSample = 2;
    std::unique_ptr<TempoStage> mpTempo;
    QByteArray maStretched;
    QVector<RedactionStage::Span> maRedactSpans;
    RedactionStage::Fill mnRedactFill = RedactionStage::Fill::Tone;
    RedactionStage maRedaction; // made for the format
    QByteArray maRedacted;
    // Bytes appended since the last seek: where a loop mark goes.
    qint64 mnAppended = 0;
    bool mbFlushed = true;
    // PCM came since the last start (seek or loop).
    bool mbLoopHasData = false;
};
