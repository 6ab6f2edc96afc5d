#ifndef PASSWORDDIALOG_H
#define PASSWORDDIALOG_H

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Small modeless prompt for the four-digit supervisor password. It only
// collects the text; the window decides whether it is right.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget *parent = nullptr);

    QString getPassword() const;

signals:
    void passwordReady(QString passEntered);

public slots:
    void accept() override;
    void reject() override;

private:
    QString password;
    QDialogButtonBox *buttonBox;
    QLineEdit *passwordEdit;
    QLabel *promptLabel;
};

#endif // PASSWORDDIALOG_H
