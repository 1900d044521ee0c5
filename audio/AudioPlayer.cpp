#include "AudioPlayer.h"

#include "Package.h"
#include "TempoStage.h"
#include "WavStreamDecoder.h"
#include "WvcStreamDecoder.h"

#include <QApplication>
#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QDebug>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QUrlQuery>

namespace {
const QString csWavePrefix = QStringLiteral("/app/wave/");
constexpr int cnStreamingInterval = 15;
constexpr int cnStreamingDelay = 150;

QString withWavePrefix(const QString& isName)
{
    return isName.startsWith(csWavePrefix) ? isName : csWavePrefix + isName;
}

// "1500.7" gives 1500: a fractional part is dropped, unparsable text is 0.
qint64 wholeMilliseconds(QString isValue)
{
    const int nDot = isValue.indexOf(QLatin1Char('.'));
    if (nDot > 0)
        isValue.truncate(nDot);
    return isValue.toLongLong(nullptr, 10);
}
} // namespace

AudioPlayer::AudioPlayer(Package* ipaPackage)
    : QWidget(nullptr)
    , mpPackage(ipaPackage)
{
    qRegisterMetaType<QAudio::State>("QAudio::State");
    resetState();
}

AudioPlayer::~AudioPlayer()
{
    if (mbDownloading)
        closeDownload();
    else
        unload();
}

void AudioPlayer::resetState()
{
    bMuted = false;
    qDebug() << "emit mutedChanged() -->" << bMuted;
    emit mutedChanged();
    mbSeeking = false;
    mbStopped = false;
    bPaused = true;
    mbWvc = false;
    mbDownloading = false;
    mpWvcStreamDecoder = nullptr;
    mpWavStreamDecoder = nullptr;
    mpAudioOutput = nullptr;
    mpOutputDevice = nullptr;
    mpStreamingTimer = nullptr;
    mpWhilePlayingTimer = nullptr;
    mpIdleTimer = nullptr;
    mpProgressDialog = nullptr;
    mnNotchFrequency = 0;
    mfQFactor = 0.5f;
    mfAmplifyRatio = 1.0f;
    mnBalance = 0;
    mnSeekPosition = 0;
    // Nothing is loaded: the page must not keep showing the last place.
    if (mnPosition != 0) {
        mnPosition = 0;
        emit whilePlayingJs();
    }
    mbNotch = mbAmplify = mbBalance = false;
    mnZoomStart = mnZoomEnd = 0;
    maRedactSpans.clear();
    mnRedactFill = RedactionStage::Fill::Tone;
    mbWidenSamples = false;
}

// ---- loading ----

void AudioPlayer::parseQuery(const QString& isQuery)
{
    const QUrlQuery aQuery(isQuery);
    qDebug() << "Query:" << isQuery;
    if (aQuery.hasQueryItem(QStringLiteral("notchfrequency"))) {
        mnNotchFrequency = aQuery.queryItemValue(QStringLiteral("notchfrequency")).toInt(nullptr, 10);
        mbNotch = true;
        qDebug() << "AUDIO EFFECT notchfrequency=" << mnNotchFrequency;
        if (aQuery.hasQueryItem(QStringLiteral("qfactor"))) {
            const QString sQ = aQuery.queryItemValue(QStringLiteral("qfactor"));
            mfQFactor = sQ.isEmpty() ? 0.5f : sQ.toFloat();
            qDebug() << "AUDIO EFFECT qfactor=" << mfQFactor;
        }
    }
    if (aQuery.hasQueryItem(QStringLiteral("amplifyratio"))) {
        mfAmplifyRatio = aQuery.queryItemValue(QStringLiteral("amplifyratio")).toFloat();
        mbAmplify = true;
        qDebug() << "AUDIO EFFECT amplifyratio=" << mfAmplifyRatio;
    }
    if (aQuery.hasQueryItem(QStringLiteral("balance"))) {
        mnBalance = aQuery.queryItemValue(QStringLiteral("balance")).toInt(nullptr, 10);
        mbBalance = true;
        qDebug() << "AUDIO EFFECT balance=" << mnBalance;
    }
    if (aQuery.hasQueryItem(QStringLiteral("zoomstart")) && aQuery.hasQueryItem(QStringLiteral("zoomend"))) {
        mnZoomStart = wholeMilliseconds(aQuery.queryItemValue(QStringLiteral("zoomstart")));
        mnZoomEnd = wholeMilliseconds(aQuery.queryItemValue(QStringLiteral("zoomend")));
        qDebug() << "ZOOM SEGMENT start=" << mnZoomStart << " end=" << mnZoomEnd;
    }
    maRedactSpans = RedactionStage::parseSpans(aQuery.queryItemValue(QStringLiteral("redact")));
    mnRedactFill = RedactionStage::fillFromText(aQuery.queryItemValue(QStringLiteral("redactwith")));
    if (!maRedactSpans.isEmpty())
        qDebug() << "REDACT" << RedactionStage::spansText(maRedactSpans);
}

