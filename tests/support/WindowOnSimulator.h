#ifndef WINDOWONSIMULATOR_H
#define WINDOWONSIMULATOR_H

#include <QByteArray>
#include <QList>

class MainWindow;
class SimulatedDispenser;

// Connects a MainWindow to a simulated dispenser the way a user would: the
// stored port names the dispenser's device, so the window offers it on the
// Communication page, and Connect opens it.
//
//     TestSettings::clear();
//     SimulatedDispenser dispenser;
//     QVERIFY(dispenser.start());
//     WindowOnSimulator::storePort(dispenser);
//     MainWindow window;
//     QVERIFY(WindowOnSimulator::connect(window));
namespace WindowOnSimulator {

// Stores the dispenser's device as "COMport"; call before the window is made.
void storePort(const SimulatedDispenser &dispenser);

// Clicks connectButton; true when the window reports itself connected.
bool connect(MainWindow &window);

// The packets the dispenser received since its log was cleared, once the
// window's last session has ended with EOT (it leaves when the event loop
// runs). A time-out shows in the comparison that follows.
QList<QByteArray> packetsOnceIdle(const SimulatedDispenser &dispenser);

} // namespace WindowOnSimulator

#endif // WINDOWONSIMULATOR_H
