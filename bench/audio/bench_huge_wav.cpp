// A WAV member of about 2 GB (35 hours of 8 kHz PCM16, silent but for a tone
// in its last seconds, so the stored member stays small): the player starts
// it, seeks to its end and plays the tone, and the waveform is drawn, while
// the resident memory of the process is watched. Memory must stay flat: no
// reader may hold the whole member. Needs a sound server (scripts/services).
#include "AudioPlayer.h"
#include "BenchFigure.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>
#include <QtEndian>

#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <functional>

namespace {

constexpr qint64 cnRate = 8000;
constexpr qint64 cnDataBytes = 2000000000 - 44; // the member is 2 * 10^9 bytes
constexpr qint64 cnToneBytes = cnRate * 2 * 10;

qint64 residentBytes()
{
    QFile aStat(QStringLiteral("/proc/self/statm"));
    if (!aStat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> aFields = aStat.readAll().split(' ');
    return aFields.size() > 1 ? aFields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// The peak resident size since the last resetPeak() (the kernel's high-water
// mark, which a write of "5" to clear_refs sets back to the current size).
void resetPeak()
{
    QFile aClear(QStringLiteral("/proc/self/clear_refs"));
    if (aClear.open(QIODevice::WriteOnly))
        aClear.write("5");
}

qint64 peakBytes()
{
    QFile aStatus(QStringLiteral("/proc/self/status"));
    if (!aStatus.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& rLine : aStatus.readAll().split('\n'))
        if (rLine.startsWith("VmHWM:"))
            return rLine.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

QByteArray le32(quint32 inValue)
{
    QByteArray a(4, Qt::Uninitialized);
    qToLittleEndian(inValue, a.data());
    return a;
}

// The member deflated a piece at a time: it never exists whole.
QByteArray storedMember()
{
    QByteArray aHeader = "RIFF" + le32(quint32(cnDataBytes + 36)) + "WAVE" + "fmt " + le32(16);
    aHeader += QByteArray::fromHex("01000100") + le32(quint32(cnRate)) + le32(quint32(cnRate * 2))
        + QByteArray::fromHex("02001000") + "data" + le32(quint32(cnDataBytes));
    z_stream aZ {};
    deflateInit(&aZ, 1);
    QByteArray aOut;
    QByteArray aPiece(1 << 20, Qt::Uninitialized);
    QByteArray aOutPiece(1 << 20, Qt::Uninitialized);
    const auto feed = [&](const QByteArray& irIn, bool ibLast) {
        aZ.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(irIn.constData()));
        aZ.avail_in = uInt(irIn.size());
        do {
            aZ.next_out = reinterpret_cast<Bytef*>(aOutPiece.data());
            aZ.avail_out = uInt(aOutPiece.size());
            deflate(&aZ, ibLast ? Z_FINISH : Z_NO_FLUSH);
            aOut.append(aOutPiece.constData(), aOutPiece.size() - int(aZ.avail_out));
        } while (aZ.avail_out == 0);
    };
    feed(aHeader, false);
    qint64 nDone = 0;
    while (nDone < cnDataBytes) {
        const qint64 nSize = qMin<qint64>(aPiece.size(), cnDataBytes - nDone);
        QByteArray aData(int(nSize), '\0');
        for (qint64 i = 0; i < nSize; i += 2) {
            const qint64 nAt = nDone + i;
            if (nAt >= cnDataBytes - cnToneBytes)
                qToLittleEndian<qint16>(qint16(8000 * std::sin(0.3 * double(nAt / 2))), aData.data() + i);
        }
        nDone += nSize;
        feed(aData, nDone >= cnDataBytes);
    }
    deflateEnd(&aZ);
    return aOut;
}

void runUntil(const std::function<bool()>& ibDone, int inMilliseconds, qint64& irnPeak)
{
    QEventLoop aLoop;
    QTimer aCheck;
    QObject::connect(&aCheck, &QTimer::timeout, &aLoop, [&] {
        irnPeak = qMax(irnPeak, residentBytes());
        if (ibDone())
            aLoop.quit();
    });
    aCheck.start(20);
    QTimer::singleShot(inMilliseconds, &aLoop, &QEventLoop::quit);
    aLoop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication aApp(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    const QString sPath = QDir::temp().filePath(QStringLiteral("vorn_bench_huge_wav.pkg"));
    if (!QFile::exists(sPath)) {
        PackageWriter aWriter;
        aWriter.addFile(QStringLiteral("/app/js/data/calls.js"), "var gCalls=[];");
        aWriter.addRawMember(QStringLiteral("/app/wave/huge.wav"), storedMember(), qint32(cnDataBytes + 44), QByteArray());
        if (!aWriter.write(sPath)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(sPath));
            return 1;
        }
    }
    Package aPackage;
    if (aPackage.openPackage(sPath, QString(), QString(), QString(), false) != 0)
        return 1;
    std::printf("member: %lld bytes stored as %d\n", cnDataBytes + 44,
                aPackage.entryStoredSize(QStringLiteral("/app/wave/huge.wav")));

    AudioPlayer aPlayer(&aPackage);
    const qint64 nBase = residentBytes();
    resetPeak();
    qint64 nPeak = nBase;
    aPlayer.loadFromPackage(QStringLiteral("huge.wav"), QStringLiteral("1"));
    runUntil([&] { return aPlayer.property("nPosition").toLongLong() > 200; }, 60000, nPeak);
    const qint64 nDuration = aPlayer.property("nDuration").toLongLong();
    QElapsedTimer aTimer;
    aTimer.start();
    aPlayer.seek(nDuration - 5000);
    bool bReached = false;
    runUntil([&] { return bReached = aPlayer.property("nPosition").toLongLong() >= nDuration - 4500; }, 600000, nPeak);
    const double fSeek = aTimer.elapsed() / 1000.0;
    nPeak = qMax(nPeak, peakBytes());
    aPlayer.unload();
    printFigure("huge WAV duration (h)", figureText("%.1f", nDuration / 3600000.0));
    printFigure("huge WAV seek to the end and play (s)", bReached ? figureText("%.1f", fSeek) : "never", "-");
    const double fPlayGrowth = (nPeak - nBase) / 1048576.0;
    printFigure("huge WAV playing: resident memory growth (MB)", figureText("%.1f", fPlayGrowth), "< 64 (flat)",
                bReached && fPlayGrowth < 64);

    const qint64 nBeforeWave = residentBytes();
    resetPeak();
    qint64 nWavePeak = nBeforeWave;
    QBuffer aPng;
    aPng.open(QIODevice::WriteOnly);
    aTimer.restart();
    bool bDrawn = false;
    QTimer::singleShot(0, [&] {
        bDrawn = aPackage.renderWaveformPng(QStringLiteral("/app/wave/huge.svg"), QString(), &aPng) == 0;
    });
    // The drawing runs on this thread; the peak is sampled around it.
    runUntil([&] { return bDrawn; }, 600000, nWavePeak);
    nWavePeak = qMax(nWavePeak, peakBytes());
    const double fWaveGrowth = (nWavePeak - nBeforeWave) / 1048576.0;
    printFigure("huge WAV waveform (s)", figureText("%.1f", aTimer.elapsed() / 1000.0));
    printFigure("huge WAV waveform: resident memory growth (MB)", figureText("%.1f", fWaveGrowth), "< 64 (flat)",
                bDrawn && fWaveGrowth < 64);
    return 0;
}
