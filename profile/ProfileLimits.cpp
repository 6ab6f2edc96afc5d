#include "ProfileLimits.h"

#include "DispenserState.h"
#include "ProfileCellCheck.h"

#include <QStringList>

#include <algorithm>

namespace ProfileLimits {

namespace {

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

QString unitBreach(double value, const ProfileUnits::Limits &limits, const QString &unit)
{
    if (value < 0.0)
        return QStringLiteral("below 0");
    if (value > limits.maximum)
        return QStringLiteral("above %1%2").arg(number(limits.maximum), unit);
    return QString();
}

QString withUnit(const char *heading)
{
    const QString unit = QLatin1String(heading);
    return unit.isEmpty() ? unit : QLatin1Char(' ') + unit;
}

} // namespace

QString breachOf(int column, double value, int pressureUnit, int vacuumUnit)
{
    switch (column) {
    case ProfileUnits::Time:
        return unitBreach(value, ProfileUnits::time(), withUnit(ProfileUnits::time().heading));
    case ProfileUnits::Pressure: {
        const ProfileUnits::Limits &limits = ProfileUnits::pressure(pressureUnit);
        return unitBreach(value, limits, withUnit(limits.heading));
    }
    case ProfileUnits::Vacuum: {
        const ProfileUnits::Limits &limits = ProfileUnits::vacuum(vacuumUnit);
        const QString breach = unitBreach(value, limits, withUnit(limits.heading));
        // Millimetres of mercury and torr allow more than the dispenser's
        // vacuum command carries.
        if (breach.isEmpty() && value > DispenserRanges::maxVacuum)
            return QStringLiteral("above %1, the most the Pelidor 7 takes")
                    .arg(number(DispenserRanges::maxVacuum));
        return breach;
    }
    default:
        if (value < ProfileUnits::minimumTrigger)
            return QStringLiteral("below %1").arg(ProfileUnits::minimumTrigger);
        return unitBreach(value, ProfileUnits::trigger(), QString());
    }
}

QVector<Breach> breaches(const DispenserState &state, int first, int last)
{
    QVector<Breach> found;
    for (int cell = std::max(first, 0); cell <= std::min(last, ProfileUnits::lastCell); ++cell) {
        const double values[] = { state.times[cell], state.pressures[cell], state.vacuums[cell],
                                  double(state.triggers[cell]) };
        for (int column = ProfileUnits::Time; column <= ProfileUnits::Trigger; ++column) {
            const QString limit =
                    breachOf(column, values[column], state.pressureUnits, state.vacuumUnits);
            if (!limit.isEmpty())
                found.append({ cell, column, limit });
        }
    }
    return found;
}

QString cellList(QList<int> cells, int maxRanges)
{
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    QStringList ranges;
    for (int i = 0; i < cells.size();) {
        int j = i;
        while (j + 1 < cells.size() && cells[j + 1] == cells[j] + 1)
            ++j;
        if (ranges.size() == maxRanges) {
            ranges << QStringLiteral("...");
            break;
        }
        ranges << (i == j ? QString::number(cells[i])
                          : QStringLiteral("%1-%2").arg(cells[i]).arg(cells[j]));
        i = j + 1;
    }
    return ranges.join(QStringLiteral(", "));
}

QString outsideSummary(const QVector<Breach> &breaches, const DispenserState &state)
{
    if (breaches.isEmpty())
        return QString();
    QList<int> cells;
    QStringList units;
    for (const Breach &breach : breaches) {
        cells << breach.cell;
        QString unit = ProfileCellCheck::columnName(breach.column);
        if (breach.column == ProfileUnits::Pressure)
            unit = QLatin1String(ProfileUnits::pressure(state.pressureUnits).heading);
        else if (breach.column == ProfileUnits::Vacuum)
            unit = QLatin1String(ProfileUnits::vacuum(state.vacuumUnits).heading);
        if (!units.contains(unit))
            units << unit;
    }
    const QString list = cellList(cells);
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return QStringLiteral("%1 %2 outside the %3 limits: MemCell %4")
            .arg(cells.size())
            .arg(cells.size() == 1 ? QStringLiteral("cell") : QStringLiteral("cells"),
                 units.join(QStringLiteral(" and ")), list);
}

QString nothingSentSummary(const QVector<Breach> &breaches)
{
    if (breaches.isEmpty())
        return QString();
    // One group per column and limit, in the order they first occur.
    QList<QPair<QString, QList<int>>> groups;
    for (const Breach &breach : breaches) {
        const QString what =
                ProfileCellCheck::columnName(breach.column) + QLatin1Char(' ') + breach.limit;
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const auto &g) { return g.first == what; });
        if (group == groups.end())
            groups.append({ what, { breach.cell } });
        else
            group->second << breach.cell;
    }
    QStringList parts;
    for (const auto &group : qAsConst(groups))
        parts << QStringLiteral("MemCell %1 %2").arg(cellList(group.second), group.first);
    return QStringLiteral("Nothing sent: ") + parts.join(QStringLiteral("; "));
}

} // namespace ProfileLimits
