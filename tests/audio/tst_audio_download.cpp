// Saving recordings and package files through the player, the save dialog
// answered as a person would. Saved WAV files are read back by sox, an
// independent reader, and their samples compared with our own decode and,
// for one recording of each codec, with ffmpeg's decode of its frames.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "../codecs/CodecTestSupport.h"
#include "MemoryDecoder.h"
#include "Package.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSaveFile>

#include <unistd.h>

using namespace audiotest;

namespace {

// Chooses isTarget in the save dialog (or cancels it when empty) and keeps
// the proposed name.
ModalAnswers::Answer saveAs(const QString& isTarget, QString* ipsProposed = nullptr)
{
    return [=](QWidget* ipaModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
        if (!pDialog) {
            ipaModal->close();
            return;
        }
        if (ipsProposed)
            *ipsProposed = pDialog->selectedFiles().value(0);
        if (isTarget.isEmpty()) {
            pDialog->reject();
            return;
        }
        // Typed as a person would: the folder, then the name.
        pDialog->setDirectory(QFileInfo(isTarget).absolutePath());
        if (auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            pName->setText(QFileInfo(isTarget).fileName());
        // Queued: a question the dialog asks then (replace an existing
        // file?) is answered once this answer has returned.
        QMetaObject::invokeMethod(pDialog, "accept", Qt::QueuedConnection);
    };
}

// Cancels a download's progress as soon as samples are on disk: the bar
// moves after each write, so the cancel falls mid-way, not before the first
// write or after the last. Notes the file in isFolder that held the samples
// then, and its size.
class CancelAfterFirstWrite : public QObject
{
public:
    explicit CancelAfterFirstWrite(const QString& isFolder)
        : msFolder(isFolder)
    {
        qApp->installEventFilter(this);
    }
    ~CancelAfterFirstWrite() override { qApp->removeEventFilter(this); }

    QString sPartial;
    qint64 nBytes = 0;

protected:
    bool eventFilter(QObject* ipaObject, QEvent* ipaEvent) override
    {
        auto* pProgress = qobject_cast<QProgressDialog*>(ipaObject);
        auto* pBar = pProgress ? pProgress->findChild<QProgressBar*>() : nullptr;
        if (!pBar || ipaEvent->type() != QEvent::Show || mbWatching)
            return false;
        mbWatching = true;
        QPointer<QProgressDialog> pDialog(pProgress);
        connect(pBar, &QProgressBar::valueChanged, this, [this, pDialog] {
            if (nBytes > 0 || !pDialog)
                return;
            // The file being written may have no name yet (an unnamed
            // temporary the system links in on commit): found among the
            // open files of this process.
            for (const QFileInfo& rOpen : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files)) {
                const QString sFile = rOpen.symLinkTarget();
                if (sFile.startsWith(msFolder + "/") && rOpen.size() > 44) {
                    sPartial = sFile.mid(msFolder.size() + 1);
                    nBytes = rOpen.size();
                }
            }
            if (nBytes > 0)
                pDialog->cancel();
        });
        return false;
    }

private:
    QString msFolder;
    bool mbWatching = false;
};

struct Sox
{
    int nRate = 0;
    int nChannels = 0;
    int nBits = 0;
    Samples aSamples;
};

// The file as sox reads it: its header values and its samples.
Sox readWithSox(const QString& isPath)
{
    Sox a;
    auto info = [&](const char* ipOption) {
        QProcess p;
        p.start("soxi", { ipOption, isPath });
        p.waitForFinished(30000);
        return p.readAllStandardOutput().trimmed().toInt();
    };
    a.nRate = info("-r");
    a.nChannels = info("-c");
    a.nBits = info("-b");
    QProcess p;
    p.start("sox", { "-V1", isPath, "-t", "raw", "-e", "signed-integer", "-b", "16", "-L", "-" });
    p.waitForFinished(60000);
    const QByteArray aRaw = p.readAllStandardOutput();
    a.aSamples.assign(reinterpret_cast<const qint16*>(aRaw.constData()),
                      reinterpret_cast<const qint16*>(aRaw.constData()) + aRaw.size() / 2);
    return a;
}

// ffmpeg's expansion of raw G.711 codes ("alaw" or "mulaw") at 8000 Hz.
Samples ffmpegExpand(const QByteArray& iaCodes, const QString& isFormat)
{
    QTemporaryDir aDir;
    QFile aFile(aDir.filePath("codes.raw"));
    if (!aFile.open(QIODevice::WriteOnly) || aFile.write(iaCodes) != iaCodes.size())
        return {};
    aFile.close();
    QProcess p;
    p.start("ffmpeg", { "-nostdin", "-v", "error", "-f", isFormat, "-ar", "8000", "-ac", "1", "-i", aFile.fileName(),
                        "-f", "s16le", "-" });
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    const QByteArray aRaw = p.readAllStandardOutput();
    return Samples(reinterpret_cast<const qint16*>(aRaw.constData()),
                   reinterpret_cast<const qint16*>(aRaw.constData()) + aRaw.size() / 2);
}

// Our own decode of a WVC file, interleaved.
Samples decodeWvc(const QByteArray& iaBytes, const std::string& isPassword, int& ornChannels)
{
    wvctools::MemoryDecoder aDecoder(std::vector<uint8_t>(iaBytes.begin(), iaBytes.end()));
    aDecoder.setCollect(true);
    if (!isPassword.empty())
        aDecoder.setPassword(isPassword);
    if (aDecoder.openAll() != 0)
        return {};
    while (aDecoder.decodeChunk(false, 32768) == 1) {
    }
    ornChannels = int(aDecoder.channelCount());
    return ornChannels == 2 ? interleave(Samples(aDecoder.aLeft.begin(), aDecoder.aLeft.end()),
                                         Samples(aDecoder.aRight.begin(), aDecoder.aRight.end()))
                            : Samples(aDecoder.aLeft.begin(), aDecoder.aLeft.end());
}

} // namespace

