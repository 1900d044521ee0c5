#pragma once
// Decoder thread of a WAV recording: the whole PCM is read from the package
// at open, then handed on block by block into the player's shared buffer,
// through the effect chain, honouring pause, seek, zoom end and stop.
#include "EffectChain.h"
#include "PlaybackStage.h"
#include "StreamControl.h"

#include <QBuffer>
#include <QThread>

#include <atomic>

class AudioFormat;
class Package;
class QMutex;

class WavStreamDecoder : public QThread
{
    Q_OBJECT
public:
    WavStreamDecoder(QObject* ipPlayer, Package* ipPackage, const QString& isFilename, QBuffer* ipBuffer,
                     QMutex* ipMutex, AudioFormat* ipFormat);
    ~WavStreamDecoder() override;

    // Effects before open(); they are set up once the format is known.
    void addNotchFilter(int inFrequency, float ifQ);
    void addAmplify(float ifRatio);

    // Everything this thread will deliver is in the shared buffer (or was).
    bool endOfData() const { return maControl.mbEndOfData || isFinished(); }
    // Raises the shared buffer's ceiling (downloads).
    void setBufferCeiling(int inBytes) { maControl.mnCeiling = inBytes; }
    // Tempo and loop of playback (never set for downloads).
    PlaybackStage& playback() { return maPlayback; }

signals:
    void headerReady();

public slots:
    int open();
    void stop();
    void seek(qlonglong inPosition);
    void seekAbsolute(qlonglong inPosition);
    void suspend();
    void resume();
    void setZoom(qlonglong inStartPosition, qlonglong inEndPosition);

protected:
    void run() override;

private:
    // Moves the read position to inPosition ms of the recording.
    void seekTo(qint64 inPosition);
    // At the end of the data: true when a loop started the segment over.
    bool loopAtEnd();

    Package* mpPackage;
    AudioFormat* mpAudioFormat;
    QBuffer* mpDecodedAudioBuffer;
    QBuffer maWavSamples;
    QMutex* mpBufferMutex;
    QString msFilename;
    qint64 mnLastLoggedPosition = 0;
    qint64 mnCurrentPosition = 0;
    StreamControl maControl;
    std::atomic<bool> mbZoom { false };
    EffectChain maEffects;
    // Notch settings wait for the sample rate, which open() learns.
    struct NotchRequest
    {
        int nEffect;
        int nFrequency;
        float fQ;
    };
    QVector<NotchRequest> maNotchRequests;
    qint64 mnZoomStart = 0;
    qint64 mnZoomEnd = 0;
    PlaybackStage maPlayback;
};
