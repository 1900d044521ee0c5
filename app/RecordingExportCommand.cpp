#include "RecordingExportCommand.h"

#include "BatchExport.h"
#include "CommandLine.h"
#include "InputDialog.h"
#include "Package.h"
#include "ReviewDocument.h"
#include "ReviewNote.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

int fail(const QString& isMessage)
{
    std::fprintf(stderr, "VornViewer: %s\n", isMessage.simplified().toLocal8Bit().constData());
    std::fflush(stderr);
    return 1;
}

void warn(const QString& isMessage)
{
    std::fprintf(stderr, "VornViewer: warning: %s\n", isMessage.simplified().toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

int runRecordingExportCommand(const CommandLine& irCommandLine, Package& irPackage)
{
    const QString& sPackagePath = irCommandLine.sPackagePath;
    const QString& sFolder = irCommandLine.sExportFolder;
    // Checked before any credentials are asked for.
    if (!QFileInfo(irCommandLine.sReviewPath).isFile())
        return fail(QStringLiteral("review file not found: %1").arg(irCommandLine.sReviewPath));
    if (!QFileInfo(sFolder).isDir())
        return fail(QStringLiteral("the folder %1 does not exist").arg(sFolder));

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
    // As in the window, a wrong authority password goes on under retention.
    if (nResult == 2)
        warn(QStringLiteral("the authority password was not accepted; expired recordings are skipped"));

    ReviewDocument aDocument;
    QString sError;
    const ReviewDocument::LoadResult nLoad
        = aDocument.loadFile(irCommandLine.sReviewPath, readPackageInfo(sPackagePath), &sError);
    if (nLoad == ReviewDocument::LoadResult::Failed)
        return fail(QStringLiteral("%1: %2").arg(irCommandLine.sReviewPath, sError));
    if (nLoad == ReviewDocument::LoadResult::LoadedOtherPackage)
        warn(QStringLiteral("%1 was made for another package; recordings of matching calls are exported")
                 .arg(irCommandLine.sReviewPath));

    BatchExport aExport(&irPackage, BatchExport::fromReview(aDocument.calls()), sFolder,
                        RedactionStage::fillFromText(irCommandLine.sRedactWith));
    const QStringList aExisting = aExport.existingNames();
    if (!irCommandLine.bOverwrite && !aExisting.isEmpty())
        return fail(QStringLiteral("these files exist in %1 already (give --overwrite to replace them): %2")
                        .arg(QDir::toNativeSeparators(sFolder), aExisting.join(QStringLiteral(", "))));
    const BatchExport::Result aResult = aExport.run(irCommandLine.bOverwrite);
    if (!aResult.ok())
        return fail(aResult.sError.isEmpty() ? QStringLiteral("the export stopped") : aResult.sError);
    std::fprintf(stdout, "%s\n", aResult.summary().toLocal8Bit().constData());
    std::fflush(stdout);
    return 0;
}
