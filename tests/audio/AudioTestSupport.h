#pragma once
// Helpers of the player tests: recordings (WAV bytes, WVC files from our
// writer) in real packages, and a recorder of what reaches the sound device.
#include "PackageWriter.h"
#include "WvcWriter.h"
#include "FrameEncoder.h"

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <vector>

namespace audiotest {

// How long a test waits for the sound server or the player: the sanitizer
// build on a busy machine stretches these far; a wait that is met returns
// at once.
constexpr int cnDeviceWaitMs = 20000;

using Samples = std::vector<qint16>;

// A tone with a little noise that never passes through 0: silence in a
// recording of the device is then the device's, never the signal's.
inline Samples tone(int inCount, int inSeed, double ifAmplitude = 9000.0)
{
    Samples a(static_cast<size_t>(inCount));
    quint32 nNoise = 4711u + quint32(inSeed) * 7919u;
    for (int i = 0; i < inCount; ++i) {
        nNoise = nNoise * 1664525u + 1013904223u;
        int n = int(ifAmplitude * std::sin(0.031 * (inSeed + 1) * i)) + int(nNoise >> 24) - 128;
        if (n == 0)
            n = 1;
        a[size_t(i)] = qint16(n);
    }
    return a;
}

inline QByteArray le(quint32 inValue, int inBytes)
{
    QByteArray a(inBytes, 0);
    for (int i = 0; i < inBytes; ++i)
        a[i] = char((inValue >> (8 * i)) & 0xFF);
    return a;
}

// A mono WAV file: format tag 1 (PCM) or 6 (A-law) with its sample bytes.
inline QByteArray wavFile(int inTag, int inBits, int inRate, const QByteArray& iaData)
{
    const int nBytesPerSample = inBits / 8;
    QByteArray a = "RIFF" + le(quint32(36 + iaData.size()), 4) + "WAVE";
    a += "fmt " + le(16, 4) + le(quint32(inTag), 2) + le(1, 2) + le(quint32(inRate), 4)
        + le(quint32(inRate * nBytesPerSample), 4) + le(quint32(nBytesPerSample), 2) + le(quint32(inBits), 2);
    a += "data" + le(quint32(iaData.size()), 4) + iaData;
    return a;
}

inline QByteArray pcmBytes(const Samples& irSamples)
{
    return QByteArray(reinterpret_cast<const char*>(irSamples.data()), int(irSamples.size() * 2));
}

// G.711 A-law of a 16-bit sample (encoder side, for test input).
inline quint8 alawEncode(qint16 inSample)
{
    int n = inSample;
    int nSign = 0x80;
    if (n < 0) {
        nSign = 0;
        n = -n - 1;
    }
    n = qMin(n, 32767);
    int nExponent = 7;
    for (int nMask = 0x4000; (n & nMask) == 0 && nExponent > 0; nMask >>= 1)
        --nExponent;
    const int nMantissa = (n >> (nExponent == 0 ? 4 : nExponent + 3)) & 0x0F;
    return quint8((nSign | (nExponent << 4) | nMantissa) ^ 0x55);
}

inline qint16 alawDecode(quint8 inByte)
{
    int n = inByte ^ 0x55;
    const int nExponent = (n & 0x70) >> 4;
    int nValue = (n & 0x0F) << 4;
    nValue += nExponent == 0 ? 8 : 0x108;
    if (nExponent > 1)
        nValue <<= nExponent - 1;
    return qint16((n & 0x80) ? nValue : -nValue);
}

// WVC file bytes of 1 or 2 channels, the codec's usual frame length.
inline QByteArray wvcFile(const std::vector<Samples>& irChannels, int inRate, const std::string& isCodec,
                          const std::string& isPassword = std::string())
{
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = quint32(inRate);
    aOptions.nSamplesPerFrame = wvctools::defaultSamplesPerFrame(isCodec, quint32(inRate));
    aOptions.bEncrypted = !isPassword.empty();
    aOptions.sPassword = isPassword;
    std::vector<std::vector<int16_t>> aChannels(irChannels.begin(), irChannels.end());
    std::vector<std::unique_ptr<wvctools::FrameEncoder>> aEncoders;
    std::vector<wvctools::FrameEncoder*> aPointers;
    std::string sError;
    for (size_t i = 0; i < irChannels.size(); ++i) {
        aEncoders.push_back(wvctools::makeFrameEncoder(isCodec, quint32(inRate), aOptions.nSamplesPerFrame, sError));
        if (!aEncoders.back())
            qFatal("no encoder: %s", sError.c_str());
        aPointers.push_back(aEncoders.back().get());
    }
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    if (!aWriter.write(aChannels, aPointers, aPages))
        qFatal("writer failed: %s", aWriter.error().c_str());
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    return QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()));
}

