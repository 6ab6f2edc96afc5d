#ifndef SIMULATEDLINK_H
#define SIMULATEDLINK_H

#include "DispenserLink.h"
#include "SimulatedDispenser.h"

#include <QList>
#include <QString>

// A simulated dispenser with a DispenserLink opened on its pseudo-terminal,
// for tests that drive the link and the widget-free sequences directly:
//
//     SimulatedLink line;
//     QVERIFY2(line.isReady(), qPrintable(line.errorString()));
//     QCOMPARE(line.link.setMemCell(5), 0);
//     QCOMPARE(line.dispenser.state().currentCell, 5);
class SimulatedLink
{
public:
    explicit SimulatedLink(const SimulatedDispenser::State &held = {});

    bool isReady() const { return ready; }
    QString errorString() const { return error; }
    // The packet texts received since the log was cleared, once the line is idle.
    QList<QByteArray> packets() const;

    SimulatedDispenser dispenser;
    DispenserLink link;

private:
    bool ready = false;
    QString error;
};

// A dispenser in use: Count mode, Steady, cells 5 to 120, current cell 7
// (0.25 s, 30.5, 2.5, trigger 10), cell 25 (0.4 s, 12.0, 5.0, trigger 30),
// 1234 shots, 2:05 PM on 14 March 2025 (12-hour clock), kPa and mmHg, alarm
// options IN and IO, lockouts DT, AI and CO.
SimulatedDispenser::State exampleDispenser();

// Waits until nothing has arrived at the dispenser for a while: a short while
// after a session's closing EOT (which the program writes only when its event
// loop runs), longer otherwise. A time-out shows in the comparison that follows.
void waitForIdleLine(const SimulatedDispenser &dispenser);

#endif // SIMULATEDLINK_H
