// Profile files without a window: the text format byte for byte, reading
// back, the binary format with its corrections, and every refusal.
#include "DispenserState.h"
#include "ProfileTestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <limits>
#include <tuple>
#include <sys/resource.h>

using namespace ProfileTestFiles;

namespace {

const QByteArray psiMmHgHeader =
    "Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (mmHg),Trigger\n";

// Values with few significant digits, so the six-digit text form is exact.
DispenserState patternedState()
{
    DispenserState state;
    for (int cell = 0; cell < DispenserState::cellCount; ++cell) {
        state.times[cell] = (cell % 80) / 8.0;
        state.pressures[cell] = cell / 10.0;
        state.vacuums[cell] = (cell % 40) / 16.0;
        state.triggers[cell] = cell * 7 + 1;
    }
    return state;
}

void setCell(DispenserState &state, int cell, double time, double pressure, double vacuum, int trigger)
{
    std::tie(state.times[cell], state.pressures[cell], state.vacuums[cell], state.triggers[cell]) =
        std::make_tuple(time, pressure, vacuum, trigger);
}

void compareStates(const DispenserState &actual, const DispenserState &expected)
{
    QCOMPARE((QVector<int>{actual.pressureUnits, actual.vacuumUnits, actual.startCell, actual.endCell}),
             (QVector<int>{expected.pressureUnits, expected.vacuumUnits, expected.startCell, expected.endCell}));
    QVERIFY(actual.times == expected.times);
    QVERIFY(actual.pressures == expected.pressures);
    QVERIFY(actual.vacuums == expected.vacuums);
    QVERIFY(actual.triggers == expected.triggers);
}

} // namespace

class ProfileFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void rowsCoverTheRangeOnly()
    {
        DispenserState state;
        state.vacuumUnits = 3;
        state.startCell = 10;
        state.endCell = 12;
        setCell(state, 10, 1234567.0, 0.00001, 100000.0, 99999);
        setCell(state, 11, 9.9999, 6.895, 0.1, 1);
        setCell(state, 12, 0.25, 30.0, 2.5, 10);
        const QString fileName = path(QStringLiteral("range.csv"));
        QCOMPARE(state.writeProfile(fileName), DispenserState::fileOk);
        QCOMPARE(read(fileName), psiMmHgHeader
                                     + "10,1.23457e+06,1e-05,100000,99999\n"
                                       "11,9.9999,6.895,0.1,1\n"
                                       "12,0.25,30,2.5,10\n");
    }

    void failedWriteKeepsOldFile()
    {
        const QByteArray old = "Mem Cell,old content\n";
        const QString fileName = write(path(QStringLiteral("keep.csv")), old);

        // A file size limit makes the write itself fail, as a full disk would.
        struct rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = 64;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const int code = DispenserState().writeProfile(fileName);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(code, DispenserState::fileWriteFailed);
        QCOMPARE(read(fileName), old);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("keep.csv*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("keep.csv")});
    }

    // The header names the units; only they and the saved range come back,
    // everything else keeps the values of the record read into.
    void roundTrip_data()
    {
        QTest::addColumn<int>("pressureUnits");
        QTest::addColumn<int>("vacuumUnits");
        QTest::addColumn<int>("startCell");
        QTest::addColumn<int>("endCell");
        QTest::addColumn<QByteArray>("units");
        QTest::newRow("psi H2O, all cells") << 0 << 1 << 0 << 399 << QByteArray("(psi),Vacuum (\"H2O)");
        QTest::newRow("bar kPa, 10..12") << 1 << 0 << 10 << 12 << QByteArray("(bar),Vacuum (kPa)");
        QTest::newRow("kPa Hg, first cell") << 2 << 2 << 0 << 0 << QByteArray("(kPa),Vacuum (\"Hg)");
        QTest::newRow("psi mmHg, last cell") << 0 << 3 << 399 << 399 << QByteArray("(psi),Vacuum (mmHg)");
        QTest::newRow("bar Torr, upper half") << 1 << 4 << 200 << 399 << QByteArray("(bar),Vacuum (Torr)");
    }

    void roundTrip()
    {
        QFETCH(int, pressureUnits);
        QFETCH(int, vacuumUnits);
        QFETCH(int, startCell);
        QFETCH(int, endCell);
        QFETCH(QByteArray, units);
        DispenserState saved = patternedState();
        std::tie(saved.pressureUnits, saved.vacuumUnits, saved.startCell, saved.endCell) =
            std::make_tuple(pressureUnits, vacuumUnits, startCell, endCell);
        const QString fileName = path(QStringLiteral("roundtrip.csv"));
        QCOMPARE(saved.writeProfile(fileName), DispenserState::fileOk);
        QVERIFY(read(fileName).startsWith("Mem Cell,Dispense Time(s),Dispense Pressure " + units + ",Trigger\n"));

        DispenserState loaded;
        loaded.startCell = 100;
        loaded.endCell = 300;
        for (int cell = 0; cell < DispenserState::cellCount; ++cell)
            setCell(loaded, cell, 9.5, 55.5, 1.25, 42);
        DispenserState expected = loaded;
        std::tie(expected.pressureUnits, expected.vacuumUnits) = std::make_tuple(pressureUnits, vacuumUnits);
        for (int cell = startCell; cell <= endCell; ++cell)
            setCell(expected, cell, saved.times[cell], saved.pressures[cell], saved.vacuums[cell], saved.triggers[cell]);
        QCOMPARE(loaded.readProfile(fileName), DispenserState::fileOk);
        compareStates(loaded, expected);
    }

    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("empty file") << QByteArray() << DispenserState::filePressureUnitUnknown;
        QTest::newRow("no vacuum field")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi)\n") << DispenserState::fileVacuumUnitUnknown;
        QTest::newRow("cell -1") << psiMmHgHeader + "-1,1,2,3,4\n" << DispenserState::fileInvalidMemCell;
        QTest::newRow("binary header cut short")
            << binaryProfile(1, 3, 0, 0, {{1, 2, 3, 4}}).left(40) << DispenserState::fileTruncated;
        QTest::newRow("binary record cut short")
            << binaryProfile(1, 3, 5, 6, {{1, 2, 3, 4}, {1, 2, 3, 4}}).chopped(1)
            << DispenserState::fileTruncated;
    }

    void refusedFileChangesNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        DispenserState state = patternedState();
        QCOMPARE(state.readProfile(write(path(QStringLiteral("refused.csv")), content)), code);
        compareStates(state, patternedState());
    }

    // As a spreadsheet saves a file: CRLF ends, blank lines, spaces, a final
    // row without line end, a trigger with decimals; and short rows.
    void spreadsheetFileLoads()
    {
        const QByteArray content =
            "Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (mmHg),Trigger\r\n"
            "10,0.25,1.5,0.75,10\r\n"
            "\r\n"
            "  \r\n"
            "11, 0.5 ,2.125,1.25e-1,20\r\n"
            "7,0.5\r\n"
            "8\n"
            "12,1,3,0.5,7.9";
        DispenserState state = patternedState();
        QCOMPARE(state.readProfile(write(path(QStringLiteral("spreadsheet.csv")), content)),
                 DispenserState::fileOk);
        DispenserState expected = patternedState();
        expected.pressureUnits = 1;
        expected.vacuumUnits = 3; // mmHg holds no inch mark, so it is not "Hg
        setCell(expected, 10, 0.25, 1.5, 0.75, 10);
        setCell(expected, 11, 0.5, 2.125, 0.125, 20);
        setCell(expected, 7, 0.5, 0, 0, 0);
        setCell(expected, 8, 0, 0, 0, 0);
        setCell(expected, 12, 1, 3, 0.5, 0); // 7.9 is not a whole number: toInt refuses it
        // Cell 0 stays as it was: blank lines are not rows of cell 0.
        compareStates(state, expected);
    }

    // Pressure unit, vacuum unit, start and end cell as stored, and as taken.
    void binaryFieldsAreCorrected_data()
    {
        QTest::addColumn<QVector<quint32>>("stored");
        QTest::addColumn<QVector<int>>("taken");
        QTest::newRow("pressure unit 3 becomes 0") << QVector<quint32>{3, 4, 1, 1} << QVector<int>{0, 4, 1, 1};
        QTest::newRow("units compared unsigned")
            << QVector<quint32>{0xFFFFFFFF, 0xFFFFFFFF, 0, 0} << QVector<int>{0, 1, 0, 0};
        QTest::newRow("end 1000 ends at 399") << QVector<quint32>{0, 2, 397, 1000} << QVector<int>{0, 2, 397, 399};
        QTest::newRow("start above 399 unsigned")
            << QVector<quint32>{0, 2, 0x80000000, 1} << QVector<int>{0, 2, 0, 1};
    }

    void binaryFieldsAreCorrected()
    {
        QFETCH(QVector<quint32>, stored);
        QFETCH(QVector<int>, taken);
        DispenserState expected = patternedState();
        std::tie(expected.pressureUnits, expected.vacuumUnits, expected.startCell, expected.endCell) =
            std::make_tuple(taken[0], taken[1], taken[2], taken[3]);
        QVector<BinaryRecord> records;
        for (int cell = taken[2]; cell <= taken[3]; ++cell) {
            records.append({0.5 + cell, 10.0 + cell, 2.0 + cell, 3.0 + cell});
            setCell(expected, cell, 0.5 + cell, 10.0 + cell, 2.0 + cell, 3 + cell);
        }
        const QString fileName = write(path(QStringLiteral("profile.hvx")),
                                       binaryProfile(stored[0], stored[1], stored[2], stored[3], records));
        DispenserState state = patternedState();
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        compareStates(state, expected);
    }

    // Truncated toward zero, saturating where a plain conversion would be undefined.
    void binaryTriggersBeyondIntSaturate()
    {
        const QString fileName = write(path(QStringLiteral("trigger.hvx")),
                                       binaryProfile(0, 1, 4, 6, {{1, 2, 3, 1e12}, {1, 2, 3, -1e12},
                                                                  {1, 2, 3, std::nan("")}}));
        DispenserState state;
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        QCOMPARE(state.triggers[4], std::numeric_limits<int>::max());
        QCOMPARE(state.triggers[5], std::numeric_limits<int>::min());
        QCOMPARE(state.triggers[6], 0);
    }

    void binaryReversedRangeLoadsUnitsOnly()
    {
        const QString fileName = write(path(QStringLiteral("reversed.hvx")),
                                       binaryProfile(2, 3, 10, 5, {{1, 2, 3, 4}}));
        DispenserState state = patternedState();
        DispenserState expected = patternedState();
        std::tie(expected.pressureUnits, expected.vacuumUnits) = std::make_tuple(2, 3);
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        compareStates(state, expected);
    }
};

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "tst_profilefile.moc"
