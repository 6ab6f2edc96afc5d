// The dispenser operations of the link against the simulated dispenser:
// packet texts, parameter checks, reply parsing, out-parameters on failure.
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QtTest>

#include <cmath>
#include <functional>

using Fault = SimulatedDispenser::Fault;
using Operation = std::function<int(DispenserLink &)>;
// A read's code followed by its out-parameters, which start at values no
// reply gives, so those left untouched show.
using Read = std::function<QVariantList(DispenserLink &)>;
using Prepare = std::function<void(SimulatedDispenser &)>;
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Prepare)

#define SENDS(name, call, code, packet)                                                            \
    QTest::newRow(name) << Operation([](DispenserLink &l) { return l.call; }) << (code)            \
                        << QByteArray(packet)

namespace {

const QByteArray noLockouts = "DT0DP0DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM0";

SimulatedDispenser::State heldState()
{
    SimulatedDispenser::State s;
    s.currentCell = 12;
    s.cells[12] = { 12345, 6896, 180, 99999 }; // pressure 689.6: beyond what a reading may hold
    s.cells[300] = { 99999, 6895, 7, 1 };
    s.startCell = 10;
    s.endCell = 20;
    s.autoIncrementOn = true;
    s.autoIncrementType = 2;
    s.dispenseMode = 1;
    s.pressureUnit = 2;
    s.vacuumUnit = 3;
    s.hour = 6;
    s.minute = 5;
    s.clockIndicator = 1;
    s.month = 2;
    s.day = 29;
    s.year = 24;
    s.lockouts = 0x8009;
    s.alarmOptions = 0x41;
    s.alarmStatus = 0x21;
    s.shotCount = 99999;
    return s;
}

// A braced list is evaluated in order: the call runs before its out-parameters are taken.
const Read status = [](DispenserLink &l) {
    int ai = -1, mode = -1, start = -1, end = -1;
    return QVariantList { l.getTotalStatusFeedback(ai, mode, start, end), ai, mode, start, end };
};
const Read aiMode = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getAiMode(v), v };
};
const Read dispenseMode = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getDispenseMode(v), v };
};
const Read startEnd = [](DispenserLink &l) {
    int start = -1, end = -1;
    return QVariantList { l.getStartEndMemCell(start, end), start, end };
};
const Read memCell = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getMemCell(v), v };
};
const Read cellTime = [](DispenserLink &l) {
    double v = -1;
    return QVariantList { l.getDispenseTime(v), v };
};
const Read cellPressure = [](DispenserLink &l) {
    double v = -1;
    return QVariantList { l.getPressure(v), v };
};
const Read cellVacuum = [](DispenserLink &l) {
    double v = -1;
    return QVariantList { l.getVacuum(v), v };
};
const Read trigger = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getTrigger(v), v };
};
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
const Read pressureUnits = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getPressureUnits(v), v };
};
const Read vacuumUnits = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getVacuumUnits(v), v };
};
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
const Read alarms = [](DispenserLink &l) {
    unsigned v = ~0u;
    return QVariantList { l.getAlarms(v), v };
};
const Read alarmOptions = [](DispenserLink &l) {
    bool o[7] = {};
    return QVariantList { l.getAlarms(o[0], o[1], o[2], o[3], o[4], o[5], o[6]),
                          o[0],
                          o[1],
                          o[2],
                          o[3],
                          o[4],
                          o[5],
                          o[6] };
};
const Read alarmStatus = [](DispenserLink &l) {
    unsigned v = 0x88;
    return QVariantList { l.getAlarmStatus(v), v };
};
const Read shotCount = [](DispenserLink &l) {
    int v = -1;
    return QVariantList { l.getShotCount(v), v };
};

const Prepare fromState = [](SimulatedDispenser &) {};
Prepare reply(const QByteArray &data)
{
    return [data](SimulatedDispenser &d) { d.injectData(data); };
}
Prepare fault(Fault fault)
{
    return [fault](SimulatedDispenser &d) { d.injectFault(fault); };
}

} // namespace

class TestLinkCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;

