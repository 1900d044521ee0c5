// The demo packages keep the README's word on who may open them and what
// their retention rules hide. Opened through the package reader the viewer
// uses, the call list the server hands the page lacks exactly the calls
// older than 45 days (365 when marked for long-term storage) and the
// recordings older than 20 days (180 when marked); the authority password
// "demo" lifts both, a wrong one lifts nothing; the encrypted twin opens for
// "reviewer" and "auditor" with "vorn-demo-2026" and for nobody else.
#include "Package.h"

#include <QBuffer>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

const QString gsPlain = QStringLiteral(VORN_DEMO_DIR "/demo.pkg");
const QString gsTwin = QStringLiteral(VORN_DEMO_DIR "/demo-encrypted.pkg");
constexpr quint32 cnMarked = 0x00400000;

QJsonArray callsOf(const QByteArray& iaScript)
{
    const int nStart = iaScript.indexOf('[');
    const int nEnd = iaScript.lastIndexOf(']');
    if (nStart < 0 || nEnd < nStart)
        return {};
    return QJsonDocument::fromJson(iaScript.mid(nStart, nEnd - nStart + 1)).array();
}

// "id voice" of each call in the list, in order.
QStringList voices(const QJsonArray& iaCalls)
{
    QStringList sa;
    for (const QJsonValue& aCall : iaCalls)
        sa << aCall[QStringLiteral("id")].toVariant().toString() + ' ' + aCall[QStringLiteral("voice")].toString();
    return sa;
}

} // namespace

class TestDemoRetention : public QObject
{
    Q_OBJECT
private:
    QJsonArray maStored; // the call list as the package stores it

private slots:
    void initTestCase()
    {
        Package aPackage;
        QCOMPARE(aPackage.openPackage(gsPlain, QString(), QString(), QString(), false), 0);
        QBuffer aBuffer;
        QCOMPARE(aPackage.readFile(QStringLiteral("/app/js/data/calls.js"), &aBuffer), 0);
        maStored = callsOf(aBuffer.data());
        QCOMPARE(maStored.size(), 30);
    }

    void servedCalls_data()
    {
        QTest::addColumn<QString>("sPath");
        QTest::addColumn<QString>("sUser");
        QTest::addColumn<QString>("sPassword");
        QTest::addColumn<QString>("sAuthority");
        QTest::addColumn<int>("nOpened"); // openPackage's result
        QTest::newRow("plain") << gsPlain << "" << "" << "" << 0;
        QTest::newRow("plain, authority") << gsPlain << "" << "" << "demo" << 1;
        QTest::newRow("plain, wrong authority") << gsPlain << "" << "" << "Demo" << 2;
        QTest::newRow("twin, reviewer") << gsTwin << "reviewer" << "vorn-demo-2026" << "" << 0;
        QTest::newRow("twin, auditor, authority") << gsTwin << "auditor" << "vorn-demo-2026" << "demo" << 1;
        QTest::newRow("twin, wrong authority") << gsTwin << "auditor" << "vorn-demo-2026" << "wrong" << 2;
        QTest::newRow("twin, wrong password") << gsTwin << "reviewer" << "vorn-demo-2025" << "" << -1;
        QTest::newRow("twin, no password") << gsTwin << "auditor" << "" << "" << -1;
        QTest::newRow("twin, unknown user") << gsTwin << "intruder" << "vorn-demo-2026" << "" << -3;
    }
    void servedCalls()
    {
        QFETCH(QString, sPath);
        QFETCH(QString, sUser);
        QFETCH(QString, sPassword);
        QFETCH(QString, sAuthority);
        QFETCH(int, nOpened);
        Package aPackage;
        const QDateTime tNow = QDateTime::currentDateTime();
        QCOMPARE(aPackage.openPackage(sPath, sUser, sPassword, sAuthority, false), nOpened);
        if (nOpened < 0) {
            QVERIFY(aPackage.memberPaths().isEmpty());
            return;
        }
        // The README's rules, applied to the stored list.
        QStringList saExpected;
        int nHidden = 0;
        int nTaken = 0;
        for (const QJsonValue& aCall : qAsConst(maStored)) {
            const bool bMarked = quint32(aCall["flags"].toDouble()) & cnMarked;
            const QDateTime tStart = QDateTime::fromString(aCall["time_start"].toString(), "yyyy-MM-dd hh:mm:ss");
            const QString sId = aCall["id"].toVariant().toString();
            const QString sVoice = aCall["voice"].toString();
            const bool bLifted = nOpened == 1;
            if (!bLifted && tStart < tNow.addDays(bMarked ? -365 : -45)) {
                ++nHidden;
                continue;
            }
            const bool bVoiceKept = bLifted || tStart >= tNow.addDays(bMarked ? -180 : -20);
            nTaken += !bVoiceKept && !sVoice.isEmpty();
            saExpected << sId + ' ' + (bVoiceKept ? sVoice : QString());
        }
        if (nOpened != 1)
            QVERIFY2(nHidden > 0 && nTaken > 0, "the demo has no call or recording past its storage time");
        QBuffer aServed;
        aServed.open(QIODevice::ReadWrite);
        QCOMPARE(aPackage.serveFile(QStringLiteral("/app/js/data/calls.js"), QString(), &aServed), 0);
        QCOMPARE(voices(callsOf(aServed.data())).join(", "), saExpected.join(", "));
    }
};

QTEST_GUILESS_MAIN(TestDemoRetention)
#include "tst_demo_retention.moc"
