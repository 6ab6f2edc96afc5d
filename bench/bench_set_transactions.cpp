// Times 1000 set transactions (ENQ, packet, reply, EOT) against the simulated
// dispenser over a pseudo-terminal, with the real serial port.
#include "DispenserLink.h"
#include "SimulatedDispenser.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    SimulatedDispenser dispenser;
    if (!dispenser.start()) {
        std::fprintf(stderr, "cannot start the simulator: %s\n",
                     qPrintable(dispenser.errorString()));
        return 1;
    }
    DispenserLink link;
    if (!link.openPort(dispenser.devicePath(), 115200)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(dispenser.devicePath()));
        return 1;
    }

    const int transactions = 1000;
    int failed = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < transactions; ++i) {
        if (link.setMemCell(i % 400) != 0)
            ++failed;
    }
    const double elapsedMs = clock.nsecsElapsed() / 1e6;

    std::printf("%d set transactions in %.1f ms: %.3f ms per transaction, %d failed\n",
                transactions, elapsedMs, elapsedMs / transactions, failed);
    return failed == 0 ? 0 : 1;
}
