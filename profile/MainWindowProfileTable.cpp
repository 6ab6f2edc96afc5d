// Profile table, units and cell check.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DelegateTableTime.h"
#include "ProfileCellCheck.h"
#include "ProfileLimits.h"
#include "QTableWidgetWithCopyPaste.h"
#include "StatusTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTimer>

#include <cmath>

using namespace ProfileUnits;

namespace {

// The editors take any number: a value out of range is corrected by the
// cell check, which tells the user, instead of a keystroke refused unseen
// (30 typed under an 18 limit would otherwise become 3).
constexpr double editorReach = 1e6;

DelegateTableTime *editorFor(const Limits &limits, QObject *table)
{
    return new DelegateTableTime(-editorReach, editorReach, limits.decimals, table);
}

const QColor breachColour(255, 190, 190);
// A value the last verification found different on the Pelidor 7.
const QColor differenceColour(255, 220, 130);

} // namespace

void MainWindow::setupProfileTable()
{
    profileTable = new QTableWidgetWithCopyPaste(cellCount, 4, this);
    profileTable->setObjectName(QStringLiteral("profileTable"));

    // Editors by unit id; the table owns them. Millimetres of mercury and
    // torr share the one editor of their common range.
    timeEditor = editorFor(ProfileUnits::time(), profileTable);
    for (int unit = 0; unit < pressureUnitCount; ++unit)
        pressureEditors[size_t(unit)] = editorFor(ProfileUnits::pressure(unit), profileTable);
    for (int unit = 0; unit < Torr; ++unit)
        vacuumEditors[size_t(unit)] = editorFor(ProfileUnits::vacuum(unit), profileTable);
    vacuumEditors[Torr] = vacuumEditors[MillimetresOfMercury];
    triggerEditor = editorFor(ProfileUnits::trigger(), profileTable);
    profileTable->setItemDelegateForColumn(Time, timeEditor);
    profileTable->setItemDelegateForColumn(Pressure, pressureEditors[Psi]);
    profileTable->setItemDelegateForColumn(Vacuum, vacuumEditors[InchesOfWater]);
    profileTable->setItemDelegateForColumn(Trigger, triggerEditor);

    for (int row = 0; row < cellCount; ++row) {
        profileTable->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row)));
        profileTable->setItem(row, Time, new QTableWidgetItem(QStringLiteral("0.0000")));
        profileTable->setItem(row, Pressure, new QTableWidgetItem(QStringLiteral("0.0")));
        profileTable->setItem(row, Vacuum, new QTableWidgetItem(QStringLiteral("0.0")));
        profileTable->setItem(row, Trigger, new QTableWidgetItem(QStringLiteral("1")));
        state->times[row] = 0.0;
        state->pressures[row] = 0.0;
        state->vacuums[row] = 0.0;
        state->triggers[row] = 1;
    }
    profileTable->setHorizontalHeaderLabels(
            { QStringLiteral("Dispense\nTime (s)"), QStringLiteral("Dispense\nPressure (PSI)"),
              QStringLiteral("Vacuum (H2O)"), QStringLiteral("Trigger") });
    // The columns share the table's width: no sideways scrolling.
    profileTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    // The label lies over the empty header corner; it must not take its clicks.
    cornerLabel = new QLabel(QStringLiteral("Mem\nCell"), profileTable);
    cornerLabel->setAlignment(Qt::AlignCenter);
    cornerLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The headers' sizes follow their texts; the label follows the headers.
    for (QHeaderView *header : { profileTable->horizontalHeader(), profileTable->verticalHeader() })
        connect(header, &QHeaderView::geometriesChanged, this, &MainWindow::resizeCorner);

    auto *tableLayout = new QHBoxLayout;
    tableLayout->addWidget(profileTable);
    ui->dispenseTableContainerFrame->setLayout(tableLayout);
    // The arrow keys move between cells; Tab leaves the table for the plot
    // and Transmit below it, in reading order.
    profileTable->setTabKeyNavigation(false);
    setTabOrder(ui->centralTabWidget->findChild<QTabBar *>(QString(), Qt::FindDirectChildrenOnly),
                profileTable);

    noticeTimer = new QTimer(this);
    noticeTimer->setSingleShot(true);
    connect(noticeTimer, &QTimer::timeout, this, &MainWindow::showProfileNotes);

    // Connected only now, so filling the table above runs no check.
    connect(profileTable, &QTableWidget::cellChanged, this, &MainWindow::dispenseTable_changed);
}

