// Reading the profile back and verifying it, without a window, against the
// simulated dispenser: what is found, what is taken, and that the dispenser
// is left on the cell it was on.
#include "DispenserState.h"
#include "ProfileComparison.h"
#include "ProfileTransmission.h"
#include "SimulatedLink.h"

#include <QtTest>

using Fault = SimulatedDispenser::Fault;
using namespace ProfileUnits;

namespace {

QStringList describe(const QVector<ProfileComparison::Difference> &differences)
{
    QStringList texts;
    for (const auto &d : differences)
        texts << QStringLiteral("%1 %2: %3").arg(d.cell).arg(d.column).arg(d.note());
    return texts;
}

} // namespace

class TestReadBack : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;
    DispenserState profile; // cells 5 to 9 as transmitted
    const QList<int> cells = ProfileReadBack::cellRange(5, 9);
    QList<int> cellsShown;

    void transmit()
    {
        const auto result = ProfileTransmission::transmit(
                line->link, profile, 5, 9, [](int) {}, [] { return true; });
        QCOMPARE(result.summary(), QStringLiteral("Transmit complete: MemCell 5 to 9"));
    }
    ProfileComparison::Result verify(const ProfileReadBack::KeepGoing &keepGoing = [] {
        return true;
    })
    {
        return ProfileComparison::verify(
                line->link, profile, cells, [this](int cell) { cellsShown << cell; }, keepGoing);
    }
    // Puts the dispenser back on cell 7 with an empty log.
    void onCellSeven()
    {
        QCOMPARE(line->link.setMemCell(7), 0);
        line->packets();
        line->dispenser.clearLog();
    }

