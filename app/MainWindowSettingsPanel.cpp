// Device settings panel: Get, Send, memory-cell read, range coupling.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DispenserLink.h"
#include "ProfileCellCheck.h"
#include "StatusTexts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLabel>
#include <QTimer>

namespace {

const int lastCell = DispenserState::cellCount - 1;

// A sequence of device operations reports its first failure, if any.
void keepFirstFailure(int &firstFailedCode, int code)
{
    if (firstFailedCode == 0)
        firstFailedCode = code;
}

} // namespace

// The text shows before the next step blocks on the serial line.
void MainWindow::showDeviceProgress(const QString &text)
{
    connectionLabel->setText(text);
    QCoreApplication::processEvents();
}

QString MainWindow::deviceOutcomeText(int firstFailedCode) const
{
    if (firstFailedCode == 0)
        return QStringLiteral("Connected to Pelidor 7");
    const QString message = DispenserLink::errorMessage(firstFailedCode);
    // Some codes carry no message; the user must still see that it failed.
    return message.isEmpty() ? QStringLiteral("Error: code %1").arg(firstFailedCode) : message;
}

// A value read from the dispenser goes into the profile through its table
// cell, so the table, the plot and the record keep showing the same profile.
void MainWindow::storeReadValue(int cell, int column, double value)
{
    writeCellText(cell, column, QString::number(value, 'g', 6));
}

void MainWindow::showStatusFeedback(int ai, int dm, int start, int end)
{
    // Checking by code raises no buttonClicked, so aiMode_change stays quiet.
    if (QAbstractButton *aiButton = ui->aiModeGroup->button(ai))
        aiButton->setChecked(true);
    state->aiMode = ai;
    ui->aiModeLabel->setText(StatusTexts::aiModeName(ai));
    updateTriggerHeading();

    if (dm == 0)
        ui->dispenseModeTimed->setChecked(true);
    else if (dm == 1)
        ui->dispenseModeSteady->setChecked(true);
    state->dispenseMode = dm;

    ui->startMemCell->setValue(start);
    state->startCell = start;
    ui->strtMemCellLabel->setText(QString::number(start));

    ui->endMemCell->setValue(end);
    state->endCell = end;
    ui->endMemCellLabel->setText(QString::number(end));
}

