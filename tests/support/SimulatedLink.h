#ifndef SIMULATEDLINK_H
#define SIMULATEDLINK_H

#include "DispenserLink.h"
#include "SimulatedDispenser.h"

#include <QString>

// A simulated dispenser with a DispenserLink opened on its pseudo-terminal,
// for tests that drive the link directly:
//
//     SimulatedLink line;
//     QVERIFY2(line.isReady(), qPrintable(line.errorString()));
//     QCOMPARE(line.link.setMemCell(5), 0);
//     QCOMPARE(line.dispenser.state().currentCell, 5);
class SimulatedLink
{
public:
    explicit SimulatedLink(int baud = 115200);

    bool isReady() const { return ready; }
    QString errorString() const { return error; }

    SimulatedDispenser dispenser;
    DispenserLink link;

private:
    bool ready = false;
    QString error;
};

#endif // SIMULATEDLINK_H