void AudioPlayer::applyQuery(WvcStreamDecoder* ipDecoder)
{
    if (mbNotch)
        ipDecoder->setNotchFilter(uint32_t(qMax(0, mnNotchFrequency)), mfQFactor);
    if (mbAmplify && !mbBalance) {
        ipDecoder->setAmplify(0, mfAmplifyRatio);
        ipDecoder->setAmplify(1, mfAmplifyRatio);
    }
    if (mbBalance) {
        const float fBase = mbAmplify ? mfAmplifyRatio : 1.0f;
        float fLeft = fBase;
        float fRight = fBase;
        if (mnBalance < 0)
            fRight = fBase - float(qAbs(mnBalance)) * fBase / 100.0f;
        else if (mnBalance > 0)
            fLeft = fBase - float(mnBalance) * fBase / 100.0f;
        ipDecoder->setAmplify(0, fLeft);
        ipDecoder->setAmplify(1, fRight);
    }
    if (mnZoomEnd > 0)
        ipDecoder->setZoom(mnZoomStart, mnZoomEnd);
    ipDecoder->playback().setRedaction(maRedactSpans, mnRedactFill);
}

void AudioPlayer::applyQuery(WavStreamDecoder* ipDecoder)
{
    if (mbNotch)
        ipDecoder->addNotchFilter(mnNotchFrequency, mfQFactor);
    if (mbAmplify)
        ipDecoder->addAmplify(mfAmplifyRatio);
    if (mnZoomEnd > 0)
        ipDecoder->setZoom(mnZoomStart, mnZoomEnd);
    ipDecoder->playback().setRedaction(maRedactSpans, mnRedactFill);
}

