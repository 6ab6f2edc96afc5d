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
