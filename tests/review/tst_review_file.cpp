#include "ReviewChannel.h"
#include "ReviewCsv.h"
#include "ReviewDocument.h"
#include "../FullDisk.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime kSaved(QDate(2026, 12, 10), QTime(18, 0, 0), Qt::UTC);

ReviewPackageInfo demoPackage()
{
    return ReviewPackageInfo { QStringLiteral("demo.pkg"), 123456, QStringLiteral("ab12") };
}

ReviewNote note(qint64 nStart, qint64 nEnd, const char* pCategory, const QString& sText)
{
    ReviewNote aNote;
    aNote.nStartMs = nStart;
    aNote.nEndMs = nEnd;
    aNote.sCategory = QString::fromLatin1(pCategory);
    aNote.sText = sText;
    return aNote;
}

// Texts that break naive writers: right-to-left script, characters beyond
// the basic plane, quotes, backslashes, commas and line breaks.
QVector<ReviewNote> hardNotes()
{
    return { note(1200, 3400, "finding", QStringLiteral("المتصل طلب رقم الحساب")),
             note(5000, 5000, "follow-up", QStringLiteral("call back 😀👍🏽")),
             note(0, 250, "ok", QStringLiteral("he said \"fine\", then C:\\temp\\x\nline two\r\nline three")),
             note(7000, 9000, "redact", QString()) };
}

// A document as the page builds it: a call of the package, a call with a
// string id, and a call of another package.
void fillDocument(ReviewDocument& orDocument)
{
    orDocument.setNotes(QJsonValue(1001), QStringLiteral("2026-12-10 16:44:59"), hardNotes());
    orDocument.setNotes(QJsonValue(QStringLiteral("A-7")), QStringLiteral("2026-12-10 17:00:00"),
                        { note(10, 20, "ok", QStringLiteral("fine")) });
    orDocument.setNotes(QJsonValue(77), QStringLiteral("2025-01-01 00:00:00"),
                        { note(1, 1, "finding", QStringLiteral("expired call")) });
}

} // namespace

class TestReviewFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripIsStable();
    void unknownKeysAreKept();
    void damagedFileChangesNothing_data();
    void damagedFileChangesNothing();
    void reviewOfAnotherPackageLoads_data();
    void reviewOfAnotherPackageLoads();
    void callNamedTwiceJoinsItsNotes();
    void saveFailureIsReported();
    void fullDiskLeavesNothing_data();
    void fullDiskLeavesNothing();
    void csvReadsBackWithPython();
    void channelKeepsIdsAndExtraKeys();
};

