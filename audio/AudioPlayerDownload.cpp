// Saving recordings as WAV files and package files as they are. A recording
// download runs the playback machinery with a file in place of the sound
// device. Files are written under a temporary name and get the chosen name
// only once complete, so a cancelled or failed download leaves nothing that
// looks like a finished file.
#include "AudioPlayer.h"

#include "Package.h"
#include "WavStreamDecoder.h"
#include "WvcStreamDecoder.h"

#include <QDebug>
#include <QFileDialog>
#include <QProgressDialog>
#include <QSaveFile>
#include <QtEndian>

namespace {
const QString csWavePrefix = QStringLiteral("/app/wave/");
constexpr int cnWavHeaderSize = 44;
// A download moves PCM in large steps; the decoder may run this far ahead.
constexpr int cnDownloadCeiling = 1 << 20;

QString withWavePrefix(const QString& isName)
{
    return isName.startsWith(csWavePrefix) ? isName : csWavePrefix + isName;
}

// Records name their data files by full package path ("/app/data/x.pcap");
// only a bare name is taken to live beside the recordings.
QString dataFilePath(const QString& isName)
{
    return isName.startsWith(QLatin1Char('/')) ? isName : csWavePrefix + isName;
}

QString minutesSeconds(qint64 inMs)
{
    const qint64 nSeconds = qMax<qint64>(0, inMs) / 1000;
    return QStringLiteral("%1m%2s").arg(nSeconds / 60).arg(nSeconds % 60, 2, 10, QLatin1Char('0'));
}

// "/app/wave/call.wav" with 1:05 to 1:20 gives "call_1m05s-1m20s.wav".
QString passageFileName(const QString& isRecording, qint64 inStartMs, qint64 inEndMs)
{
    QString sBase = isRecording.mid(isRecording.lastIndexOf(QLatin1Char('/')) + 1);
    const int nDot = sBase.lastIndexOf(QLatin1Char('.'));
    if (nDot > 0)
        sBase.truncate(nDot);
    return QStringLiteral("%1_%2-%3.wav").arg(sBase, minutesSeconds(inStartMs), minutesSeconds(inEndMs));
}

QByteArray le32(quint32 inValue)
{
    QByteArray a(4, Qt::Uninitialized);
    qToLittleEndian(inValue, a.data());
    return a;
}

QByteArray le16(quint16 inValue)
{
    QByteArray a(2, Qt::Uninitialized);
    qToLittleEndian(inValue, a.data());
    return a;
}
} // namespace

void AudioPlayer::downloadFromPackage(QString isFilename)
{
    startDownload(isFilename, false);
}

void AudioPlayer::savePassage(QString isFilename)
{
    startDownload(isFilename, true);
}

void AudioPlayer::startDownload(QString isFilename, bool ibPassage)
{
    const int nQuery = isFilename.indexOf(QLatin1Char('?'));
    QString sQuery;
    if (nQuery >= 0) {
        sQuery = isFilename.mid(nQuery);
        isFilename.truncate(nQuery);
    }
    const QString sPath = withWavePrefix(isFilename);
    qDebug() << "Downloading audio file from package:: " << sPath;
    unload();
    // Redaction as the query asks. A whole recording is saved as recorded;
    // a passage with the effects the query names. Either keeps the
    // recording's own speed whatever the player's tempo.
    if (!sQuery.isEmpty())
        parseQuery(sQuery);
    if (!ibPassage) {
        mbNotch = mbAmplify = mbBalance = false;
        mnZoomStart = mnZoomEnd = 0;
    }
    mnPcmDataSize = 0;
    msFilename = sPath;
    mbWvc = sPath.contains(QLatin1String(".wvc"));
    QString sProposed = sPath;
    if (mbWvc)
        sProposed.replace(QLatin1String(".wvc"), QLatin1String(".wav"));
    if (mnZoomEnd > 0)
        sProposed = passageFileName(sProposed, mnZoomStart, mnZoomEnd);

    const QString sTarget = QFileDialog::getSaveFileName(this, tr("Save File"), sProposed);
    if (sTarget.isEmpty())
        return;
    qDebug() << "save to: " << sTarget;
    mbDownloading = true;
    auto* pFile = new QSaveFile(sTarget, this);
    mpOutputDevice = pFile;
    if (!pFile->open(QIODevice::WriteOnly)) {
        showError(tr("<p>Not able to open file in selected directory"));
        closeDownload();
        return;
    }

    maDecodedAudioBuffer.open(QIODevice::ReadWrite);
    mnMaxBufferSize = 0;
    int nResult;
    if (mbWvc) {
        mpWvcStreamDecoder = new WvcStreamDecoder(this, mpPackage, msFilename, &maDecodedAudioBuffer,
                                                  &maBufferMutex, &maAudioFormat);
        mpWvcStreamDecoder->reset();
        mpWvcStreamDecoder->setBufferCeiling(cnDownloadCeiling);
        connect(mpWvcStreamDecoder, &WvcStreamDecoder::headerReady, this, &AudioPlayer::readHeader);
        applyQuery(mpWvcStreamDecoder);
        nResult = mpWvcStreamDecoder->open();
    } else {
        mpWavStreamDecoder = new WavStreamDecoder(this, mpPackage, msFilename, &maDecodedAudioBuffer,
                                                  &maBufferMutex, &maAudioFormat);
        mpWavStreamDecoder->setBufferCeiling(cnDownloadCeiling);
        connect(mpWavStreamDecoder, &WavStreamDecoder::headerReady, this, &AudioPlayer::readHeader);
        applyQuery(mpWavStreamDecoder);
        nResult = mpWavStreamDecoder->open();
    }
    if (nResult != 0) {
        showError(packageChanged() ? unreadableMessage()
                                   : mbWvc ? tr("<p>Could not open wvc file.") : tr("<p>Could not open wav file."));
        closeDownload();
        return;
    }
    if (mpWvcStreamDecoder)
        mpWvcStreamDecoder->start();
    else
        mpWavStreamDecoder->start();
}

