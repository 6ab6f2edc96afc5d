// Get, Send and the memory-cell read of the settings panel, without a window,
// against the simulated dispenser: order, texts, units and failures.
#include "SettingsExchange.h"
#include "SimulatedLink.h"

#include <QtTest>

using Fault = SimulatedDispenser::Fault;
using namespace SettingsExchange;

namespace {

// Count mode, Steady, cells 5 to 120, current cell 7 (0.25 s, 30.5, 2.5,
// trigger 10), cell 25 (0.4 s, 12.0, 5.0, trigger 30), 1234 shots, 2:05 PM.
SimulatedDispenser::State example()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = true;
    s.autoIncrementType = 2;
    s.dispenseMode = 1;
    s.startCell = 5;
    s.endCell = 120;
    s.currentCell = 7;
    s.cells[7] = { 2500, 305, 25, 10 };
    s.cells[25] = { 4000, 120, 50, 30 };
    s.shotCount = 1234;
    s.hour = 2;
    s.minute = 5;
    s.clockIndicator = 1;
    return s;
}

// Which of Get's values came back, in reading order.
QString present(const Reading &r)
{
    QStringList names;
    if (r.status)
        names << "status";
    if (r.currentCell && r.time && r.pressure)
        names << "cell";
    if (r.vacuum)
        names << "vacuum";
    if (r.trigger)
        names << "trigger";
    if (r.shotCount)
        names << "shots";
    if (r.clock)
        names << "clock";
    return names.join(' ');
}

} // namespace

class TestSettingsExchange : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;
    QStringList shown;
    Progress progress = [this](const QString &text) { shown << text; };

private slots:
    void init()
    {
        line = std::make_unique<SimulatedLink>(example());
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
        shown.clear();
    }

    void cleanup() { line.reset(); }

    void getReadsEverySettingInOrder()
    {
        const Reading r = readSettings(line->link, 2, progress);
        QCOMPARE(r.firstFailure, 0);
        QCOMPARE(r.status->aiMode, 1);
        QCOMPARE(r.status->dispenseMode, 1);
        QCOMPARE(r.status->startCell, 5);
        QCOMPARE(r.status->endCell, 120);
        QCOMPARE(*r.currentCell, 7);
        QCOMPARE(*r.time, 0.25);
        QCOMPARE(*r.pressure, 30.5);
        QCOMPARE(*r.vacuum, 2.5);
        QCOMPARE(*r.trigger, 10);
        QCOMPARE(*r.shotCount, 1234);
        QCOMPARE(r.clock->hour, 14);
        QCOMPARE(r.clock->minute, 5);
        QVERIFY(!r.clock->twentyFourHour);
        QCOMPARE(shown,
                 QStringList({ "Getting Total Status Feedback",
                               "Getting DispenseTime,Pressure from Mem Cell",
                               "Getting Vacuum Units", "Getting Trigger Units",
                               "Getting SHOT Count Units", "Getting Time Units" }));
        QCOMPARE(
                line->packets(),
                QList<QByteArray>({ "04AU  ", "04UD  ", "05E8007", "04ER  ", "04E9  ", "04EE  " }));
    }

    // The dispenser takes bar in hundredths: Get -> Send puts back what was read.
    void barRoundTrip()
    {
        const Reading r = readSettings(line->link, 1, progress);
        QCOMPARE(*r.pressure, 0.305);
        line->dispenser.clearLog();
        Settings settings;
        settings.endCell = 399;
        settings.pressure = *r.pressure;
        QCOMPARE(sendSettings(line->link, settings, 1, progress), 0);
        QVERIFY(line->packets().contains("08PS  0305"));
        QCOMPARE(readCell(line->link, 25, 1, progress).values->pressure, 0.12);
    }

    void shotCountsBeyondFiveDigits()
    {
        SimulatedDispenser::State s = example();
        s.shotCount = 1234567;
        line->dispenser.setState(s);
        const Reading r = readSettings(line->link, 0, progress);
        QCOMPARE(*r.shotCount, 1234567);
        QCOMPARE(r.firstFailure, 0);
    }

    void eachReadStandsAlone_data()
    {
        QTest::addColumn<QString>("failingStep");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("code");
        QTest::newRow("status") << "Getting Total Status Feedback"
                                << "cell vacuum trigger shots clock" << 5;
        // No cell, no vacuum read: it would need the cell's number.
        QTest::newRow("cell") << "Getting DispenseTime,Pressure from Mem Cell"
                              << "status trigger shots clock" << 5;
        QTest::newRow("vacuum") << "Getting Vacuum Units"
                                << "status cell trigger shots clock" << 5;
        QTest::newRow("trigger") << "Getting Trigger Units"
                                 << "status cell vacuum shots clock" << 5;
        QTest::newRow("shots") << "Getting SHOT Count Units"
                               << "status cell vacuum trigger clock" << 5;
        QTest::newRow("clock") << "Getting Time Units"
                               << "status cell vacuum trigger shots" << 5;
        QTest::newRow("switched off") << ""
                                      << "" << 6;
    }

    void eachReadStandsAlone()
    {
        QFETCH(QString, failingStep);
        QFETCH(QString, expected);
        QFETCH(int, code);

        line->dispenser.setPoweredOn(!failingStep.isEmpty());
        const Reading r = readSettings(line->link, 0, [&](const QString &text) {
            if (text == failingStep)
                line->dispenser.injectFault(Fault::Refuse);
        });
        QCOMPARE(present(r), expected);
        QCOMPARE(r.firstFailure, code);
    }

    void sendWritesThePanelInOrder()
    {
        Settings settings { 2, 1, 5, 120, 7, 1.2345, 2.5, 18.0, 99999 };
        QCOMPARE(sendSettings(line->link, settings, 1, progress), 0);
        QCOMPARE(line->packets(),
                 QList<QByteArray>({ "10AC  S40000", "04MT  ", "12SS  S005E120", "07CH  007",
                                     "10DS  T12345", "08PS  2500", "08VS  0180", "10EQ  T99999" }));
        QCOMPARE(shown.first(), QStringLiteral("Sending AiMode Settings to Device!"));
        QCOMPARE(shown.last(), QStringLiteral("Sending Trigger Settings to Device!"));
        QCOMPARE(shown.size(), 8);

        // Without a dispense mode none is sent; a refused range does not stop the rest.
        line->dispenser.clearLog();
        settings = { 3, -1, 9, 8, 0, 0.0, 0.0, 0.0, 1 };
        QCOMPARE(sendSettings(line->link, settings, 0, progress), 8);
        QCOMPARE(line->packets(),
                 QList<QByteArray>({ "05AI  0", "07CH  000", "10DS  T00000", "08PS  0000",
                                     "08VS  0000", "10EQ  T00001" }));
    }

    void cellReadKeepsWhatWorked()
    {
        CellReading r = readCell(line->link, 25, 0, progress);
        QCOMPARE(r.values->time, 0.4);
        QCOMPARE(r.values->pressure, 12.0);
        QCOMPARE(r.values->vacuum, 5.0);
        QCOMPARE(*r.trigger, 10); // the current cell's, not cell 25's
        QCOMPARE(shown,
                 QStringList({ "Get Settings from Device!", "Get Trigger Settings from Device!" }));

        line->dispenser.injectFault(Fault::Refuse);
        r = readCell(line->link, 25, 0, progress);
        QVERIFY(!r.values);
        QCOMPARE(*r.trigger, 10);
        QCOMPARE(r.firstFailure, 5);
    }
};

QTEST_MAIN(TestSettingsExchange)
#include "tst_settings_exchange.moc"
