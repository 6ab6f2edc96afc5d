#include "ProfileCellCheck.h"

#include "ProfileUnits.h"

#include <cmath>
#include <limits>

namespace ProfileCellCheck {

namespace {

QString limitText(double limit)
{
    return QString::number(limit, 'g', 6);
}

Correction clamped(const QString &text, const ProfileUnits::Limits &limits)
{
    double value = 0.0;
    if (!parseNumber(text, &value))
        return { limits.zeroText(), QStringLiteral("is not a number") };
    if (value < 0.0)
        return { limits.zeroText(), QStringLiteral("below 0") };
    if (value > limits.maximum)
        return { limits.maximumText(), QStringLiteral("above ") + limitText(limits.maximum) };
    return {};
}

Correction checkedTrigger(const QString &text)
{
    double value = 0.0;
    if (!parseNumber(text, &value))
        return { QString::number(ProfileUnits::minimumTrigger), QStringLiteral("is not a number") };
    if (value < ProfileUnits::minimumTrigger)
        return { QString::number(ProfileUnits::minimumTrigger),
                 QStringLiteral("below ") + QString::number(ProfileUnits::minimumTrigger) };
    if (value > ProfileUnits::trigger().maximum)
        return { ProfileUnits::trigger().maximumText(),
                 QStringLiteral("above ") + limitText(ProfileUnits::trigger().maximum) };
    // A whole number written another way ("5.0", "1e3") is rewritten too:
    // the stored trigger is read back as a plain integer.
    bool plainInteger = false;
    text.toInt(&plainInteger, 10);
    if (value != std::floor(value))
        return { QString::number(static_cast<int>(std::floor(value))),
                 QStringLiteral("is not a whole number") };
    if (!plainInteger)
        return { QString::number(static_cast<int>(value)), QString() };
    return {};
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

Correction check(int column, const QString &text, int pressureUnit, int vacuumUnit)
{
    switch (column) {
    case ProfileUnits::Time:
        return clamped(text, ProfileUnits::time());
    case ProfileUnits::Pressure:
        return clamped(text, ProfileUnits::pressure(pressureUnit));
    case ProfileUnits::Vacuum:
        return clamped(text, ProfileUnits::vacuum(vacuumUnit));
    case ProfileUnits::Trigger:
        return checkedTrigger(text);
    default:
        return {};
    }
}

QString correctionMessage(int cell, int column, const QString &typed, const Correction &correction)
{
    double value = 0.0;
    const QString shown =
            parseNumber(typed, &value) ? typed : QLatin1Char('"') + typed + QLatin1Char('"');
    return QStringLiteral("MemCell %1 %2 %3 %4: set to %5")
            .arg(cell)
            .arg(columnName(column), shown, correction.reason,
                 limitText(storedValue(correction.text)));
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

int triggerOf(const QString &text)
{
    double value = 0.0;
    if (!parseNumber(text.trimmed(), &value))
        return 0;
    // Saturates where the int range ends; the cell check then sets the limit.
    const double whole = std::floor(value);
    if (whole >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (whole <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(whole);
}

QString columnName(int column)
{
    switch (column) {
    case ProfileUnits::Time:
        return QStringLiteral("time");
    case ProfileUnits::Pressure:
        return QStringLiteral("pressure");
    case ProfileUnits::Vacuum:
        return QStringLiteral("vacuum");
    default:
        return QStringLiteral("trigger");
    }
}

} // namespace ProfileCellCheck
