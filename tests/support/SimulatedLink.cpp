#include "SimulatedLink.h"

SimulatedLink::SimulatedLink(int baud)
{
    if (!dispenser.start())
        error = dispenser.errorString();
    else if (!link.openPort(dispenser.devicePath(), baud))
        error = QStringLiteral("cannot open ") + dispenser.devicePath();
    else
        ready = true;
}
