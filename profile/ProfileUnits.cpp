#include "ProfileUnits.h"

#include <array>

namespace ProfileUnits {

namespace {

// The double quote serves as an inch mark.
constexpr std::array<Limits, pressureUnitCount> pressureLimits = { {
        { "psi", "PSI", 100.0, 1, 1.0 },
        { "bar", "BAR", 6.895, 3, 100.0 },
        { "kPa", "kPa", 689.5, 1, 1.0 },
} };

constexpr std::array<Limits, vacuumUnitCount> vacuumLimits = { {
        { "kPa", "kPa", 4.48, 2, 1.0 },
        { "\"H2O", "\"H2O", 18.0, 1, 1.0 },
        { "\"Hg", "\"Hg", 1.32, 2, 1.0 },
        { "mmHg", "mmHg", 33.6, 1, 1.0 },
        { "Torr", "Torr", 33.6, 1, 1.0 },
} };

constexpr Limits timeLimits = { "s", "s", DispenserRanges::maxTime, 4, 1.0 };
constexpr Limits triggerLimits = { "", "", double(DispenserRanges::maxTrigger), 0, 1.0 };

} // namespace

const Limits &pressure(int unit)
{
    return pressureLimits.at(unit >= 0 && unit < pressureUnitCount ? size_t(unit) : 0);
}

const Limits &vacuum(int unit)
{
    return vacuumLimits.at(unit >= 0 && unit < vacuumUnitCount ? size_t(unit) : 0);
}

const Limits &time()
{
    return timeLimits;
}

const Limits &trigger()
{
    return triggerLimits;
}

QString triggerUnit(int aiMode)
{
    switch (aiMode) {
    case AiTimed:
        return QStringLiteral("s");
    case AiCount:
    case AiSequence:
        return QStringLiteral("shots");
    default:
        return QString();
    }
}

} // namespace ProfileUnits
