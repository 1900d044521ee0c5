// pkgtool as users and other tests run it: create, list and extract on real
// files, options in any position, and one-line errors with a failing status.
#include "Package.h"
#include "PackageWriter.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int nExit = -1;
    QByteArray aOut;
    QByteArray aErr;
};

Run pkgtool(const QStringList& iaArgs)
{
    QProcess process;
    process.start(QStringLiteral(VORN_BIN_DIR "/pkgtool"), iaArgs);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.nExit = process.exitCode();
    run.aOut = process.readAllStandardOutput();
    run.aErr = process.readAllStandardError();
    return run;
}

} // namespace

class TestPkgtool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void keyFileAndSettings();
    void errors_data();
    void errors();
    void extractToDirectory();
    void extractRefusesPathsLeavingTheDirectory();
    void commandHelp_data();
    void commandHelp();

private:
    void writeSource(const QString& isPath, const QByteArray& iaBytes);
    QTemporaryDir mDir;
    QString msRoot;
    QMap<QString, QByteArray> maFiles;
};

void TestPkgtool::writeSource(const QString& isPath, const QByteArray& iaBytes)
{
    const QString sFile = msRoot + isPath;
    QVERIFY(QDir().mkpath(QFileInfo(sFile).path()));
    QFile file(sFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(iaBytes), qint64(iaBytes.size()));
    maFiles.insert(isPath, iaBytes);
}

void TestPkgtool::initTestCase()
{
    QVERIFY(mDir.isValid());
    msRoot = mDir.filePath("root");
    QByteArray aNoise(40000, '\0');
    QRandomGenerator random(7);
    for (char& c : aNoise)
        c = char(random.bounded(256));
    writeSource("/index.html", "<html>\r\n</html>\r\n");
    writeSource("/app/js/data/calls.js", "var gCalls=[\r\n{\"id\":1}\n];\r\n");
    writeSource("/app/wave/call 1.wvc", aNoise.left(3000));
    writeSource("/app/data/noise.bin", aNoise);
    writeSource("/app/data/empty.txt", QByteArray());
    writeSource("/app/js/data/calendar-long-name.txt", "shares its IV prefix with calls.js");
}

void TestPkgtool::roundTrip_data()
{
    QTest::addColumn<QStringList>("createArgs");
    QTest::addColumn<QStringList>("readArgs");

    QTest::newRow("plain") << QStringList{"create", "P.pkg", "--root", "ROOT"} << QStringList();
    QTest::newRow("encrypted") << QStringList{"create", "P.pkg", "--root", "ROOT", "--password", "s3cret", "--users", "ann,bob"}
                               << QStringList{"--user", "bob", "--password", "s3cret"};
    QTest::newRow("options first") << QStringList{"--users", "ann", "--password", "pw", "--root", "ROOT", "create", "P.pkg"}
                                   << QStringList{"--password", "pw", "--user", "ann"};
    QTest::newRow("empty password") << QStringList{"create", "--password", "", "P.pkg", "--users", "ann", "--root", "ROOT"}
                                    << QStringList{"--user", "ann", "--password", ""};
}

void TestPkgtool::roundTrip()
{
    QFETCH(QStringList, createArgs);
    QFETCH(QStringList, readArgs);

    const QString sPackage = mDir.filePath(QString("%1.pkg").arg(QTest::currentDataTag()));
    createArgs.replaceInStrings(QRegularExpression("^P.pkg$"), sPackage);
    createArgs.replaceInStrings(QRegularExpression("^ROOT$"), msRoot);
    const Run created = pkgtool(createArgs);
    QVERIFY2(created.nExit == 0, created.aErr.constData());

    const Run listed = pkgtool(QStringList{"list", sPackage} + readArgs);
    QVERIFY2(listed.nExit == 0, listed.aErr.constData());
    QVERIFY(listed.aErr.isEmpty());
    const QStringList aLines = QString::fromUtf8(listed.aOut).split('\n', Qt::SkipEmptyParts);

    Package package;
    const QString sUser = readArgs.value(readArgs.indexOf("--user") + 1);
    const QString sPassword = readArgs.value(readArgs.indexOf("--password") + 1);
    QCOMPARE(package.openPackage(sPackage, sUser, sPassword, QString(), false), 0);
    QCOMPARE(package.memberPaths(), QStringList(maFiles.keys()));
    for (auto it = maFiles.cbegin(); it != maFiles.cend(); ++it) {
        const QString sLine = QString("%1 %2 %3 %4")
                                  .arg(it.key())
                                  .arg(package.entryStoredSize(it.key()))
                                  .arg(package.entrySize(it.key()))
                                  .arg(package.entryOffset(it.key()));
        QVERIFY2(aLines.contains(sLine), qPrintable(sLine));
        QCOMPARE(package.entrySize(it.key()), it.value().size());

        const Run extracted = pkgtool(QStringList{"extract", sPackage, it.key()} + readArgs);
        QVERIFY2(extracted.nExit == 0, extracted.aErr.constData());
        QByteArray aExpected = it.value();
        if (it.key().endsWith(".js"))
            aExpected.replace('\r', ' ').replace('\n', ' ');
        QCOMPARE(extracted.aOut, aExpected);
    }
    // Voice containers are stored as they are, in plain and encrypted packages.
    QCOMPARE(package.entryStoredSize("/app/wave/call 1.wvc"), 3000);
}

