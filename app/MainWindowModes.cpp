// Operator and supervisor modes.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "BusyControls.h"
#include "HistoryEvents.h"
#include "IdleTimeout.h"
#include "PasswordDialog.h"

#include <QDebug>
#include <QLabel>
#include <QMenu>

void MainWindow::on_actionSupervisor_Mode_triggered()
{
    // A second prompt would let a late OK enter Supervisor mode twice.
    if (openPasswordDialog) {
        openPasswordDialog->raise();
        openPasswordDialog->activateWindow();
        return;
    }

    openPasswordDialog = new PasswordDialog(nullptr);
    connect(openPasswordDialog, &PasswordDialog::passwordReady, this, &MainWindow::passEntered);
    connect(openPasswordDialog, &QDialog::finished, this, &MainWindow::passDialogFinished);
    connect(openPasswordDialog, &QDialog::finished, openPasswordDialog, &QObject::deleteLater);
    openPasswordDialog->show();
}

void MainWindow::passEntered(QString passwordEntered)
{
    enteredPassword = passwordEntered;
}

void MainWindow::passDialogFinished(int result)
{
    openPasswordDialog = nullptr; // the finished dialog deletes itself

    const QString stored = AppSettings().superPassword();
    // The debug stream may end up in a log file: the secret stays out of it.
    qDebug() << "Current Password: (not shown)";

    if (result != QDialog::Accepted)
        return;
    if (const int wait = passwordAttempts.secondsToWait()) {
        showNotice(QStringLiteral("Too many wrong passwords: try again in %1 s.").arg(wait));
        return;
    }
    // No stored password (none, or a store that cannot be read) opens nothing.
    if (!stored.isEmpty() && enteredPassword == stored) {
        qDebug() << "Enter supervisor mode, password correct\n";
        passwordAttempts.succeeded();
        enterSupervisorMode();
    } else {
        qDebug() << "Password incorrect.";
        history->record(HistoryEvents::wrongPassword());
        const int wait = passwordAttempts.failed();
        showNotice(wait > 0 ? QStringLiteral("Wrong password. Try again in %1 s.").arg(wait)
                            : QStringLiteral("Wrong password."));
    }
}

// The docks' context menu offers only what the mode allows: in Operator mode
// no supervisor's dock.
QMenu *MainWindow::createPopupMenu()
{
    QMenu *menu = QMainWindow::createPopupMenu();
    if (menu && !supervisorMode)
        menu->removeAction(ui->bulkAdjustDock->toggleViewAction());
    return menu;
}

void MainWindow::on_actionOperator_Mode_triggered()
{
    history->record(HistoryEvents::supervisorLeft());
    enterOperatorMode();
}

void MainWindow::setupSupervisorTimeout()
{
    supervisorIdle = new IdleTimeout([this] { return busy->isBusy() || transmitting; }, this);
    connect(supervisorIdle, &IdleTimeout::expired, this, &MainWindow::supervisorIdleExpired);
    ui->supervisorTimeout->setValue(AppSettings().supervisorTimeout());
    supervisorTimeoutChanged(ui->supervisorTimeout->value());
    connect(ui->supervisorTimeout, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MainWindow::supervisorTimeoutChanged);
}

void MainWindow::supervisorTimeoutChanged(int minutes)
{
    AppSettings().setSupervisorTimeout(minutes);
    supervisorIdle->setInterval(minutes * 60 * 1000);
}

// As if the user chose Operator mode, once no exchange or transmission runs.
void MainWindow::supervisorIdleExpired()
{
    history->record(HistoryEvents::supervisorLeft(ui->supervisorTimeout->value()));
    enterOperatorMode();
}

void MainWindow::enterSupervisorMode()
{
    // Already there: inserting the profile tab again would show it twice.
    if (supervisorMode)
        return;

    ui->centralTabWidget->insertTab(0, ui->tabDispenseProfile, tr("Dispense Profile"));
    ui->centralTabWidget->setCurrentIndex(0);

    ui->actionSupervisor_Mode->setVisible(false);
    ui->actionOperator_Mode->setVisible(true);
    ui->actionBulk_Adjust_Dispense_Profile->setVisible(true);
    ui->menuProfile->menuAction()->setVisible(true);

    ui->bulkAdjustDock->show();
    ui->bulkAdjustDock->raise(); // above the job list it shares its place with
    ui->actionBulk_Adjust_Dispense_Profile->setChecked(true);

    modeLabel->setText(tr("Supervisor Mode"));
    supervisorMode = true;
    history->setSupervisor(true);
    history->record(HistoryEvents::supervisorEntered());
    supervisorIdle->start();

    showLockoutPage();
    // The mode must take hold even when the dispenser does not answer the
    // lockout read, after which the page stops short.
    applyLockoutEnabling();
    ui->groupBox_7->setEnabled(supervisorMode);
    ui->groupBox_5->setEnabled(supervisorMode);
    ui->supervisorTimeoutGroup->setEnabled(supervisorMode);
}

void MainWindow::enterOperatorMode()
{
    // The user may have dragged the profile tab away from index 0.
    ui->centralTabWidget->removeTab(ui->centralTabWidget->indexOf(ui->tabDispenseProfile));
    modeLabel->setText(tr("Operator Mode"));

    ui->actionSupervisor_Mode->setVisible(true);
    ui->actionOperator_Mode->setVisible(false);
    ui->actionBulk_Adjust_Dispense_Profile->setVisible(false);
    ui->menuProfile->menuAction()->setVisible(false);

    ui->bulkAdjustDock->close();
    supervisorMode = false;
    history->setSupervisor(false);
    supervisorIdle->stop();

    showLockoutPage();
    // The mode must take hold even when the dispenser does not answer the
    // lockout read, after which the page stops short.
    applyLockoutEnabling();
    ui->groupBox_7->setEnabled(supervisorMode);
    ui->groupBox_5->setEnabled(supervisorMode);
    ui->supervisorTimeoutGroup->setEnabled(supervisorMode);
}
