#include "ProfileReadBack.h"

#include "DispenserLink.h"
#include "DispenserState.h"
#include "ProfileLimits.h"

#include <QStringList>

#include <array>

namespace ProfileReadBack {

QString Result::problems(const QString &what) const
{
    QStringList parts;
    if (!stoppedBefore.isEmpty())
        parts << QStringLiteral("%1 not started: %2 could not be read: %3")
                         .arg(what, stoppedBefore, DispenserLink::failureText(stopCode));
    else if (stoppedAtCell >= 0)
        parts << QStringLiteral("%1 stopped at MemCell %2: %3")
                         .arg(what)
                         .arg(stoppedAtCell)
                         .arg(stopCode == DispenserLink::ok ? QStringLiteral("stopped by the user")
                                                            : DispenserLink::failureText(stopCode));
    if (!failedCells.isEmpty())
        parts << QStringLiteral("MemCell %1 could not be read: %2")
                         .arg(ProfileLimits::cellList(failedCells),
                              DispenserLink::failureText(failureCode));
    if (restoreCode != DispenserLink::ok && originalCell) {
        // The hint of the stop's failure is not repeated for the same failure.
        const QString message = DispenserLink::errorMessage(restoreCode);
        parts << QStringLiteral("the current cell could not be set back to MemCell %1: %2")
                         .arg(*originalCell)
                         .arg(restoreCode == stopCode && !message.isEmpty()
                                      ? message
                                      : DispenserLink::failureText(restoreCode));
    }
    return parts.join(QStringLiteral("; "));
}

QString Result::summary() const
{
    const QString problem = problems(QStringLiteral("Read"));
    if (!problem.isEmpty())
        return problem;
    return QStringLiteral("Read complete: MemCell %1").arg(ProfileLimits::cellList(cells));
}

QList<int> cellRange(int first, int last)
{
    QList<int> cells;
    for (int cell = first; cell <= last; ++cell)
        cells << cell;
    return cells;
}

Result read(DispenserLink &link, const QList<int> &cells, DispenserState &into,
            const ShowCell &showCell, const KeepGoing &keepGoing)
{
    Result result;
    result.cells = cells;
    auto stopBefore = [&](const char *what, int code) {
        result.stoppedBefore = QLatin1String(what);
        result.stopCode = code;
        return result;
    };

    int pressureUnit = 0;
    int vacuumUnit = 0;
    int code = link.getPressureUnits(pressureUnit);
    if (code == DispenserLink::ok)
        code = link.getVacuumUnits(vacuumUnit);
    if (code != DispenserLink::ok)
        return stopBefore("the units", code);
    result.pressureUnit = into.pressureUnits = pressureUnit;
    result.vacuumUnit = into.vacuumUnits = vacuumUnit;
    int originalCell = 0;
    code = link.getMemCell(originalCell);
    // Without it the dispenser could not be left on its cell.
    if (code != DispenserLink::ok)
        return stopBefore("the current cell", code);
    result.originalCell = originalCell;

    for (int cell : cells) {
        showCell(cell);
        int trigger = 0;
        double time = 0.0;
        double pressure = 0.0;
        double vacuum = 0.0;
        const std::array<std::function<int()>, 3> commands = {
            [&] {
                result.movedCell = true;
                return link.setMemCell(cell);
            },
            [&] { return link.getTrigger(trigger); },
            [&] { return link.getPressureTimeVacuum(cell, pressure, time, vacuum); },
        };
        bool stoppedByUser = false;
        code = DispenserLink::ok;
        // After a failure the cell's other reads would not belong to it: a
        // refused selection leaves another cell current.
        for (const auto &command : commands) {
            stoppedByUser = !keepGoing();
            if (stoppedByUser)
                break;
            code = command();
            if (code != DispenserLink::ok)
                break;
        }
        if (stoppedByUser || DispenserLink::isUnanswered(code)) {
            result.stoppedAtCell = cell;
            result.stopCode = code;
            break;
        }
        if (code != DispenserLink::ok) {
            if (result.failedCells.isEmpty())
                result.failureCode = code;
            result.failedCells << cell;
            continue;
        }
        into.times[cell] = time;
        into.pressures[cell] = pressure / ProfileUnits::pressure(pressureUnit).deviceFactor;
        into.vacuums[cell] = vacuum;
        into.triggers[cell] = trigger;
        result.cellsRead << cell;
    }

    if (result.movedCell)
        result.restoreCode = link.setMemCell(originalCell);
    return result;
}

} // namespace ProfileReadBack
