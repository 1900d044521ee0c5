// Index grammar, settings, authority passwords and the result codes of
// openPackage on packages written by our own writer.
#include "Package.h"
#include "PackageTestFiles.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtTest>

class TestPackageIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkMagic_data();
    void checkMagic();
    void indexGrammar_data();
    void indexGrammar();
    void settings_data();
    void settings();
    void settingLimits_data();
    void settingLimits();
    void timeOffsetMovesNow();
    void verification_data();
    void verification();
    void authorityPassword_data();
    void authorityPassword();
    void resultCodes_data();
    void resultCodes();
    void failedOpenLeavesNothing();
    void separatorFloodIsRefused();
    void overrideEndsWithThePackage();

private:
    QString plainPackage(const QString& isIndexText);
    QTemporaryDir mDir;
    int mnFiles = 0;
};

void TestPackageIndex::initTestCase()
{
    QVERIFY(mDir.isValid());
}

QString TestPackageIndex::plainPackage(const QString& isIndexText)
{
    return saveBytes(mDir, QStringLiteral("p%1.pkg").arg(mnFiles++), packageWithIndex(isIndexText));
}

void TestPackageIndex::checkMagic_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<bool>("logged");

    const QByteArray aMagic = QByteArray::fromHex("bbaaddcc");
    QTest::newRow("plain") << packageWithIndex("v2|u|||") << 0 << 2u << false;
    QTest::newRow("older type") << aMagic + QByteArray::fromHex("01000000") << 0 << 1u << false;
    QTest::newRow("newer type") << aMagic + QByteArray::fromHex("04010000") << 0 << 260u << false;
    QTest::newRow("magic reversed") << QByteArray::fromHex("ccddaabb02000000") << -1 << 0u << true;
    QTest::newRow("three bytes") << aMagic.left(3) << -1 << 0u << true;
    QTest::newRow("no type word") << aMagic + "\x02" << -1 << 0u << false;
}

void TestPackageIndex::checkMagic()
{
    QFETCH(QByteArray, file);
    QFETCH(int, result);
    QFETCH(quint32, type);
    QFETCH(bool, logged);

    if (logged)
        QTest::ignoreMessage(QtDebugMsg, "File magic does not match");
    quint32 nType = 0;
    QCOMPARE(Package::checkMagic(saveBytes(mDir, QStringLiteral("c%1.pkg").arg(mnFiles++), file), nType), result);
    QCOMPARE(nType, type);
    QCOMPARE(Package::isEncryptedType(nType), (type & 1u) != 0);
    QCOMPARE(Package::checkMagic(mDir.filePath("missing.pkg"), nType), -1);
}

void TestPackageIndex::indexGrammar_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QStringList>("members");

    QTest::newRow("five columns, no members")
        << "v2|u|package_call_expiration=never;storage_time_normal_cdr=30||" << 0 << QString() << QStringList();
    QTest::newRow("four columns") << "v2|u|s|k" << -2 << "Too few columns in index" << QStringList();
    QTest::newRow("wrong version") << "v3|u|||" << -2 << "Wrong index format version:  v3" << QStringList();
    QTest::newRow("version is case-sensitive") << "V2|u|||" << -2 << "Wrong index format version:  V2" << QStringList();
    QTest::newRow("six fields") << "v2|u|||/a.txt;1;2;3;;" << -2 << "Wrong field count:  /a.txt;1;2;3;;" << QStringList();
    QTest::newRow("four fields") << "v2|u|||/a.txt;1;2;3" << -2 << "Wrong field count:  /a.txt;1;2;3" << QStringList();
    QTest::newRow("bad row after good rows")
        << "v2|u|||/a.txt;1;2;3;|/b.txt;1" << -2 << "Wrong field count:  /b.txt;1" << QStringList();
    QTest::newRow("empty columns skipped")
        << "v2|u|||/a.txt;1;2;3;||/b.txt;1;2;3;|" << 0 << QString() << QStringList{"/a.txt", "/b.txt"};
    QTest::newRow("paths differing in case")
        << "v2|u|||/A.js;1;2;3;|/a.js;1;2;3;" << 0 << QString() << QStringList{"/A.js", "/a.js"};
    QTest::newRow("NUL ends the text")
        << QString::fromLatin1("v2|u|||/a.txt;1;2;3;\0|/b.txt", 26) << 0 << QString() << QStringList{"/a.txt"};
    QTest::newRow("plain package ignores the user list") << "v2||||/a.txt;1;2;3;" << 0 << QString() << QStringList{"/a.txt"};
}

