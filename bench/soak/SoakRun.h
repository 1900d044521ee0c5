#pragma once
// A simulated day of a reviewer's work in the real window, shared by the
// soak benchmark and its short version in the test suite: calls opened in
// the page and their recordings loaded, played for a moment and unloaded
// through the channel object (WAV and WVC of every codec, with effects and
// tempo), the page's language switched from the locale menu, packages
// opened and closed (plain and encrypted), recording downloads cancelled
// half-way. It counts what the viewer's processes hold (its own and the
// web engine's): resident memory, open descriptors and threads.
#include "../../tests/app/PageSession.h"
#include "../../tests/audio/AudioTestSupport.h"

#include <QAudioOutput>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMultiHash>
#include <QPointer>
#include <QProgressDialog>
#include <QSaveFile>

#include <functional>
#include <iterator>

#include <unistd.h>

namespace soak {

struct Counts
{
    int nLoads = 500;
    int nLanguageSwitches = 100;
    int nPackageCycles = 200;
    int nCancelledDownloads = 50;
};

// The viewer's process and every process below it (the web engine's
// helpers and their children), found by parent pid.
inline QList<int> viewerProcesses()
{
    QMultiHash<int, int> aChildren;
    for (const QString& sEntry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool bPid = false;
        const int nPid = sEntry.toInt(&bPid);
        QFile aStat(QStringLiteral("/proc/%1/stat").arg(sEntry));
        if (!bPid || !aStat.open(QIODevice::ReadOnly))
            continue;
        // The name in parentheses may hold anything: the state and the
        // parent's pid follow its last parenthesis.
        const QByteArray aText = aStat.readAll();
        aChildren.insert(aText.mid(aText.lastIndexOf(')') + 2).split(' ').value(1).toInt(), nPid);
    }
    QList<int> aPids { int(getpid()) };
    for (int i = 0; i < aPids.size(); ++i)
        aPids += aChildren.values(aPids.at(i));
    return aPids;
}

struct Footprint
{
    qint64 nResident = 0; // bytes
    int nDescriptors = 0;
    int nThreads = 0;
    int nProcesses = 0;
};

inline int entries(const QString& isFolder)
{
    return QDir(isFolder).entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files | QDir::Dirs).size();
}

// Summed over the processes of ipaPids.
inline Footprint footprint(const QList<int>& iaPids)
{
    Footprint a;
    for (int nPid : iaPids) {
        QFile aStatm(QStringLiteral("/proc/%1/statm").arg(nPid));
        if (!aStatm.open(QIODevice::ReadOnly))
            continue; // ended meanwhile
        a.nResident += aStatm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
        a.nDescriptors += entries(QStringLiteral("/proc/%1/fd").arg(nPid));
        a.nThreads += entries(QStringLiteral("/proc/%1/task").arg(nPid));
        ++a.nProcesses;
    }
    return a;
}
inline Footprint viewerFootprint() { return footprint(viewerProcesses()); }
inline Footprint ownFootprint() { return footprint({ int(getpid()) }); }

// Descriptors and threads of every process at most what they were: pools
// that grew for a burst of work shrink again after a while.
inline bool settled(const Footprint& irStart, const Footprint& irNow)
{
    return irNow.nDescriptors <= irStart.nDescriptors && irNow.nThreads <= irStart.nThreads
        && irNow.nProcesses <= irStart.nProcesses;
}

