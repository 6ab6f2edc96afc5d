#ifndef PROFILETRANSMISSION_H
#define PROFILETRANSMISSION_H

#include <QString>

#include <functional>

class DispenserLink;
class DispenserState;

// Sends the profile's cells to the dispenser one by one (select the cell,
// then its pressure, time, vacuum and trigger) and finally the job's range.
namespace ProfileTransmission {

struct Result
{
    int firstCell = 0;
    int lastCell = -1; // the last cell begun; below firstCell when none was
    int failedCount = 0; // refused commands and values out of range
    int firstFailedCell = -1;
    int rangeCode = 0; // of the final start and end command
    int stoppedAtCell = -1; // where the run stopped before its end, or -1
    int stopCode = 0; // why it stopped: the link's code, or 0 for the user
    QString refusal; // why nothing was sent, when a value lay outside its limits

    bool succeeded() const
    {
        return refusal.isEmpty() && stoppedAtCell < 0 && failedCount == 0 && rangeCode == 0;
    }
    // The one line the status bar shows at the end.
    QString summary() const;
};

// Called with each cell before its commands go out.
using ShowCell = std::function<void(int cell)>;
// Called before each command; lets the event loop run and answers false when
// the user asked to stop.
using KeepGoing = std::function<bool()>;

// The cells run from the state's start cell to its end cell, read again each
// round, and each value is taken when its command is built, so edits made
// meanwhile reach the dispenser if their cell is still to come. The run
// stops by itself when the dispenser stops answering. Nothing at all is sent
// when a value of the range lies outside its limits: a profile half written
// is worse than none.
Result transmit(DispenserLink &link, const DispenserState &state, int rangeStart, int rangeEnd,
                const ShowCell &showCell, const KeepGoing &keepGoing);

} // namespace ProfileTransmission

#endif // PROFILETRANSMISSION_H
