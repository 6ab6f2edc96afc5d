// Transmission of the profile without a window, against the simulated
// dispenser: command order and values, refusals, stops and the summary.
#include "DispenserState.h"
#include "ProfileTransmission.h"
#include "SimulatedLink.h"

#include <QtTest>

using Fault = SimulatedDispenser::Fault;
using ProfileTransmission::Result;

class TestTransmission : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;
    DispenserState state;
    QList<int> cellsShown;

    Result transmit(const ProfileTransmission::KeepGoing &keepGoing = [] { return true; })
    {
        return ProfileTransmission::transmit(
                line->link, state, state.startCell, state.endCell,
                [this](int cell) { cellsShown << cell; }, keepGoing);
    }

private slots:
    void init()
    {
        line = std::make_unique<SimulatedLink>();
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
        state = DispenserState();
        state.startCell = 5;
        state.endCell = 7;
        state.triggers.fill(1);
        cellsShown.clear();
    }

    void cleanup() { line.reset(); }

    void sendsEachCellThenTheRange()
    {
        state.pressureUnits = ProfileUnits::Bar;
        state.pressures[5] = 1.5; // the dispenser takes bar in hundredths
        state.times[6] = 0.25;
        state.vacuums[7] = 18.0;
        state.triggers[7] = 99999;
        const Result result = transmit();
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
        state.vacuums[6] = 30.0;
        line->dispenser.injectFault(Fault::Refuse); // cell 5's selection
        const Result result = transmit();
        QVERIFY(!result.succeeded());
        QCOMPARE(result.summary(),
                 QStringLiteral("Transmit incomplete: 2 commands failed, first at MemCell 5"));
        QCOMPARE(line->packets().size(), 15);
    }

    void stopsWhenTheDispenserGoesSilent()
    {
        state.startCell = 0;
        state.endCell = 399;
        line->dispenser.setPoweredOn(false);
        QElapsedTimer clock;
        clock.start();
        const Result result = transmit();
        QCOMPARE(result.summary(),
                 QStringLiteral("Transmit stopped at MemCell 0: Error: NACK from P7"));
        QVERIFY2(clock.elapsed() < 5000, "one unanswered command is enough");
        QCOMPARE(cellsShown, QList<int> { 0 });
    }

    void stopsWhenAsked()
    {
        int commands = 0;
        const Result result = transmit([&] { return ++commands <= 7; });
        QCOMPARE(result.summary(),
                 QStringLiteral("Transmit stopped at MemCell 6: stopped by the user"));
        QCOMPARE(line->packets().size(), 7);
        QCOMPARE(line->packets().last(), QByteArray("08PS  0000"));
    }

    // The end is read again each round; an edited cell still to come goes out
    // with its new value.
    void followsEditsMadeDuringTheRun()
    {
        const Result result = transmit([this] {
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

QTEST_MAIN(TestTransmission)
#include "tst_transmission.moc"