// Get: reads every setting in a fixed order. A read that fails leaves what it
// would have filled as it was, and the last text tells whether all worked.
void MainWindow::on_pushButton_4_clicked()
{
    if (!link->isOpen()) {
        connectionLabel->setText(QStringLiteral("Connect First!"));
        return;
    }
    int firstFailedCode = 0;

    showDeviceProgress(QStringLiteral("Getting Total Status Feedback"));
    int ai = 3;
    int dm = 1;
    int start = 0;
    int end = 0;
    int code = link->getTotalStatusFeedback(ai, dm, start, end);
    link->printError(code);
    keepFirstFailure(firstFailedCode, code);
    if (code == 0)
        showStatusFeedback(ai, dm, start, end);
    qDebug() << "Executing gettotaldispensestatus";
    link->printError(code);

    showDeviceProgress(QStringLiteral("Getting DispenseTime,Pressure from Mem Cell"));
    int cell = 0;
    double time = 0.0;
    double pressure = 0.0;
    code = link->getMemTimePressure(cell, time, pressure);
    keepFirstFailure(firstFailedCode, code);
    // The values of a cell above the profile's last are shown, never stored.
    const bool cellRead = code == 0;
    const bool cellBeyondProfile = code == 10 && cell > lastCell;
    if (cellRead) {
        ui->memCell->setValue(cell);
        state->currentCell = cell;
        ui->dispenseTime->setValue(time);
        ui->pressureBox->setValue(pressure);
        storeReadValue(cell, ProfileCellCheck::TimeColumn, time);
        storeReadValue(cell, ProfileCellCheck::PressureColumn, pressure);
    }
    if (cellRead || cellBeyondProfile) {
        ui->currMemCellLabel->setText(QString::number(cell));
        ui->dispenseTimeLabel->setText(StatusTexts::valueText(time));
        ui->dispensePressLabel->setText(StatusTexts::valueText(pressure));
    }
    link->printError(code);

    showDeviceProgress(QStringLiteral("Getting Vacuum Units"));
    double vacuum = 0.0;
    code = link->getPressureTimeVacuum(cell, pressure, time, vacuum);
    keepFirstFailure(firstFailedCode, code);
    if (code == 0 && cellRead) {
        ui->vacuumBox->setValue(vacuum);
        storeReadValue(cell, ProfileCellCheck::VacuumColumn, vacuum);
        ui->dispenseVacLabel->setText(StatusTexts::valueText(vacuum));
    }
    link->printError(code);

    // The trigger read carries no cell: it is that of the dispenser's current cell.
    showDeviceProgress(QStringLiteral("Getting Trigger Units"));
    int trigger = 0;
    code = link->getTrigger(trigger);
    keepFirstFailure(firstFailedCode, code);
    if (code == 0 && cellRead) {
        ui->triggerBox->setValue(trigger);
        storeReadValue(cell, ProfileCellCheck::TriggerColumn, trigger);
    }
    if (code == 0 && (cellRead || cellBeyondProfile))
        ui->trigLabel->setText(QString::number(trigger));
    link->printError(code);

    showDeviceProgress(QStringLiteral("Getting SHOT Count Units"));
    int shotCount = 0;
    code = link->getShotCount(shotCount);
    keepFirstFailure(firstFailedCode, code);
    if (code == 0)
        ui->shotCountLabel->setText(QString::number(shotCount));

    showDeviceProgress(QStringLiteral("Getting Time Units"));
    int hour = 0;
    int minute = 0;
    bool twentyFourHour = false;
    code = link->getTime(hour, minute, twentyFourHour);
    keepFirstFailure(firstFailedCode, code);
    if (code == 0)
        ui->dateTimeLabel->setText(StatusTexts::clockText(hour, minute, twentyFourHour));

    connectionLabel->setText(deviceOutcomeText(firstFailedCode));
}

// Send: writes the panel's settings in a fixed order; a failure does not
// stop the sequence, but the last text tells whether every command went in.
void MainWindow::on_pushButton_5_clicked()
{
    if (!link->isOpen()) {
        connectionLabel->setText(QStringLiteral("Connect First!"));
        return;
    }
    int firstFailedCode = 0;

    showDeviceProgress(QStringLiteral("Sending AiMode Settings to Device!"));
    const int aiModeId = ui->aiModeGroup->checkedId();
    state->aiMode = aiModeId;
    keepFirstFailure(firstFailedCode, link->setAiMode(aiModeId));
    updateTriggerHeading();

    showDeviceProgress(QStringLiteral("Sending Dispense Mode Settings to Device!"));
    if (ui->dispenseModeTimed->isChecked())
        keepFirstFailure(firstFailedCode, link->setDispenseMode(0));
    else if (ui->dispenseModeSteady->isChecked())
        keepFirstFailure(firstFailedCode, link->setDispenseMode(1));

    const int start = ui->startMemCell->value();
    const int end = ui->endMemCell->value();
    qDebug() << "End Mem Cell Val: " << end;
    showDeviceProgress(QStringLiteral("Sending StartEndMemCell Mode Settings to Device!"));
    const int rangeCode = link->setStartEndMemCell(start, end);
    link->printError(rangeCode);
    keepFirstFailure(firstFailedCode, rangeCode);

    const int cell = ui->memCell->value();
    showDeviceProgress(QStringLiteral("Sending Current MemCell Settings to Device!"));
    keepFirstFailure(firstFailedCode, link->setMemCell(cell));

    const double time = ui->dispenseTime->value();
    showDeviceProgress(QStringLiteral("Sending Dispense Time Settings to Device!"));
    keepFirstFailure(firstFailedCode, link->setDispenseTime(time));

    // The dispenser takes bar in hundredths.
    double pressure = ui->pressureBox->value();
    if (state->pressureUnits == 1)
        pressure *= 100.0;
    showDeviceProgress(QStringLiteral("Sending Pressure Settings to Device!"));
    keepFirstFailure(firstFailedCode, link->setPressure(pressure));

    const double vacuum = ui->vacuumBox->value();
    showDeviceProgress(QStringLiteral("Sending Vaccum Settings to Device!"));
    keepFirstFailure(firstFailedCode, link->setVacuum(vacuum));

    const int trigger = ui->triggerBox->value();
    showDeviceProgress(QStringLiteral("Sending Trigger Settings to Device!"));
    keepFirstFailure(firstFailedCode, link->setTrigger(trigger));

    connectionLabel->setText(deviceOutcomeText(firstFailedCode));
}

