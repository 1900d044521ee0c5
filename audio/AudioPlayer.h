#pragma once
// Playback controller that the page drives through the web channel: loads
// one recording at a time from the package, decodes it on a thread of its
// own, moves the PCM into the sound device on a 15 ms timer and reports
// duration, position, pause and mute. Also saves recordings as WAV files
// and package files as they are.
#include "AudioFormat.h"
#include "PlaybackTimeline.h"
#include "RedactionStage.h"

#include <QAudio>
#include <QBuffer>
#include <QMutex>
#include <QWidget>

class Package;
class QAudioOutput;
class QProgressDialog;
class QTimer;
class WavStreamDecoder;
class WvcStreamDecoder;

class AudioPlayer : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qlonglong nDuration MEMBER mnDuration NOTIFY durationChanged)
    Q_PROPERTY(qlonglong nPosition MEMBER mnPosition NOTIFY whilePlayingJs)
    Q_PROPERTY(bool bMuted MEMBER bMuted NOTIFY mutedChanged)
    Q_PROPERTY(bool bPaused MEMBER bPaused NOTIFY pausedChanged)
    // Playback tempo (0.5 .. 2, pitch kept) and loop of the segment; the
    // positions the page sees stay in recording time.
    Q_PROPERTY(double fTempo READ tempo WRITE setTempo NOTIFY tempoChanged)
    Q_PROPERTY(bool bLoop READ loop WRITE setLoop NOTIFY loopChanged)
public:
    explicit AudioPlayer(Package* ipaPackage);
    ~AudioPlayer() override;

    // The idle unload after a pause; the product keeps 300 000 ms.
    void setIdleInterval(int inMilliseconds) { mnIdleInterval = inMilliseconds; }

signals:
    void callIdChanged(QString irsCallId);
    void durationChanged();
    void mutedChanged();
    void pausedChanged();
    void onLoadJs(QString irsCallId);
    void whileLoadingJs();
    void whilePlayingJs();
    void idleJs();
    void tempoChanged();
    void loopChanged();

public slots:
    void loadFromPackage(QString isFilename, QString isCallId);
    void downloadFromPackage(QString isFilename);
    void downloadPcap(QString isFilename);
    void downloadDataFile(QString isFilename);
    void unload();
    void play();
    void stop();
    void pause();
    void resume();
    void togglePause();
    void mute();
    void unmute();
    void toggleMute();
    int seek(qlonglong inPosition);

private slots:
    void audioStateChanged(QAudio::State inState);
    void whilePlaying();
    void readHeader();
    void startStreamingTimer();
    void streamBuffer();
    void idlePlayer();

    // Added after the interface above, whose order the page relies on.
public slots:
    // Playback tempo, 0.5 .. 2 with the pitch kept; applies at once from
    // the position being played. Positions stay in recording time.
    void setTempo(double ifTempo);
    // While on, the zoom segment (or the whole recording) starts over when
    // it ends, without a gap.
    void setLoop(bool ibLoop);
    // Saves the passage of the "zoomstart"/"zoomend" query items as WAV,
    // with the effect and redaction items of the query; proposes
    // "<recording>_<m>m<ss>s-<m>m<ss>s.wav". A whole recording's download
    // (downloadFromPackage) takes the redaction items only.
    void savePassage(QString isFilename);

public:
    double tempo() const { return mfTempo; }
    bool loop() const { return mbLoop; }

private:
    void resetState();
    void parseQuery(const QString& isQuery);
    // Effects, zoom and redaction of the parsed query onto a new decoder.
    void applyQuery(WvcStreamDecoder* ipDecoder);
    void applyQuery(WavStreamDecoder* ipDecoder);
    // Sound output (or, when downloading, nothing) and the streaming timer.
    int startOutput();
    void stopAudioOutput();
    void deleteIdleTimer();
    void deleteStreamingTimers();
    void setPaused(bool ibPaused);
    void restoreCursor();
    // Streaming starts a moment after the output does; a pause in between
    // cancels that start (it would run the stream behind a paused player and
    // drop the idle unload).
    void startStreamingSoon();
    // The error box of the player: critical, titled "Error", rich text.
    void showError(const QString& isMessage);
    // Playback that cannot go on (recording unreadable, sound device gone):
    // unloads, tells the page the player is idle, then shows the message.
    // The next load starts afresh.
    void stopWithError(const QString& isMessage);
    bool decoderFailed() const;
    // The open package's file is no longer the one opened.
    bool packageChanged() const;
    static QString unreadableMessage();
    QAudio::State outputState() const;

    // Downloads.
    void writeWavHeader();
    void streamToFile(int inAvailable);
    // Ends a download; a complete one (ibComplete) gets its sizes and its
    // name, any other leaves no file behind.
    void closeDownload(bool ibComplete = false);
    void downloadFile(const QString& isFilename);
    void startDownload(QString isFilename, bool ibPassage);
    bool decoderAtEnd() const;

    Package* mpPackage;
    WvcStreamDecoder* mpWvcStreamDecoder = nullptr;
    WavStreamDecoder* mpWavStreamDecoder = nullptr;
    QString msFilename;
    QString msCallId;
    QBuffer maDecodedAudioBuffer;
    QMutex maBufferMutex;
    AudioFormat maAudioFormat;
    qint64 mnDuration = 0;
    qint64 mnPosition = 0;
    qint32 mnNotifyInterval = 120;
    qint64 mnSeekPosition = 0;
    qint32 mnMaxBufferSize = 0;
    qint32 mnPcmDataSize = 0;
    qint32 mnBytesWritten = 0;
    QAudioOutput* mpAudioOutput = nullptr;
    QIODevice* mpOutputDevice = nullptr;
    QTimer* mpStreamingTimer = nullptr;
    QTimer* mpWhilePlayingTimer = nullptr;
    QTimer* mpIdleTimer = nullptr;
    QProgressDialog* mpProgressDialog = nullptr;
    bool mbSeeking = false;
    bool mbStopped = false;
    bool bMuted = false;
    bool bPaused = true;
    bool mbWvc = false;
    bool mbDownloading = false;
    qint32 mnNotchFrequency = 0;
    float mfQFactor = 0.5f;
    float mfAmplifyRatio = 1.0f;
    qint32 mnBalance = 0;
    bool mbNotch = false;
    bool mbAmplify = false;
    bool mbBalance = false;
    qint64 mnZoomStart = 0;
    qint64 mnZoomEnd = 0;
    // The "redact" and "redactwith" query items of a load or download.
    QVector<RedactionStage::Span> maRedactSpans;
    RedactionStage::Fill mnRedactFill = RedactionStage::Fill::Tone;

    int mnIdleInterval = 300000;
    quint32 mnStreamingStarts = 0;
    // The busy cursor of a load is up until the header arrives or the load fails.
    bool mbBusyCursor = false;
    // An 8-bit source whose samples a download widens to 16 bits.
    bool mbWidenSamples = false;
    // Guards the streaming step against re-entry from nested event loops
    // (the modal progress dialog runs one while it updates).
    bool mbInStreamStep = false;

    // Tempo and loop: set by the "tempo" query item of a load and by the
    // page; the timeline maps played output back to recording time.
    double mfTempo = 1.0;
    bool mbLoop = false;
    PlaybackTimeline maTimeline;
    void storeTempo(double ifTempo);
    // The output's byte rate, for the timeline.
    qint64 bytesPerSecond() const;
};
