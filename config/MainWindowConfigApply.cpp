// Configuration pages and Apply.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "ConfigPage.h"
#include "DispenserLink.h"

#include <QDebug>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>

namespace {

// A plain modal notice: no parent, no title, no icon, just OK.
void showNotice(const QString &text)
{
    QMessageBox box;
    box.setText(text);
    box.exec();
}

// Sets or clears the bits of one check box in a flag word.
int withBits(int word, int bits, bool set)
{
    return set ? (word | bits) : (word & ~bits);
}

} // namespace

void MainWindow::on_configApplyButton_clicked()
{
    const int index = ui->configStackWidget->currentIndex();
    const bool needsDispenser = index != CommPage && index != PasswordPage;
    if (needsDispenser && !link->isOpen()) {
        connectionLabel->setText(QStringLiteral("Connect First!"));
        return;
    }

    switch (index) {
    case PressureUnitsPage:
        link->setPressureUnits(state->pressureUnits); // reports its own failure
        break;
    case VacuumUnitsPage:
        link->setVacuumUnits(state->vacuumUnits);
        break;
    case TimeDatePage: {
        const QDate date = ui->calendarWidget->selectedDate();
        // The dispenser keeps a two-digit year: refuse before anything is
        // sent, rather than set the time and silently drop the date.
        if (date.year() < 2000 || date.year() > 2099) {
            connectionLabel->setText(QStringLiteral("Date must be between 2000 and 2099"));
            return;
        }
        link->setTime(state->hour, state->minute, state->clock24);
        link->setDate(date.month(), date.day(), date.year() - 2000);
        qDebug() << "Setting month: " << state->month << "Setting day: " << state->day
                 << "Setting year: " << state->year - 2000;
        break;
    }
    case AlarmOptionsPage:
        link->printError(link->setAlarms(unsigned(state->alarms)));
        break;
    case LockoutPage: {
        const QByteArray password = QSettings().value(QStringLiteral("SuperPassword")).toByteArray();
        link->printError(link->setLockouts(unsigned(state->lockouts), password));
        break;
    }
    case LanguagePage:
        link->printError(link->setLanguage(state->language));
        break;
    case PasswordPage:
        changeSupervisorPassword();
        break;
    default: // CommPage: port and rate take effect when connecting
        break;
    }
}

// The new password stays on this computer; the help text tells the user to
// key the same one into the dispenser.
void MainWindow::changeSupervisorPassword()
{
    QSettings settings;
    const QString stored = settings.value(QStringLiteral("SuperPassword")).toString();
    if (currentPass != stored) {
        showNotice(QStringLiteral("Wrong password."));
        return;
    }
    if (newPass != confirmPass) {
        showNotice(QStringLiteral("Confirmation does not match"));
        return;
    }
    settings.setValue(QStringLiteral("SuperPassword"), newPass);
}

void MainWindow::languageSelectionChanged(int id)
{
    state->language = id;
}

void MainWindow::calendarChanged()
{
    const QDate date = ui->calendarWidget->selectedDate();
    state->day = date.day();
    state->month = date.month();
    state->year = date.year();
}

void MainWindow::timeChanged(QTime time)
{
    state->hour = time.hour();
    state->minute = time.minute();
}

void MainWindow::twentyfour(bool checked)
{
    state->clock24 = checked;
    ui->timeEdit->setDisplayFormat(checked ? QStringLiteral("hh:mm") : QStringLiteral("h:mm A"));
}

void MainWindow::currentPassTextChanged(QString text)
{
    currentPass = text;
}

void MainWindow::newPassTextChanged(QString text)
{
    newPass = text;
}

void MainWindow::confirmPassTextChanged(QString text)
{
    confirmPass = text;
}

void MainWindow::on_setToCurrentTime_clicked()
{
    ui->calendarWidget->setSelectedDate(QDate::currentDate());
    ui->timeEdit->setTime(QTime::currentTime());
}

void MainWindow::lockoutsChanged(int id)
{
    state->lockouts = withBits(state->lockouts, id, ui->lockoutsGroup->button(id)->isChecked());
}

void MainWindow::alarmsChanged(int id)
{
    state->alarms = withBits(state->alarms, id, ui->alarmsGroup->button(id)->isChecked());
}
