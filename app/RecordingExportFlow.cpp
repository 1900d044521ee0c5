#include "RecordingExportFlow.h"

#include "BatchExport.h"
#include "ReviewNote.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace {
struct RecordingExportFlow
{
    Q_DECLARE_TR_FUNCTIONS(RecordingExportFlow)
};
} // namespace

void exportRecordingsInteractively(QWidget* ipParent, Package* ipPackage, const QVector<ReviewCall>& irCalls,
                                   RedactionStage::Fill inFill)
{
    const QString sTitle = RecordingExportFlow::tr("Export Recordings");
    if (irCalls.isEmpty()) {
        QMessageBox::information(ipParent, sTitle, RecordingExportFlow::tr("There are no reviewed calls to export."));
        return;
    }
    const QString sFolder = QFileDialog::getExistingDirectory(ipParent, RecordingExportFlow::tr("Choose the folder for the recordings"));
    if (sFolder.isEmpty())
        return;
    BatchExport aExport(ipPackage, BatchExport::fromReview(irCalls), sFolder, inFill);
    const QStringList aExisting = aExport.existingNames();
    if (!aExisting.isEmpty()
        && QMessageBox::question(ipParent, sTitle,
                                 RecordingExportFlow::tr("These files exist in the folder already:\n%1\n\nReplace them?")
                                     .arg(aExisting.join(QLatin1Char('\n'))),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;

    QProgressDialog aProgress(RecordingExportFlow::tr("Exporting recordings..."), RecordingExportFlow::tr("Cancel"), 0, 1, ipParent);
    aProgress.setWindowTitle(sTitle);
    aProgress.setWindowModality(Qt::WindowModal);
    aProgress.setMinimumDuration(0);
    aProgress.setAutoClose(false);
    aProgress.setAutoReset(false);
    const BatchExport::Result aResult = aExport.run(true, [&](int inDone, int inTotal, const QString& irsName) {
        aProgress.setMaximum(qMax(1, inTotal));
        if (!irsName.isEmpty())
            aProgress.setLabelText(QDir::toNativeSeparators(QDir(sFolder).filePath(irsName)));
        aProgress.setValue(inDone); // a modal progress dialog handles events here
        QCoreApplication::processEvents();
        return !aProgress.wasCanceled();
    });
    aProgress.close();
    if (aResult.ok())
        QMessageBox::information(ipParent, sTitle, aResult.summary());
    else
        QMessageBox::warning(ipParent, sTitle, aResult.summary());
}