void TestReviewFile::roundTripIsStable()
{
    QTemporaryDir aDir;
    ReviewDocument aFirst;
    fillDocument(aFirst);
    QVERIFY(aFirst.isUnsaved());
    const QString sPath = aDir.filePath(QStringLiteral("demo.review.json"));
    QString sError;
    QVERIFY2(aFirst.saveFile(sPath, demoPackage(), QStringLiteral("anna"), &sError), qPrintable(sError));
    QVERIFY(!aFirst.isUnsaved());

    // An independent reader sees the documented layout.
    QFile aFile(sPath);
    QVERIFY(aFile.open(QIODevice::ReadOnly));
    const QJsonObject aRoot = QJsonDocument::fromJson(aFile.readAll()).object();
    QCOMPARE(aRoot.value("format").toString(), QStringLiteral("vorn-review"));
    QCOMPARE(aRoot.value("version").toInt(), 1);
    QCOMPARE(aRoot.value("reviewer").toString(), QStringLiteral("anna"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"))
                .match(aRoot.value("saved").toString()).hasMatch());
    QCOMPARE(aRoot.value("package").toObject().value("sha256").toString(), QStringLiteral("ab12"));
    QCOMPARE(aRoot.value("package").toObject().value("size").toInt(), 123456);
    const QJsonObject aCall = aRoot.value("calls").toArray().at(0).toObject();
    QCOMPARE(aCall.value("id").toInt(), 1001);
    QCOMPARE(aCall.value("notes").toArray().at(1).toObject().value("end_ms").toInt(), 5000);

    ReviewDocument aSecond;
    QCOMPARE(aSecond.loadFile(sPath, demoPackage(), &sError), ReviewDocument::LoadResult::Loaded);
    QVERIFY(!aSecond.isUnsaved());
    QCOMPARE(aSecond.calls().size(), 3);
    for (const ReviewCall& aCall : aFirst.calls())
        QCOMPARE(aSecond.notes(aCall.aId, aCall.sTimeStart), aCall.aNotes);
    // Byte for byte, apart from the time of saving.
    QCOMPARE(aSecond.toJson(demoPackage(), QStringLiteral("anna"), kSaved),
             aFirst.toJson(demoPackage(), QStringLiteral("anna"), kSaved));
}

void TestReviewFile::unknownKeysAreKept()
{
    const QByteArray aInput = R"({"format": "vorn-review", "version": 1, "tool": {"name": "x", "v": [1, 2]},
        "package": {"file": "demo.pkg", "size": 123456, "sha256": "AB12", "made_by": "script"},
        "saved": "2026-01-01T00:00:00Z", "reviewer": "old",
        "calls": [{"id": "1001", "time_start": "2026-12-10 16:44:59", "queue": 3,
                   "notes": [{"start_ms": 1, "end_ms": 2, "category": "ok", "text": "t", "colour": "#ff0000"}]}]})";
    ReviewDocument aDocument;
    QString sError;
    QCOMPARE(aDocument.loadJson(aInput, demoPackage(), &sError), ReviewDocument::LoadResult::Loaded);
    // The string id stays a string and does not match the number.
    QVERIFY(aDocument.notes(QJsonValue(1001), QStringLiteral("2026-12-10 16:44:59")).isEmpty());
    QCOMPARE(aDocument.notes(QJsonValue(QStringLiteral("1001")), QStringLiteral("2026-12-10 16:44:59")).size(), 1);

    const QByteArray aOutput = aDocument.toJson(demoPackage(), QStringLiteral("new"), kSaved);
    const QJsonObject aRoot = QJsonDocument::fromJson(aOutput).object();
    QCOMPARE(aRoot.value("tool").toObject().value("v").toArray(), (QJsonArray { 1, 2 }));
    QCOMPARE(aRoot.value("package").toObject().value("made_by").toString(), QStringLiteral("script"));
    QCOMPARE(aRoot.value("reviewer").toString(), QStringLiteral("new"));
    const QJsonObject aCall = aRoot.value("calls").toArray().at(0).toObject();
    QCOMPARE(aCall.value("id"), QJsonValue(QStringLiteral("1001")));
    QCOMPARE(aCall.value("queue").toInt(), 3);
    QCOMPARE(aCall.value("notes").toArray().at(0).toObject().value("colour").toString(), QStringLiteral("#ff0000"));
    // The documented keys come first, in the documented order.
    QVERIFY(aOutput.indexOf("\"format\"") < aOutput.indexOf("\"version\""));
    QVERIFY(aOutput.indexOf("\"reviewer\"") < aOutput.indexOf("\"calls\""));
    QVERIFY(aOutput.indexOf("\"calls\"") < aOutput.indexOf("\"tool\""));
}

void TestReviewFile::damagedFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("aJson");
    const QByteArray aGood = R"({"format": "vorn-review", "version": 1, "package": {},
        "calls": [{"id": 5, "time_start": "2026-12-10 10:00:00", "notes": [{"start_ms": 1, "end_ms": 2, "category": "ok", "text": ""}]}]})";
    QTest::newRow("truncated") << aGood.left(aGood.size() - 20);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("array") << QByteArray("[1, 2]");
    QTest::newRow("wrong format") << QByteArray(aGood).replace("vorn-review", "vorn-revue");
    QTest::newRow("no format") << QByteArray(aGood).replace("\"format\"", "\"formats\"");
    QTest::newRow("newer version") << QByteArray(aGood).replace("\"version\": 1", "\"version\": 2");
    QTest::newRow("calls not an array") << QByteArray(R"({"format": "vorn-review", "version": 1, "calls": {}})");
    QTest::newRow("call without time") << QByteArray(aGood).replace("\"time_start\"", "\"time\"");
    QTest::newRow("id an object") << QByteArray(aGood).replace("\"id\": 5", "\"id\": {}");
    QTest::newRow("start after end") << QByteArray(aGood).replace("\"start_ms\": 1", "\"start_ms\": 9");
    QTest::newRow("negative start") << QByteArray(aGood).replace("\"start_ms\": 1", "\"start_ms\": -1");
    QTest::newRow("start as text") << QByteArray(aGood).replace("\"start_ms\": 1", "\"start_ms\": \"1\"");
    QTest::newRow("fractional ms") << QByteArray(aGood).replace("\"start_ms\": 1", "\"start_ms\": 1.5");
    QTest::newRow("no category") << QByteArray(aGood).replace("\"category\"", "\"kind\"");
}

