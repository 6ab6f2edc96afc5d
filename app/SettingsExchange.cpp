#include "SettingsExchange.h"

#include "DispenserLink.h"
#include "DispenserRanges.h"
#include "ProfileUnits.h"

#include <QDebug>

namespace SettingsExchange {

namespace {

// The codes of a sequence: the first failure is reported, and after a
// command the dispenser did not answer (or the line lost) no later step is
// tried; a refused command does not stop it.
class Steps
{
public:
    // Keeps the code; false when the sequence must stop.
    bool take(int code)
    {
        if (firstFailure == DispenserLink::ok)
            firstFailure = code;
        stopped = DispenserLink::isUnanswered(code);
        return !stopped;
    }
    bool stopped = false;
    int firstFailure = DispenserLink::ok;
};

double fromDevice(double pressure, int pressureUnit)
{
    return pressure / ProfileUnits::pressure(pressureUnit).deviceFactor;
}

double toDevice(double pressure, int pressureUnit)
{
    return pressure * ProfileUnits::pressure(pressureUnit).deviceFactor;
}

} // namespace

bool Reading::hasProfileCell() const
{
    return currentCell && !DispenserRanges::isAbove(*currentCell, DispenserRanges::lastCell);
}

Reading readSettings(DispenserLink &link, const Progress &progress)
{
    Reading reading;
    Steps steps;
    auto finish = [&] {
        reading.firstFailure = steps.firstFailure;
        return reading;
    };

    progress(QStringLiteral("Reading Pressure Units"));
    int unit = 0;
    int code = link.getPressureUnits(unit);
    DispenserLink::printError(code);
    if (code == DispenserLink::ok)
        reading.pressureUnit = unit;
    if (!steps.take(code))
        return finish();
    progress(QStringLiteral("Reading Vacuum Units"));
    code = link.getVacuumUnits(unit);
    if (code == DispenserLink::ok)
        reading.vacuumUnit = unit;
    if (!steps.take(code))
        return finish();

    progress(QStringLiteral("Getting Total Status Feedback"));
    Status status;
    code = link.getTotalStatusFeedback(status.aiMode, status.dispenseMode, status.startCell,
                                       status.endCell);
    DispenserLink::printError(code);
    if (code == DispenserLink::ok)
        reading.status = status;
    qDebug() << "Executing gettotaldispensestatus";
    DispenserLink::printError(code);
    if (!steps.take(code))
        return finish();

    progress(QStringLiteral("Getting DispenseTime,Pressure from Mem Cell"));
    int cell = 0;
    double time = 0.0;
    double pressure = 0.0;
    code = link.getMemTimePressure(cell, time, pressure);
    // A cell the profile does not hold is still shown, with its values.
    if (code == DispenserLink::ok
        || (code == DispenserLink::invalidReply
            && DispenserRanges::isAbove(cell, DispenserRanges::lastCell))) {
        reading.currentCell = cell;
        reading.time = time;
        if (reading.pressureUnit)
            reading.pressure = fromDevice(pressure, *reading.pressureUnit);
    }
    DispenserLink::printError(code);
    if (!steps.take(code))
        return finish();

    // The vacuum read asks for the cell just read; without it there is none to ask for.
    progress(QStringLiteral("Getting Vacuum Units"));
    if (reading.hasProfileCell()) {
        double vacuum = 0.0;
        code = link.getPressureTimeVacuum(cell, pressure, time, vacuum);
        if (code == DispenserLink::ok && reading.vacuumUnit)
            reading.vacuum = vacuum;
        DispenserLink::printError(code);
        if (!steps.take(code))
            return finish();
    }

    progress(QStringLiteral("Getting Trigger Units"));
    int trigger = 0;
    code = link.getTrigger(trigger);
    if (code == DispenserLink::ok)
        reading.trigger = trigger;
    DispenserLink::printError(code);
    if (!steps.take(code))
        return finish();

    // A working dispenser passes 100000 shots; the count's field holds seven
    // digits, which the link reports as out of range but stores.
    progress(QStringLiteral("Getting SHOT Count Units"));
    int shotCount = -1;
    code = link.getShotCount(shotCount);
    if (code == DispenserLink::invalidReply && shotCount > DispenserRanges::maxShotCount)
        code = DispenserLink::ok;
    if (code == DispenserLink::ok)
        reading.shotCount = shotCount;
    if (!steps.take(code))
        return finish();

    progress(QStringLiteral("Getting Time Units"));
    Clock clock;
    code = link.getTime(clock.hour, clock.minute, clock.twentyFourHour);
    if (code == DispenserLink::ok)
        reading.clock = clock;
    steps.take(code);
    return finish();
}

int sendSettings(DispenserLink &link, const Settings &settings, int pressureUnit,
                 const Progress &progress)
{
    Steps steps;

    progress(QStringLiteral("Sending AiMode Settings to Device!"));
    if (!steps.take(link.setAiMode(settings.aiMode)))
        return steps.firstFailure;

    progress(QStringLiteral("Sending Dispense Mode Settings to Device!"));
    if (settings.dispenseMode >= 0 && !steps.take(link.setDispenseMode(settings.dispenseMode)))
        return steps.firstFailure;

    qDebug() << "End Mem Cell Val: " << settings.endCell;
    progress(QStringLiteral("Sending StartEndMemCell Mode Settings to Device!"));
    const int rangeCode = link.setStartEndMemCell(settings.startCell, settings.endCell);
    DispenserLink::printError(rangeCode);
    if (!steps.take(rangeCode))
        return steps.firstFailure;

    progress(QStringLiteral("Sending Current MemCell Settings to Device!"));
    if (!steps.take(link.setMemCell(settings.cell)))
        return steps.firstFailure;

    if (settings.time) {
        progress(QStringLiteral("Sending Dispense Time Settings to Device!"));
        if (!steps.take(link.setDispenseTime(*settings.time)))
            return steps.firstFailure;
    }
    if (settings.pressure) {
        progress(QStringLiteral("Sending Pressure Settings to Device!"));
        if (!steps.take(link.setPressure(toDevice(*settings.pressure, pressureUnit))))
            return steps.firstFailure;
    }
    if (settings.vacuum) {
        progress(QStringLiteral("Sending Vaccum Settings to Device!"));
        if (!steps.take(link.setVacuum(*settings.vacuum)))
            return steps.firstFailure;
    }
    if (settings.trigger) {
        progress(QStringLiteral("Sending Trigger Settings to Device!"));
        steps.take(link.setTrigger(*settings.trigger));
    }
    return steps.firstFailure;
}

CellReading readCell(DispenserLink &link, int cell, int pressureUnit, bool readTrigger,
                     const Progress &progress)
{
    CellReading reading;
    Steps steps;

    progress(QStringLiteral("Get Settings from Device!"));
    double time = 0.0;
    double pressure = 0.0;
    double vacuum = 0.0;
    const int cellCode = link.getPressureTimeVacuum(cell, pressure, time, vacuum);
    if (cellCode == DispenserLink::ok) {
        reading.time = time;
        reading.pressure = fromDevice(pressure, pressureUnit);
        reading.vacuum = vacuum;
    }
    if (steps.take(cellCode) && readTrigger) {
        progress(QStringLiteral("Get Trigger Settings from Device!"));
        int trigger = 0;
        const int triggerCode = link.getTrigger(trigger);
        if (triggerCode == DispenserLink::ok)
            reading.trigger = trigger;
        steps.take(triggerCode);
    }
    reading.firstFailure = steps.firstFailure;
    return reading;
}

} // namespace SettingsExchange
