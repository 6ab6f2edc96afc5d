#include "ProfileFile.h"

#include "DispenserState.h"
#include "ProfileCellCheck.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ProfileFile {

namespace {

constexpr int textFieldCount = 5;

// The platform's text line end, as a file written in text mode has it; the
// bytes are counted exactly, for the free-space check and the restore.
#ifdef Q_OS_WIN
const QByteArray lineEnd = "\r\n";
#else
const QByteArray lineEnd = "\n";
#endif

// Binary layout: a 7-byte header whose first byte marks the format, the
// units, the start cell, a 12-byte gap, the end cell, another gap, then one
// record of four little-endian doubles per cell.
constexpr char binaryMarker = 0x06;
constexpr int binaryHeaderSize = 7;
constexpr int binaryGapSize = 12;
constexpr qint64 binaryRecordsOffset = 47;
constexpr qint64 binaryRecordSize = 32;

QByteArray formatValue(double value)
{
    return QByteArray::number(value, 'g', 6);
}

// Id of the first unit whose file name occurs inside the header field, or -1.
template<typename Lookup>
int findUnit(const QString &field, int unitCount, Lookup limits)
{
    for (int id = 0; id < unitCount; ++id) {
        if (field.contains(QLatin1String(limits(id).fileName)))
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

int readBinary(const QByteArray &bytes, DispenserState &state, QList<int> &cellsRead)
{
    if (bytes.size() < binaryRecordsOffset)
        return Truncated;

    QDataStream in(bytes);
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

    state.pressureUnits =
            pressureUnit < ProfileUnits::pressureUnitCount ? int(pressureUnit) : ProfileUnits::Psi;
    state.vacuumUnits = vacuumUnit < ProfileUnits::vacuumUnitCount ? int(vacuumUnit)
                                                                   : ProfileUnits::InchesOfWater;
    const quint32 lastCell = ProfileUnits::lastCell;
    startCell = startCell > lastCell ? 0 : startCell;
    endCell = std::min(endCell, lastCell);

    // A reversed range holds no records: the file cannot be a profile.
    if (endCell < startCell)
        return ReversedRange;

    const qint64 recordCount = endCell - startCell + 1;
    if (bytes.size() < binaryRecordsOffset + recordCount * binaryRecordSize)
        return Truncated;

    state.startCell = int(startCell);
    state.endCell = int(endCell);
    for (int cell = state.startCell; cell <= state.endCell; ++cell) {
        double trigger = 0.0;
        in >> state.times[cell] >> state.pressures[cell] >> state.vacuums[cell] >> trigger;
        state.triggers[cell] = truncateToInt(trigger);
        cellsRead << cell;
    }
    return in.status() == QDataStream::Ok ? Ok : Truncated;
}

// A row's memory cell: a whole number 0..399, or -1 when the field names none.
int rowCell(const QString &field, bool *valid)
{
    bool isNumber = false;
    const int cell = field.trimmed().toInt(&isNumber, 10);
    *valid = isNumber && cell >= 0 && cell <= ProfileUnits::lastCell;
    return cell;
}

int readText(const QByteArray &bytes, DispenserState &state, QList<int> &cellsRead)
{
    // Files written on Windows, on Unix and by old Mac programs all read alike.
    const QList<QByteArray> lines =
            QByteArray(bytes).replace("\r\n", "\n").replace('\r', '\n').split('\n');

    // The header is ASCII.
    const QStringList header =
            QString::fromLatin1(lines.first().constData()).split(QLatin1Char(','));
    const int pressureUnit = header.size() > 2
            ? findUnit(header[2], ProfileUnits::pressureUnitCount, ProfileUnits::pressure)
            : -1;
    if (pressureUnit < 0)
        return PressureUnitUnknown;
    const int vacuumUnit = header.size() > 3
            ? findUnit(header[3], ProfileUnits::vacuumUnitCount, ProfileUnits::vacuum)
            : -1;
    if (vacuumUnit < 0)
        return VacuumUnitUnknown;
    state.pressureUnits = pressureUnit;
    state.vacuumUnits = vacuumUnit;

    for (int i = 1; i < lines.size(); ++i) {
        // A NUL would silently end the row early: the file is no profile.
        if (lines[i].contains('\0'))
            return InvalidMemCell;
        QStringList fields = QString::fromUtf8(lines[i]).split(QLatin1Char(','));
        // A blank line, or a row of empty fields as spreadsheets write after
        // the data, names no cell; reading it as cell 0 would wipe that cell.
        if (fields.first().trimmed().isEmpty())
            continue;
        while (fields.size() < textFieldCount)
            fields.append(QStringLiteral("0"));

        bool valid = false;
        const int cell = rowCell(fields[0], &valid);
        if (!valid)
            return InvalidMemCell;
        // toInt and toDouble ignore surrounding white space.
        state.times[cell] = fields[1].toDouble();
        state.pressures[cell] = fields[2].toDouble();
        state.vacuums[cell] = fields[3].toDouble();
        // The rule of a typed trigger: "3.0" is 3, not a failed integer parse.
        state.triggers[cell] = ProfileCellCheck::triggerOf(fields[4]);
        cellsRead << cell;
    }
    return Ok;
}

QByteArray contentOf(const DispenserState &state)
{
    QByteArray content = QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (")
            + ProfileUnits::pressure(state.pressureUnits).fileName + "),Vacuum ("
            + ProfileUnits::vacuum(state.vacuumUnits).fileName + "),Trigger" + lineEnd;
    for (int cell = state.firstRangeCell(); cell <= state.lastRangeCell(); ++cell) {
        content += QByteArray::number(cell) + ',' + formatValue(state.times[cell]) + ','
                + formatValue(state.pressures[cell]) + ',' + formatValue(state.vacuums[cell]) + ','
                + QByteArray::number(state.triggers[cell]) + lineEnd;
    }
    return content;
}

void tell(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

// Writes over the existing file, keeping its old bytes to put back.
// Unbuffered, so that what failed is not left in a buffer to go out later.
int writeInPlace(const QString &fileName, const QByteArray &content, QString *reason)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        tell(reason, file.errorString());
        return OpenFailed;
    }
    const QByteArray old = file.readAll();
    if (QStorageInfo(fileName).bytesAvailable() < content.size()) {
        tell(reason, QStringLiteral("not enough free space on the disk"));
        return NoSpace;
    }
    if (file.seek(0) && file.write(content) == content.size() && file.resize(content.size())
        && file.flush())
        return Ok;
    tell(reason, file.errorString());
    const bool restored = file.seek(0) && file.write(old) == old.size() && file.resize(old.size())
            && file.seek(0) && file.readAll() == old;
    return restored ? WriteFailedOldKept : WriteFailedOldLost;
}

} // namespace

int write(const QString &fileName, const DispenserState &state, QString *reason)
{
    const QByteArray content = contentOf(state);
    // QSaveFile replaces the old file only once the new one is complete.
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly)) {
        // The explicit flush matters: Qt 5's commit() ignores a failed final
        // flush and would replace the old file with a cut-off one. Without a
        // commit the destructor throws the unfinished copy away.
        if (file.write(content) == content.size() && file.flush() && file.commit())
            return Ok;
        tell(reason, file.errorString());
        return WriteFailed;
    }
    // A folder that takes no new file (read-only, say): the file itself may.
    if (QFileInfo(fileName).isFile())
        return writeInPlace(fileName, content, reason);
    tell(reason, file.errorString());
    return OpenFailed;
}

