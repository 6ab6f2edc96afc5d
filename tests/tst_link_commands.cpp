// The dispenser operations of the link against the simulated dispenser: packet
// texts, parameter checks, reply parsing, and out-parameters on failure.
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

using Operation = std::function<int(DispenserLink &)>;
Q_DECLARE_METATYPE(Operation)

namespace {

const QByteArray noLockouts = "DT0DP0DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM0";
const QByteArray allLockouts = "DT1DP1DV1M1DC1DM1AI1AR1AL1MM1PU1VU1LA1CL1CO1AM1";

} // namespace

class TestLinkCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setOperationsSendTheirPackets_data();
    void setOperationsSendTheirPackets();
    void setValuesLandInTheSelectedCell();
    void readsBackTheDispenserState();
    void decodesAiMode_data();
    void decodesAiMode();
    void badAiDigitStopsTheStatusRead();
    void missingTagIsInvalid_data();
    void missingTagIsInvalid();
    void storesOutOfRangeValuesWithTheirCode();
    void checksCombinedReadsInOrder();
    void currentCellReadsStopWhenTheCellReadFails();
    void currentCellReadsUseTheCurrentCell();
    void readsTheClock_data();
    void readsTheClock();
    void readsTheDate();
    void keepsOtherBitsOfFlagWords();
    void lockoutPasswordMustBeOneToFourDigits_data();
    void lockoutPasswordMustBeOneToFourDigits();
    void unitReadsStoreNothingWhenTooLarge();
    void failedTransactionLeavesOutParameters();
    void writesItsDebugLines();

private:
    QList<QByteArray> sentPackets() const { return line->dispenser.receivedPackets(); }

    SimulatedLink *line = nullptr;
};

void TestLinkCommands::init()
{
    line = new SimulatedLink;
    QVERIFY2(line->isReady(), qPrintable(line->errorString()));
}

void TestLinkCommands::cleanup()
{
    delete line;
    line = nullptr;
}

