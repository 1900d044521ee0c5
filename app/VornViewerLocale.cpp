// Locale menu and the state of the authority override action.
#include "VornViewer.h"

#include <QAction>
#include <QMenu>

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
