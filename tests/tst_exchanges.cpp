// The device sequences without a window, against the simulated dispenser:
// the settings panel's Get, Send and cell read, the configuration pages'
// reads and Apply, and the transmission of the profile (order, texts, units,
// failures, stops).
#include "ConfigExchange.h"
#include "ConfigPage.h"
#include "DebugCapture.h"
#include "DispenserState.h"
#include "ProfileTransmission.h"
#include "SettingsExchange.h"
#include "SimulatedLink.h"
#include "StatusTexts.h"

#include <QtTest>

using Fault = SimulatedDispenser::Fault;
using namespace SettingsExchange;

namespace {

// What Get read, a blank for each read that failed.
QString describe(const Reading &r)
{
    QStringList parts;
    parts << (r.pressureUnit && r.vacuumUnit
                      ? QStringLiteral("%1 %2").arg(*r.pressureUnit).arg(*r.vacuumUnit)
                      : QString());
    parts << (r.status ? QStringLiteral("%1 %2 %3-%4")
                                 .arg(r.status->aiMode)
                                 .arg(r.status->dispenseMode)
                                 .arg(r.status->startCell)
                                 .arg(r.status->endCell)
                       : QString());
    parts << (r.currentCell ? QStringLiteral("cell %1 %2 s %3")
                                      .arg(*r.currentCell)
                                      .arg(*r.time)
                                      .arg(*r.pressure)
                            : QString());
    parts << (r.vacuum ? QString::number(*r.vacuum) : QString());
    parts << (r.trigger ? QString::number(*r.trigger) : QString());
    parts << (r.shotCount ? QString::number(*r.shotCount) : QString());
    parts << (r.clock ? StatusTexts::clockText(r.clock->hour, r.clock->minute,
                                               r.clock->twentyFourHour)
                      : QString());
    return parts.join(QLatin1String(" | "));
}

} // namespace

class TestExchanges : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;
    QStringList shown;
    Progress progress = [this](const QString &text) { shown << text; };
    DispenserState state; // the profile a transmission sends
    QList<int> cellsShown;

    ProfileTransmission::Result transmit(const ProfileTransmission::KeepGoing &keepGoing = [] {
        return true;
    })
    {
        return ProfileTransmission::transmit(
                line->link, state, state.startCell, state.endCell,
                [this](int cell) { cellsShown << cell; }, keepGoing);
    }

