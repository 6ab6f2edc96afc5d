#include "PanelFixture.h"

#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

bool PanelFixture::open(bool connected, const SimulatedDispenser::State &held)
{
    close();
    TestSettings::clear();
    dispenser = std::make_unique<SimulatedDispenser>();
    if (!dispenser->start()) {
        error = dispenser->errorString();
        return false;
    }
    dispenser->setState(held);
    WindowOnSimulator::storePort(*dispenser);
    window = std::make_unique<MainWindow>();
    UserActions::alarmTimer(*window)->blockSignals(true);
    if (connected && !WindowOnSimulator::connect(*window)) {
        error = QStringLiteral("the window did not connect to ") + dispenser->devicePath();
        return false;
    }
    packets();
    dispenser->clearLog();
    return true;
}

void PanelFixture::close()
{
    window.reset();
    dispenser.reset();
}

QString PanelFixture::connectionText() const { return UserActions::connectionLabel(*window)->text(); }

QList<QByteArray> PanelFixture::packets() const
{
    return WindowOnSimulator::packetsOnceIdle(*dispenser);
}

bool PanelFixture::lineStaysQuiet() const
{
    QTest::qWait(50);
    return dispenser->receivedBytes().isEmpty();
}
