// Reads the 400-cell profile back from the simulated dispenser over a
// pseudo-terminal and verifies it, and prints the elapsed times, the bytes
// exchanged, and how each time compares with what those bytes take on a
// 115200-baud line.
//
// Usage: bench_readback [runs] [--shown]   (default 3 runs, window hidden)
#include "BenchWindow.h"
#include "DialogProvider.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

namespace {

// Every command the dispenser accepts is answered with ACK to the ENQ and
// STX "A0" ETX; a read command's data packet follows (STX, count, text,
// checksum, ETX) with a text whose length its command decides.
qint64 dispenserBytes(const QList<QByteArray> &packets)
{
    static const QHash<QByteArray, int> dataTexts = {
        { "E8", 19 }, { "ER", 7 }, { "UA", 5 }, { "E4", 4 }, { "E5", 4 }
    };
    qint64 bytes = 0;
    for (const QByteArray &packet : packets) {
        bytes += 1 + 4;
        const QByteArray command = packet.mid(2, 2);
        if (dataTexts.contains(command))
            bytes += 1 + 2 + dataTexts.value(command) + 2 + 1;
    }
    return bytes;
}

// Answers the window's question of which cells with "All 400 Cells".
class AllCells : public DialogProvider
{
public:
    int choose(QWidget *, const QString &, const QString &, const QStringList &choices,
               bool) override
    {
        return choices.size() - 1;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    const HeadlessRun headless;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    const bool shown = QCoreApplication::arguments().contains(QStringLiteral("--shown"));

    SimulatedDispenser dispenser;
    if (!startSimulator(dispenser))
        return 1;
    MainWindow window;
    AllCells allCells;
    window.setDialogProvider(&allCells);
    if (shown)
        window.show();
    if (!connectQuietly(window))
        return 1;
    fillProfile(window);
    window.findChild<QAction *>(QStringLiteral("actionVerify_after_Transmit"))->setChecked(false);
    window.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    auto *connectionLabel = window.findChild<QLabel *>(QStringLiteral("connectionLabel"));

    std::printf("Read back and verify of cells 0 to 399 (%d runs, window %s)\n", runs,
                shown ? "shown" : "hidden");
    std::printf("%4s %-7s %10s %9s %10s %10s %10s %8s\n", "run", "what", "elapsed_s", "commands",
                "bytes_out", "bytes_in", "wire_s", "ratio");
    const struct
    {
        const char *what;
        const char *button;
        const char *outcome;
    } measured[] = { { "read", "readProfileButton", "Read complete: MemCell 0-399" },
                     { "verify", "verifyProfileButton", "Verified: MemCell 0-399 match" } };
    for (int run = 1; run <= runs; ++run) {
        for (const auto &m : measured) {
            QCoreApplication::processEvents();
            QThread::msleep(50);
            dispenser.clearLog();
            QElapsedTimer clock;
            clock.start();
            window.findChild<QPushButton *>(QLatin1String(m.button))->click();
            const double elapsed = clock.nsecsElapsed() / 1e9;
            // The program's last EOT leaves when its event loop runs; give the
            // dispenser a moment to read it.
            QCoreApplication::processEvents();
            QThread::msleep(50);

            if (connectionLabel->text() != QLatin1String(m.outcome)) {
                std::fprintf(stderr, "%s\n", qPrintable(connectionLabel->text()));
                return 1;
            }
            const QList<QByteArray> packets = dispenser.receivedPackets();
            const qint64 bytesOut = dispenser.receivedBytes().size();
            const qint64 bytesIn = dispenserBytes(packets);
            const double wire = wireSeconds(bytesOut + bytesIn);
            std::printf("%4d %-7s %10.3f %9d %10lld %10lld %10.3f %8.2f\n", run, m.what, elapsed,
                        int(packets.size()), static_cast<long long>(bytesOut),
                        static_cast<long long>(bytesIn), wire, elapsed / wire);
        }
    }
    return 0;
}
