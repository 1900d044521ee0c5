#pragma once
// Decoder thread of a WAV recording: the PCM is decoded from the package as
// playing reaches it (a window of it is held, so memory stays flat however
// long the recording) and handed on block by block into the player's shared
// buffer, through the effect chain, honouring pause, seek, zoom end and stop.
#include "AudioFormat.h"
#include "EffectChain.h"
#include "PlaybackStage.h"
#include "StreamControl.h"

#include <QBuffer>
#include <QThread>

#include <atomic>
#include <memory>

class AudioFormat;
class MemberStream;
namespace CryptoPP {
class BufferedTransformation;
}
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
    // The recording could not be read to its end; the thread has stopped.
    bool failed() const { return maControl.mbFailed; }
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
    // Decodes more of the member until the samples up to byte inBytes (of
    // all the samples) are held or the member has ended; false once nothing
    // more will come. With ibSkip what lies before inBytes is let go.
    bool decodeUpTo(qint64 inBytes, bool ibSkip = false);
    // Lets go of the samples before byte inBytes.
    void dropBefore(qint64 inBytes);
    // Starts decoding over at the member's first byte.
    bool rewind();
    // At the end of the data: true when a loop started the segment over.
    bool loopAtEnd();

    Package* mpPackage;
    AudioFormat* mpAudioFormat;
    QBuffer* mpDecodedAudioBuffer;
    // A window of the samples: byte 0 of it is byte mnWindowStart of all.
    QBuffer maWavSamples;
    qint64 mnWindowStart = 0;
    bool mbAllDecoded = false;
    AudioFormat maRewindFormat; // filled again by a rewound header, unused
    // The member is decoded a piece at a time: the header and the first
    // samples in open(), the rest by the thread ahead of its reads, so that
    // a long recording starts at once.
    std::unique_ptr<MemberStream> mpMember;
    std::unique_ptr<CryptoPP::BufferedTransformation> mpWavReader;
    bool mbDamaged = false;
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