void AudioPlayer::loadFromPackage(QString isFilename, QString isCallId)
{
    // The page unloads first; a caller that does not must not leave the
    // earlier decoder thread and output running unowned.
    if (mpWvcStreamDecoder || mpWavStreamDecoder || mpAudioOutput || mbDownloading)
        unload();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mbBusyCursor = true;
    msCallId = isCallId;
    qDebug() << "emit callIdChanged( " << isCallId << " )";
    emit callIdChanged(isCallId);
    qInfo() << "Loading audio file from package: " << isFilename << " Call ID: " << isCallId;
    // Probing every device costs about 80 ms; it is done for the debug log only.
    if (QLoggingCategory::defaultCategory()->isDebugEnabled())
        for (const QAudioDeviceInfo& rDevice : QAudioDeviceInfo::availableDevices(QAudio::AudioOutput))
            qDebug() << rDevice.deviceName() << rDevice.supportedCodecs();

    QString sName = withWavePrefix(isFilename);
    const int nQuery = sName.indexOf(QLatin1Char('?'));
    msFilename = nQuery < 0 ? sName : sName.left(nQuery);
    const QString sQuery = nQuery >= 0 ? sName.mid(nQuery) : QString();
    parseQuery(sQuery); // the "?" stays with the first key
    // Absent, empty or 1: the recording plays at its own speed.
    storeTempo(TempoStage::tempoFromText(QUrlQuery(sQuery).queryItemValue(QStringLiteral("tempo"))));
    qDebug() << "AUDIO EFFECT tempo=" << mfTempo;

    mbWvc = msFilename.contains(QLatin1String(".wvc"));
    maDecodedAudioBuffer.open(QIODevice::ReadWrite);
    mnMaxBufferSize = 0;

    bool bOpened = false;
    if (mbWvc) {
        mpWvcStreamDecoder = new WvcStreamDecoder(this, mpPackage, msFilename, &maDecodedAudioBuffer,
                                                  &maBufferMutex, &maAudioFormat);
        mpWvcStreamDecoder->reset();
        mpWvcStreamDecoder->playback().setTempo(mfTempo);
        mpWvcStreamDecoder->playback().setLoop(mbLoop);
        mpWvcStreamDecoder->playback().setTimeline(&maTimeline);
        connect(mpWvcStreamDecoder, &WvcStreamDecoder::headerReady, this, &AudioPlayer::readHeader);
        applyQuery(mpWvcStreamDecoder);
        // Unlike the WAV path the result used to be ignored, which left the
        // busy cursor up and the page waiting when the recording could not
        // be opened (damaged file, wrong password).
        if (mpWvcStreamDecoder->open() == 0) {
            qDebug() << "emit onLoadJs ( " << msCallId << " )";
            emit onLoadJs(msCallId);
            emit whileLoadingJs();
            mpWvcStreamDecoder->start();
            bOpened = true;
        } else {
            restoreCursor();
            showError(packageChanged() ? unreadableMessage() : tr("<p>Could not open wvc file."));
            unload();
        }
    } else {
        mpWavStreamDecoder = new WavStreamDecoder(this, mpPackage, msFilename, &maDecodedAudioBuffer,
                                                  &maBufferMutex, &maAudioFormat);
        mpWavStreamDecoder->playback().setTempo(mfTempo);
        mpWavStreamDecoder->playback().setLoop(mbLoop);
        mpWavStreamDecoder->playback().setTimeline(&maTimeline);
        applyQuery(mpWavStreamDecoder);
        connect(mpWavStreamDecoder, &WavStreamDecoder::headerReady, this, &AudioPlayer::readHeader);
        if (mpWavStreamDecoder->open() != 0) {
            restoreCursor();
            showError(packageChanged() ? unreadableMessage() : tr("<p>Could not open wav file."));
            unload();
        } else {
            qDebug() << "emit onLoadJs ( " << msCallId << " )";
            emit onLoadJs(msCallId);
            qDebug() << "emit whileLoadingJs()";
            emit whileLoadingJs();
            mpWavStreamDecoder->start();
            bOpened = true;
        }
    }
    // A recording that could not be opened is not playing: the page hears
    // about it as paused.
    setPaused(!bOpened);
}

void AudioPlayer::readHeader()
{
    qDebug() << "maAudioFormat.channelCount: " << maAudioFormat.channelCount();
    qDebug() << "maAudioFormat.sampleRate:   " << maAudioFormat.sampleRate();
    qDebug() << "maAudioFormat.sampleSize:   " << maAudioFormat.sampleSize();
    mnDuration = qint64(maAudioFormat.duration);
    qDebug() << "emit durationChanged() --> " << mnDuration;
    emit durationChanged();
    qDebug() << "mnDuration:                 " << mnDuration << " ms";
    mnNotifyInterval = qint32(qBound<qint64>(120, mnDuration / 500, 1000));
    qDebug() << "mnNotifyInterval:           " << mnNotifyInterval << " ms";
    if (mbDownloading) {
        writeWavHeader();
    } else {
        QMutexLocker aLock(&maBufferMutex);
        maTimeline.restart(0, mfTempo, bytesPerSecond());
    }
    startOutput();
    restoreCursor();
}