void TestPackageIndex::indexGrammar()
{
    QFETCH(QString, index);
    QFETCH(int, result);
    QFETCH(QString, warning);
    QFETCH(QStringList, members);

    Package package;
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QCOMPARE(package.openPackage(plainPackage(index), QStringLiteral("nobody"), QString(), QString(), false), result);
    QCOMPARE(package.memberPaths(), members);
    QCOMPARE(package.isPackageOpen(), result >= 0);
    QCOMPARE(package.isOpen(), result >= 0);
}

// Settings whose effect is a text or a flag: the check names the accessor.
void TestPackageIndex::settings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("accessor");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<QString>("warning");

    QTest::newRow("locale default") << "" << "locale" << QVariant("en_GB") << QString();
    QTest::newRow("locale") << "default_locale=de_DE" << "locale" << QVariant("de_DE") << QString();
    QTest::newRow("later entry wins") << "default_locale=a;default_locale=b" << "locale" << QVariant("b") << QString();
    QTest::newRow("value stops at second =") << "viewer_verify_time_url1=a=b" << "url1" << QVariant("a") << QString();
    QTest::newRow("url2") << "viewer_verify_time_url2=http://t/x" << "url2" << QVariant("http://t/x") << QString();
    QTest::newRow("unknown key and empty entries")
        << ";;Default_locale=xx;foo=bar;" << "locale" << QVariant("en_GB") << QString();
    QTest::newRow("known key without =") << "default_locale" << "locale" << QVariant("en_GB")
                                          << "Settings entry without value ignored: default_locale";
    QTest::newRow("wvc password") << "wvc_encryption_password=w1" << "wvc" << QVariant("w1") << QString();
    QTest::newRow("expiration initially on") << "" << "expiration" << QVariant(true) << QString();
    QTest::newRow("expiration never") << "package_call_expiration=never" << "expiration" << QVariant(false) << QString();
    QTest::newRow("expiration always") << "package_call_expiration=always" << "expiration" << QVariant(true) << QString();
    QTest::newRow("expiration unknown value")
        << "package_call_expiration=sometimes" << "expiration" << QVariant(false) << QString();
    QTest::newRow("expiration empty") << "package_call_expiration=" << "expiration" << QVariant(false)
                                      << "package_call_expiration not set in package index, using: never";
    QTest::newRow("override offered")
        << "package_call_expiration=authority_override" << "override" << QVariant(true) << QString();
    QTest::newRow("override with filter")
        << "package_call_expiration=authority_override" << "expiration" << QVariant(true) << QString();
    QTest::newRow("override cleared by a later entry")
        << "package_call_expiration=authority_override;package_call_expiration=always" << "override" << QVariant(false)
        << QString();
}

void TestPackageIndex::settings()
{
    QFETCH(QString, settings);
    QFETCH(QString, accessor);
    QFETCH(QVariant, expected);
    QFETCH(QString, warning);

    Package package;
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QCOMPARE(package.openPackage(plainPackage("v2|u|" + settings + "||"), QString(), QString(), QString(), false), 0);
    const QHash<QString, QVariant> aValues = {
        {"locale", package.defaultLocale()},
        {"url1", package.timeVerifyUrl1()},
        {"url2", package.timeVerifyUrl2()},
        {"wvc", package.wvcPassword()},
        {"expiration", package.callExpirationEnabled()},
        {"override", package.authorityOverrideOffered()},
    };
    QVERIFY(aValues.contains(accessor));
    QCOMPARE(aValues.value(accessor), expected);
}

void TestPackageIndex::settingLimits_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("limit");
    QTest::addColumn<int>("days"); // days before now; the time of day is kept

    QTest::newRow("normal cdr 30") << "storage_time_normal_cdr=30" << "normalCdr" << 30;
    QTest::newRow("normal voice 0") << "storage_time_normal_voice=0" << "normalVoice" << 0;
    QTest::newRow("marked cdr not a number") << "storage_time_marked_cdr=ten" << "markedCdr" << 0;
    QTest::newRow("marked voice negative") << "storage_time_marked_voice=-2" << "markedVoice" << -2;
    QTest::newRow("a year") << "storage_time_normal_cdr=365" << "normalCdr" << 365;
}

