#include "ApplicationAttributes.h"
#include "AudioPlayer.h"
#include "CommandLine.h"
#include "CallIndexChannel.h"
#include "CallSummaryRoute.h"
#include "HttpServer.h"
#include "LogMessageHandler.h"
#include "Package.h"
#include "RecordingExportCommand.h"
#include "ReportCommand.h"
#include "Translation.h"
#include "VornViewer.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // Read before the application exists: --help and --version answer in a
    // script or over ssh, where no display can be connected.
    QStringList saArguments;
    for (int i = 0; i < argc; ++i)
        saArguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine aCommandLine = parseCommandLine(saArguments);
    if (aCommandLine.bUsage)
        printUsage();
    if (aCommandLine.bVersion)
        printVersion();
    if (!aCommandLine.sError.isEmpty())
        exitWithError(aCommandLine.sError, 2);

    setApplicationAttributes();
    QApplication aApplication(argc, argv);

    QTranslator aTranslator;
    installViewerTranslation(aTranslator, QCoreApplication::applicationDirPath());

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/Logo_TESSANO_Icon_RGB.ico")));

    setDebugLogging(aCommandLine.bDebug);
    // Without --debug no debug line is written, so none need be composed.
    if (!aCommandLine.bDebug)
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    // A report or export run says only what went wrong.
    if (!aCommandLine.bDebug && (!aCommandLine.sReportPath.isEmpty() || !aCommandLine.sExportFolder.isEmpty()))
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));

    qInstallMessageHandler(logMessageHandler);

    qDebug() << "UI languages: " << QLocale::system().uiLanguages();
    qDebug() << "Translation catalog: " << aTranslator.filePath();
    qDebug() << "Library path: " << QCoreApplication::libraryPaths();

    Package aPackage;
    if (!aCommandLine.sExportFolder.isEmpty())
        return runRecordingExportCommand(aCommandLine, aPackage);
    // No parent: the window's toolbar takes it over and deletes it with the window.
    auto* pAudioPlayer = new AudioPlayer(&aPackage);
    auto* pHttpServer = new HttpServer(&aPackage, quint16(aCommandLine.nPort), &aApplication);
    if (!aCommandLine.sReportPath.isEmpty()) {
        const int nStatus = runReportCommand(aCommandLine, aPackage, pHttpServer->serverPort());
        delete pAudioPlayer;
        delete pHttpServer;
        return nStatus;
    }
    auto* pViewer = new VornViewer(&aPackage, pAudioPlayer, pHttpServer->serverPort());
    routeCallSummary(*pHttpServer, *pViewer->findChild<CallIndexChannel*>());
    pViewer->show();
    if (!aCommandLine.sReviewPath.isEmpty()) {
        // Loaded once the package's page shows, also after a time check.
        const QString sReviewPath = aCommandLine.sReviewPath;
        auto* pConnection = new QMetaObject::Connection;
        *pConnection = QObject::connect(pViewer, &VornViewer::packageShown, pViewer, [pViewer, pConnection, sReviewPath] {
            QObject::disconnect(*pConnection);
            delete pConnection;
            pViewer->openReview(sReviewPath);
        });
    }
    if (!aCommandLine.sPackagePath.isEmpty())
        pViewer->open(aCommandLine.sPackagePath);

    const int nResult = aApplication.exec();

    delete pViewer;
    delete pHttpServer;
    return nResult;
}
