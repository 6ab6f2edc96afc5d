// Configuration pages and Apply.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "ConfigExchange.h"
#include "ConfigPage.h"
#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "PasswordChange.h"

namespace {

// Sets or clears the bits of one check box in a flag word.
int withBits(int word, int bits, bool set)
{
    return set ? (word | bits) : (word & ~bits);
}

} // namespace

void MainWindow::on_configApplyButton_clicked()
{
    const int index = ui->configStackWidget->currentIndex();
    if (index == CommPage) // port and rate take effect when connecting
        return;
    if (index == PasswordPage) {
        changeSupervisorPassword();
        return;
    }
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    const ExchangeScope exchange(*busy);
    const StatusMessage outcome =
            ConfigExchange::applyPage(*link, index, *state, ui->calendarWidget->selectedDate(),
                                      AppSettings().superPassword());
    history->record(
            historyEvents->applied(index, *state, ui->calendarWidget->selectedDate(), outcome));
    showOutcome(outcome);
}

// The new password stays on this computer; the help text tells the user to
// key the same one into the dispenser.
void MainWindow::changeSupervisorPassword()
{
    AppSettings settings;
    const PasswordChange::Result result =
            PasswordChange::check(currentPass, newPass, confirmPass, settings.superPassword());
    if (result != PasswordChange::Accepted) {
        showNotice(PasswordChange::message(result));
        return;
    }
    if (!settings.replaceSuperPassword(newPass)) {
        showNotice(QStringLiteral("The password could not be saved: the settings store cannot be "
                                  "written. The old password stays in force."));
        return;
    }
    history->record(HistoryEvents::passwordChanged());
    showNotice(QStringLiteral("Supervisor password changed."));
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
