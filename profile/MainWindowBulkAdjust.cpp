// Bulk adjustment of a cell range.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "BulkAdjustment.h"

#include <QTimer>

using namespace ProfileUnits;

void MainWindow::on_bulkAdjustStart_valueChanged(int arg1)
{
    adjustStart = arg1;
    state->startCell = arg1;
    if (arg1 > ui->bulkAdjustEnd->value())
        ui->bulkAdjustEnd->setValue(arg1);
    plotTimer->start();
}

void MainWindow::on_bulkAdjustEnd_valueChanged(int arg1)
{
    adjustEnd = arg1;
    state->endCell = arg1;
    if (arg1 < ui->bulkAdjustStart->value())
        ui->bulkAdjustStart->setValue(arg1);
    plotTimer->start();
}

void MainWindow::on_bulkAdjustPercent_valueChanged(double arg1)
{
    const double factor = BulkAdjustment::factorForPercent(arg1);
    if (adjustParameter == Trigger)
        pendingAdjustment.triggerFactor = factor;
    else
        pendingAdjustment.valueFactor = factor;
    plotTimer->start();
}

void MainWindow::on_bulkAdjustRelative_valueChanged(double arg1)
{
    if (adjustParameter == Trigger)
        pendingAdjustment.triggerOffset = arg1;
    else
        pendingAdjustment.valueOffset = arg1;
    plotTimer->start();
}

// The slider's value follows its position only after sliderMoved, so the
// position it reports is the one to take.
void MainWindow::on_bulkAdjustPercentSlider_sliderMoved(int position)
{
    ui->bulkAdjustPercent->setValue(position);
}

void MainWindow::on_bulkAdjustRelativeSlider_sliderMoved(int position)
{
    ui->bulkAdjustRelative->setValue(position);
}

// The pending percent and amount move to the chosen parameter; the preview of
// the other parameter is dropped.
void MainWindow::bulkAdjustParameterGroup_changed()
{
    adjustParameter = ui->bulkAdjustParameterGroup->checkedId();
    const double factor = BulkAdjustment::factorForPercent(ui->bulkAdjustPercent->value());
    const double offset = ui->bulkAdjustRelative->value();
    pendingAdjustment = StepPlot::Preview();
    if (adjustParameter == Trigger) {
        pendingAdjustment.triggerFactor = factor;
        pendingAdjustment.triggerOffset = offset;
        plotTimer->start();
    } else {
        // Plotting the adjusted parameter restarts the plot as well.
        ui->plotTypeGroup->button(adjustParameter)->click();
        pendingAdjustment.valueFactor = factor;
        pendingAdjustment.valueOffset = offset;
    }

    QString unit;
    switch (adjustParameter) {
    case Time:
        unit = QLatin1String(ProfileUnits::time().heading);
        break;
    case Pressure:
        unit = QLatin1String(ProfileUnits::pressure(state->pressureUnits).heading);
        break;
    case Vacuum:
        unit = QLatin1String(ProfileUnits::vacuum(state->vacuumUnits).heading);
        break;
    default:
        unit = ProfileUnits::triggerUnit(ui->aiModeGroup->checkedId());
        break;
    }
    ui->bulkAdjustUnitLabel->setText(unit);
}

// Results go through the table's cell check, which clamps them to the limits
// of the column's unit and stores what it keeps.
void MainWindow::on_bulkAdjustApply_clicked()
{
    // The reset below redraws the whole plot; single-step updates until then
    // would mix the old preview with the new values.
    plotTimer->start();
    if (adjustParameter == Trigger) {
        for (int cell = adjustStart; cell <= adjustEnd; ++cell) {
            state->triggers[cell] = BulkAdjustment::adjustedTrigger(
                    state->triggers[cell], pendingAdjustment.triggerFactor,
                    pendingAdjustment.triggerOffset);
            writeCellText(cell, Trigger, QString::number(state->triggers[cell]));
        }
    } else {
        double *values = parameterArrays[static_cast<size_t>(adjustParameter)];
        for (int cell = adjustStart; cell <= adjustEnd; ++cell) {
            values[cell] = BulkAdjustment::adjustedValue(
                    values[cell], pendingAdjustment.valueFactor, pendingAdjustment.valueOffset);
            writeCellText(cell, adjustParameter, BulkAdjustment::valueText(values[cell]));
        }
    }
    on_bulkAdjustCancel_clicked();
}

void MainWindow::on_bulkAdjustCancel_clicked()
{
    // Emitted by hand too: the range slots must run even when the value stays.
    const int startCell = ui->startMemCell->value();
    ui->bulkAdjustStart->setValue(startCell);
    emit ui->bulkAdjustStart->valueChanged(startCell);
    const int endCell = ui->endMemCell->value();
    ui->bulkAdjustEnd->setValue(endCell);
    emit ui->bulkAdjustEnd->valueChanged(endCell);

    ui->bulkAdjustPercentSlider->setValue(0);
    ui->bulkAdjustRelativeSlider->setValue(0);
    ui->bulkAdjustPercent->setValue(0.0);
    ui->bulkAdjustRelative->setValue(0.0);

    pendingAdjustment = StepPlot::Preview();
}