void MainWindow::dispenseTable_changed(int row, int column)
{
    QTableWidgetItem *cell = profileTable->item(row, column);
    const QString typed = cell->text();
    const ProfileCellCheck::Correction correction =
            ProfileCellCheck::check(column, typed, state->pressureUnits, state->vacuumUnits);
    // Writing the correction raises cellChanged again; that pass finds it in range.
    if (!correction.text.isNull()) {
        if (!correction.reason.isEmpty())
            noteProfileChange(ProfileCellCheck::correctionMessage(row, column, typed, correction));
        cell->setText(correction.text);
    }

    const QString text = cell->text();
    if (column == Trigger)
        state->triggers[row] = ProfileCellCheck::storedTrigger(text);
    else
        state->values(column)[row] = ProfileCellCheck::storedValue(text);
    profileUnsaved = true;
    // The value is no longer the one the verification compared.
    verification.forget(row, column);
    showCellMark(row, column);

    // A pending full redraw covers this change too.
    if (plotTimer->isActive())
        return;
    if (column == Trigger)
        plotTimer->start();
    else if (column == plotParameter)
        updatePlotPoint(row, column);
}

void MainWindow::pressureUnitsChanged(int id)
{
    const Limits &unit = ProfileUnits::pressure(id);
    state->pressureUnits = id;
    // The numbers stay (they are the dispenser's own, in whatever unit it is
    // set to); those outside the new unit's limits are marked, and a value
    // the panel read in the old unit is no longer known in the new one.
    if (id != shownPressureUnit) {
        shownPressureUnit = id;
        showColumnMarks(Pressure);
        forgetPanelValue(ui->pressureBox);
    }
    profileTable->setItemDelegateForColumn(Pressure, pressureEditors[size_t(id)]);

    const QString heading = QLatin1String(unit.heading);
    profileTable->horizontalHeaderItem(Pressure)->setText(QStringLiteral("Dispense\nPressure (")
                                                          + heading + QLatin1Char(')'));
    ui->label_23->setText(QStringLiteral("Pres (") + heading + QStringLiteral("):"));

    if (plotParameter == Pressure)
        plot_parameter_Changed();
    if (adjustParameter == Pressure)
        bulkAdjustParameterGroup_changed();

    // The settings panel's box takes the unit's precision and range; the
    // decimals first, as the box rounds its maximum to them.
    ui->pressureBox->setDecimals(unit.decimals);
    ui->pressureBox->setMaximum(unit.maximum);
    ui->pressureBox->setSingleStep(std::pow(10.0, -unit.decimals));
}

void MainWindow::vacuumUnitsChanged(int id)
{
    state->vacuumUnits = id;
    if (id != shownVacuumUnit) {
        shownVacuumUnit = id;
        showColumnMarks(Vacuum);
        forgetPanelValue(ui->vacuumBox);
    }
    profileTable->setItemDelegateForColumn(Vacuum, vacuumEditors[size_t(id)]);

    const QString heading = QLatin1String(ProfileUnits::vacuum(id).heading);
    profileTable->horizontalHeaderItem(Vacuum)->setText(QStringLiteral("Vacuum\n(") + heading
                                                        + QLatin1Char(')'));
    ui->label_24->setText(QStringLiteral("Vac (") + heading + QStringLiteral("):"));

    if (plotParameter == Vacuum)
        plot_parameter_Changed();
    if (adjustParameter == Vacuum)
        bulkAdjustParameterGroup_changed();
}

void MainWindow::showChoice(QButtonGroup *group, int id, void (MainWindow::*changed)(int))
{
    if (QAbstractButton *button = group->button(id)) {
        button->setChecked(true);
        (this->*changed)(id);
    }
}

void MainWindow::showPressureUnit(int unit)
{
    showChoice(ui->pressureUnitGroup, unit, &MainWindow::pressureUnitsChanged);
}

