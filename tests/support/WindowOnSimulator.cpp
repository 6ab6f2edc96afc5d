#include "WindowOnSimulator.h"

#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"

#include <QPushButton>
#include <QTest>

namespace WindowOnSimulator {

void storePort(const SimulatedDispenser &dispenser)
{
    TestSettings::set(QStringLiteral("COMport"), dispenser.devicePath());
}

bool connect(MainWindow &window)
{
    auto *button = window.findChild<QPushButton *>(QStringLiteral("connectButton"));
    if (!button)
        return false;
    button->click();
    return button->text() == QLatin1String("Disconnect");
}

QList<QByteArray> packetsOnceIdle(const SimulatedDispenser &dispenser)
{
    (void)QTest::qWaitFor([&dispenser] {
        const QByteArray bytes = dispenser.receivedBytes();
        return bytes.isEmpty() || bytes.endsWith('\x04');
    }, 3000);
    return dispenser.receivedPackets();
}

} // namespace WindowOnSimulator
