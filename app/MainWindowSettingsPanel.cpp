// Device settings panel: Get, Send, memory-cell read, range coupling.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "QTableWidgetWithCopyPaste.h"
#include "SettingsExchange.h"
#include "StatusTexts.h"

#include <QLabel>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>

using namespace ProfileUnits;

namespace {

// A value box the panel has no value for shows this at its minimum of -1.
const char *const unknownText = "unknown";

std::optional<double> knownValue(const QAbstractSpinBox *box)
{
    const double value = box->property("value").toDouble();
    return value >= 0.0 ? std::optional<double>(value) : std::nullopt;
}

} // namespace

// The time, pressure, vacuum and trigger boxes hold the values of the cell
// shown in memCell, as read for that cell or typed; any other value is
// "unknown", and Send leaves it as the dispenser holds it.
void MainWindow::setupSettingsPanel()
{
    for (QAbstractSpinBox *box : panelValueBoxes()) {
        forgetPanelValue(box);
        // Typing or stepping a value makes it known.
        auto touched = [box] {
            if (box->property("minimum").toDouble() < 0.0
                && box->property("value").toDouble() >= 0.0) {
                box->setSpecialValueText(QString());
                box->setProperty("minimum", 0);
            }
        };
        if (auto *integerBox = qobject_cast<QSpinBox *>(box))
            connect(integerBox, QOverload<int>::of(&QSpinBox::valueChanged), this, touched);
        else
            connect(static_cast<QDoubleSpinBox *>(box),
                    QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, touched);
    }
    // Another cell shown: its values are not known until read.
    connect(ui->memCell, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] {
        for (QAbstractSpinBox *box : panelValueBoxes())
            forgetPanelValue(box);
    });
}

QList<QAbstractSpinBox *> MainWindow::panelValueBoxes() const
{
    return { ui->dispenseTime, ui->pressureBox, ui->vacuumBox, ui->triggerBox };
}

void MainWindow::forgetPanelValue(QAbstractSpinBox *box)
{
    const QSignalBlocker quiet(box);
    box->setProperty("minimum", -1);
    box->setSpecialValueText(QLatin1String(unknownText));
    box->setProperty("value", -1);
}

// A value that the box cannot hold (beyond its unit's maximum) would be
// sent back clamped: it stays unknown instead.
void MainWindow::showPanelValue(QAbstractSpinBox *box, double value)
{
    if (!(value >= 0.0 && value <= box->property("maximum").toDouble())) {
        forgetPanelValue(box);
        return;
    }
    box->setSpecialValueText(QString());
    box->setProperty("minimum", 0);
    box->setProperty("value", value);
}

// A value read from the dispenser goes into the profile through its table
// cell, so the table, the plot and the record keep showing the same profile.
void MainWindow::storeReadValue(int cell, int column, double value)
{
    // A value read from the dispenser is no edit of the user's.
    const QScopedValueRollback<bool> keepUnsaved(profileUnsaved);
    writeCellText(cell, column, StatusTexts::valueText(value));
}

// The memory cell box shows the dispenser's cell even outside the job range
// the panel bounds it to.
void MainWindow::showCurrentCell(int cell)
{
    ui->memCell->setMinimum(std::min(ui->memCell->minimum(), cell));
    ui->memCell->setMaximum(std::max(ui->memCell->maximum(), cell));
    ui->memCell->setValue(cell);
}

