// The review of the open package: saving and opening review files, the
// report, and the question before unsaved notes would be lost.
#include "VornViewer.h"

#include "Package.h"
#include "RecordingExportFlow.h"
#include "ReportPrinter.h"
#include "ReviewChannel.h"
#include "ReviewCsv.h"
#include "ReviewDocument.h"
#include "ReviewReport.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

void VornViewer::createReviewActions()
{
    mpReviewDocument = new ReviewDocument(this);
    mpReviewChannel = new ReviewChannel(mpReviewDocument, this);
    mpReportPrinter = new ReportPrinter(mnHttpPort, this);

    mpSaveReviewAction = new QAction(tr("Save Review"), this);
    mpSaveReviewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // The toolbar shows the shortcut beside the name.
    mpSaveReviewAction->setToolTip(mpSaveReviewAction->text() + QStringLiteral(" (%1)").arg(mpSaveReviewAction->shortcut().toString(QKeySequence::NativeText)));
    connect(mpSaveReviewAction, &QAction::triggered, this, [this] { saveReview(); });

    mpOpenReviewAction = new QAction(tr("Open Review"), this);
    mpOpenReviewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    // The toolbar shows the shortcut beside the name.
    mpOpenReviewAction->setToolTip(mpOpenReviewAction->text() + QStringLiteral(" (%1)").arg(mpOpenReviewAction->shortcut().toString(QKeySequence::NativeText)));
    connect(mpOpenReviewAction, &QAction::triggered, this, [this] { openReview(); });

    mpReportAction = new QAction(tr("Export Report"), this);
    mpReportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // The toolbar shows the shortcut beside the name.
    mpReportAction->setToolTip(mpReportAction->text() + QStringLiteral(" (%1)").arg(mpReportAction->shortcut().toString(QKeySequence::NativeText)));
    connect(mpReportAction, &QAction::triggered, this, [this] { exportReport(); });

    mpExportRecordingsAction = new QAction(tr("Export Recordings"), this);
    mpExportRecordingsAction->setObjectName(QStringLiteral("exportRecordingsAction"));
    connect(mpExportRecordingsAction, &QAction::triggered, this, [this] { exportRecordings(); });

    connect(mpReviewChannel, &ReviewChannel::saveRequested, mpSaveReviewAction, &QAction::trigger);
    connect(mpReviewChannel, &ReviewChannel::openRequested, mpOpenReviewAction, &QAction::trigger);
    connect(mpReviewChannel, &ReviewChannel::reportRequested, mpReportAction, &QAction::trigger);
    connect(mpReviewChannel, &ReviewChannel::exportRecordingsRequested, mpExportRecordingsAction, &QAction::trigger);
    connect(mpReportPrinter, &ReportPrinter::finished, this, [] { QApplication::restoreOverrideCursor(); });
    setReviewActionsEnabled(false);
}

void VornViewer::setReviewActionsEnabled(bool ibEnabled)
{
    mpSaveReviewAction->setEnabled(ibEnabled);
    mpOpenReviewAction->setEnabled(ibEnabled);
    mpReportAction->setEnabled(ibEnabled);
    mpExportRecordingsAction->setEnabled(ibEnabled);
}

ReviewPackageInfo VornViewer::reviewedPackage() const
{
    return readPackageInfo(msPackagePath);
}

