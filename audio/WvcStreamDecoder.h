#pragma once
// Decoder thread of a WVC recording: the container is read piecewise from
// the package file (confined to the entry's bytes) and decoded by the WVC
// library, whose PCM is interleaved into the player's shared buffer.
#include "Decoder.h"
#include "MemberRange.h"
#include "PlaybackStage.h"
#include "StreamControl.h"

#include <QThread>

#include <atomic>
#include <vector>

class AudioFormat;
class Package;
class QBuffer;
class QMutex;

class WvcStreamDecoder : public QThread, public WVC::Decoder
{
    Q_OBJECT
public:
    WvcStreamDecoder(QObject* ipPlayer, Package* ipPackage, const QString& isFilename, QBuffer* ipBuffer,
                     QMutex* ipMutex, AudioFormat* ipFormat);
    ~WvcStreamDecoder() override;

    bool endOfData() const { return maControl.mbEndOfData || isFinished(); }
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

    void log(int32_t inLevel, const std::string& isMessage) override;
    int pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                    int inRightCount) override;
    int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override;
    int seekCallback(int64_t inOffset, int inOrigin) override;
    void headerCallback() override;

private:
    AudioFormat* mpAudioFormat;
    QBuffer* mpDecodedAudioBuffer;
    QMutex* mpBufferMutex;
    Package* mpPackage;
    MemberRange maMember;
    QString msFilename;
    QString msPassword;
    qint64 mnLastLoggedPosition = 0;
    StreamControl maControl;
    std::atomic<bool> mbZoom { false };
    qint64 mnZoomStart = 0;
    qint64 mnZoomEnd = 0;
    // Interleaving area, sized once for the largest frame pair.
    std::vector<int16_t> maInterleaved;
    PlaybackStage maPlayback;
};
