// The device link against the simulated dispenser over a pseudo-terminal:
// packet framing, the set and feedback transactions with the bytes on the
// line, each fault mapped to its code and what is left after a failure, and
// every command's packet text, parameter checks and reply parsing.
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QtTest>

#include <cmath>
#include <functional>

using Fault = SimulatedDispenser::Fault;
using Strike = std::function<void(SimulatedDispenser &)>;
using Operation = std::function<int(DispenserLink &)>;
// A read's code followed by its out-parameters, which start at values no
// reply gives, so those left untouched show.
using Read = std::function<QVariantList(DispenserLink &)>;
Q_DECLARE_METATYPE(Strike)
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Read)

#define SENDS(name, call, code, packet)                                                            \
    QTest::newRow(name) << Operation([](DispenserLink &l) { return l.call; }) << (code)            \
                        << QByteArray(packet)

namespace {

// The bytes of an exchange as the dispenser receives them: E for ENQ, P for
// the framed packet text, A for ACK, T for EOT.
QByteArray onLine(const char *steps, const QByteArray &text)
{
    return QByteArray(steps)
            .replace('E', "\x05")
            .replace('A', "\x06")
            .replace('T', "\x04")
            .replace("P", Packet::frame(text));
}

Strike inject(Fault fault)
{
    return [fault](SimulatedDispenser &dispenser) { dispenser.injectFault(fault); };
}
Strike reply(const QByteArray &data)
{
    return [data](SimulatedDispenser &d) { d.injectData(data); };
}
const Strike fromState = [](SimulatedDispenser &) {};

const QByteArray noLockouts = "DT0DP0DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM0";

// A read of one value; the value starts at `untouched`.
template<typename T>
Read one(int (DispenserLink::*get)(T &), T untouched = T(-1))
{
    return [get, untouched](DispenserLink &l) {
        T value = untouched;
        return QVariantList { (l.*get)(value), value };
    };
}

// A braced list is evaluated in order: the call runs before its out-parameters are taken.
const Read status = [](DispenserLink &l) {
    int ai = -1, mode = -1, start = -1, end = -1;
    return QVariantList { l.getTotalStatusFeedback(ai, mode, start, end), ai, mode, start, end };
};
const Read aiMode = one(&DispenserLink::getAiMode);
const Read dispenseMode = one(&DispenserLink::getDispenseMode);
const Read memCell = one(&DispenserLink::getMemCell);
const Read cellTime = one(&DispenserLink::getDispenseTime);
const Read cellPressure = one(&DispenserLink::getPressure);
const Read cellVacuum = one(&DispenserLink::getVacuum);
const Read trigger = one(&DispenserLink::getTrigger);
const Read pressureUnits = one(&DispenserLink::getPressureUnits);
const Read shotCount = one(&DispenserLink::getShotCount);
const Read alarmStatus = one(&DispenserLink::getAlarmStatus, 0x88u);
const Read alarms = one<unsigned>(&DispenserLink::getAlarms, ~0u);
const Read memTimePressure = [](DispenserLink &l) {
    int cell = -1;
    double t = -1, p = -1;
    return QVariantList { l.getMemTimePressure(cell, t, p), cell, t, p };
};
Read cellValues(int cell)
{
    return [cell](DispenserLink &l) {
        double p = -1, t = -1, v = -1;
        return QVariantList { l.getPressureTimeVacuum(cell, p, t, v), p, t, v };
    };
}
const Read timeOfDay = [](DispenserLink &l) {
    int hour = -1, minute = -1;
    bool clock24 = true;
    return QVariantList { l.getTime(hour, minute, clock24), hour, minute, clock24 };
};
const Read date = [](DispenserLink &l) {
    int month = -1, day = -1, year = -1;
    return QVariantList { l.getDate(month, day, year), month, day, year };
};
const Read lockouts = [](DispenserLink &l) {
    unsigned v = ~0u;
    return QVariantList { l.getLockouts(v, "5183"), v };
};

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;

