#ifndef COMMANDCOUNTTRIGGER_H
#define COMMANDCOUNTTRIGGER_H

#include <QObject>
#include <QTimer>

#include <functional>

class SimulatedDispenser;

// Runs an action once, as soon as the simulated dispenser has received a
// given number of command packets more than when the trigger was made. It
// looks each time the event loop runs. The window lets the event loop run
// between two device operations and never inside one, so the action falls
// exactly between the count-th command and the next:
//
//     CommandCountTrigger switchOff(dispenser, 2, [&] { dispenser.setPoweredOn(false); });
//     getButton->click();  // the third read meets a dispenser that is off
//     QVERIFY(switchOff.hasFired());
class CommandCountTrigger : public QObject
{
    Q_OBJECT

public:
    CommandCountTrigger(const SimulatedDispenser &dispenser, int count, std::function<void()> action);

    bool hasFired() const { return fired; }

private:
    void check();

    const SimulatedDispenser &dispenser;
    int firingCount;
    std::function<void()> action;
    bool fired = false;
    QTimer watcher;
};

#endif // COMMANDCOUNTTRIGGER_H