void TestPkgtool::keyFileAndSettings()
{
    const QString sKeyFile = mDir.filePath("key.pem");
    QFile key(sKeyFile);
    QVERIFY(key.open(QIODevice::WriteOnly));
    const QByteArray aKey = "-----BEGIN PUBLIC KEY-----\nMFwwDQYJKoZIhvcNAQEBBQADSwAwSAJBAK\n-----END PUBLIC KEY-----\n";
    key.write(aKey);
    key.close();

    const QString sPackage = mDir.filePath("settings.pkg");
    const QString sSettings = "default_locale=de_DE;package_call_expiration=authority_override;viewer_verify_time_url1=http://t/a";
    const Run created = pkgtool({"create", sPackage, "--root", msRoot, "--settings", sSettings, "--key-file", sKeyFile});
    QVERIFY2(created.nExit == 0, created.aErr.constData());

    Package package;
    QCOMPARE(package.openPackage(sPackage, QString(), QString(), QString(), false), 0);
    QCOMPARE(package.timeVerificationKey(), QString::fromLatin1(aKey));
    QCOMPARE(package.defaultLocale(), QString("de_DE"));
    QVERIFY(package.authorityOverrideOffered());
    QCOMPARE(package.timeVerifyUrl1(), QString("http://t/a"));

    const Run listed = pkgtool({"list", sPackage});
    QVERIFY(listed.aOut.contains("setting: default_locale=de_DE\n"));
    QVERIFY(listed.aOut.contains("setting: viewer_verify_time_url1=http://t/a\n"));
}

void TestPkgtool::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    // Packages written once here and damaged by the rows that need it.
    const QString sEncrypted = mDir.filePath("errors.pkg");
    if (!QFile::exists(sEncrypted))
        pkgtool({"create", sEncrypted, "--root", msRoot, "--password", "pw", "--users", "ann"});
    QFile source(sEncrypted);
    source.open(QIODevice::ReadOnly);
    const QByteArray aBytes = source.readAll();

    const auto damaged = [this](const QString& isName, const QByteArray& iaBytes) {
        QFile file(mDir.filePath(isName));
        file.open(QIODevice::WriteOnly);
        file.write(iaBytes);
        return file.fileName();
    };
    QByteArray aFlipped = aBytes;
    aFlipped[12 + 100] = char(aFlipped[12 + 100] ^ 0x04); // inside "/app/data/noise.bin", the second member
    const QString sFlipped = damaged("flipped.pkg", aFlipped);
    const QString sTruncated = damaged("truncated.pkg", aBytes.left(aBytes.size() - 40));
    const QString sNotPackage = damaged("text.pkg", "just some text");

    QTest::newRow("wrong password") << QStringList{"list", sEncrypted, "--user", "ann", "--password", "PW"}
                                    << "wrong password";
    QTest::newRow("unknown user") << QStringList{"list", sEncrypted, "--user", "eve", "--password", "pw"} << "unknown user";
    QTest::newRow("no password") << QStringList{"list", sEncrypted, "--user", "ann"} << "--password";
    // The cut takes the key and part of the offset of the last row.
    QTest::newRow("truncated index") << QStringList{"list", sTruncated, "--user", "ann", "--password", "pw"}
                                     << "damaged package";
    QTest::newRow("flipped bit in a member")
        << QStringList{"extract", sFlipped, "/app/data/noise.bin", "--user", "ann", "--password", "pw"} << "damaged package";
    QTest::newRow("not a package") << QStringList{"list", sNotPackage} << "not a package";
    QTest::newRow("missing file") << QStringList{"list", mDir.filePath("none.pkg")} << "not a package";
    QTest::newRow("unknown member")
        << QStringList{"extract", sEncrypted, "/nope", "--user", "ann", "--password", "pw"} << "no such member";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command";
    QTest::newRow("create without root") << QStringList{"create", mDir.filePath("x.pkg")} << "--root";
    QTest::newRow("unknown option") << QStringList{"list", sEncrypted, "--colour"} << "colour";
}

void TestPkgtool::errors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    const Run run = pkgtool(args);
    QVERIFY(run.nExit > 0);
    QVERIFY(run.aOut.isEmpty());
    QVERIFY2(run.aErr.endsWith('\n') && run.aErr.count('\n') == 1, run.aErr.constData());
    QVERIFY2(run.aErr.contains(message.toUtf8()), run.aErr.constData());
}