void TestLinkCommands::setOperationsSendTheirPackets_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("packet");  // empty: nothing may be sent

    auto row = [](const char *name, Operation operation, int code, const QByteArray &packet) {
        QTest::newRow(name) << operation << code << packet;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();

    row("AI timed", [](DispenserLink &l) { return l.setAiMode(0); }, 0, "10AC  S10000");
    row("AI count", [](DispenserLink &l) { return l.setAiMode(1); }, 0, "10AC  S20000");
    row("AI sequence", [](DispenserLink &l) { return l.setAiMode(2); }, 0, "10AC  S40000");
    row("AI off", [](DispenserLink &l) { return l.setAiMode(3); }, 0, "05AI  0");
    row("AI mode 4", [](DispenserLink &l) { return l.setAiMode(4); }, 0, "");
    row("AI mode -1", [](DispenserLink &l) { return l.setAiMode(-1); }, 0, "");
    row("timed", [](DispenserLink &l) { return l.setDispenseMode(0); }, 0, "04TT  ");
    row("steady", [](DispenserLink &l) { return l.setDispenseMode(1); }, 0, "04MT  ");
    row("dispense mode 2", [](DispenserLink &l) { return l.setDispenseMode(2); }, 0, "");
    row("whole job", [](DispenserLink &l) { return l.setStartEndMemCell(0, 399); }, 0, "12SS  S000E399");
    row("start after end", [](DispenserLink &l) { return l.setStartEndMemCell(5, 4); }, 8, "");
    row("end 400", [](DispenserLink &l) { return l.setStartEndMemCell(0, 400); }, 8, "");
    row("start -1", [](DispenserLink &l) { return l.setStartEndMemCell(-1, 4); }, 8, "");
    row("cell 399", [](DispenserLink &l) { return l.setMemCell(399); }, 0, "07CH  399");
    row("cell 400", [](DispenserLink &l) { return l.setMemCell(400); }, 8, "");
    row("cell -1", [](DispenserLink &l) { return l.setMemCell(-1); }, 8, "");
    row("time 1.2345", [](DispenserLink &l) { return l.setDispenseTime(1.2345); }, 0, "10DS  T12345");
    row("time 0", [](DispenserLink &l) { return l.setDispenseTime(0); }, 0, "10DS  T00000");
    row("time 9.9999", [](DispenserLink &l) { return l.setDispenseTime(9.9999); }, 0, "10DS  T99999");
    row("time 10", [](DispenserLink &l) { return l.setDispenseTime(10.0); }, 8, "");
    row("time negative", [](DispenserLink &l) { return l.setDispenseTime(-0.0001); }, 8, "");
    row("time NaN", [nan](DispenserLink &l) { return l.setDispenseTime(nan); }, 8, "");
    row("pressure 50", [](DispenserLink &l) { return l.setPressure(50.0); }, 0, "08PS  0500");
    row("pressure 999.9, dispenser refuses", [](DispenserLink &l) { return l.setPressure(999.9); },
        5, "08PS  9999");
    row("pressure 1000", [](DispenserLink &l) { return l.setPressure(1000.0); }, 8, "");
    row("pressure 999.96 rounds to 5 digits", [](DispenserLink &l) { return l.setPressure(999.96); },
        8, "");
    row("pressure negative", [](DispenserLink &l) { return l.setPressure(-0.1); }, 8, "");
    row("pressure NaN", [nan](DispenserLink &l) { return l.setPressure(nan); }, 8, "");
    row("vacuum 18", [](DispenserLink &l) { return l.setVacuum(18.0); }, 0, "08VS  0180");
    row("vacuum 18.1", [](DispenserLink &l) { return l.setVacuum(18.1); }, 8, "");
    row("trigger 99999", [](DispenserLink &l) { return l.setTrigger(99999); }, 0, "10EQ  T99999");
    row("trigger 100000", [](DispenserLink &l) { return l.setTrigger(100000); }, 8, "");
    row("trigger -1", [](DispenserLink &l) { return l.setTrigger(-1); }, 8, "");
    row("pressure unit 2", [](DispenserLink &l) { return l.setPressureUnits(2); }, 0, "06E6  02");
    row("pressure unit 3", [](DispenserLink &l) { return l.setPressureUnits(3); }, 9, "");
    row("pressure unit -1", [](DispenserLink &l) { return l.setPressureUnits(-1); }, 9, "");
    row("vacuum unit 4", [](DispenserLink &l) { return l.setVacuumUnits(4); }, 0, "06E7  04");
    row("vacuum unit 5", [](DispenserLink &l) { return l.setVacuumUnits(5); }, 9, "");
    row("language 7", [](DispenserLink &l) { return l.setLanguage(7); }, 0, "06ED  07");
    row("midnight, 12 h", [](DispenserLink &l) { return l.setTime(0, 0, false); }, 0, "13EB  H12M00AM0");
    row("noon, 12 h", [](DispenserLink &l) { return l.setTime(12, 30, false); }, 0, "13EB  H12M30AM1");
    row("morning, 12 h", [](DispenserLink &l) { return l.setTime(11, 59, false); }, 0, "13EB  H11M59AM0");
    row("afternoon, 12 h", [](DispenserLink &l) { return l.setTime(18, 5, false); }, 0, "13EB  H06M05AM1");
    row("24 h", [](DispenserLink &l) { return l.setTime(0, 7, true); }, 0, "13EB  H00M07AM2");
    row("hour 24", [](DispenserLink &l) { return l.setTime(24, 0, true); }, 8, "");
    row("minute 60", [](DispenserLink &l) { return l.setTime(10, 60, true); }, 8, "");
    row("hour -1", [](DispenserLink &l) { return l.setTime(-1, 0, true); }, 8, "");
    row("leap day", [](DispenserLink &l) { return l.setDate(2, 29, 24); }, 0, "13EC  M02D29Y24");
    row("month 0", [](DispenserLink &l) { return l.setDate(0, 1, 24); }, 8, "");
    row("month 13", [](DispenserLink &l) { return l.setDate(13, 1, 24); }, 8, "");
    row("day 0", [](DispenserLink &l) { return l.setDate(1, 0, 24); }, 8, "");
    row("day 32", [](DispenserLink &l) { return l.setDate(1, 32, 24); }, 8, "");
    row("year 100", [](DispenserLink &l) { return l.setDate(1, 1, 100); }, 8, "");
    row("no lockouts", [](DispenserLink &l) { return l.setLockouts(0, "5183"); }, 0,
        "57EG  PA5183" + noLockouts);
    row("all lockouts", [](DispenserLink &l) { return l.setLockouts(0xFFFF, "5183"); }, 0,
        "57EG  PA5183" + allLockouts);
    row("lockouts, wrong password", [](DispenserLink &l) { return l.setLockouts(0, "1234"); }, 5,
        "57EG  PA1234" + noLockouts);
    row("all alarms", [](DispenserLink &l) { return l.setAlarms(0x7Fu); }, 0,
        "25EI  IN1IO1IL1PO1PL1AE1AO1");
    row("alarms as options", [](DispenserLink &l) {
        return l.setAlarms(true, false, true, false, false, true, false);
    }, 0, "25EI  IN1IO0IL1PO0PL0AE1AO0");
    row("alarm reset", [](DispenserLink &l) { return l.resetAlarms(); }, 0, "04EK  ");
}

