// The programs as a user starts them: the panel's options and the toolkit's, and
// the simulator's fault options and power signals as the device link meets them.
#include "DispenserLink.h"
#include "SimulatedDispenser.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void panelCommandLine()
    {
        // Answered with no display to open, unless a platform is named; of the
        // toolkit's options, only a wrong one is refused.
        QProcess panel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        panel.setProcessEnvironment(environment);
        panel.setProcessChannelMode(QProcess::MergedChannels);
        const std::tuple<QStringList, int, QByteArray> answers[] = {
            { { "--version" }, 0, "Pelidor 7 Interactive 3.2\n" },
            { { "--help" }, 0, "--help-all" },
            { { "--help-all" }, 0, "--platform <platformName" },
            { { "-platform", "offscreen", "-style", "fusion", "-stylesheet", "/dev/null",
                "-reverse", "--style=fusion", "--bogus" },
              1,
              ": Unknown option 'bogus'.\n" }
        };
        for (const auto &[arguments, exitCode, printed] : answers) {
            panel.start(QStringLiteral(PANEL_PROGRAM), arguments);
            QVERIFY(panel.waitForFinished(30000));
            QVERIFY2(panel.exitCode() == exitCode && panel.readAll().contains(printed),
                     qPrintable(arguments.join(' ')));
        }

        // --connect: the stored port opens at start, and the lockouts are read.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        SimulatedDispenser dispenser;
        QVERIFY(dispenser.start());
        QTemporaryDir config;
        QSettings(config.filePath("Halvexa/Pelidor 7 Interactive.conf"), QSettings::IniFormat)
                .setValue("COMport", dispenser.devicePath());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        panel.setProcessEnvironment(environment);
        panel.start(QStringLiteral(PANEL_PROGRAM), { QStringLiteral("--connect") });
        QTRY_VERIFY_WITH_TIMEOUT(dispenser.receivedPackets().contains("10EH  PA5183"), 30000);
        panel.kill();
        panel.waitForFinished();
    }

    void simulatorOptionMeetsLink_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("signal"); // sent once the device is up; 0 for none
        QTest::addColumn<QByteArray>("reply"); // the simulator's line that shows it took the signal
        QTest::addColumn<int>("code");

        auto row = [](const char *name, const QStringList &options, int signal, const char *reply,
                      int code) {
            QTest::newRow(name) << options << signal << QByteArray(reply) << code;
        };
        row("none", {}, 0, "", DispenserLink::ok);
        row("--off", { "--off" }, 0, "", DispenserLink::noAck);
        row("--garbage", { "--garbage" }, 0, "", DispenserLink::unknownReply);
        row("--late", { "--late" }, 0, "", DispenserLink::noResponse);
        row("--refuse", { "--refuse" }, 0, "", DispenserLink::refused);
        row("--no-data", { "--no-data" }, 0, "", DispenserLink::incompleteData);
        row("--delay 600", { "--delay", "600" }, 0, "", DispenserLink::noResponse);
        row("SIGTSTP", {}, SIGTSTP, "switched off", DispenserLink::noAck);
        row("--off, SIGCONT", { "--off" }, SIGCONT, "switched on", DispenserLink::ok);
    }

    void simulatorOptionMeetsLink()
    {
        QFETCH(QStringList, options);
        QFETCH(int, signal);
        QFETCH(QByteArray, reply);
        QFETCH(int, code);

        QProcess simulator;
        simulator.start(QStringLiteral(SIM_PROGRAM), options);
        QVERIFY(simulator.waitForStarted());
        while (!simulator.canReadLine())
            QVERIFY(simulator.waitForReadyRead(30000));
        const QString device = QString::fromLocal8Bit(simulator.readLine().trimmed());
        QVERIFY2(device.startsWith(QLatin1String("/dev/")), qPrintable(device));

        if (signal != 0) {
            QCOMPARE(::kill(pid_t(simulator.processId()), signal), 0);
            QByteArray output;
            while (!output.contains(reply)) {
                QVERIFY2(simulator.waitForReadyRead(30000), output.constData());
                output += simulator.readAllStandardOutput();
            }
        }

        {
            DispenserLink link;
            QVERIFY(link.openPort(device, 115200));
            int count = -1;
            QCOMPARE(link.getShotCount(count), code);
            QCOMPARE(count, code == DispenserLink::ok ? 0 : -1);
        }

        // SIGTERM ends it through its own shutdown, not by the signal.
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(30000) && simulator.exitCode() == 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
