// Redacted and clipped saves through the player's download, judged by an
// independent program: Python's wave module with numpy reads the files and
// checks tone, level, silence, correlation and the untouched rest; sox must
// read every file with the original's length.
#include "AudioPlayer.h"
#include "AudioTestSupport.h"
#include "../app/GuiTestHelpers.h"
#include "Package.h"
#include "RedactionStage.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QSaveFile>

using namespace audiotest;

namespace {

// Tones at 440 and 1700 Hz with noise: nothing near 1 kHz to mistake for the
// replacement.
Samples speechLike(int inCount, int inRate, int inSeed)
{
    Samples a(size_t(inCount), 0);
    quint32 nNoise = 17u + quint32(inSeed) * 7919u;
    for (int i = 0; i < inCount; ++i) {
        nNoise = nNoise * 1664525u + 1013904223u;
        const double f = 5000 * std::sin(2 * M_PI * 440 * i / inRate + inSeed)
            + 3000 * std::sin(2 * M_PI * 1700 * i / inRate) + double(int(nNoise >> 20) - 2048);
        a[size_t(i)] = qint16(f);
    }
    return a;
}

ModalAnswers::Answer saveAs(const QString& isTarget, QString* ipsProposed = nullptr)
{
    return [=](QWidget* ipaModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
        if (!pDialog) {
            ipaModal->close();
            return;
        }
        if (ipsProposed)
            *ipsProposed = QFileInfo(pDialog->selectedFiles().value(0)).fileName();
        pDialog->setDirectory(QFileInfo(isTarget).absolutePath());
        if (auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            pName->setText(QFileInfo(isTarget).fileName());
        QMetaObject::invokeMethod(pDialog, "accept");
    };
}

qint64 soxFrames(const QString& isPath)
{
    QProcess p;
    p.start("soxi", { "-s", isPath });
    p.waitForFinished(30000);
    return p.exitCode() == 0 ? p.readAllStandardOutput().trimmed().toLongLong() : -1;
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

} // namespace

class TestRedaction : public QObject
{
    Q_OBJECT
    QTemporaryDir maDir;
    Package maPackage;
    AudioPlayer* mpPlayer = nullptr;

    QString save(const QString& isQueryName, const QString& isTarget, QString* ipsProposed = nullptr,
                 const char* ipSlot = "downloadFromPackage")
    {
        QFile::remove(isTarget); // no overwrite question from the dialog
        ModalAnswers aAnswers({ saveAs(isTarget, ipsProposed) });
        QMetaObject::invokeMethod(mpPlayer, ipSlot, Q_ARG(QString, isQueryName));
        if (!QTest::qWaitFor([&] { return !mpPlayer->findChild<QSaveFile*>() && !qApp->activeModalWidget(); },
                             120000))
            return QString();
        return QFile::exists(isTarget) ? isTarget : QString();
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType inType, const QMessageLogContext&, const QString& irsText) {
            if (inType >= QtWarningMsg)
                fprintf(stderr, "%s\n", qPrintable(irsText));
        });
        QVERIFY(maDir.isValid());
        PackageWriter aWriter;
        QVERIFY(aWriter.addFile("/app/js/data/calls.js", "var gCalls=[];"));
        QVERIFY(aWriter.addFile("/app/wave/mono.wav", wavFile(1, 16, 8000, pcmBytes(speechLike(8000 * 6, 8000, 1)))));
        auto addWvc = [&](const QString& isName, int inRate, const char* ipCodec, int inSeconds) {
            return aWriter.addFile("/app/wave/" + isName,
                                   wvcFile({ speechLike(inRate * inSeconds, inRate, 2),
                                             speechLike(inRate * inSeconds, inRate, 3) },
                                           inRate, ipCodec));
        };
        QVERIFY(addWvc("stereo.wvc", 8000, "PCM16", 6));
        QVERIFY(addWvc("opus48.wvc", 48000, "opus", 4));
        QVERIFY(addWvc("g729.wvc", 8000, "G729", 4));
        QVERIFY(aWriter.write(maDir.filePath("r.pkg")));
        QCOMPARE(maPackage.openPackage(maDir.filePath("r.pkg"), "", "", "", false), 0);
        mpPlayer = new AudioPlayer(&maPackage);
    }
    void cleanupTestCase() { delete mpPlayer; }

    void redactsAsJudged_data()
    {
        QTest::addColumn<QString>("sRecording");
        QTest::addColumn<QString>("sFill");
        QTest::addColumn<QString>("sSpans");
        // Frame boundaries (20 ms frames) and odd ones, the first sample and
        // a span that runs past the end.
        for (const char* pFill : { "tone", "silence" }) {
            QTest::addRow("mono wav %s", pFill) << "mono.wav" << pFill << "0-700,1234-2567,2580-3000,5500-99000";
            QTest::addRow("stereo wvc %s", pFill) << "stereo.wvc" << pFill << "1000-2000,2345-3789,5801-6000";
        }
    }
    void redactsAsJudged()
    {
        QFETCH(QString, sRecording);
        QFETCH(QString, sFill);
        QFETCH(QString, sSpans);
        const QString sPlain = save(sRecording, maDir.filePath(sRecording + ".plain.wav"));
        QVERIFY(!sPlain.isEmpty());
        const QString sRedacted = save(sRecording + "?timestamp=1&redact=" + sSpans + "&redactwith=" + sFill,
                                       maDir.filePath(sRecording + "." + sFill + ".wav"));
        QVERIFY(!sRedacted.isEmpty());
        QCOMPARE(soxFrames(sRedacted), soxFrames(sPlain));
        QVERIFY(soxFrames(sPlain) >= 8000 * 6);
        const QString sFault = judge({ "redact", sPlain, sRedacted, sFill, sSpans });
        QVERIFY2(sFault.isEmpty(), qPrintable(sFault));
    }

