// The retention filter on real packages whose calls are placed relative to
// the moment the fixture is made, so that no result depends on the day.
#include "Package.h"
#include "PackageWriter.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kDay = 24 * 3600;
constexpr quint32 kMarked = 0x00400000;
constexpr quint32 kVoice = 0x18;

QString startText(const QDateTime& irtStart)
{
    return irtStart.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Waits until the clock has just passed a whole second, so that a start
// time written to the second and a limit taken a few milliseconds later
// differ by well under a second.
QDateTime freshSecond()
{
    while (QDateTime::currentDateTime().time().msec() > 150)
        QTest::qSleep(10);
    return QDateTime::currentDateTime();
}

} // namespace

class TestCallList : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    int mnPackages = 0;

    // Writes a package with the given calls script and settings and opens it.
    int open(Package& irPackage, const QByteArray& iaCallsScript, const QString& isSettings,
        bool ibEncrypted = false)
    {
        PackageWriter aWriter;
        if (ibEncrypted) {
            aWriter.setPassword("pw");
            aWriter.setUsers("user");
        }
        aWriter.setSettings(isSettings);
        aWriter.addFile("/app/js/data/calls.js", iaCallsScript);
        aWriter.addFile("/app/js/data/locales.js", "var gLocales = {\r\n \"de_DE\": \"Deutsch\",\r\n \"en_GB\": \"English\"\r\n};\r\n");
        const QString sPath = maDir.filePath(QStringLiteral("p%1.pkg").arg(++mnPackages));
        if (!aWriter.write(sPath))
            return -100;
        return irPackage.openPackage(sPath, ibEncrypted ? "user" : "", ibEncrypted ? "pw" : "", "", false);
    }

    static QVariantList keptCalls(const Package& irPackage)
    {
        const QString sScript = irPackage.callListScript();
        if (!sScript.startsWith(QLatin1String("var gCalls=")) || !sScript.endsWith(QLatin1Char(';')))
            return { QStringLiteral("malformed script: ") + sScript };
        const QByteArray aJson = sScript.mid(11, sScript.size() - 12).toUtf8();
        return QJsonDocument::fromJson(aJson).toVariant().toList();
    }

    // A package of iaScript as the call list whose row states the decoded
    // size inSizeDelta off the truth, and with its last stored byte flipped
    // when ibDamaged; opened into irPackage.
    int openWithRow(Package& irPackage, const QByteArray& iaScript, bool ibEncrypted, int inSizeDelta, bool ibDamaged)
    {
        PackageWriter aWriter;
        if (ibEncrypted) {
            aWriter.setPassword("pw");
            aWriter.setUsers("user");
        }
        aWriter.setSettings("storage_time_normal_cdr=30;storage_time_normal_voice=10");
        aWriter.addFile("/app/js/data/calls.js", iaScript);
        QStringList aColumns = aWriter.indexText().split('|');
        QStringList aFields = aColumns[4].split(';');
        aFields[2] = QString::number(aFields[2].toInt() + inSizeDelta);
        aColumns[4] = aFields.join(';');
        aWriter.setIndexText(aColumns.join('|'));
        QByteArray aFile = aWriter.build();
        if (ibDamaged) {
            const int nLast = aFields[3].toInt() + aFields[1].toInt() - 1;
            aFile[nLast] = char(aFile[nLast] ^ 0x01);
        }
        QFile aOut(maDir.filePath(QStringLiteral("p%1.pkg").arg(++mnPackages)));
        if (!aOut.open(QIODevice::WriteOnly) || aOut.write(aFile) != aFile.size())
            return -100;
        aOut.close();
        return irPackage.openPackage(aOut.fileName(), ibEncrypted ? "user" : "", ibEncrypted ? "pw" : "", "", false);
    }

