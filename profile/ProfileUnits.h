#ifndef PROFILEUNITS_H
#define PROFILEUNITS_H

#include "DispenserRanges.h"

#include <QString>

// The units of the profile and the limits of its columns: one table that the
// cell check, the cell editors, the settings panel, the profile files and the
// transmission share.
namespace ProfileUnits {

constexpr int cellCount = DispenserRanges::cellCount;
constexpr int lastCell = DispenserRanges::lastCell;

// Ids of the pressure unit buttons and of the dispenser's pressure units.
enum PressureUnit { Psi = 0, Bar = 1, PressureKpa = 2 };
// Ids of the vacuum unit buttons and of the dispenser's vacuum units.
enum VacuumUnit {
    VacuumKpa = 0,
    InchesOfWater = 1,
    InchesOfMercury = 2,
    MillimetresOfMercury = 3,
    Torr = 4
};
enum AiMode { AiTimed = 0, AiCount = 1, AiSequence = 2, AiOff = 3 };
// Table columns, plotted and adjusted parameters.
enum Parameter { Time = 0, Pressure = 1, Vacuum = 2, Trigger = 3 };

// One column's range in one unit. Values travel between the window and the
// dispenser multiplied by deviceFactor (the dispenser takes bar in hundredths).
struct Limits
{
    const char *fileName; // as profile files spell the unit
    const char *heading; // as the unit buttons and the column headings show it
    double maximum;
    int decimals; // of the cell editor; its step is 10^-decimals
    double deviceFactor;

    // The texts a value below zero or above the maximum is replaced with.
    QString zeroText() const { return QString::number(0.0, 'f', decimals); }
    QString maximumText() const { return QString::number(maximum, 'f', decimals); }
};

constexpr int pressureUnitCount = 3;
constexpr int vacuumUnitCount = 5;

// The limits of a unit id; an unknown id gets the limits of id 0.
const Limits &pressure(int unit);
const Limits &vacuum(int unit);
const Limits &time();
const Limits &trigger(); // 1 to 99999, whole numbers
constexpr int minimumTrigger = 1;
// What a trigger counts in the auto-increment mode: "s", "shots", or
// nothing when the mode is off or unknown.
QString triggerUnit(int aiMode);

} // namespace ProfileUnits

#endif // PROFILEUNITS_H
