// Runs the real viewer as a process and checks what its command line does.
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QString kUsage
    = QStringLiteral("Usage: VornViewer [--debug] [--port=8080] [--review FILE [--report OUT.pdf|OUT.csv | "
                     "--export-recordings DIR [--redact-with tone|silence] [--overwrite]]] [PACKAGE.pkg]\n");

int freePort()
{
    QTcpServer aServer;
    aServer.listen(QHostAddress::LocalHost, 0);
    return aServer.serverPort();
}

// The viewer as a child process whose standard error is collected.
class Viewer
{
public:
    explicit Viewer(const QStringList& isaArguments, bool ibDisplay = true)
    {
        if (!ibDisplay) {
            QProcessEnvironment aEnvironment = QProcessEnvironment::systemEnvironment();
            aEnvironment.remove(QStringLiteral("DISPLAY"));
            aEnvironment.remove(QStringLiteral("WAYLAND_DISPLAY"));
            aEnvironment.remove(QStringLiteral("QT_QPA_PLATFORM"));
            maProcess.setProcessEnvironment(aEnvironment);
        }
        maProcess.setProgram(QStringLiteral(VORN_BIN_DIR "/VornViewer"));
        maProcess.setArguments(isaArguments);
        QObject::connect(&maProcess, &QProcess::readyReadStandardError,
            [this] { msError += QString::fromUtf8(maProcess.readAllStandardError()); });
        maProcess.start();
    }
    ~Viewer()
    {
        if (maProcess.state() != QProcess::NotRunning) {
            maProcess.kill();
            maProcess.waitForFinished(5000);
        }
    }
    bool finishes()
    {
        const bool bDone = maProcess.waitForFinished(15000);
        msError += QString::fromUtf8(maProcess.readAllStandardError());
        return bDone;
    }
    // Waits until the log shows the port the server listens on (needs --debug).
    int listeningPort()
    {
        static const QRegularExpression aPattern(QStringLiteral("HTTP server is listening on port:\\s+(\\d+)"));
        QRegularExpressionMatch aMatch;
        (void)QTest::qWaitFor([&] {
            aMatch = aPattern.match(msError);
            return aMatch.hasMatch();
        }, 20000);
        return aMatch.hasMatch() ? aMatch.captured(1).toInt() : -1;
    }
    bool logContains(const QString& isText, int inTimeout = 20000)
    {
        return QTest::qWaitFor([&] { return msError.contains(isText); }, inTimeout);
    }

    QProcess maProcess;
    QString msError;
};

