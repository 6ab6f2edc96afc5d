#include "WindowOnSimulator.h"

#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"

#include <QPushButton>

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

} // namespace WindowOnSimulator
