// Profile table, units and cell check.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DelegateTableTime.h"
#include "ProfileCellCheck.h"
#include "QTableWidgetWithCopyPaste.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>

using ProfileCellCheck::PressureColumn;
using ProfileCellCheck::TimeColumn;
using ProfileCellCheck::TriggerColumn;
using ProfileCellCheck::VacuumColumn;

void MainWindow::setupProfileTable()
{
    const int cellCount = DispenserState::cellCount;
    profileTable = new QTableWidgetWithCopyPaste(cellCount, 4, this);

    // Editors by unit id; the table owns them.
    timeEditor = new DelegateTableTime(0.0, 9.9999, 4, profileTable);
    pressureEditors = {
        new DelegateTableTime(0.0, 100.0, 1, profileTable), // PSI
        new DelegateTableTime(0.0, 6.895, 1, profileTable), // bar
        new DelegateTableTime(0.0, 689.5, 1, profileTable), // kPa
    };
    auto *millimetresOfMercury = new DelegateTableTime(0.0, 33.6, 1, profileTable);
    vacuumEditors = {
        new DelegateTableTime(0.0, 4.48, 2, profileTable), // kPa
        new DelegateTableTime(0.0, 18.0, 1, profileTable), // inches of water
        new DelegateTableTime(0.0, 1.32, 2, profileTable), // inches of mercury
        millimetresOfMercury,                              // mmHg
        millimetresOfMercury,                              // torr
    };
    triggerEditor = new DelegateTableTime(0.0, 99999.0, 0, profileTable);
    profileTable->setItemDelegateForColumn(TimeColumn, timeEditor);
    profileTable->setItemDelegateForColumn(PressureColumn, pressureEditors[0]);
    profileTable->setItemDelegateForColumn(VacuumColumn, vacuumEditors[1]);
    profileTable->setItemDelegateForColumn(TriggerColumn, triggerEditor);

    for (int row = 0; row < cellCount; ++row) {
        profileTable->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row)));
        profileTable->setItem(row, TimeColumn, new QTableWidgetItem(QStringLiteral("0.0000")));
        profileTable->setItem(row, PressureColumn, new QTableWidgetItem(QStringLiteral("0.0")));
        profileTable->setItem(row, VacuumColumn, new QTableWidgetItem(QStringLiteral("0.0")));
        profileTable->setItem(row, TriggerColumn, new QTableWidgetItem(QStringLiteral("1")));
        state->times[row] = 0.0;
        state->pressures[row] = 0.0;
        state->vacuums[row] = 0.0;
        state->triggers[row] = 1;
    }
    profileTable->setHorizontalHeaderLabels({QStringLiteral("Dispense\nTime (s)"),
                                             QStringLiteral("Dispense\nPressure (PSI)"),
                                             QStringLiteral("Vacuum (H2O)"),
                                             QStringLiteral("Trigger")});
    // The columns share the table's width: no sideways scrolling.
    profileTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    // The label lies over the empty header corner; it must not take its clicks.
    cornerLabel = new QLabel(QStringLiteral("Mem\nCell"), profileTable);
    cornerLabel->setAlignment(Qt::AlignCenter);
    cornerLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The headers' sizes follow their texts; the label follows the headers.
    for (QHeaderView *header : {profileTable->horizontalHeader(), profileTable->verticalHeader()})
        connect(header, &QHeaderView::geometriesChanged, this, &MainWindow::resizeCorner);

    auto *tableLayout = new QHBoxLayout;
    tableLayout->addWidget(profileTable);
    ui->dispenseTableContainerFrame->setLayout(tableLayout);

    // Connected only now, so filling the table above runs no check.
    connect(profileTable, &QTableWidget::cellChanged, this, &MainWindow::dispenseTable_changed);
}