void MainWindow::showVacuumUnit(int unit)
{
    showChoice(ui->vacuumUnitsGroup, unit, &MainWindow::vacuumUnitsChanged);
}

void MainWindow::updateTriggerHeading()
{
    QString heading = QStringLiteral("Trigger");
    const QString unit = ProfileUnits::triggerUnit(state->aiMode);
    if (!unit.isEmpty())
        heading += QStringLiteral(" (") + unit + QLatin1Char(')');
    profileTable->horizontalHeaderItem(Trigger)->setText(heading);
    ui->label_22->setText(heading + QLatin1Char(':'));

    if (adjustParameter == Trigger)
        bulkAdjustParameterGroup_changed();
}

void MainWindow::resizeCorner()
{
    cornerLabel->setGeometry(0, 0, profileTable->verticalHeader()->width(),
                             profileTable->horizontalHeader()->height());
}

// A value outside its column's limits (left behind by a unit change) is
// marked with the limit it breaks; the mark goes once the value is corrected.
// A value the last verification found different on the dispenser is marked
// with what the dispenser holds, in a colour of its own unless the value is
// also outside its limits; the tooltip then tells both.
void MainWindow::showCellMark(int row, int column)
{
    QTableWidgetItem *cell = profileTable->item(row, column);
    const double value =
            column == Trigger ? double(state->triggers[row]) : state->values(column)[row];
    const QString breach =
            ProfileLimits::breachOf(column, value, state->pressureUnits, state->vacuumUnits);
    const QString difference = verification.noteAt(row, column);
    const bool marked = cell->data(Qt::BackgroundRole).isValid();
    if (breach.isEmpty() && difference.isNull() && !marked)
        return;
    // Marks are no edits: the cell check must not run for them.
    const QSignalBlocker noCheck(profileTable);
    QStringList notes;
    if (!breach.isEmpty())
        notes << QStringLiteral("Outside the limits: %1 %2")
                         .arg(ProfileCellCheck::columnName(column), breach);
    if (!difference.isNull())
        notes << difference;
    if (notes.isEmpty()) {
        cell->setData(Qt::BackgroundRole, QVariant());
        cell->setToolTip(QString());
    } else {
        cell->setBackground(breach.isEmpty() ? differenceColour : breachColour);
        cell->setToolTip(notes.join(QLatin1Char('\n')));
    }
}

void MainWindow::showColumnMarks(int column)
{
    for (int row = 0; row < cellCount; ++row)
        showCellMark(row, column);
    unitsChangedSinceNote = true;
    noticeTimer->start();
}

// Corrections and marks of one burst of changes (a paste, a file, a unit
// change) are told together once the event loop is idle.
void MainWindow::noteProfileChange(const QString &text)
{
    profileCorrections << text;
    noticeTimer->start();
}

void MainWindow::showProfileNotes()
{
    QStringList parts;
    const int count = profileCorrections.size();
    if (count == 1)
        parts << profileCorrections.first();
    else if (count > 1)
        parts << QStringLiteral("%1 values corrected: %2%3")
                         .arg(count)
                         .arg(profileCorrections.mid(0, 3).join(QStringLiteral("; ")),
                              count > 3 ? QStringLiteral("; ...") : QString());
    if (unitsChangedSinceNote)
        parts << ProfileLimits::outsideSummary(ProfileLimits::breaches(*state, 0, lastCell),
                                               *state);
    profileCorrections.clear();
    unitsChangedSinceNote = false;
    parts.removeAll(QString());
    if (!parts.isEmpty())
        showStatus(StatusMessage::failed(parts.join(QStringLiteral("; "))));
}

void MainWindow::writeCellValues(int cell, const DispenserState &values)
{
    writeCellText(cell, Time, StatusTexts::valueText(values.times[cell]));
    writeCellText(cell, Pressure, StatusTexts::valueText(values.pressures[cell]));
    writeCellText(cell, Vacuum, StatusTexts::valueText(values.vacuums[cell]));
    writeCellText(cell, Trigger, QString::number(values.triggers[cell]));
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