int AudioPlayer::startOutput()
{
    if (!mbDownloading) {
        const QAudioDeviceInfo aDevice = QAudioDeviceInfo::defaultOutputDevice();
        // An open that failed after the header leaves no usable format.
        if (aDevice.isNull() || maAudioFormat.sampleRate() <= 0 || maAudioFormat.channelCount() <= 0
            || !aDevice.isFormatSupported(maAudioFormat)) {
            restoreCursor();
            showError(tr("<p>Device to play audio not found."));
            return -1;
        }
        mpAudioOutput = new QAudioOutput(aDevice, maAudioFormat, this);
        connect(mpAudioOutput, SIGNAL(stateChanged(QAudio::State)), this, SLOT(audioStateChanged(QAudio::State)));
        mpAudioOutput->setVolume(bMuted ? 0.0 : 1.0);
        mpOutputDevice = mpAudioOutput->start();
        if (mpOutputDevice && !mpOutputDevice->isOpen())
            mpOutputDevice->open(QIODevice::ReadWrite);
    }
    mnBytesWritten = 0;
    mbStopped = false;
    startStreamingSoon();
    return 0;
}

void AudioPlayer::startStreamingSoon()
{
    const quint32 nStart = ++mnStreamingStarts;
    QTimer::singleShot(cnStreamingDelay, this, [this, nStart] {
        if (nStart == mnStreamingStarts)
            startStreamingTimer();
    });
}

void AudioPlayer::startStreamingTimer()
{
    if (mbStopped)
        return;
    deleteIdleTimer();
    // A second start (resume from Idle, a load right after an unload) must
    // not leave the earlier timers running beside the new ones.
    deleteStreamingTimers();
    mpStreamingTimer = new QTimer(this);
    // Downloads are not paced by a device: they move PCM as fast as the
    // decoder delivers it.
    mpStreamingTimer->setInterval(mbDownloading ? 1 : cnStreamingInterval);
    connect(mpStreamingTimer, &QTimer::timeout, this, &AudioPlayer::streamBuffer);
    mpStreamingTimer->start();
    mpWhilePlayingTimer = new QTimer(this);
    mpWhilePlayingTimer->setInterval(mnNotifyInterval);
    connect(mpWhilePlayingTimer, &QTimer::timeout, this, &AudioPlayer::whilePlaying);
    mpWhilePlayingTimer->start();
}

// ---- streaming and position ----

void AudioPlayer::streamBuffer()
{
    if (mbSeeking || mbStopped || mbInStreamStep)
        return;
    int nAvailable;
    {
        QMutexLocker aLock(&maBufferMutex);
        nAvailable = maDecodedAudioBuffer.buffer().size();
    }
    mnMaxBufferSize = qMax(mnMaxBufferSize, nAvailable);
    if (mbDownloading) {
        streamToFile(nAvailable);
        return;
    }
    // Everything that was read has been handed on; the rest cannot be read.
    if (nAvailable == 0 && decoderFailed()) {
        stopWithError(unreadableMessage());
        return;
    }
    if (!mpAudioOutput || !mpOutputDevice)
        return;
    const int nCount = qMin(nAvailable, mpAudioOutput->bytesFree());
    if (nCount <= 0)
        return;
    QMutexLocker aLock(&maBufferMutex);
    QByteArray& rBuffer = maDecodedAudioBuffer.buffer();
    const qint64 nWritten = mpOutputDevice->write(rBuffer.constData(), nCount);
    if (nWritten >= 1)
        rBuffer.remove(0, int(nWritten));
}

