// "--review FILE --export-recordings DIR" run as a process on a real package
// and a real review file: the files it writes (judged by sox and by the
// independent judge), what it skips, its exit status and its one-line
// messages, and that it never replaces a file unasked.
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "CommandLine.h"
#include "Package.h"
#include "RecordingExportCommand.h"
#include "ReviewDocument.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QJsonArray>
#include <QJsonObject>

#include <unistd.h>

using namespace audiotest;

namespace {

struct Run
{
    int nExit = -1;
    QString sOut;
    QString sError;
};

Run runViewer(const QStringList& irsaArguments)
{
    QProcess aProcess;
    aProcess.start(QStringLiteral(VORN_BIN_DIR "/VornViewer"), irsaArguments);
    Run aRun;
    if (!aProcess.waitForFinished(240000)) {
        aProcess.kill();
        aProcess.waitForFinished();
        aRun.sError = QStringLiteral("<timed out>");
        return aRun;
    }
    aRun.nExit = aProcess.exitStatus() == QProcess::NormalExit ? aProcess.exitCode() : -1;
    aRun.sOut = QString::fromUtf8(aProcess.readAllStandardOutput());
    aRun.sError = QString::fromUtf8(aProcess.readAllStandardError());
    return aRun;
}

QString soxOutput(const QString& isProgram, const QStringList& irsaArguments)
{
    QProcess aProcess;
    aProcess.setProcessChannelMode(QProcess::MergedChannels);
    aProcess.start(isProgram, irsaArguments);
    aProcess.waitForFinished(60000);
    return aProcess.exitCode() == 0 ? QString::fromUtf8(aProcess.readAll()) : QString();
}

qint64 soxFrames(const QString& isPath)
{
    const QString sOut = soxOutput(QStringLiteral("soxi"), { "-s", isPath });
    return sOut.isEmpty() ? -1 : sOut.trimmed().toLongLong();
}

// A figure of "sox FILE -n trim START LENGTH stat", for one channel.
double soxStat(const QString& isPath, int inChannel, double ifStart, double ifLength, const QString& isFigure)
{
    const QString sOut = soxOutput(QStringLiteral("sox"), { isPath, "-n", "remix", QString::number(inChannel), "trim",
                                                            QString::number(ifStart), QString::number(ifLength),
                                                            "stat" });
    for (const QString& sLine : sOut.split(QLatin1Char('\n')))
        if (sLine.startsWith(isFigure))
            return sLine.section(QLatin1Char(':'), 1).trimmed().toDouble();
    return -1;
}

QString judge(const QStringList& iaArguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("/usr/bin/python3", QStringList { QStringLiteral(JUDGE_SCRIPT) } + iaArguments);
    if (!p.waitForFinished(120000))
        return QStringLiteral("judge did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAll()).trimmed();
}

QStringList entries(const QString& isFolder)
{
    return QDir(isFolder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

ReviewNote note(qint64 inStart, qint64 inEnd, const char* ipCategory)
{
    ReviewNote aNote;
    aNote.nStartMs = inStart;
    aNote.nEndMs = inEnd;
    aNote.sCategory = QString::fromLatin1(ipCategory);
    aNote.sText = QStringLiteral("card number read out");
    return aNote;
}

bool isOneLine(const Run& irRun)
{
    return irRun.sError.count(QLatin1Char('\n')) == 1 && irRun.sError.startsWith(QLatin1String("VornViewer: "));
}

} // namespace

class TestExportCommand : public QObject
{
    Q_OBJECT
    QTemporaryDir maDir;
    QString msPackage;
    QString msReview;
    QString msSourceWav; // the WAV recording as stored in the package
    QByteArray maSourceWav;
    QString msRecent;
    QString msOld;

    QString folder(const QString& isName)
    {
        const QString sPath = maDir.filePath(isName);
        QDir(sPath).removeRecursively();
        QDir().mkpath(sPath);
        return sPath;
    }

private slots:
    // The calls, recordings and review of every case; an encrypted copy
    // offers the authority override.
    QString writePackage(const QString& isName, bool ibEncrypted)
    {
        const QString sOther = QDateTime::fromString(msRecent, "yyyy-MM-dd hh:mm:ss").addDays(-1).toString("yyyy-MM-dd hh:mm:ss");
        QJsonArray aCalls;
        auto call = [&](const QJsonValue& irId, const QString& isStart, const QString& isVoice) {
            aCalls.append(QJsonObject { { "id", irId }, { "time_start", isStart },
                                        { "flags", isVoice.isEmpty() ? 0 : 0x18 }, { "voice", isVoice } });
        };
        call(1001, msRecent, "/app/wave/a.wvc");
        call(1001, sOther, "/app/wave/a.wvc");
        call("A/7", msRecent, "b.wav");
        call("", msRecent, "b.wav"); // an empty id: named by its time
        call(1002, msOld, "/app/wave/a.wvc");
        call(1003, msRecent, "");
        PackageWriter aWriter;
        if (ibEncrypted) {
            aWriter.setPassword("secret");
            aWriter.setUsers("anna");
            aWriter.setSettings("package_call_expiration=authority_override;authority_password=lift;"
                                "storage_time_normal_voice=10");
        } else {
            aWriter.setSettings("storage_time_normal_voice=10");
        }
        aWriter.addFile("/app/js/data/calls.js", "var gCalls=" + QJsonDocument(aCalls).toJson(QJsonDocument::Compact) + ";");
        aWriter.addFile("/app/wave/a.wvc", wvcFile({ tone(16000 * 3, 1), tone(16000 * 3, 2) }, 16000, "PCM16"));
        aWriter.addFile("/app/wave/b.wav", maSourceWav);
        const QString sPath = maDir.filePath(isName);
        if (!aWriter.write(sPath))
            return QString();

        // Every call of the package is reviewed, and one it does not hold.
        ReviewDocument aDocument;
        aDocument.setNotes(1001, msRecent, { note(500, 1250, "redact"), note(1500, 1500, "finding") });
        aDocument.setNotes(1001, sOther, { note(0, 100, "ok") });
        aDocument.setNotes("A/7", msRecent, { note(100, 400, "redact"), note(900, 1600, "redact") });
        aDocument.setNotes(QString(""), msRecent, { note(0, 100, "ok") });
        aDocument.setNotes(1002, msOld, { note(0, 100, "redact") });
        aDocument.setNotes(1003, msRecent, { note(0, 100, "finding") });
        aDocument.setNotes(9999, msRecent, { note(0, 100, "finding") });
        QString sError;
        if (!aDocument.saveFile(sPath + ".review.json", readPackageInfo(sPath), QString(), &sError))
            return QString();
        return sPath;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        const QDateTime tNow = QDateTime::currentDateTime();
        msRecent = tNow.addDays(-1).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        msOld = tNow.addDays(-20).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        maSourceWav = wavFile(1, 16, 8000, pcmBytes(tone(8000 * 2, 3)));
        msSourceWav = maDir.filePath("source-b.wav");
        QFile aSource(msSourceWav);
        QVERIFY(aSource.open(QIODevice::WriteOnly) && aSource.write(maSourceWav) == maSourceWav.size());
        aSource.close();
        msPackage = writePackage("calls.pkg", false);
        QVERIFY(!msPackage.isEmpty());
        msReview = msPackage + ".review.json";
    }

    void writesNamedRedactedFiles_data()
    {
        QTest::addColumn<QStringList>("aOptions");
        QTest::addColumn<bool>("bTone");
        QTest::newRow("tone by default") << QStringList() << true;
        QTest::newRow("tone") << QStringList { "--redact-with", "tone" } << true;
        QTest::newRow("silence") << QStringList { "--redact-with", "silence" } << false;
    }
    void writesNamedRedactedFiles()
    {
        QFETCH(QStringList, aOptions);
        QFETCH(bool, bTone);
        const QString sFolder = folder("out");
        const Run aRun = runViewer(QStringList { "--review", msReview, "--export-recordings", sFolder } + aOptions
                                   + QStringList { msPackage });
        QVERIFY2(aRun.nExit == 0, qPrintable(aRun.sError));
        QVERIFY2(aRun.sError.isEmpty(), qPrintable(aRun.sError));
        const QString sNoId
            = QDateTime::fromString(msRecent, "yyyy-MM-dd hh:mm:ss").toString("yyyyMMdd-hhmmss") + ".wav";
        QStringList aNames { "1001.wav", "1001-2.wav", "A_7.wav", sNoId };
        aNames.sort();
        QCOMPARE(entries(sFolder), aNames);
        // The summary lists what was skipped and why.
        QVERIFY2(aRun.sOut.contains("Recordings written: 4"), qPrintable(aRun.sOut));
        QVERIFY2(aRun.sOut.contains("1002 (" + msOld + "): the recording has expired"), qPrintable(aRun.sOut));
        QVERIFY2(aRun.sOut.contains("1003 (" + msRecent + "): the call has no recording"), qPrintable(aRun.sOut));
        QVERIFY2(aRun.sOut.contains("9999 (" + msRecent + "): the call is not in this package"), qPrintable(aRun.sOut));

        QCOMPARE(soxFrames(sFolder + "/1001.wav"), 16000 * 3);
        QCOMPARE(soxFrames(sFolder + "/1001-2.wav"), 16000 * 3);
        QCOMPARE(soxFrames(sFolder + "/A_7.wav"), 8000 * 2);
        QCOMPARE(soxFrames(sFolder + "/" + sNoId), 8000 * 2);
        // Inside each redacted passage (fades left out) of both channels:
        // the 1 kHz tone at -12 dBFS, or nothing. sox's rough frequency is
        // a zero-crossing count: it is compared with sox's reading of its
        // own 1 kHz sine.
        const QString sReference = maDir.filePath("sine.wav");
        QCOMPARE(QProcess::execute("sox", { "-n", "-r", "16000", "-b", "16", "-c", "1", sReference, "synth", "1", "sine", "1000" }), 0);
        const double fReference = soxStat(sReference, 1, 0.52, 0.7, "Rough   frequency");
        QVERIFY(qAbs(fReference - 1000) < 20);
        for (int nChannel : { 1, 2 }) {
            const double fPeak = soxStat(sFolder + "/1001.wav", nChannel, 0.52, 0.7, "Maximum amplitude");
            if (bTone) {
                QVERIFY2(qAbs(fPeak - 8231 / 32768.0) < 0.01, qPrintable(QString::number(fPeak)));
                const double fFrequency = soxStat(sFolder + "/1001.wav", nChannel, 0.52, 0.7, "Rough   frequency");
                QVERIFY2(qAbs(fFrequency - fReference) <= 5, qPrintable(QString::number(fFrequency)));
            } else {
                QCOMPARE(fPeak, 0.0);
            }
        }
        // The call without redaction carries the recording as it is.
        QVERIFY(soxStat(sFolder + "/1001-2.wav", 1, 0.52, 0.7, "Maximum amplitude") > 0.2);
        const QString sFault = judge({ "redact", msSourceWav, sFolder + "/A_7.wav", bTone ? "tone" : "silence",
                                       "100-400,900-1600" });
        QVERIFY2(sFault.isEmpty(), qPrintable(sFault));
    }

    void existingFileNeedsOverwrite()
    {
        const QString sFolder = folder("existing");
        QFile aMine(sFolder + "/A_7.wav");
        QVERIFY(aMine.open(QIODevice::WriteOnly));
        aMine.write("mine");
        aMine.close();
        const Run aRefused = runViewer({ "--review", msReview, "--export-recordings", sFolder, msPackage });
        QCOMPARE(aRefused.nExit, 1);
        QVERIFY2(isOneLine(aRefused), qPrintable(aRefused.sError));
        QVERIFY2(aRefused.sError.contains("A_7.wav") && aRefused.sError.contains("--overwrite"),
                 qPrintable(aRefused.sError));
        // Nothing written, the file kept as it was.
        QCOMPARE(entries(sFolder), QStringList { "A_7.wav" });
        QVERIFY(aMine.open(QIODevice::ReadOnly));
        QCOMPARE(aMine.readAll(), QByteArray("mine"));
        aMine.close();

        const Run aRun = runViewer({ "--overwrite", "--review", msReview, "--export-recordings", sFolder, msPackage });
        QVERIFY2(aRun.nExit == 0, qPrintable(aRun.sError));
        QCOMPARE(entries(sFolder).size(), 4);
        QCOMPARE(soxFrames(sFolder + "/A_7.wav"), 8000 * 2);
    }

    void readOnlyFolder()
    {
        const QString sFolder = folder("readonly");
        QFile::setPermissions(sFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        // Permissions do not stop root; the immutable attribute does.
        const bool bImmutable = geteuid() == 0 && QProcess::execute("chattr", { "+i", sFolder }) == 0;
        QFile aProbe(sFolder + "/probe");
        if (aProbe.open(QIODevice::WriteOnly)) {
            aProbe.remove();
            QSKIP("this folder cannot be made read-only here");
        }
        const Run aRun = runViewer({ "--review", msReview, "--export-recordings", sFolder, msPackage });
        if (bImmutable)
            QProcess::execute("chattr", { "-i", sFolder });
        QFile::setPermissions(sFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(aRun.nExit, 1);
        QVERIFY2(isOneLine(aRun) && aRun.sError.contains("1001.wav"), qPrintable(aRun.sError));
        QCOMPARE(entries(sFolder), QStringList());
    }

    // An encrypted package asks for its credentials in the usual dialog
    // (run here in the test's own process, so that the dialog can be
    // answered); an accepted authority password lifts the retention of the
    // voice, a wrong one leaves it.
    void encryptedPackageAsksCredentials_data()
    {
        QTest::addColumn<QString>("sAuthority");
        QTest::addColumn<bool>("bCancel");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QStringList>("aNames");
        const QString sNoId
            = QDateTime::fromString(msRecent, "yyyy-MM-dd hh:mm:ss").toString("yyyyMMdd-hhmmss") + ".wav";
        const QStringList aKept { "1001-2.wav", "1001.wav", "A_7.wav", sNoId };
        QTest::newRow("authority override") << "lift" << false << 0 << (QStringList { "1002.wav" } + aKept);
        QTest::newRow("wrong authority password") << "nope" << false << 0 << aKept;
        QTest::newRow("no authority password") << "" << false << 0 << aKept;
        QTest::newRow("cancelled") << "" << true << 1 << QStringList();
    }
    void encryptedPackageAsksCredentials()
    {
        QFETCH(QString, sAuthority);
        QFETCH(bool, bCancel);
        QFETCH(int, nExit);
        QFETCH(QStringList, aNames);
        const QString sPackage = writePackage("encrypted.pkg", true);
        QVERIFY(!sPackage.isEmpty());
        const QString sFolder = folder("encrypted");
        const CommandLine aLine = parseCommandLine(
            { "VornViewer", "--review", sPackage + ".review.json", "--export-recordings", sFolder, sPackage });
        QVERIFY2(aLine.sError.isEmpty(), qPrintable(aLine.sError));
        QString sDialog;
        ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
            sDialog = ipaModal->metaObject()->className();
            const QList<QLineEdit*> aEdits = ipaModal->findChildren<QLineEdit*>();
            QCOMPARE(aEdits.size(), 3);
            aEdits[0]->setText("anna");
            aEdits[1]->setText("secret");
            aEdits[2]->setText(sAuthority);
            auto* pButtons = ipaModal->findChild<QDialogButtonBox*>();
            QVERIFY(pButtons);
            pButtons->button(bCancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
        } });
        Package aPackage;
        QCOMPARE(runRecordingExportCommand(aLine, aPackage), nExit);
        QVERIFY(aAnswers.allUsed());
        QCOMPARE(sDialog, QStringLiteral("InputDialog"));
        aNames.sort();
        QCOMPARE(entries(sFolder), aNames);
        for (const QString& sName : aNames)
            QVERIFY(soxFrames(sFolder + "/" + sName) > 0);
    }

    // Every failure: one line on standard error, a status other than 0 and
    // nothing written.
    void failures_data()
    {
        QTest::addColumn<QStringList>("aArguments");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QString>("sMessage");
        const QString sDir = maDir.path();
        const QString sOut = sDir + "/failed";
        QDir().mkpath(sOut);
        QFile aDamaged(sDir + "/damaged.review.json");
        aDamaged.open(QIODevice::WriteOnly);
        aDamaged.write("{\"format\": \"vorn-review\", \"version\": 1, \"calls\": [");
        aDamaged.close();
        QFile aNotPackage(sDir + "/text.pkg");
        aNotPackage.open(QIODevice::WriteOnly);
        aNotPackage.write("not a package at all");
        aNotPackage.close();
        QTest::newRow("missing folder") << QStringList { "--review", msReview, "--export-recordings", sDir + "/none", msPackage }
                                        << 1 << "none";
        QTest::newRow("missing review") << QStringList { "--review", sDir + "/none.json", "--export-recordings", sOut, msPackage }
                                        << 1 << "none.json";
        QTest::newRow("damaged review") << QStringList { "--review", sDir + "/damaged.review.json", "--export-recordings", sOut, msPackage }
                                        << 1 << "damaged.review.json";
        QTest::newRow("unreadable package") << QStringList { "--review", msReview, "--export-recordings", sOut, sDir + "/text.pkg" }
                                            << 1 << "text.pkg";
        QTest::newRow("fill neither tone nor silence")
            << QStringList { "--review", msReview, "--export-recordings", sOut, "--redact-with", "beep", msPackage }
            << 2 << "tone or silence";
        QTest::newRow("no review") << QStringList { "--export-recordings", sOut, msPackage } << 2 << "--review";
        QTest::newRow("no folder") << QStringList { "--review", msReview, msPackage, "--export-recordings" } << 2
                                   << "--export-recordings";
        QTest::newRow("overwrite without export") << QStringList { "--review", msReview, "--overwrite", msPackage } << 2
                                                  << "--export-recordings";
        QTest::newRow("with a report") << QStringList { "--review", msReview, "--export-recordings", sOut, "--report",
                                                        sDir + "/r.csv", msPackage }
                                       << 2 << "--report";
    }
    void failures()
    {
        QFETCH(QStringList, aArguments);
        QFETCH(int, nExit);
        QFETCH(QString, sMessage);
        const Run aRun = runViewer(aArguments);
        QCOMPARE(aRun.nExit, nExit);
        QVERIFY2(isOneLine(aRun), qPrintable(aRun.sError));
        QVERIFY2(aRun.sError.contains(sMessage), qPrintable(aRun.sError));
        QCOMPARE(entries(maDir.filePath("failed")), QStringList());
        QVERIFY(!QFile::exists(maDir.filePath("r.csv")));
    }
};

QTEST_MAIN(TestExportCommand)
#include "tst_export_command.moc"
