// Profile files without a window: the text format byte for byte, reading
// back, the binary format with its corrections, and every refusal.
#include "DispenserState.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>

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

// A record that differs from patternedState() in every profile field.
DispenserState otherState()
{
    DispenserState state;
    state.times.fill(9.5);
    state.pressures.fill(55.5);
    state.vacuums.fill(1.25);
    state.triggers.fill(42);
    state.pressureUnits = 2;
    state.vacuumUnits = 4;
    state.startCell = 100;
    state.endCell = 300;
    return state;
}

void compareStates(const DispenserState &actual, const DispenserState &expected)
{
    QCOMPARE(actual.pressureUnits, expected.pressureUnits);
    QCOMPARE(actual.vacuumUnits, expected.vacuumUnits);
    QCOMPARE(actual.startCell, expected.startCell);
    QCOMPARE(actual.endCell, expected.endCell);
    QVERIFY(actual.times == expected.times);
    QVERIFY(actual.pressures == expected.pressures);
    QVERIFY(actual.vacuums == expected.vacuums);
    QVERIFY(actual.triggers == expected.triggers);
}

struct BinaryRecord
{
    double time;
    double pressure;
    double vacuum;
    double trigger;
};

QByteArray binaryProfile(quint32 pressureUnit, quint32 vacuumUnit, quint32 startCell,
                         quint32 endCell, const QVector<BinaryRecord> &records)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out.writeRawData("\x06HVXPR7", 7);
    out << pressureUnit << vacuumUnit << startCell;
    out.writeRawData(QByteArray(12, '\xAA').constData(), 12);
    out << endCell;
    out.writeRawData(QByteArray(12, '\x55').constData(), 12);
    for (const BinaryRecord &record : records)
        out << record.time << record.pressure << record.vacuum << record.trigger;
    return bytes;
}

QVector<BinaryRecord> recordsFor(int count)
{
    QVector<BinaryRecord> records;
    for (int k = 0; k < count; ++k)
        records.append({0.5 + k, 10.0 + k, 2.0 + k, 3.0 + k});
    return records;
}

} // namespace

class ProfileFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &content)
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(content);
        return file.fileName();
    }

    QByteArray readFile(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void headerNamesTheUnits_data()
    {
        QTest::addColumn<int>("pressureUnits");
        QTest::addColumn<int>("vacuumUnits");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("psi mmHg") << 0 << 3 << psiMmHgHeader;
        QTest::newRow("bar H2O") << 1 << 1
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (\"H2O),Trigger\n");
        QTest::newRow("kPa kPa") << 2 << 0
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (kPa),Vacuum (kPa),Trigger\n");
        QTest::newRow("psi Hg") << 0 << 2
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (\"Hg),Trigger\n");
        QTest::newRow("bar Torr") << 1 << 4
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (Torr),Trigger\n");
    }

    void headerNamesTheUnits()
    {
        QFETCH(int, pressureUnits);
        QFETCH(int, vacuumUnits);
        QFETCH(QByteArray, header);
        DispenserState state;
        state.pressureUnits = pressureUnits;
        state.vacuumUnits = vacuumUnits;
        state.startCell = 0;
        state.endCell = 0;
        const QString fileName = path(QStringLiteral("header.csv"));
        QCOMPARE(state.writeProfile(fileName), DispenserState::fileOk);
        QCOMPARE(readFile(fileName), header + "0,0,0,0,0\n");
    }

    void rowsCoverTheRangeOnly()
    {
        DispenserState state;
        state.pressureUnits = 0;
        state.vacuumUnits = 3;
        state.startCell = 10;
        state.endCell = 12;
        state.times[9] = 1.0; // outside the range: must not appear
        state.times[10] = 1234567.0;
        state.pressures[10] = 0.00001;
        state.vacuums[10] = 100000.0;
        state.triggers[10] = 99999;
        state.times[11] = 9.9999;
        state.pressures[11] = 6.895;
        state.vacuums[11] = 0.1;
        state.triggers[11] = 1;
        state.times[12] = 0.25;
        state.pressures[12] = 30.0;
        state.vacuums[12] = 2.5;
        state.triggers[12] = 10;
        state.times[13] = 1.0;
        const QString fileName = path(QStringLiteral("range.csv"));
        QCOMPARE(state.writeProfile(fileName), DispenserState::fileOk);
        QCOMPARE(readFile(fileName), psiMmHgHeader
                                         + "10,1.23457e+06,1e-05,100000,99999\n"
                                           "11,9.9999,6.895,0.1,1\n"
                                           "12,0.25,30,2.5,10\n");
    }

    void reversedRangeWritesHeaderOnly()
    {
        DispenserState state;
        state.vacuumUnits = 3;
        state.startCell = 20;
        state.endCell = 19;
        const QString fileName = path(QStringLiteral("reversed.csv"));
        QCOMPARE(state.writeProfile(fileName), DispenserState::fileOk);
        QCOMPARE(readFile(fileName), psiMmHgHeader);
    }

    void writeToMissingFolderFails()
    {
        const QString fileName = path(QStringLiteral("no/such/folder/profile.csv"));
        QCOMPARE(DispenserState().writeProfile(fileName), DispenserState::fileOpenFailed);
        QVERIFY(!QFile::exists(fileName));
    }

    void failedWriteKeepsOldFile()
    {
        const QByteArray old = "Mem Cell,old content\n";
        const QString fileName = writeFile(QStringLiteral("keep.csv"), old);
        QVERIFY(!fileName.isEmpty());

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
        QCOMPARE(readFile(fileName), old);
        QCOMPARE(QDir(dir.path()).entryList(QStringList() << QStringLiteral("keep.csv*"),
                                            QDir::Files | QDir::Hidden),
                 QStringList() << QStringLiteral("keep.csv"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("pressureUnits");
        QTest::addColumn<int>("vacuumUnits");
        QTest::addColumn<int>("startCell");
        QTest::addColumn<int>("endCell");
        QTest::newRow("psi H2O, all cells") << 0 << 1 << 0 << 399;
        QTest::newRow("bar kPa, 10..12") << 1 << 0 << 10 << 12;
        QTest::newRow("kPa Hg, first cell") << 2 << 2 << 0 << 0;
        QTest::newRow("psi mmHg, last cell") << 0 << 3 << 399 << 399;
        QTest::newRow("bar Torr, upper half") << 1 << 4 << 200 << 399;
    }

    void roundTrip()
    {
        QFETCH(int, pressureUnits);
        QFETCH(int, vacuumUnits);
        QFETCH(int, startCell);
        QFETCH(int, endCell);
        DispenserState saved = patternedState();
        saved.pressureUnits = pressureUnits;
        saved.vacuumUnits = vacuumUnits;
        saved.startCell = startCell;
        saved.endCell = endCell;
        const QString fileName = path(QStringLiteral("roundtrip.csv"));
        QCOMPARE(saved.writeProfile(fileName), DispenserState::fileOk);

        DispenserState loaded = otherState();
        DispenserState expected = otherState();
        expected.pressureUnits = pressureUnits;
        expected.vacuumUnits = vacuumUnits;
        for (int cell = startCell; cell <= endCell; ++cell) {
            expected.times[cell] = saved.times[cell];
            expected.pressures[cell] = saved.pressures[cell];
            expected.vacuums[cell] = saved.vacuums[cell];
            expected.triggers[cell] = saved.triggers[cell];
        }
        QCOMPARE(loaded.readProfile(fileName), DispenserState::fileOk);
        compareStates(loaded, expected);
    }

    void headerUnitsAreRecognised_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("pressureUnits");
        QTest::addColumn<int>("vacuumUnits");
        QTest::newRow("bar, mmHg is not Hg")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (mmHg),Trigger\n") << 1 << 3;
        QTest::newRow("kPa, Hg")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (kPa),Vacuum (\"Hg),Trigger\n") << 2 << 2;
        QTest::newRow("psi, H2O")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (\"H2O),Trigger\n") << 0 << 1;
        QTest::newRow("psi, kPa, CRLF")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (kPa),Trigger\r\n") << 0 << 0;
        QTest::newRow("first name in list order wins")
            << QByteArray("a,b,kPa or bar or psi,Torr or kPa,e\n") << 0 << 0;
        QTest::newRow("bare fields, no trigger field")
            << QByteArray("x,y,Pressure (kPa),Vacuum (Torr)\n") << 2 << 4;
    }

    void headerUnitsAreRecognised()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, pressureUnits);
        QFETCH(int, vacuumUnits);
        const QString fileName = writeFile(QStringLiteral("units.csv"), header + "3,1,2,3,4\n");
        DispenserState state = otherState();
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        QCOMPARE(state.pressureUnits, pressureUnits);
        QCOMPARE(state.vacuumUnits, vacuumUnits);
        QCOMPARE(state.times[3], 1.0);
        QCOMPARE(state.triggers[3], 4);
    }

    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("unknown pressure unit")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (atm),Vacuum (mmHg),Trigger\n1,1,1,1,1\n")
            << DispenserState::filePressureUnitUnknown;
        QTest::newRow("pressure name in the wrong field")
            << QByteArray("Mem Cell,Dispense Time(s) psi,Dispense Pressure,Vacuum (mmHg),Trigger\n")
            << DispenserState::filePressureUnitUnknown;
        QTest::newRow("header too short") << QByteArray("Mem Cell,Time\n1,1,1,1,1\n")
                                          << DispenserState::filePressureUnitUnknown;
        QTest::newRow("empty file") << QByteArray() << DispenserState::filePressureUnitUnknown;
        QTest::newRow("pressure names are case sensitive")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (PSI),Vacuum (mmHg),Trigger\n")
            << DispenserState::filePressureUnitUnknown;
        QTest::newRow("unknown vacuum unit")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (atm),Trigger\n1,1,1,1,1\n")
            << DispenserState::fileVacuumUnitUnknown;
        QTest::newRow("H2O without inch mark")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (H2O),Trigger\n")
            << DispenserState::fileVacuumUnitUnknown;
        QTest::newRow("no vacuum field")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (psi)\n")
            << DispenserState::fileVacuumUnitUnknown;
        QTest::newRow("cell 400") << psiMmHgHeader + "400,1,2,3,4\n" << DispenserState::fileInvalidMemCell;
        QTest::newRow("cell -1") << psiMmHgHeader + "-1,1,2,3,4\n" << DispenserState::fileInvalidMemCell;
        QTest::newRow("bad cell after good rows")
            << psiMmHgHeader + "0,1,2,3,4\n5,1,2,3,4\n399,1,2,3,4\n1000,1,2,3,4\n6,1,2,3,4\n"
            << DispenserState::fileInvalidMemCell;
        QTest::newRow("binary header cut short")
            << binaryProfile(1, 3, 0, 0, recordsFor(1)).left(40) << DispenserState::fileTruncated;
        QTest::newRow("binary record cut short")
            << binaryProfile(1, 3, 5, 7, recordsFor(3)).chopped(1) << DispenserState::fileTruncated;
        QTest::newRow("binary without records")
            << binaryProfile(2, 0, 0, 399, {}) << DispenserState::fileTruncated;
    }

    void refusedFileChangesNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        const QString fileName = writeFile(QStringLiteral("refused.csv"), content);
        DispenserState state = patternedState();
        QCOMPARE(state.readProfile(fileName), code);
        compareStates(state, patternedState());
    }

    void missingFileCannotBeOpened()
    {
        DispenserState state = patternedState();
        QCOMPARE(state.readProfile(path(QStringLiteral("missing.csv"))), DispenserState::fileOpenFailed);
        QCOMPARE(state.readProfile(dir.path()), DispenserState::fileOpenFailed);
        compareStates(state, patternedState());
    }

    void shortRowsAreFilledWithZeros()
    {
        const QString fileName =
            writeFile(QStringLiteral("short.csv"), psiMmHgHeader + "7,0.5\n8\n9,1,2\n");
        DispenserState state = otherState();
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        QCOMPARE(state.times[7], 0.5);
        QCOMPARE(state.pressures[7], 0.0);
        QCOMPARE(state.vacuums[7], 0.0);
        QCOMPARE(state.triggers[7], 0);
        QCOMPARE(state.times[8], 0.0);
        QCOMPARE(state.triggers[8], 0);
        QCOMPARE(state.pressures[9], 2.0);
        QCOMPARE(state.vacuums[9], 0.0);
        QCOMPARE(state.times[6], 9.5);
    }

    // Rows as a spreadsheet saves them: CRLF ends, blank lines, spaces,
    // a final row without line end and a trigger with decimals.
    void spreadsheetFileLoads()
    {
        const QByteArray content =
            "Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (\"Hg),Trigger\r\n"
            "10,0.25,1.5,0.75,10\r\n"
            "\r\n"
            "  \r\n"
            "11, 0.5 ,2.125,1.25e-1,20\r\n"
            "\n"
            "12,1,3,0.5,7.9";
        const QString fileName = writeFile(QStringLiteral("spreadsheet.csv"), content);
        DispenserState state = patternedState();
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        DispenserState expected = patternedState();
        expected.pressureUnits = 1;
        expected.vacuumUnits = 2;
        expected.times[10] = 0.25;
        expected.pressures[10] = 1.5;
        expected.vacuums[10] = 0.75;
        expected.triggers[10] = 10;
        expected.times[11] = 0.5;
        expected.pressures[11] = 2.125;
        expected.vacuums[11] = 0.125;
        expected.triggers[11] = 20;
        expected.times[12] = 1.0;
        expected.pressures[12] = 3.0;
        expected.vacuums[12] = 0.5;
        expected.triggers[12] = 0; // not a whole number: toInt refuses it
        // Cell 0 stays as it was: blank lines are not rows of cell 0.
        compareStates(state, expected);
    }

    void binaryFieldsAreCorrected_data()
    {
        QTest::addColumn<quint32>("pressureUnit");
        QTest::addColumn<quint32>("vacuumUnit");
        QTest::addColumn<quint32>("startCell");
        QTest::addColumn<quint32>("endCell");
        QTest::addColumn<int>("pressureUnits");
        QTest::addColumn<int>("vacuumUnits");
        QTest::addColumn<int>("firstCell");
        QTest::addColumn<int>("lastCell");
        QTest::newRow("as stored") << 1u << 3u << 5u << 7u << 1 << 3 << 5 << 7;
        QTest::newRow("start 500 starts at 0") << 2u << 0u << 500u << 2u << 2 << 0 << 0 << 2;
        QTest::newRow("vacuum unit 9 becomes 1") << 0u << 9u << 0u << 0u << 0 << 1 << 0 << 0;
        QTest::newRow("pressure unit 3 becomes 0") << 3u << 4u << 1u << 1u << 0 << 4 << 1 << 1;
        QTest::newRow("units compared unsigned")
            << 0xFFFFFFFFu << 0xFFFFFFFFu << 0u << 0u << 0 << 1 << 0 << 0;
        QTest::newRow("end 1000 ends at 399") << 0u << 2u << 397u << 1000u << 0 << 2 << 397 << 399;
        QTest::newRow("start above 399 unsigned") << 0u << 2u << 0x80000000u << 1u << 0 << 2 << 0 << 1;
    }

    void binaryFieldsAreCorrected()
    {
        QFETCH(quint32, pressureUnit);
        QFETCH(quint32, vacuumUnit);
        QFETCH(quint32, startCell);
        QFETCH(quint32, endCell);
        QFETCH(int, pressureUnits);
        QFETCH(int, vacuumUnits);
        QFETCH(int, firstCell);
        QFETCH(int, lastCell);
        const QVector<BinaryRecord> records = recordsFor(lastCell - firstCell + 1);
        const QString fileName = writeFile(
            QStringLiteral("profile.hvx"),
            binaryProfile(pressureUnit, vacuumUnit, startCell, endCell, records));

        DispenserState state = patternedState();
        DispenserState expected = patternedState();
        expected.pressureUnits = pressureUnits;
        expected.vacuumUnits = vacuumUnits;
        expected.startCell = firstCell;
        expected.endCell = lastCell;
        for (int k = 0; k < records.size(); ++k) {
            expected.times[firstCell + k] = records[k].time;
            expected.pressures[firstCell + k] = records[k].pressure;
            expected.vacuums[firstCell + k] = records[k].vacuum;
            expected.triggers[firstCell + k] = int(records[k].trigger);
        }
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        compareStates(state, expected);
    }

    void binaryTriggerIsTruncated_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("trigger");
        QTest::newRow("2.9") << 2.9 << 2;
        QTest::newRow("-2.9") << -2.9 << -2;
        QTest::newRow("99999") << 99999.0 << 99999;
        QTest::newRow("beyond int") << 1e12 << std::numeric_limits<int>::max();
        QTest::newRow("below int") << -1e12 << std::numeric_limits<int>::min();
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
    }

    void binaryTriggerIsTruncated()
    {
        QFETCH(double, stored);
        QFETCH(int, trigger);
        const QString fileName = writeFile(QStringLiteral("trigger.hvx"),
                                           binaryProfile(0, 1, 4, 4, {{1.0, 2.0, 3.0, stored}}));
        DispenserState state;
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        QCOMPARE(state.triggers[4], trigger);
    }

    void binaryReversedRangeLoadsUnitsOnly()
    {
        const QString fileName =
            writeFile(QStringLiteral("reversed.hvx"), binaryProfile(2, 3, 10, 5, recordsFor(6)));
        DispenserState state = patternedState();
        DispenserState expected = patternedState();
        expected.pressureUnits = 2;
        expected.vacuumUnits = 3;
        QCOMPARE(state.readProfile(fileName), DispenserState::fileOk);
        compareStates(state, expected);
    }
};

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "tst_profilefile.moc"
