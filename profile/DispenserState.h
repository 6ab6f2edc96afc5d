#ifndef DISPENSERSTATE_H
#define DISPENSERSTATE_H

#include "ProfileUnits.h"

#include <algorithm>
#include <array>

#include <QList>

class QString;

// The window's copy of the dispenser's settings and of the 400-cell dispense
// profile. Not persisted: the dispenser itself is the lasting store.
class DispenserState
{
public:
    int aiMode = ProfileUnits::AiOff;
    int dispenseMode = 0; // 0 Timed, 1 Steady
    std::array<int, ProfileUnits::cellCount> triggers {};
    std::array<double, ProfileUnits::cellCount> vacuums {};
    std::array<double, ProfileUnits::cellCount> pressures {};
    std::array<double, ProfileUnits::cellCount> times {};
    int currentCell = 0;
    int startCell = 0;
    int endCell = ProfileUnits::lastCell;
    int pressureUnits = ProfileUnits::Psi;
    int vacuumUnits = ProfileUnits::InchesOfWater;
    int language = 0;
    int alarms = 0;
    int lockouts = 0;
    int month = 1;
    int day = 1;
    int year = 1977;
    int hour = 0;
    int minute = 0;
    bool clock24 = true;

    // The cells of the range startCell..endCell that the profile holds; none
    // when the last lies before the first.
    int firstRangeCell() const { return std::max(startCell, 0); }
    int lastRangeCell() const { return std::min(endCell, ProfileUnits::lastCell); }

    // The value array of a time, pressure or vacuum column.
    std::array<double, ProfileUnits::cellCount> &values(int parameter);
    const std::array<double, ProfileUnits::cellCount> &values(int parameter) const;

    // Saves the cells startCell..endCell as a comma-separated text profile;
    // a ProfileFile code.
    int writeProfile(const QString &fileName, QString *reason = nullptr) const;
    // Loads a text or binary profile; a ProfileFile code. `cellsRead`, when
    // given, receives the cells the file held; `reason` the system's words
    // for a failure.
    int readProfile(const QString &fileName, QList<int> *cellsRead = nullptr,
                    QString *reason = nullptr);
};

#endif // DISPENSERSTATE_H