private slots:
    void init()
    {
        line = std::make_unique<SimulatedLink>(exampleDispenser());
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
        shown.clear();
        state = DispenserState();
        state.startCell = 5;
        state.endCell = 7;
        state.triggers.fill(1);
        cellsShown.clear();
    }

    void cleanup() { line.reset(); }

    void getReadsEverySettingInOrder()
    {
        const Reading r = readSettings(line->link, progress);
        QCOMPARE(
                describe(r),
                QStringLiteral("2 3 | 1 1 5-120 | cell 7 0.25 s 30.5 | 2.5 | 10 | 1234 | 2:05 PM"));
        QCOMPARE(r.firstFailure, 0);
        QCOMPARE(shown,
                 QStringList({ "Reading Pressure Units", "Reading Vacuum Units",
                               "Getting Total Status Feedback",
                               "Getting DispenseTime,Pressure from Mem Cell",
                               "Getting Vacuum Units", "Getting Trigger Units",
                               "Getting SHOT Count Units", "Getting Time Units" }));
        QCOMPARE(line->packets(),
                 QList<QByteArray>({ "04E4  ", "04E5  ", "04AU  ", "04UD  ", "05E8007", "04ER  ",
                                     "04E9  ", "04EE  " }));
    }

    // The dispenser takes and gives bar in hundredths: the unit read decides.
    void barPressureInHundredths()
    {
        SimulatedDispenser::State s = exampleDispenser();
        s.pressureUnit = ProfileUnits::Bar;
        line->dispenser.setState(s);
        QCOMPARE(*readSettings(line->link, progress).pressure, 0.305);
        QCOMPARE(*readCell(line->link, 25, ProfileUnits::Bar, false, progress).pressure, 0.12);
        line->dispenser.clearLog();
        Settings settings;
        settings.endCell = 399;
        settings.pressure = 0.305;
        QCOMPARE(sendSettings(line->link, settings, ProfileUnits::Bar, progress), 0);
        QVERIFY(line->packets().contains("08PS  0305"));
    }

    // A current cell the profile does not hold is reported with its values;
    // no vacuum read asks for it.
    void currentCellBeyondTheProfile()
    {
        const Reading r = readSettings(line->link, [&](const QString &text) {
            if (text == QLatin1String("Getting DispenseTime,Pressure from Mem Cell"))
                line->dispenser.injectData("CH450DT02500PD0305");
        });
        QCOMPARE(describe(r).section(" | ", 2, 3), QStringLiteral("cell 450 0.25 s 30.5 | "));
        QVERIFY(!r.hasProfileCell());
        QCOMPARE(r.firstFailure, int(DispenserLink::invalidReply));
        QVERIFY(!line->packets().contains("05E8450"));
    }

    void eachReadStandsAlone_data()
    {
        QTest::addColumn<QString>("failingStep");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("code");
        auto row = [](const char *step, const char *expected, int code) {
            QTest::newRow(*step ? step : "switched off") << step << expected << code;
        };
        row("Getting Total Status Feedback",
            "2 3 |  | cell 7 0.25 s 30.5 | 2.5 | 10 | 1234 | 2:05 PM", 5);
        // No cell, no vacuum read: it would need the cell's number.
        row("Getting DispenseTime,Pressure from Mem Cell",
            "2 3 | 1 1 5-120 |  |  | 10 | 1234 | 2:05 PM", 5);
        row("Getting Trigger Units",
            "2 3 | 1 1 5-120 | cell 7 0.25 s 30.5 | 2.5 |  | 1234 | 2:05 PM", 5);
        row("", " |  |  |  |  |  | ", 6);
    }

    void eachReadStandsAlone()
    {
        QFETCH(QString, failingStep);
        QFETCH(QString, expected);
        QFETCH(int, code);

        line->dispenser.setPoweredOn(!failingStep.isEmpty());
        const Reading r = readSettings(line->link, [&](const QString &text) {
            if (text == failingStep)
                line->dispenser.injectFault(Fault::Refuse);
        });
        QCOMPARE(describe(r), expected);
        QCOMPARE(r.firstFailure, code);
    }

    // A working dispenser passes 100000 shots: shown, and no failure.
    void shotCountsBeyondFiveDigits()
    {
        SimulatedDispenser::State s = exampleDispenser();
        s.shotCount = 1234567;
        line->dispenser.setState(s);
        const Reading r = readSettings(line->link, progress);
        QCOMPARE(*r.shotCount, 1234567);
        QCOMPARE(r.firstFailure, 0);
    }

    void sendWritesThePanelInOrder()
    {
        Settings settings { 2, 1, 5, 120, 7, 1.2345, 2.5, 18.0, 99999 };
        QCOMPARE(sendSettings(line->link, settings, 1, progress), 0);
        QCOMPARE(line->packets(),
                 QList<QByteArray>({ "10AC  S40000", "04MT  ", "12SS  S005E120", "07CH  007",
                                     "10DS  T12345", "08PS  2500", "08VS  0180", "10EQ  T99999" }));
        QCOMPARE(shown.size(), 8);
        QCOMPARE(shown.last(), QStringLiteral("Sending Trigger Settings to Device!"));

        // Without a dispense mode none is sent; a refused range does not stop the rest;
        // values the panel does not know stay as the dispenser holds them.
        line->dispenser.clearLog();
        settings = { 3, -1, 9, 8, 0, 0.0, {}, {}, 1 };
        QCOMPARE(sendSettings(line->link, settings, 0, progress), 8);
        QCOMPARE(line->packets(),
                 QList<QByteArray>({ "05AI  0", "07CH  000", "10DS  T00000", "10EQ  T00001" }));
    }

    // The trigger is read only for the dispenser's current cell.
    void cellReadKeepsWhatWorked()
    {
        CellReading r = readCell(line->link, 7, 0, true, progress);
        QCOMPARE(QStringList({ QString::number(*r.time), QString::number(*r.pressure),
                               QString::number(*r.vacuum), QString::number(*r.trigger) }),
                 QStringList({ "0.25", "30.5", "2.5", "10" }));
        QCOMPARE(shown,
                 QStringList({ "Get Settings from Device!", "Get Trigger Settings from Device!" }));
        line->dispenser.clearLog();
        line->dispenser.injectFault(Fault::Refuse);
        r = readCell(line->link, 25, 0, false, progress);
        QVERIFY(!r.time && !r.trigger);
        QCOMPARE(r.firstFailure, 5);
        QCOMPARE(line->packets(), QList<QByteArray> { "05E8025" });
    }

    void clockTexts()
    {
        QCOMPARE(QStringList({ StatusTexts::clockText(0, 30, false),
                               StatusTexts::clockText(12, 0, false),
                               StatusTexts::clockText(23, 59, false),
                               StatusTexts::clockText(9, 5, true) }),
                 QStringList({ "12:30 AM", "12:00 PM", "11:59 PM", "9:5" }));
        QCOMPARE(StatusTexts::alarmText(1 | 8), QStringLiteral("Alarm: Input Alarm"));
        QCOMPARE(StatusTexts::alarmText(2 | 32), QStringLiteral("Alarm: Auto Increment"));
    }

    // A failed date read performs no time read; the failure reaches the debug stream.
    void failedClockReadStops()
    {
        DebugCapture debug;
        line->dispenser.injectFault(Fault::Refuse);
        ConfigExchange::Clock clock;
        clock.hour = 7;
        QCOMPARE(ConfigExchange::readClock(line->link, clock), 5);
        QCOMPARE(clock.hour, 7);
        QCOMPARE(line->packets(), QList<QByteArray> { "04EF  " });
        QVERIFY(debug.lines().contains("Error: A2 Received from P7"));
        unsigned lockouts = 9;
        QCOMPARE(ConfigExchange::readLockouts(line->link, "1234", lockouts), 5); // wrong password
        QCOMPARE(lockouts, 9u);
    }

    void applyTellsTheOutcome()
    {
        DispenserState state;
        state.hour = 18;
        state.minute = 5;
        state.clock24 = false;
        QCOMPARE(ConfigExchange::applyPage(line->link, TimeDatePage, state, QDate(2024, 2, 29),
                                           "5183"),
                 StatusMessage::connected());
        QCOMPARE(line->packets(), QList<QByteArray>({ "13EB  H06M05AM1", "13EC  M02D29Y24" }));
        QCOMPARE(ConfigExchange::applyPage(line->link, TimeDatePage, state, QDate(1999, 12, 31),
                                           "5183"),
                 StatusMessage::failed("Date must be between 2000 and 2099"));
        // The date still goes out after a refused time; the first failure is told.
        line->dispenser.clearLog();
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(ConfigExchange::applyPage(line->link, TimeDatePage, state, QDate(2024, 1, 1),
                                           "5183"),
                 StatusMessage::failed("Error: A2 Received from P7"));
        QCOMPARE(line->packets().size(), 2);
        QCOMPARE(ConfigExchange::applyPage(line->link, LockoutPage, state, QDate(), "12345"),
                 StatusMessage::failed("Error: API Parameter Out Of Range"));
    }

    void sendsEachCellThenTheRange()
    {
        state.pressureUnits = ProfileUnits::Bar;
        state.pressures[5] = 1.5; // the dispenser takes bar in hundredths
        state.times[6] = 0.25;
        state.vacuums[7] = 18.0;
        state.triggers[7] = 99999;
        const ProfileTransmission::Result result = transmit();
        QVERIFY(result.succeeded());
        QCOMPARE(result.summary(), QStringLiteral("Transmit complete: MemCell 5 to 7"));
        QCOMPARE(cellsShown, QList<int>({ 5, 6, 7 }));
        QCOMPARE(line->packets(),
                 QList<QByteArray>({ "07CH  005", "08PS  1500", "10DS  T00000", "08VS  0000",
                                     "10EQ  T00001", "07CH  006", "08PS  0000", "10DS  T02500",
                                     "08VS  0000", "10EQ  T00001", "07CH  007", "08PS  0000",
                                     "10DS  T00000", "08VS  0180", "10EQ  T99999",
                                     "12SS  S005E007" }));
        QCOMPARE(line->dispenser.state().cells[5].pressure, 1500);
    }

    // A value out of range or refused counts; the run goes on.
    void refusalsOnlyCount()
    {
        line->dispenser.injectFault(Fault::Refuse); // cell 5's selection
        line->dispenser.injectFault(Fault::Refuse); // and its pressure
        const ProfileTransmission::Result result = transmit();
        QVERIFY(!result.succeeded());
        QCOMPARE(result.summary(),
                 QStringLiteral("Transmit incomplete: 2 commands failed, first at MemCell 5"));
        QCOMPARE(line->packets().size(), 16);
    }

    // A value outside the limits of its unit, or beyond what the dispenser's
    // command carries, keeps the whole profile back.
    void nothingSentOutsideTheLimits()
    {
        state.pressureUnits = ProfileUnits::Bar;
        state.pressures[5] = state.pressures[6] = 25.0; // kept from psi
        state.vacuumUnits = ProfileUnits::MillimetresOfMercury;
        state.vacuums[7] = 30.0;
        const ProfileTransmission::Result result = transmit();
        QVERIFY(!result.succeeded());
        QCOMPARE(result.summary(),
                 QStringLiteral("Nothing sent: MemCell 5-6 pressure above 6.895 BAR; MemCell 7 "
                                "vacuum above 18, the most the Pelidor 7 takes"));
        QCOMPARE(line->packets(), QList<QByteArray>());
    }

    void stopsWhenTheDispenserGoesSilent()
    {
        state.startCell = 0;
        state.endCell = 399;
        line->dispenser.setPoweredOn(false);
        QElapsedTimer clock;
        clock.start();
        const ProfileTransmission::Result result = transmit();
        QCOMPARE(result.summary(),
                 QStringLiteral("Transmit stopped at MemCell 0: Error: NACK from P7 - is the "
                                "Pelidor 7 switched on and connected?"));
        QVERIFY2(clock.elapsed() < 5000, "one unanswered command is enough");
        QCOMPARE(cellsShown, QList<int> { 0 });
    }

    void stopsWhenAsked()
    {
        int commands = 0;
        const ProfileTransmission::Result result = transmit([&] { return ++commands <= 7; });
        QCOMPARE(result.summary(),
                 QStringLiteral("Transmit stopped at MemCell 6: stopped by the user"));
        QCOMPARE(line->packets().size(), 7);
        QCOMPARE(line->packets().last(), QByteArray("08PS  0000"));
    }

    // The end is read again each round; an edited cell still to come goes out
    // with its new value.
    void followsEditsMadeDuringTheRun()
    {
        const ProfileTransmission::Result result = transmit([this] {
            state.endCell = 5;
            state.triggers[5] = 42;
            return true;
        });
        QCOMPARE(result.summary(), QStringLiteral("Transmit complete: MemCell 5 to 5"));
        QVERIFY(line->packets().contains("10EQ  T00042"));

        state.startCell = 9;
        state.endCell = 8;
        line->dispenser.clearLog();
        QCOMPARE(transmit().summary(), QStringLiteral("Error: API Parameter Out Of Range"));
        QCOMPARE(line->packets(), QList<QByteArray>());
    }
};

QTEST_MAIN(TestExchanges)
#include "tst_exchanges.moc"
