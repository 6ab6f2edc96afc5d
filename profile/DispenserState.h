#ifndef DISPENSERSTATE_H
#define DISPENSERSTATE_H

#include <array>

class QString;

// The window's copy of the dispenser's settings and of the 400-cell dispense
// profile. Not persisted: the dispenser itself is the lasting store.
class DispenserState
{
public:
    static constexpr int cellCount = 400;

    int aiMode = 3;        // 0 Timed, 1 Count, 2 Sequence, 3 Off
    int dispenseMode = 0;  // 0 Timed, 1 Steady
    std::array<int, cellCount> triggers{};
    std::array<double, cellCount> vacuums{};
    std::array<double, cellCount> pressures{};
    std::array<double, cellCount> times{};
    int currentCell = 0;
    int startCell = 0;
    int endCell = 399;
    int pressureUnits = 0; // 0 PSI, 1 bar, 2 kPa
    int vacuumUnits = 1;   // 0 kPa, 1 "H2O, 2 "Hg, 3 mmHg, 4 torr
    int language = 0;
    int alarms = 0;
    int lockouts = 0;
    int month = 1;
    int day = 1;
    int year = 1977;
    int hour = 0;
    int minute = 0;
    bool clock24 = true;

    // Result codes of the profile file routines.
    static constexpr int fileOk = 0;
    static constexpr int fileOpenFailed = 1;
    static constexpr int fileWriteFailed = 2;
    static constexpr int filePressureUnitUnknown = 3;
    static constexpr int fileVacuumUnitUnknown = 4;
    static constexpr int fileInvalidMemCell = 5;
    static constexpr int fileTruncated = 6;

    // Saves the cells startCell..endCell as a comma-separated text profile.
    // The previous file stays as it was unless the new one is complete.
    int writeProfile(const QString &fileName) const;

    // Loads a text or binary profile. Either the whole file is taken or,
    // on any error, nothing in the record changes.
    int readProfile(const QString &fileName);
};

#endif // DISPENSERSTATE_H
