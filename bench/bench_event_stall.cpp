// The longest the window goes without processing events while it talks to
// the dispenser: a 5 ms timer notes the widest gap between its ticks during
// Get, an alarm poll and a 10-cell transmission with the simulated dispenser
// switched off, and during a 400-cell transmission with it on.
//
// Usage: bench_event_stall
#include "MainWindow.h"
#include "SimulatedDispenser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Runs the action and returns the widest gap between ticks of a 5 ms timer
// that runs meanwhile, and how long the action took, in milliseconds.
std::pair<qint64, qint64> widestGap(const std::function<void()> &action)
{
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 widest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        widest = std::max(widest, now - lastTick);
        lastTick = now;
    });
    clock.start();
    ticker.start(5);
    action();
    const qint64 took = clock.elapsed();
    widest = std::max(widest, took - lastTick);
    return { widest, took };
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    qputenv("QT_LOGGING_RULES", "default.debug=false");
    QApplication app(argc, argv);

    SimulatedDispenser dispenser;
    if (!dispenser.start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(dispenser.errorString()));
        return 1;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Halvexa"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelidor 7 Interactive"));
    QSettings().setValue(QStringLiteral("COMport"), dispenser.devicePath());

    MainWindow window;
    window.show();
    // Only the exchanges measured: no poll or cell read of the window's own.
    for (QTimer *timer : window.findChildren<QTimer *>()) {
        if (timer->interval() == 10000 || (timer->isSingleShot() && timer->interval() == 500))
            timer->blockSignals(true);
    }
    auto *connectButton = window.findChild<QPushButton *>(QStringLiteral("connectButton"));
    connectButton->click();
    if (connectButton->text() != QLatin1String("Disconnect")) {
        std::fprintf(stderr, "could not connect to %s\n", qPrintable(dispenser.devicePath()));
        return 1;
    }
    auto click = [&window](const char *name) {
        return [&window, name] { window.findChild<QPushButton *>(QLatin1String(name))->click(); };
    };
    auto setRange = [&window](int start, int end) {
        window.findChild<QSpinBox *>(QStringLiteral("startMemCell"))->setValue(start);
        window.findChild<QSpinBox *>(QStringLiteral("endMemCell"))->setValue(end);
    };

    std::printf("%-44s %14s %10s\n", "exchange", "longest_gap_ms", "took_ms");
    auto report = [](const char *what, std::pair<qint64, qint64> figures) {
        std::printf("%-44s %14lld %10lld\n", what, static_cast<long long>(figures.first),
                    static_cast<long long>(figures.second));
    };
    dispenser.setPoweredOn(false);
    report("Get, dispenser off", widestGap(click("pushButton_4")));
    report("alarm poll, dispenser off",
           widestGap([&window] { QMetaObject::invokeMethod(&window, "updateAlarms"); }));
    setRange(0, 9);
    report("Transmit 10 cells, dispenser off", widestGap(click("pushButton")));
    dispenser.setPoweredOn(true);
    setRange(0, 399);
    report("Transmit 400 cells, dispenser on", widestGap(click("pushButton")));
    return 0;
}
