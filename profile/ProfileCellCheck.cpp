#include "ProfileCellCheck.h"

#include <array>
#include <cmath>

namespace ProfileCellCheck {

namespace {

// Limits of a column in one unit, with the texts that replace a value below
// zero or above the maximum (their decimals match the unit's precision).
struct Limits
{
    double maximum;
    const char *zeroText;
    const char *maximumText;
};

const Limits timeLimits = {9.9999, "0.0000", "9.9999"};

// Indexed by pressure unit id: PSI, bar, kPa.
const std::array<Limits, 3> pressureLimits = {{
    {100.0, "0.0", "100.0"},
    {6.895, "0.000", "6.895"},
    {689.5, "0.0", "689.5"},
}};

// Indexed by vacuum unit id: kPa, inches of water, inches of mercury, mmHg, torr.
const std::array<Limits, 5> vacuumLimits = {{
    {4.48, "0.00", "4.48"},
    {18.0, "0.0", "18.0"},
    {1.32, "0.00", "1.32"},
    {33.6, "0.0", "33.6"},
    {33.6, "0.0", "33.6"},
}};

constexpr double triggerMinimum = 1.0;
constexpr double triggerMaximum = 99999.0;

QString clampedText(double value, const Limits &limits)
{
    if (value < 0.0)
        return QString::fromLatin1(limits.zeroText);
    if (value > limits.maximum)
        return QString::fromLatin1(limits.maximumText);
    return QString();
}

QString correctedTrigger(const QString &text)
{
    double value = -1.0;
    parseNumber(text, &value);
    if (value < triggerMinimum)
        return QStringLiteral("1");
    if (value > triggerMaximum)
        return QStringLiteral("99999");
    // A whole number written another way ("5.0", "1e3") is rewritten too:
    // the stored trigger is read back as a plain integer.
    bool plainInteger = false;
    text.toInt(&plainInteger, 10);
    if (value != std::floor(value) || !plainInteger)
        return QString::number(static_cast<int>(std::floor(value)));
    return QString();
}

} // namespace

bool parseNumber(const QString &text, double *value)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

QString correctedText(int column, const QString &text, int pressureUnits, int vacuumUnits)
{
    if (column == TriggerColumn)
        return correctedTrigger(text);

    double value = -1.0;
    parseNumber(text, &value);
    switch (column) {
    case TimeColumn:
        return clampedText(value, timeLimits);
    case PressureColumn:
        return clampedText(value, pressureLimits[static_cast<size_t>(pressureUnits)]);
    case VacuumColumn:
        return clampedText(value, vacuumLimits[static_cast<size_t>(vacuumUnits)]);
    default:
        return QString();
    }
}

double storedValue(const QString &text)
{
    double value = 0.0;
    parseNumber(text, &value);
    return value;
}

int storedTrigger(const QString &text)
{
    return text.toInt(nullptr, 10);
}

} // namespace ProfileCellCheck
