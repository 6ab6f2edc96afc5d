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
};

// A full profile takes about 8 KiB; anything far larger is not one.
constexpr qint64 maximumSize = 1024 * 1024;

// Saves the cells startCell..endCell of the state. The previous file stays
// as it was unless the new one is complete (where the folder allows it).
int write(const QString &fileName, const DispenserState &state);

// Loads a text or binary profile into the state. Either the whole file is
// taken or, on any error, nothing in the state changes. `cellsRead`, when
// given, receives the cells the file held, in file order.
int read(const QString &fileName, DispenserState &state, QList<int> *cellsRead = nullptr);

// What the user is told about a code; empty for Ok and unknown codes.
QString errorMessage(int code);

} // namespace ProfileFile

#endif // PROFILEFILE_H