// Turning the spin box fires many changes; only the last one is read.
void MainWindow::on_memCell_valueChanged(int)
{
    memCellTimer->start(500);
}

void MainWindow::updateMemCellValues()
{
    if (!link->isOpen())
        return;
    const int cell = ui->memCell->value();
    int firstFailedCode = 0;

    showDeviceProgress(QStringLiteral("Get Settings from Device!"));
    double pressure = 0.0;
    double time = 0.0;
    double vacuum = 0.0;
    const int cellCode = link->getPressureTimeVacuum(cell, pressure, time, vacuum);
    keepFirstFailure(firstFailedCode, cellCode);
    if (cellCode == 0) {
        storeReadValue(cell, ProfileCellCheck::PressureColumn, pressure);
        storeReadValue(cell, ProfileCellCheck::TimeColumn, time);
        storeReadValue(cell, ProfileCellCheck::VacuumColumn, vacuum);
    }

    // The trigger read carries no cell: it is that of the dispenser's current
    // cell, so it is shown but kept out of this cell's profile entry.
    showDeviceProgress(QStringLiteral("Get Trigger Settings from Device!"));
    int trigger = 0;
    const int triggerCode = link->getTrigger(trigger);
    keepFirstFailure(firstFailedCode, triggerCode);

    if (cellCode == 0) {
        ui->dispenseTime->setValue(time);
        ui->pressureBox->setValue(pressure);
        ui->vacuumBox->setValue(vacuum);
    }
    if (triggerCode == 0)
        ui->triggerBox->setValue(trigger);

    connectionLabel->setText(deviceOutcomeText(firstFailedCode));
}

void MainWindow::on_startMemCell_valueChanged(int arg1)
{
    state->startCell = arg1;
    ui->bulkAdjustStart->setMinimum(arg1);
    ui->bulkAdjustStart->setValue(arg1);
    ui->bulkAdjustEnd->setMinimum(arg1);
    ui->memCell->setMinimum(arg1);
}

void MainWindow::on_endMemCell_valueChanged(int arg1)
{
    state->endCell = arg1;
    ui->bulkAdjustStart->setMaximum(arg1);
    ui->bulkAdjustEnd->setMaximum(arg1);
    ui->bulkAdjustEnd->setValue(arg1);
    ui->memCell->setMaximum(arg1);

    // A maximum below a box's minimum drags the minimum down with it, as when
    // the end is typed digit by digit over a higher start. Once the end is
    // back above the start, the start is the floor again, and the values it
    // lifts (the bulk-adjust start, the range Transmit sends) follow.
    const int start = ui->startMemCell->value();
    if (arg1 < start)
        return;
    for (QSpinBox *box : {ui->bulkAdjustStart, ui->bulkAdjustEnd, ui->memCell}) {
        if (box->minimum() < start)
            box->setMinimum(start);
    }
}

void MainWindow::aiMode_change(int arg1)
{
    state->aiMode = arg1;
    updateTriggerHeading();
}

void MainWindow::dispenseMode_change(int arg1)
{
    state->dispenseMode = arg1;
}