void TestLinkCommands::setOperationsSendTheirPackets()
{
    QFETCH(Operation, operation);
    QFETCH(int, code);
    QFETCH(QByteArray, packet);

    QCOMPARE(operation(line->link), code);
    QTest::qWait(10);
    const QList<QByteArray> expected = packet.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{packet};
    QCOMPARE(sentPackets(), expected);
}

void TestLinkCommands::setValuesLandInTheSelectedCell()
{
    DispenserLink &link = line->link;
    QCOMPARE(link.setMemCell(42), 0);
    QCOMPARE(link.setDispenseTime(0.5), 0);
    QCOMPARE(link.setPressure(12.3), 0);
    QCOMPARE(link.setVacuum(4.5), 0);
    QCOMPARE(link.setTrigger(777), 0);
    QCOMPARE(link.setStartEndMemCell(40, 45), 0);
    QCOMPARE(link.setAiMode(2), 0);
    QCOMPARE(link.setDispenseMode(1), 0);

    const SimulatedDispenser::State state = line->dispenser.state();
    QCOMPARE(state.currentCell, 42);
    QCOMPARE(state.cells[42].time, 5000);
    QCOMPARE(state.cells[42].pressure, 123);
    QCOMPARE(state.cells[42].vacuum, 45);
    QCOMPARE(state.cells[42].trigger, 777);
    QCOMPARE(state.cells[41].time, 0);
    QCOMPARE(state.startCell, 40);
    QCOMPARE(state.endCell, 45);
    QVERIFY(state.autoIncrementOn);
    QCOMPARE(state.autoIncrementType, 4);
    QCOMPARE(state.dispenseMode, 1);
}

void TestLinkCommands::readsBackTheDispenserState()
{
    SimulatedDispenser::State state = line->dispenser.state();
    state.currentCell = 12;
    state.cells[12] = {12345, 505, 180, 99999};
    state.cells[300] = {99999, 1000, 7, 1};
    state.startCell = 10;
    state.endCell = 20;
    state.autoIncrementOn = true;
    state.autoIncrementType = 2;
    state.dispenseMode = 1;
    state.pressureUnit = 2;
    state.vacuumUnit = 3;
    state.alarmOptions = 0x41;
    state.lockouts = 0x8009;
    state.shotCount = 99999;
    line->dispenser.setState(state);
    DispenserLink &link = line->link;

    int aiMode = -1, dispenseMode = -1, start = -1, end = -1;
    QCOMPARE(link.getTotalStatusFeedback(aiMode, dispenseMode, start, end), 0);
    QCOMPARE(aiMode, 1);
    QCOMPARE(dispenseMode, 1);
    QCOMPARE(start, 10);
    QCOMPARE(end, 20);
    QCOMPARE(link.getAiMode(aiMode), 0);
    QCOMPARE(aiMode, 1);
    QCOMPARE(link.getDispenseMode(dispenseMode), 0);
    QCOMPARE(dispenseMode, 1);
    QCOMPARE(link.getStartEndMemCell(start, end), 0);
    QCOMPARE(start, 10);
    QCOMPARE(end, 20);

    int cell = -1;
    QCOMPARE(link.getMemCell(cell), 0);
    QCOMPARE(cell, 12);
    double time = -1, pressure = -1, vacuum = -1;
    QCOMPARE(link.getDispenseTime(time), 0);
    QCOMPARE(time, 1.2345);
    QCOMPARE(link.getPressure(pressure), 0);
    QCOMPARE(pressure, 50.5);
    QCOMPARE(link.getVacuum(vacuum), 0);
    QCOMPARE(vacuum, 18.0);
    int trigger = -1;
    QCOMPARE(link.getTrigger(trigger), 0);
    QCOMPARE(trigger, 99999);
    QCOMPARE(link.getMemTimePressure(cell, time, pressure), 0);
    QCOMPARE(cell, 12);
    QCOMPARE(time, 1.2345);
    QCOMPARE(pressure, 50.5);
    QCOMPARE(link.getPressureTimeVacuum(300, pressure, time, vacuum), 0);
    QCOMPARE(pressure, 100.0);
    QCOMPARE(time, 9.9999);
    QCOMPARE(vacuum, 0.7);

    int unit = -1;
    QCOMPARE(link.getPressureUnits(unit), 0);
    QCOMPARE(unit, 2);
    QCOMPARE(link.getVacuumUnits(unit), 0);
    QCOMPARE(unit, 3);
    unsigned flags = 0;
    QCOMPARE(link.getAlarms(flags), 0);
    QCOMPARE(flags, 0x41u);
    bool options[7] = {};
    QCOMPARE(link.getAlarms(options[0], options[1], options[2], options[3], options[4], options[5],
                            options[6]),
             0);
    QCOMPARE(QVector<bool>(options, options + 7),
             QVector<bool>({true, false, false, false, false, false, true}));
    QCOMPARE(link.getLockouts(flags, "5183"), 0);
    QCOMPARE(flags, 0x8009u);
    int shots = -1;
    QCOMPARE(link.getShotCount(shots), 0);
    QCOMPARE(shots, 99999);
    QCOMPARE(link.getMemCellResponse(), 0);
}

