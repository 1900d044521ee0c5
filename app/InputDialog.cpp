#include "InputDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

InputDialog::InputDialog()
    : QDialog(nullptr)
    , mpUsernameEdit(new QLineEdit(this))
    , mpPasswordEdit(new QLineEdit(this))
    , mpAuthorityPasswordEdit(new QLineEdit(this))
    , mpButtonBox(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setModal(true);
    setWindowTitle(tr("Please enter user name and password"));
    setMinimumWidth(350);
    mpPasswordEdit->setEchoMode(QLineEdit::Password);
    mpAuthorityPasswordEdit->setEchoMode(QLineEdit::Password);

    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(tr("Username:"), mpUsernameEdit);
    pLayout->addRow(tr("Password:"), mpPasswordEdit);
    pLayout->addRow(tr("Authority password (optional):"), mpAuthorityPasswordEdit);
    pLayout->addRow(mpButtonBox);
    connect(mpButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(mpButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

InputDialog::~InputDialog() = default;

bool InputDialog::getCredentials(QString& irsUsername, QString& irsPassword, QString& irsAuthorityPassword)
{
    while (irsUsername.isEmpty() || irsPassword.isEmpty()) {
        if (exec() != QDialog::Accepted)
            return false;
        irsUsername = mpUsernameEdit->text().trimmed();
        irsPassword = mpPasswordEdit->text().trimmed();
        irsAuthorityPassword = mpAuthorityPasswordEdit->text().trimmed();
    }
    accept();
    return true;
}
