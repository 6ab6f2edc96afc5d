#ifndef SETTINGSEXCHANGE_H
#define SETTINGSEXCHANGE_H

#include <QString>

#include <functional>
#include <optional>

class DispenserLink;

// The settings panel's exchanges with the dispenser (Get, Send and the read
// of one memory cell), in their fixed order, without widgets: the window
// shows what they return. Pressures are in the unit the window shows; the
// dispenser takes and gives a bar pressure in hundredths. A sequence stops at
// the first command the dispenser does not answer; what was read before
// stands.
namespace SettingsExchange {

// Called with the text of each step before the step waits on the line.
using Progress = std::function<void(const QString &text)>;

struct Status
{
    int aiMode = 3;
    int dispenseMode = 1;
    int startCell = 0;
    int endCell = 0;
};

struct Clock
{
    int hour = 0;
    int minute = 0;
    bool twentyFourHour = false;
};

// What Get read. Each read stands on its own: a value is present exactly when
// its read worked.
struct Reading
{
    std::optional<int> pressureUnit; // the dispenser's units, read first
    std::optional<int> vacuumUnit;
    std::optional<Status> status;
    // The dispenser's current cell as it reported it, with its time and
    // pressure; a cell above 399 is reported too, though no profile holds it.
    std::optional<int> currentCell;
    std::optional<double> time;
    std::optional<double> pressure;
    std::optional<double> vacuum; // of that cell
    std::optional<int> trigger; // of the dispenser's current cell
    std::optional<int> shotCount;
    std::optional<Clock> clock;
    int firstFailure = 0;

    bool hasProfileCell() const;
};

// Reads the dispenser's units first: its values are shown in them. A
// pressure or vacuum whose unit could not be read is not taken either.
Reading readSettings(DispenserLink &link, const Progress &progress);

// What Send writes, as the panel shows it. A value the panel does not know
// for the cell (never read for it nor typed) is not sent.
struct Settings
{
    int aiMode = 3;
    int dispenseMode = -1; // -1: no dispense mode chosen, none is sent
    int startCell = 0;
    int endCell = 0;
    int cell = 0;
    std::optional<double> time;
    std::optional<double> pressure;
    std::optional<double> vacuum;
    std::optional<int> trigger;
};

// Sends every setting, also after a refusal; the first failure's code, or 0.
int sendSettings(DispenserLink &link, const Settings &settings, int pressureUnit,
                 const Progress &progress);

// The read of one memory cell's time, pressure and vacuum; with
// `readTrigger`, also the trigger of the dispenser's current cell, which the
// caller knows to be this cell (the trigger read carries no cell number).
struct CellReading
{
    std::optional<double> time;
    std::optional<double> pressure;
    std::optional<double> vacuum;
    std::optional<int> trigger;
    int firstFailure = 0;
};

CellReading readCell(DispenserLink &link, int cell, int pressureUnit, bool readTrigger,
                     const Progress &progress);

} // namespace SettingsExchange

#endif // SETTINGSEXCHANGE_H