void TestLinkCommands::decodesAiMode_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("mode");

    QTest::newRow("off whatever M holds") << QByteArray("AI0M4TM1SA000EA399") << 0 << 3;
    QTest::newRow("timed") << QByteArray("AI1M1TM0SA000EA399") << 0 << 0;
    QTest::newRow("count") << QByteArray("AI1M2TM0SA000EA399") << 0 << 1;
    QTest::newRow("sequence") << QByteArray("AI1M4TM0SA000EA399") << 0 << 2;
    QTest::newRow("M inside TM comes first") << QByteArray("AI1TM2M4SA000EA399") << 0 << 1;
    QTest::newRow("digit 3") << QByteArray("AI1M3TM0SA000EA399") << 10 << -1;
    QTest::newRow("digit not decimal") << QByteArray("AI1MxTM0SA000EA399") << 10 << -1;
}

void TestLinkCommands::decodesAiMode()
{
    QFETCH(QByteArray, status);
    QFETCH(int, code);
    QFETCH(int, mode);

    line->dispenser.injectData(status);
    int aiMode = -1;
    QCOMPARE(line->link.getAiMode(aiMode), code);
    QCOMPARE(aiMode, mode);
}

void TestLinkCommands::badAiDigitStopsTheStatusRead()
{
    line->dispenser.injectData("AI1M7TM1SA005EA010");
    int aiMode = -1, dispenseMode = -1, start = -1, end = -1;
    QCOMPARE(line->link.getTotalStatusFeedback(aiMode, dispenseMode, start, end), 10);
    QCOMPARE(QVector<int>({aiMode, dispenseMode, start, end}), QVector<int>({-1, -1, -1, -1}));

    // With AI off the M digit does not matter, and nothing is range checked.
    line->dispenser.injectData("AI0M7TM9SA999EA998");
    QCOMPARE(line->link.getTotalStatusFeedback(aiMode, dispenseMode, start, end), 0);
    QCOMPARE(QVector<int>({aiMode, dispenseMode, start, end}), QVector<int>({3, 9, 999, 998}));
}