class SoakRun
{
public:
    // Writes the two packages into isFolder and opens the window.
    explicit SoakRun(const QString& isFolder)
        : msFolder(isFolder)
    {
        using namespace audiotest;
        maRecordings = QStringList { "tone.wav", "alaw.wav", "PCMA.wvc", "PCMU.wvc", "PCM16.wvc", "AMR.wvc",
                                     "GSM.wvc", "G723.wvc", "G729.wvc", "opus.wvc", "AMR-WB.wvc", "G722.wvc" };
        QByteArray aCalls = "var gCalls=[";
        const QDateTime tStart = QDateTime::currentDateTime().addDays(-1);
        // Opus decodes at a few hundred times real time: five minutes take
        // long enough to be cancelled half-way.
        const QStringList aAll = maRecordings + QStringList { "long.wvc" };
        for (int i = 0; i < aAll.size(); ++i)
            aCalls += (i ? "," : "")
                + CallRecord { i + 1, tStart.addSecs(-600 * i), "in", QStringLiteral("+49 30 5550 %1").arg(1000 + i),
                               "+49 89 2000 0100", "Agent Berger", aAll.at(i) == "long.wvc" ? 300 : 20, 0x18, aAll.at(i), QString() }
                      .json();
        for (const bool bEncrypted : { false, true }) {
            PackageWriter aWriter;
            aWriter.setSettings(QStringLiteral("default_locale=en_GB"));
            if (bEncrypted) {
                aWriter.setPassword(QStringLiteral("secret"));
                aWriter.setUsers(QStringLiteral("anna"));
            }
            aWriter.addFile(QStringLiteral("/app/js/data/calls.js"), aCalls + "];");
            QByteArray aLocales;
            for (const char* pLocale : maLocales)
                aLocales += QByteArray(aLocales.isEmpty() ? "" : ",") + "\"" + pLocale + "\":1";
            aWriter.addFile(QStringLiteral("/app/js/data/locales.js"), "var gLocales={" + aLocales + "};");
            aWriter.addFile(QStringLiteral("/app/wave/tone.wav"), wavFile(1, 16, 8000, pcmBytes(tone(8000 * 20, 1))));
            QByteArray aAlaw;
            for (qint16 n : tone(8000 * 20, 2))
                aAlaw += char(alawEncode(n));
            aWriter.addFile(QStringLiteral("/app/wave/alaw.wav"), wavFile(6, 8, 8000, aAlaw));
            const std::string sPassword = bEncrypted ? "secret" : "";
            for (const char* pCodec : { "PCMA", "PCMU", "PCM16", "AMR", "GSM", "G723", "G729", "opus" })
                aWriter.addFile(QStringLiteral("/app/wave/%1.wvc").arg(pCodec),
                                wvcFile({ tone(8000 * 20, 3), tone(8000 * 20, 4) }, 8000, pCodec, sPassword));
            aWriter.addFile(QStringLiteral("/app/wave/long.wvc"), wvcFile({ tone(8000 * 300, 6) }, 8000, "opus", sPassword));
            for (const char* pCodec : { "AMR-WB", "G722" })
                aWriter.addFile(QStringLiteral("/app/wave/%1.wvc").arg(pCodec),
                                wvcFile({ tone(16000 * 20, 5) }, 16000, pCodec, sPassword));
            aWriter.write(QDir(isFolder).filePath(bEncrypted ? "encrypted.pkg" : "plain.pkg"));
        }
        QDir(isFolder).mkpath(QStringLiteral("out"));
    }

    PageSession& session() { return maSession; }

    // Opens the package from the window as a reviewer does (the encrypted
    // one with its credentials) and waits until the page lists its calls
    // and has connected to the player.
    bool openPackage(bool ibEncrypted)
    {
        bool bUnexpected = false;
        QList<ModalAnswers::Answer> aAnswers;
        if (ibEncrypted)
            aAnswers << [](QWidget* ipaModal) {
                const QList<QLineEdit*> aEdits = ipaModal->findChildren<QLineEdit*>();
                auto* pButtons = ipaModal->findChild<QDialogButtonBox*>();
                if (aEdits.size() < 2 || !pButtons) {
                    ipaModal->close();
                    return;
                }
                aEdits[0]->setText(QStringLiteral("anna"));
                aEdits[1]->setText(QStringLiteral("secret"));
                pButtons->button(QDialogButtonBox::Ok)->click();
            };
        // Any further box is a failure; closed so that the run goes on.
        aAnswers << [&](QWidget* ipaModal) {
            bUnexpected = true;
            ipaModal->close();
        };
        ModalAnswers aModal(aAnswers);
        const bool bReady = maSession.open(QDir(msFolder).filePath(ibEncrypted ? "encrypted.pkg" : "plain.pkg")) >= 0;
        return bReady && !bUnexpected && pageConnected()
            && maSession.js("vornPage.calls.total").toInt() == maRecordings.size() + 1;
    }

    // Opens recording i's call in the page (its waveform drawn by the
    // server), sets effects and tempo (varying with i) as the page's panel
    // does, plays it through the channel until the device has played a
    // moment of it, and unloads it through the channel. The milliseconds
    // from the play to that moment, or -1 when it never came.
    qint64 loadPlayUnload(int i)
    {
        static const char* const aEffects[] = { "{}", "{amplify:true,amplifyRatio:2}", "{notch:true,notchFrequency:50,qFactor:2}",
                                                "{}", "{balance:-50}", "{amplify:true,amplifyRatio:0.5,notch:true,notchFrequency:60}" };
        static const double aTempo[] = { 1, 1, 1, 1.5, 0.75, 1 };
        if (!openCall(maRecordings.at(i % maRecordings.size())))
            return -1;
        QSignalSpy aPlaying(maSession.mpPlayer, SIGNAL(whilePlayingJs()));
        QElapsedTimer aTimer;
        aTimer.start();
        maSession.js(QStringLiteral("vornPage.bus.emit('effects', Object.assign({ notch: false, notchFrequency: 50, qFactor: 0.5,"
                                    " amplify: false, amplifyRatio: 1, balance: 0 }, %1));"
                                    " vornPage.bus.emit('speed', %2); vornPage.bus.emit('play-toggle'); true")
                         .arg(QLatin1String(aEffects[i % 6]))
                         .arg(aTempo[i % 6]));
        const bool bPlayed = QTest::qWaitFor(
            [&] {
                // The tempo chosen in the page reached the player with the load.
                return aPlaying.count() > 0 && maSession.mpPlayer->property("nPosition").toLongLong() >= 100
                    && !maSession.mpPlayer->property("bPaused").toBool()
                    && qFuzzyCompare(maSession.mpPlayer->property("fTempo").toDouble(), aTempo[i % 6]);
            },
            30000);
        const qint64 nMs = aTimer.elapsed();
        // The page's side shows it playing too.
        const bool bShown = bPlayed
            && QTest::qWaitFor([&] { return maSession.js("vornPage.player.state.position > 0").toBool(); }, 30000);
        maSession.js(QStringLiteral("vornPage.player.unload(); vornPage.bus.emit('close'); true"));
        const bool bUnloaded = QTest::qWaitFor([&] { return unloaded(); }, 30000);
        return bShown && bUnloaded ? nMs : -1;
    }

