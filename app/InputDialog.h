#pragma once
#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

// Asks for user name, password and an optional authority password.
class InputDialog : public QDialog
{
    Q_OBJECT
public:
    InputDialog();
    ~InputDialog() override;

    // Shows the dialog until user name and password are both given (the
    // fields keep what was typed between rounds). False when cancelled.
    bool getCredentials(QString& irsUsername, QString& irsPassword, QString& irsAuthorityPassword);

private:
    QLineEdit* mpUsernameEdit;
    QLineEdit* mpPasswordEdit;
    QLineEdit* mpAuthorityPasswordEdit;
    QDialogButtonBox* mpButtonBox;
};
