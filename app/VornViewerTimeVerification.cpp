// The waiting box and the URL prompt shown while a package waits for a
// verified time.
#include "VornViewer.h"

#include "Package.h"
#include "TimeVerification.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

void VornViewer::showTimeVerificationProgress(const QString& isUrl)
{
    if (!mbTimeVerificationCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        mbTimeVerificationCursor = true;
    }
    // Every verification gets a new box; the one before is hidden by now.
    if (mpTimeVerificationBox)
        mpTimeVerificationBox->deleteLater();
    mpTimeVerificationBox = new QMessageBox(QMessageBox::Information, tr("Time verification progress..."),
        tr("Waiting for ") + isUrl, QMessageBox::Ok);
    mpTimeVerificationBox->show();
}

void VornViewer::updateTimeVerificationProgress(const QString& isUrl)
{
    if (mpTimeVerificationBox)
        mpTimeVerificationBox->setText(tr("Waiting for ") + isUrl);
}

void VornViewer::hideTimeVerificationProgress()
{
    if (mpTimeVerificationBox)
        mpTimeVerificationBox->hide();
    if (mbTimeVerificationCursor) {
        QApplication::restoreOverrideCursor();
        mbTimeVerificationCursor = false;
    }
}

void VornViewer::askForTimeVerificationUrl()
{
    bool bOk = false;
    const QString sUrl = QInputDialog::getText(this, tr("Time verification failed"),
        tr("Please enter a valid URL to verify time:"), QLineEdit::Normal, QString(), &bOk);
    if (!bOk || sUrl.isEmpty())
        return;
    mpTimeVerification->start(sUrl, QString(), mpPackage->timeVerificationKey());
}
