// The review in the real window under X: the "Save review?" question on
// close, home and another package, and Save Review through the file dialog.
#include "AudioPlayer.h"
#include "../app/GuiTestHelpers.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "ReviewDocument.h"
#include "ReviewTestFiles.h"
#include "VornViewer.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QJsonDocument>
#include <QWebEngineView>
#include <QtTest>

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
};

QTEST_MAIN(TestReviewWindow)
#include "tst_review_window.moc"
