// pelidor7-sim: a simulated Pelidor 7 dispenser on a pseudo-terminal.
//
// Prints the device path as its first line, then one line per exchange.
// Runs until interrupted (Ctrl+C, SIGTERM or SIGHUP).
#include "SimulatedDispenser.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>

namespace {

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
                 "  --link PATH  also make PATH a symbolic link to the device\n",
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

    // Stop signals are taken by sigwait below; blocked before the dispenser's
    // thread starts, so it inherits the mask. A reader that goes away must
    // not kill the dispenser.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
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

    int signal = 0;
    sigwait(&stopSignals, &signal);
    dispenser.stop();
    return 0;
}
