#include "ProfileTransmission.h"

#include "DispenserLink.h"
#include "DispenserState.h"
#include "ProfileLimits.h"

#include <array>

namespace ProfileTransmission {

QString Result::summary() const
{
    if (!refusal.isEmpty())
        return refusal;
    if (stoppedAtCell >= 0) {
        const QString reason = stopCode == DispenserLink::ok ? QStringLiteral("stopped by the user")
                                                             : DispenserLink::failureText(stopCode);
        return QStringLiteral("Transmit stopped at MemCell %1: %2").arg(stoppedAtCell).arg(reason);
    }
    if (failedCount > 0 && firstFailedCell >= 0)
        return QStringLiteral("Transmit incomplete: %1 commands failed, first at MemCell %2")
                .arg(failedCount)
                .arg(firstFailedCell);
    if (rangeCode != DispenserLink::ok)
        return DispenserLink::failureText(rangeCode);
    if (lastCell < firstCell)
        return QStringLiteral("Transmit complete: no cells in the range");
    return QStringLiteral("Transmit complete: MemCell %1 to %2").arg(firstCell).arg(lastCell);
}

Result transmit(DispenserLink &link, const DispenserState &state, int rangeStart, int rangeEnd,
                const ShowCell &showCell, const KeepGoing &keepGoing)
{
    Result result;
    result.firstCell = state.firstRangeCell();
    result.lastCell = result.firstCell - 1;
    result.refusal = ProfileLimits::nothingSentSummary(
            ProfileLimits::breaches(state, state.firstRangeCell(), state.lastRangeCell()));
    if (!result.refusal.isEmpty())
        return result;
    auto stopAt = [&](int cell, int code) {
        result.stoppedAtCell = cell;
        result.stopCode = code;
        return result;
    };

    for (int cell = result.firstCell; cell <= state.lastRangeCell(); ++cell) {
        result.lastCell = cell;
        showCell(cell);
        const std::array<std::function<int()>, 5> commands = {
            [&] { return link.setMemCell(cell); },
            [&] {
                return link.setPressure(state.pressures[cell]
                                        * ProfileUnits::pressure(state.pressureUnits).deviceFactor);
            },
            [&] { return link.setDispenseTime(state.times[cell]); },
            [&] { return link.setVacuum(state.vacuums[cell]); },
            [&] { return link.setTrigger(state.triggers[cell]); },
        };
        for (const auto &command : commands) {
            if (!keepGoing())
                return stopAt(cell, DispenserLink::ok);
            const int code = command();
            if (DispenserLink::isUnanswered(code))
                return stopAt(cell, code);
            if (code != DispenserLink::ok) {
                ++result.failedCount;
                if (result.firstFailedCell < 0)
                    result.firstFailedCell = cell;
            }
        }
    }

    if (!keepGoing())
        return stopAt(result.lastCell, DispenserLink::ok);
    result.rangeCode = link.setStartEndMemCell(rangeStart, rangeEnd);
    if (result.rangeCode != DispenserLink::ok)
        ++result.failedCount;
    return result;
}

} // namespace ProfileTransmission