// Get: every read stands on its own; what a failed read would have filled
// keeps what it showed, and the last text tells whether all worked.
void MainWindow::on_pushButton_4_clicked()
{
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    // Get writes the whole settings panel, the table and the job range.
    const ExchangeScope exchange(
            *busy, { ui->dockWidgetContents, profileTable, ui->dockWidgetContents_3 });
    const SettingsExchange::Reading reading = SettingsExchange::readSettings(
            *link, [this](const QString &text) { showProgress(text); });

    // The values read are in the dispenser's units: the panel shows those.
    if (reading.pressureUnit)
        showPressureUnit(*reading.pressureUnit);
    if (reading.vacuumUnit)
        showVacuumUnit(*reading.vacuumUnit);
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
        dispenserCell = *cell;
        ui->currMemCellLabel->setText(QString::number(*cell));
        ui->dispenseTimeLabel->setText(StatusTexts::valueText(*reading.time));
        if (reading.pressure)
            ui->dispensePressLabel->setText(StatusTexts::valueText(*reading.pressure));
    }
    // A cell beyond the profile's 400 is shown in the labels only.
    if (reading.hasProfileCell()) {
        const int cell = *reading.currentCell;
        showCurrentCell(cell);
        state->currentCell = cell;
        showPanelValue(ui->dispenseTime, *reading.time);
        storeReadValue(cell, Time, *reading.time);
        if (const auto &pressure = reading.pressure) {
            showPanelValue(ui->pressureBox, *pressure);
            storeReadValue(cell, Pressure, *pressure);
        }
        if (const auto &vacuum = reading.vacuum) {
            showPanelValue(ui->vacuumBox, *vacuum);
            storeReadValue(cell, Vacuum, *vacuum);
            ui->dispenseVacLabel->setText(StatusTexts::valueText(*vacuum));
        }
    }
    // The trigger read carries no cell: it is the dispenser's current cell's,
    // which this Get read.
    if (const auto &trigger = reading.trigger) {
        ui->trigLabel->setText(QString::number(*trigger));
        if (reading.hasProfileCell()) {
            showPanelValue(ui->triggerBox, *trigger);
            storeReadValue(*reading.currentCell, Trigger, *trigger);
        }
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
// The cell's values the panel does not know are left as the dispenser holds
// them.
void MainWindow::on_pushButton_5_clicked()
{
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    // Send takes the panel's values before the first command goes out.
    const ExchangeScope exchange(*busy);
    SettingsExchange::Settings settings;
    settings.aiMode = ui->aiModeGroup->checkedId();
    settings.dispenseMode = ui->dispenseModeGroup->checkedId();
    settings.startCell = ui->startMemCell->value();
    settings.endCell = ui->endMemCell->value();
    settings.cell = ui->memCell->value();
    settings.time = knownValue(ui->dispenseTime);
    settings.pressure = knownValue(ui->pressureBox);
    settings.vacuum = knownValue(ui->vacuumBox);
    if (const auto trigger = knownValue(ui->triggerBox))
        settings.trigger = int(*trigger);
    state->aiMode = settings.aiMode;
    updateTriggerHeading();

    const int firstFailure =
            SettingsExchange::sendSettings(*link, settings, state->pressureUnits,
                                           [this](const QString &text) { showProgress(text); });
    // The dispenser is on the cell sent, unless a command failed on the way.
    if (firstFailure == DispenserLink::ok)
        dispenserCell = settings.cell;
    else
        dispenserCell.reset();
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
    if (busy->isBusy()) {
        memCellTimer->start();
        return;
    }
    const ExchangeScope exchange(*busy, { ui->dockWidgetContents, profileTable });
    const int cell = ui->memCell->value();
    // The trigger can only be read for the dispenser's current cell.
    const bool triggerOfThisCell = dispenserCell == cell;
    const SettingsExchange::CellReading reading =
            SettingsExchange::readCell(*link, cell, state->pressureUnits, triggerOfThisCell,
                                       [this](const QString &text) { showProgress(text); });
    historyEvents->cellRead(cell, reading);

    if (reading.time) {
        storeReadValue(cell, Pressure, *reading.pressure);
        storeReadValue(cell, Time, *reading.time);
        storeReadValue(cell, Vacuum, *reading.vacuum);
        showPanelValue(ui->dispenseTime, *reading.time);
        showPanelValue(ui->pressureBox, *reading.pressure);
        showPanelValue(ui->vacuumBox, *reading.vacuum);
    }
    if (reading.trigger) {
        storeReadValue(cell, Trigger, *reading.trigger);
        showPanelValue(ui->triggerBox, *reading.trigger);
    }

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

// The same for a range taken from a file or a job: moving the memory cell box
// with it is no request to read a cell from the dispenser over that profile.
void MainWindow::showCellRangeWithoutRead(int start, int end)
{
    const int shownCell = ui->memCell->value();
    {
        const QSignalBlocker noCellRead(ui->memCell);
        showCellRange(start, end);
    }
    if (ui->memCell->value() != shownCell) {
        for (QAbstractSpinBox *box : panelValueBoxes())
            forgetPanelValue(box);
    }
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