// Every member lands under its path, byte for byte as decrypted and inflated
// (calls.js as stored, not as the viewer's reader rewrites it); a second run
// keeps the files unless told to overwrite.
void TestPkgtool::extractToDirectory()
{
    const QString sPackage = mDir.filePath("to-dir.pkg");
    const Run created = pkgtool({"create", sPackage, "--root", msRoot, "--password", "pw", "--users", "ann"});
    QVERIFY2(created.nExit == 0, created.aErr.constData());
    const QString sTarget = mDir.filePath("unpacked");
    const QStringList aCredentials{"--user", "ann", "--password", "pw"};

    Run run = pkgtool(QStringList{"extract", sPackage, "--to", sTarget} + aCredentials);
    QVERIFY2(run.nExit == 0, run.aErr.constData());
    QVERIFY(run.aOut.isEmpty());
    for (auto it = maFiles.cbegin(); it != maFiles.cend(); ++it) {
        QFile file(sTarget + it.key());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QCOMPARE(file.readAll(), it.value());
    }

    QFile changed(sTarget + "/app/data/noise.bin");
    QVERIFY(changed.open(QIODevice::WriteOnly));
    changed.write("mine");
    changed.close();
    run = pkgtool(QStringList{"extract", sPackage, "/app/data/noise.bin", "--to", sTarget} + aCredentials);
    QCOMPARE(run.nExit, 1);
    QVERIFY2(run.aErr.contains("--overwrite"), run.aErr.constData());
    QVERIFY(changed.open(QIODevice::ReadOnly));
    QCOMPARE(changed.readAll(), QByteArray("mine"));
    changed.close();

    run = pkgtool(QStringList{"extract", sPackage, "/app/data/noise.bin", "--to", sTarget, "--overwrite"} + aCredentials);
    QVERIFY2(run.nExit == 0, run.aErr.constData());
    QVERIFY(changed.open(QIODevice::ReadOnly));
    QCOMPARE(changed.readAll(), maFiles.value("/app/data/noise.bin"));
}

// Hostile member paths are named in a message and written nowhere, inside the
// folder or out of it; the harmless members of the same package still land.
void TestPkgtool::extractRefusesPathsLeavingTheDirectory()
{
    const QStringList aHostile{"/../escaped-up", "//tmp/escaped-absolute", "/a/../../escaped-through", "/link/escaped-link"};
    PackageWriter writer;
    for (const QString& sPath : aHostile)
        QVERIFY(writer.addFile(sPath, "evil", nullptr));
    QVERIFY(writer.addFile("/app/data/fine.txt", "fine", nullptr));
    const QString sPackage = mDir.filePath("hostile.pkg");
    QVERIFY(writer.write(sPackage, nullptr));

    QTemporaryDir aBase;
    const QString sTarget = aBase.filePath("inside/target");
    const QString sOutside = aBase.filePath("outside");
    QVERIFY(QDir().mkpath(sTarget));
    QVERIFY(QDir().mkpath(sOutside));
    // A link already in the folder that points out of it.
    QVERIFY(QFile::link(sOutside, sTarget + "/link"));

    const Run run = pkgtool({"extract", sPackage, "--to", sTarget});
    QCOMPARE(run.nExit, 1);
    QVERIFY2(QFile::exists(sTarget + "/app/data/fine.txt"), run.aErr.constData());
    for (const QString& sPath : aHostile)
        QVERIFY2(run.aErr.contains(sPath.toUtf8()), qPrintable(sPath + ": " + run.aErr));
    QCOMPARE(QDir(sOutside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(!QFile::exists(aBase.filePath("inside/escaped-up")));
    QVERIFY(!QFile::exists(aBase.filePath("inside/escaped-through")));
    QVERIFY(!QFile::exists("/tmp/escaped-absolute"));
}

void TestPkgtool::commandHelp_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help extract") << QStringList{"help", "extract"} << "pkgtool extract PKG [MEMBER ...] --to DIR";
    QTest::newRow("extract --help") << QStringList{"extract", "--help"} << "pkgtool extract PKG [MEMBER ...] --to DIR";
    QTest::newRow("create --help") << QStringList{"create", "--help"} << "Usage: pkgtool create OUT.pkg --root DIR";
    QTest::newRow("help list") << QStringList{"help", "list"} << "Example: pkgtool list";
    QTest::newRow("--help") << QStringList{"--help"} << "pkgtool help COMMAND";
}

void TestPkgtool::commandHelp()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const Run run = pkgtool(args);
    QCOMPARE(run.nExit, 0);
    QVERIFY2(run.aOut.contains(expected.toUtf8()), run.aOut.constData());
}

QTEST_GUILESS_MAIN(TestPkgtool)
#include "tst_pkgtool.moc"
