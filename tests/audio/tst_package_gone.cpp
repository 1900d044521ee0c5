// The package file goes away under the player (a network share that drops,
// a copy overwritten): playing, seeking and saving end with the message and
// leave nothing behind, nothing hangs, and the next package plays.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "Package.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSaveFile>

#include <cstdio>

using namespace audiotest;

namespace {

const QString csGone = QStringLiteral(
    "<p>Could not read from the package: the package file has changed or is no longer available.");

// Truncates, replaces (renames another file over it) or deletes isPath.
bool changePackage(const QString& isPath, const QString& isChange, const QString& isOther)
{
    if (isChange == "truncated")
        return QFile::resize(isPath, QFileInfo(isPath).size() / 3);
    if (isChange == "replaced") {
        const QString sCopy = isPath + ".new";
        return QFile::copy(isOther, sCopy)
            && ::rename(QFile::encodeName(sCopy).constData(), QFile::encodeName(isPath).constData()) == 0;
    }
    return QFile::remove(isPath);
}

} // namespace

class TestPackageGone : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    QString msOriginal;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;

    // A fresh copy of the package, opened: each case spoils its own.
    QString openCopy()
    {
        const QString sCopy = maDir.filePath("open.pkg");
        QFile::remove(sCopy);
        if (!QFile::copy(msOriginal, sCopy) || maPackage.openPackage(sCopy, "anna", "secret", "", false) != 0)
            return QString();
        return sCopy;
    }

    // Loads isName and waits until the device has played inMs of it.
    bool playFor(const QString& isName, qint64 inMs)
    {
        QSignalSpy aPlaying(mpPlayer, SIGNAL(whilePlayingJs()));
        mpPlayer->loadFromPackage(isName, "1");
        return QTest::qWaitFor(
            [&] { return aPlaying.count() > 0 && mpPlayer->property("nPosition").toLongLong() >= inMs; }, 60000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(maDir.isValid());
        QVERIFY(QDir(maDir.path()).mkpath("out"));
        PackageWriter aWriter;
        aWriter.setPassword("secret");
        aWriter.setUsers("anna");
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));
        QVERIFY(aWriter.addFile("/app/data/trace.pcap", QByteArray(50000, 'p')));
        // Long enough that reading goes on long after the start.
        QVERIFY(aWriter.addFile("/app/wave/long.wav", wavFile(1, 16, 8000, pcmBytes(tone(8000 * 240, 1)))));
        QVERIFY(aWriter.addFile("/app/wave/long.wvc", wvcFile({ tone(8000 * 240, 2) }, 8000, "PCMA", "secret")));
        QVERIFY(aWriter.addFile("/app/wave/slow.wvc", wvcFile({ tone(16000 * 180, 3) }, 16000, "opus", "secret")));
        msOriginal = maDir.filePath("original.pkg");
        QVERIFY(aWriter.write(msOriginal));
        mpPlayer = new AudioPlayer(&maPackage);
    }

    void cleanupTestCase() { delete mpPlayer; }

    void playingOrSeeking_data()
    {
        QTest::addColumn<QString>("sRecording");
        QTest::addColumn<QString>("sChange");
        QTest::addColumn<bool>("bSeek");
        QTest::newRow("wav truncated while playing") << "long.wav" << "truncated" << false;
        QTest::newRow("wvc truncated while playing") << "long.wvc" << "truncated" << false;
        QTest::newRow("wav replaced, then a seek") << "long.wav" << "replaced" << true;
        QTest::newRow("wvc replaced, then a seek") << "long.wvc" << "replaced" << true;
        QTest::newRow("wav deleted, then a seek") << "long.wav" << "deleted" << true;
        QTest::newRow("wvc deleted while playing") << "long.wvc" << "deleted" << false;
    }
    void playingOrSeeking()
    {
        QFETCH(QString, sRecording);
        QFETCH(QString, sChange);
        QFETCH(bool, bSeek);
        const QString sPath = openCopy();
        QVERIFY(!sPath.isEmpty());
        QSignalSpy aIdle(mpPlayer, SIGNAL(idleJs()));
        QString sMessage;
        ModalAnswers aAnswers({ pressButton(&sMessage) });
        QVERIFY(playFor(sRecording, 300));
        QVERIFY(changePackage(sPath, sChange, msOriginal));
        if (bSeek)
            mpPlayer->seek(200000);
        QVERIFY(QTest::qWaitFor([&] { return aAnswers.allUsed() && !qApp->activeModalWidget(); }, 60000));
        QCOMPARE(sMessage, csGone);
        QCOMPARE(aIdle.count(), 1);
        QCOMPARE(mpPlayer->property("bPaused").toBool(), true);
        // Nothing is left running: play and seek are refused quietly.
        QCOMPARE(mpPlayer->seek(1000), -1);

        // Loading again from the changed file says the same at once.
        sMessage.clear();
        {
            ModalAnswers aAgain({ pressButton(&sMessage) });
            mpPlayer->loadFromPackage(sRecording, "1");
            QVERIFY(QTest::qWaitFor([&] { return aAgain.allUsed() && !qApp->activeModalWidget(); }, 30000));
        }
        QCOMPARE(sMessage, csGone);

        // Another package plays as usual.
        QVERIFY(!openCopy().isEmpty());
        QVERIFY(playFor(sRecording, 300));
        mpPlayer->unload();
    }

    // An unload that comes before the decoder thread got going used to
    // wait for it forever (the thread cleared the stop as it started).
    void unloadRightAfterLoad()
    {
        QVERIFY(!openCopy().isEmpty());
        for (int i = 0; i < 20; ++i) {
            mpPlayer->loadFromPackage(i % 2 ? "long.wvc" : "long.wav", "1");
            mpPlayer->unload();
        }
        QVERIFY(playFor("long.wav", 100));
        mpPlayer->unload();
    }

    // A data file asked for after the package file went: the message says
    // why, and nothing is saved.
    void dataFileAfterThePackageWent()
    {
        const QString sPath = openCopy();
        QVERIFY(!sPath.isEmpty());
        QVERIFY(QFile::remove(sPath));
        QString sMessage;
        {
            ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
                                       auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
                                       QVERIFY(pDialog);
                                       pDialog->setDirectory(maDir.filePath("out"));
                                       pDialog->findChild<QLineEdit*>("fileNameEdit")->setText("trace.pcap");
                                       QMetaObject::invokeMethod(pDialog, "accept");
                                   },
                                    pressButton(&sMessage) });
            mpPlayer->downloadPcap("/app/data/trace.pcap");
            QVERIFY(QTest::qWaitFor([&] { return aAnswers.allUsed() && !qApp->activeModalWidget(); }, 60000));
        }
        QCOMPARE(sMessage, csGone);
        QCOMPARE(QDir(maDir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The save dialog is answered, then the file changes while the recording
    // is being saved: the message, and no file under any name.
    void savingEndsWithoutFile_data()
    {
        QTest::addColumn<QString>("sChange");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("deleted") << "deleted";
    }
    void savingEndsWithoutFile()
    {
        QFETCH(QString, sChange);
        const QString sPath = openCopy();
        QVERIFY(!sPath.isEmpty());
        const QString sTarget = maDir.filePath("out/slow.wav");
        QString sMessage;
        bool bChanged = false;
        {
            ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
                                       auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
                                       QVERIFY(pDialog);
                                       pDialog->setDirectory(maDir.filePath("out"));
                                       pDialog->findChild<QLineEdit*>("fileNameEdit")->setText("slow.wav");
                                       QMetaObject::invokeMethod(pDialog, "accept");
                                   },
                                    [&](QWidget* ipaModal) {
                                        // The progress shows once the header is written.
                                        QVERIFY(qobject_cast<QProgressDialog*>(ipaModal));
                                        bChanged = changePackage(sPath, sChange, msOriginal);
                                    },
                                    pressButton(&sMessage) });
            mpPlayer->downloadFromPackage("slow.wvc");
            QVERIFY(QTest::qWaitFor([&] { return aAnswers.allUsed() && !qApp->activeModalWidget()
                                                 && !mpPlayer->findChild<QSaveFile*>(); }, 60000));
        }
        QVERIFY(bChanged);
        QCOMPARE(sMessage, csGone);
        QCOMPARE(QDir(maDir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!mpPlayer->findChild<QProgressDialog*>());
    }
};

QTEST_MAIN(TestPackageGone)
#include "tst_package_gone.moc"
