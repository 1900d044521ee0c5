#include "StreamControl.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>

StreamControl::StreamControl(QBuffer* ipaBuffer, QMutex* ipaMutex)
    : mpBuffer(ipaBuffer)
    , mpMutex(ipaMutex)
{
}

void StreamControl::requestSeek(qint64 inTarget)
{
    mnSeekPosition = inTarget;
    mbSeekRequested = true;
}

bool StreamControl::takeSeek(qint64& orTarget)
{
    // Cleared before the target is read: a request that comes in between is
    // carried out with its own target, at worst twice.
    if (!mbSeekRequested.exchange(false))
        return false;
    orTarget = mnSeekPosition.load();
    return true;
}

int StreamControl::buffered() const
{
    QMutexLocker aLock(mpMutex);
    return mpBuffer->buffer().size();
}

bool StreamControl::append(const char* ipData, int inBytes)
{
    QMutexLocker aLock(mpMutex);
    if (mbSeekRequested)
        return false;
    mpBuffer->buffer().append(ipData, inBytes);
    return true;
}

void StreamControl::nap(int inMs, const std::function<bool()>& ibUntil) const
{
    // Playing wakes rarely (the buffer holds a quarter second or more);
    // a download, whose buffer the player drains at once, wakes often.
    const int nSlice = mnCeiling > cnBufferCeiling ? 2 : 20;
    QElapsedTimer aTimer;
    aTimer.start();
    while (aTimer.elapsed() < inMs) {
        if (mbStopRequested || mbSeekRequested || (ibUntil && ibUntil()))
            return;
        QThread::msleep(ulong(qMin<qint64>(nSlice, inMs - aTimer.elapsed() + 1)));
    }
}