void AudioPlayer::whilePlaying()
{
    if (!mpAudioOutput) {
        mnPosition = 0;
        emit whilePlayingJs();
        return;
    }
    const qint64 nProcessed = mpAudioOutput->processedUSecs();
    if (nProcessed == 0)
        return;
    const qint64 nBytesPerFrame = qint64(maAudioFormat.channelCount()) * maAudioFormat.sampleSize() / 8;
    const qint64 nRate = maAudioFormat.sampleRate();
    qint64 nBuffered = 0;
    if (nBytesPerFrame > 0 && nRate > 0)
        nBuffered = qint64(mpAudioOutput->bufferSize() - mpAudioOutput->bytesFree()) * 1000000 / nBytesPerFrame / nRate;
    qint64 nPosition = (nProcessed - nBuffered) / 1000 + (mnSeekPosition / 20) * 20;
    {
        // Stretched or looped output runs apart from the recording's time.
        QMutexLocker aLock(&maBufferMutex);
        if (!maTimeline.isPlain())
            nPosition = maTimeline.position(nProcessed - nBuffered);
    }
    if (nPosition < 0) {
        qWarning() << "position is negative, correcting to 0: " << nPosition;
        nPosition = 0;
    }
    mnPosition = nPosition;
    emit whilePlayingJs();
}

void AudioPlayer::audioStateChanged(QAudio::State inState)
{
    switch (inState) {
    case QAudio::ActiveState:
        if (bMuted)
            mute();
        else
            unmute();
        qDebug() << "ACTIVE (Buffer size: " << mpAudioOutput->bufferSize() << ")";
        qDebug() << "ACTIVE (Period size: " << mpAudioOutput->periodSize() << ")";
        break;
    case QAudio::SuspendedState:
        qDebug() << "SUSPENDED";
        break;
    case QAudio::StoppedState:
        qDebug() << "STOPPED";
        // The sound server went away under the output (stopped, crashed):
        // the output will not play again, a new one will once it is back.
        // Handled on the next turn of the event loop: the output may be in
        // the middle of a call of ours (start) and must not go under it.
        if (mpAudioOutput && mpAudioOutput->error() == QAudio::FatalError) {
            qWarning() << "Sound output failed while playing";
            QPointer<QAudioOutput> pFailed(mpAudioOutput);
            QTimer::singleShot(0, this, [this, pFailed] {
                if (pFailed && pFailed == mpAudioOutput)
                    stopWithError(tr("<p>The sound device stopped working. Playback has ended."));
            });
        }
        break;
    case QAudio::InterruptedState:
        qDebug() << "INTERRUPTED";
        break;
    case QAudio::IdleState:
        qDebug() << "IDLE";
        whilePlaying();
        qDebug() << "nLeftToPlay= " << mnDuration - mnPosition;
        break;
    }
}

// ---- user operations ----

QAudio::State AudioPlayer::outputState() const
{
    return mpAudioOutput ? mpAudioOutput->state() : QAudio::StoppedState;
}

void AudioPlayer::setPaused(bool ibPaused)
{
    bPaused = ibPaused;
    qDebug() << "emit pausedChanged() --> " << bPaused;
    emit pausedChanged();
}

template <typename Operation>
static void forDecoders(WvcStreamDecoder* ipWvc, WavStreamDecoder* ipWav, Operation iOperation)
{
    if (ipWvc)
        iOperation(ipWvc);
    if (ipWav)
        iOperation(ipWav);
}

void AudioPlayer::pause()
{
    if (!mpAudioOutput)
        return;
    qDebug() << "Pause pressed";
    const QAudio::State nState = outputState();
    if (nState == QAudio::SuspendedState || nState == QAudio::StoppedState) {
        qDebug() << "but already paused";
        setPaused(true);
        return;
    }
    if (nState == QAudio::InterruptedState) {
        qDebug() << "Invalid state: " << nState;
        setPaused(true);
        return;
    }
    forDecoders(mpWvcStreamDecoder, mpWavStreamDecoder, [](auto* p) { p->suspend(); });
    ++mnStreamingStarts;
    deleteStreamingTimers();
    deleteIdleTimer();
    mpIdleTimer = new QTimer(this);
    mpIdleTimer->setSingleShot(true);
    mpIdleTimer->setInterval(mnIdleInterval);
    connect(mpIdleTimer, &QTimer::timeout, this, &AudioPlayer::idlePlayer);
    mpIdleTimer->start();
    mpAudioOutput->suspend();
    setPaused(true);
}