private slots:
    void init()
    {
        line = std::make_unique<SimulatedLink>();
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
        profile = DispenserState();
        profile.startCell = 5;
        profile.endCell = 9;
        for (int cell = 5; cell <= 9; ++cell) {
            profile.times[cell] = 0.25 + cell * 0.0001;
            profile.pressures[cell] = 0.5 + cell * 0.1;
            profile.vacuums[cell] = 1.2;
            profile.triggers[cell] = 10 * cell;
        }
        cellsShown.clear();
    }

    void cleanup() { line.reset(); }

    void readBackReproducesTheTransmission_data()
    {
        QTest::addColumn<int>("pressureUnit");
        QTest::addColumn<int>("vacuumUnit");
        QTest::newRow("psi, inches of water") << int(Psi) << int(InchesOfWater);
        QTest::newRow("bar, kPa") << int(Bar) << int(VacuumKpa);
        QTest::newRow("kPa, torr") << int(PressureKpa) << int(Torr);
    }

    void readBackReproducesTheTransmission()
    {
        QFETCH(int, pressureUnit);
        QFETCH(int, vacuumUnit);
        SimulatedDispenser::State held;
        held.pressureUnit = profile.pressureUnits = pressureUnit;
        held.vacuumUnit = profile.vacuumUnits = vacuumUnit;
        line->dispenser.setState(held);
        profile.pressures[9] = pressure(pressureUnit).maximum; // bar: 689.5 on the wire
        transmit();
        onCellSeven();

        const ProfileComparison::Result verified = verify();
        QCOMPARE(verified.summary(), QStringLiteral("Verified: MemCell 5-9 match"));
        QVERIFY(verified.succeeded());
        QCOMPARE(cellsShown, cells);
        QCOMPARE(line->packets().mid(0, 6),
                 QList<QByteArray>(
                         { "04E4  ", "04E5  ", "04UA  ", "07CH  005", "04ER  ", "05E8005" }));
        QCOMPARE(line->dispenser.state().currentCell, 7);

        DispenserState read;
        const auto result = ProfileReadBack::read(
                line->link, cells, read, [](int) {}, [] { return true; });
        QCOMPARE(result.summary(), QStringLiteral("Read complete: MemCell 5-9"));
        QCOMPARE(QList<int>({ read.pressureUnits, read.vacuumUnits }),
                 QList<int>({ pressureUnit, vacuumUnit }));
        for (int cell : cells) {
            QCOMPARE(read.times[cell], profile.times[cell]);
            QCOMPARE(read.pressures[cell], profile.pressures[cell]);
            QCOMPARE(read.vacuums[cell], profile.vacuums[cell]);
            QCOMPARE(read.triggers[cell], profile.triggers[cell]);
        }
        QCOMPARE(line->dispenser.state().currentCell, 7);
    }

    // Exactly the values that differ are found, with what the dispenser holds.
    void findsWhatDiffers_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("differences");
        QTest::addColumn<QString>("summary");
        QTest::newRow("skewed cell") << "skew" << QStringList { "6 1: Pelidor 7 holds 1.2 PSI" }
                                     << "1 cell differs: MemCell 6";
        QTest::newRow("changed at the front panel")
                << "panel"
                << QStringList { "6 0: Pelidor 7 holds 0.2600 s", "9 3: Pelidor 7 holds 7" }
                << "2 cells differ: MemCell 6, 9";
        QTest::newRow("units changed")
                << "units" << QStringList() << "Units differ: the Pelidor 7 is set to BAR, not PSI";
    }

    void findsWhatDiffers()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, differences);
        QFETCH(QString, summary);
        line->dispenser.setSkewedCell(change == "skew" ? 6 : -1);
        transmit();
        if (change == "panel") {
            QVERIFY(line->dispenser.changeCell(6, 0, 2600));
            QVERIFY(line->dispenser.changeCell(9, 3, 7));
        } else if (change == "units") {
            QCOMPARE(line->link.setPressureUnits(Bar), 0);
        }
        const ProfileComparison::Result verified = verify();
        QCOMPARE(describe(verified.differences), differences);
        QCOMPARE(verified.summary(), summary);
        QVERIFY(!verified.succeeded());
    }

    // Stopped, refused or cut off: the cells not read keep their values, and
    // the dispenser is put back on its cell while the line answers.
    void stopsAndRestores_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QList<int>>("cellsRead");
        QTest::addColumn<int>("currentCell");
        QTest::newRow("stopped by the user")
                << "stop"
                << "Read stopped at MemCell 7: stopped by the user" << QList<int> { 5, 6 } << 7;
        QTest::newRow("refused cell") << "refuse"
                                      << "MemCell 6 could not be read: Error: A2 Received from P7"
                                      << QList<int> { 5, 7, 8, 9 } << 7;
        QTest::newRow("switched off")
                << "off"
                << "Read stopped at MemCell 6: Error: NACK from P7 - is the Pelidor 7 switched on "
                   "and connected?; the current cell could not be set back to MemCell 7: Error: "
                   "NACK from P7"
                << QList<int> { 5 } << 5;
    }

    void stopsAndRestores()
    {
        QFETCH(QString, fault);
        QFETCH(QString, summary);
        QFETCH(QList<int>, cellsRead);
        QFETCH(int, currentCell);
        transmit();
        onCellSeven();
        DispenserState read;
        read.triggers.fill(42);
        int commands = 0;
        const auto result = ProfileReadBack::read(
                line->link, cells, read,
                [&](int cell) {
                    if (cell == 6 && fault == "refuse")
                        line->dispenser.injectFault(Fault::Refuse);
                    if (cell == 6 && fault == "off")
                        line->dispenser.setPoweredOn(false);
                },
                [&] { return fault != "stop" || ++commands <= 6; });
        QCOMPARE(result.summary(), summary);
        QCOMPARE(result.cellsRead, cellsRead);
        for (int cell : cells)
            QCOMPARE(read.triggers[cell], cellsRead.contains(cell) ? 10 * cell : 42);
        QCOMPARE(line->dispenser.state().currentCell, currentCell);
    }
};

QTEST_MAIN(TestReadBack)
#include "tst_read_back.moc"