void TestLinkCommands::missingTagIsInvalid_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QByteArray>("data");

    // Each out-parameter starts at -1 (or all bits set) and must stay so.
    auto row = [](const char *name, const QByteArray &data, Operation operation) {
        QTest::newRow(name) << operation << data;
    };
    row("status without SA", "AI1M1TM0EA399", [](DispenserLink &l) {
        int a = -1, d = -1, s = -1, e = -1;
        const int code = l.getTotalStatusFeedback(a, d, s, e);
        return a == -1 && d == -1 && s == -1 && e == -1 ? code : -100;
    });
    row("AI on without M", "AI1TT0", [](DispenserLink &l) {
        int mode = -1;
        const int code = l.getAiMode(mode);
        return mode == -1 ? code : -100;
    });
    row("dispense mode without TM", "AI1M1", [](DispenserLink &l) {
        int mode = -1;
        const int code = l.getDispenseMode(mode);
        return mode == -1 ? code : -100;
    });
    row("current cell without D0", "C0012", [](DispenserLink &l) {
        int cell = -1;
        const int code = l.getMemCell(cell);
        return cell == -1 ? code : -100;
    });
    row("trigger without TV", "T00001", [](DispenserLink &l) {
        int value = -1;
        const int code = l.getTrigger(value);
        return value == -1 ? code : -100;
    });
    row("cell read without VC", "DT12345PD0500", [](DispenserLink &l) {
        double p = -1, t = -1, v = -1;
        const int code = l.getPressureTimeVacuum(1, p, t, v);
        return p == -1 && t == -1 && v == -1 ? code : -100;
    });
    row("time without AM", "H10M10", [](DispenserLink &l) {
        int h = -1, m = -1;
        bool clock24 = true;
        const int code = l.getTime(h, m, clock24);
        return h == -1 && m == -1 && clock24 ? code : -100;
    });
    row("date without Y", "M02D29", [](DispenserLink &l) {
        int m = -1, d = -1, y = -1;
        const int code = l.getDate(m, d, y);
        return m == -1 && d == -1 && y == -1 ? code : -100;
    });
    row("alarm status without PA", "IN1AI1", [](DispenserLink &l) {
        unsigned status = ~0u;
        const int code = l.getAlarmStatus(status);
        return status == ~0u ? code : -100;
    });
    row("alarm options without AO", "IN1IO1IL1PO1PL1AE1", [](DispenserLink &l) {
        unsigned flags = ~0u;
        const int code = l.getAlarms(flags);
        return flags == ~0u ? code : -100;
    });
    row("shot count without SC", "S0000012", [](DispenserLink &l) {
        int count = -1;
        const int code = l.getShotCount(count);
        return count == -1 ? code : -100;
    });
    row("pressure units without PU", "P01", [](DispenserLink &l) {
        int unit = -1;
        const int code = l.getPressureUnits(unit);
        return unit == -1 ? code : -100;
    });
}

void TestLinkCommands::missingTagIsInvalid()
{
    QFETCH(Operation, operation);
    QFETCH(QByteArray, data);

    line->dispenser.injectData(data);
    QCOMPARE(operation(line->link), 10);
}

void TestLinkCommands::storesOutOfRangeValuesWithTheirCode()
{
    DispenserLink &link = line->link;

    line->dispenser.injectData("D0400");
    int cell = -1;
    QCOMPARE(link.getMemCell(cell), 10);
    QCOMPARE(cell, 400);

    line->dispenser.injectData("SC0100000");
    int shots = -1;
    QCOMPARE(link.getShotCount(shots), 10);
    QCOMPARE(shots, 100000);

    line->dispenser.injectData("TV0001x");
    int trigger = -1;
    QCOMPARE(link.getTrigger(trigger), 0);
    QCOMPARE(trigger, 0);  // not decimal reads as 0

    double pressure = -1, time = -1, vacuum = -1;
    line->dispenser.injectData("DT00001PD0500VC0181");
    QCOMPARE(link.getPressureTimeVacuum(0, pressure, time, vacuum), 10);
    QCOMPARE(vacuum, 18.1);
    QCOMPARE(pressure, 50.0);
    QCOMPARE(time, 0.0001);
}

void TestLinkCommands::checksCombinedReadsInOrder()
{
    DispenserLink &link = line->link;
    int cell = -1;
    double time = -1, pressure = -1;

    // Pressure is checked before the cell, the cell before the time.
    line->dispenser.injectData("CH400DT-0001PD1001");
    QCOMPARE(link.getMemTimePressure(cell, time, pressure), 8);
    QCOMPARE(pressure, 100.1);
    QCOMPARE(cell, 400);
    line->dispenser.injectData("CH400DT-0001PD1000");
    QCOMPARE(link.getMemTimePressure(cell, time, pressure), 10);
    line->dispenser.injectData("CH399DT-0001PD1000");
    QCOMPARE(link.getMemTimePressure(cell, time, pressure), 8);
    QCOMPARE(time, -0.0001);

    // Without an exchange for a cell that does not exist.
    QTRY_VERIFY(line->dispenser.receivedBytes().endsWith(Packet::EOT));  // the last EOT is out
    line->dispenser.clearLog();
    QCOMPARE(link.getPressureTimeVacuum(400, pressure, time, time), 8);
    QCOMPARE(link.getPressureTimeVacuum(-1, pressure, time, time), 8);
    QTest::qWait(10);
    QCOMPARE(line->dispenser.receivedBytes(), QByteArray());
}

