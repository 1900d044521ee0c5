#pragma once
// What a decoder thread shares with the player: the control flags that the
// player sets and the thread polls, and the shared PCM buffer that the
// thread fills and the player drains.
#include <QtGlobal>

#include <atomic>
#include <functional>

class QBuffer;
class QMutex;

class StreamControl
{
public:
    // The player's default ceiling of the shared buffer: a seek or an
    // unload discards at most this much decoded audio.
    static constexpr int cnBufferCeiling = 32000;

    StreamControl(QBuffer* ipaBuffer, QMutex* ipaMutex);

    // Flags are atomics: they are written on the main thread and read on the
    // decoder thread.
    std::atomic<bool> mbStopRequested { false };
    std::atomic<bool> mbSuspended { false };
    std::atomic<bool> mbSeekRequested { false };
    std::atomic<qint64> mnSeekPosition { 0 };
    // Set by the thread once it has handed on everything it will deliver
    // (end of data, zoom end, a fatal error); cleared by a seek.
    std::atomic<bool> mbEndOfData { false };
    // Set by the thread when the recording cannot be read any further (the
    // package file changed or went away, or the member is damaged past its
    // start): what it delivered is all there will be, and it is not the whole.
    std::atomic<bool> mbFailed { false };
    // Downloads raise it so that a file is written in large steps.
    std::atomic<int> mnCeiling { cnBufferCeiling };

    void requestSeek(qint64 inTarget);
    // Takes a pending seek: false when none is pending, else clears the
    // request and returns its target in orTarget.
    bool takeSeek(qint64& orTarget);

    // Bytes in the shared buffer.
    int buffered() const;
    bool isFull() const { return buffered() > mnCeiling.load(); }
    // Appends under the mutex unless a seek has been requested meanwhile
    // (that PCM belongs before the seek target). False when dropped.
    bool append(const char* ipData, int inBytes);

    // Sleeps up to inMs in small slices; wakes early when stop or a seek is
    // requested or ibUntil turns true, so that the thread reacts at once.
    void nap(int inMs, const std::function<bool()>& ibUntil = nullptr) const;

private:
    QBuffer* mpBuffer;
    QMutex* mpMutex;
};