int read(const QString &fileName, DispenserState &state, QList<int> *cellsRead, QString *reason)
{
    // Opening a FIFO or a device would wait for data that never comes.
    const QFileInfo info(fileName);
    if (!info.exists()) {
        tell(reason, QStringLiteral("No such file or directory"));
        return OpenFailed;
    }
    if (!info.isFile())
        return NotRegularFile;
    if (info.size() > maximumSize)
        return TooLarge;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(reason, file.errorString());
        return OpenFailed;
    }
    // The size is checked again on what arrives: a file may grow meanwhile.
    const QByteArray bytes = file.read(maximumSize + 1);
    if (bytes.size() > maximumSize)
        return TooLarge;

    // Read into a copy so that a file refused halfway changes nothing.
    DispenserState loaded = state;
    QList<int> cells;
    const bool binary = bytes.startsWith(binaryMarker);
    const int code = binary ? readBinary(bytes, loaded, cells) : readText(bytes, loaded, cells);
    if (code == Ok) {
        state = loaded;
        if (cellsRead)
            *cellsRead = cells;
    }
    return code;
}

QString errorMessage(int code, const QString &reason)
{
    switch (code) {
    case OpenFailed:
        if (!reason.isEmpty())
            return QStringLiteral("Could not open file: %1.").arg(reason);
        return QStringLiteral(
                "Could not open file. Check that the file is not in use by another application.");
    case WriteFailed:
        if (!reason.isEmpty())
            return QStringLiteral("Error writing to file: %1. The old file is unchanged.")
                    .arg(reason);
        return QStringLiteral("Error writing to file. Please try again later.");
    case NoSpace:
        return QStringLiteral("Not enough free space on the disk for the profile. The old file is "
                              "unchanged.");
    case WriteFailedOldKept:
        return QStringLiteral("Error writing to file: %1. The old profile was put back.")
                .arg(reason);
    case WriteFailedOldLost:
        return QStringLiteral("Error writing to file: %1. The old profile could not be put back: "
                              "the file is damaged.")
                .arg(reason);
    case PressureUnitUnknown:
        return QStringLiteral(
                "Pressure Units not recognized. Was the profile file edited manually?");
    case VacuumUnitUnknown:
        return QStringLiteral("Vacuum Units not recognized. Was the profile file edited manually?");
    case InvalidMemCell:
        return QStringLiteral(
                "Invalid Mem Cell found in profile. Was the profile file edited manually?");
    case Truncated:
        return QStringLiteral("Profile file is truncated. Was the profile file edited manually?");
    case NotRegularFile:
        return QStringLiteral("This is not a profile file: only regular files can be opened.");
    case TooLarge:
        return QStringLiteral("This file is too large to be a profile (over 1 MiB).");
    case ReversedRange:
        return QStringLiteral("The profile's end cell lies before its start cell. Was the profile "
                              "file edited manually?");
    default:
        return QString();
    }
}

} // namespace ProfileFile