void TestReviewFile::damagedFileChangesNothing()
{
    QFETCH(QByteArray, aJson);
    ReviewDocument aDocument;
    fillDocument(aDocument);
    const QByteArray aBefore = aDocument.toJson(demoPackage(), QString(), kSaved);
    QSignalSpy aReplaced(&aDocument, &ReviewDocument::replaced);
    QString sError;
    QCOMPARE(aDocument.loadJson(aJson, demoPackage(), &sError), ReviewDocument::LoadResult::Failed);
    QVERIFY(!sError.isEmpty());
    QVERIFY(aDocument.isUnsaved());
    QCOMPARE(aReplaced.count(), 0);
    QCOMPARE(aDocument.toJson(demoPackage(), QString(), kSaved), aBefore);
}

void TestReviewFile::reviewOfAnotherPackageLoads_data()
{
    QTest::addColumn<QByteArray>("aPackage");
    QTest::addColumn<int>("nResult");
    QTest::newRow("same, hash in capitals") << QByteArray(R"({"file": "x.pkg", "size": 123456, "sha256": "AB12"})")
                                            << int(ReviewDocument::LoadResult::Loaded);
    QTest::newRow("other size") << QByteArray(R"({"file": "demo.pkg", "size": 99, "sha256": "ab12"})")
                                << int(ReviewDocument::LoadResult::LoadedOtherPackage);
    QTest::newRow("other hash") << QByteArray(R"({"file": "demo.pkg", "size": 123456, "sha256": "cd34"})")
                                << int(ReviewDocument::LoadResult::LoadedOtherPackage);
    QTest::newRow("no package block") << QByteArray()
                                      << int(ReviewDocument::LoadResult::LoadedOtherPackage);
}

void TestReviewFile::reviewOfAnotherPackageLoads()
{
    QFETCH(QByteArray, aPackage);
    QFETCH(int, nResult);
    const QByteArray aJson = R"({"format": "vorn-review", "version": 1, )"
        + (aPackage.isEmpty() ? QByteArray() : "\"package\": " + aPackage + ", ")
        + R"("calls": [{"id": 5, "time_start": "2026-12-10 10:00:00", "notes": [{"start_ms": 1, "end_ms": 1, "category": "ok", "text": "x"}]}]})";
    ReviewDocument aDocument;
    QString sError;
    QCOMPARE(int(aDocument.loadJson(aJson, demoPackage(), &sError)), nResult);
    QCOMPARE(aDocument.notes(QJsonValue(5), QStringLiteral("2026-12-10 10:00:00")).size(), 1);
}

void TestReviewFile::callNamedTwiceJoinsItsNotes()
{
    // Both entries' notes are kept, in file order, under one call; the
    // review counts as changed so that the next save writes the call once.
    const QByteArray aJson = R"({"format": "vorn-review", "version": 1, "package": {},
        "calls": [{"id": 5, "time_start": "2026-12-10 10:00:00", "notes": [{"start_ms": 1, "end_ms": 1, "category": "ok", "text": "a"}]},
                  {"id": 6, "time_start": "2026-12-10 10:00:00", "notes": [{"start_ms": 3, "end_ms": 4, "category": "ok", "text": "c"}]},
                  {"id": 5.0, "time_start": "2026-12-10 10:00:00", "notes": [{"start_ms": 2, "end_ms": 2, "category": "finding", "text": "b"}]}]})";
    ReviewDocument aDocument;
    QString sError;
    QCOMPARE(aDocument.loadJson(aJson, ReviewPackageInfo(), &sError), ReviewDocument::LoadResult::Loaded);
    QCOMPARE(aDocument.mergedDuplicates(), 1);
    QVERIFY(aDocument.isUnsaved());
    QCOMPARE(aDocument.calls().size(), 2);
    const QVector<ReviewNote> aNotes = aDocument.notes(QJsonValue(5), QStringLiteral("2026-12-10 10:00:00"));
    QCOMPARE(aNotes.size(), 2);
    QCOMPARE(aNotes.at(0).sText, QStringLiteral("a"));
    QCOMPARE(aNotes.at(1).sText, QStringLiteral("b"));
}

void TestReviewFile::saveFailureIsReported()
{
    QTemporaryDir aDir;
    ReviewDocument aDocument;
    fillDocument(aDocument);
    QString sError;
    QVERIFY(!aDocument.saveFile(aDir.filePath(QStringLiteral("missing/folder/x.json")), demoPackage(), QString(), &sError));
    QVERIFY(!sError.isEmpty());
    QVERIFY(aDocument.isUnsaved());
    // A pipe as target stays a pipe: the file is never renamed over it.
    const QString sPipe = aDir.filePath(QStringLiteral("pipe"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), { sPipe }), 0);
    QVERIFY(!writeFileSafely(sPipe, QByteArray("x"), &sError));
    QVERIFY(!QFileInfo(sPipe).isFile());
    QVERIFY(!writeFileSafely(aDir.path(), QByteArray("x"), &sError));
    QVERIFY(QFileInfo(aDir.path()).isDir());
}

