// Opening a package: file choice, type check, credentials, result handling
// and the package's page.
#include "VornViewer.h"

#include "AnalyticsChannel.h"

#include "AudioPlayer.h"
#include "CallIndexChannel.h"
#include "InputDialog.h"
#include "Package.h"
#include "ReviewChannel.h"
#include "ReviewDocument.h"
#include "TimeVerification.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QWebEngineView>

namespace {

void warn(QWidget* ipaParent, const QString& isText)
{
    QMessageBox::warning(ipaParent, VornViewer::tr("VORN Viewer"), isText);
}

// "Authority password invalid. Continue anyway?": only an explicit No refuses.
bool continueWithoutAuthority()
{
    QMessageBox aBox(QMessageBox::Question, VornViewer::tr("VORN Viewer"),
        VornViewer::tr("Authority password invalid. Continue anyway?"));
    QPushButton* pYes = aBox.addButton(VornViewer::tr("Yes"), QMessageBox::YesRole);
    QPushButton* pNo = aBox.addButton(VornViewer::tr("No"), QMessageBox::NoRole);
    aBox.setDefaultButton(pYes);
    aBox.setEscapeButton(pNo);
    aBox.exec();
    return aBox.clickedButton() != pNo;
}

} // namespace

void VornViewer::open(const QString& isFileNameFromArgs)
{
    QString sPath = isFileNameFromArgs;
    if (sPath.isEmpty()) {
        sPath = QFileDialog::getOpenFileName(this, tr("Open VORN Analysis Package"),
            QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), tr("VORN Analysis Packages (*.pkg)"));
        if (sPath.isEmpty())
            return;
    }
    qInfo() << "Open package file: " << sPath;

    quint32 nType = 0;
    if (Package::checkMagic(sPath, nType) == -1) {
        warn(this, tr("This is not a valid VORN package file!"));
        return;
    }
    if (nType < 2) {
        qWarning() << "Package has type " << nType;
        const QString sLegacy = QCoreApplication::applicationDirPath() + QStringLiteral("/legacy/VornViewerOG.exe");
        if (QFileInfo::exists(sLegacy))
            QProcess::startDetached(sLegacy, { sPath });
        else
            warn(this,
                tr("This package is not compatible with this version of VORN Viewer. Try opening this package with "
                   "an earlier version of VORN Viewer."));
        return;
    }
    if (nType >= 4) {
        qWarning() << "Package has type " << nType;
        warn(this,
            tr("This package is not compatible with this version of VORN Viewer. Try opening this package with an "
               "newer version of VORN Viewer."));
        return;
    }

    if (!confirmReviewSaved())
        return;

    QString sUsername;
    QString sPassword;
    QString sAuthorityPassword;
    if (Package::isEncryptedType(nType)) {
        InputDialog aDialog;
        if (!aDialog.getCredentials(sUsername, sPassword, sAuthorityPassword))
            return;
    }

    // A verification still waiting for the package before must not reopen
    // that one over this one.
    mpTimeVerification->cancel();
    mpPackage->setTimeOffset(0);
    mpAudioPlayer->unload();
    mpPackage->closePackage();
    mpReviewDocument->clear();
    setReviewActionsEnabled(false);
    msReviewer = sUsername;
    if (auto* pAnalytics = findChild<AnalyticsChannel*>())
        pAnalytics->clear();
    if (auto* pCalls = findChild<CallIndexChannel*>())
        pCalls->clear();

    const int nResult = mpPackage->openPackage(sPath, sUsername, sPassword, sAuthorityPassword, false);
    msPackagePath = sPath;
    if (nResult == -5) {
        // Kept for the second open once a verified time has arrived.
        msUsername = sUsername;
        msPassword = sPassword;
        msAuthorityPassword = sAuthorityPassword;
        mpTimeVerification->start(mpPackage->timeVerifyUrl1(), mpPackage->timeVerifyUrl2(),
            mpPackage->timeVerificationKey());
        return;
    }
    handleOpenResult(nResult, false);
}

void VornViewer::openWithTimeOffset(int inTimeOffset)
{
    mpPackage->setTimeOffset(inTimeOffset);
    handleOpenResult(
        mpPackage->openPackage(msPackagePath, msUsername, msPassword, msAuthorityPassword, true), true);
}

void VornViewer::handleOpenResult(int inResult, bool ibAfterVerification)
{
    switch (inResult) {
    case 0:
        resetAuthorityOverride();
        break;
    case 1:
        setAuthorityOverrideActive();
        break;
    case 2:
        if (!continueWithoutAuthority()) {
            home();
            return;
        }
        resetAuthorityOverride();
        break;
    default: {
        // After a verification the user is told which credential failed.
        QString sMessage = tr("Package could not be opened (Generic error)");
        if (inResult == -1)
            sMessage = ibAfterVerification ? tr("Password invalid") : tr("Cannot authenticate user");
        else if (inResult == -3)
            sMessage = ibAfterVerification ? tr("Username invalid") : tr("Cannot authenticate user");
        else if (inResult == -2)
            sMessage = tr("Error decoding package");
        warn(this, sMessage);
        home();
        return;
    }
    }
    showOpenedPackage();
}

void VornViewer::showOpenedPackage()
{
    msLocale = mpPackage->defaultLocale();
    updateLocaleMenu();
    setReviewActionsEnabled(true);
    // Indexed while the page loads; the page asks whether it is ready.
    if (auto* pCalls = findChild<CallIndexChannel*>())
        pCalls->open(*mpPackage);
    loadPackageHtml(QString());
    emit packageShown();
}

void VornViewer::loadPackageHtml(const QString& isLocale)
{
    if (mpPackage->authorityOverrideOffered() && mpPackage->hasExpiredContent()) {
        qDebug() << "Expired calls found and authority override available";
        mpAuthorityAction->setVisible(true);
    } else {
        qDebug() << "No authority override and/or no expired calls";
        mpAuthorityAction->setVisible(false);
    }
    const QString sLocale = isLocale.isEmpty() ? msLocale : isLocale;
    msPageLocale = sLocale;
    const QString sFileName = QFileInfo(msPackagePath).fileName();
    qInfo() << "loadPackageHtml(" << sFileName << "):" << msPackagePath;
    setWindowTitle(tr("VORN Viewer  |  %1").arg(sFileName));
    mpWebView->load(QUrl(QStringLiteral("http://127.0.0.1:%1/index.html?lang=%2").arg(mnHttpPort).arg(sLocale)));

    if (mpPackage->hasExpiredContent()) {
        const int nCalls = mpPackage->expiredCallCount();
        const int nMedia = mpPackage->expiredMediaCount();
        QStringList saPieces { tr("This package contains") };
        if (nCalls > 0)
            saPieces << QString::number(nCalls) << tr("expired calls");
        if (nCalls > 0 && nMedia > 0)
            saPieces << tr("and");
        if (nMedia > 0)
            saPieces << QString::number(nMedia) << tr("calls with expired media");
        warn(this, saPieces.join(QLatin1Char(' ')));
    }
}
