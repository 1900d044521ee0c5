// The export of reviewed calls' recordings into a folder: names and their
// collisions, skipped calls with their reasons (retention included), the
// redaction judged by an independent reader, existing files, cancelling
// and an unwritable folder.
#include "AudioTestSupport.h"
#include "../FullDisk.h"
#include "BatchExport.h"
#include "Package.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

#include <unistd.h>

using namespace audiotest;

namespace {

QString judge(const QStringList& iaArguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("/usr/bin/python3", QStringList { QStringLiteral(JUDGE_SCRIPT) } + iaArguments);
    if (!p.waitForFinished(120000))
        return QStringLiteral("judge did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAll()).trimmed();
}

qint64 soxFrames(const QString& isPath)
{
    QProcess p;
    p.start("soxi", { "-s", isPath });
    p.waitForFinished(30000);
    return p.exitCode() == 0 ? p.readAllStandardOutput().trimmed().toLongLong() : -1;
}

// Every entry of the folder, hidden ones (a save file's temporary) included.
QStringList entries(const QString& isFolder)
{
    return QDir(isFolder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString startText(const QDateTime& itStart)
{
    return itStart.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

class TestBatchExport : public QObject
{
    Q_OBJECT
    QTemporaryDir maDir;
    QString msPackage;
    QString msRecent; // time_start of the recent calls
    QString msOld;    // of the call whose voice has expired
    QVector<BatchExport::Call> maCalls;

    QString folder(const QString& isName)
    {
        const QString sPath = maDir.filePath(isName);
        QDir(sPath).removeRecursively();
        QDir().mkpath(sPath);
        return sPath;
    }

    bool open(Package& irPackage, bool ibOverride)
    {
        if (irPackage.openPackage(msPackage, "", "", "", false) != 0)
            return false;
        // As the authority override does it: after the open.
        if (ibOverride)
            irPackage.disableCallExpiration();
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        const QDateTime tNow = QDateTime::currentDateTime();
        msRecent = startText(tNow.addDays(-1));
        msOld = startText(tNow.addDays(-20));
        const QString sOther = startText(tNow.addDays(-2));
        QJsonArray aCalls;
        auto call = [&](const QJsonValue& irId, const QString& isStart, const QString& isVoice) {
            QJsonObject a { { "time_start", isStart }, { "flags", isVoice.isEmpty() ? 0 : 0x18 }, { "voice", isVoice } };
            if (!irId.isUndefined())
                a.insert("id", irId);
            aCalls.append(a);
        };
        call(1001, msRecent, "/app/wave/a.wvc");
        call(1001, sOther, "/app/wave/a.wvc");
        call("A/7", msRecent, "b.wav");
        call(QJsonValue::Undefined, msRecent, "b.wav");
        call(1002, msOld, "/app/wave/a.wvc");
        call(1003, msRecent, "");
        call(1004, msRecent, "/app/wave/missing.wvc");
        PackageWriter aWriter;
        aWriter.setSettings("storage_time_normal_voice=10");
        QVERIFY(aWriter.addFile("/app/js/data/calls.js",
                                "var gCalls=" + QJsonDocument(aCalls).toJson(QJsonDocument::Compact) + ";"));
        QVERIFY(aWriter.addFile("/app/wave/a.wvc",
                                wvcFile({ tone(16000 * 3, 1), tone(16000 * 3, 2) }, 16000, "PCM16")));
        QVERIFY(aWriter.addFile("/app/wave/b.wav", wavFile(1, 16, 8000, pcmBytes(tone(8000 * 2, 3)))));
        msPackage = maDir.filePath("export.pkg");
        QVERIFY(aWriter.write(msPackage));

        const auto span = [](const char* ipText) { return RedactionStage::parseSpans(ipText); };
        maCalls = { { 1001, msRecent, span("500-1250,2000-2700") },
                    { 1001, sOther, {} },
                    { "A/7", msRecent, span("100-400") },
                    { QJsonValue(), msRecent, {} },
                    { 1002, msOld, {} },
                    { 1003, msRecent, {} },
                    { 1004, msRecent, {} },
                    { 9999, msRecent, {} } };
    }

    void namesAndSkippedCalls_data()
    {
        QTest::addColumn<bool>("bOverride");
        QTest::addColumn<QStringList>("aNames");
        QTest::addColumn<QStringList>("aSkipped");
        const QString sNoId = QDateTime::fromString(msRecent, "yyyy-MM-dd hh:mm:ss").toString("yyyyMMdd-hhmmss") + ".wav";
        QTest::newRow("retention") << false
                                   << QStringList { "1001.wav", "1001-2.wav", "A_7.wav", sNoId, "", "", "", "" }
                                   << QStringList { "1002 (" + msOld + "): the recording has expired",
                                                    "1003 (" + msRecent + "): the call has no recording",
                                                    "1004 (" + msRecent + "): the call has no recording",
                                                    "9999 (" + msRecent + "): the call is not in this package" };
        QTest::newRow("authority override") << true
                                            << QStringList { "1001.wav", "1001-2.wav", "A_7.wav", sNoId, "1002.wav",
                                                             "", "", "" }
                                            << QStringList { "1003 (" + msRecent + "): the call has no recording",
                                                             "1004 (" + msRecent + "): the call has no recording",
                                                             "9999 (" + msRecent + "): the call is not in this package" };
    }
    void namesAndSkippedCalls()
    {
        QFETCH(bool, bOverride);
        QFETCH(QStringList, aNames);
        QFETCH(QStringList, aSkipped);
        Package aPackage;
        QVERIFY(open(aPackage, bOverride));
        const QString sFolder = folder("names");
        BatchExport aExport(&aPackage, maCalls, sFolder);
        QCOMPARE(aExport.plannedNames(), aNames);
        const BatchExport::Result aResult = aExport.run(false);
        QVERIFY2(aResult.ok(), qPrintable(aResult.sError));
        QStringList aReasons;
        for (const BatchExport::Skipped& r : aResult.aSkipped)
            aReasons << r.sCall + ": " + r.sReason;
        QCOMPARE(aReasons, aSkipped);
        aNames.removeAll(QString());
        QCOMPARE(aResult.aWritten, aNames);
        aNames.sort();
        QCOMPARE(entries(sFolder), aNames);
        QCOMPARE(soxFrames(sFolder + "/1001.wav"), 16000 * 3);
        QCOMPARE(soxFrames(sFolder + "/A_7.wav"), 8000 * 2);
    }

    // The exported files against the same export without redaction.
    void redactsAsJudged_data()
    {
        QTest::addColumn<int>("nFill");
        QTest::newRow("tone") << int(RedactionStage::Fill::Tone);
        QTest::newRow("silence") << int(RedactionStage::Fill::Silence);
    }
    void redactsAsJudged()
    {
        QFETCH(int, nFill);
        Package aPackage;
        QVERIFY(open(aPackage, false));
        QVector<BatchExport::Call> aPlain = maCalls;
        for (BatchExport::Call& r : aPlain)
            r.aRedact.clear();
        const QString sPlain = folder("plain");
        const QString sRedacted = folder("redacted");
        QVERIFY(BatchExport(&aPackage, aPlain, sPlain).run(false).ok());
        QVERIFY(BatchExport(&aPackage, maCalls, sRedacted, RedactionStage::Fill(nFill)).run(false).ok());
        const QString sFill = nFill == int(RedactionStage::Fill::Tone) ? "tone" : "silence";
        for (const auto& [sName, sSpans] : { std::pair<QString, QString> { "1001.wav", "500-1250,2000-2700" },
                                             std::pair<QString, QString> { "A_7.wav", "100-400" } }) {
            const QString sFault = judge({ "redact", sPlain + "/" + sName, sRedacted + "/" + sName, sFill, sSpans });
            QVERIFY2(sFault.isEmpty(), qPrintable(sName + ": " + sFault));
        }
    }

    void existingFilesAreKept()
    {
        Package aPackage;
        QVERIFY(open(aPackage, false));
        const QString sFolder = folder("existing");
        QFile aFile(sFolder + "/A_7.wav");
        QVERIFY(aFile.open(QIODevice::WriteOnly));
        aFile.write("mine");
        aFile.close();
        BatchExport aExport(&aPackage, maCalls, sFolder);
        QCOMPARE(aExport.existingNames(), QStringList { "A_7.wav" });
        const BatchExport::Result aRefused = aExport.run(false);
        QVERIFY(!aRefused.ok());
        QVERIFY(aRefused.sError.contains("A_7.wav"));
        QCOMPARE(entries(sFolder), QStringList { "A_7.wav" });
        QVERIFY(aExport.run(true).ok());
        QCOMPARE(soxFrames(sFolder + "/A_7.wav"), 8000 * 2);
    }

    void cancelLeavesNoPartialFile()
    {
        Package aPackage;
        QVERIFY(open(aPackage, false));
        const QString sFolder = folder("cancel");
        int nCalls = 0;
        // Cancelled inside the second file, once it has been started.
        const BatchExport::Result aResult
            = BatchExport(&aPackage, maCalls, sFolder).run(false, [&](int inDone, int, const QString&) {
                  return inDone < 1 || ++nCalls < 3;
              });
        QVERIFY(aResult.bCancelled);
        QCOMPARE(aResult.aWritten, QStringList { "1001.wav" });
        QCOMPARE(entries(sFolder), QStringList { "1001.wav" });
    }

    void unwritableFolder()
    {
        Package aPackage;
        QVERIFY(open(aPackage, false));
        const QString sFolder = folder("readonly");
        QFile::setPermissions(sFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        // Permissions do not stop root; the immutable attribute does.
        const bool bImmutable = geteuid() == 0 && QProcess::execute("chattr", { "+i", sFolder }) == 0;
        QFile aProbe(sFolder + "/probe");
        if (aProbe.open(QIODevice::WriteOnly)) {
            aProbe.remove();
            QSKIP("this folder cannot be made read-only here");
        }
        const BatchExport::Result aResult = BatchExport(&aPackage, maCalls, sFolder).run(false);
        if (bImmutable)
            QProcess::execute("chattr", { "-i", sFolder });
        QFile::setPermissions(sFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!aResult.ok());
        QVERIFY2(aResult.sError.contains("1001.wav"), qPrintable(aResult.sError));
        QVERIFY(aResult.aWritten.isEmpty());
        QCOMPARE(entries(sFolder), QStringList());
    }

    // A full disk stops the export with the write error (it used to skip the
    // call as unreadable and go on) and keeps no part of the file.
    void fullDiskStopsWithTheError()
    {
        const FullDisk aDisk(maDir.filePath("full"), 16);
        if (!aDisk.isReady())
            QSKIP("mounting a small file system needs root");
        Package aPackage;
        QVERIFY(open(aPackage, false));
        const BatchExport::Result aResult = BatchExport(&aPackage, maCalls, maDir.filePath("full")).run(false);
        QVERIFY(!aResult.ok());
        QVERIFY2(aResult.sError.startsWith("Could not write ") && aResult.sError.contains("1001.wav: "),
                 qPrintable(aResult.sError));
        QVERIFY2(!aResult.sError.endsWith("Unknown error"), qPrintable(aResult.sError));
        QVERIFY(aResult.aSkipped.isEmpty());
        QVERIFY(aResult.aWritten.isEmpty());
        QCOMPARE(aDisk.others(), QStringList());
    }

    void missingFolder()
    {
        Package aPackage;
        QVERIFY(open(aPackage, false));
        const BatchExport::Result aResult = BatchExport(&aPackage, maCalls, maDir.filePath("nowhere")).run(false);
        QVERIFY(!aResult.ok());
        QVERIFY(!QFileInfo::exists(maDir.filePath("nowhere")));
    }
};

QTEST_MAIN(TestBatchExport)
#include "tst_batch_export.moc"