// A full disk shortens writes without failing them; the review file and
// the reports must still end with the error and leave nothing behind.
void TestReviewFile::fullDiskLeavesNothing_data()
{
    QTest::addColumn<int>("nBytes");
    QTest::newRow("smaller than the write buffer") << 10 * 1024;
    QTest::newRow("larger than the disk") << 300 * 1024;
}

void TestReviewFile::fullDiskLeavesNothing()
{
    QFETCH(int, nBytes);
    QTemporaryDir aDir;
    const FullDisk aDisk(aDir.filePath(QStringLiteral("full")));
    if (!aDisk.isReady())
        QSKIP("mounting a small file system needs root");
    const QString sPath = aDir.filePath(QStringLiteral("full/review.json"));
    QString sError;
    QVERIFY(!writeFileSafely(sPath, QByteArray(nBytes, 'r'), &sError));
    QVERIFY2(sError.startsWith(sPath + QStringLiteral(" cannot be written: ")), qPrintable(sError));
    QVERIFY2(!sError.endsWith(QStringLiteral("Unknown error")), qPrintable(sError));
    QCOMPARE(aDisk.others(), QStringList());
    // A file that fits is still written.
    QVERIFY(writeFileSafely(sPath, QByteArray(1024, 'r'), &sError));
    QCOMPARE(aDisk.others(), QStringList { QStringLiteral("review.json") });
}

void TestReviewFile::csvReadsBackWithPython()
{
    ReviewDocument aDocument;
    fillDocument(aDocument);
    QTemporaryDir aDir;
    const QString sPath = aDir.filePath(QStringLiteral("notes.csv"));
    QString sError;
    QVERIFY(writeFileSafely(sPath, reviewCsv(aDocument), &sError));

    QProcess aPython;
    aPython.start(QStringLiteral("python3"),
                  { QStringLiteral("-c"),
                    QStringLiteral("import csv, json, sys\n"
                                   "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                   "    print(json.dumps(list(csv.reader(f))))\n"),
                    sPath });
    QVERIFY(aPython.waitForFinished(60000));
    QCOMPARE(aPython.exitCode(), 0);
    const QJsonArray aRows = QJsonDocument::fromJson(aPython.readAllStandardOutput()).array();

    QJsonArray aExpected { QJsonArray { "call_id", "time_start", "start_ms", "end_ms", "category", "text" } };
    for (const ReviewCall& aCall : aDocument.calls()) {
        const QString sId = aCall.aId.isString() ? aCall.aId.toString() : QString::number(aCall.aId.toInt());
        for (const ReviewNote& aNote : aCall.aNotes)
            aExpected.append(QJsonArray { sId, aCall.sTimeStart, QString::number(aNote.nStartMs),
                                          QString::number(aNote.nEndMs), aNote.sCategory, aNote.sText });
    }
    QCOMPARE(aRows, aExpected);
}

void TestReviewFile::channelKeepsIdsAndExtraKeys()
{
    ReviewDocument aDocument;
    ReviewChannel aChannel(&aDocument);
    QSignalSpy aUnsaved(&aChannel, &ReviewChannel::unsavedChangedJs);
    // Numbers reach us from the page as doubles.
    aChannel.setCallNotes(QVariant(1001.0), QStringLiteral("2026-12-10 16:44:59"),
                          { QVariantMap { { "start_ms", 5.0 }, { "end_ms", 9.0 }, { "category", "finding" },
                                          { "text", "x" }, { "pinned", true } } });
    QVERIFY(aChannel.property("bUnsaved").toBool());
    QCOMPARE(aUnsaved.count(), 1);
    QCOMPARE(aDocument.notes(QJsonValue(1001), QStringLiteral("2026-12-10 16:44:59")).size(), 1);

    const QVariantList aAll = aChannel.allNotes();
    QCOMPARE(aAll.size(), 1);
    const QVariantMap aCall = aAll.at(0).toMap();
    QCOMPARE(aCall.value("id").toLongLong(), 1001);
    const QVariantMap aNote = aCall.value("notes").toList().at(0).toMap();
    QCOMPARE(aNote.value("pinned").toBool(), true);
    QCOMPARE(aNote.value("end_ms").toLongLong(), 9);

    QSignalSpy aReplaced(&aChannel, &ReviewChannel::notesReplacedJs);
    aChannel.setCallNotes(QVariant(1001), QStringLiteral("2026-12-10 16:44:59"), {});
    QVERIFY(aDocument.isEmpty());
    aDocument.clear();
    QCOMPARE(aReplaced.count(), 1);
}

QTEST_GUILESS_MAIN(TestReviewFile)
#include "tst_review_file.moc"
