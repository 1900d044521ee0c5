// Locale menu and the authority override.
#include "VornViewer.h"

#include "CallIndexChannel.h"
#include "Package.h"

#include <QAction>
#include <QInputDialog>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>
#include <QWebEngineView>

void VornViewer::authorityOverride()
{
    bool bOk = false;
    const QString sPassword = QInputDialog::getText(this, tr("Authority password"),
        tr("Please enter the password for authority access:"), QLineEdit::Password, QString(), &bOk);
    if (!bOk || sPassword.isEmpty())
        return;
    if (mpPackage->checkAuthorityPassword(sPassword)) {
        mpPackage->disableCallExpiration();
        if (auto* pCalls = findChild<CallIndexChannel*>())
            pCalls->open(*mpPackage);
        setAuthorityOverrideActive();
        mpWebView->load(QUrl(QStringLiteral("http://127.0.0.1:%1/index.html").arg(mnHttpPort)));
    } else {
        QMessageBox::warning(this, tr("Invalid password"), tr("The password did not match!"));
    }
}

void VornViewer::setAuthorityOverrideActive()
{
    mpAuthorityAction->setEnabled(false);
    mpAuthorityAction->setToolTip(tr("Authority override activated"));
}

void VornViewer::resetAuthorityOverride()
{
    mpAuthorityAction->setEnabled(true);
    mpAuthorityAction->setToolTip(tr("Authority override"));
}

void VornViewer::clearLocaleMenu()
{
    mpLocaleMenu->clear();
    for (QAction*& pAction : maLocaleActions) {
        delete pAction;
        pAction = nullptr;
    }
    mpLocaleMenu->menuAction()->setEnabled(false);
    mpLocaleMenu->menuAction()->setVisible(false);
}

void VornViewer::updateLocaleMenu()
{
    clearLocaleMenu();
    // Every label carries its code in parentheses: localeSwitchTriggered reads it back.
    QMap<QString, QString> aLabels {
        { QStringLiteral("ar_SA"), tr("Arabic (ar_SA)") },
        { QStringLiteral("da_DK"), tr("Danish (da_DK)") },
        { QStringLiteral("de_DE"), tr("German (de_DE)") },
        { QStringLiteral("de_CH"), tr("German (de_CH)") },
        { QStringLiteral("de_AT"), tr("German (de_AT)") },
        { QStringLiteral("en_AU"), tr("English (en_AU)") },
        { QStringLiteral("en_GB"), tr("English (en_GB)") },
        { QStringLiteral("en_IE"), tr("English (en_IE)") },
        { QStringLiteral("en_US"), tr("English (en_US)") },
        { QStringLiteral("fr_CH"), tr("French (fr_CH)") },
        { QStringLiteral("fr_FR"), tr("French (fr_FR)") },
        { QStringLiteral("hu_HU"), tr("Hungarian (hu_HU)") },
        { QStringLiteral("lt_LT"), tr("Lithuanian (lt_LT)") },
        { QStringLiteral("nb_NO"), tr("Norwegian (nb_NO)") },
        { QStringLiteral("pl_PL"), tr("Polish (pl_PL)") },
        { QStringLiteral("ru_RU"), tr("Russian (ru_RU)") },
        { QStringLiteral("sk_SK"), tr("Slovak (sk_SK)") },
        { QStringLiteral("sl_SI"), tr("Slovenian (sl_SI)") },
        { QStringLiteral("tr_TR"), tr("Turkish (tr_TR)") },
    };
    const QStringList saCodes = mpPackage->locales();
    const int nCount = qMin(saCodes.size(), int(kLocaleSlots));
    for (int i = 0; i < nCount; ++i) {
        const QString& sCode = saCodes.at(i);
        auto* pAction = new QAction(aLabels[sCode], this);
        maLocaleActions[size_t(i)] = pAction;
        mpLocaleMenu->addAction(pAction);
        if (sCode == msLocale) {
            mpLocaleMenu->setTitle(pAction->text());
            mpLocaleMenu->setDefaultAction(pAction);
        }
    }
    mpLocaleMenu->menuAction()->setEnabled(true);
    mpLocaleMenu->menuAction()->setVisible(true);
}

void VornViewer::localeSwitchTriggered(QAction* ipaLocaleAction)
{
    mpLocaleMenu->setDefaultAction(ipaLocaleAction);
    mpLocaleMenu->setTitle(ipaLocaleAction->text());
    const QString sCode = ipaLocaleAction->text().split(QRegExp(QStringLiteral("[()]"))).value(1);
    loadPackageHtml(sCode);
}
