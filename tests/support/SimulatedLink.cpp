#include "SimulatedLink.h"

#include <QTest>

SimulatedLink::SimulatedLink(const SimulatedDispenser::State &held)
{
    dispenser.setState(held);
    if (!dispenser.start())
        error = dispenser.errorString();
    else if (!link.openPort(dispenser.devicePath(), 115200))
        error = QStringLiteral("cannot open ") + dispenser.devicePath();
    else
        ready = true;
}

QList<QByteArray> SimulatedLink::packets() const
{
    waitForIdleLine(dispenser);
    return dispenser.receivedPackets();
}

SimulatedDispenser::State exampleDispenser()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = true;
    s.autoIncrementType = 2;
    s.dispenseMode = 1;
    s.startCell = 5;
    s.endCell = 120;
    s.currentCell = 7;
    s.cells[7] = { 2500, 305, 25, 10 };
    s.cells[25] = { 4000, 120, 50, 30 };
    s.shotCount = 1234;
    s.hour = 2;
    s.minute = 5;
    s.clockIndicator = 1;
    s.month = 3;
    s.day = 14;
    s.year = 25;
    s.pressureUnit = 2;
    s.vacuumUnit = 3;
    s.alarmOptions = 0x3;
    s.lockouts = 0x1 | 0x40 | 0x4000;
    return s;
}

void waitForIdleLine(const SimulatedDispenser &dispenser)
{
    QByteArray seen = dispenser.receivedBytes();
    int quietChecks = 0;
    (void)QTest::qWaitFor(
            [&] {
                const QByteArray now = dispenser.receivedBytes();
                quietChecks = now == seen ? quietChecks + 1 : 0;
                seen = now;
                // A session's closing EOT ends an exchange; without one the line
                // must stay quiet longer.
                const bool sessionClosed = now.isEmpty() || now.endsWith('\x04');
                return quietChecks >= (sessionClosed ? 3 : 30);
            },
            5000);
}
