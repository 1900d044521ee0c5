#include "ReportCommand.h"

#include "CommandLine.h"
#include "CommandPackage.h"
#include "Package.h"
#include "ReportPrinter.h"
#include "ReviewCsv.h"
#include "ReviewDocument.h"
#include "ReviewReport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

int runReportCommand(const CommandLine& irCommandLine, Package& irPackage, int inHttpPort)
{
    const QString& sPackagePath = irCommandLine.sPackagePath;
    const QString& sReportPath = irCommandLine.sReportPath;
    const QString sSuffix = QFileInfo(sReportPath).suffix().toLower();
    if (sSuffix != QLatin1String("pdf") && sSuffix != QLatin1String("csv"))
        return commandFailure(QStringLiteral("the report must end in .pdf or .csv: %1").arg(sReportPath));
    if (!QFileInfo(irCommandLine.sReviewPath).isFile())
        return commandFailure(QStringLiteral("review file not found: %1").arg(irCommandLine.sReviewPath));

    QString sUsername;
    int nResult = 0;
    const QString sOpenError = openPackageForCommand(sPackagePath, irPackage, sUsername, nResult);
    if (!sOpenError.isEmpty())
        return commandFailure(sOpenError);

    ReviewDocument aDocument;
    QString sError;
    const ReviewPackageInfo aPackageInfo = readPackageInfo(sPackagePath);
    const ReviewDocument::LoadResult nLoad = aDocument.loadFile(irCommandLine.sReviewPath, aPackageInfo, &sError);
    if (nLoad == ReviewDocument::LoadResult::Failed)
        return commandFailure(QStringLiteral("%1: %2").arg(irCommandLine.sReviewPath, sError));
    if (nLoad == ReviewDocument::LoadResult::LoadedOtherPackage) {
        commandWarning(QStringLiteral("%1 was made for another package; notes of matching calls are reported")
                           .arg(irCommandLine.sReviewPath));
    }

    if (sSuffix == QLatin1String("csv")) {
        if (!writeFileSafely(sReportPath, reviewCsv(aDocument), &sError))
            return commandFailure(sError);
        return 0;
    }
    // Checked before the pages are laid out: an unwritable target fails at once.
    const QFileInfo aTarget(sReportPath);
    if (!QFileInfo(aTarget.absolutePath()).isWritable() || (aTarget.exists() && !aTarget.isFile()))
        return commandFailure(QStringLiteral("%1 cannot be written").arg(sReportPath));

    ReportPrinter aPrinter(inHttpPort);
    QEventLoop aLoop;
    bool bOk = false;
    QObject::connect(&aPrinter, &ReportPrinter::finished, &aLoop, [&](bool ibOk, const QString& isError) {
        bOk = ibOk;
        sError = isError;
        aLoop.quit();
    });
    aPrinter.print(reviewReportData(aDocument, aPackageInfo.sFile, sUsername, QDateTime::currentDateTimeUtc()),
                   irPackage.defaultLocale(), sReportPath);
    aLoop.exec();
    return bOk ? 0 : commandFailure(sError);
}