void MainWindow::dispenseTable_changed(int row, int column)
{
    QTableWidgetItem *cell = profileTable->item(row, column);
    const QString corrected = ProfileCellCheck::correctedText(
        column, cell->text(), state->pressureUnits, state->vacuumUnits);
    // Writing the correction raises cellChanged again; that pass finds it in range.
    if (!corrected.isNull())
        cell->setText(corrected);

    const QString text = cell->text();
    switch (column) {
    case TimeColumn:
        state->times[row] = ProfileCellCheck::storedValue(text);
        break;
    case PressureColumn:
        state->pressures[row] = ProfileCellCheck::storedValue(text);
        break;
    case VacuumColumn:
        state->vacuums[row] = ProfileCellCheck::storedValue(text);
        break;
    case TriggerColumn:
        state->triggers[row] = ProfileCellCheck::storedTrigger(text);
        break;
    default:
        return;
    }

    // A pending full redraw covers this change too.
    if (plotTimer->isActive())
        return;
    if (column == TriggerColumn)
        plotTimer->start();
    else if (column == plotParameter)
        updatePlotPoint(row, column);
}

void MainWindow::pressureUnitsChanged(int id)
{
    state->pressureUnits = id;
    profileTable->setItemDelegateForColumn(PressureColumn, pressureEditors[static_cast<size_t>(id)]);

    const QString unit = ui->pressureUnitGroup->button(id)->text();
    profileTable->horizontalHeaderItem(PressureColumn)
        ->setText(QStringLiteral("Dispense\nPressure (") + unit + QLatin1Char(')'));
    ui->label_23->setText(QStringLiteral("Pres (") + unit + QStringLiteral("):"));

    if (plotParameter == PressureColumn)
        plot_parameter_Changed();
    if (adjustParameter == PressureColumn)
        bulkAdjustParameterGroup_changed();

    // The settings panel's box takes the unit's range; bar needs three decimals.
    switch (id) {
    case 1:
        ui->pressureBox->setMaximum(6.895);
        ui->pressureBox->setDecimals(3);
        ui->pressureBox->setSingleStep(0.001);
        break;
    case 2:
        ui->pressureBox->setMaximum(689.5);
        ui->pressureBox->setDecimals(1);
        ui->pressureBox->setSingleStep(0.1);
        break;
    default:
        ui->pressureBox->setMaximum(100.0);
        ui->pressureBox->setDecimals(1);
        ui->pressureBox->setSingleStep(0.1);
        break;
    }
}

void MainWindow::vacuumUnitsChanged(int id)
{
    state->vacuumUnits = id;
    profileTable->setItemDelegateForColumn(VacuumColumn, vacuumEditors[static_cast<size_t>(id)]);

    const QString unit = ui->vacuumUnitsGroup->button(id)->text();
    profileTable->horizontalHeaderItem(VacuumColumn)
        ->setText(QStringLiteral("Vacuum\n(") + unit + QLatin1Char(')'));
    ui->label_24->setText(QStringLiteral("Vac (") + unit + QStringLiteral("):"));

    if (plotParameter == VacuumColumn)
        plot_parameter_Changed();
    if (adjustParameter == VacuumColumn)
        bulkAdjustParameterGroup_changed();
}

void MainWindow::updateTriggerHeading()
{
    QString heading = QStringLiteral("Trigger");
    if (state->aiMode == 0)
        heading += QStringLiteral(" (s)");
    else if (state->aiMode <= 2)
        heading += QStringLiteral(" (shots)");
    profileTable->horizontalHeaderItem(TriggerColumn)->setText(heading);
    ui->label_22->setText(heading + QLatin1Char(':'));

    if (adjustParameter == TriggerColumn)
        bulkAdjustParameterGroup_changed();
}

void MainWindow::resizeCorner()
{
    cornerLabel->setGeometry(0, 0, profileTable->verticalHeader()->width(),
                             profileTable->horizontalHeader()->height());
}

// Writing a text that equals the cell's raises no cellChanged, yet the value
// array may hold something else (an unrounded result, a value of another
// unit): the check then runs directly so that the array follows the text.
void MainWindow::writeCellText(int row, int column, const QString &text)
{
    QTableWidgetItem *cell = profileTable->item(row, column);
    if (cell->text() == text)
        dispenseTable_changed(row, column);
    else
        cell->setText(text);
}
