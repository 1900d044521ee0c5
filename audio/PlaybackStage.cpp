#include "PlaybackStage.h"

#include "PlaybackTimeline.h"
#include "StreamControl.h"
#include "TempoStage.h"

#include <QBuffer>
#include <QMutex>

PlaybackStage::PlaybackStage(QBuffer* ipaBuffer, QMutex* ipaMutex, StreamControl* ipaControl)
    : mpBuffer(ipaBuffer)
    , mpMutex(ipaMutex)
    , mpControl(ipaControl)
{
}

PlaybackStage::~PlaybackStage() = default;

void PlaybackStage::setFormat(int inChannels, int inSampleRate, int inBytesPerSample)
{
    mnChannels = inChannels;
    mnSampleRate = inSampleRate;
    mnBytesPerSample = inBytesPerSample;
    maRedaction = RedactionStage(maRedactSpans, mnRedactFill, inSampleRate, inChannels);
    mpTempo.reset();
    restart();
}

void PlaybackStage::restart()
{
    mnAppended = 0;
    mbFlushed = true;
    mbLoopHasData = false;
    const double fTempo = TempoStage::clampTempo(mfTempo);
    if (TempoStage::isUnchanged(fTempo)) {
        mpTempo.reset();
        return;
    }
    if (mpTempo && qFuzzyCompare(mpTempo->tempo(), fTempo))
        mpTempo->clear();
    else
        mpTempo = std::make_unique<TempoStage>(mnChannels, mnSampleRate, mnBytesPerSample, fTempo);
}

bool PlaybackStage::append(const char* ipData, int inBytes, qint64 inFirstFrame)
{
    if (!maRedaction.isEmpty() && inBytes > 0) {
        maRedacted = QByteArray(ipData, inBytes);
        const int nFrames = inBytes / qMax(1, mnChannels * mnBytesPerSample);
        if (mnBytesPerSample == 2)
            maRedaction.process(reinterpret_cast<qint16*>(maRedacted.data()), nFrames, inFirstFrame);
        else
            maRedaction.process(reinterpret_cast<quint8*>(maRedacted.data()), nFrames, inFirstFrame);
        ipData = maRedacted.constData();
    }
    mbFlushed = false;
    mbLoopHasData = true;
    if (!mpTempo)
        return appendToBuffer(ipData, inBytes);
    maStretched.resize(0);
    mpTempo->process(ipData, inBytes, maStretched);
    return maStretched.isEmpty() || appendToBuffer(maStretched.constData(), maStretched.size());
}

bool PlaybackStage::appendToBuffer(const char* ipData, int inBytes)
{
    QMutexLocker aLock(mpMutex);
    if (mpControl->mbSeekRequested)
        return false;
    mpBuffer->buffer().append(ipData, inBytes);
    mnAppended += inBytes;
    return true;
}

bool PlaybackStage::endOfData()
{
    // A segment that gave no PCM would start over forever.
    if (mbLoop && mbLoopHasData) {
        mbLoopHasData = false;
        // The stretch goes on across the restart, so the segment joins its
        // start without a seam; what it still holds plays before the mark.
        const qint64 nPending = mpTempo ? mpTempo->pendingFrames() * mpTempo->bytesPerFrame() : 0;
        QMutexLocker aLock(mpMutex);
        if (mpTimeline && !mpControl->mbSeekRequested)
            mpTimeline->markLoop(mnAppended + nPending, 0);
        return true;
    }
    if (mpTempo && !mbFlushed) {
        maStretched.resize(0);
        mpTempo->flush(maStretched);
        if (!maStretched.isEmpty())
            appendToBuffer(maStretched.constData(), maStretched.size());
    }
    mbFlushed = true;
    return false;
}
