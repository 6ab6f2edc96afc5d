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
// handling by hand. --skew-cell keeps one cell's pressure one step off what it
// was sent, and a command file changes cells as an operator at the front panel
// would, for trying the panel's read-back and verify.
#include "SimulatedDispenser.h"

#include <QFile>

#include <cerrno>
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

constexpr int commandFilePollMs = 250;
const char *const fieldNames[] = { "time", "pressure", "vacuum", "trigger" };

// Carries out the command file's lines, "CELL FIELD VALUE" in wire units
// ("12 pressure 306"), and removes the file, so each line is done once.
void runCommandFile(SimulatedDispenser &dispenser, const QString &path)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    file.remove();
    for (const QByteArray &line : lines) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() == 1 && words.first().isEmpty())
            continue;
        int field = -1;
        for (int i = 0; i < 4 && words.size() == 3; ++i) {
            if (words[1] == fieldNames[i])
                field = i;
        }
        bool cellNumber = false;
        bool valueNumber = false;
        const int cell = words.value(0).toInt(&cellNumber);
        const int value = words.value(2).toInt(&valueNumber);
        if (cellNumber && valueNumber && dispenser.changeCell(cell, field, value))
            printLine(QStringLiteral("cell %1 %2 set to %3 (command file)")
                              .arg(cell)
                              .arg(QLatin1String(fieldNames[field]))
                              .arg(value));
        else
            printLine(QStringLiteral("command file: not done: ") + QString::fromLocal8Bit(line));
    }
}

bool readNumber(const char *text, int &number)
{
    bool valid = false;
    number = QByteArray(text).toInt(&valid);
    return valid && number >= 0;
}

int usage(const char *program, std::FILE *out, int exitCode)
{
    std::fprintf(
            out,
            "Usage: %s [--link PATH] [--off] [--delay MS] [--skew-cell N] [--command-file PATH]"
            " [FAULT]\n"
            "Simulates a Pelidor 7 dispenser on a pseudo-terminal and prints its device path.\n"
            "  --link PATH  also make PATH a symbolic link to the device\n"
            "  --off        start switched off: ignore everything until kill -CONT <pid>\n"
            "  --delay MS   delay every answer by MS milliseconds\n"
            "  --skew-cell N\n"
            "               keep the pressure sent for cell N one tenth off (0 to 399)\n"
            "  --command-file PATH\n"
            "               every 250 ms, carry out and remove PATH: lines \"CELL FIELD VALUE\",\n"
            "               FIELD time, pressure, vacuum or trigger, VALUE in wire units\n"
            "               (1/10000 s, tenths), as if set at the front panel:\n"
            "               echo \"12 pressure 306\" > PATH\n"
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
    int skewedCell = -1;
    QString commandFile;
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
            if (!readNumber(argv[++i], delayMs))
                return usage(argv[0], stderr, 2);
        } else if (std::strcmp(argument, "--skew-cell") == 0 && i + 1 < argc) {
            if (!readNumber(argv[++i], skewedCell) || skewedCell >= SimulatedDispenser::cellCount)
                return usage(argv[0], stderr, 2);
        } else if (std::strcmp(argument, "--command-file") == 0 && i + 1 < argc) {
            commandFile = QString::fromLocal8Bit(argv[++i]);
        } else {
            return usage(argv[0], stderr, 2);
        }
    }

    // Stop, alarm and power signals are taken by sigtimedwait below, in order,
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
    dispenser.setSkewedCell(skewedCell);
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
    if (skewedCell >= 0)
        printLine(QStringLiteral("cell %1 keeps its pressure one tenth off (--skew-cell)")
                          .arg(skewedCell));
    if (!commandFile.isEmpty())
        printLine(QStringLiteral("change cells: echo \"12 pressure 306\" > %1").arg(commandFile));

    const timespec pollInterval = { 0, commandFilePollMs * 1000000L };
    for (;;) {
        const int signal = sigtimedwait(&awaitedSignals, nullptr, &pollInterval);
        if (signal < 0) {
            if (errno == EAGAIN && !commandFile.isEmpty())
                runCommandFile(dispenser, commandFile);
            continue;
        }
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