bool acceptsConnections(int inPort)
{
    return QTest::qWaitFor([&] {
        QTcpSocket aSocket;
        aSocket.connectToHost(QHostAddress::LocalHost, quint16(inPort));
        return aSocket.waitForConnected(200);
    }, 20000);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void usageExits_data()
    {
        QTest::addColumn<QStringList>("saArguments");
        QTest::addColumn<QString>("sExpectedError");
        QTest::newRow("help") << QStringList { "--help" } << kUsage;
        QTest::newRow("help after port and package")
            << QStringList { "--port=8080", "x.pkg", "--debug", "--help" } << kUsage;
        QTest::newRow("port alone") << QStringList { "--port" } << kUsage;
        QTest::newRow("port with two equals") << QStringList { "--port=1=2" } << kUsage;
        QTest::newRow("bad port before help")
            << QStringList { "--port=abc", "--help" }
            << "HTTP port could not be identified. A port will be selected by the server.\n" + kUsage;
    }
    void usageExits()
    {
        QFETCH(QStringList, saArguments);
        QFETCH(QString, sExpectedError);
        // Without a display too: over ssh or in a script.
        Viewer aViewer(saArguments, false);
        QVERIFY(aViewer.finishes());
        QCOMPARE(aViewer.maProcess.exitStatus(), QProcess::NormalExit);
        QCOMPARE(aViewer.maProcess.exitCode(), 0);
        QCOMPARE(aViewer.msError, sExpectedError);
    }

    void versionWithoutDisplay()
    {
        Viewer aViewer({ "--version" }, false);
        QVERIFY(aViewer.finishes());
        QCOMPARE(aViewer.maProcess.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(aViewer.maProcess.readAllStandardOutput()),
            QStringLiteral("VornViewer " VORN_VERSION "\n"));
        QCOMPARE(aViewer.msError, QString());
    }

    void rejectedPortsLeaveTheChoiceToTheServer_data()
    {
        QTest::addColumn<QString>("sArgument");
        QTest::addColumn<QString>("sWarning");
        QTest::newRow("not a number") << "--port=abc"
                                      << "HTTP port could not be identified. A port will be selected by the server.";
        QTest::newRow("empty") << "--port=" << "HTTP port could not be identified. A port will be selected by the server.";
        QTest::newRow("below range") << "--port=80"
                                     << "HTTP port not in allowed range (1024-65536). A port will be selected by the server.";
        QTest::newRow("above range") << "--port=65537"
                                     << "HTTP port not in allowed range (1024-65536). A port will be selected by the server.";
        QTest::newRow("65536 passes the check") << "--port=65536" << QString();
    }
    void rejectedPortsLeaveTheChoiceToTheServer()
    {
        QFETCH(QString, sArgument);
        QFETCH(QString, sWarning);
        Viewer aViewer({ sArgument, "--debug" });
        const int nPort = aViewer.listeningPort();
        QVERIFY2(nPort >= 1024, qPrintable(aViewer.msError));
        QVERIFY(nPort != 80);
        QVERIFY(acceptsConnections(nPort));
        if (sWarning.isEmpty())
            QVERIFY2(!aViewer.msError.contains(QLatin1String("HTTP port not"))
                    && !aViewer.msError.contains(QLatin1String("HTTP port could")),
                qPrintable(aViewer.msError));
        else
            QVERIFY2(aViewer.msError.startsWith(sWarning + "\n"), qPrintable(aViewer.msError));
    }

    void requestedPortIsUsedWithoutDebugLines()
    {
        const int nPort = freePort();
        Viewer aViewer({ QStringLiteral("--port=%1").arg(nPort) });
        QVERIFY(acceptsConnections(nPort));
        QVERIFY(aViewer.maProcess.state() == QProcess::Running);
        QVERIFY2(!aViewer.msError.contains(QLatin1String("DEB  ")), qPrintable(aViewer.msError));
    }

    void debugShowsStartUpLists()
    {
        Viewer aViewer({ "--debug" });
        QVERIFY(aViewer.listeningPort() > 0);
        static const QRegularExpression aLine(
            QStringLiteral("^DEB  \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  :0  UI languages:  \\(.*\\)$"),
            QRegularExpression::MultilineOption);
        QVERIFY2(aLine.match(aViewer.msError).hasMatch(), qPrintable(aViewer.msError));
        QVERIFY(aViewer.msError.contains(QLatin1String(":0  Library path:  (")));
    }

    void lastPackageArgumentIsOpened_data()
    {
        QTest::addColumn<QStringList>("saArguments");
        QTest::addColumn<QString>("sOpened");
        QTest::newRow("two packages") << QStringList { "--debug", "/tmp/first.pkg", "/tmp/second.pkg" }
                                      << "/tmp/second.pkg";
        QTest::newRow("upper-case ending is no package") << QStringList { "--debug", "/tmp/a.pkg", "/tmp/b.PKG" }
                                                          << "/tmp/a.pkg";
        QTest::newRow("no package") << QStringList { "--debug", "/tmp/c.PKG" } << QString();
    }
    void lastPackageArgumentIsOpened()
    {
        QFETCH(QStringList, saArguments);
        QFETCH(QString, sOpened);
        Viewer aViewer(saArguments);
        QVERIFY(aViewer.listeningPort() > 0);
        if (sOpened.isEmpty()) {
            // The start page loads without an open request.
            QVERIFY(!aViewer.logContains(QStringLiteral("Open package file:"), 3000));
        } else {
            QVERIFY2(aViewer.logContains(QStringLiteral("INF  ")), qPrintable(aViewer.msError));
            QVERIFY(aViewer.logContains(QStringLiteral(":0  Open package file:  \"%1\"").arg(sOpened)));
            QCOMPARE(aViewer.msError.count(QLatin1String("Open package file:")), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