private slots:
    // A list of several megabytes is filtered while it is decoded; the
    // script must be the one the plain read and filter give (a row whose
    // stated size is too small leaves the list to them).
    void decodedWhileFiltered_data()
    {
        QTest::addColumn<bool>("bEncrypted");
        QTest::addColumn<int>("nSizeDelta");
        QTest::addColumn<bool>("bDamaged");
        QTest::addColumn<int>("nAfter"); // bytes of a comment after the list
        QTest::addColumn<int>("nCalls");
        QTest::newRow("plain") << false << 0 << false << 0 << 20000;
        QTest::newRow("encrypted") << true << 0 << false << 0 << 20000;
        QTest::newRow("stated size too large") << true << 4096 << false << 0 << 20000;
        QTest::newRow("megabytes after the list") << true << 0 << false << 3 * 1024 * 1024 << 20000;
        // Far more than the decoder may run ahead of the filter, and than
        // the filter keeps behind it.
        QTest::newRow("tens of megabytes") << true << 0 << false << 0 << 150000;
        QTest::newRow("damaged after the last call") << true << 0 << true << 0 << 20000;
    }
    void decodedWhileFiltered()
    {
        QFETCH(bool, bEncrypted);
        QFETCH(int, nSizeDelta);
        QFETCH(bool, bDamaged);
        QFETCH(int, nAfter);
        QFETCH(int, nCalls);
        // Every seven hours back from now, so that no call lies within
        // seconds of a limit; line breaks for the read to turn into spaces.
        const QDateTime tNow = QDateTime::currentDateTime();
        QByteArray aScript = "var gCalls = [\r\n";
        for (int i = 0; i < nCalls; ++i) {
            aScript += "{\"id\": " + QByteArray::number(i) + ", \"time_start\": \""
                + startText(tNow.addSecs(-qint64(i % 200) * 7 * 3600)).toUtf8() + "\", \"flags\": "
                + QByteArray::number(i % 3 ? 0x18 : 0) + ", \"voice\": \"/app/wave/" + QByteArray::number(i)
                + ".wvc\", \"note\": \"caf\xc3\xa9 \\\"" + QByteArray(i % 97, 'n') + "\\\"\", \"n\": " + QByteArray::number(i * 13)
                + "}" + (i + 1 < nCalls ? ",\r\n" : "\r\n");
        }
        aScript += "];\r\n";
        QVERIFY(aScript.size() > 3 * 1024 * 1024);
        if (nAfter > 0)
            aScript += "/* " + QByteArray(nAfter, '-') + " */\r\n";

        Package aReference;
        Package aPackage;
        if (bDamaged) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not read member"));
            QTest::ignoreMessage(QtWarningMsg, "JSON parsing error");
            QTest::ignoreMessage(QtWarningMsg, "Error reading call data");
            QCOMPARE(openWithRow(aPackage, aScript, bEncrypted, nSizeDelta, true), -2);
            return;
        }
        // The reference falls back to the plain read; the package under
        // test must not.
        static QStringList* spDebug = nullptr;
        QStringList aDebug;
        spDebug = &aDebug;
        const QtMessageHandler pPrevious = qInstallMessageHandler(
            [](QtMsgType inType, const QMessageLogContext&, const QString& isText) {
                if (inType == QtDebugMsg)
                    spDebug->append(isText);
            });
        const int nReference = openWithRow(aReference, aScript, bEncrypted, -1, false);
        const bool bReferenceOverlapped = aDebug.contains("Call list filtered while it was decoded");
        aDebug.clear();
        const int nOpen = openWithRow(aPackage, aScript, bEncrypted, nSizeDelta, false);
        qInstallMessageHandler(pPrevious);
        QCOMPARE(nReference, 0);
        QCOMPARE(nOpen, 0);
        QVERIFY(!bReferenceOverlapped);
        QVERIFY(aDebug.contains("Call list filtered while it was decoded"));
        QVERIFY(aReference.expiredCallCount() > 1000);
        QVERIFY(aReference.expiredMediaCount() > 1000);
        QCOMPARE(aPackage.expiredCallCount(), aReference.expiredCallCount());
        QCOMPARE(aPackage.expiredMediaCount(), aReference.expiredMediaCount());
        QVERIFY(aPackage.callListScriptUtf8() == aReference.callListScriptUtf8());
        QCOMPARE(keptCalls(aPackage).size(), nCalls - aReference.expiredCallCount());
    }

    void limits_data()
    {
        QTest::addColumn<QString>("sSettings");
        QTest::addColumn<int>("nTimeOffset");
        QTest::addColumn<int>("nStartOffset"); // seconds relative to the fixture's now
        QTest::addColumn<quint32>("nFlags");
        QTest::addColumn<bool>("bKept");
        QTest::addColumn<bool>("bVoiceKept");

        const QString sNormal = "storage_time_normal_cdr=30;storage_time_normal_voice=10";
        const QString sMarked = "storage_time_marked_cdr=300;storage_time_marked_voice=100";
        QTest::newRow("normal call 31 days old") << sNormal << 0 << -31 * kDay << 0u << false << false;
        QTest::newRow("normal call 29 days old") << sNormal << 0 << -29 * kDay << kVoice << true << false;
        QTest::newRow("normal call within both") << sNormal << 0 << -9 * kDay << kVoice << true << true;
        QTest::newRow("exactly at the limit stays") << sNormal << 0 << -30 * kDay << 0u << true << false;
        QTest::newRow("one second before the limit goes") << sNormal << 0 << -30 * kDay - 1 << 0u << false << false;
        QTest::newRow("past both limits counts as a call") << sNormal << 0 << -40 * kDay << kVoice << false << false;
        QTest::newRow("close flag alone keeps the voice") << sNormal << 0 << -20 * kDay << 0x10u << true << true;
        QTest::newRow("marked call ignores normal limits") << sNormal + ";" + sMarked << 0 << -40 * kDay
                                                           << kMarked << true << false;
        QTest::newRow("marked voice expires") << sMarked << 0 << -150 * kDay << (kMarked | kVoice) << true << false;
        QTest::newRow("marked call expires") << sMarked << 0 << -301 * kDay << kMarked << false << false;
        QTest::newRow("no limits set") << "" << 0 << -3000 * kDay << kVoice << true << true;
        QTest::newRow("positive offset moves limits later") << sNormal << 2 * kDay << -29 * kDay << 0u << false
                                                            << false;
        QTest::newRow("negative days put the limit ahead") << "storage_time_normal_cdr=-1" << 0 << -5 << 0u << false
                                                           << false;
    }
    void limits()
    {
        QFETCH(QString, sSettings);
        QFETCH(int, nTimeOffset);
        QFETCH(int, nStartOffset);
        QFETCH(quint32, nFlags);
        QFETCH(bool, bKept);
        QFETCH(bool, bVoiceKept);

        const QDateTime tNow = freshSecond();
        // Days are calendar days: build the start the way the limit is built.
        const QDateTime tStart = tNow.addDays(nStartOffset / kDay).addSecs(nStartOffset % kDay);
        const QByteArray aScript = "var gCalls = [\r\n{\"id\": 7, \"time_start\": \"" + startText(tStart).toUtf8()
            + "\", \"flags\": " + QByteArray::number(nFlags) + ", \"voice\": \"/app/wave/7.wvc\"}\r\n];\r\n";
        Package aPackage;
        aPackage.setTimeOffset(nTimeOffset);
        QCOMPARE(open(aPackage, aScript, sSettings), 0);

        const QVariantList aKept = keptCalls(aPackage);
        const bool bVoiceGone = bKept && (nFlags & 0x8) && !bVoiceKept;
        QCOMPARE(aKept.size(), bKept ? 1 : 0);
        QCOMPARE(aPackage.expiredCallCount(), bKept ? 0 : 1);
        QCOMPARE(aPackage.expiredMediaCount(), bVoiceGone ? 1 : 0);
        QCOMPARE(aPackage.hasExpiredContent(), !bKept || bVoiceGone);
        if (bKept) {
            const QVariantMap aCall = aKept.first().toMap();
            QCOMPARE(aCall.value("flags").toUInt(), bVoiceGone ? nFlags & ~kVoice : nFlags);
            QCOMPARE(aCall.value("voice").toString(), bVoiceGone ? QString() : QStringLiteral("/app/wave/7.wvc"));
        }
    }

    void writtenText()
    {
        Package aPackage;
        const QByteArray aScript = "var gCalls=[{\"voice\": \"v\", \"id\": 1, \"zeta\": [1, 2.5], \"flags\": 8,"
                                   " \"time_start\": \"2020-01-02 03:04:05.678\"}];";
        QCOMPARE(open(aPackage, aScript, "storage_time_normal_voice=1", true), 0);
        QCOMPARE(aPackage.callListScript(),
            QStringLiteral("var gCalls=[ { \"flags\" : 0, \"id\" : 1, \"time_start\" : \"2020-01-02 03:04:05.678\", "
                           "\"voice\" : \"\", \"zeta\" : [ 1, 2.5 ] } ];"));
        QCOMPARE(aPackage.expiredMediaCount(), 1);
    }

    void escapedNulKeepsTheWholeScript()
    {
        // An escaped NUL in a string is written as the character itself; the
        // script after it must still reach the page.
        Package aPackage;
        const QByteArray aScript = "var gCalls=[{\"id\": 1, \"time_start\": \"2026-01-02 03:04:05\", \"note\": \"a\\u0000b\"},"
                                   " {\"id\": 2, \"time_start\": \"2026-01-02 03:04:05\"}];";
        QCOMPARE(open(aPackage, aScript, ""), 0);
        QCOMPARE(aPackage.callListScriptUtf8(),
            QByteArray("var gCalls=[ { \"id\" : 1, \"note\" : \"a") + '\0'
                + "b\", \"time_start\" : \"2026-01-02 03:04:05\" }, { \"id\" : 2, \"time_start\" : \"2026-01-02 03:04:05\" } ];");
    }

    void unreadableRecords()
    {
        Package aPackage;
        const QByteArray aScript = "var gCalls=[1, \"text\", {\"id\": 2, \"time_start\": \"10-12-2026 10:00:00\"},"
                                   " {\"id\": 3, \"time_start\": \"2026-12-10 10:00\"}, {\"id\": 4},"
                                   " {\"id\": 5, \"time_start\": \"2026-12-10 10:00:00\"}];";
        QTest::ignoreMessage(QtWarningMsg, "Could not parse start time of call. Call will be filtered.");
        QTest::ignoreMessage(QtWarningMsg, "Could not parse start time of call. Call will be filtered.");
        QTest::ignoreMessage(QtWarningMsg, "Could not parse start time of call. Call will be filtered.");
        QTest::ignoreMessage(QtWarningMsg, "Could not parse start time of call. Call will be filtered.");
        QTest::ignoreMessage(QtWarningMsg, "Could not parse start time of call. Call will be filtered.");
        QCOMPARE(open(aPackage, aScript, ""), 0);
        QCOMPARE(aPackage.expiredCallCount(), 5);
        QCOMPARE(aPackage.callListScript(),
            QStringLiteral("var gCalls=[ { \"id\" : 5, \"time_start\" : \"2026-12-10 10:00:00\" } ];"));
    }

    void emptyAndBrokenScripts()
    {
        Package aEmpty;
        QCOMPARE(open(aEmpty, "var gCalls = [];", ""), 0);
        QCOMPARE(aEmpty.callListScript(), QStringLiteral("var gCalls=[  ];"));

        Package aBroken;
        QTest::ignoreMessage(QtWarningMsg, "JSON parsing error");
        QTest::ignoreMessage(QtWarningMsg, "Error reading call data");
        QCOMPARE(open(aBroken, "var gCalls = [{\"id\": 1,", ""), -2);
        QVERIFY(!aBroken.isPackageOpen());
        QCOMPARE(aBroken.entrySize("/app/js/data/calls.js"), -1);
    }

    void unreadableOrUnwritableLists()
    {
        // No call list at all: no calls.
        Package aMissing;
        PackageWriter aWriter;
        aWriter.addFile("/app/js/data/other.js", "var x=1;");
        const QString sMissing = maDir.filePath("missing-calls.pkg");
        QVERIFY(aWriter.write(sMissing));
        QCOMPARE(aMissing.openPackage(sMissing, "", "", "", false), 0);
        QCOMPARE(aMissing.callListScript(), QStringLiteral("var gCalls=[  ];"));

        // A call list that cannot be read is a damaged package, not an empty one.
        Package aDamaged;
        PackageWriter aBroken;
        aBroken.addRawMember("/app/js/data/calls.js", QByteArray(300, 'x'), 0, QByteArray());
        const QString sDamaged = maDir.filePath("damaged-calls.pkg");
        QVERIFY(aBroken.write(sDamaged));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not read member"));
        QTest::ignoreMessage(QtWarningMsg, "JSON parsing error");
        QTest::ignoreMessage(QtWarningMsg, "Error reading call data");
        QCOMPARE(aDamaged.openPackage(sDamaged, "", "", "", false), -2);

        // One number out of range would leave the page a broken script.
        Package aInfinite;
        QTest::ignoreMessage(QtWarningMsg, "Call list could not be written");
        QTest::ignoreMessage(QtWarningMsg, "Error reading call data");
        QCOMPARE(open(aInfinite,
                     "var gCalls=[{\"id\": 1, \"time_start\": \"2026-01-01 10:00:00\", \"duration\": 1.0e999}];", ""),
            -2);
        QVERIFY(!aInfinite.isPackageOpen());
    }

    void filterOffServesThePackageScript()
    {
        Package aPackage;
        QCOMPARE(open(aPackage, "var gCalls = [{\"id\": 1, \"time_start\": \"x\"}];", "package_call_expiration=never"),
            0);
        QVERIFY(!aPackage.callExpirationEnabled());
        QCOMPARE(aPackage.expiredCallCount(), 0);
        QCOMPARE(aPackage.callListScript(), QString());
    }

    void locales()
    {
        Package aPackage;
        QCOMPARE(open(aPackage, "var gCalls=[];", ""), 0);
        QCOMPARE(aPackage.locales(), QStringList({ "de_DE", "en_GB" }));
    }
};

QTEST_GUILESS_MAIN(TestCallList)
#include "tst_call_list.moc"
