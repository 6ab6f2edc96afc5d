#include "PanelFixture.h"

#include "TestSettings.h"
#include "UserActions.h"
#include "WindowOnSimulator.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

// The window's own timers, in the order it makes them: alarm poll, flash,
// memory-cell read, plot.
QList<QTimer *> windowTimers(const MainWindow &window)
{
    return window.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

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
    alarmTimer()->blockSignals(true);
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

QString PanelFixture::connectionText() const
{
    return UserActions::connectionLabel(*window)->text();
}

QTimer *PanelFixture::alarmTimer() const
{
    for (QTimer *timer : windowTimers(*window)) {
        if (timer->interval() == 10000)
            return timer;
    }
    qFatal("no alarm timer");
}

QTimer *PanelFixture::flashTimer() const
{
    for (QTimer *timer : windowTimers(*window)) {
        if (!timer->isSingleShot() && timer->interval() != 10000)
            return timer;
    }
    qFatal("no flash timer");
}

QTimer *PanelFixture::memCellTimer() const
{
    for (QTimer *timer : windowTimers(*window)) {
        if (timer->isSingleShot() && timer->interval() == 500)
            return timer;
    }
    qFatal("no memory-cell timer");
}

QList<QByteArray> PanelFixture::packets() const
{
    // A time-out shows in the comparison that follows.
    (void)QTest::qWaitFor([this] {
        const QByteArray bytes = dispenser->receivedBytes();
        return bytes.isEmpty() || bytes.endsWith('\x04');
    }, 3000);
    return dispenser->receivedPackets();
}

bool PanelFixture::lineStaysQuiet() const
{
    QTest::qWait(50);
    return dispenser->receivedBytes().isEmpty();
}
