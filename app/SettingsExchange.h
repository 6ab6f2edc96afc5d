#ifndef SETTINGSEXCHANGE_H
#define SETTINGSEXCHANGE_H

#include <QString>

#include <functional>
#include <optional>

class DispenserLink;

// The settings panel's exchanges with the dispenser (Get, Send and the read
// of one memory cell), in their fixed order, without widgets: the window
// shows what they return. Pressures are in the unit the window shows; the
// dispenser takes and gives a bar pressure in hundredths.
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

struct CellValues
{
    double time = 0.0;
    double pressure = 0.0;
    double vacuum = 0.0;
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
    std::optional<Status> status;
    std::optional<int> currentCell; // the dispenser's current cell, with
    std::optional<double> time; // its time and pressure
    std::optional<double> pressure;
    std::optional<double> vacuum; // of that cell
    std::optional<int> trigger; // of the dispenser's current cell
    std::optional<int> shotCount;
    std::optional<Clock> clock;
    int firstFailure = 0;
};

Reading readSettings(DispenserLink &link, int pressureUnit, const Progress &progress);

// What Send writes, as the panel shows it.
struct Settings
{
    int aiMode = 3;
    int dispenseMode = -1; // -1: no dispense mode chosen, none is sent
    int startCell = 0;
    int endCell = 0;
    int cell = 0;
    double time = 0.0;
    double pressure = 0.0;
    double vacuum = 0.0;
    int trigger = 0;
};

// Sends every setting whatever the codes; the first failure's code, or 0.
int sendSettings(DispenserLink &link, const Settings &settings, int pressureUnit,
                 const Progress &progress);

// The read of one memory cell, and the trigger of the dispenser's current
// cell (its read carries no cell number).
struct CellReading
{
    std::optional<CellValues> values;
    std::optional<int> trigger;
    int firstFailure = 0;
};

CellReading readCell(DispenserLink &link, int cell, int pressureUnit, const Progress &progress);

} // namespace SettingsExchange

#endif // SETTINGSEXCHANGE_H
