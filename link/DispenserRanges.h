#ifndef DISPENSERRANGES_H
#define DISPENSERRANGES_H

// The ranges the dispenser's values keep, and the checks that hold them: the
// set operations check what they send, the reply parsers what comes back.
namespace DispenserRanges {

constexpr int cellCount = 400;
constexpr int lastCell = cellCount - 1;
constexpr double maxTime = 9.9999;
// The largest pressure the profile holds in any unit (689.5 kPa; 6.895 bar
// travels as 689.5 in hundredths of a bar).
constexpr double maxPressureRead = 689.5;
constexpr int maxPressureField = 9999; // 999.9 in tenths
constexpr double maxVacuum = 18.0;
constexpr int maxTrigger = 99999;
constexpr int maxShotCount = 99999;

inline bool isAbove(int value, int limit)
{
    // Unsigned on purpose: a negative value counts as too large.
    return static_cast<unsigned>(value) > static_cast<unsigned>(limit);
}

inline bool isWithin(double value, double low, double high)
{
    return value >= low && value <= high; // false for NaN too
}

} // namespace DispenserRanges

#endif // DISPENSERRANGES_H
