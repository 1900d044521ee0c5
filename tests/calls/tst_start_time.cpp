// Call start times read as local time: the same instants and validity as
// QDateTime gives, across time zone transitions and gaps.
#include "StartTimeReader.h"

#include <QDateTime>
#include <QtTest>

#include <ctime>

class TestStartTime : public QObject
{
    Q_OBJECT
private slots:
    void sameAsQDateTime_data()
    {
        QTest::addColumn<QByteArray>("aZone");
        for (const char* pZone : { "UTC", "Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "Asia/Kolkata" })
            QTest::newRow(pZone) << QByteArray(pZone);
    }
    void sameAsQDateTime()
    {
        QFETCH(QByteArray, aZone);
        const QByteArray aSaved = qgetenv("TZ");
        qputenv("TZ", aZone);
        tzset();

        StartTimeReader aReader;
        QStringList saTexts;
        // Every 7 minutes through two years, and every minute around each
        // transition of 2026 in these zones.
        QDateTime t(QDate(2025, 1, 1), QTime(0, 3, 11), Qt::UTC);
        while (t.date().year() < 2027) {
            saTexts << t.toString("yyyy-MM-dd hh:mm:ss");
            t = t.addSecs(7 * 60 + 13);
        }
        for (const QDate& aDay : { QDate(2026, 3, 8), QDate(2026, 3, 29), QDate(2026, 4, 5), QDate(2026, 10, 4),
                 QDate(2026, 10, 25), QDate(2026, 11, 1) })
            for (int nMinute = 60; nMinute < 240; ++nMinute)
                saTexts << QDateTime(aDay, QTime(nMinute / 60, nMinute % 60, 30), Qt::UTC).toString("yyyy-MM-dd hh:mm:ss");
        saTexts << "2026-02-29 10:00:00" << "2026-13-01 10:00:00" << "2026-12-10 24:00:00" << "2026-12-10 10:60:00"
                << "10-12-2026 10:00:00" << "2026-12-10 10:00" << "2026-12-10T10:00:00" << "2026-1-10 10:00:000"
                << "\u0662026-12-10 10:00:00" << "";

        int nChecked = 0;
        for (const QString& sText : saTexts) {
            const QDateTime tExpected = QDateTime::fromString(sText, "yyyy-MM-dd hh:mm:ss");
            const std::optional<qint64> nRead = aReader.read(sText);
            QVERIFY2(bool(nRead) == tExpected.isValid(), qPrintable(sText));
            if (nRead)
                QVERIFY2(*nRead == tExpected.toMSecsSinceEpoch(), qPrintable(sText));
            ++nChecked;
        }
        QVERIFY(nChecked > 100000);

        if (aSaved.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", aSaved);
        tzset();
    }
};

QTEST_APPLESS_MAIN(TestStartTime)
#include "tst_start_time.moc"