class TestAudioDownload : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;
    // Member name → what a saved WAV must hold (interleaved samples).
    QMap<QString, QPair<int, Samples>> maExpected;
    QMap<QString, QByteArray> maStored;
    // Recordings judged by ffmpeg: what was written, and for G.711 (whose
    // frames are losslessly compressed, a format ffmpeg does not read)
    // ffmpeg's expansion of the codes the recording holds.
    struct FfmpegCase
    {
        codectest::CodecCase aCase;
        codectest::WrittenFile aFile;
        Samples aExpanded;
    };
    QMap<QString, FfmpegCase> maFfmpeg;

    void addForFfmpeg(PackageWriter& irWriter, const QString& isRow, const codectest::CodecCase& irCase,
                      int inChannels, const std::string& isPassword = std::string())
    {
        FfmpegCase aCase { irCase, {}, {} };
        std::vector<codectest::Samples> aInput;
        const int nCodec = WVC::codecIdFromName(irCase.sCodec.c_str());
        if (nCodec == WVC::CODEC_PCMA || nCodec == WVC::CODEC_PCMU) {
            // Every code, in an order that jumps about; the input is
            // ffmpeg's expansion, which the encoder must code back exactly.
            QByteArray aCodes;
            for (int i = 0; i < 16000; ++i)
                aCodes += char((i * 97 + i / 256) & 0xFF);
            aCase.aExpanded = ffmpegExpand(aCodes, nCodec == WVC::CODEC_PCMA ? "alaw" : "mulaw");
            QCOMPARE(aCase.aExpanded.size(), size_t(16000));
            aInput.push_back(aCase.aExpanded);
        } else {
            for (int c = 0; c < inChannels; ++c)
                aInput.push_back(codectest::speechLike(irCase.nRate * 2, irCase.nRate, c));
        }
        std::string sError;
        QVERIFY2(codectest::writeFile(irCase, aInput, isPassword, aCase.aFile, sError), sError.c_str());
        QVERIFY(irWriter.addFile("/app/wave/ff-" + isRow + ".wvc",
                                 QByteArray(reinterpret_cast<const char*>(aCase.aFile.aBytes.data()),
                                            int(aCase.aFile.aBytes.size()))));
        maFfmpeg.insert(isRow, aCase);
    }

    void addWav(PackageWriter& irWriter, const QString& isName, int inTag, int inBits, const QByteArray& iaData,
                const Samples& irExpected)
    {
        const QByteArray aFile = wavFile(inTag, inBits, 8000, iaData);
        QVERIFY(irWriter.addFile("/app/wave/" + isName, aFile));
        maStored.insert(isName, aFile);
        maExpected.insert(isName, { 1, irExpected });
    }

    void addWvc(PackageWriter& irWriter, const QString& isName, const std::vector<Samples>& irChannels, int inRate,
                const std::string& isCodec, const std::string& isPassword = std::string())
    {
        const QByteArray aFile = wvcFile(irChannels, inRate, isCodec, isPassword);
        QVERIFY(irWriter.addFile("/app/wave/" + isName, aFile));
        int nChannels = 0;
        const Samples aDecoded = decodeWvc(aFile, isPassword, nChannels);
        QVERIFY(!aDecoded.empty());
        maExpected.insert(isName, { nChannels, aDecoded });
    }

    QString target(const QString& isName) { return maDir.filePath("out/" + isName); }

    // Saves isName through the player, answering the dialogs; returns the
    // texts of message boxes.
    QString download(const char* ipSlot, const QString& isName, QList<ModalAnswers::Answer> iaAnswers,
                     bool ibMessage = false)
    {
        QString sMessage;
        if (ibMessage)
            iaAnswers << pressButton(&sMessage);
        ModalAnswers aAnswers(iaAnswers);
        QMetaObject::invokeMethod(mpPlayer, ipSlot, Q_ARG(QString, isName));
        // Recording downloads run on: wait until the player has closed them.
        if (!QTest::qWaitFor([&] { return !mpPlayer->findChild<QSaveFile*>() && !qApp->activeModalWidget(); }, 60000))
            return QStringLiteral("download did not end");
        // Every dialog expected was shown and answered.
        if (!aAnswers.allUsed())
            return QStringLiteral("a dialog was not shown");
        return sMessage;
    }

    QStringList leftInOut() { return QDir(maDir.filePath("out")).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType inType, const QMessageLogContext&, const QString& irsText) {
            if (inType >= QtWarningMsg)
                fprintf(stderr, "%s\n", qPrintable(irsText));
        });
        QVERIFY(maDir.isValid());
        QVERIFY(QDir(maDir.path()).mkpath("out"));
        PackageWriter aWriter;
        aWriter.setPassword("secret");
        aWriter.setUsers("anna");
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));

        const Samples aTone = tone(12000, 1);
        addWav(aWriter, "pcm16.wav", 1, 16, pcmBytes(aTone), aTone);
        QByteArray aAlaw;
        QByteArray aPcm8;
        Samples aAlawPcm;
        Samples aPcm8Wide;
        for (qint16 n : aTone) {
            aAlaw += char(alawEncode(n));
            aAlawPcm.push_back(alawDecode(quint8(aAlaw.back())));
            aPcm8 += char(quint8((n >> 8) + 128));
            aPcm8Wide.push_back(qint16((n >> 8) * 256));
        }
        addWav(aWriter, "alaw.wav", 6, 8, aAlaw, aAlawPcm);
        addWav(aWriter, "pcm8.wav", 1, 8, aPcm8, aPcm8Wide);
        // A data chunk that promises twice the bytes it holds: the download
        // ends with the decoder's data, its header telling the truth.
        QByteArray aTruncated = wavFile(1, 16, 8000, pcmBytes(aTone));
        qToLittleEndian<quint32>(quint32(aTone.size() * 4), aTruncated.data() + 40);
        QVERIFY(aWriter.addFile("/app/wave/truncated.wav", aTruncated));
        maExpected.insert("truncated.wav", { 1, aTone });

        const auto speech = [](int inCount, int inRate, int inSeed) {
            Samples a = tone(inCount, inSeed, 6000.0);
            Q_UNUSED(inRate)
            return a;
        };
        for (const char* pCodec : { "PCMA", "PCMU", "PCM16", "AMR", "GSM", "G723", "G729", "opus" })
            addWvc(aWriter, QString("%1.wvc").arg(pCodec), { speech(24000, 8000, 2) }, 8000, pCodec);
        addWvc(aWriter, "AMR-WB.wvc", { speech(48000, 16000, 3) }, 16000, "AMR-WB");
        addWvc(aWriter, "G722.wvc", { speech(48000, 16000, 3) }, 16000, "G722");
        addWvc(aWriter, "stereo.wvc", { speech(48000, 16000, 4), speech(48000, 16000, 5) }, 16000, "opus");
        addWvc(aWriter, "encrypted.wvc", { speech(24000, 8000, 6), speech(24000, 8000, 7) }, 8000, "PCM16", "secret");
        {
            // Without a stored duration the decoder finds it from the tail.
            wvctools::WvcWriterOptions aOptions;
            aOptions.bWriteDuration = false;
            const Samples aSamples = tone(16000, 9);
            std::string sError;
            auto pEncoder = wvctools::makeFrameEncoder("PCM16", 8000, 160, sError);
            std::vector<wvctools::WvcPage> aPages;
            wvctools::WvcWriter aWvc(aOptions);
            QVERIFY(aWvc.write({ std::vector<int16_t>(aSamples.begin(), aSamples.end()) }, { pEncoder.get() }, aPages));
            const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
            QVERIFY(aWriter.addFile("/app/wave/noduration.wvc",
                                    QByteArray(reinterpret_cast<const char*>(aBytes.data()), int(aBytes.size()))));
            maExpected.insert("noduration.wvc", { 1, aSamples });
        }
        addWvc(aWriter, "long.wvc", { tone(8000 * 600, 8) }, 8000, "PCM16");

        // Tones for the notch, 4 s each, as WAV and as WVC recordings.
        for (const QPair<int, int>& rTone : { qMakePair(8000, 50), qMakePair(8000, 60), qMakePair(16000, 60),
                                              qMakePair(8000, 1003) }) {
            Samples aTone;
            for (int i = 0; i < rTone.first * 4; ++i)
                aTone.push_back(qint16(std::lround(20000 * std::sin(2 * M_PI * rTone.second * i / rTone.first))));
            const QString sName = QString("tone%1_%2").arg(rTone.first).arg(rTone.second);
            QVERIFY(aWriter.addFile("/app/wave/" + sName + ".wav", wavFile(1, 16, rTone.first, pcmBytes(aTone))));
            QVERIFY(aWriter.addFile("/app/wave/" + sName + ".wvc", wvcFile({ aTone }, rTone.first, "PCM16")));
        }

        // The codecs' own frame lengths; Opus at 16 kHz so that our
        // resampler's output is compared, not only the 48 kHz decode.
        for (const codectest::CodecCase& rCase : std::initializer_list<codectest::CodecCase> {
                 { "PCMA", 8000, 160 }, { "PCMU", 8000, 160 }, { "PCM16", 8000, 160 }, { "AMR", 8000, 160 },
                 { "AMR-WB", 16000, 320 }, { "opus", 16000, 320 }, { "G722", 16000, 320 }, { "G723", 8000, 240 },
                 { "G729", 8000, 160 }, { "GSM", 8000, 160 } })
            addForFfmpeg(aWriter, QString::fromStdString(rCase.sCodec), rCase, 1);
        addForFfmpeg(aWriter, "G722 stereo, encrypted", { "G722", 16000, 320 }, 2, "secret");

        QByteArray aCapture;
        for (int i = 0; i < 70000; ++i)
            aCapture += char(i * 131 % 251);
        QVERIFY(aWriter.addFile("/app/wave/trace.pcap", aCapture));
        maStored.insert("/app/wave/trace.pcap", aCapture);
        QVERIFY(aWriter.addFile("/app/data/notes.txt", "notes of the call\n"));
        maStored.insert("/app/data/notes.txt", "notes of the call\n");

        const QString sPath = maDir.filePath("download.pkg");
        QVERIFY(aWriter.write(sPath));
        QCOMPARE(maPackage.openPackage(sPath, "anna", "secret", "", false), 0);
        mpPlayer = new AudioPlayer(&maPackage);
    }
    void cleanupTestCase() { delete mpPlayer; }
    void cleanup()
    {
        for (const QString& sName : leftInOut())
            QFile::remove(maDir.filePath("out/" + sName));
    }

    void savesEveryRecordingKind_data()
    {
        QTest::addColumn<QString>("sName");
        for (const char* pName : { "pcm16.wav", "alaw.wav", "pcm8.wav", "PCMA.wvc", "PCMU.wvc", "PCM16.wvc", "AMR.wvc",
                                   "AMR-WB.wvc", "opus.wvc", "G722.wvc", "G723.wvc", "G729.wvc", "GSM.wvc",
                                   "stereo.wvc", "encrypted.wvc", "truncated.wav", "noduration.wvc" })
            QTest::newRow(pName) << pName;
    }
    void savesEveryRecordingKind()
    {
        QFETCH(QString, sName);
        const QString sTarget = target(QString(sName).replace(".wvc", ".wav"));
        QString sProposed;
        const QString sMessage = download("downloadFromPackage", sName + "?timestamp=1&amplifyratio=3&zoomstart=0&zoomend=100",
                                          { saveAs(sTarget, &sProposed) });
        QCOMPARE(sMessage, QString());
        // Proposed: the member path, a WVC name with ".wav", no query.
        QVERIFY2(sProposed.endsWith("/" + QString(sName).replace(".wvc", ".wav")), qPrintable(sProposed));
        QCOMPARE(leftInOut(), QStringList { QFileInfo(sTarget).fileName() });

        const QPair<int, Samples>& rExpected = maExpected[sName];
        const Sox aSox = readWithSox(sTarget);
        QCOMPARE(aSox.nChannels, rExpected.first);
        QCOMPARE(aSox.nBits, 16);
        QCOMPARE(aSox.aSamples.size(), rExpected.second.size());
        if (sName.endsWith(".wvc")) // found in the header, or from the tail when the header has none
            QCOMPARE(mpPlayer->property("nDuration").toLongLong(),
                     qint64(rExpected.second.size()) / aSox.nChannels * 1000 / aSox.nRate);
        QVERIFY(aSox.aSamples == rExpected.second);

        // The header's sizes are those of the file.
        QFile aFile(sTarget);
        QVERIFY(aFile.open(QIODevice::ReadOnly));
        const QByteArray aHeader = aFile.read(44);
        QCOMPARE(qFromLittleEndian<quint32>(aHeader.constData() + 4), quint32(aFile.size() - 8));
        QCOMPARE(qFromLittleEndian<quint32>(aHeader.constData() + 40), quint32(aFile.size() - 44));
        QCOMPARE(qFromLittleEndian<quint32>(aHeader.constData() + 28), quint32(aSox.nRate * aSox.nChannels * 2));
    }

    // The saved samples of each codec against ffmpeg's decode of the same
    // frames, with the tolerances judgeAgainstFfmpeg gives per codec:
    // identical for G.711 (both expand by the standard's table), PCM16 and
    // the codecs both sides decode with libavcodec; 30 dB SNR for AMR and
    // AMR-WB, decoded here by opencore and there by ffmpeg's own decoder.
    void savedRecordingsMatchFfmpeg_data()
    {
        QTest::addColumn<QString>("sRow");
        for (const QString& sRow : maFfmpeg.keys())
            QTest::newRow(qPrintable(sRow)) << sRow;
    }
    void savedRecordingsMatchFfmpeg()
    {
        QFETCH(QString, sRow);
        const FfmpegCase& rCase = maFfmpeg[sRow];
        const QString sTarget = target("ff.wav");
        QCOMPARE(download("downloadFromPackage", "ff-" + sRow + ".wvc", { saveAs(sTarget) }), QString());
        const Sox aSox = readWithSox(sTarget);
        const int nChannels = int(rCase.aFile.aInput.size());
        QCOMPARE(aSox.nChannels, nChannels);
        QCOMPARE(aSox.nRate, int(rCase.aCase.nRate));
        const uint32_t nCodec = uint32_t(WVC::codecIdFromName(rCase.aCase.sCodec.c_str()));
        for (int c = 0; c < nChannels; ++c) {
            Samples aOurs;
            for (size_t i = size_t(c); i < aSox.aSamples.size(); i += size_t(nChannels))
                aOurs.push_back(aSox.aSamples[i]);
            Samples aTheirs = rCase.aExpanded;
            if (aTheirs.empty()) {
                QString sError;
                QVERIFY2(codectest::ffmpegDecode(rCase.aCase, rCase.aFile.aFrames[size_t(c)], rCase.aCase.nRate,
                                                 aTheirs, sError),
                         qPrintable(sError));
            }
            QString sInfo;
            const QString sVerdict = codectest::judgeAgainstFfmpeg(nCodec, rCase.aCase.nRate, aOurs, aTheirs,
                                                                   rCase.aFile.aInput[size_t(c)], &sInfo);
            if (!sInfo.isEmpty())
                qInfo("channel %d: %s", c, qPrintable(sInfo));
            QVERIFY2(sVerdict.isEmpty(), qPrintable(QString("channel %1: %2").arg(c).arg(sVerdict)));
        }
    }

    // A passage saved with the notch: once the filter has settled (1 s),
    // the tone's amplitude in the file is its amplitude times the notch's
    // gain from the transfer function (w0 the notch, a = sin w0 / 2Q):
    //   |H(w)| = |cos w - cos w0| / sqrt((cos w - cos w0)^2 + (a sin w)^2).
    // The amplitude is measured by projecting onto the tone; allowed: 1 % of
    // full amplitude, far below what a wrong frequency, Q or rate gives.
    void passageThroughNotch_data()
    {
        QTest::addColumn<QString>("sRecording");
        QTest::addColumn<int>("nRate");
        QTest::addColumn<int>("nTone");
        QTest::addColumn<int>("nNotch");
        QTest::addColumn<double>("fQ");
        for (const char* pKind : { "wav", "wvc" }) {
            const auto row = [&](const char* ipName, int inRate, int inTone, int inNotch, double ifQ) {
                const QString sRecording = QString("tone%1_%2.%3").arg(inRate).arg(inTone).arg(pKind);
                QTest::newRow(qPrintable(QString("%1, %2").arg(pKind, ipName)))
                    << sRecording << inRate << inTone << inNotch << ifQ;
            };
            row("50 Hz hum, notch at 50 Hz: gone", 8000, 50, 50, 0.5);
            row("60 Hz, narrow notch at 50 Hz: partly", 8000, 60, 50, 2.0);
            row("16 kHz, 60 Hz, narrow notch at 50 Hz: partly", 16000, 60, 50, 2.0);
            row("1003 Hz, notch at 50 Hz: kept", 8000, 1003, 50, 0.5);
        }
    }
    void passageThroughNotch()
    {
        QFETCH(QString, sRecording);
        QFETCH(int, nRate);
        QFETCH(int, nTone);
        QFETCH(int, nNotch);
        QFETCH(double, fQ);
        const QString sTarget = target("notched.wav");
        QCOMPARE(download("savePassage", QString("%1?timestamp=1&notchfrequency=%2&qfactor=%3").arg(sRecording).arg(nNotch).arg(fQ),
                          { saveAs(sTarget) }),
                 QString());
        const Sox aSox = readWithSox(sTarget);
        QCOMPARE(aSox.nRate, nRate);
        QCOMPARE(aSox.aSamples.size(), size_t(nRate * 4));

        const double fW = 2 * M_PI * nTone / nRate;
        const double fW0 = 2 * M_PI * nNotch / nRate;
        const double fAlpha = std::sin(fW0) / (2 * fQ);
        const double fNear = std::cos(fW) - std::cos(fW0);
        const double fGain = std::fabs(fNear) / std::sqrt(fNear * fNear + std::pow(fAlpha * std::sin(fW), 2));
        double fSin = 0;
        double fCos = 0;
        const size_t nFrom = size_t(nRate);
        for (size_t n = nFrom; n < aSox.aSamples.size(); ++n) {
            fSin += aSox.aSamples[n] * std::sin(fW * double(n));
            fCos += aSox.aSamples[n] * std::cos(fW * double(n));
        }
        const double fCount = double(aSox.aSamples.size() - nFrom);
        const double fAmplitude = 2 * std::hypot(fSin, fCos) / fCount;
        qInfo("gain %.3f, amplitude %.0f of 20000", fGain, fAmplitude);
        QVERIFY2(std::fabs(fAmplitude - 20000 * fGain) < 200,
                 qPrintable(QString("amplitude %1, expected %2").arg(fAmplitude).arg(20000 * fGain)));
    }

    // Package files are saved as the package delivers them, a WAV member
    // with its header.
    void savesDataFilesAsStored_data()
    {
        QTest::addColumn<QString>("sSlot");
        QTest::addColumn<QString>("sName");
        QTest::addColumn<QString>("sStored");
        QTest::newRow("capture") << "downloadPcap" << "/app/wave/trace.pcap" << "/app/wave/trace.pcap";
        QTest::newRow("data file") << "downloadDataFile" << "/app/wave/trace.pcap" << "/app/wave/trace.pcap";
        QTest::newRow("wav member") << "downloadDataFile" << "alaw.wav" << "alaw.wav";
        QTest::newRow("full path outside the recordings") << "downloadDataFile" << "/app/data/notes.txt"
                                                          << "/app/data/notes.txt";
    }
    void savesDataFilesAsStored()
    {
        QFETCH(QString, sSlot);
        QFETCH(QString, sName);
        QFETCH(QString, sStored);
        const QString sTarget = target("saved.bin");
        QCOMPARE(download(sSlot.toLatin1(), sName, { saveAs(sTarget) }), QString());
        QFile aFile(sTarget);
        QVERIFY(aFile.open(QIODevice::ReadOnly));
        QVERIFY(aFile.readAll() == maStored[sStored]);
    }

    // Failures end cleanly: a message where one is due, and nothing on disk
    // that looks like a saved file.
    void failuresLeaveNothing_data()
    {
        QTest::addColumn<QString>("sSlot");
        QTest::addColumn<QString>("sName");
        QTest::addColumn<QString>("sTarget"); // empty: the save dialog is cancelled
        QTest::addColumn<QString>("sMessage");
        const QString sNoDirectory = "/proc/x.wav"; // no file can be made there, not even by root
        QTest::newRow("unwritable directory") << "downloadFromPackage" << "PCM16.wvc" << sNoDirectory
                                              << "<p>Not able to open file in selected directory";
        QTest::newRow("unwritable directory, data file") << "downloadPcap" << "/app/wave/trace.pcap" << sNoDirectory
                                                         << "<p>Not able to open file in selected directory";
        QTest::newRow("missing recording") << "downloadFromPackage" << "none.wvc" << "none.wav"
                                           << "<p>Could not open wvc file.";
        QTest::newRow("missing wav recording") << "downloadFromPackage" << "none.wav" << "none.wav"
                                               << "<p>Could not open wav file.";
        QTest::newRow("missing data file") << "downloadDataFile" << "/app/wave/none.pcap" << "none.pcap"
                                           << "<p>File not found in package";
    }
    void failuresLeaveNothing()
    {
        QFETCH(QString, sSlot);
        QFETCH(QString, sName);
        QFETCH(QString, sTarget);
        QFETCH(QString, sMessage);
        QCOMPARE(download(sSlot.toLatin1(), sName, { saveAs(sTarget.startsWith("/") ? sTarget : target(sTarget)) },
                          true),
                 sMessage);
        QCOMPARE(leftInOut(), QStringList());
        QVERIFY(!mpPlayer->findChild<QProgressDialog*>());
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);
    }

    // The save dialog is shown with the recording's name and cancelled:
    // nothing is written and no message follows.
    void saveDialogCancelled_data()
    {
        QTest::addColumn<QString>("sSlot");
        QTest::addColumn<QString>("sName");
        QTest::addColumn<QString>("sProposed");
        QTest::newRow("recording") << "downloadFromPackage" << "PCM16.wvc" << "PCM16.wav";
        QTest::newRow("data file") << "downloadDataFile" << "/app/wave/trace.pcap" << "trace.pcap";
    }
    void saveDialogCancelled()
    {
        QFETCH(QString, sSlot);
        QFETCH(QString, sName);
        QFETCH(QString, sProposed);
        QString sShown;
        QCOMPARE(download(sSlot.toLatin1(), sName, { saveAs(QString(), &sShown) }), QString());
        QCOMPARE(QFileInfo(sShown).fileName(), sProposed);
        QCOMPARE(leftInOut(), QStringList());
        QVERIFY(!mpPlayer->findChild<QProgressDialog*>());
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);
    }

    // Cancelled mid-way, after samples reached the disk: neither the partial
    // file nor its temporary stays, and a file that already had the chosen
    // name is left as it was.
    void progressCancelledMidway_data()
    {
        QTest::addColumn<QByteArray>("aEarlier"); // empty: no file of that name before
        QTest::newRow("new file") << QByteArray();
        QTest::newRow("file of that name kept") << QByteArray("an earlier download\n");
    }
    void progressCancelledMidway()
    {
        QFETCH(QByteArray, aEarlier);
        const QString sTarget = target("long.wav");
        if (!aEarlier.isEmpty()) {
            QFile aFile(sTarget);
            QVERIFY(aFile.open(QIODevice::WriteOnly));
            QCOMPARE(aFile.write(aEarlier), qint64(aEarlier.size()));
        }
        CancelAfterFirstWrite aCancel(maDir.filePath("out"));
        QString sReplace;
        QList<ModalAnswers::Answer> aAnswers { saveAs(sTarget) };
        if (!aEarlier.isEmpty())
            aAnswers << pressButton(&sReplace, "&Yes");
        QCOMPARE(download("downloadFromPackage", "long.wvc", aAnswers), QString());
        if (!aEarlier.isEmpty())
            QVERIFY2(sReplace.contains("already exists"), qPrintable(sReplace));
        const QString sPartial = aCancel.sPartial;
        const qint64 nBytes = aCancel.nBytes;
        // The whole recording is 9 600 000 bytes of samples.
        QVERIFY2(nBytes > 44 && nBytes < 44 + 9600000, qPrintable(QString::number(nBytes)));
        QVERIFY2(!sPartial.isEmpty() && sPartial != "long.wav", qPrintable(sPartial));
        QCOMPARE(leftInOut(), aEarlier.isEmpty() ? QStringList() : QStringList { "long.wav" });
        if (!aEarlier.isEmpty()) {
            QFile aFile(sTarget);
            QVERIFY(aFile.open(QIODevice::ReadOnly));
            QCOMPARE(aFile.readAll(), aEarlier);
        }
        QVERIFY(!mpPlayer->findChild<QProgressDialog*>());
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);
    }

    // A full disk shortens writes without failing them: the save must still
    // end with the message and leave no file at all (measured before: a
    // 64 KB piece of the capture under the chosen name, and no message).
    void fullDiskLeavesNothing_data()
    {
        QTest::addColumn<QString>("sSlot");
        QTest::addColumn<QString>("sName");
        QTest::addColumn<QString>("sTarget");
        QTest::newRow("data file") << "downloadPcap" << "/app/wave/trace.pcap" << "trace.pcap";
        QTest::newRow("recording") << "downloadFromPackage" << "long.wvc" << "long.wav";
        QTest::newRow("8-bit recording") << "downloadFromPackage" << "pcm8.wav" << "pcm8.wav";
    }
    void fullDiskLeavesNothing()
    {
        QFETCH(QString, sSlot);
        QFETCH(QString, sName);
        QFETCH(QString, sTarget);
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString sFull = maDir.filePath("full");
        QVERIFY(QDir().mkpath(sFull));
        QCOMPARE(QProcess::execute("mount", { "-t", "tmpfs", "-o", "size=64k", "tmpfs", sFull }), 0);
        struct Unmount {
            QString s;
            ~Unmount() { QProcess::execute("umount", { s }); }
        } aUnmount { sFull };
        // Leave less room than the smallest file needs.
        {
            QFile aFiller(sFull + "/filler");
            QVERIFY(aFiller.open(QIODevice::WriteOnly));
            aFiller.write(QByteArray(60 * 1024, 'f'));
        }
        QString sMessage;
        {
            // The progress dialog of a recording comes and goes on its own.
            ModalAnswers aAnswers({ saveAs(sFull + "/" + sTarget), pressButton(&sMessage) },
                                  [](QWidget* ipaModal) { return qobject_cast<QProgressDialog*>(ipaModal) != nullptr; });
            QMetaObject::invokeMethod(mpPlayer, sSlot.toLatin1(), Q_ARG(QString, sName));
            QVERIFY(QTest::qWaitFor([&] { return aAnswers.allUsed() && !qApp->activeModalWidget()
                                                 && !mpPlayer->findChild<QSaveFile*>(); }, 60000));
        }
        QCOMPARE(sMessage, QStringLiteral("<p>Could not write to file"));
        QCOMPARE(QDir(sFull).entryList(QDir::Files | QDir::Hidden), QStringList { "filler" });
        QVERIFY(!mpPlayer->findChild<QProgressDialog*>());
    }
};

QTEST_MAIN(TestAudioDownload)
#include "tst_audio_download.moc"
