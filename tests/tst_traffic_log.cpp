// The communication log against the simulated dispenser: the lines of set
// and feedback exchanges, the password kept out of every line, and a save
// that cannot be completed.
#include "CommunicationLog.h"
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using Operation = std::function<int(DispenserLink &)>;
Q_DECLARE_METATYPE(Operation)

namespace {

QString shown(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes).replace("\x02", "<STX>").replace("\x03", "<ETX>");
}

// The lines without their times.
QStringList withoutTimes(const QStringList &lines)
{
    QStringList texts;
    for (const QString &line : lines)
        texts << line.mid(QStringLiteral("hh:mm:ss.zzz ").size());
    return texts;
}

} // namespace

class TestTrafficLog : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void linesOfAnExchange_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("sessionBytes");
        QTest::addColumn<QStringList>("lines");

        const Operation setCell = [](DispenserLink &l) { return l.setMemCell(5); };
        const Operation readCell = [](DispenserLink &l) {
            int cell = 0;
            return l.getMemCell(cell);
        };
        const QString cellPacket = "-> " + shown(Packet::frame("07CH  005"));
        const QString accepted = "<- <STX>A0<ETX>";
        QTest::newRow("set, everything")
                << setCell << false << true
                << QStringList { "-> <ENQ>", "<- <ACK>", cellPacket,
                                 accepted,   "-> <EOT>", "== 07CH  005: ok" };
        QTest::newRow("set, commands only")
                << setCell << false << false
                << QStringList { cellPacket, accepted, "== 07CH  005: ok" };
        QTest::newRow("set refused") << setCell << true << false
                                     << QStringList { cellPacket, "<- <STX>A2<ETX>",
                                                      "== 07CH  005: Error: A2 Received from P7" };
        QTest::newRow("feedback, everything")
                << readCell << false << true
                << QStringList { "-> <ENQ>",
                                 "<- <ACK>",
                                 "-> " + shown(Packet::frame("04UA  ")),
                                 accepted,
                                 "-> <ACK>",
                                 "<- " + shown(Packet::frame(Packet::withCount("D0007"))),
                                 "-> <EOT>",
                                 "== 04UA: ok" };
    }

    void linesOfAnExchange()
    {
        QFETCH(Operation, operation);
        QFETCH(bool, refuse);
        QFETCH(bool, sessionBytes);
        QFETCH(QStringList, lines);

        SimulatedLink line(exampleDispenser());
        QVERIFY2(line.isReady(), qPrintable(line.errorString()));
        CommunicationLog log;
        line.link.setTraffic(&log);
        if (refuse)
            line.dispenser.injectFault(SimulatedDispenser::Fault::Refuse);
        operation(line.link);
        QCOMPARE(withoutTimes(log.lines({ sessionBytes, QString() })), lines);
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} ")
                        .match(log.lines().first())
                        .hasMatch());
        QCOMPARE(withoutTimes(log.lines({ true, "<- <ack>" })), QStringList({ "<- <ACK>" }));
    }

    // The lockout commands carry the password; no line shows it, neither
    // the debug stream's, the log's nor a saved log's.
    void hidesThePassword()
    {
        SimulatedLink line(exampleDispenser());
        QVERIFY2(line.isReady(), qPrintable(line.errorString()));
        CommunicationLog log;
        line.link.setTraffic(&log);
        DebugCapture debug;
        unsigned lockouts = 0;
        QCOMPARE(line.link.setLockouts(0x1, "5183"), 0);
        QCOMPARE(line.link.getLockouts(lockouts, "5183"), 0);
        const QString path = folder.filePath("lockouts.log");
        QVERIFY(log.save(path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QString everything = debug.lines().join('\n') + log.lines().join('\n')
                + QString::fromUtf8(saved.readAll());
        QVERIFY(!everything.contains("5183"));
        // The debug line; the sent and outcome lines, in the log and the saved file.
        QCOMPARE(everything.count("EG  PA****DT1"), 5);
        QVERIFY(everything.contains("== 10EH  PA****: ok"));
        // Fewer digits: the checksum after them stays.
        QCOMPARE(Packet::hidePassword(Packet::frame("07EH  PA7")),
                 QByteArray("\x02"
                            "07EH  PA*04\x03"));
    }

    void keepsTheNewestLines()
    {
        CommunicationLog log(3);
        for (const char *bytes : { "1", "2", "3", "4\x7f" })
            log.sent(bytes);
        QCOMPARE(withoutTimes(log.lines()), QStringList({ "-> 2", "-> 3", "-> 4<7f>" }));
        QCOMPARE(log.linesSince(log.appendedCount() - 1, {}).size(), 1);
        log.clear();
        QCOMPARE(log.lines(), QStringList());
    }

    // A file size limit makes the write fail for real: the old file stays.
    void saveThatCannotBeWrittenKeepsTheOldFile()
    {
        const QString path = folder.filePath("kept.log");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
        old.close();
        CommunicationLog log;
        for (int i = 0; i < 100; ++i)
            log.sent(QByteArray(50, 'x'));

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 1000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = log.save(path);
        setrlimit(RLIMIT_FSIZE, &previous);

        QVERIFY(!saved);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old\n"));
    }
};

QTEST_MAIN(TestTrafficLog)
#include "tst_traffic_log.moc"
