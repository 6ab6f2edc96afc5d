#include "ProfileCellCheck.h"

#include "ProfileUnits.h"

#include <cmath>

namespace ProfileCellCheck {

namespace {

QString clampedText(double value, const ProfileUnits::Limits &limits)
{
    if (value < 0.0)
        return limits.zeroText();
    if (value > limits.maximum)
        return limits.maximumText();
    return QString();
}

QString correctedTrigger(const QString &text)
{
    double value = -1.0;
    parseNumber(text, &value);
    if (value < ProfileUnits::minimumTrigger)
        return QString::number(ProfileUnits::minimumTrigger);
    if (value > ProfileUnits::trigger().maximum)
        return ProfileUnits::trigger().maximumText();
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

QString correctedText(int column, const QString &text, int pressureUnit, int vacuumUnit)
{
    if (column == ProfileUnits::Trigger)
        return correctedTrigger(text);

    double value = -1.0;
    parseNumber(text, &value);
    switch (column) {
    case ProfileUnits::Time:
        return clampedText(value, ProfileUnits::time());
    case ProfileUnits::Pressure:
        return clampedText(value, ProfileUnits::pressure(pressureUnit));
    case ProfileUnits::Vacuum:
        return clampedText(value, ProfileUnits::vacuum(vacuumUnit));
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
