// Transmission of the profile to the dispenser.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DispenserLink.h"

#include <QCoreApplication>
#include <QLabel>
#include <algorithm>

// Sends every cell of the job's range, select first, then its four values,
// and finally the range itself. A refused command does not stop the run, but
// the status bar says how many failed and where the first one was.
void MainWindow::on_pushButton_clicked()
{
    // Events are processed between commands; a second click must not start
    // another run inside this one.
    if (transmitting)
        return;
    transmitting = true;

    const int lastCell = DispenserState::cellCount - 1;
    int failedCount = 0;
    int firstFailedCell = -1;
    auto tally = [&](int cell, int code) {
        if (code == 0)
            return;
        ++failedCount;
        if (firstFailedCell < 0)
            firstFailedCell = cell;
    };

    // The end is read again each round: an edit of the range while the run
    // goes on takes effect. Cells outside the profile are never indexed.
    for (int cell = std::max(state->startCell, 0); cell <= std::min(state->endCell, lastCell);
         ++cell) {
        connectionLabel->setText(QStringLiteral("Transmitting MemCell %1").arg(cell));
        QCoreApplication::processEvents();
        tally(cell, link->setMemCell(cell));
        QCoreApplication::processEvents();

        // The dispenser takes bar in hundredths.
        double pressure = state->pressures[cell];
        if (state->pressureUnits == 1)
            pressure *= 100.0;
        tally(cell, link->setPressure(pressure));
        QCoreApplication::processEvents();
        tally(cell, link->setDispenseTime(state->times[cell]));
        QCoreApplication::processEvents();
        tally(cell, link->setVacuum(state->vacuums[cell]));
        QCoreApplication::processEvents();
        tally(cell, link->setTrigger(state->triggers[cell]));
    }
    QCoreApplication::processEvents();

    const int rangeCode = link->setStartEndMemCell(ui->bulkAdjustStart->value(),
                                                   ui->bulkAdjustEnd->value());
    if (rangeCode != 0)
        ++failedCount;

    if (firstFailedCell >= 0) {
        connectionLabel->setText(QStringLiteral("Transmit incomplete: %1 commands failed, first at MemCell %2")
                                     .arg(failedCount)
                                     .arg(firstFailedCell));
    } else if (rangeCode != 0) {
        connectionLabel->setText(deviceOutcomeText(rangeCode));
    }
    transmitting = false;
}
