// A whole session leaves no decrypted byte on disk: the viewer, run with a
// fresh home, temporary and working folder, opens an encrypted package,
// shows a call with its waveform, plays its recording, switches the page
// language and closes. Every file then found under those folders is
// searched for the call list text and the recording's samples, and only the
// files that the web engine and the sound system keep for themselves may be
// there at all.
#include "ApplicationAttributes.h"
#include "LogMessageHandler.h"
#include "PageSession.h"
#include "Translation.h"

#include <QDialogButtonBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kAgent = "Agent Wrzesniewska-Quell";
const QByteArray kCaller = "+48 22 5550 7319 04";

QByteArray callsScript()
{
    CallRecord aCall { 1, QDateTime::currentDateTime().addDays(-1), "in", QString::fromLatin1(kCaller), "+49 89 2000 0101",
        QString::fromLatin1(kAgent), 3, 0x18, "call1.wav", "\"queue\":\"escalations-north\"" };
    CallRecord aOther { 2, QDateTime::currentDateTime().addDays(-2), "out", "+44 20 7946 0018", "+49 89 2000 0102",
        "Agent Novak", 2, 0x18, "", "\"queue\":\"support\"" };
    return "var gCalls=[\n" + aCall.json() + ",\n" + aOther.json() + "\n];";
}

QByteArray recording()
{
    return toneWav(3000, 370);
}

// Session mode: the viewer as the program builds it, driven as a user would.
int runSession(int argc, char** argv)
{
    setApplicationAttributes();
    QApplication aApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VornViewer"));
    QTranslator aTranslator;
    installTranslation(aTranslator, QStringLiteral(VORN_BIN_DIR));
    qInstallMessageHandler(logMessageHandler);
    const QString sPackage = QString::fromLocal8Bit(argv[2]);
    int nStep = 0;
    {
        PageSession aSession;
        ModalAnswers aAnswers({ [](QWidget* ipaModal) {
            const QList<QLineEdit*> aEdits = ipaModal->findChildren<QLineEdit*>();
            if (aEdits.size() == 3) {
                aEdits[0]->setText("anna");
                aEdits[1]->setText("secret");
            }
            if (auto* pButtons = ipaModal->findChild<QDialogButtonBox*>())
                pButtons->button(QDialogButtonBox::Ok)->click();
        } });
        aSession.mpViewer->open(sPackage);
        if (aSession.waitReady() < 0)
            return 10;
        ++nStep;
        aSession.key('/');
        aSession.type(QString::fromLatin1(kAgent.left(12)));
        aSession.key(Qt::Key_Return);
        if (!QTest::qWaitFor([&] { return aSession.js("document.querySelector('.waveform-image') && "
                                                      "document.querySelector('.waveform-image').naturalWidth").toInt() == 800; },
                30000))
            return 20;
        ++nStep;
        aSession.key(Qt::Key_Space);
        if (!QTest::qWaitFor([&] { return aSession.mpPlayer->property("nPosition").toLongLong() >= 1000; }, 30000))
            return 30;
        ++nStep;
        if (aSession.switchLocale("de_DE") < 0)
            return 40;
        ++nStep;
        aSession.mpViewer->close();
    }
    return nStep == 4 ? 0 : 50;
}

QStringList filesUnder(const QString& isRoot)
{
    QStringList saFiles;
    QDirIterator it(isRoot, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        saFiles << QDir(isRoot).relativeFilePath(it.next());
    return saFiles;
}

} // namespace

class TestNothingOnDisk : public QObject
{
    Q_OBJECT
private slots:
    void sessionLeavesNothingDecrypted()
    {
        QTemporaryDir aRoot;
        QVERIFY(aRoot.isValid());
        QDir aDir(aRoot.path());
        for (const char* ipName : { "package", "home", "tmp", "work" })
            QVERIFY(aDir.mkpath(ipName));
        const QByteArray aCalls = callsScript();
        const QByteArray aWav = recording();
        PackageWriter aWriter;
        aWriter.setPassword("secret");
        aWriter.setUsers("anna");
        aWriter.setSettings("default_locale=en_GB");
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", aCalls));
        QVERIFY(aWriter.addFile("/app/js/data/locales.js", "var gLocales={\"de_DE\":1,\"en_GB\":1};"));
        QVERIFY(aWriter.addFile("/app/wave/call1.wav", aWav));
        const QString sPackage = aDir.filePath("package/session.pkg");
        QVERIFY(aWriter.write(sPackage));

        QProcess aViewer;
        QProcessEnvironment aEnvironment = QProcessEnvironment::systemEnvironment();
        aEnvironment.insert("HOME", aDir.filePath("home"));
        aEnvironment.insert("TMPDIR", aDir.filePath("tmp"));
        for (const char* ipName : { "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME" })
            aEnvironment.remove(ipName);
        aViewer.setProcessEnvironment(aEnvironment);
        aViewer.setWorkingDirectory(aDir.filePath("work"));
        aViewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        aViewer.start(QCoreApplication::applicationFilePath(), { "--session", sPackage });
        QVERIFY(aViewer.waitForFinished(180000));
        QCOMPARE(aViewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(aViewer.exitCode(), 0);

        // Pieces of every member: call list text (as UTF-8 and as UTF-16, the
        // web engine's own form), the recording's header and samples.
        QList<QByteArray> aaNeedles { kAgent, kCaller, "escalations-north", aWav.left(44) };
        aaNeedles << QByteArray(reinterpret_cast<const char*>(QString::fromLatin1(kAgent).utf16()), kAgent.size() * 2);
        for (int i = 1; i < 8; ++i)
            aaNeedles << aWav.mid(44 + i * (aWav.size() - 44) / 8, 48);

        QStringList saUnexpected;
        for (const char* ipName : { "home", "tmp", "work" }) {
            const QString sRoot = aDir.filePath(ipName);
            for (const QString& sFile : filesUnder(sRoot)) {
                QFile aFile(QDir(sRoot).filePath(sFile));
                QVERIFY(aFile.open(QIODevice::ReadOnly));
                const QByteArray aContent = aFile.readAll();
                for (const QByteArray& aNeedle : aaNeedles)
                    QVERIFY2(!aContent.contains(aNeedle),
                        qPrintable(QString("%1/%2 holds decrypted package content").arg(ipName, sFile)));
                const QString sPath = QString(ipName) + "/" + sFile;
                if (!sPath.startsWith("home/.config/pulse/"))
                    saUnexpected << sPath;
            }
        }
        QVERIFY2(saUnexpected.isEmpty(), qPrintable("files written: " + saUnexpected.join(", ")));
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--session") == 0)
        return runSession(argc, argv);
    QApplication aApplication(argc, argv);
    TestNothingOnDisk aTest;
    return QTest::qExec(&aTest, argc, argv);
}

#include "tst_nothing_on_disk.moc"
