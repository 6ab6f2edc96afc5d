#include "PasswordDialog.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(QWidget *parent)
    : QDialog(parent),
      buttonBox(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      passwordEdit(new QLineEdit(this)),
      promptLabel(new QLabel(QStringLiteral("Enter the password for Supervisor mode:"), this))
{
    promptLabel->setStyleSheet(QStringLiteral("font: bold"));

    passwordEdit->setMaxLength(4);
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setValidator(new QIntValidator(0, 9999, this));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(passwordEdit);
    layout->addWidget(buttonBox);

    // Typing starts at once; Return then presses OK, the default button.
    passwordEdit->setFocus();

    connect(buttonBox, &QDialogButtonBox::accepted, this, &PasswordDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &PasswordDialog::reject);

    setWindowTitle(QStringLiteral("Enter password:"));
}

QString PasswordDialog::getPassword() const
{
    qDebug() << "getPassword()";
    return password;
}

// The text is signalled before the dialog finishes, so whoever listens to
// both has the password in hand when the result arrives.
void PasswordDialog::accept()
{
    qDebug() << "accept()";
    password = passwordEdit->text();
    emit passwordReady(password);
    QDialog::accept();
}

void PasswordDialog::reject()
{
    qDebug() << "reject()";
    password.clear();
    QDialog::reject();
}
