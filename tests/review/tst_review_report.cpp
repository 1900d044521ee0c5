// The report as the command line writes it, judged by independent programs:
// pdftotext and pdfimages for the PDF, Python's csv module for the CSV.
#include "ReviewCsv.h"
#include "ReviewDocument.h"
#include "ReviewTestFiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int nExit = -1;
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
    aRun.sError = QString::fromUtf8(aProcess.readAllStandardError());
    return aRun;
}

QString output(const QString& isProgram, const QStringList& irsaArguments)
{
    QProcess aProcess;
    aProcess.start(isProgram, irsaArguments);
    aProcess.waitForFinished(60000);
    return QString::fromUtf8(aProcess.readAllStandardOutput());
}

// Text as pdftotext gives it back: shaped Arabic arrives as presentation
// forms and with direction marks around it.
QString comparable(QString sText)
{
    sText = sText.normalized(QString::NormalizationForm_KC);
    sText.remove(QRegularExpression(QStringLiteral("[\\x{200e}\\x{200f}\\x{202a}-\\x{202e}\\x{2066}-\\x{2069}]")));
    return sText.simplified();
}

} // namespace

class TestReviewReport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    QString msPackage;
    QString msReview;
    ReviewDocument maDocument;

private slots:
    void initTestCase()
    {
        msPackage = ReviewTestFiles::writePackage(maDir, QStringLiteral("calls.pkg"));
        ReviewTestFiles::fillReview(maDocument);
        msReview = maDir.filePath(QStringLiteral("calls.review.json"));
        QString sError;
        QVERIFY2(maDocument.saveFile(msReview, readPackageInfo(msPackage), QStringLiteral("anna"), &sError),
                 qPrintable(sError));
    }

    void pdfHoldsNotesFieldsAndOneWaveformPerCall()
    {
        const QString sPdf = maDir.filePath(QStringLiteral("report.pdf"));
        const Run aRun = runViewer({ "--review", msReview, "--report", sPdf, msPackage });
        QVERIFY2(aRun.nExit == 0, qPrintable(aRun.sError));
        QVERIFY2(aRun.sError.isEmpty(), qPrintable(aRun.sError));

        const QString sText = comparable(output(QStringLiteral("pdftotext"), { "-enc", "UTF-8", sPdf, "-" }));
        QVERIFY(sText.contains(QLatin1String("calls.pkg")));
        for (const ReviewCall& aCall : maDocument.calls()) {
            QVERIFY2(sText.contains(aCall.sTimeStart), qPrintable(aCall.sTimeStart));
            for (const ReviewNote& aNote : aCall.aNotes) {
                for (const QString& sLine : aNote.sText.split(QLatin1Char('\n')))
                    QVERIFY2(sText.contains(comparable(sLine)), qPrintable(sLine));
            }
        }
        for (const ReviewTestFiles::Call& aCall : ReviewTestFiles::packageCalls()) {
            QVERIFY(sText.contains(QString::number(aCall.nId)));
            QVERIFY(sText.contains(aCall.sAgent));
        }
        // Times as m:ss.s: a range and a point.
        QVERIFY(sText.contains(QStringLiteral("0:01.2 – 0:03.4")));
        QVERIFY(sText.contains(QStringLiteral("0:04.0")));

        // One waveform image per call of the package with notes; the call
        // it does not hold has none.
        const QStringList saImages = output(QStringLiteral("pdfimages"), { "-list", sPdf })
                                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                         .filter(QRegularExpression(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+image\\s")));
        QCOMPARE(saImages.size(), ReviewTestFiles::packageCalls().size());
        for (const QString& sImage : saImages)
            QVERIFY2(sImage.contains(QRegularExpression(QStringLiteral("image\\s+800\\s+100\\s"))), qPrintable(sImage));
        QVERIFY(output(QStringLiteral("pdfinfo"), { sPdf }).contains(QLatin1String("(A4)")));
    }

    void csvReadsBackAsTheNotes()
    {
        const QString sCsv = maDir.filePath(QStringLiteral("report.csv"));
        const Run aRun = runViewer({ "--review", msReview, "--report", sCsv, msPackage });
        QVERIFY2(aRun.nExit == 0, qPrintable(aRun.sError));
        QFile aFile(sCsv);
        QVERIFY(aFile.open(QIODevice::ReadOnly));
        QCOMPARE(aFile.readAll(), reviewCsv(maDocument));
        const QString sRows = output(QStringLiteral("python3"),
                                     { "-c",
                                       "import csv, json, sys\n"
                                       "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                       "    print(json.dumps(list(csv.DictReader(f))))\n",
                                       sCsv });
        const QJsonArray aRows = QJsonDocument::fromJson(sRows.toUtf8()).array();
        int nRow = 0;
        for (const ReviewCall& aCall : maDocument.calls()) {
            for (const ReviewNote& aNote : aCall.aNotes) {
                const QJsonObject aRow = aRows.at(nRow++).toObject();
                QCOMPARE(aRow.value("call_id").toString(), QString::number(aCall.aId.toInt()));
                QCOMPARE(aRow.value("time_start").toString(), aCall.sTimeStart);
                QCOMPARE(aRow.value("start_ms").toString().toLongLong(), aNote.nStartMs);
                QCOMPARE(aRow.value("end_ms").toString().toLongLong(), aNote.nEndMs);
                QCOMPARE(aRow.value("category").toString(), aNote.sCategory);
                QCOMPARE(aRow.value("text").toString(), aNote.sText);
            }
        }
        QCOMPARE(aRows.size(), nRow);
    }

    void failuresSayOneLineAndWriteNothing_data()
    {
        QTest::addColumn<QString>("sReview");
        QTest::addColumn<QString>("sPackage");
        QTest::addColumn<QString>("sTarget");
        QTest::addColumn<QString>("sMessage");
        const QString sDir = maDir.path();
        QFile aDamaged(sDir + "/damaged.review.json");
        aDamaged.open(QIODevice::WriteOnly);
        aDamaged.write("{\"format\": \"vorn-review\", \"version\": 1, \"calls\": [");
        aDamaged.close();
        QFile aNotPackage(sDir + "/text.pkg");
        aNotPackage.open(QIODevice::WriteOnly);
        aNotPackage.write("not a package at all");
        aNotPackage.close();
        const QString sGood = msReview;
        QTest::newRow("missing review") << sDir + "/none.json" << msPackage << sDir + "/a.pdf" << "review";
        QTest::newRow("damaged review") << sDir + "/damaged.review.json" << msPackage << sDir + "/b.pdf" << "damaged";
        QTest::newRow("unreadable package") << sGood << sDir + "/text.pkg" << sDir + "/c.pdf" << "package";
        QTest::newRow("missing package") << sGood << sDir + "/gone.pkg" << sDir + "/d.csv" << "package";
        QTest::newRow("unwritable pdf") << sGood << msPackage << sDir + "/no/such/dir/e.pdf" << "e.pdf";
        QTest::newRow("unwritable csv") << sGood << msPackage << sDir + "/no/such/dir/f.csv" << "f.csv";
        QTest::newRow("other type") << sGood << msPackage << sDir + "/g.txt" << ".pdf or .csv";
    }

    void failuresSayOneLineAndWriteNothing()
    {
        QFETCH(QString, sReview);
        QFETCH(QString, sPackage);
        QFETCH(QString, sTarget);
        QFETCH(QString, sMessage);
        const Run aRun = runViewer({ "--review", sReview, "--report", sTarget, sPackage });
        QVERIFY(aRun.nExit > 0);
        QVERIFY2(aRun.sError.count(QLatin1Char('\n')) == 1 && aRun.sError.startsWith(QLatin1String("VornViewer: ")),
                 qPrintable(aRun.sError));
        QVERIFY2(aRun.sError.contains(sMessage), qPrintable(aRun.sError));
        QVERIFY(!QFile::exists(sTarget));
    }
};

QTEST_GUILESS_MAIN(TestReviewReport)
#include "tst_review_report.moc"
