#include "SettingsExchange.h"

#include "DispenserLink.h"
#include "DispenserRanges.h"
#include "ProfileUnits.h"

#include <QDebug>

namespace SettingsExchange {

namespace {

// A sequence reports its first failure, if any.
void keepFirstFailure(int &firstFailure, int code)
{
    if (firstFailure == DispenserLink::ok)
        firstFailure = code;
}

double fromDevice(double pressure, int pressureUnit)
{
    return pressure / ProfileUnits::pressure(pressureUnit).deviceFactor;
}

double toDevice(double pressure, int pressureUnit)
{
    return pressure * ProfileUnits::pressure(pressureUnit).deviceFactor;
}

} // namespace

Reading readSettings(DispenserLink &link, int pressureUnit, const Progress &progress)
{
    Reading reading;

    progress(QStringLiteral("Getting Total Status Feedback"));
    Status status;
    int code = link.getTotalStatusFeedback(status.aiMode, status.dispenseMode, status.startCell,
                                           status.endCell);
    DispenserLink::printError(code);
    keepFirstFailure(reading.firstFailure, code);
    if (code == DispenserLink::ok)
        reading.status = status;
    qDebug() << "Executing gettotaldispensestatus";
    DispenserLink::printError(code);

    progress(QStringLiteral("Getting DispenseTime,Pressure from Mem Cell"));
    int cell = 0;
    double time = 0.0;
    double pressure = 0.0;
    code = link.getMemTimePressure(cell, time, pressure);
    keepFirstFailure(reading.firstFailure, code);
    if (code == DispenserLink::ok) {
        reading.currentCell = cell;
        reading.time = time;
        reading.pressure = fromDevice(pressure, pressureUnit);
    }
    DispenserLink::printError(code);

    // The vacuum read asks for the cell just read; without it there is none to ask for.
    progress(QStringLiteral("Getting Vacuum Units"));
    if (reading.currentCell) {
        double vacuum = 0.0;
        code = link.getPressureTimeVacuum(cell, pressure, time, vacuum);
        keepFirstFailure(reading.firstFailure, code);
        if (code == DispenserLink::ok)
            reading.vacuum = vacuum;
        DispenserLink::printError(code);
    }

    progress(QStringLiteral("Getting Trigger Units"));
    int trigger = 0;
    code = link.getTrigger(trigger);
    keepFirstFailure(reading.firstFailure, code);
    if (code == DispenserLink::ok)
        reading.trigger = trigger;
    DispenserLink::printError(code);

    // A working dispenser passes 100000 shots; the count's field holds seven
    // digits, which the link reports as out of range but stores.
    progress(QStringLiteral("Getting SHOT Count Units"));
    int shotCount = -1;
    code = link.getShotCount(shotCount);
    if (code == DispenserLink::invalidReply && shotCount > DispenserRanges::maxShotCount)
        code = DispenserLink::ok;
    keepFirstFailure(reading.firstFailure, code);
    if (code == DispenserLink::ok)
        reading.shotCount = shotCount;

    progress(QStringLiteral("Getting Time Units"));
    Clock clock;
    code = link.getTime(clock.hour, clock.minute, clock.twentyFourHour);
    keepFirstFailure(reading.firstFailure, code);
    if (code == DispenserLink::ok)
        reading.clock = clock;

    return reading;
}

int sendSettings(DispenserLink &link, const Settings &settings, int pressureUnit,
                 const Progress &progress)
{
    int firstFailure = DispenserLink::ok;

    progress(QStringLiteral("Sending AiMode Settings to Device!"));
    keepFirstFailure(firstFailure, link.setAiMode(settings.aiMode));

    progress(QStringLiteral("Sending Dispense Mode Settings to Device!"));
    if (settings.dispenseMode >= 0)
        keepFirstFailure(firstFailure, link.setDispenseMode(settings.dispenseMode));

    qDebug() << "End Mem Cell Val: " << settings.endCell;
    progress(QStringLiteral("Sending StartEndMemCell Mode Settings to Device!"));
    const int rangeCode = link.setStartEndMemCell(settings.startCell, settings.endCell);
    DispenserLink::printError(rangeCode);
    keepFirstFailure(firstFailure, rangeCode);

    progress(QStringLiteral("Sending Current MemCell Settings to Device!"));
    keepFirstFailure(firstFailure, link.setMemCell(settings.cell));

    progress(QStringLiteral("Sending Dispense Time Settings to Device!"));
    keepFirstFailure(firstFailure, link.setDispenseTime(settings.time));

    progress(QStringLiteral("Sending Pressure Settings to Device!"));
    keepFirstFailure(firstFailure, link.setPressure(toDevice(settings.pressure, pressureUnit)));

    progress(QStringLiteral("Sending Vaccum Settings to Device!"));
    keepFirstFailure(firstFailure, link.setVacuum(settings.vacuum));

    progress(QStringLiteral("Sending Trigger Settings to Device!"));
    keepFirstFailure(firstFailure, link.setTrigger(settings.trigger));

    return firstFailure;
}

CellReading readCell(DispenserLink &link, int cell, int pressureUnit, const Progress &progress)
{
    CellReading reading;

    progress(QStringLiteral("Get Settings from Device!"));
    CellValues values;
    const int cellCode =
            link.getPressureTimeVacuum(cell, values.pressure, values.time, values.vacuum);
    keepFirstFailure(reading.firstFailure, cellCode);
    if (cellCode == DispenserLink::ok) {
        values.pressure = fromDevice(values.pressure, pressureUnit);
        reading.values = values;
    }

    progress(QStringLiteral("Get Trigger Settings from Device!"));
    int trigger = 0;
    const int triggerCode = link.getTrigger(trigger);
    keepFirstFailure(reading.firstFailure, triggerCode);
    if (triggerCode == DispenserLink::ok)
        reading.trigger = trigger;

    return reading;
}

} // namespace SettingsExchange
