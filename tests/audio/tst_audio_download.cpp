// Saving recordings and package files through the player, the save dialog
// answered as a person would. Saved WAV files are read back by sox, an
// independent reader, and their samples compared with our own decode.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "MemoryDecoder.h"
#include "Package.h"

#include <QFileDialog>
#include <QLineEdit>
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
        QMetaObject::invokeMethod(pDialog, "accept");
    };
}

ModalAnswers::Answer cancelProgress()
{
    return [](QWidget* ipaModal) {
        if (auto* pProgress = qobject_cast<QProgressDialog*>(ipaModal))
            pProgress->cancel();
    };
}

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
        QTest::addColumn<bool>("bCancel");
        QTest::addColumn<QString>("sMessage");
        const QString sNoDirectory = "/proc/x.wav"; // no file can be made there, not even by root
        QTest::newRow("save dialog cancelled") << "downloadFromPackage" << "PCM16.wvc" << "" << false << "";
        QTest::newRow("progress cancelled") << "downloadFromPackage" << "long.wvc" << "long.wav" << true << "";
        QTest::newRow("unwritable directory") << "downloadFromPackage" << "PCM16.wvc" << sNoDirectory << false
                                              << "<p>Not able to open file in selected directory";
        QTest::newRow("unwritable directory, data file") << "downloadPcap" << "/app/wave/trace.pcap" << sNoDirectory
                                                         << false << "<p>Not able to open file in selected directory";
        QTest::newRow("missing recording") << "downloadFromPackage" << "none.wvc" << "none.wav" << false
                                           << "<p>Could not open wvc file.";
        QTest::newRow("missing wav recording") << "downloadFromPackage" << "none.wav" << "none.wav" << false
                                               << "<p>Could not open wav file.";
        QTest::newRow("missing data file") << "downloadDataFile" << "/app/wave/none.pcap" << "none.pcap" << false
                                           << "<p>File not found in package";
    }
    void failuresLeaveNothing()
    {
        QFETCH(QString, sSlot);
        QFETCH(QString, sName);
        QFETCH(QString, sTarget);
        QFETCH(bool, bCancel);
        QFETCH(QString, sMessage);
        QList<ModalAnswers::Answer> aAnswers { saveAs(sTarget.startsWith("/") || sTarget.isEmpty() ? sTarget
                                                                                                : target(sTarget)) };
        if (bCancel)
            aAnswers << cancelProgress();
        QCOMPARE(download(sSlot.toLatin1(), sName, aAnswers, !sMessage.isEmpty()), sMessage);
        QCOMPARE(leftInOut(), QStringList());
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
