// Device settings panel: Get, Send, memory-cell read, range coupling.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "SettingsExchange.h"
#include "StatusTexts.h"

#include <QLabel>
#include <QTimer>

using namespace ProfileUnits;

// A value read from the dispenser goes into the profile through its table
// cell, so the table, the plot and the record keep showing the same profile.
void MainWindow::storeReadValue(int cell, int column, double value)
{
    writeCellText(cell, column, StatusTexts::valueText(value));
}

// Get: every read stands on its own; what a failed read would have filled
// keeps what it showed, and the last text tells whether all worked.
void MainWindow::on_pushButton_4_clicked()
{
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    const ExchangeScope exchange(exchangeRunning);
    const SettingsExchange::Reading reading = SettingsExchange::readSettings(
            *link, state->pressureUnits, [this](const QString &text) { showProgress(text); });

    if (const auto &status = reading.status) {
        // Checking by code raises no buttonClicked, so aiMode_change stays quiet.
        if (QAbstractButton *aiButton = ui->aiModeGroup->button(status->aiMode))
            aiButton->setChecked(true);
        state->aiMode = status->aiMode;
        ui->aiModeLabel->setText(StatusTexts::aiModeName(status->aiMode));
        updateTriggerHeading();
        if (QAbstractButton *modeButton = ui->dispenseModeGroup->button(status->dispenseMode))
            modeButton->setChecked(true);
        state->dispenseMode = status->dispenseMode;
        showCellRange(status->startCell, status->endCell);
        ui->strtMemCellLabel->setText(QString::number(status->startCell));
        ui->endMemCellLabel->setText(QString::number(status->endCell));
    }
    if (const auto &cell = reading.currentCell) {
        ui->memCell->setValue(*cell);
        state->currentCell = *cell;
        ui->currMemCellLabel->setText(QString::number(*cell));
        ui->dispenseTime->setValue(*reading.time);
        ui->pressureBox->setValue(*reading.pressure);
        storeReadValue(*cell, Time, *reading.time);
        storeReadValue(*cell, Pressure, *reading.pressure);
        ui->dispenseTimeLabel->setText(StatusTexts::valueText(*reading.time));
        ui->dispensePressLabel->setText(StatusTexts::valueText(*reading.pressure));
        if (const auto &vacuum = reading.vacuum) {
            ui->vacuumBox->setValue(*vacuum);
            storeReadValue(*cell, Vacuum, *vacuum);
            ui->dispenseVacLabel->setText(StatusTexts::valueText(*vacuum));
        }
    }
    // The trigger read carries no cell: it is the dispenser's current cell's,
    // kept in the profile only when this Get read which cell that is.
    if (const auto &trigger = reading.trigger) {
        ui->triggerBox->setValue(*trigger);
        ui->trigLabel->setText(QString::number(*trigger));
        if (reading.currentCell)
            storeReadValue(*reading.currentCell, Trigger, *trigger);
    }
    if (reading.shotCount)
        ui->shotCountLabel->setText(QString::number(*reading.shotCount));
    if (const auto &clock = reading.clock)
        ui->dateTimeLabel->setText(
                StatusTexts::clockText(clock->hour, clock->minute, clock->twentyFourHour));

    history->record(historyEvents->got(reading, *state));
    showOutcome(StatusMessage::forCode(reading.firstFailure));
}

// Send: writes the panel's settings in a fixed order; a failure does not
// stop the sequence, but the last text tells whether every command went in.
void MainWindow::on_pushButton_5_clicked()
{
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    const ExchangeScope exchange(exchangeRunning);
    SettingsExchange::Settings settings;
    settings.aiMode = ui->aiModeGroup->checkedId();
    settings.dispenseMode = ui->dispenseModeGroup->checkedId();
    settings.startCell = ui->startMemCell->value();
    settings.endCell = ui->endMemCell->value();
    settings.cell = ui->memCell->value();
    settings.time = ui->dispenseTime->value();
    settings.pressure = ui->pressureBox->value();
    settings.vacuum = ui->vacuumBox->value();
    settings.trigger = ui->triggerBox->value();
    state->aiMode = settings.aiMode;
    updateTriggerHeading();

    const int firstFailure =
            SettingsExchange::sendSettings(*link, settings, state->pressureUnits,
                                           [this](const QString &text) { showProgress(text); });
    history->record(historyEvents->sent(settings, firstFailure, *state));
    showOutcome(StatusMessage::forCode(firstFailure));
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
    // Never inside another exchange: the read waits for it to end.
    if (exchangeRunning) {
        memCellTimer->start();
        return;
    }
    const ExchangeScope exchange(exchangeRunning);
    const int cell = ui->memCell->value();
    const SettingsExchange::CellReading reading = SettingsExchange::readCell(
            *link, cell, state->pressureUnits, [this](const QString &text) { showProgress(text); });
    historyEvents->cellRead(cell, reading);

    if (const auto &values = reading.values) {
        storeReadValue(cell, Pressure, values->pressure);
        storeReadValue(cell, Time, values->time);
        storeReadValue(cell, Vacuum, values->vacuum);
        ui->dispenseTime->setValue(values->time);
        ui->pressureBox->setValue(values->pressure);
        ui->vacuumBox->setValue(values->vacuum);
    }
    // Shown but kept out of this cell's profile entry: the trigger read
    // carries no cell number.
    if (reading.trigger)
        ui->triggerBox->setValue(*reading.trigger);

    showOutcome(StatusMessage::forCode(reading.firstFailure));
}

// The job range into both spin box pairs. Each box's slot rewrites the
// record's range, so the values are taken before the first one moves.
void MainWindow::showCellRange(int start, int end)
{
    ui->startMemCell->setValue(start);
    ui->endMemCell->setValue(end);
    ui->bulkAdjustStart->setValue(start);
    ui->bulkAdjustEnd->setValue(end);
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
    for (QSpinBox *box : { ui->bulkAdjustStart, ui->bulkAdjustEnd, ui->memCell }) {
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
