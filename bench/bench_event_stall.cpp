// The longest the window goes without processing events while it talks to
// the dispenser, and how long each user action keeps input refused: a 5 ms
// timer notes the widest gap between its ticks during Get, Send, Apply, a
// configuration page read, an alarm poll and a 10-cell transmission with the
// simulated dispenser switched off, and during a 400-cell transmission with
// it on; "took" is how long the action held the window busy (its controls
// disabled, the user's input waiting).
//
// Usage: bench_event_stall
#include "BenchWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>

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
    const HeadlessRun headless;
    QApplication app(argc, argv);
    SimulatedDispenser dispenser;
    if (!startSimulator(dispenser))
        return 1;
    MainWindow window;
    window.show();
    if (!connectQuietly(window))
        return 1;
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
    report("Send, dispenser off", widestGap(click("pushButton_5")));
    window.findChild<QStackedWidget *>(QStringLiteral("configStackWidget"))->setCurrentIndex(4);
    report("Apply (alarm options), dispenser off", widestGap(click("configApplyButton")));
    auto *tree = window.findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    QTreeWidgetItem *timeDate = tree->findItems(QStringLiteral("Time/Date"), Qt::MatchExactly)[0];
    report("page read (Time/Date), dispenser off",
           widestGap([tree, timeDate] { emit tree->itemClicked(timeDate, 0); }));
    report("alarm poll, dispenser off",
           widestGap([&window] { QMetaObject::invokeMethod(&window, "updateAlarms"); }));
    setRange(0, 9);
    report("Transmit 10 cells, dispenser off", widestGap(click("pushButton")));
    dispenser.setPoweredOn(true);
    setRange(0, 399);
    report("Transmit 400 cells, dispenser on", widestGap(click("pushButton")));
    return 0;
}
