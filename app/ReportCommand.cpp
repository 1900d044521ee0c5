#include "ReportCommand.h"

#include "CommandLine.h"
#include "InputDialog.h"
#include "Package.h"
#include "ReportPrinter.h"
#include "ReviewCsv.h"
#include "ReviewDocument.h"
#include "ReviewReport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <cstdio>

namespace {

int fail(const QString& isMessage)
{
    std::fprintf(stderr, "VornViewer: %s\n", isMessage.simplified().toLocal8Bit().constData());
    std::fflush(stderr);
    return 1;
}

} // namespace

int runReportCommand(const CommandLine& irCommandLine, Package& irPackage, int inHttpPort)
{
    const QString& sPackagePath = irCommandLine.sPackagePath;
    const QString& sReportPath = irCommandLine.sReportPath;
    const QString sSuffix = QFileInfo(sReportPath).suffix().toLower();
    if (sSuffix != QLatin1String("pdf") && sSuffix != QLatin1String("csv"))
        return fail(QStringLiteral("the report must end in .pdf or .csv: %1").arg(sReportPath));
    if (!QFileInfo(irCommandLine.sReviewPath).isFile())
        return fail(QStringLiteral("review file not found: %1").arg(irCommandLine.sReviewPath));

    quint32 nType = 0;
    if (Package::checkMagic(sPackagePath, nType) == -1)
        return fail(QStringLiteral("not a readable package: %1").arg(sPackagePath));
    if (nType < 2 || nType >= 4)
        return fail(QStringLiteral("package type %1 is not supported: %2").arg(nType).arg(sPackagePath));
    QString sUsername;
    QString sPassword;
    QString sAuthorityPassword;
    if (Package::isEncryptedType(nType)) {
        InputDialog aDialog;
        if (!aDialog.getCredentials(sUsername, sPassword, sAuthorityPassword))
            return fail(QStringLiteral("no credentials given for %1").arg(sPackagePath));
    }
    const int nResult = irPackage.openPackage(sPackagePath, sUsername, sPassword, sAuthorityPassword, false);
    if (nResult == -5)
        return fail(QStringLiteral("the package needs its time verified online; open it in the window: %1")
                        .arg(sPackagePath));
    if (nResult < 0)
        return fail(QStringLiteral("the package could not be opened (%1): %2")
                        .arg(nResult == -3 || nResult == -1 ? QStringLiteral("credentials not accepted")
                                                            : QStringLiteral("damaged or unreadable"),
                             sPackagePath));

    ReviewDocument aDocument;
    QString sError;
    const ReviewPackageInfo aPackageInfo = readPackageInfo(sPackagePath);
    const ReviewDocument::LoadResult nLoad = aDocument.loadFile(irCommandLine.sReviewPath, aPackageInfo, &sError);
    if (nLoad == ReviewDocument::LoadResult::Failed)
        return fail(QStringLiteral("%1: %2").arg(irCommandLine.sReviewPath, sError));
    if (nLoad == ReviewDocument::LoadResult::LoadedOtherPackage) {
        std::fprintf(stderr, "VornViewer: warning: %s was made for another package; notes of matching calls are "
                             "reported\n", irCommandLine.sReviewPath.toLocal8Bit().constData());
    }

    if (sSuffix == QLatin1String("csv")) {
        if (!writeFileSafely(sReportPath, reviewCsv(aDocument), &sError))
            return fail(sError);
        return 0;
    }
    // Checked before the pages are laid out: an unwritable target fails at once.
    const QFileInfo aTarget(sReportPath);
    if (!QFileInfo(aTarget.absolutePath()).isWritable() || (aTarget.exists() && !aTarget.isFile()))
        return fail(QStringLiteral("%1 cannot be written").arg(sReportPath));

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
    return bOk ? 0 : fail(sError);
}
