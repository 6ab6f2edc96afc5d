// pelidor7-sim: a simulated Pelidor 7 dispenser on a pseudo-terminal.
//
// Prints the device path as its first line, then how to raise an alarm and
// how to switch it off and on, then one line per exchange. Runs until
// interrupted (Ctrl+C, SIGTERM or SIGHUP).
//
// Alarms for trying the panel's alarm display: SIGUSR1 raises the input
// alarm, SIGUSR2 the pressure alarm (kill -USR1 <pid>). They stay until the
// panel resets them. SIGTSTP switches the dispenser off (it then ignores
// everything, as an unplugged one would), SIGCONT on again; so Ctrl+Z in its
// terminal switches it off rather than stopping the process.
//
// The fault options spoil every command's answer for trying the panel's error
// handling by hand.
#include "SimulatedDispenser.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <pthread.h>
#include <unistd.h>

namespace {

using Fault = SimulatedDispenser::Fault;

// Alarm status bits as the dispenser reports them.
constexpr unsigned inputAlarm = 1u << 0;
constexpr unsigned pressureAlarm = 1u << 3;

struct FaultOption
{
    const char *name;
    Fault fault;
    const char *help;
};

const FaultOption faultOptions[] = {
    { "--garbage", Fault::Garbage, "answer every command with a reply holding neither A0 nor A2" },
    { "--late", Fault::LateReply, "answer every command only after the panel's 200 ms wait" },
    { "--refuse", Fault::Refuse, "refuse every command (A2)" },
    { "--no-data", Fault::NoData, "never send the data packet of a read command" },
};

void printLine(const QString &line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

int usage(const char *program, std::FILE *out, int exitCode)
{
    std::fprintf(
            out,
            "Usage: %s [--link PATH] [--off] [--delay MS] [FAULT]\n"
            "Simulates a Pelidor 7 dispenser on a pseudo-terminal and prints its device path.\n"
            "  --link PATH  also make PATH a symbolic link to the device\n"
            "  --off        start switched off: ignore everything until kill -CONT <pid>\n"
            "  --delay MS   delay every answer by MS milliseconds\n"
            "FAULT, at most one, for every command:\n",
            program);
    for (const FaultOption &option : faultOptions)
        std::fprintf(out, "  %-11s  %s\n", option.name, option.help);
    std::fprintf(out,
                 "While it runs: kill -USR1 <pid> raises the input alarm, kill -USR2 <pid> the\n"
                 "pressure alarm; kill -TSTP <pid> (or Ctrl+Z in its terminal) switches it off,\n"
                 "kill -CONT <pid> on again.\n");
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    QString linkPath;
    bool startOff = false;
    int delayMs = 0;
    std::optional<FaultOption> faultOption;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        bool known = false;
        for (const FaultOption &option : faultOptions) {
            if (std::strcmp(argument, option.name) == 0 && !faultOption) {
                faultOption = option;
                known = true;
            }
        }
        if (known)
            continue;
        if (std::strcmp(argument, "--help") == 0)
            return usage(argv[0], stdout, 0);
        if (std::strcmp(argument, "--link") == 0 && i + 1 < argc) {
            linkPath = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argument, "--off") == 0) {
            startOff = true;
        } else if (std::strcmp(argument, "--delay") == 0 && i + 1 < argc) {
            bool number = false;
            delayMs = QByteArray(argv[++i]).toInt(&number);
            if (!number || delayMs < 0)
                return usage(argv[0], stderr, 2);
        } else {
            return usage(argv[0], stderr, 2);
        }
    }

    // Stop, alarm and power signals are taken by sigwait below, in order,
    // outside any handler; blocked before the dispenser's thread starts, so
    // it inherits the mask. A reader that goes away must not kill the
    // dispenser.
    sigset_t awaitedSignals;
    sigemptyset(&awaitedSignals);
    for (int awaited : { SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2, SIGTSTP, SIGCONT })
        sigaddset(&awaitedSignals, awaited);
    pthread_sigmask(SIG_BLOCK, &awaitedSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimulatedDispenser dispenser;
    dispenser.setLogSink(printLine);
    dispenser.setPoweredOn(!startOff);
    dispenser.setReplyDelay(delayMs);
    if (faultOption)
        dispenser.setFaultMode(faultOption->fault);
    if (!dispenser.start()) {
        std::fprintf(stderr, "pelidor7-sim: %s\n",
                     dispenser.errorString().toLocal8Bit().constData());
        return 1;
    }
    printLine(dispenser.devicePath());
    if (!linkPath.isEmpty() && !dispenser.makeLink(linkPath)) {
        std::fprintf(stderr, "pelidor7-sim: %s\n",
                     dispenser.errorString().toLocal8Bit().constData());
        return 1;
    }
    const pid_t pid = getpid();
    printLine(QStringLiteral("Raise an alarm: kill -USR1 %1 (input), kill -USR2 %1 (pressure)")
                      .arg(pid));
    printLine(
            QStringLiteral("Switch it off: kill -TSTP %1 (or Ctrl+Z here); on again: kill -CONT %1")
                    .arg(pid));
    if (startOff)
        printLine(QStringLiteral("switched off (--off): ignores everything"));
    if (delayMs > 0)
        printLine(QStringLiteral("every answer delayed by %1 ms (--delay)").arg(delayMs));
    if (faultOption)
        printLine(QStringLiteral("fault on every command (%1): %2")
                          .arg(QLatin1String(faultOption->name), QLatin1String(faultOption->help)));

    for (;;) {
        int signal = 0;
        sigwait(&awaitedSignals, &signal);
        if (signal == SIGUSR1) {
            dispenser.raiseAlarm(inputAlarm);
            printLine(QStringLiteral("input alarm raised"));
        } else if (signal == SIGUSR2) {
            dispenser.raiseAlarm(pressureAlarm);
            printLine(QStringLiteral("pressure alarm raised"));
        } else if (signal == SIGTSTP) {
            dispenser.setPoweredOn(false);
            printLine(QStringLiteral("switched off: ignores everything until kill -CONT %1")
                              .arg(pid));
        } else if (signal == SIGCONT) {
            dispenser.setPoweredOn(true);
            printLine(QStringLiteral("switched on"));
        } else {
            break;
        }
    }
    dispenser.stop();
    return 0;
}