bool VornViewer::confirmReviewSaved()
{
    if (!mpReviewDocument->isUnsaved())
        return true;
    QMessageBox aBox(QMessageBox::Question, tr("VORN Viewer"), tr("Save review?"), QMessageBox::NoButton, this);
    aBox.setObjectName(QStringLiteral("saveReviewQuestion"));
    aBox.setInformativeText(tr("The notes of this review have not been saved."));
    QPushButton* pSave = aBox.addButton(tr("Save"), QMessageBox::AcceptRole);
    QPushButton* pDiscard = aBox.addButton(tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton* pCancel = aBox.addButton(tr("Cancel"), QMessageBox::RejectRole);
    aBox.setDefaultButton(pSave);
    aBox.setEscapeButton(pCancel);
    aBox.exec();
    // Discarding leaves the notes to the caller, which replaces them
    // only once the step goes ahead.
    if (aBox.clickedButton() == pDiscard)
        return true;
    if (aBox.clickedButton() == pSave)
        return saveReview();
    return false;
}

bool VornViewer::saveReview()
{
    if (msPackagePath.isEmpty())
        return false;
    const QFileInfo aPackage(msPackagePath);
    const QString sProposed = aPackage.absolutePath() + QLatin1Char('/') + aPackage.completeBaseName()
        + QStringLiteral(".review.json");
    const QString sPath = QFileDialog::getSaveFileName(this, tr("Save Review"), sProposed,
                                                       tr("Review files (*.review.json *.json)"));
    if (sPath.isEmpty())
        return false;
    QString sError;
    if (!mpReviewDocument->saveFile(sPath, reviewedPackage(), msReviewer, &sError)) {
        QMessageBox::warning(this, tr("VORN Viewer"), tr("The review could not be saved: %1").arg(sError));
        return false;
    }
    return true;
}

void VornViewer::openReview(const QString& isPath)
{
    QString sPath = isPath;
    if (sPath.isEmpty()) {
        if (!confirmReviewSaved())
            return;
        sPath = QFileDialog::getOpenFileName(this, tr("Open Review"), QFileInfo(msPackagePath).absolutePath(),
                                             tr("Review files (*.review.json *.json)"));
        if (sPath.isEmpty())
            return;
    }
    QString sError;
    switch (mpReviewDocument->loadFile(sPath, reviewedPackage(), &sError)) {
    case ReviewDocument::LoadResult::Failed:
        QMessageBox::warning(this, tr("VORN Viewer"), tr("The review could not be opened: %1").arg(sError));
        break;
    case ReviewDocument::LoadResult::LoadedOtherPackage:
        QMessageBox::warning(this, tr("VORN Viewer"),
                             tr("This review was made for another package. The notes of calls found in this "
                                "package are shown; the others are kept and saved with the review."));
        break;
    case ReviewDocument::LoadResult::Loaded:
        break;
    }
}

void VornViewer::exportReport()
{
    if (msPackagePath.isEmpty())
        return;
    const QFileInfo aPackage(msPackagePath);
    const QString sPdfFilter = tr("PDF report (*.pdf)");
    const QString sCsvFilter = tr("CSV table (*.csv)");
    QString sFilter = sPdfFilter;
    QString sPath = QFileDialog::getSaveFileName(
        this, tr("Export Report"), aPackage.absolutePath() + QLatin1Char('/') + aPackage.completeBaseName()
            + QStringLiteral(".report.pdf"),
        sPdfFilter + QStringLiteral(";;") + sCsvFilter, &sFilter);
    if (sPath.isEmpty())
        return;
    const QString sSuffix = QFileInfo(sPath).suffix().toLower();
    if (sSuffix != QLatin1String("pdf") && sSuffix != QLatin1String("csv"))
        sPath += sFilter == sCsvFilter ? QStringLiteral(".csv") : QStringLiteral(".pdf");
    writeReport(sPath, [this](bool ibOk, const QString& isError) {
        if (!ibOk)
            QMessageBox::warning(this, tr("VORN Viewer"), tr("The report could not be written: %1").arg(isError));
    });
}

void VornViewer::writeReport(const QString& isPath, const std::function<void(bool, const QString&)>& irDone)
{
    if (isPath.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        QString sError;
        const bool bOk = writeFileSafely(isPath, reviewCsv(*mpReviewDocument), &sError);
        irDone(bOk, sError);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* pConnection = new QMetaObject::Connection;
    *pConnection = connect(mpReportPrinter, &ReportPrinter::finished, this,
                           [irDone, pConnection](bool ibOk, const QString& isError) {
                               QObject::disconnect(*pConnection);
                               delete pConnection;
                               irDone(ibOk, isError);
                           });
    mpReportPrinter->print(reviewReportData(*mpReviewDocument, QFileInfo(msPackagePath).fileName(), msReviewer,
                                            QDateTime::currentDateTimeUtc()),
                           msPageLocale, isPath);
}

void VornViewer::exportRecordings()
{
    if (msPackagePath.isEmpty() || !mpPackage->isPackageOpen())
        return;
    exportRecordingsInteractively(this, mpPackage, mpReviewDocument->calls(),
                                  RedactionStage::fillFromText(mpReviewChannel->redactWith()));
}