void AudioPlayer::resume()
{
    if (!mpAudioOutput)
        return;
    const QAudio::State nState = outputState();
    qDebug() << "Resume pressed, audio state: " << nState;
    switch (nState) {
    case QAudio::ActiveState:
        qDebug() << "but already playing";
        break;
    case QAudio::SuspendedState:
    case QAudio::IdleState:
    case QAudio::StoppedState:
        forDecoders(mpWvcStreamDecoder, mpWavStreamDecoder, [](auto* p) { p->resume(); });
        mbStopped = false;
        startStreamingSoon();
        if (nState == QAudio::StoppedState) {
            mpOutputDevice = mpAudioOutput->start();
            if (mpOutputDevice && !mpOutputDevice->isOpen())
                mpOutputDevice->open(QIODevice::ReadWrite);
        } else {
            mpAudioOutput->resume();
        }
        break;
    case QAudio::InterruptedState:
        qDebug() << "Invalid state: " << nState;
        break;
    }
    setPaused(false);
}

void AudioPlayer::togglePause()
{
    if (!mpAudioOutput)
        return;
    const QAudio::State nState = outputState();
    qDebug() << "togglePause pressed in state: " << nState;
    if (nState == QAudio::ActiveState)
        pause();
    else if (nState == QAudio::InterruptedState)
        qDebug() << "Invalid state: " << nState;
    else
        resume();
}

void AudioPlayer::play()
{
    togglePause();
}

void AudioPlayer::stop()
{
    if (!mpAudioOutput)
        return;
    qDebug() << "Stop pressed";
    mbStopped = true;
    pause();
    seek(0);
}

int AudioPlayer::seek(qlonglong inPosition)
{
    if (!mpAudioOutput)
        return -1;
    mbSeeking = true;
    mnSeekPosition = inPosition;
    qDebug() << "Seeking to position:" << inPosition << " ms";
    stopAudioOutput();
    deleteIdleTimer();
    deleteStreamingTimers();
    // The request goes first: PCM that the thread appends from here on is
    // dropped, so nothing from before the target survives the clearing.
    forDecoders(mpWvcStreamDecoder, mpWavStreamDecoder, [inPosition](auto* p) { p->seek(inPosition); });
    {
        QMutexLocker aLock(&maBufferMutex);
        maDecodedAudioBuffer.buffer().clear();
        maTimeline.restart(inPosition, mfTempo, bytesPerSecond());
    }
    startOutput();
    mbSeeking = false;
    return 0;
}

// ---- tempo and loop ----

void AudioPlayer::storeTempo(double ifTempo)
{
    const double fTempo = TempoStage::clampTempo(ifTempo);
    if (qFuzzyCompare(fTempo, mfTempo))
        return;
    mfTempo = fTempo;
    qDebug() << "emit tempoChanged() --> " << mfTempo;
    emit tempoChanged();
}

void AudioPlayer::setTempo(double ifTempo)
{
    const double fBefore = mfTempo;
    storeTempo(ifTempo);
    if (qFuzzyCompare(fBefore, mfTempo) || mbDownloading)
        return;
    forDecoders(mpWvcStreamDecoder, mpWavStreamDecoder, [this](auto* p) { p->playback().setTempo(mfTempo); });
    // The stretch starts afresh where the listener is; a seek keeps the
    // paused state.
    if (mpAudioOutput) {
        whilePlaying();
        seek(mnPosition);
    }
}

void AudioPlayer::setLoop(bool ibLoop)
{
    if (ibLoop == mbLoop)
        return;
    mbLoop = ibLoop;
    qDebug() << "emit loopChanged() --> " << mbLoop;
    emit loopChanged();
    if (!mbDownloading)
        forDecoders(mpWvcStreamDecoder, mpWavStreamDecoder, [this](auto* p) { p->playback().setLoop(mbLoop); });
}

qint64 AudioPlayer::bytesPerSecond() const
{
    return qint64(maAudioFormat.sampleRate()) * maAudioFormat.channelCount() * maAudioFormat.sampleSize() / 8;
}