private slots:
    void init()
    {
        line = std::make_unique<SimulatedLink>(heldState());
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
    }

    void cleanup() { line.reset(); }

    void setOperationsSendTheirPackets_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("packet");

        SENDS("AI timed", setAiMode(0), 0, "10AC  S10000");
        SENDS("AI count", setAiMode(1), 0, "10AC  S20000");
        SENDS("AI sequence", setAiMode(2), 0, "10AC  S40000");
        SENDS("AI off", setAiMode(3), 0, "05AI  0");
        SENDS("AI mode 4", setAiMode(4), 0, "");
        SENDS("timed", setDispenseMode(0), 0, "04TT  ");
        SENDS("steady", setDispenseMode(1), 0, "04MT  ");
        SENDS("dispense mode 2", setDispenseMode(2), 0, "");
        SENDS("whole job", setStartEndMemCell(0, 399), 0, "12SS  S000E399");
        SENDS("start after end", setStartEndMemCell(5, 4), 8, "");
        SENDS("end 400", setStartEndMemCell(0, 400), 8, "");
        SENDS("cell 399", setMemCell(399), 0, "07CH  399");
        SENDS("cell -1", setMemCell(-1), 8, "");
        SENDS("time 1.2345", setDispenseTime(1.2345), 0, "10DS  T12345");
        SENDS("time 9.9999", setDispenseTime(9.9999), 0, "10DS  T99999");
        SENDS("time 10", setDispenseTime(10.0), 8, "");
        SENDS("time negative", setDispenseTime(-0.0001), 8, "");
        SENDS("pressure 50", setPressure(50.0), 0, "08PS  0500");
        SENDS("pressure 689.5", setPressure(689.5), 0, "08PS  6895");
        SENDS("pressure 999.96 needs 5 digits", setPressure(999.96), 8, "");
        SENDS("pressure NaN", setPressure(std::nan("")), 8, "");
        SENDS("vacuum 18", setVacuum(18.0), 0, "08VS  0180");
        SENDS("vacuum 18.1", setVacuum(18.1), 8, "");
        SENDS("trigger 99999", setTrigger(99999), 0, "10EQ  T99999");
        SENDS("trigger 100000", setTrigger(100000), 8, "");
        SENDS("pressure unit 2", setPressureUnits(2), 0, "06E6  02");
        SENDS("pressure unit 3", setPressureUnits(3), 9, "");
        SENDS("vacuum unit 4", setVacuumUnits(4), 0, "06E7  04");
        SENDS("vacuum unit 5", setVacuumUnits(5), 9, "");
        SENDS("language 7", setLanguage(7), 0, "06ED  07");
        SENDS("midnight, 12 h", setTime(0, 0, false), 0, "13EB  H12M00AM0");
        SENDS("noon, 12 h", setTime(12, 30, false), 0, "13EB  H12M30AM1");
        SENDS("morning, 12 h", setTime(11, 59, false), 0, "13EB  H11M59AM0");
        SENDS("afternoon, 12 h", setTime(18, 5, false), 0, "13EB  H06M05AM1");
        SENDS("24 h", setTime(0, 7, true), 0, "13EB  H00M07AM2");
        SENDS("hour 24", setTime(24, 0, true), 8, "");
        SENDS("minute 60", setTime(10, 60, true), 8, "");
        SENDS("leap day", setDate(2, 29, 24), 0, "13EC  M02D29Y24");
        SENDS("month 13", setDate(13, 1, 24), 8, "");
        SENDS("day 0", setDate(1, 0, 24), 8, "");
        SENDS("day 32", setDate(1, 32, 24), 8, "");
        SENDS("year 100", setDate(1, 1, 100), 8, "");
        SENDS("no lockouts", setLockouts(0, "5183"), 0, "57EG  PA5183" + noLockouts);
        SENDS("lockouts DT and AM", setLockouts(0x8001, "5183"), 0,
              "57EG  PA5183DT1DP0DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM1");
        SENDS("password of five digits", setLockouts(0, "51830"), 8, "");
        SENDS("password with a letter", setLockouts(0, "51a3"), 8, "");
        SENDS("all alarms", setAlarms(0x7Fu), 0, "25EI  IN1IO1IL1PO1PL1AE1AO1");
        SENDS("alarms as options", setAlarms(true, false, true, false, false, true, false), 0,
              "25EI  IN1IO0IL1PO0PL0AE1AO0");
        SENDS("alarm reset", resetAlarms(), 0, "04EK  ");
        SENDS("current cell response", getMemCellResponse(), 0, "04UA  ");
        QTest::newRow("lockouts read") << Operation([](DispenserLink &l) {
            unsigned flags = 0;
            return l.getLockouts(flags, "5183");
        }) << 0 << QByteArray("10EH  PA5183");
    }

    void setOperationsSendTheirPackets()
    {
        QFETCH(Operation, operation);
        QFETCH(int, code);
        QFETCH(QByteArray, packet);

        QCOMPARE(operation(line->link), code);
        QCOMPARE(line->packets(),
                 packet.isEmpty() ? QList<QByteArray>() : QList<QByteArray> { packet });
    }

    void reads_data()
    {
        QTest::addColumn<Read>("read");
        QTest::addColumn<Prepare>("prepare");
        QTest::addColumn<QVariantList>("expected"); // the code, then the out-parameters

        auto row = [](const char *name, const Read &read, const Prepare &prepare,
                      const QVariantList &expected) {
            QTest::newRow(name) << read << prepare << expected;
        };
        row("status", status, fromState, { 0, 1, 1, 10, 20 });
        row("AI mode", aiMode, fromState, { 0, 1 });
        row("dispense mode", dispenseMode, fromState, { 0, 1 });
        row("start and end", startEnd, fromState, { 0, 10, 20 });
        row("current cell", memCell, fromState, { 0, 12 });
        row("time of the current cell", cellTime, fromState, { 0, 1.2345 });
        row("pressure of the current cell above 689.5", cellPressure, fromState, { 8, 689.6 });
        row("vacuum of the current cell", cellVacuum, fromState, { 0, 18.0 });
        row("trigger", trigger, fromState, { 0, 99999 });
        row("pressure checked before the cell", memTimePressure, fromState,
            { 8, 12, 1.2345, 689.6 });
        row("cell 300 at the limits", cellValues(300), fromState, { 0, 689.5, 9.9999, 0.7 });
        row("cell 400, no exchange", cellValues(400), fromState, { 8, -1.0, -1.0, -1.0 });
        row("pressure units", pressureUnits, fromState, { 0, 2 });
        row("vacuum units", vacuumUnits, fromState, { 0, 3 });
        row("6 PM", timeOfDay, fromState, { 0, 18, 5, false });
        row("date", date, fromState, { 0, 2, 29, 24 });
        row("lockouts, higher bits kept", lockouts, fromState, { 0, 0xFFFF8009u });
        row("alarm options, higher bits kept", alarms, fromState, { 0, 0xFFFFFFC1u });
        row("alarm options as flags", alarmOptions, fromState,
            { 0, true, false, false, false, false, false, true });
        row("alarm status, bits 0 and 5 set, 3 cleared, 7 kept", alarmStatus, fromState,
            { 0, 0xA1u });
        row("shot count 99999", shotCount, fromState, { 0, 99999 });

        row("AI off whatever M holds, nothing range checked", status, reply("AI0M7TM9SA999EA998"),
            { 0, 3, 9, 999, 998 });
        row("AI timed", aiMode, reply("AI1M1TM0"), { 0, 0 });
        row("AI sequence", aiMode, reply("AI1M4TM0"), { 0, 2 });
        row("M inside TM comes first", aiMode, reply("AI1TM2M4"), { 0, 1 });
        row("bad AI digit stops the status read", status, reply("AI1M7TM1SA005EA010"),
            { 10, -1, -1, -1, -1 });
        row("current cell 400 stored", memCell, reply("D0400"), { 10, 400 });
        row("shot count 100000 stored", shotCount, reply("SC0100000"), { 10, 100000 });
        row("trigger not decimal", trigger, reply("TV0001x"), { 0, 0 });
        row("vacuum 18.1 stored", cellValues(0), reply("DT00001PD0500VC0181"),
            { 10, 50.0, 0.0001, 18.1 });
        row("cell 400 before a negative time", memTimePressure, reply("CH400DT-0001PD1000"),
            { 10, 400, -0.0001, 100.0 });
        row("negative time", memTimePressure, reply("CH399DT-0001PD1000"),
            { 8, 399, -0.0001, 100.0 });
        row("12 AM is hour 0", timeOfDay, reply("H12M00AM0"), { 0, 0, 0, false });
        row("12 PM stays 12", timeOfDay, reply("H12M30AM1"), { 0, 12, 30, false });
        row("24 h", timeOfDay, reply("H23M01AM2"), { 0, 23, 1, true });
        row("24 h, hour 24", timeOfDay, reply("H24M00AM2"), { 10, 24, 0, true });
        row("minute 60", timeOfDay, reply("H01M60AM2"), { 10, 1, 60, true });
        row("clock indicator 7", timeOfDay, reply("H05M10AM7"), { 10, 5, 10, true });
        row("month 13 stored", date, reply("M13D01Y24"), { 10, 13, 1, 24 });
        row("pressure unit 3 not stored", pressureUnits, reply("PU03"), { 10, -1 });
        row("vacuum unit 5 not stored", vacuumUnits, reply("VU05"), { 10, -1 });

        row("status without SA", status, reply("AI1M1TM0EA399"), { 10, -1, -1, -1, -1 });
        row("dispense mode without TM", dispenseMode, reply("AI1M1"), { 10, -1 });
        row("start and end without EA", startEnd, reply("SA001"), { 10, -1, -1 });
        row("trigger without TV", trigger, reply("T00001"), { 10, -1 });
        row("time without AM", timeOfDay, reply("H10M10"), { 10, -1, -1, true });
        row("alarm status without PA", alarmStatus, reply("IN1AI1"), { 10, 0x88u });
        row("lockouts without AM", lockouts, reply(noLockouts.left(45)), { 10, ~0u });

        row("status, data without ETX", status, fault(Fault::DataWithoutEtx),
            { 12, -1, -1, -1, -1 });
        row("time, refused", timeOfDay, fault(Fault::Refuse), { 5, -1, -1, true });
        row("time of a cell not read", cellTime, fault(Fault::Refuse), { 5, -1.0 });
        row("pressure of cell 400", cellPressure, reply("D0400"), { 10, -1.0 });
        row("vacuum of a cell read as garbage", cellVacuum, fault(Fault::Garbage), { -1, -1.0 });
    }

    void reads()
    {
        QFETCH(Read, read);
        QFETCH(Prepare, prepare);
        QFETCH(QVariantList, expected);

        prepare(line->dispenser);
        QCOMPARE(read(line->link), expected);
    }

    void writesItsDebugLines()
    {
        DebugCapture debug;
        DispenserLink &link = line->link;
        QCOMPARE(link.setStartEndMemCell(0, 399), 0);
        QCOMPARE(link.setStartEndMemCell(9, 8), 8); // refused before anything is logged
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(link.setMemCell(3), 5);
        line->dispenser.injectFault(Fault::NoReply);
        QCOMPARE(link.getMemCellResponse(), 3);
        QCOMPARE(debug.lines(),
                 QStringList({ "Start End Mem Cell cmd: 12SS  S000E399",
                               "Error: A2 Received from P7",
                               "P7 Response: ", "Error: No response when expected from P7" }));

        const std::pair<int, const char *> messages[] = {
            { -1, "Error: unknown error" },
            { 0, "" },
            { 1, "Error: Serial port closed... can't send commands" },
            { 2, "Error: Timeout while reading from serial port" },
            { 4, "Error: Bad command packet..." },
            { 6, "Error: NACK from P7" },
            { 7, "" },
            { 8, "Error: API Parameter Out Of Range" },
            { 9, "Error: Invalid API Parameter" },
            { 10, "" },
            { 11, "Error: Feedback command didn't respond to initial query" },
            { 12, "Error: Feedback command didn't send full response." },
            { 13, "" }
        };
        for (const auto &[code, text] : messages) {
            debug.clear();
            DispenserLink::printError(code);
            QCOMPARE(debug.lines(),
                     *text ? QStringList { QString::fromLatin1(text) } : QStringList());
        }
    }
};

QTEST_MAIN(TestLinkCommands)
#include "tst_link_commands.moc"
