// The log line format and the filters of the program's message handler.
#include "LogMessageHandler.h"

#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace {

// Runs the handler with standard error sent to a file and returns what it wrote.
QString handlerOutput(QtMsgType inType, const QString& isMessage, const char* ipFile = nullptr, int inLine = 0)
{
    QTemporaryFile aFile;
    aFile.open();
    std::fflush(stderr);
    const int nSaved = dup(fileno(stderr));
    dup2(aFile.handle(), fileno(stderr));
    QMessageLogContext aContext(ipFile, inLine, nullptr, nullptr);
    logMessageHandler(inType, aContext, isMessage);
    std::fflush(stderr);
    dup2(nSaved, fileno(stderr));
    close(nSaved);
    aFile.seek(0);
    return QString::fromUtf8(aFile.readAll());
}

} // namespace

class TestLogging : public QObject
{
    Q_OBJECT
private slots:
    void lineFormat_data()
    {
        QTest::addColumn<int>("nType");
        QTest::addColumn<QByteArray>("aFile");
        QTest::addColumn<int>("nLine");
        QTest::addColumn<QString>("sPrefix");
        QTest::addColumn<QString>("sLocation");
        QTest::newRow("info, no context") << int(QtInfoMsg) << QByteArray() << 0 << "INF" << ":0";
        QTest::newRow("warning") << int(QtWarningMsg) << QByteArray() << 0 << "WRN" << ":0";
        QTest::newRow("critical") << int(QtCriticalMsg) << QByteArray() << 0 << "CRT" << ":0";
        QTest::newRow("debug") << int(QtDebugMsg) << QByteArray() << 0 << "DEB" << ":0";
        QTest::newRow("first folder dropped") << int(QtInfoMsg) << QByteArray("src/app/main.cpp") << 42 << "INF"
                                              << "app/main.cpp:42";
        QTest::newRow("name without folder") << int(QtInfoMsg) << QByteArray("main.cpp") << 7 << "INF"
                                             << "main.cpp:7";
        QTest::newRow("absolute path") << int(QtInfoMsg) << QByteArray("/usr/x.cpp") << 1 << "INF" << "usr/x.cpp:1";
    }
    void lineFormat()
    {
        QFETCH(int, nType);
        QFETCH(QByteArray, aFile);
        QFETCH(int, nLine);
        QFETCH(QString, sPrefix);
        QFETCH(QString, sLocation);
        setDebugLogging(true);
        const QString sLine = handlerOutput(QtMsgType(nType), QStringLiteral("Zoomed in, zoom factor:  1.1 \u00e9"),
            aFile.isEmpty() ? nullptr : aFile.constData(), nLine);
        const QRegularExpression aPattern("^" + sPrefix + "  \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  "
            + QRegularExpression::escape(sLocation) + "  Zoomed in, zoom factor:  1\\.1 \u00e9\\n$");
        QVERIFY2(aPattern.match(sLine).hasMatch(), qPrintable(sLine));
    }

    void debugOnlyWithTheSwitch()
    {
        setDebugLogging(false);
        QCOMPARE(handlerOutput(QtDebugMsg, QStringLiteral("hidden")), QString());
        QVERIFY(!handlerOutput(QtInfoMsg, QStringLiteral("shown")).isEmpty());
        setDebugLogging(true);
        QVERIFY(!handlerOutput(QtDebugMsg, QStringLiteral("shown")).isEmpty());
    }

    void suppressedTextAtEveryLevel()
    {
        setDebugLogging(true);
        const QString sNoise = QStringLiteral(
            "Property 'x' of object 'AudioPlayer' has no notify signal and is not constant, value updates in HTML "
            "will be broken!");
        for (QtMsgType nType : { QtDebugMsg, QtInfoMsg, QtWarningMsg, QtCriticalMsg })
            QCOMPARE(handlerOutput(nType, sNoise), QString());
    }
};

QTEST_GUILESS_MAIN(TestLogging)
#include "tst_logging.moc"
