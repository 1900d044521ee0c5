#include "VornViewer.h"

#include "AnalyticsChannel.h"
#include "CallIndexChannel.h"

#include "AudioPlayer.h"
#include "FreedMemory.h"
#include "Package.h"
#include "ReviewChannel.h"
#include "ReviewDocument.h"
#include "TimeVerification.h"
#include "WebRendering.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QCloseEvent>
#include <QDebug>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QToolBar>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

constexpr qreal kMaxZoom = 2.0;
// Zooming out stops at 0.5: the factor steps by 0.1 and floating point
// error would otherwise leave it just above the bound.
constexpr qreal kZoomOutFloor = 0.55;
constexpr qreal kZoomStep = 0.1;

} // namespace

VornViewer::VornViewer(Package* ipaPackage, AudioPlayer* ipaAudioPlayer, int inHttpPort)
    : mpPackage(ipaPackage)
    , mpAudioPlayer(ipaAudioPlayer)
    , mnHttpPort(inHttpPort)
{
    // Before the web engine starts: the viewer is kept open all day.
    returnFreedLargeBuffers();
    setWindowTitle(tr("VORN Viewer"));
    mpTimeVerification = new TimeVerification(this);
    connect(mpTimeVerification, &TimeVerification::waitingStarted, this, &VornViewer::showTimeVerificationProgress);
    connect(mpTimeVerification, &TimeVerification::waitingMoved, this, &VornViewer::updateTimeVerificationProgress);
    connect(mpTimeVerification, &TimeVerification::waitingEnded, this, &VornViewer::hideTimeVerificationProgress);
    connect(mpTimeVerification, &TimeVerification::timeVerified, this, &VornViewer::openWithTimeOffset);
    connect(mpTimeVerification, &TimeVerification::urlWanted, this, &VornViewer::askForTimeVerificationUrl);
    createActions();
    createReviewActions();
    createToolBar();
    maLocaleActions.fill(nullptr);
    setMinimumSize(1024, 768);
    mpToolBar->resize(1024, mpToolBar->height());
    chooseWebRendering();
    createWebView();
    loadStartPage();
}

VornViewer::~VornViewer()
{
    // The waiting box has no parent; it goes with the window, and no reply
    // may call back into a window that is going.
    mpTimeVerification->cancel();
    delete mpTimeVerificationBox;
}

void VornViewer::closeEvent(QCloseEvent* ipaEvent)
{
    if (!confirmReviewSaved()) {
        ipaEvent->ignore();
        return;
    }
    // Left open, the parentless waiting box would keep the program running.
    mpTimeVerification->cancel();
    if (mpTimeVerificationBox)
        mpTimeVerificationBox->hide();
    QMainWindow::closeEvent(ipaEvent);
}

void VornViewer::createActions()
{
    mpHomeAction = new QAction(QIcon(QStringLiteral(":/resources/blue_house.png")), tr("Home (Ctrl+H)"), this);
    mpHomeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(mpHomeAction, &QAction::triggered, this, &VornViewer::home);

    mpOpenAction
        = new QAction(QIcon(QStringLiteral(":/resources/blue_package.png")), tr("Open package (Ctrl+O)"), this);
    mpOpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(mpOpenAction, &QAction::triggered, this, [this] { open(); });

    // Closed lock while the override can be asked for, open lock once it is
    // granted (the action is then disabled).
    QIcon aLockIcon;
    aLockIcon.addFile(QStringLiteral(":/resources/blue_lock.png"), QSize(), QIcon::Normal);
    aLockIcon.addFile(QStringLiteral(":/resources/blue_lock_open.png"), QSize(), QIcon::Disabled);
    mpAuthorityAction = new QAction(aLockIcon, tr("Authority override"), this);
    connect(mpAuthorityAction, &QAction::triggered, this, &VornViewer::authorityOverride);
    mpAuthorityAction->setVisible(false);

    mpZoomInAction = new QAction(QIcon(QStringLiteral(":/resources/zoom-in.png")), tr("Zoom in (Ctrl++)"), this);
    mpZoomInAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    connect(mpZoomInAction, &QAction::triggered, this, &VornViewer::zoomIn);

    mpZoomOutAction = new QAction(QIcon(QStringLiteral(":/resources/zoom-out.png")), tr("Zoom out (Ctrl+-)"), this);
    mpZoomOutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(mpZoomOutAction, &QAction::triggered, this, &VornViewer::zoomOut);

    mpAboutAction = new QAction(QIcon(QStringLiteral(":/resources/info-sign.png")), tr("About"), this);
    connect(mpAboutAction, &QAction::triggered, this, &VornViewer::showInfo);
}