inline Samples interleave(const Samples& irLeft, const Samples& irRight)
{
    Samples a;
    a.reserve(irLeft.size() * 2);
    for (size_t i = 0; i < irLeft.size(); ++i) {
        a.push_back(irLeft[i]);
        a.push_back(irRight[i]);
    }
    return a;
}

// Records the monitor of a null sink made the default output at the given
// rate and channel count, so that samples reach the recording unchanged.
class SinkRecorder
{
public:
    SinkRecorder(int inRate, int inChannels)
        : mnChannels(inChannels)
    {
        msSink = QStringLiteral("vorn_rec_%1_%2").arg(inRate).arg(inChannels);
        msModule = pactl({ "load-module", "module-null-sink", "sink_name=" + msSink, QString("rate=%1").arg(inRate),
                           QString("channels=%1").arg(inChannels), "format=s16le", "norewinds=1" })
                       .trimmed();
        msDefault = pactl({ "get-default-sink" }).trimmed();
        pactl({ "set-default-sink", msSink });
        maRecorder.start("parec", { "--latency-msec=20", "-d", msSink + ".monitor", "--raw", "--format=s16le",
                                    QString("--rate=%1").arg(inRate), QString("--channels=%1").arg(inChannels) });
        maRecorder.waitForStarted();
        // Connected once the monitor delivers its first (silent) samples: on
        // a busy machine that takes seconds, and sound played before is lost.
        if (!maRecorder.waitForReadyRead(cnDeviceWaitMs))
            qWarning("the monitor of %s delivers nothing", qPrintable(msSink));
        maRecorder.readAllStandardOutput();
    }
    ~SinkRecorder()
    {
        maRecorder.kill();
        maRecorder.waitForFinished();
        if (!msDefault.isEmpty())
            pactl({ "set-default-sink", msDefault });
        if (!msModule.isEmpty())
            pactl({ "unload-module", msModule });
    }

    // Everything recorded so far, appended to what was taken before.
    const Samples& samples()
    {
        maBytes += maRecorder.readAllStandardOutput();
        maSamples.assign(reinterpret_cast<const qint16*>(maBytes.constData()),
                         reinterpret_cast<const qint16*>(maBytes.constData()) + maBytes.size() / 2);
        return maSamples;
    }
    // The recording with every silent frame removed.
    Samples sound()
    {
        const Samples& a = samples();
        Samples aOut;
        for (size_t i = 0; i + size_t(mnChannels) <= a.size(); i += size_t(mnChannels)) {
            bool bSilent = true;
            for (int c = 0; c < mnChannels; ++c)
                bSilent = bSilent && a[i + size_t(c)] == 0;
            if (!bSilent)
                aOut.insert(aOut.end(), a.begin() + long(i), a.begin() + long(i) + mnChannels);
        }
        return aOut;
    }
    // Frames recorded so far.
    qint64 frames() { return qint64(samples().size()) / mnChannels; }
    // Waits until the device has run on for inFrames more frames: time as
    // the device counts it, which a busy machine does not cut short.
    bool runOn(qint64 inFrames)
    {
        const qint64 nUntil = frames() + inFrames;
        return QTest::qWaitFor([&] { return frames() >= nUntil; }, cnDeviceWaitMs);
    }

    static QString pactl(const QStringList& iaArguments)
    {
        QProcess a;
        a.start("pactl", iaArguments);
        a.waitForFinished(10000);
        return QString::fromUtf8(a.readAllStandardOutput());
    }

private:
    int mnChannels;
    QString msSink;
    QString msModule;
    QString msDefault;
    QProcess maRecorder;
    QByteArray maBytes;
    Samples maSamples;
};

} // namespace audiotest
