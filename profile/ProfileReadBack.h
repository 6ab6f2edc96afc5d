#ifndef PROFILEREADBACK_H
#define PROFILEREADBACK_H

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class DispenserLink;
class DispenserState;

// Reads memory cells back from the dispenser: its units first (its values
// are in them), then each cell's time, pressure and vacuum with the
// memory-cell read and its trigger by selecting the cell, since the trigger
// read answers for the current cell only. The cell that was current before
// is selected again at the end, also after a stop.
namespace ProfileReadBack {

struct Result
{
    QList<int> cells; // asked for, in order
    std::optional<int> pressureUnit; // the dispenser's, once read
    std::optional<int> vacuumUnit;
    std::optional<int> originalCell; // the dispenser's current cell before the run
    QList<int> cellsRead; // every value of these was read
    QList<int> failedCells; // a read refused or out of range; their values were not taken
    int failureCode = 0; // the first failed cell's
    QString stoppedBefore; // what could not be read before the cells: "the units", ...
    int stoppedAtCell = -1; // where the run stopped before its end, or -1
    int stopCode = 0; // why it stopped: the link's code, or 0 for the user
    bool movedCell = false; // the current cell was changed to read a trigger
    int restoreCode = 0; // of selecting the original cell again

    bool stopped() const { return !stoppedBefore.isEmpty() || stoppedAtCell >= 0; }
    bool succeeded() const { return !stopped() && failedCells.isEmpty() && restoreCode == 0; }
    // What kept the run from reading every cell, with `what` naming the run
    // ("Read", "Verify"): "Read stopped at MemCell 14: stopped by the user",
    // "MemCell 5 could not be read: ..."; empty when nothing did.
    QString problems(const QString &what) const;
    // The one line the status bar shows at the end of a read.
    QString summary() const;
};

// Called with each cell before its commands go out.
using ShowCell = std::function<void(int cell)>;
// Called before each command; lets the event loop run and answers false when
// the user asked to stop.
using KeepGoing = std::function<bool()>;

// The cells first..last, in order.
QList<int> cellRange(int first, int last);

// Reads the cells into `into`: its units and the four values of each cell
// read, pressures in the unit as the table holds them (bar in bar, though the
// dispenser gives hundredths). Cells not read keep their values. The run
// stops by itself when the dispenser stops answering.
Result read(DispenserLink &link, const QList<int> &cells, DispenserState &into,
            const ShowCell &showCell, const KeepGoing &keepGoing);

} // namespace ProfileReadBack

#endif // PROFILEREADBACK_H
