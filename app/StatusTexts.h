#ifndef STATUSTEXTS_H
#define STATUSTEXTS_H

#include <QString>

// Texts the status displays build from dispenser values; no widgets needed.
namespace StatusTexts {

// "Timed", "Count", "Sequence" or "Off" for the AI mode ids 0 to 3; empty otherwise.
QString aiModeName(int aiMode);

// A time, pressure or vacuum as the Current Settings labels show it:
// shortest form, at most six significant digits, '.' as separator.
QString valueText(double value);

// The dispenser's clock: "h:m" on a 24-hour clock, "h:mm AM"/"h:mm PM" on a
// 12-hour clock. hour is 0 to 23.
QString clockText(int hour, int minute, bool twentyFourHour);

// The alarm shown for an alarm status word; the input alarm (bit 0) outranks
// the pressure alarm (bit 3), which outranks the auto-increment alarm (bit 5).
// Empty when none of the three bits is set.
QString alarmText(unsigned status);

} // namespace StatusTexts

#endif // STATUSTEXTS_H
