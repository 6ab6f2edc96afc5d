#ifndef PROFILEFILE_H
#define PROFILEFILE_H

#include <QList>
#include <QString>

class DispenserState;

// The profile files: a comma-separated text file (written and read) and a
// binary file whose first byte is 0x06 (read only).
namespace ProfileFile {

// Result codes.
enum Code {
    Ok = 0,
    OpenFailed = 1,
    WriteFailed = 2,
    PressureUnitUnknown = 3,
    VacuumUnitUnknown = 4,
    InvalidMemCell = 5,
    Truncated = 6,
    NotRegularFile = 7,
    TooLarge = 8,
    ReversedRange = 9,
    NoSpace = 10,
    WriteFailedOldKept = 11,
    WriteFailedOldLost = 12,
};

// A full profile takes about 8 KiB; anything far larger is not one.
constexpr qint64 maximumSize = 1024 * 1024;

// Saves the cells startCell..endCell of the state. The previous file stays
// as it was unless the new one is complete. In a folder that takes no new
// file the file is written in place, only when the disk holds the new
// bytes; should the write still fail, the old bytes are put back
// (WriteFailedOldKept, or WriteFailedOldLost when that failed too).
// `reason`, when given, receives the system's words for a failure.
int write(const QString &fileName, const DispenserState &state, QString *reason = nullptr);

// Loads a text or binary profile into the state. Either the whole file is
// taken or, on any error, nothing in the state changes. `cellsRead`, when
// given, receives the cells the file held, in file order.
int read(const QString &fileName, DispenserState &state, QList<int> *cellsRead = nullptr,
         QString *reason = nullptr);

// What the user is told about a code, with the system's reason where there
// is one; empty for Ok and unknown codes.
QString errorMessage(int code, const QString &reason = QString());

} // namespace ProfileFile

#endif // PROFILEFILE_H