void TestPackageIndex::settingLimits()
{
    QFETCH(QString, settings);
    QFETCH(QString, limit);
    QFETCH(int, days);

    Package package;
    QVERIFY(!package.normalCdrLimit().isValid());
    const QDateTime tBefore = QDateTime::currentDateTime();
    QCOMPARE(package.openPackage(plainPackage("v2|u|" + settings + "||"), QString(), QString(), QString(), false), 0);
    const QDateTime tAfter = QDateTime::currentDateTime();
    const QHash<QString, QDateTime> aLimits = {
        {"normalCdr", package.normalCdrLimit()},
        {"normalVoice", package.normalVoiceLimit()},
        {"markedCdr", package.markedCdrLimit()},
        {"markedVoice", package.markedVoiceLimit()},
    };
    const QDateTime tLimit = aLimits.value(limit);
    QVERIFY(tLimit >= tBefore.addDays(-days) && tLimit <= tAfter.addDays(-days));
    for (auto it = aLimits.cbegin(); it != aLimits.cend(); ++it) {
        if (it.key() != limit)
            QVERIFY2(!it.value().isValid(), qPrintable(it.key()));
    }
}

void TestPackageIndex::timeOffsetMovesNow()
{
    Package package;
    package.setTimeOffset(86400);
    const QDateTime tBefore = QDateTime::currentDateTime();
    QCOMPARE(package.openPackage(plainPackage("v2|u|storage_time_normal_cdr=1||"), QString(), QString(), QString(), false), 0);
    QVERIFY(package.normalCdrLimit() >= tBefore);
    QVERIFY(package.normalCdrLimit() <= QDateTime::currentDateTime());
    // Settings live on until an index names them again.
    QCOMPARE(package.openPackage(plainPackage("v2|u|||"), QString(), QString(), QString(), false), 0);
    QVERIFY(package.normalCdrLimit().isValid());
}

void TestPackageIndex::verification_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("authority");
    QTest::addColumn<bool>("verified");
    QTest::addColumn<int>("result");

    const QString sRequired = "viewer_verify_time=true;authority_password=boss";
    QTest::newRow("required") << sRequired << "" << false << -5;
    QTest::newRow("required and verified") << sRequired << "" << true << 0;
    QTest::newRow("TRUE is not true") << "viewer_verify_time=TRUE" << "" << false << 0;
    QTest::newRow("later false wins") << "viewer_verify_time=true;viewer_verify_time=false" << "" << false << 0;
    QTest::newRow("authority skips verification") << sRequired << "boss" << false << 1;
    QTest::newRow("wrong authority still verifies") << sRequired << "chief" << false << -5;
    QTest::newRow("wrong authority, verified") << sRequired << "chief" << true << 2;
    QTest::newRow("wrong authority, no verification") << "authority_password=boss" << "chief" << false << 2;
    QTest::newRow("authority accepted") << "authority_password=boss;package_call_expiration=always" << "boss" << false << 1;
}

void TestPackageIndex::verification()
{
    QFETCH(QString, settings);
    QFETCH(QString, authority);
    QFETCH(bool, verified);
    QFETCH(int, result);

    Package package;
    const QString sPath = plainPackage("v2|u|" + settings + "||/a.txt;1;1;20;");
    QCOMPARE(package.openPackage(sPath, QString(), QString(), authority, verified), result);
    QCOMPARE(package.isPackageOpen(), result >= 0);
    QCOMPARE(package.entrySize("/a.txt"), result >= 0 ? 1 : -1);
    if (result == 1)
        QVERIFY(!package.callExpirationEnabled());
}

