#pragma once
// A simulated day of a reviewer's work on the native side, shared by the
// soak benchmark and its short version in the test suite: recordings
// loaded, played for a moment and unloaded through the player (WAV and WVC
// of every codec, with effects and tempo), language catalogs switched,
// packages opened and closed (plain and encrypted), recording downloads
// cancelled half-way. It counts what the process holds: resident memory,
// open descriptors and threads.
#include "../../tests/app/GuiTestHelpers.h"
#include "../../tests/audio/AudioTestSupport.h"
#include "AudioPlayer.h"
#include "Package.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTranslator>

#include <unistd.h>

#include <functional>

namespace soak {

struct Counts
{
    int nLoads = 500;
    int nLanguageSwitches = 100;
    int nPackageCycles = 200;
    int nCancelledDownloads = 50;
};

inline qint64 residentBytes()
{
    QFile aStat(QStringLiteral("/proc/self/statm"));
    if (!aStat.open(QIODevice::ReadOnly))
        return 0;
    return aStat.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}
inline int openDescriptors() { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files | QDir::Dirs).size(); }
inline int threads() { return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::NoDotAndDotDot | QDir::Dirs).size(); }

class SoakRun
{
public:
    // Writes the two packages into isFolder; isCatalogs holds the viewer's
    // compiled catalogs (VornViewer_<locale>.qm).
    SoakRun(const QString& isFolder, const QString& isCatalogs)
        : msFolder(isFolder)
        , msCatalogs(isCatalogs)
    {
        using namespace audiotest;
        for (const bool bEncrypted : { false, true }) {
            PackageWriter aWriter;
            if (bEncrypted) {
                aWriter.setPassword(QStringLiteral("secret"));
                aWriter.setUsers(QStringLiteral("anna"));
            }
            aWriter.addFile(QStringLiteral("/app/js/data/calls.js"), "var gCalls=[];");
            aWriter.addFile(QStringLiteral("/app/wave/pcm16.wav"), wavFile(1, 16, 8000, pcmBytes(tone(8000 * 20, 1))));
            QByteArray aAlaw;
            for (qint16 n : tone(8000 * 20, 2))
                aAlaw += char(alawEncode(n));
            aWriter.addFile(QStringLiteral("/app/wave/alaw.wav"), wavFile(6, 8, 8000, aAlaw));
            const std::string sPassword = bEncrypted ? "secret" : "";
            for (const char* pCodec : { "PCMA", "PCMU", "PCM16", "AMR", "GSM", "G723", "G729", "opus" })
                aWriter.addFile(QStringLiteral("/app/wave/%1.wvc").arg(pCodec),
                                wvcFile({ tone(8000 * 20, 3), tone(8000 * 20, 4) }, 8000, pCodec, sPassword));
            // Opus decodes at a few hundred times real time: five minutes
            // take long enough to be cancelled half-way.
            aWriter.addFile(QStringLiteral("/app/wave/long.wvc"), wvcFile({ tone(8000 * 300, 6) }, 8000, "opus", sPassword));
            for (const char* pCodec : { "AMR-WB", "G722" })
                aWriter.addFile(QStringLiteral("/app/wave/%1.wvc").arg(pCodec),
                                wvcFile({ tone(16000 * 20, 5) }, 16000, pCodec, sPassword));
            aWriter.write(QDir(isFolder).filePath(bEncrypted ? "encrypted.pkg" : "plain.pkg"));
        }
        maRecordings = QStringList { "pcm16.wav", "alaw.wav", "PCMA.wvc", "PCMU.wvc", "PCM16.wvc", "AMR.wvc",
                                     "GSM.wvc", "G723.wvc", "G729.wvc", "opus.wvc", "AMR-WB.wvc", "G722.wvc" };
        QDir(isFolder).mkpath(QStringLiteral("out"));
        mpPlayer = new AudioPlayer(&maPackage);
    }
    ~SoakRun()
    {
        delete mpPlayer;
        qApp->removeTranslator(&maTranslator);
    }

    bool openPackage(bool ibEncrypted)
    {
        return maPackage.openPackage(QDir(msFolder).filePath(ibEncrypted ? "encrypted.pkg" : "plain.pkg"),
                                     ibEncrypted ? "anna" : "", ibEncrypted ? "secret" : "", "", false)
            == 0;
    }

