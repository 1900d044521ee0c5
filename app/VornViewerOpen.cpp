// Opening a package: file choice, credentials, result handling and the
// package's page.
#include "VornViewer.h"

#include "Package.h"

#include <QDebug>
#include <QFileDialog>
#include <QStandardPaths>

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
    // Reading and authenticating the package joins once the package reader exists.
}

void VornViewer::loadPackageHtml(const QString&)
{
}

void VornViewer::openWithTimeOffset(int)
{
}

void VornViewer::authorityOverride()
{
}

void VornViewer::updateLocaleMenu()
{
    clearLocaleMenu();
}

void VornViewer::localeSwitchTriggered(QAction*)
{
}