void TestPackageIndex::authorityPassword_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<bool>("accepted");

    const auto sha = [](const QString& isText) {
        return QString::fromLatin1(QCryptographicHash::hash(isText.toUtf8(), QCryptographicHash::Sha256).toHex());
    };
    const QString sLong = QString(64, QLatin1Char('x'));
    QTest::newRow("plain") << "boss" << "boss" << true;
    QTest::newRow("plain, other case") << "boss" << "Boss" << false;
    QTest::newRow("plain, non-ASCII") << QString::fromUtf8("Chef\xc3\xa9") << QString::fromUtf8("Chef\xc3\xa9") << true;
    QTest::newRow("digest lower case") << sha("boss") << "boss" << true;
    QTest::newRow("digest upper case") << sha("boss").toUpper() << "boss" << true;
    QTest::newRow("digest mixed case") << sha("boss").left(32) + sha("boss").mid(32).toUpper() << "boss" << false;
    QTest::newRow("digest, wrong password") << sha("boss") << "bos" << false;
    QTest::newRow("digest entered as such") << sha("boss") << sha("boss") << false;
    QTest::newRow("64-character plain password") << sLong << sLong << false;
    QTest::newRow("64-character password through its digest") << sha(sLong) << sLong << true;
    QTest::newRow("none stored, empty entered") << "" << "" << false;
    QTest::newRow("none stored") << "" << "boss" << false;
}

void TestPackageIndex::authorityPassword()
{
    QFETCH(QString, stored);
    QFETCH(QString, entered);
    QFETCH(bool, accepted);

    Package package;
    QCOMPARE(package.openPackage(plainPackage("v2|u|authority_password=" + stored + "||"), QString(), QString(), QString(), false), 0);
    QCOMPARE(package.checkAuthorityPassword(entered), accepted);
}

void TestPackageIndex::resultCodes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("warnings");

    const QString sIndex = "v2|alice,bob|||/a.txt;1;1;12;";
    const QString sSecret = "secret";
    const QString sEmpty;
    const QByteArray aEncrypted = packageWithIndex(sIndex, &sSecret);
    const QStringList aBadPassword = {"Error decoding encrypted package", "Invalid password"};

    QTest::newRow("encrypted") << aEncrypted << "bob" << sSecret << 0 << QStringList();
    QTest::newRow("wrong password") << aEncrypted << "bob" << "Secret" << -1 << aBadPassword;
    QTest::newRow("empty password against a set one") << aEncrypted << "bob" << sEmpty << -1 << aBadPassword;
    QTest::newRow("empty password") << packageWithIndex(sIndex, &sEmpty) << "alice" << sEmpty << 0 << QStringList();
    QTest::newRow("unknown user") << aEncrypted << "carol" << sSecret << -3 << QStringList{"Invalid username"};
    QTest::newRow("user name case") << aEncrypted << "Bob" << sSecret << -3 << QStringList{"Invalid username"};
    QTest::newRow("user name leading space") << aEncrypted << " bob" << sSecret << -3 << QStringList{"Invalid username"};
    QTest::newRow("plain package, any user") << packageWithIndex(sIndex) << "carol" << sSecret << 0 << QStringList();

    QByteArray aFilled = packageWithIndex(sIndex);
    aFilled.replace(8, 8, QByteArray(8, '\xff'));
    QTest::newRow("plain, bytes 8 to 15 set") << aFilled << "" << "" << 0 << QStringList();
    QByteArray aType4 = packageWithIndex(sIndex);
    aType4[4] = 4;
    QTest::newRow("plain, only bit 0 counts") << aType4 << "" << "" << 0 << QStringList();

    QByteArray aMagic = packageWithIndex(sIndex);
    aMagic[0] = 'X';
    QTest::newRow("magic mismatch") << aMagic << "" << "" << -2 << QStringList{"File magic does not match"};
    QByteArray aMarker = packageWithIndex(sIndex);
    aMarker[20] = 'p';
    QTest::newRow("plain marker missing") << aMarker << "" << "" << -2 << QStringList{"Error decoding package"};
    QTest::newRow("header cut short") << aEncrypted.left(10) << "bob" << sSecret << -2 << QStringList{"Error decoding package"};
    QTest::newRow("index offset past the end") << packageWithIndex(sIndex).left(20) << "" << "" << -2
                                               << QStringList{"Error decoding package"};
    QTest::newRow("encrypted index block under 32 bytes")
        << aEncrypted.left(12 + 31) << "bob" << sSecret << -1 << aBadPassword;
    QTest::newRow("encrypted index truncated") << aEncrypted.left(aEncrypted.size() - 4) << "bob" << sSecret << -2
                                               << QStringList{"Wrong field count:  /a.txt;1;1"};
    QByteArray aFlipped = aEncrypted;
    aFlipped[12 + 32 + 2] = char(aFlipped[12 + 32 + 2] ^ 0x01);
    QTest::newRow("encrypted marker damaged") << aFlipped << "bob" << sSecret << -1 << aBadPassword;
    QTest::newRow("empty file") << QByteArray() << "" << "" << -2 << QStringList{"File magic does not match"};
}

