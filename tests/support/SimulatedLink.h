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

// Waits until nothing has arrived at the dispenser for a while: a short while
// after a session's closing EOT (which the program writes only when its event
// loop runs), longer otherwise. A time-out shows in the comparison that follows.
void waitForIdleLine(const SimulatedDispenser &dispenser);

#endif // SIMULATEDLINK_H