void AudioPlayer::writeWavHeader()
{
    const int nChannels = maAudioFormat.channelCount();
    const int nRate = maAudioFormat.sampleRate();
    // The file always holds 16-bit samples; 8-bit sources are widened.
    mbWidenSamples = maAudioFormat.sampleSize() == 8;
    mnPcmDataSize = qint32(qint64(maAudioFormat.duration) * (qint64(nRate) * nChannels * 2) / 1000);
    qDebug() << "mnPcmDataSize" << mnPcmDataSize;

    mpProgressDialog = new QProgressDialog(tr("Downloading..."), tr("Cancel"), 0, qMax(1, mnPcmDataSize));
    mpProgressDialog->setWindowModality(Qt::ApplicationModal);
    mpProgressDialog->setAutoReset(false);
    mpProgressDialog->setAutoClose(false);
    mpProgressDialog->setMinimumDuration(0);
    mpProgressDialog->setValue(0);

    const QByteArray aHeader = QByteArray("RIFF") + le32(quint32(mnPcmDataSize) + 36) + "WAVE" + "fmt " + le32(16)
        + le16(1) + le16(quint16(nChannels)) + le32(quint32(nRate)) + le32(quint32(nChannels * nRate * 2))
        + le16(quint16(nChannels * 2)) + le16(16) + "data" + le32(quint32(mnPcmDataSize));
    // A short header write shows when the download closes: the file is then
    // shorter than the bytes counted.
    if (mpOutputDevice->write(aHeader) != aHeader.size())
        qWarning() << "Could not write the wav header";
    qDebug() << "wrote wav header";
}

bool AudioPlayer::decoderAtEnd() const
{
    if (mpWvcStreamDecoder)
        return mpWvcStreamDecoder->endOfData();
    if (mpWavStreamDecoder)
        return mpWavStreamDecoder->endOfData();
    return true;
}