    void clipsAsJudged_data()
    {
        QTest::addColumn<QString>("sRecording");
        QTest::addColumn<int>("nStart");
        QTest::addColumn<int>("nEnd");
        QTest::addColumn<int>("nFrame");
        QTest::addColumn<QString>("sProposed");
        QTest::newRow("wav from the start") << "mono.wav" << 0 << 1500 << 1 << "mono_0m00s-0m01s.wav";
        QTest::newRow("wav to the end") << "mono.wav" << 4321 << 6000 << 1 << "mono_0m04s-0m06s.wav";
        QTest::newRow("stereo across pages") << "stereo.wvc" << 900 << 2310 << 160 << "stereo_0m00s-0m02s.wav";
        QTest::newRow("stereo to the end") << "stereo.wvc" << 5000 << 6000 << 160 << "stereo_0m05s-0m06s.wav";
        QTest::newRow("opus 48 kHz") << "opus48.wvc" << 1010 << 3333 << 960 << "opus48_0m01s-0m03s.wav";
        QTest::newRow("g729 from the start") << "g729.wvc" << 0 << 1200 << 80 << "g729_0m00s-0m01s.wav";
    }
    void clipsAsJudged()
    {
        QFETCH(QString, sRecording);
        QFETCH(int, nStart);
        QFETCH(int, nEnd);
        QFETCH(int, nFrame);
        QFETCH(QString, sProposed);
        const QString sFull = save(sRecording, maDir.filePath(sRecording + ".full.wav"));
        QVERIFY(!sFull.isEmpty());
        QString sName;
        const QString sClip = save(QStringLiteral("%1?timestamp=1&zoomstart=%2&zoomend=%3").arg(sRecording).arg(nStart).arg(nEnd),
                                   maDir.filePath(sRecording + ".clip.wav"), &sName, "savePassage");
        QVERIFY(!sClip.isEmpty());
        QCOMPARE(sName, sProposed);
        QVERIFY(soxFrames(sClip) > 0);
        const QString sFault = judge({ "clip", sFull, sClip, QString::number(nStart), QString::number(nEnd),
                                       QString::number(nFrame) });
        QVERIFY2(sFault.isEmpty(), qPrintable(sFault));
    }

    void parsesSpans_data()
    {
        QTest::addColumn<QString>("sText");
        QTest::addColumn<QString>("sParsed");
        QTest::addColumn<bool>("bOk");
        QTest::newRow("two") << "1200-3400,5000-6100" << "1200-3400,5000-6100" << true;
        QTest::newRow("empty") << "" << "" << true;
        QTest::newRow("point dropped") << "500-500,1-2" << "1-2" << true;
        QTest::newRow("reversed") << "3400-1200" << "" << false;
        QTest::newRow("negative") << "-5-10" << "" << false;
        QTest::newRow("garbage kept apart") << "x,10-20,5-" << "10-20" << false;
    }
    void parsesSpans()
    {
        QFETCH(QString, sText);
        QFETCH(QString, sParsed);
        QFETCH(bool, bOk);
        bool bRead = false;
        QCOMPARE(RedactionStage::spansText(RedactionStage::parseSpans(sText, &bRead)), sParsed);
        QCOMPARE(bRead, bOk);
    }

    // Blocks cut anywhere give the same result as one block: the tone is a
    // function of the recording's time, not of how PCM arrives.
    void blocksDoNotMatter()
    {
        const RedactionStage aStage(RedactionStage::parseSpans("10-70,65-90,200-215"), RedactionStage::Fill::Tone,
                                    8000, 2);
        Samples aWhole = interleave(speechLike(2400, 8000, 4), speechLike(2400, 8000, 5));
        Samples aPieces = aWhole;
        aStage.process(aWhole.data(), 2400, 0);
        for (int nAt = 0, nStep = 1; nAt < 2400; nAt += nStep, nStep = nStep * 3 % 97 + 1)
            aStage.process(aPieces.data() + 2 * nAt, qMin(nStep, 2400 - nAt), nAt);
        QVERIFY(aWhole == aPieces);
        // Overlapping notes are one passage: no fade (a zero) where they meet.
        QVERIFY(qAbs(aWhole[2 * 520 + 1]) > 1000 || qAbs(aWhole[2 * 521 + 1]) > 1000);
    }
};

QTEST_MAIN(TestRedaction)
#include "tst_redaction.moc"
