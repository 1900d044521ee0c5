#pragma once
// Writes one recording of the package as a 16-bit PCM WAV file in the
// calling thread, with passages redacted: the batch export's decoder. It
// gives the same samples as a download through the player (the same WVC
// decoder and WAV reader), without a sound device, timers or widgets.
#include "RedactionStage.h"

#include <QString>
#include <QVector>

#include <functional>

class Package;
class QIODevice;

class RecordingWriter
{
public:
    // Called now and then with the share done (0 .. 1); false cancels.
    using Progress = std::function<bool(double ifDone)>;

    RecordingWriter(Package* ipPackage, const QString& isMember);

    void setRedaction(const QVector<RedactionStage::Span>& irSpans, RedactionStage::Fill inFill)
    {
        maSpans = irSpans;
        mnFill = inFill;
    }

    // Writes the WAV file into ipTarget (open for writing, seekable, empty).
    // False with error() set, or with cancelled() when the progress callback
    // said so; ipTarget then holds a part that the caller throws away.
    bool write(QIODevice* ipTarget, const Progress& irProgress = {});
    QString error() const { return msError; }
    bool cancelled() const { return mbCancelled; }
    // The last write failed on the target (a full disk, say), not on the
    // recording: error() says why.
    bool writeFailed() const { return mbWriteFailed; }

    // Frames written by the last write.
    qint64 frames() const { return mnFrames; }

private:
    friend class WvcFileDecoder;
    bool writeWvc(QIODevice* ipTarget, const Progress& irProgress);
    bool writeWav(QIODevice* ipTarget, const Progress& irProgress);
    bool writeHeader(QIODevice* ipTarget, int inChannels, int inRate);
    bool finishHeader(QIODevice* ipTarget);
    // Redacts and writes interleaved 16-bit frames that start at inFirstFrame.
    bool put(QIODevice* ipTarget, qint16* ipSamples, int inFrames, qint64 inFirstFrame);
    bool fail(const QString& isError);
    bool failWrite(QIODevice* ipTarget);

    Package* mpPackage;
    QString msMember;
    QVector<RedactionStage::Span> maSpans;
    RedactionStage::Fill mnFill = RedactionStage::Fill::Tone;
    RedactionStage maRedaction;
    int mnChannels = 1;
    qint64 mnFrames = 0;
    QString msError;
    bool mbCancelled = false;
    bool mbWriteFailed = false;
};
