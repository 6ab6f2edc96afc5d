// pelidor7-sim: a simulated Pelidor 7 dispenser on a pseudo-terminal.
//
// Prints the device path as its first line, then how to raise an alarm, then
// one line per exchange. Runs until interrupted (Ctrl+C, SIGTERM or SIGHUP).
//
// Alarms for trying the panel's alarm display: SIGUSR1 raises the input
// alarm, SIGUSR2 the pressure alarm (kill -USR1 <pid>). They stay until the
// panel resets them.
#include "SimulatedDispenser.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <pthread.h>
#include <unistd.h>

namespace {

// Alarm status bits as the dispenser reports them.
constexpr unsigned inputAlarm = 1u << 0;
constexpr unsigned pressureAlarm = 1u << 3;

void printLine(const QString &line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

int usage(const char *program)
{
    std::fprintf(stderr,
                 "Usage: %s [--link PATH]\n"
                 "Simulates a Pelidor 7 dispenser on a pseudo-terminal and prints its device path.\n"
                 "  --link PATH  also make PATH a symbolic link to the device\n"
                 "While it runs, kill -USR1 <pid> raises the input alarm and kill -USR2 <pid>\n"
                 "the pressure alarm.\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QString linkPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--link") == 0 && i + 1 < argc)
            linkPath = QString::fromLocal8Bit(argv[++i]);
        else
            return usage(argv[0]);
    }

    // Stop and alarm signals are taken by sigwait below, in order, outside
    // any handler; blocked before the dispenser's thread starts, so it
    // inherits the mask. A reader that goes away must not kill the dispenser.
    sigset_t awaitedSignals;
    sigemptyset(&awaitedSignals);
    for (int awaited : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2})
        sigaddset(&awaitedSignals, awaited);
    pthread_sigmask(SIG_BLOCK, &awaitedSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimulatedDispenser dispenser;
    dispenser.setLogSink(printLine);
    if (!dispenser.start()) {
        std::fprintf(stderr, "pelidor7-sim: %s\n", dispenser.errorString().toLocal8Bit().constData());
        return 1;
    }
    printLine(dispenser.devicePath());
    if (!linkPath.isEmpty() && !dispenser.makeLink(linkPath)) {
        std::fprintf(stderr, "pelidor7-sim: %s\n", dispenser.errorString().toLocal8Bit().constData());
        return 1;
    }
    printLine(QStringLiteral("Raise an alarm: kill -USR1 %1 (input), kill -USR2 %1 (pressure)")
                  .arg(getpid()));

    for (;;) {
        int signal = 0;
        sigwait(&awaitedSignals, &signal);
        if (signal == SIGUSR1) {
            dispenser.raiseAlarm(inputAlarm);
            printLine(QStringLiteral("input alarm raised"));
        } else if (signal == SIGUSR2) {
            dispenser.raiseAlarm(pressureAlarm);
            printLine(QStringLiteral("pressure alarm raised"));
        } else {
            break;
        }
    }
    dispenser.stop();
    return 0;
}
