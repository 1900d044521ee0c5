#include "RecordingExportCommand.h"

#include "BatchExport.h"
#include "CommandLine.h"
#include "CommandPackage.h"
#include "Package.h"
#include "ReviewDocument.h"
#include "ReviewNote.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

int runRecordingExportCommand(const CommandLine& irCommandLine, Package& irPackage)
{
    const QString& sPackagePath = irCommandLine.sPackagePath;
    const QString& sFolder = irCommandLine.sExportFolder;
    // Checked before any credentials are asked for.
    if (!QFileInfo(irCommandLine.sReviewPath).isFile())
        return commandFailure(QStringLiteral("review file not found: %1").arg(irCommandLine.sReviewPath));
    if (!QFileInfo(sFolder).isDir())
        return commandFailure(QStringLiteral("the folder %1 does not exist").arg(sFolder));

    QString sUsername;
    int nResult = 0;
    const QString sOpenError = openPackageForCommand(sPackagePath, irPackage, sUsername, nResult);
    if (!sOpenError.isEmpty())
        return commandFailure(sOpenError);
    // As in the window, a wrong authority password goes on under retention.
    if (nResult == 2)
        commandWarning(QStringLiteral("the authority password was not accepted; expired recordings are skipped"));

    ReviewDocument aDocument;
    QString sError;
    const ReviewDocument::LoadResult nLoad
        = aDocument.loadFile(irCommandLine.sReviewPath, readPackageInfo(sPackagePath), &sError);
    if (nLoad == ReviewDocument::LoadResult::Failed)
        return commandFailure(QStringLiteral("%1: %2").arg(irCommandLine.sReviewPath, sError));
    if (nLoad == ReviewDocument::LoadResult::LoadedOtherPackage)
        commandWarning(QStringLiteral("%1 was made for another package; recordings of matching calls are exported")
                 .arg(irCommandLine.sReviewPath));

    BatchExport aExport(&irPackage, BatchExport::fromReview(aDocument.calls()), sFolder,
                        RedactionStage::fillFromText(irCommandLine.sRedactWith));
    const QStringList aExisting = aExport.existingNames();
    if (!irCommandLine.bOverwrite && !aExisting.isEmpty())
        return commandFailure(QStringLiteral("these files exist in %1 already (give --overwrite to replace them): %2")
                        .arg(QDir::toNativeSeparators(sFolder), aExisting.join(QStringLiteral(", "))));
    const BatchExport::Result aResult = aExport.run(irCommandLine.bOverwrite);
    if (!aResult.ok())
        return commandFailure(aResult.sError.isEmpty() ? QStringLiteral("the export stopped") : aResult.sError);
    std::fprintf(stdout, "%s\n", aResult.summary().toLocal8Bit().constData());
    std::fflush(stdout);
    return 0;
}