void TestLinkCommands::currentCellReadsStopWhenTheCellReadFails()
{
    DispenserLink &link = line->link;
    double value = -1;

    line->dispenser.injectFault(SimulatedDispenser::Fault::Refuse);
    QCOMPARE(link.getDispenseTime(value), 5);
    line->dispenser.injectData("D0400");
    QCOMPARE(link.getPressure(value), 10);
    line->dispenser.injectFault(SimulatedDispenser::Fault::Garbage);
    QCOMPARE(link.getVacuum(value), -1);

    QCOMPARE(value, -1.0);
    QCOMPARE(sentPackets(), QList<QByteArray>({"04UA  ", "04UA  ", "04UA  "}));
}

void TestLinkCommands::currentCellReadsUseTheCurrentCell()
{
    SimulatedDispenser::State state = line->dispenser.state();
    state.currentCell = 250;
    state.cells[250].pressure = 1001;  // 100.1: beyond what a reading may hold
    line->dispenser.setState(state);

    double pressure = -1;
    QCOMPARE(line->link.getPressure(pressure), 8);
    QCOMPARE(pressure, 100.1);
    QCOMPARE(sentPackets(), QList<QByteArray>({"04UA  ", "05E8250"}));

    state.cells[250].vacuum = 42;
    line->dispenser.setState(state);
    double vacuum = -1;
    QCOMPARE(line->link.getVacuum(vacuum), 0);
    QCOMPARE(vacuum, 4.2);
}

void TestLinkCommands::readsTheClock_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("clock24");

    // The flag starts true, which an unknown indicator leaves as it is.
    QTest::newRow("12 AM is hour 0") << QByteArray("H12M00AM0") << 0 << 0 << 0 << false;
    QTest::newRow("12 PM stays 12") << QByteArray("H12M30AM1") << 0 << 12 << 30 << false;
    QTest::newRow("6 PM") << QByteArray("H06M05AM1") << 0 << 18 << 5 << false;
    QTest::newRow("11 AM") << QByteArray("H11M59AM0") << 0 << 11 << 59 << false;
    QTest::newRow("24 h") << QByteArray("H23M01AM2") << 0 << 23 << 1 << true;
    QTest::newRow("24 h, hour 24") << QByteArray("H24M00AM2") << 10 << 24 << 0 << true;
    QTest::newRow("minute 60") << QByteArray("H01M60AM2") << 10 << 1 << 60 << true;
    QTest::newRow("indicator 7") << QByteArray("H05M10AM7") << 10 << 5 << 10 << true;
}

void TestLinkCommands::readsTheClock()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, code);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, clock24);

    line->dispenser.injectData(reply);
    int readHour = -1, readMinute = -1;
    bool readClock24 = true;
    QCOMPARE(line->link.getTime(readHour, readMinute, readClock24), code);
    QCOMPARE(readHour, hour);
    QCOMPARE(readMinute, minute);
    QCOMPARE(readClock24, clock24);
}

void TestLinkCommands::readsTheDate()
{
    int month = -1, day = -1, year = -1;
    QCOMPARE(line->link.setDate(2, 29, 24), 0);
    QCOMPARE(line->link.getDate(month, day, year), 0);
    QCOMPARE(QVector<int>({month, day, year}), QVector<int>({2, 29, 24}));

    line->dispenser.injectData("M13D01Y24");
    QCOMPARE(line->link.getDate(month, day, year), 10);
    QCOMPARE(month, 13);  // stored all the same
}

void TestLinkCommands::keepsOtherBitsOfFlagWords()
{
    DispenserLink &link = line->link;
    line->dispenser.raiseAlarm(0x21);  // input and auto-increment alarms

    unsigned status = 0x88;  // bit 3 (pressure) and bit 7 set
    QCOMPARE(link.getAlarmStatus(status), 0);
    QCOMPARE(status, 0xA1u);

    QCOMPARE(link.resetAlarms(), 0);
    QCOMPARE(link.getAlarmStatus(status), 0);
    QCOMPARE(status, 0x80u);

    SimulatedDispenser::State state = line->dispenser.state();
    state.lockouts = 0x0001;
    state.alarmOptions = 0x02;
    line->dispenser.setState(state);
    unsigned lockouts = 0xF0002;
    QCOMPARE(link.getLockouts(lockouts, "5183"), 0);
    QCOMPARE(lockouts, 0xF0001u);
    unsigned alarms = 0x381;
    QCOMPARE(link.getAlarms(alarms), 0);
    QCOMPARE(alarms, 0x382u);
}