void VornViewer::createToolBar()
{
    mpToolBar = addToolBar(tr("Main toolbar"));
    mpToolBar->setIconSize(QSize(24, 24));
    mpToolBar->setFloatable(false);
    mpToolBar->addAction(mpHomeAction);
    mpToolBar->addAction(mpOpenAction);
    mpToolBar->addAction(mpAuthorityAction);

    mpSpacer = new QWidget();
    mpSpacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    mpSpacer->setVisible(true);
    mpToolBar->addWidget(mpSpacer);

    mpLocaleMenu = new QMenu();
    mpToolBar->addAction(mpLocaleMenu->menuAction());
    mpLocaleMenu->menuAction()->setVisible(false);
    connect(mpLocaleMenu, &QMenu::triggered, this, &VornViewer::localeSwitchTriggered);

    mpToolBar->addSeparator();
    mpToolBar->addAction(mpSaveReviewAction);
    mpToolBar->addAction(mpOpenReviewAction);
    mpToolBar->addAction(mpReportAction);
    mpToolBar->addAction(mpExportRecordingsAction);

    mpToolBar->addSeparator();
    mpToolBar->addAction(mpZoomInAction);
    mpToolBar->addAction(mpZoomOutAction);
    mpToolBar->addSeparator();
    mpToolBar->addAction(mpAboutAction);
    mpToolBar->addWidget(mpAudioPlayer);
}

void VornViewer::createWebView()
{
    mpWebView = new QWebEngineView(this);
    mpWebProfile = new QWebEngineProfile();
    mpWebPage = new QWebEnginePage(mpWebProfile, mpWebView);
    mpWebView->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    mpWebView->setPage(mpWebPage);

    setCentralWidget(mpWebView);
    mpWebView->setFocus();

    auto* pChannel = new QWebChannel(mpWebView->page());
    pChannel->registerObject(QStringLiteral("VornViewer"), this);
    pChannel->registerObject(QStringLiteral("AudioPlayer"), mpAudioPlayer);
    pChannel->registerObject(QStringLiteral("Review"), mpReviewChannel);
    pChannel->registerObject(QStringLiteral("Calls"), new CallIndexChannel(this));
    auto* pAnalytics = new AnalyticsChannel(mpPackage, this);
    pChannel->registerObject(QStringLiteral("Analytics"), pAnalytics);
    connect(pAnalytics, &AnalyticsChannel::saveRequested, this, [this, pAnalytics](const QString& isName) {
        const QString sPath =
            QFileDialog::getSaveFileName(this, QCoreApplication::translate("AudioPlayer", "Save File"), isName);
        if (!sPath.isEmpty())
            pAnalytics->writeCsv(sPath);
    });
    mpWebView->page()->setWebChannel(pChannel);
}

void VornViewer::home()
{
    if (!confirmReviewSaved())
        return;
    mpReviewDocument->clear();
    setReviewActionsEnabled(false);
    mpTimeVerification->cancel();
    mpAuthorityAction->setVisible(false);
    resetAuthorityOverride();
    clearLocaleMenu();
    mpAudioPlayer->unload();
    mpPackage->closePackage();
    if (auto* pAnalytics = findChild<AnalyticsChannel*>())
        pAnalytics->clear();
    if (auto* pCalls = findChild<CallIndexChannel*>())
        pCalls->clear();
    loadStartPage();
    setWindowTitle(tr("VORN Viewer"));
}

void VornViewer::zoomIn()
{
    const qreal fZoom = mpWebView->zoomFactor();
    if (fZoom < kMaxZoom) {
        mpWebView->setZoomFactor(fZoom + kZoomStep);
        qInfo() << "Zoomed in, zoom factor: " << mpWebView->zoomFactor();
    }
}

void VornViewer::zoomOut()
{
    const qreal fZoom = mpWebView->zoomFactor();
    if (fZoom > kZoomOutFloor) {
        mpWebView->setZoomFactor(fZoom - kZoomStep);
        qInfo() << "Zoomed out, zoom factor: " << mpWebView->zoomFactor();
    }
}

void VornViewer::keyPressEvent(QKeyEvent* ipaEvent)
{
    const bool bCtrlPressed = ipaEvent->modifiers() == Qt::ControlModifier;
    if (bCtrlPressed)
        qDebug() << "bCtrlPressed = true ";
    qDebug() << "ipaEvent->key(): " << ipaEvent->key();

    if (bCtrlPressed && ipaEvent->key() == Qt::Key_Minus) {
        emit zoomOutTriggered();
        return;
    }
    if (bCtrlPressed && (ipaEvent->key() == Qt::Key_Plus || ipaEvent->key() == Qt::Key_BracketRight)) {
        emit zoomInTriggered();
        return;
    }
    QMainWindow::keyPressEvent(ipaEvent);
}

void VornViewer::showInfo()
{
    const QString sText = tr("Version %1").arg(QStringLiteral("7.12"))
        + QStringLiteral("<br /><br />"
                         "Built with Qt version 5.15.2<br />"
                         "Viewer for VORN call-analysis packages.<br />"
                         "Uses Crypto++, libogg, FFmpeg and opencore-amr.");
    QMessageBox::about(this, tr("About VORN Viewer"), sText);
}
