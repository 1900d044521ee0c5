// The review in the real window under X: the "Save review?" question on
// close, home and another package, and Save Review through the file dialog.
#include "AudioPlayer.h"
#include "../app/GuiTestHelpers.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "ReviewChannel.h"
#include "ReviewDocument.h"
#include "ReviewTestFiles.h"
#include "VornViewer.h"

#include <QAction>
#include <QFileDialog>
#include <QProgressDialog>
#include <QLineEdit>
#include <QJsonDocument>
#include <QWebEngineView>
#include <QtTest>

namespace {

// The peak of channel 1 of a WAV file between two times, as sox reads it.
double soxPeak(const QString& isPath, double ifStart, double ifLength)
{
    QProcess aSox;
    aSox.setProcessChannelMode(QProcess::MergedChannels);
    aSox.start(QStringLiteral("sox"), { isPath, "-n", "trim", QString::number(ifStart), QString::number(ifLength), "stat" });
    aSox.waitForFinished(60000);
    for (const QString& sLine : QString::fromUtf8(aSox.readAll()).split(QLatin1Char('\n')))
        if (sLine.startsWith(QLatin1String("Maximum amplitude")))
            return sLine.section(QLatin1Char(':'), 1).trimmed().toDouble();
    return -1;
}

// Answers a folder dialog by typing the folder's path and pressing Enter.
ModalAnswers::Answer chooseFolder(const QString& isFolder)
{
    return [isFolder](QWidget* ipaModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
        QVERIFY(pDialog);
        auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(pName);
        pName->setText(isFolder);
        QTest::keyClick(pName, Qt::Key_Return);
    };
}

} // namespace

