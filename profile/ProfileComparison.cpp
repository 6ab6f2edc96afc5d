#include "ProfileComparison.h"

#include "DispenserState.h"
#include "Packet.h"
#include "ProfileCellCheck.h"
#include "ProfileFile.h"
#include "ProfileLimits.h"

#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <tuple>

using namespace ProfileUnits;

namespace ProfileComparison {

namespace {

// A value of a column in wire units, and as the user reads it, in a unit.
struct Value
{
    qint64 wire;
    QString text;
};

Value valueOf(const DispenserState &state, int cell, int column)
{
    auto scaled = [](double value, double scale, const Limits &limits) {
        const QString unit = QLatin1String(limits.heading);
        return Value { qRound64(value * scale),
                       QString::number(value, 'f', limits.decimals) + QLatin1Char(' ') + unit };
    };
    switch (column) {
    case Time:
        return scaled(state.times[cell], Packet::timeScale, time());
    case Pressure: {
        const Limits &limits = pressure(state.pressureUnits);
        return scaled(state.pressures[cell], limits.deviceFactor * Packet::pressureScale, limits);
    }
    case Vacuum:
        return scaled(state.vacuums[cell], Packet::vacuumScale, vacuum(state.vacuumUnits));
    default:
        return { state.triggers[cell], QString::number(state.triggers[cell]) };
    }
}

bool before(const Difference &difference, int cell, int column)
{
    return std::tie(difference.cell, difference.column) < std::tie(cell, column);
}

// A field that holds a comma or a quote (the inch mark of "H2O) is quoted.
QByteArray csvField(const QString &text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"'))
        return field;
    return '"' + field.replace("\"", "\"\"") + '"';
}

} // namespace

QString Difference::note() const
{
    return QStringLiteral("Pelidor 7 holds ") + held;
}

QList<int> Result::differingCells() const
{
    QList<int> cells;
    for (const Difference &difference : differences) {
        if (cells.isEmpty() || cells.last() != difference.cell)
            cells << difference.cell;
    }
    return cells;
}

QString Result::summary() const
{
    QStringList parts;
    if (!unitDifference.isEmpty())
        parts << QStringLiteral("Units differ: ") + unitDifference;
    const QList<int> cells = differingCells();
    if (!cells.isEmpty())
        parts << QStringLiteral("%1 %2: MemCell %3")
                         .arg(cells.size())
                         .arg(cells.size() == 1 ? QStringLiteral("cell differs")
                                                : QStringLiteral("cells differ"),
                              ProfileLimits::cellList(cells));
    const QString problems = reading.problems(QStringLiteral("Verify"));
    if (!problems.isEmpty())
        parts << problems;
    if (parts.isEmpty())
        return QStringLiteral("Verified: MemCell %1 match")
                .arg(ProfileLimits::cellList(reading.cells));
    return parts.join(QStringLiteral("; "));
}

QString Result::noteAt(int cell, int column) const
{
    const auto found = std::lower_bound(differences.begin(), differences.end(), cell,
                                        [column](const Difference &difference, int c) {
                                            return before(difference, c, column);
                                        });
    if (found == differences.end() || found->cell != cell || found->column != column)
        return QString();
    return found->note();
}

bool Result::forget(int cell, int column)
{
    const auto found = std::find_if(differences.begin(), differences.end(), [&](const auto &d) {
        return d.cell == cell && d.column == column;
    });
    if (found == differences.end())
        return false;
    differences.erase(found);
    return true;
}

Result verify(DispenserLink &link, const DispenserState &expected, const QList<int> &cells,
              const ProfileReadBack::ShowCell &showCell,
              const ProfileReadBack::KeepGoing &keepGoing)
{
    Result result;
    DispenserState held;
    result.reading = ProfileReadBack::read(link, cells, held, showCell, keepGoing);

    QStringList units;
    if (result.reading.pressureUnit && *result.reading.pressureUnit != expected.pressureUnits)
        units << QStringLiteral("%1, not %2")
                         .arg(QLatin1String(pressure(held.pressureUnits).heading),
                              QLatin1String(pressure(expected.pressureUnits).heading));
    if (result.reading.vacuumUnit && *result.reading.vacuumUnit != expected.vacuumUnits)
        units << QStringLiteral("%1, not %2")
                         .arg(QLatin1String(vacuum(held.vacuumUnits).heading),
                              QLatin1String(vacuum(expected.vacuumUnits).heading));
    if (!units.isEmpty())
        result.unitDifference =
                QStringLiteral("the Pelidor 7 is set to ") + units.join(QStringLiteral(" and "));

    for (int cell : qAsConst(result.reading.cellsRead)) {
        for (int column = Time; column <= Trigger; ++column) {
            const Value want = valueOf(expected, cell, column);
            const Value got = valueOf(held, cell, column);
            if (want.wire != got.wire)
                result.differences.append({ cell, column, want.text, got.text });
        }
    }
    std::sort(result.differences.begin(), result.differences.end(),
              [](const Difference &a, const Difference &b) { return before(a, b.cell, b.column); });
    return result;
}

QString afterTransmitSummary(const ProfileTransmission::Result &transmission,
                             const Result &verification)
{
    if (transmission.succeeded() && verification.succeeded())
        return QStringLiteral("Transmit complete, verified: MemCell %1 to %2")
                .arg(transmission.firstCell)
                .arg(transmission.lastCell);
    return transmission.summary() + QStringLiteral("; ") + verification.summary();
}

int writeCsv(const QString &fileName, const Result &result)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return ProfileFile::OpenFailed;
    QByteArray content = "Mem Cell,Field,File,Pelidor 7\n";
    for (const Difference &difference : result.differences)
        content += QByteArray::number(difference.cell) + ','
                + ProfileCellCheck::columnName(difference.column).toLatin1() + ','
                + csvField(difference.expected) + ',' + csvField(difference.held) + '\n';
    if (file.write(content) != content.size() || !file.commit())
        return ProfileFile::WriteFailed;
    return ProfileFile::Ok;
}

} // namespace ProfileComparison
