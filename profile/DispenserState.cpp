#include "DispenserState.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Unit names as the text file spells them, indexed by unit id. The vacuum
// names use the double quote as an inch mark.
const QStringList pressureUnitNames = {QStringLiteral("psi"), QStringLiteral("bar"),
                                       QStringLiteral("kPa")};
const QStringList vacuumUnitNames = {QStringLiteral("kPa"), QStringLiteral("\"H2O"),
                                     QStringLiteral("\"Hg"), QStringLiteral("mmHg"),
                                     QStringLiteral("Torr")};

constexpr int textFieldCount = 5;

// Binary layout: a 7-byte header whose first byte marks the format, the
// units, the start cell, a 12-byte gap, the end cell, another gap, then one
// record of four little-endian doubles per cell.
constexpr char binaryMarker = 0x06;
constexpr int binaryHeaderSize = 7;
constexpr int binaryGapSize = 12;
constexpr qint64 binaryRecordsOffset = 47;
constexpr qint64 binaryRecordSize = 32;
constexpr quint32 maxPressureUnit = 2;
constexpr quint32 maxVacuumUnit = 4;
constexpr quint32 lastCell = DispenserState::cellCount - 1;

QByteArray formatValue(double value)
{
    return QByteArray::number(value, 'g', 6);
}

// Id of the first unit name that occurs inside the header field, or -1.
int findUnit(const QString &field, const QStringList &names)
{
    for (int id = 0; id < names.size(); ++id) {
        if (field.contains(names[id]))
            return id;
    }
    return -1;
}

// Truncates toward zero like a cast would, but saturates where a cast would
// be undefined (NaN, values beyond the int range).
int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

int readBinaryProfile(QFile &file, DispenserState &state)
{
    if (file.size() < binaryRecordsOffset)
        return DispenserState::fileTruncated;

    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    in.setFloatingPointPrecision(QDataStream::DoublePrecision);

    quint32 pressureUnit = 0;
    quint32 vacuumUnit = 0;
    quint32 startCell = 0;
    quint32 endCell = 0;
    in.skipRawData(binaryHeaderSize);
    in >> pressureUnit >> vacuumUnit >> startCell;
    in.skipRawData(binaryGapSize);
    in >> endCell;
    in.skipRawData(binaryGapSize);

    state.pressureUnits = static_cast<int>(pressureUnit > maxPressureUnit ? 0 : pressureUnit);
    state.vacuumUnits = static_cast<int>(vacuumUnit > maxVacuumUnit ? 1 : vacuumUnit);
    startCell = startCell > lastCell ? 0 : startCell;
    endCell = std::min(endCell, lastCell);

    // A reversed range holds no records; only its units are taken.
    if (endCell < startCell)
        return DispenserState::fileOk;

    const qint64 recordCount = endCell - startCell + 1;
    if (file.size() < binaryRecordsOffset + recordCount * binaryRecordSize)
        return DispenserState::fileTruncated;

    state.startCell = static_cast<int>(startCell);
    state.endCell = static_cast<int>(endCell);
    for (int cell = state.startCell; cell <= state.endCell; ++cell) {
        double trigger = 0.0;
        in >> state.times[cell] >> state.pressures[cell] >> state.vacuums[cell] >> trigger;
        state.triggers[cell] = truncateToInt(trigger);
    }
    return in.status() == QDataStream::Ok ? DispenserState::fileOk
                                          : DispenserState::fileTruncated;
}

int readTextProfile(QFile &file, DispenserState &state)
{
    // The header is ASCII; the line's own end stays in the last field, which
    // is not looked at.
    const QStringList header = QString::fromLatin1(file.readLine().constData()).split(QLatin1Char(','));
    const int pressureUnit = header.size() > 2 ? findUnit(header[2], pressureUnitNames) : -1;
    if (pressureUnit < 0)
        return DispenserState::filePressureUnitUnknown;
    const int vacuumUnit = header.size() > 3 ? findUnit(header[3], vacuumUnitNames) : -1;
    if (vacuumUnit < 0)
        return DispenserState::fileVacuumUnitUnknown;
    state.pressureUnits = pressureUnit;
    state.vacuumUnits = vacuumUnit;

    for (;;) {
        const QByteArray bytes = file.readLine();
        if (bytes.isEmpty())
            return DispenserState::fileOk;
        const QString line = QString::fromUtf8(bytes.constData());
        // A blank line names no cell; reading it as cell 0 would wipe that cell.
        if (line.trimmed().isEmpty())
            continue;

        QStringList fields = line.split(QLatin1Char(','));
        while (fields.size() < textFieldCount)
            fields.append(QStringLiteral("0"));

        // toInt and toDouble ignore surrounding white space such as the line end.
        const int cell = fields[0].toInt();
        if (cell < 0 || cell >= DispenserState::cellCount)
            return DispenserState::fileInvalidMemCell;
        state.times[cell] = fields[1].toDouble();
        state.pressures[cell] = fields[2].toDouble();
        state.vacuums[cell] = fields[3].toDouble();
        state.triggers[cell] = fields[4].toInt();
    }
}

} // namespace

int DispenserState::writeProfile(const QString &fileName) const
{
    // QSaveFile replaces the old file only once the new one is complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return fileOpenFailed;

    QByteArray content = "Mem Cell,Dispense Time(s),Dispense Pressure ("
                         + pressureUnitNames.value(pressureUnits).toLatin1()
                         + "),Vacuum (" + vacuumUnitNames.value(vacuumUnits).toLatin1()
                         + "),Trigger\n";
    const int firstCell = std::max(startCell, 0);
    const int lastSavedCell = std::min(endCell, cellCount - 1);
    for (int cell = firstCell; cell <= lastSavedCell; ++cell) {
        content += QByteArray::number(cell) + ',' + formatValue(times[cell]) + ','
                   + formatValue(pressures[cell]) + ',' + formatValue(vacuums[cell]) + ','
                   + QByteArray::number(triggers[cell]) + '\n';
    }

    // The explicit flush matters: Qt 5's commit() ignores a failed final
    // flush and would replace the old file with a cut-off one. Without a
    // commit the destructor throws the unfinished copy away.
    const bool written = file.write(content) == content.size() && file.flush();
    return written && file.commit() ? fileOk : fileWriteFailed;
}

int DispenserState::readProfile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fileOpenFailed;

    // Read into a copy so that a file refused halfway changes nothing.
    DispenserState loaded = *this;
    const bool binary = file.peek(1) == QByteArray(1, binaryMarker);
    const int code = binary ? readBinaryProfile(file, loaded) : readTextProfile(file, loaded);
    if (code == fileOk)
        *this = loaded;
    return code;
}
