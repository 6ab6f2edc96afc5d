// Configuration tree navigation and page openers.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "ConfigExchange.h"
#include "ConfigPage.h"
#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"

namespace {

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

// Ticks each box of a flag group exactly when all bits of its id are set.
void showFlags(QButtonGroup *group, unsigned word)
{
    for (QAbstractButton *box : group->buttons()) {
        const unsigned bits = unsigned(group->id(box));
        box->setChecked((word & bits) == bits);
    }
}

} // namespace

void MainWindow::on_treeWidget_itemClicked(QTreeWidgetItem *item, int column)
{
    switch (configPageOfItem(item->data(column, Qt::DisplayRole).toString())) {
    case CommPage:
        refreshComPorts();
        break;
    case PressureUnitsPage:
        showPressureUnitsPage();
        break;
    case VacuumUnitsPage:
        showVacuumUnitsPage();
        break;
    case TimeDatePage:
        showTimeDatePage();
        break;
    case AlarmOptionsPage:
        showAlarmOptionsPage();
        break;
    case LockoutPage:
        showLockoutPage();
        break;
    case LanguagePage:
        showConfigPage(LanguagePage);
        break;
    case PasswordPage:
        showConfigPage(PasswordPage);
        break;
    default:
        break;
    }
}

void MainWindow::showConfigPage(int index)
{
    ui->configStackWidget->setCurrentIndex(index);
    ui->commandHelpEdit->document()->setPlainText(configPageHelp(index));
}

// Apply acts on the page in view; the highlighted item must name that page.
void MainWindow::keepConfigPage()
{
    const int shown = ui->configStackWidget->currentIndex();
    QTreeWidgetItem *current = ui->treeWidget->currentItem();
    if (current && configPageOfItem(current->text(0)) == shown)
        return;
    for (QTreeWidgetItemIterator it(ui->treeWidget); *it; ++it) {
        if (configPageOfItem((*it)->text(0)) == shown) {
            ui->treeWidget->setCurrentItem(*it);
            return;
        }
    }
}

// The openers below show the dispenser's current value when connected. A
// failed read keeps the previous page in view, so the user never sees a page
// that pretends to hold the dispenser's value.

void MainWindow::showPressureUnitsPage()
{
    if (link->isOpen()) {
        const ExchangeScope exchange(*busy);
        int unit = 0;
        if (ConfigExchange::readPressureUnit(*link, unit) != DispenserLink::ok)
            return keepConfigPage();
        historyEvents->pageRead(PressureUnitsPage, unsigned(unit));
        // The unit handler runs even for the unit already chosen.
        showPressureUnit(unit);
    }
    showConfigPage(PressureUnitsPage);
}

void MainWindow::showVacuumUnitsPage()
{
    if (link->isOpen()) {
        const ExchangeScope exchange(*busy);
        int unit = 0;
        if (ConfigExchange::readVacuumUnit(*link, unit) != DispenserLink::ok)
            return keepConfigPage();
        historyEvents->pageRead(VacuumUnitsPage, unsigned(unit));
        showVacuumUnit(unit);
    }
    showConfigPage(VacuumUnitsPage);
}

void MainWindow::showTimeDatePage()
{
    if (link->isOpen()) {
        const ExchangeScope exchange(*busy, { ui->page_4 });
        ConfigExchange::Clock clock;
        if (ConfigExchange::readClock(*link, clock) != DispenserLink::ok)
            return keepConfigPage();
        // The widgets' change signals copy the values into the state.
        ui->calendarWidget->setSelectedDate(clock.date);
        ui->timeEdit->setTime(QTime(clock.hour, clock.minute));
        ui->check24hr->setChecked(clock.twentyFourHour);
        twentyfour(clock.twentyFourHour); // setChecked emits no clicked signal
    }
    showConfigPage(TimeDatePage);
}

void MainWindow::showAlarmOptionsPage()
{
    if (link->isOpen()) {
        const ExchangeScope exchange(*busy, { ui->page_5 });
        unsigned alarms = 0;
        if (ConfigExchange::readAlarms(*link, alarms) != DispenserLink::ok)
            return keepConfigPage();
        historyEvents->pageRead(AlarmOptionsPage, alarms);
        // What Apply sends is what the boxes show.
        state->alarms = int(alarms);
        showFlags(ui->alarmsGroup, alarms);
    }
    showConfigPage(AlarmOptionsPage);
}

void MainWindow::showLockoutPage()
{
    if (link->isOpen() && !readLockouts())
        return keepConfigPage();
    applyLockoutEnabling();
    showConfigPage(LockoutPage);
}

// The dispenser's pressure and vacuum units, shown by the panel and the
// table; the first failure's code, or 0.
int MainWindow::readUnits()
{
    const ExchangeScope exchange(*busy);
    int pressureUnit = 0;
    int vacuumUnit = 0;
    int code = ConfigExchange::readPressureUnit(*link, pressureUnit);
    if (code == DispenserLink::ok)
        code = ConfigExchange::readVacuumUnit(*link, vacuumUnit);
    if (code != DispenserLink::ok)
        return code;
    showPressureUnit(pressureUnit);
    showVacuumUnit(vacuumUnit);
    return code;
}

bool MainWindow::readLockouts()
{
    const ExchangeScope exchange(*busy, { ui->page_6 });
    unsigned lockouts = 0;
    if (ConfigExchange::readLockouts(*link, AppSettings().superPassword(), lockouts)
        != DispenserLink::ok)
        return false;
    historyEvents->pageRead(LockoutPage, lockouts);
    // The enabling and Apply both go by the word the dispenser holds.
    state->lockouts = int(lockouts);
    lockoutsKnown = true;
    showFlags(ui->lockoutsGroup, lockouts);
    return true;
}

// Supervisors may use everything; an operator only what the stored lockout
// word leaves free, and, while connected, nothing before the dispenser's word
// has been read.
void MainWindow::applyLockoutEnabling()
{
    const bool unknown = link->isOpen() && !lockoutsKnown;
    const unsigned lockouts = unknown ? ~0u : unsigned(state->lockouts);
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