void TestPackageIndex::resultCodes()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, result);
    QFETCH(QStringList, warnings);

    const QString sPath = saveBytes(mDir, QStringLiteral("r%1.pkg").arg(mnFiles++), file);
    Package package;
    for (const QString& sWarning : warnings)
        QTest::ignoreMessage(QtWarningMsg, qPrintable(sWarning));
    QCOMPARE(package.openPackage(sPath, user, password, QString(), false), result);
    QCOMPARE(package.isOpen(), result >= 0);
    QCOMPARE(package.entrySize("/a.txt"), result >= 0 ? 1 : -1);
    if (result >= 0) {
        QCOMPARE(package.packageFileName(), sPath);
        QCOMPARE(package.wvcPassword(), package.isEncrypted() ? password : QString());
    }
}

void TestPackageIndex::failedOpenLeavesNothing()
{
    Package package;
    QTest::ignoreMessage(QtWarningMsg, "Could not open file:  /nonexistent/x.pkg");
    QCOMPARE(package.openPackage("/nonexistent/x.pkg", QString(), QString(), QString(), false), -1);

    const QString sGood = plainPackage("v2|u|||/a.txt;1;1;20;");
    QCOMPARE(package.openPackage(sGood, QString(), QString(), QString(), false), 0);
    QCOMPARE(package.memberPaths(), QStringList{"/a.txt"});

    // A bad row late in the index must not leave the earlier rows behind.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Wrong field count: "));
    QCOMPARE(package.openPackage(plainPackage("v2|u|||/a.txt;1;1;20;|/b.txt;1;1;20;|bad"), QString(), QString(),
                                 QString(), false), -2);
    QVERIFY(package.memberPaths().isEmpty());
    QCOMPARE(package.entrySize("/a.txt"), -1);
    QCOMPARE(package.entryOffset("/b.txt"), -1);
    QCOMPARE(package.packageFileName(), QString());
    QBuffer buffer;
    QCOMPARE(package.readFile("/a.txt", &buffer), -1);

    QTest::ignoreMessage(QtDebugMsg, "Package closed");
    QCOMPARE(package.openPackage(sGood, QString(), QString(), QString(), false), 0);
    package.closePackage();
    QVERIFY(!package.isOpen());
    QVERIFY(package.memberPaths().isEmpty());
}

void TestPackageIndex::overrideEndsWithThePackage()
{
    Package package;
    const QString sUnlocked = plainPackage("v2|u|package_call_expiration=authority_override;authority_password=boss||");
    const QString sSilent = plainPackage("v2|u|||");
    QCOMPARE(package.openPackage(sUnlocked, QString(), QString(), "boss", false), 1);
    QVERIFY(!package.callExpirationEnabled());
    // The next package does not name a mode: it keeps the mode of the last
    // index, not the override given for the previous package.
    package.closePackage();
    QCOMPARE(package.openPackage(sSilent, QString(), QString(), QString(), false), 0);
    QVERIFY(package.callExpirationEnabled());
    package.disableCallExpiration();
    QVERIFY(!package.callExpirationEnabled());
    QCOMPARE(package.openPackage(sSilent, QString(), QString(), QString(), false), 0);
    QVERIFY(package.callExpirationEnabled());

    QCOMPARE(package.openPackage(plainPackage("v2|u|package_call_expiration=never||"), QString(), QString(), QString(), false), 0);
    QCOMPARE(package.openPackage(sSilent, QString(), QString(), QString(), false), 0);
    QVERIFY(!package.callExpirationEnabled());
}

QTEST_GUILESS_MAIN(TestPackageIndex)
#include "tst_package_index.moc"

// An index of nothing but separators is refused before it is split, so that
// a damaged package cannot exhaust memory.
void TestPackageIndex::separatorFloodIsRefused()
{
    Package package;
    QTest::ignoreMessage(QtWarningMsg, "Too many columns in index");
    QCOMPARE(package.openPackage(plainPackage("v2|u|||" + QString(10 * 1000 * 1000, QLatin1Char('|'))), QString(),
                 QString(), QString(), false),
        -2);
    QVERIFY(!package.isPackageOpen());
}
