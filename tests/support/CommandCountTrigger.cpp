#include "CommandCountTrigger.h"

#include "SimulatedDispenser.h"

CommandCountTrigger::CommandCountTrigger(const SimulatedDispenser &dispenser, int count,
                                         std::function<void()> action)
    : dispenser(dispenser),
      firingCount(dispenser.receivedPackets().size() + count),
      action(std::move(action))
{
    watcher.setInterval(0);
    connect(&watcher, &QTimer::timeout, this, &CommandCountTrigger::check);
    watcher.start();
}

void CommandCountTrigger::check()
{
    if (dispenser.receivedPackets().size() < firingCount)
        return;
    watcher.stop();
    fired = true;
    action();
}