class TestReviewWindow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    QString msPackage;
    Package* mpPackage = nullptr;
    HttpServer* mpServer = nullptr;
    VornViewer* mpViewer = nullptr;

    ReviewDocument* document() const { return mpViewer->reviewDocument(); }

    void addNote()
    {
        const ReviewTestFiles::Call aCall = ReviewTestFiles::packageCalls().first();
        document()->setNotes(QJsonValue(aCall.nId), aCall.sTimeStart,
                             { ReviewTestFiles::note(1200, 3400, "finding", QStringLiteral("said the PIN aloud")) });
    }

    void openPackage()
    {
        mpViewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(mpViewer));
        QSignalSpy aShown(mpViewer, &VornViewer::packageShown);
        mpViewer->open(msPackage);
        QCOMPARE(aShown.count(), 1);
        QVERIFY(mpPackage->isOpen());
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(logMessageHandler);
        // The window is closed and shown again between cases.
        QApplication::setQuitOnLastWindowClosed(false);
        msPackage = ReviewTestFiles::writePackage(maDir, QStringLiteral("calls.pkg"));
        mpPackage = new Package();
        mpServer = new HttpServer(mpPackage, 0, nullptr);
        mpViewer = new VornViewer(mpPackage, new AudioPlayer(mpPackage), mpServer->serverPort());
    }

    void cleanupTestCase()
    {
        delete mpViewer;
        delete mpServer;
        delete mpPackage;
    }

    void closeWithoutNotesAsksNothing()
    {
        openPackage();
        QVERIFY(!document()->isUnsaved());
        QVERIFY(mpViewer->close());
        QVERIFY(!mpViewer->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closeWithUnsavedNotesAsks_data()
    {
        QTest::addColumn<QString>("sButton");
        QTest::addColumn<bool>("bClosed");
        QTest::newRow("cancel keeps the window and the notes") << "Cancel" << false;
        QTest::newRow("discard closes") << "Discard" << true;
        QTest::newRow("save writes the review, then closes") << "Save" << true;
    }

    void closeWithUnsavedNotesAsks()
    {
        QFETCH(QString, sButton);
        QFETCH(bool, bClosed);
        openPackage();
        addNote();
        QVERIFY(document()->isUnsaved());

        const QString sTarget = maDir.filePath(QStringLiteral("saved.review.json"));
        QFile::remove(sTarget);
        QString sQuestion;
        QString sProposed;
        QList<ModalAnswers::Answer> aAnswers { pressButton(&sQuestion, sButton) };
        if (sButton == QLatin1String("Save")) {
            aAnswers << [&](QWidget* ipaModal) {
                auto* pDialog = qobject_cast<QFileDialog*>(ipaModal);
                QVERIFY(pDialog);
                sProposed = pDialog->selectedFiles().value(0);
                // Typed as a person would: the name box, then Enter.
                auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(pName);
                pName->setText(sTarget);
                QTest::keyClick(pName, Qt::Key_Return);
            };
        }
        ModalAnswers aModals(aAnswers);
        QCOMPARE(mpViewer->close(), bClosed);
        QVERIFY(aModals.allUsed());
        QCOMPARE(sQuestion, QStringLiteral("Save review?"));
        QCOMPARE(mpViewer->isVisible(), !bClosed);
        QCOMPARE(document()->notes(QJsonValue(4101), QStringLiteral("2026-12-10 09:15:00")).size(), 1);
        if (sButton == QLatin1String("Save")) {
            QCOMPARE(sProposed, maDir.filePath(QStringLiteral("calls.review.json")));
            QVERIFY(!document()->isUnsaved());
            QFile aFile(sTarget);
            QVERIFY2(aFile.open(QIODevice::ReadOnly), qPrintable(QDir(maDir.path()).entryList().join(' ')));
            const QJsonObject aRoot = QJsonDocument::fromJson(aFile.readAll()).object();
            QCOMPARE(aRoot.value("package").toObject().value("file").toString(), QStringLiteral("calls.pkg"));
            QCOMPARE(aRoot.value("calls").toArray().size(), 1);
        }
        // Whatever was answered, the next case starts without notes.
        document()->clear();
    }

    void homeAndOtherPackageAsk()
    {
        openPackage();
        addNote();
        QString sQuestion;
        {
            ModalAnswers aModals({ pressButton(&sQuestion, QStringLiteral("Cancel")) });
            QMetaObject::invokeMethod(mpViewer, "home");
            QVERIFY(aModals.allUsed());
        }
        QCOMPARE(sQuestion, QStringLiteral("Save review?"));
        QVERIFY(mpPackage->isOpen());
        sQuestion.clear();
        {
            // Opening the package again (as another user would) asks too;
            // discarding lets it open with an empty review.
            ModalAnswers aModals({ pressButton(&sQuestion, QStringLiteral("Discard")) });
            mpViewer->open(msPackage);
            QVERIFY(aModals.allUsed());
        }
        QCOMPARE(sQuestion, QStringLiteral("Save review?"));
        QVERIFY(document()->isEmpty());
        QVERIFY(!document()->isUnsaved());
        // A language switch keeps the notes: they live in the window.
        addNote();
        mpViewer->loadPackageHtml(QStringLiteral("de_DE"));
        QCOMPARE(document()->calls().size(), 1);
        document()->setUnsaved(false);
        mpViewer->close();
    }

    // "Export Recordings" from the toolbar and from the page's request: the
    // folder dialog, the summary, the question before files are replaced,
    // and the reviewer's choice on the page between tone and silence.
    void exportRecordings_data()
    {
        QTest::addColumn<bool>("bFromPage");
        QTest::addColumn<QString>("sFill");
        QTest::newRow("toolbar, tone by default") << false << "tone";
        QTest::newRow("page's request, silence chosen on the page") << true << "silence";
    }
    void exportRecordings()
    {
        QFETCH(bool, bFromPage);
        QFETCH(QString, sFill);
        auto* pView = mpViewer->findChild<QWebEngineView*>();
        // The page forgets the call it showed and the choice of the last case.
        runScript(pView, QStringLiteral("try { sessionStorage.clear(); } catch (e) {} true"));
        openPackage();
        ReviewTestFiles::fillReview(*document());
        auto* pChannel = mpViewer->findChild<ReviewChannel*>();
        auto* pAction = mpViewer->findChild<QAction*>(QStringLiteral("exportRecordingsAction"));
        QVERIFY(pView && pChannel && pAction);
        QVERIFY(pAction->isEnabled());
        // The call is opened by keyboard as a person would: search, Enter.
        QVERIFY(QTest::qWaitFor([&] {
            return runScript(pView, "!!(document.body && document.body.classList.contains('ready'))").toBool();
        }, 60000));
        mpViewer->activateWindow();
        QTest::keyClick(pView->focusProxy(), '/');
        QTest::keyClicks(pView->focusProxy(), QStringLiteral("Quinn"));
        QTest::keyClick(pView->focusProxy(), Qt::Key_Return);
        // The choice as the page's "Redact with" gives it.
        const QString sChoose = QStringLiteral("(() => { const s = document.getElementById('redact-with');"
                                               " if (!s) return false; s.value = '%1';"
                                               " s.dispatchEvent(new Event('change')); return true; })()")
                                    .arg(sFill);
        QVERIFY(QTest::qWaitFor([&] { return runScript(pView, sChoose).toBool(); }, 20000));
        QTRY_COMPARE_WITH_TIMEOUT(pChannel->redactWith(), sFill, 20000);

        const QString sFolder = maDir.filePath(QStringLiteral("export-") + sFill);
        QDir(sFolder).removeRecursively();
        QVERIFY(QDir().mkpath(sFolder));
        const auto trigger = [&] {
            if (bFromPage)
                pChannel->requestExportRecordings();
            else
                pAction->trigger();
        };
        // The progress dialog closes itself.
        const auto isProgress = [](QWidget* ipaModal) { return qobject_cast<QProgressDialog*>(ipaModal) != nullptr; };
        QString sSummary;
        {
            ModalAnswers aModals({ chooseFolder(sFolder), pressButton(&sSummary) }, isProgress);
            trigger();
            QVERIFY(QTest::qWaitFor([&] { return aModals.allUsed(); }, 60000));
        }
        QVERIFY2(sSummary.startsWith(QLatin1String("Recordings written: 2")), qPrintable(sSummary));
        QCOMPARE(QDir(sFolder).entryList(QDir::Files | QDir::Hidden), (QStringList { "4101.wav", "4102.wav" }));
        // 4101 has a passage to redact from 5.0 s to 5.9 s, 4102 none.
        const double fPeak = soxPeak(sFolder + "/4101.wav", 5.02, 0.86);
        if (sFill == QLatin1String("tone"))
            QVERIFY2(qAbs(fPeak - 8231 / 32768.0) < 0.01, qPrintable(QString::number(fPeak)));
        else
            QCOMPARE(fPeak, 0.0);
        QVERIFY(soxPeak(sFolder + "/4102.wav", 5.02, 0.86) > 0.3);

        // Again into the same folder: asked before replacing; "No" keeps the files.
        QFile aFile(sFolder + "/4101.wav");
        QVERIFY(aFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
        aFile.write("mine");
        aFile.close();
        QString sQuestion;
        {
            ModalAnswers aModals({ chooseFolder(sFolder), pressButton(&sQuestion, QStringLiteral("&No")) }, isProgress);
            trigger();
            QVERIFY(QTest::qWaitFor([&] { return aModals.allUsed(); }, 60000));
        }
        QVERIFY2(sQuestion.contains(QLatin1String("4101.wav")) && sQuestion.contains(QLatin1String("4102.wav")),
                 qPrintable(sQuestion));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(aFile.open(QIODevice::ReadOnly));
        QCOMPARE(aFile.readAll(), QByteArray("mine"));
        aFile.close();

        document()->clear();
        document()->setUnsaved(false);
        mpViewer->close();
    }
};

QTEST_MAIN(TestReviewWindow)
#include "tst_review_window.moc"