void AudioPlayer::streamToFile(int inAvailable)
{
    // A recording that cannot be read to its end is not saved in part.
    if (decoderFailed()) {
        closeDownload();
        showError(unreadableMessage());
        return;
    }
    // Read before the buffer is looked at: what the thread delivered before
    // it said so is then in the buffer.
    const bool bDecoderDone = decoderAtEnd();
    if (inAvailable > 0) {
        qint64 nWritten;
        {
            QMutexLocker aLock(&maBufferMutex);
            QByteArray& rBuffer = maDecodedAudioBuffer.buffer();
            if (mbWidenSamples) {
                QByteArray aWide(2 * inAvailable, Qt::Uninitialized);
                const auto* pIn = reinterpret_cast<const quint8*>(rBuffer.constData());
                auto* pOut = reinterpret_cast<char*>(aWide.data());
                for (int i = 0; i < inAvailable; ++i)
                    qToLittleEndian<qint16>(qint16((int(pIn[i]) - 128) * 256), pOut + 2 * i);
                nWritten = mpOutputDevice->write(aWide);
                if (nWritten >= 1)
                    rBuffer.remove(0, int(nWritten / 2));
            } else {
                nWritten = mpOutputDevice->write(rBuffer.constData(), inAvailable);
                if (nWritten >= 1)
                    rBuffer.remove(0, int(nWritten));
            }
            if (nWritten >= 1)
                mnBytesWritten += qint32(nWritten);
        }
        if (nWritten < 1) {
            showError(tr("<p>Could not write to file"));
            closeDownload();
            return;
        }
        mbInStreamStep = true; // a modal progress dialog runs events while it updates
        mpProgressDialog->setValue(qMin(mnBytesWritten, mpProgressDialog->maximum()));
        mbInStreamStep = false;
        if (!mbDownloading)
            return;
    }
    if (mnPcmDataSize > 0 && mnBytesWritten >= mnPcmDataSize) {
        qDebug() << "EOF";
        closeDownload(true);
    } else if (mpProgressDialog && mpProgressDialog->wasCanceled()) {
        qDebug() << "Download canceled";
        closeDownload();
    } else if (inAvailable == 0 && bDecoderDone) {
        // The decoder delivered less than the duration promised.
        qDebug() << "EOF";
        closeDownload(true);
    }
}

void AudioPlayer::closeDownload(bool ibComplete)
{
    mbDownloading = false;
    mbStopped = true;
    QString sError;
    if (auto* pFile = qobject_cast<QSaveFile*>(mpOutputDevice)) {
        if (ibComplete) {
            // A full disk shortens a write without failing it: the file must
            // hold every byte handed to it, or it is not kept.
            const qint64 nExpected = cnWavHeaderSize + qint64(mnBytesWritten);
            bool bOk = pFile->flush() && pFile->size() == nExpected;
            if (bOk) {
                // The sizes in the header are those of the bytes written.
                const quint32 nData = quint32(nExpected - cnWavHeaderSize);
                bOk = pFile->seek(4) && pFile->write(le32(nData + 36)) == 4 && pFile->seek(40)
                    && pFile->write(le32(nData)) == 4;
            }
            if (!bOk)
                pFile->cancelWriting();
            if (!pFile->commit())
                sError = tr("<p>Could not write to file");
        } else {
            pFile->cancelWriting();
        }
        delete pFile; // without a commit the temporary file goes with it
        mpOutputDevice = nullptr;
        qDebug() << "closed file";
    }
    if (mpProgressDialog) {
        delete mpProgressDialog;
        mpProgressDialog = nullptr;
        qDebug() << "closed progress dialog";
    }
    unload();
    if (!sError.isEmpty())
        showError(sError);
}

void AudioPlayer::downloadPcap(QString isFilename)
{
    downloadFile(isFilename);
}

void AudioPlayer::downloadDataFile(QString isFilename)
{
    downloadFile(isFilename);
}

void AudioPlayer::downloadFile(const QString& isFilename)
{
    const QString sPath = dataFilePath(isFilename);
    qDebug() << "Downloading file from package: " << sPath;
    unload();
    mnPcmDataSize = 0;
    msFilename = sPath;
    const QString sTarget = QFileDialog::getSaveFileName(this, tr("Save File"), sPath);
    if (sTarget.isEmpty())
        return;
    qDebug() << "save to: " << sTarget;
    QSaveFile aFile(sTarget);
    if (!aFile.open(QIODevice::WriteOnly)) {
        showError(tr("<p>Not able to open file in selected directory"));
        return;
    }
    QBuffer aContent;
    aContent.open(QIODevice::ReadWrite);
    // A member that is missing or damaged must not turn into an empty file.
    if (mpPackage->readFile(sPath, &aContent) != 0) {
        aFile.cancelWriting();
        showError(packageChanged() ? unreadableMessage() : tr("<p>File not found in package"));
        return;
    }
    // A full disk shortens the write without failing it; such a file is not kept.
    const QByteArray& rContent = aContent.buffer();
    if (aFile.write(rContent) != rContent.size() || !aFile.flush() || aFile.size() != rContent.size())
        aFile.cancelWriting();
    if (!aFile.commit())
        showError(tr("<p>Could not write to file"));
}