void TestLinkCommands::lockoutPasswordMustBeOneToFourDigits_data()
{
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<int>("code");

    QTest::newRow("four digits") << QByteArray("5183") << 0;
    QTest::newRow("one digit, wrong") << QByteArray("7") << 5;
    QTest::newRow("five digits") << QByteArray("51830") << 8;
    QTest::newRow("leading zeros, too long") << QByteArray("000001") << 8;
    QTest::newRow("empty") << QByteArray() << 8;
    QTest::newRow("negative") << QByteArray("-1") << 8;
    QTest::newRow("letters") << QByteArray("51a3") << 8;
    QTest::newRow("blank") << QByteArray(" 518") << 8;
}

void TestLinkCommands::lockoutPasswordMustBeOneToFourDigits()
{
    QFETCH(QByteArray, password);
    QFETCH(int, code);

    unsigned flags = 0xAAAA;
    QCOMPARE(line->link.getLockouts(flags, password), code);
    if (code != 0)
        QCOMPARE(flags, 0xAAAAu);
    QCOMPARE(line->link.setLockouts(0, password), code);

    QTest::qWait(10);
    QList<QByteArray> expected;
    if (code != 8)
        expected = {Packet::withCount("EH  PA" + password),
                    Packet::withCount("EG  PA" + password + noLockouts)};
    QCOMPARE(sentPackets(), expected);
}

void TestLinkCommands::unitReadsStoreNothingWhenTooLarge()
{
    int unit = -1;
    line->dispenser.injectData("PU03");
    QCOMPARE(line->link.getPressureUnits(unit), 10);
    QCOMPARE(unit, -1);
    line->dispenser.injectData("VU05");
    QCOMPARE(line->link.getVacuumUnits(unit), 10);
    QCOMPARE(unit, -1);
}

void TestLinkCommands::failedTransactionLeavesOutParameters()
{
    line->dispenser.injectFault(SimulatedDispenser::Fault::DataWithoutEtx);
    int aiMode = -1, dispenseMode = -1, start = -1, end = -1;
    QCOMPARE(line->link.getTotalStatusFeedback(aiMode, dispenseMode, start, end), 12);
    QCOMPARE(QVector<int>({aiMode, dispenseMode, start, end}), QVector<int>({-1, -1, -1, -1}));

    line->dispenser.injectFault(SimulatedDispenser::Fault::Refuse);
    int hour = -1, minute = -1;
    bool clock24 = false;
    QCOMPARE(line->link.getTime(hour, minute, clock24), 5);
    QCOMPARE(QVector<int>({hour, minute, int(clock24)}), QVector<int>({-1, -1, 0}));
}

void TestLinkCommands::writesItsDebugLines()
{
    DebugCapture debug;
    DispenserLink &link = line->link;

    QCOMPARE(link.setStartEndMemCell(0, 399), 0);
    QCOMPARE(link.setLockouts(0, "5183"), 0);
    QCOMPARE(link.setStartEndMemCell(9, 8), 8);  // refused before anything is logged
    line->dispenser.injectFault(SimulatedDispenser::Fault::Refuse);
    QCOMPARE(link.setMemCell(3), 5);
    QCOMPARE(debug.lines(), QStringList({"Start End Mem Cell cmd: 12SS  S000E399",
                                         "Sent: 57EG  PA5183" + QString::fromLatin1(noLockouts),
                                         "Error: A2 Received from P7"}));

    debug.clear();
    line->dispenser.injectFault(SimulatedDispenser::Fault::NoReply);
    QCOMPARE(link.getMemCellResponse(), 3);
    QCOMPARE(debug.lines(), QStringList({"P7 Response: ", "Error: No response when expected from P7"}));

    debug.clear();
    int shots = 0;
    QCOMPARE(link.getShotCount(shots), 0);
    QCOMPARE(debug.lines().last(),
             "Response:getShotCount " + QString::fromLatin1(Packet::frame("09SC0000000")));
}

QTEST_MAIN(TestLinkCommands)
#include "tst_link_commands.moc"