    // Loads recording i (effects and tempo vary with i), waits until the
    // device has played a moment of it and unloads; the milliseconds from
    // the load to that moment, or -1 when it never came.
    qint64 loadPlayUnload(int i)
    {
        static const char* const aQueries[] = { "", "?amplifyratio=2", "?notchfrequency=50&qfactor=2", "?tempo=1.5",
                                                "?balance=-50&tempo=0.75", "?amplifyratio=0.5&notchfrequency=60" };
        const QString sName = maRecordings.at(i % maRecordings.size());
        QSignalSpy aPlaying(mpPlayer, SIGNAL(whilePlayingJs()));
        QElapsedTimer aTimer;
        aTimer.start();
        mpPlayer->loadFromPackage(sName + QLatin1String(aQueries[i % 6]), QString::number(i));
        const bool bPlayed = QTest::qWaitFor(
            [&] { return aPlaying.count() > 0 && mpPlayer->property("nPosition").toLongLong() >= 100; }, 30000);
        const qint64 nMs = aTimer.elapsed();
        mpPlayer->unload();
        return bPlayed ? nMs : -1;
    }

    // Installs the catalog of the next locale in place of the last one.
    bool switchLanguage(int i)
    {
        static const char* const aLocales[] = { "de_DE", "fr_FR", "ar_SA", "pl_PL", "en_GB", "ru_RU", "tr_TR" };
        qApp->removeTranslator(&maTranslator);
        const bool bLoaded = maTranslator.load(QStringLiteral("VornViewer_%1").arg(aLocales[i % 7]), msCatalogs);
        return bLoaded && qApp->installTranslator(&maTranslator);
    }

    // Starts saving a long recording and cancels it once about half is
    // written; true when nothing is left in the folder.
    bool cancelDownloadHalfWay(int i)
    {
        const QString sOut = QDir(msFolder).filePath("out");
        Q_UNUSED(i)
        const QString sName = QStringLiteral("long.wvc"); // long enough to be caught half-way
        ModalAnswers aAnswers({ [&](QWidget* ipaModal) {
                                   auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
                                   if (!pDialog) {
                                       ipaModal->close();
                                       return;
                                   }
                                   pDialog->setDirectory(sOut);
                                   if (auto* pEdit = pDialog->findChild<QLineEdit*>("fileNameEdit"))
                                       pEdit->setText("saved.wav");
                                   QMetaObject::invokeMethod(pDialog, "accept");
                               },
                                [&](QWidget* ipaModal) {
                                    // The dialog goes with the download: watched, not trusted.
                                    QPointer<QProgressDialog> pProgress(qobject_cast<QProgressDialog*>(ipaModal));
                                    (void)QTest::qWaitFor(
                                        [&] { return !pProgress || pProgress->value() * 2 >= pProgress->maximum(); }, 30000);
                                    if (pProgress)
                                        pProgress->cancel();
                                } });
        mpPlayer->downloadFromPackage(sName);
        const bool bEnded = QTest::qWaitFor(
            [&] { return aAnswers.allUsed() && !mpPlayer->findChild<QSaveFile*>() && !qApp->activeModalWidget(); }, 60000);
        const QStringList aLeft = QDir(sOut).entryList(QDir::Files | QDir::Hidden);
        for (const QString& rName : aLeft) // a download that ended first: out of the way of the next
            QFile::remove(QDir(sOut).filePath(rName));
        return bEnded && aLeft.isEmpty();
    }

    // One of each, so that what the libraries start once (the sound
    // server's connection, the codecs' tables) is there before counting.
    bool warmUp()
    {
        bool bOk = openPackage(true) && loadPlayUnload(0) >= 0 && loadPlayUnload(9) >= 0 && switchLanguage(0);
        bOk = cancelDownloadHalfWay(1) && bOk;
        return openPackage(false) && bOk;
    }

    // The whole run; irnFailures counts operations that did not complete,
    // iraLoadMs the time of every load.
    void run(const Counts& irCounts, int& irnFailures, QVector<qint64>& iraLoadMs)
    {
        const int nRounds = irCounts.nLoads;
        int nSwitches = 0;
        int nCycles = 0;
        int nDownloads = 0;
        for (int i = 0; i < nRounds; ++i) {
            const qint64 nMs = loadPlayUnload(i);
            if (nMs < 0)
                ++irnFailures;
            iraLoadMs << nMs;
            // The other work is spread evenly between the loads.
            while (nSwitches * nRounds < (i + 1) * irCounts.nLanguageSwitches)
                irnFailures += switchLanguage(nSwitches++) ? 0 : 1;
            while (nCycles * nRounds < (i + 1) * irCounts.nPackageCycles) {
                maPackage.closePackage();
                irnFailures += openPackage(nCycles++ % 2 == 0) ? 0 : 1;
            }
            while (nDownloads * nRounds < (i + 1) * irCounts.nCancelledDownloads)
                irnFailures += cancelDownloadHalfWay(nDownloads++) ? 0 : 1;
        }
    }

private:
    QString msFolder;
    QString msCatalogs;
    QStringList maRecordings;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;
    QTranslator maTranslator;
};

} // namespace soak
