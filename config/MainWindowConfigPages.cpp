// Configuration tree navigation and page openers.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "ConfigPage.h"
#include "DispenserLink.h"

#include <QSettings>

namespace {

const char *const unitsHelp = "Set units for pressure and vacuum.";

// Lockout bits that govern controls of this window.
enum LockoutBit : unsigned {
    DispenseTimeBit = 1,
    DispensePressureBit = 2,
    VacuumBit = 4,
    MemoryCellBit = 8,
    DispenseModeBit = 32,
    AutoIncrementModeBit = 64,
    PressureUnitsBit = 1024,
    VacuumUnitsBit = 2048,
    LanguageBit = 4096,
    ClockBit = 8192,
    CommunicationsBit = 16384,
    AlarmOptionsBit = 32768,
};

} // namespace

void MainWindow::on_treeWidget_itemClicked(QTreeWidgetItem *item, int column)
{
    const QString text = item->data(column, Qt::DisplayRole).toString();

    if (text == QLatin1String("Comm"))
        refreshComPorts();
    else if (text == QLatin1String("Units") || text == QLatin1String("Pressure"))
        showPressureUnitsPage();
    else if (text == QLatin1String("Vacuum"))
        showVacuumUnitsPage();
    else if (text == QLatin1String("Time/Date"))
        showTimeDatePage();
    else if (text == QLatin1String("Alarm Options"))
        showAlarmOptionsPage();
    else if (text == QLatin1String("Lockout Control"))
        showLockoutPage();
    else if (text == QLatin1String("Language"))
        showConfigPage(LanguagePage, QStringLiteral("Set display panel language on the Pelidor 7"));
    else if (text == QLatin1String("Supervisor Password"))
        showConfigPage(PasswordPage,
                       QStringLiteral("Enter a 4-digit Supervisor password.\n\n"
                                      "You MUST manually set the SAME password on the Pelidor 7!"));
}

void MainWindow::showConfigPage(int index, const QString &helpText)
{
    ui->configStackWidget->setCurrentIndex(index);
    ui->commandHelpEdit->document()->setPlainText(helpText);
}

// The openers below show the dispenser's current value when connected. A
// failed read keeps the previous page in view, so the user never sees a page
// that pretends to hold the dispenser's value.

void MainWindow::showPressureUnitsPage()
{
    if (link->isOpen()) {
        int unit = 0;
        const int code = link->getPressureUnits(unit);
        if (code != 0) {
            link->printError(code);
            return;
        }
        // A click, not setChecked: the unit handler must run even for the
        // unit already chosen.
        if (QAbstractButton *button = ui->pressureUnitGroup->button(unit))
            button->click();
    }
    showConfigPage(PressureUnitsPage, QString::fromLatin1(unitsHelp));
}

void MainWindow::showVacuumUnitsPage()
{
    if (link->isOpen()) {
        int unit = 0;
        const int code = link->getVacuumUnits(unit);
        if (code != 0) {
            link->printError(code);
            return;
        }
        if (QAbstractButton *button = ui->vacuumUnitsGroup->button(unit))
            button->click();
    }
    showConfigPage(VacuumUnitsPage, QString::fromLatin1(unitsHelp));
}

void MainWindow::showTimeDatePage()
{
    if (link->isOpen()) {
        int month = 1;
        int day = 1;
        int year = 0;
        int code = link->getDate(month, day, year);
        if (code != 0) {
            link->printError(code);
            return;
        }
        int hour = 0;
        int minute = 0;
        bool clock24 = true;
        code = link->getTime(hour, minute, clock24);
        if (code != 0) {
            link->printError(code);
            return;
        }
        // The widgets' change signals copy the values into the state.
        ui->calendarWidget->setSelectedDate(QDate(2000 + year, month, day));
        ui->timeEdit->setTime(QTime(hour, minute));
        ui->check24hr->setChecked(clock24);
        twentyfour(clock24); // setChecked emits no clicked signal
    }
    showConfigPage(TimeDatePage, QStringLiteral("Set Time and Date on the Pelidor 7."));
}

void MainWindow::showAlarmOptionsPage()
{
    if (link->isOpen()) {
        unsigned alarms = 0;
        const int code = link->getAlarms(alarms);
        if (code != 0) {
            link->printError(code);
            return;
        }
        // Shown only: the stored word changes through the user's clicks.
        for (QAbstractButton *box : ui->alarmsGroup->buttons()) {
            const unsigned bits = unsigned(ui->alarmsGroup->id(box));
            box->setChecked((alarms & bits) == bits);
        }
    }
    showConfigPage(AlarmOptionsPage, QStringLiteral("Set Alarm Options on the Pelidor 7."));
}

void MainWindow::showLockoutPage()
{
    if (link->isOpen()) {
        const QByteArray password = QSettings().value(QStringLiteral("SuperPassword")).toByteArray();
        unsigned lockouts = 0;
        const int code = link->getLockouts(lockouts, password);
        if (code != 0) {
            link->printError(code);
            return;
        }
        for (QAbstractButton *box : ui->lockoutsGroup->buttons())
            box->setChecked((lockouts & unsigned(ui->lockoutsGroup->id(box))) != 0);
    }
    applyLockoutEnabling();
    showConfigPage(LockoutPage, QStringLiteral("Set Operator Lockouts on the Pelidor 7.\n\n"
                                               "(Requires Supervisor mode.)"));
}

// Supervisors may use everything; an operator only what the stored lockout
// word leaves free.
void MainWindow::applyLockoutEnabling()
{
    const unsigned lockouts = unsigned(state->lockouts);
    const auto allowed = [&](unsigned bit) { return supervisorMode || (lockouts & bit) == 0; };
    const auto enableButtons = [](QButtonGroup *group, bool enabled) {
        for (QAbstractButton *button : group->buttons())
            button->setEnabled(enabled);
    };

    ui->groupBox_5->setEnabled(supervisorMode);
    ui->groupBox_4->setEnabled(allowed(AlarmOptionsBit));
    enableButtons(ui->aiModeGroup, allowed(AutoIncrementModeBit));
    ui->groupBox_3->setEnabled(allowed(ClockBit));
    ui->COMport->setEnabled(allowed(CommunicationsBit));
    ui->baudeRate->setEnabled(allowed(CommunicationsBit));
    enableButtons(ui->dispenseModeGroup, allowed(DispenseModeBit));
    ui->pressureBox->setEnabled(allowed(DispensePressureBit));
    ui->dispenseTime->setEnabled(allowed(DispenseTimeBit));
    ui->vacuumBox->setEnabled(allowed(VacuumBit));
    ui->groupBox_6->setEnabled(allowed(LanguageBit));
    ui->memCell->setEnabled(allowed(MemoryCellBit));
    ui->groupBox->setEnabled(allowed(PressureUnitsBit));
    ui->groupBox_2->setEnabled(allowed(VacuumUnitsBit));
}
