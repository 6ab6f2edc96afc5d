// Transmits a full 400-cell profile to the simulated dispenser over a
// pseudo-terminal and prints the elapsed time, the bytes exchanged, and how
// the time compares with what those bytes take on a 115200-baud line.
//
// Usage: bench_transmit [runs] [--shown | --log-open]   (default 3 runs, hidden)
// --shown shows the window; --log-open shows it with its communication log open.
#include "BenchWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

// Every set transaction the dispenser accepts: it answers ENQ with ACK and
// the packet with STX "A0" ETX.
const int dispenserBytesPerCommand = 1 + 4;

} // namespace

int main(int argc, char *argv[])
{
    const HeadlessRun headless;
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    const bool logOpen = arguments.contains(QStringLiteral("--log-open"));
    const bool shown = logOpen || arguments.contains(QStringLiteral("--shown"));

    SimulatedDispenser dispenser;
    if (!startSimulator(dispenser))
        return 1;
    MainWindow window;
    if (shown)
        window.show();
    if (logOpen)
        window.findChild<QAction *>(QStringLiteral("actionCommunication_Log"))->trigger();
    if (!connectQuietly(window))
        return 1;
    fillProfile(window);
    // The transmission alone; bench_readback measures its verification.
    window.findChild<QAction *>(QStringLiteral("actionVerify_after_Transmit"))->setChecked(false);
    auto *transmitButton = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    auto *connectionLabel = window.findChild<QLabel *>(QStringLiteral("connectionLabel"));

    std::printf("Transmit of cells 0 to 399 (%d runs, window %s, communication log %s)\n", runs,
                shown ? "shown" : "hidden", logOpen ? "open" : "closed");
    std::printf("%4s %10s %9s %10s %10s %10s %8s\n", "run", "elapsed_s", "commands", "bytes_out",
                "bytes_in", "wire_s", "ratio");
    for (int run = 1; run <= runs; ++run) {
        dispenser.clearLog();
        QElapsedTimer clock;
        clock.start();
        transmitButton->click();
        const double elapsed = clock.nsecsElapsed() / 1e9;
        // The program's last EOT leaves when its event loop runs; give the
        // dispenser a moment to read it.
        QCoreApplication::processEvents();
        QThread::msleep(50);

        if (!connectionLabel->text().startsWith(QLatin1String("Transmit complete"))) {
            std::fprintf(stderr, "%s\n", qPrintable(connectionLabel->text()));
            return 1;
        }
        const int commands = dispenser.receivedPackets().size();
        const qint64 bytesOut = dispenser.receivedBytes().size();
        const qint64 bytesIn = qint64(commands) * dispenserBytesPerCommand;
        const double wire = wireSeconds(bytesOut + bytesIn);
        std::printf("%4d %10.3f %9d %10lld %10lld %10.3f %8.2f\n", run, elapsed, commands,
                    static_cast<long long>(bytesOut), static_cast<long long>(bytesIn), wire,
                    elapsed / wire);
    }
    return 0;
}