    QByteArray received() const
    {
        waitForIdleLine(line->dispenser);
        return line->dispenser.receivedBytes();
    }

private slots:
    void init()
    {
        SimulatedDispenser::State s = exampleDispenser();
        s.cells[7] = { 12345, 6896, 180, 99999 }; // pressure 689.6: beyond what a reading may hold
        s.cells[300] = { 99999, 6895, 7, 1 };
        s.lockouts = 0x8009;
        s.alarmOptions = 0x41;
        s.alarmStatus = 0x21;
        line = std::make_unique<SimulatedLink>(s);
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
    }

    void cleanup() { line.reset(); }

    void framesTheWorkedExamples_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("current cell")
                << QByteArray("04UA  ") << QByteArray::fromHex("02303455412020433603");
        QTest::newRow("alarm reset")
                << QByteArray("04EK  ") << QByteArray::fromHex("023034454B2020434303");
        QTest::newRow("cell 12") << QByteArray("05E8012")
                                 << QByteArray::fromHex("0230354538303132384203");
        QTest::newRow("1.2345 s") << QByteArray("10DS  T12345")
                                  << QByteArray::fromHex("02313044532020543132333435373503");
        QTest::newRow("whole job") << QByteArray("12SS  S000E399")
                                   << QByteArray::fromHex("023132535320205330303045333939454103");
        // A checksum below 0x10 keeps its leading zero.
        QTest::newRow("checksum 0E") << QByteArray("04aaff")
                                     << QByteArray("\x02"
                                                   "04aaff0E\x03");
    }

    void framesTheWorkedExamples()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, wire);
        QCOMPARE(Packet::frame(text), wire);
    }

    void transactions_data()
    {
        QTest::addColumn<bool>("feedback");
        QTest::addColumn<Strike>("strike");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("steps");

        const Strike none = [](SimulatedDispenser &) {};
        const Strike slow = [](SimulatedDispenser &d) { d.setReplyDelay(120); }; // within each wait
        const Strike off = [](SimulatedDispenser &d) { d.setPoweredOn(false); };
        for (bool feedback : { false, true }) {
            const char *kind = feedback ? "feedback" : "set";
            QTest::addRow("%s", kind)
                    << feedback << none << 0 << QByteArray(feedback ? "EPAT" : "EPT");
            QTest::addRow("%s, slow", kind)
                    << feedback << slow << 0 << QByteArray(feedback ? "EPAT" : "EPT");
            // A failed command reply ends the session; no data is asked for.
            QTest::addRow("%s, no reply", kind)
                    << feedback << inject(Fault::NoReply) << 3 << QByteArray("EPT");
            QTest::addRow("%s, no ETX", kind)
                    << feedback << inject(Fault::ReplyWithoutEtx) << 3 << QByteArray("EPT");
            QTest::addRow("%s, refused", kind)
                    << feedback << inject(Fault::Refuse) << 5 << QByteArray("EPT");
            QTest::addRow("%s, A0 and A2", kind)
                    << feedback << inject(Fault::AcceptAndRefuse) << 5 << QByteArray("EPT");
            QTest::addRow("%s, garbage", kind)
                    << feedback << inject(Fault::Garbage) << -1 << QByteArray("EPT");
            // Switched off: nothing but the ENQ, and no session to end.
            QTest::addRow("%s, switched off", kind) << feedback << off << 6 << QByteArray("E");
        }
        QTest::newRow("feedback, no data")
                << true << inject(Fault::NoData) << 12 << QByteArray("EPAT");
        QTest::newRow("feedback, data without ETX")
                << true << inject(Fault::DataWithoutEtx) << 12 << QByteArray("EPAT");
    }

    void transactions()
    {
        QFETCH(bool, feedback);
        QFETCH(Strike, strike);
        QFETCH(int, code);
        QFETCH(QByteArray, steps);

        strike(line->dispenser);
        const QByteArray text = feedback ? "04UA  " : "04EK  ";
        QByteArray reply = "untouched";
        QCOMPARE(feedback ? line->link.feedbackCommand(text, reply) : line->link.setCommand(text),
                 code);
        QCOMPARE(reply, feedback && code == 0 ? Packet::frame("05D0007") : QByteArray("untouched"));
        // Closing at once, as a user who disconnects right away, still lets
        // the last bytes out.
        line->link.closePort();
        QCOMPARE(received(), onLine(steps, text));
    }

    void setOperationsSendTheirPackets_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("packet");

        SENDS("AI timed", setAiMode(0), 0, "10AC  S10000");
        SENDS("AI off", setAiMode(3), 0, "05AI  0");
        SENDS("AI mode 4", setAiMode(4), 0, "");
        SENDS("timed", setDispenseMode(0), 0, "04TT  ");
        SENDS("dispense mode 2", setDispenseMode(2), 0, "");
        SENDS("whole job", setStartEndMemCell(0, 399), 0, "12SS  S000E399");
        SENDS("start after end", setStartEndMemCell(5, 4), 8, "");
        SENDS("cell 399", setMemCell(399), 0, "07CH  399");
        SENDS("cell -1", setMemCell(-1), 8, "");
        SENDS("time 1.2345", setDispenseTime(1.2345), 0, "10DS  T12345");
        SENDS("time 10", setDispenseTime(10.0), 8, "");
        SENDS("pressure 689.5", setPressure(689.5), 0, "08PS  6895");
        SENDS("pressure 999.96 needs 5 digits", setPressure(999.96), 8, "");
        SENDS("pressure NaN", setPressure(std::nan("")), 8, "");
        SENDS("vacuum 18", setVacuum(18.0), 0, "08VS  0180");
        SENDS("vacuum 18.1", setVacuum(18.1), 8, "");
        SENDS("trigger 99999", setTrigger(99999), 0, "10EQ  T99999");
        SENDS("trigger 100000", setTrigger(100000), 8, "");
        SENDS("pressure unit 3", setPressureUnits(3), 9, "");
        SENDS("vacuum unit 5", setVacuumUnits(5), 9, "");
        SENDS("midnight, 12 h", setTime(0, 0, false), 0, "13EB  H12M00AM0");
        SENDS("noon, 12 h", setTime(12, 30, false), 0, "13EB  H12M30AM1");
        SENDS("24 h", setTime(0, 7, true), 0, "13EB  H00M07AM2");
        SENDS("hour 24", setTime(24, 0, true), 8, "");
        SENDS("minute 60", setTime(10, 60, true), 8, "");
        SENDS("month 13", setDate(13, 1, 24), 8, "");
        SENDS("day 32", setDate(1, 32, 24), 8, "");
        SENDS("year 100", setDate(1, 1, 100), 8, "");
        SENDS("no lockouts", setLockouts(0, "5183"), 0, "57EG  PA5183" + noLockouts);
        SENDS("password of five digits", setLockouts(0, "51830"), 8, "");
        SENDS("alarms as options", setAlarms(true, false, true, false, false, true, false), 0,
              "25EI  IN1IO0IL1PO0PL0AE1AO0");
    }

    void setOperationsSendTheirPackets()
    {
        QFETCH(Operation, operation);
        QFETCH(int, code);
        QFETCH(QByteArray, packet);

        QCOMPARE(operation(line->link), code);
        QCOMPARE(line->packets(),
                 packet.isEmpty() ? QList<QByteArray>() : QList<QByteArray> { packet });
        // Refused, an operation reports it on the debug stream, but for the
        // clock, date, lockout and alarm commands, which leave that to their caller.
        if (packet.isEmpty())
            return;
        line->dispenser.injectFault(Fault::Refuse);
        DebugCapture debug;
        QCOMPARE(operation(line->link), 5);
        const bool reports = !QByteArrayList { "EB", "EC", "EG", "EI" }.contains(packet.mid(2, 2));
        QCOMPARE(debug.lines().contains("Error: A2 Received from P7"), reports);
    }

    void reads_data()
    {
        QTest::addColumn<Read>("read");
        QTest::addColumn<Strike>("prepare");
        QTest::addColumn<QVariantList>("expected"); // the code, then the out-parameters

        auto row = [](const char *name, const Read &read, const Strike &prepare,
                      const QVariantList &expected) {
            QTest::newRow(name) << read << prepare << expected;
        };
        row("status", status, fromState, { 0, 1, 1, 5, 120 });
        row("current cell", memCell, fromState, { 0, 7 });
        row("time of the current cell", cellTime, fromState, { 0, 1.2345 });
        row("pressure of the current cell above 689.5", cellPressure, fromState, { 8, 689.6 });
        row("pressure checked before the cell", memTimePressure, fromState,
            { 8, 7, 1.2345, 689.6 });
        row("cell 300 at the limits", cellValues(300), fromState, { 0, 689.5, 9.9999, 0.7 });
        row("cell 400, no exchange", cellValues(400), fromState, { 8, -1.0, -1.0, -1.0 });
        row("lockouts, higher bits kept", lockouts, fromState, { 0, 0xFFFF8009u });
        row("alarm options, higher bits kept", alarms, fromState, { 0, 0xFFFFFFC1u });
        row("alarm status: 0 and 5 set, 3 cleared, 7 kept", alarmStatus, fromState, { 0, 0xA1u });

        row("AI off whatever M holds", status, reply("AI0M7TM9SA999EA998"), { 0, 3, 9, 999, 998 });
        row("M inside TM comes first", aiMode, reply("AI1TM2M4"), { 0, 1 });
        row("bad AI digit stops the status read", status, reply("AI1M7TM1SA005EA010"),
            { 10, -1, -1, -1, -1 });
        row("current cell 400 stored", memCell, reply("D0400"), { 10, 400 });
        row("shot count 100000 stored", shotCount, reply("SC0100000"), { 10, 100000 });
        row("vacuum 18.1 stored", cellValues(0), reply("DT00001PD0500VC0181"),
            { 10, 50.0, 0.0001, 18.1 });
        row("cell 400 before time", memTimePressure, reply("CH400DT-0001PD1000"),
            { 10, 400, -0.0001, 100.0 });
        row("negative time", memTimePressure, reply("CH399DT-0001PD1000"),
            { 8, 399, -0.0001, 100.0 });
        row("12 AM is hour 0", timeOfDay, reply("H12M00AM0"), { 0, 0, 0, false });
        row("12 PM stays 12", timeOfDay, reply("H12M30AM1"), { 0, 12, 30, false });
        row("24 h, hour 24", timeOfDay, reply("H24M00AM2"), { 10, 24, 0, true });
        row("clock indicator 7", timeOfDay, reply("H05M10AM7"), { 10, 5, 10, true });
        row("month 13 stored", date, reply("M13D01Y24"), { 10, 13, 1, 24 });
        row("31 December 2099", date, reply("M12D31Y99"), { 0, 12, 31, 99 });
        row("dispense mode", dispenseMode, reply("AI0M1TM1SA000EA399"), { 0, 1 });

        row("status without SA", status, reply("AI1M1TM0EA399"), { 10, -1, -1, -1, -1 });
        row("trigger without TV", trigger, reply("T00001"), { 10, -1 });
        row("alarm status without PA", alarmStatus, reply("IN1AI1"), { 10, 0x88u });
        row("lockouts without AM", lockouts, reply(noLockouts.left(45)), { 10, ~0u });

        row("status, data without ETX", status, inject(Fault::DataWithoutEtx),
            { 12, -1, -1, -1, -1 });
        row("time, refused", timeOfDay, inject(Fault::Refuse), { 5, -1, -1, true });
        row("time of a cell not read", cellTime, inject(Fault::Refuse), { 5, -1.0 });
        row("pressure of cell 400", cellPressure, reply("D0400"), { 10, -1.0 });
        row("vacuum of a cell read as garbage", cellVacuum, inject(Fault::Garbage), { -1, -1.0 });
    }

    void reads()
    {
        QFETCH(Read, read);
        QFETCH(Strike, prepare);
        QFETCH(QVariantList, expected);

        prepare(line->dispenser);
        QCOMPARE(read(line->link), expected);
    }

    void writesItsDebugLines()
    {
        DebugCapture debug;
        QCOMPARE(line->link.setStartEndMemCell(0, 399), 0);
        QCOMPARE(line->link.setStartEndMemCell(9, 8), 8); // refused before anything is logged
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(line->link.setMemCell(3), 5);
        line->dispenser.injectFault(Fault::NoReply);
        QCOMPARE(line->link.getMemCellResponse(), 3);
        QCOMPARE(debug.lines(),
                 QStringList({ "Start End Mem Cell cmd: 12SS  S000E399",
                               "Error: A2 Received from P7",
                               "P7 Response: ", "Error: No response when expected from P7" }));
    }

    void openSessionIsNeitherReopenedNorClosed()
    {
        QCOMPARE(line->link.beginSession(), 0);
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("07CH  003"), 0);
        QByteArray reply;
        QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);
        QCOMPARE(reply, Packet::frame("05D0003"));
        QCOMPARE(received(), onLine("P", "07CH  003") + onLine("PA", "04UA  "));

        // A failure ends even a session the transaction did not open.
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 5);
        QVERIFY(received().endsWith(Packet::EOT));
    }

    void staleInputNeverAnswersTheNextCommand()
    {
        // A late "A0" lands while the program is idle, an "A2" before its ENQ.
        line->dispenser.injectFault(Fault::LateReply);
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(line->link.setCommand("07CH  010"), 3);
        QTest::qWait(SimulatedDispenser::lateReplyDelayMs + 100);
        QCOMPARE(line->link.setCommand("07CH  011"), 5);
        line->dispenser.sendUnsolicited(QByteArray(1, Packet::STX) + "A2" + Packet::ETX);
        QTest::qWait(50);
        QCOMPARE(line->link.setCommand("07CH  009"), 0);
        QCOMPARE(line->dispenser.state().currentCell, 9);
    }

    // While a transaction waits the event loop runs; a timer that starts
    // another one is refused without a byte, and the first ends as usual.
    void transactionInsideAnotherIsRefused()
    {
        line->dispenser.setReplyDelay(100);
        int nestedCode = -100;
        QTimer::singleShot(50, [&] { nestedCode = line->link.setCommand("07CH  005"); });
        QCOMPARE(line->link.setCommand("07CH  007"), 0);
        QCOMPARE(nestedCode, 14);
        QCOMPARE(line->link.errorMessage(14),
                 QStringLiteral("Error: Serial port busy with another command"));
        QCOMPARE(line->packets(), QList<QByteArray> { "07CH  007" });
    }

    void closedPortTouchesNothing()
    {
        // Closed in the middle of a wait: the wait ends at once.
        line->dispenser.setPoweredOn(false);
        QTimer::singleShot(100, [&] { line->link.closePort(); });
        QElapsedTimer clock;
        clock.start();
        QByteArray reply = "untouched";
        QCOMPARE(line->link.feedbackCommand("04E9  ", reply), 1);
        QVERIFY2(clock.elapsed() < 1000, "the wait went on after the port closed");
        QCOMPARE(reply, QByteArray("untouched"));
        QCOMPARE(line->link.setCommand("04EK  "), 1);

        // Reopening clears the session flag the close left.
        QVERIFY(line->link.openPort(line->dispenser.devicePath(), 9600));
        line->dispenser.setPoweredOn(true);
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("04EK  "), 0);
        QCOMPARE(received(), onLine("EPT", "04EK  "));
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