void AudioPlayer::mute()
{
    qDebug() << "mute pressed";
    bMuted = true;
    qDebug() << "emit mutedChanged() --> " << bMuted;
    emit mutedChanged();
    if (mpAudioOutput)
        mpAudioOutput->setVolume(0.0);
}

void AudioPlayer::unmute()
{
    qDebug() << "unmute pressed";
    bMuted = false;
    qDebug() << "emit mutedChanged() --> " << bMuted;
    emit mutedChanged();
    if (mpAudioOutput)
        mpAudioOutput->setVolume(1.0);
}

void AudioPlayer::toggleMute()
{
    qDebug() << "toggleMute pressed";
    if (bMuted)
        unmute();
    else
        mute();
}

void AudioPlayer::idlePlayer()
{
    qDebug() << "Player stopped or paused more than one minute. Idling player...";
    unload();
    qDebug() << "emit idleJs()";
    emit idleJs();
}

// ---- unloading ----

void AudioPlayer::stopAudioOutput()
{
    if (!mpAudioOutput)
        return;
    mpAudioOutput->stop();
    mpAudioOutput->disconnect();
    delete mpAudioOutput;
    mpAudioOutput = nullptr;
    mpOutputDevice = nullptr;
    qDebug() << "disconnected audio output";
}

void AudioPlayer::deleteIdleTimer()
{
    if (!mpIdleTimer)
        return;
    delete mpIdleTimer;
    mpIdleTimer = nullptr;
    qDebug() << "stopped idle timer";
}

void AudioPlayer::deleteStreamingTimers()
{
    if (mpStreamingTimer) {
        delete mpStreamingTimer;
        mpStreamingTimer = nullptr;
        qDebug() << "stopped streaming timer";
    }
    if (mpWhilePlayingTimer) {
        delete mpWhilePlayingTimer;
        mpWhilePlayingTimer = nullptr;
        qDebug() << "stopped whilePlaying timer";
    }
}

void AudioPlayer::unload()
{
    // A running download is ended first: its file must not stay behind
    // looking complete.
    if (mbDownloading) {
        closeDownload();
        return;
    }
    mbStopped = true;
    restoreCursor();
    stopAudioOutput();
    deleteIdleTimer();
    deleteStreamingTimers();
    // Joined before they are released: a thread object goes only once its
    // thread has finished.
    forDecoders(mpWvcStreamDecoder, mpWavStreamDecoder, [this](auto* p) {
        p->stop();
        p->wait();
        delete p;
        qDebug() << "The maximum audio buffer size was: " << mnMaxBufferSize << " bytes";
    });
    mpWvcStreamDecoder = nullptr;
    mpWavStreamDecoder = nullptr;
    if (maDecodedAudioBuffer.isOpen()) {
        QMutexLocker aLock(&maBufferMutex);
        maDecodedAudioBuffer.buffer().clear();
        maDecodedAudioBuffer.close();
        qDebug() << "maDecodedAudioBuffer cleared and closed";
    }
    resetState();
}

void AudioPlayer::restoreCursor()
{
    if (!mbBusyCursor)
        return;
    mbBusyCursor = false;
    QApplication::restoreOverrideCursor();
}

void AudioPlayer::showError(const QString& isMessage)
{
    QMessageBox::critical(this, tr("Error"), isMessage);
}

void AudioPlayer::stopWithError(const QString& isMessage)
{
    unload();
    setPaused(true);
    qDebug() << "emit idleJs()";
    emit idleJs();
    showError(isMessage);
}

bool AudioPlayer::packageChanged() const
{
    return mpPackage->isPackageOpen() && !mpPackage->fileUnchanged();
}

bool AudioPlayer::decoderFailed() const
{
    return (mpWvcStreamDecoder && mpWvcStreamDecoder->failed()) || (mpWavStreamDecoder && mpWavStreamDecoder->failed());
}

QString AudioPlayer::unreadableMessage()
{
    return tr("<p>Could not read from the package: the package file has changed or is no longer available.");
}