    // Chooses the next locale from the window's menu: the page is loaded
    // again in that language.
    bool switchLanguage(int i)
    {
        const QString sLocale = QString::fromLatin1(maLocales[i % int(std::size(maLocales))]);
        return maSession.switchLocale(sLocale) >= 0 && pageConnected()
            && maSession.js("document.documentElement.lang").toString() == QString(sLocale).replace('_', '-');
    }

    // Saves the long recording from its call in the page and cancels once
    // about half is written; true when nothing is left in the folder.
    bool cancelDownloadHalfWay()
    {
        const QString sOut = QDir(msFolder).filePath("out");
        if (!openCall(QStringLiteral("long.wvc")))
            return false;
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
        maSession.js(QStringLiteral("vornPage.bus.emit('download'); true"));
        const bool bEnded = QTest::qWaitFor(
            [&] {
                return aAnswers.allUsed() && !maSession.mpPlayer->findChild<QSaveFile*>() && !qApp->activeModalWidget();
            },
            60000);
        maSession.js(QStringLiteral("vornPage.bus.emit('close'); true"));
        const QStringList aLeft = QDir(sOut).entryList(QDir::Files | QDir::Hidden);
        for (const QString& rName : aLeft) // a download that ended first: out of the way of the next
            QFile::remove(QDir(sOut).filePath(rName));
        return bEnded && aLeft.isEmpty();
    }

    // One of each, so that what the libraries start once (the sound
    // server's connection, the codecs' tables, the web engine's helpers)
    // is there before counting.
    bool warmUp()
    {
        bool bOk = openPackage(true) && loadPlayUnload(0) >= 0 && loadPlayUnload(9) >= 0;
        bOk = switchLanguage(0) && switchLanguage(1) && bOk;
        bOk = cancelDownloadHalfWay() && bOk;
        bOk = openPackage(false) && bOk;
        return loadPlayUnload(3) >= 0 && bOk;
    }

    // The whole run; irnFailures counts operations that did not complete,
    // iraLoadMs the time of every load; iaAfterLoad is told the number of
    // loads done after each.
    void run(const Counts& irCounts, int& irnFailures, QVector<qint64>& iraLoadMs,
             const std::function<void(int)>& iaAfterLoad = {})
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
            while (nCycles * nRounds < (i + 1) * irCounts.nPackageCycles)
                irnFailures += openPackage(nCycles++ % 2 == 0) ? 0 : 1;
            while (nDownloads * nRounds < (i + 1) * irCounts.nCancelledDownloads) {
                irnFailures += cancelDownloadHalfWay() ? 0 : 1;
                ++nDownloads;
            }
            if (iaAfterLoad)
                iaAfterLoad(i + 1);
        }
    }

private:
    // The page loads its channel after it shows its list.
    bool pageConnected()
    {
        return QTest::qWaitFor([&] { return maSession.js("!!(window.vornPage && vornPage.player.native)").toBool(); }, 30000);
    }

    bool openCall(const QString& isRecording)
    {
        return pageConnected()
            && maSession.awaitJs(QStringLiteral("vornPage.allCalls().then(a => a.findIndex(c => c.voice === %1))"
                                                ".then(i => i >= 0 && vornPage.openCall(i)).then(() => vornPage.callView.isOpen())")
                                     .arg(PageSession::quoted(isRecording)))
                   .toBool();
    }

    bool unloaded()
    {
        AudioPlayer* p = maSession.mpPlayer;
        return !p->findChild<QAudioOutput*>() && p->property("bPaused").toBool() && p->property("nPosition").toLongLong() == 0;
    }

    static constexpr const char* maLocales[] = { "de_DE", "fr_FR", "ar_SA", "pl_PL", "en_GB", "ru_RU", "tr_TR" };
    QString msFolder;
    QStringList maRecordings;
    PageSession maSession;
};

} // namespace soak
