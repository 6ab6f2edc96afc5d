// The profile files: the text format written and read, the binary format
// read, and every refusal, which leaves the record as it was.
#include "DispenserState.h"
#include "ProfileFile.h"
#include "ProfileFiles.h"

#include <QtTest>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray header =
        "Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (\"H2O),Trigger\n";

template<typename... Numbers>
QString numbers(Numbers... values)
{
    return QStringList { QString::number(values)... }.join(' ');
}

// Time, pressure, vacuum and trigger of a cell.
QString cellValues(const DispenserState &s, int cell)
{
    return numbers(s.times[cell], s.pressures[cell], s.vacuums[cell], s.triggers[cell]);
}

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString fileWith(const QByteArray &content) const
    {
        return ProfileFiles::write(folder.filePath(QStringLiteral("profile.csv")), content);
    }

    static DispenserState filled()
    {
        DispenserState state;
        state.times.fill(1.5);
        state.triggers.fill(7);
        state.startCell = 3;
        state.endCell = 4;
        return state;
    }

private slots:
    void savesTheRangeOnly()
    {
        DispenserState state;
        state.startCell = 10;
        state.endCell = 12;
        state.pressureUnits = ProfileUnits::Bar;
        state.vacuumUnits = ProfileUnits::MillimetresOfMercury;
        state.times[10] = 0.25;
        state.pressures[10] = 30.0;
        state.vacuums[10] = 2.5;
        state.triggers[10] = 10;
        state.pressures[11] = 1234567;
        const QString path = folder.filePath(QStringLiteral("saved.csv"));
        QCOMPARE(state.writeProfile(path), int(ProfileFile::Ok));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray(
                         "Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (mmHg),Trigger\n"
                         "10,0.25,30,2.5,10\n11,0,1.23457e+06,0,0\n12,0,0,0,0\n"));

        DispenserState read;
        QCOMPARE(read.readProfile(path), int(ProfileFile::Ok));
        QCOMPARE(read.pressureUnits, int(ProfileUnits::Bar));
        QCOMPARE(read.vacuumUnits, int(ProfileUnits::MillimetresOfMercury)); // not "Hg
        QCOMPARE(read.times[10], 0.25);
        QCOMPARE(read.startCell, 0); // text files carry no range
        QCOMPARE(state.writeProfile(folder.filePath("missing/saved.csv")),
                 int(ProfileFile::OpenFailed));
    }

    void readsText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("values"); // time pressure vacuum trigger of the cell

        QTest::newRow("a few cells") << header + "10,0.5,20,3,40\n" << 0 << 10 << "0.5 20 3 40";
        QTest::newRow("short row") << header + "7,0.5\n" << 0 << 7 << "0.5 0 0 0";
        QTest::newRow("trigger 3.0") << header + "9,1,2,3,3.0\n" << 0 << 9 << "1 2 3 3";
        QTest::newRow("trigger 1e3") << header + "9,1,2,3,1e3\n" << 0 << 9 << "1 2 3 1000";
        QTest::newRow("NUL in a row")
                << header + QByteArray("9,1,2\0,3,4\n", 12) << 5 << 9 << "1.5 0 0 7";
        QTest::newRow("blank and empty rows")
                << header + "\n,,,,\n ,1,2,3,4\n8,1,2,3,4" << 0 << 0 << "1.5 0 0 7";
        QTest::newRow("carriage returns alone")
                << QByteArray(header).replace('\n', '\r') + "5,2,3,4,5\r6,1,1,1,1\r" << 0 << 5
                << "2 3 4 5";
        QTest::newRow("cell 400") << header + "400,1,2,3,4\n" << 5 << 0 << "1.5 0 0 7";
        QTest::newRow("cell -1") << header + "1,1,1,1,1\n-1,1,2,3,4\n" << 5 << 1 << "1.5 0 0 7";
        QTest::newRow("cell 12.0") << header + "12.0,1,2,3,4\n" << 5 << 12 << "1.5 0 0 7";
        QTest::newRow("cell beyond int") << header + "4294967296,1,2,3,4\n"
                                         << 5 << 0 << "1.5 0 0 7";
        QTest::newRow("pressure unit unknown") << QByteArray(
                "Mem Cell,Time,Dispense Pressure (atm),Vacuum (kPa),Trigger\n1,1,1,1,1\n")
                                               << 3 << 1 << "1.5 0 0 7";
    }

    void readsText()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(int, cell);
        QFETCH(QString, values);

        DispenserState state = filled();
        QCOMPARE(state.readProfile(fileWith(content)), code);
        QCOMPARE(cellValues(state, cell), values);
        QCOMPARE(state.startCell, 3);
        QCOMPARE(state.pressureUnits, 0);
    }

    void readsBinary_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("range"); // start end pressure-unit vacuum-unit
        QTest::addColumn<QString>("cell31"); // time pressure vacuum trigger

        QTest::newRow("cells 30 to 32") << ProfileFiles::binary(
                2, 3, 30, 32, { { 0, 0, 0, 1 }, { 0.25, 30, 2.5, 10.9 }, { 0, 0, 0, 1 } })
                                        << 0 << "30 32 2 3"
                                        << "0.25 30 2.5 10";
        QTest::newRow("start 500, end 999, vacuum unit 9") << ProfileFiles::binary(
                7, 9, 500, 999, QVector<std::array<double, 4>>(400, { 1, 1, 1, 1 }))
                                                           << 0 << "0 399 0 1"
                                                           << "1 1 1 1";
        QTest::newRow("reversed range") << ProfileFiles::binary(1, 2, 40, 30, {}) << 9 << "3 4 0 1"
                                        << "1.5 0 0 7";
        QTest::newRow("records missing")
                << ProfileFiles::binary(1, 2, 30, 32, { { 1, 1, 1, 1 } }) << 6 << "3 4 0 1"
                << "1.5 0 0 7";
    }

    void readsBinary()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(QString, range);
        QFETCH(QString, cell31);

        DispenserState state = filled();
        QCOMPARE(state.readProfile(fileWith(content)), code);
        QCOMPARE(numbers(state.startCell, state.endCell, state.pressureUnits, state.vacuumUnits),
                 range);
        QCOMPARE(cellValues(state, 31), cell31);
    }

    // Anything but a regular file of profile size is refused before it is read.
    void refusesWhatIsNoProfile()
    {
        DispenserState state = filled();
        const QString fifo = folder.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(state.readProfile(fifo), int(ProfileFile::NotRegularFile));
        QCOMPARE(state.readProfile(folder.path()), int(ProfileFile::NotRegularFile));
        QCOMPARE(state.readProfile(folder.filePath(QStringLiteral("none.csv"))),
                 int(ProfileFile::OpenFailed));
        QCOMPARE(state.readProfile(fileWith(header + QByteArray(ProfileFile::maximumSize, '\n'))),
                 int(ProfileFile::TooLarge));
        QCOMPARE(state.times[0], 1.5);
        for (int code = ProfileFile::OpenFailed; code <= ProfileFile::ReversedRange; ++code)
            QVERIFY(!ProfileFile::errorMessage(code).isEmpty());
        QCOMPARE(ProfileFile::errorMessage(ProfileFile::TooLarge),
                 QStringLiteral("This file is too large to be a profile (over 1 MiB)."));
    }

    // A file the user may write in a folder where no new file may be made is
    // written in place; a write cut short (the file size limit here, a full
    // disk elsewhere) puts the old bytes back. Root passes every permission,
    // so the check runs with the file system rights of an ordinary user.
    void savesInAFolderThatTakesNoNewFiles_data()
    {
        QTest::addColumn<int>("sizeLimit"); // bytes a file may grow to; 0: no limit
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("code");
        QTest::newRow("written in place") << 0 << true << int(ProfileFile::Ok);
        QTest::newRow("cut short") << 60 << true << int(ProfileFile::WriteFailedOldKept);
        QTest::newRow("file read-only too") << 0 << false << int(ProfileFile::OpenFailed);
    }

    void savesInAFolderThatTakesNoNewFiles()
    {
        QFETCH(int, sizeLimit);
        QFETCH(bool, writable);
        QFETCH(int, code);
        QTemporaryDir locked;
        const QByteArray old = "old profile\n";
        const QString path =
                ProfileFiles::write(locked.filePath(QStringLiteral("profile.csv")), old);
        QVERIFY(QFile::setPermissions(path,
                                      writable ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                      | QFileDevice::ReadGroup
                                                      | QFileDevice::WriteGroup
                                               : QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        QCOMPARE(chmod(QFile::encodeName(locked.path()).constData(), 0555), 0);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previousLimit {};
        getrlimit(RLIMIT_FSIZE, &previousLimit);
        rlimit limit = previousLimit;
        if (sizeLimit > 0)
            limit.rlim_cur = rlim_t(sizeLimit);
        setrlimit(RLIMIT_FSIZE, &limit);
        const uid_t previous = uid_t(setfsuid(65534));
        QString reason;
        const int written = filled().writeProfile(path, &reason);
        setfsuid(previous);
        setrlimit(RLIMIT_FSIZE, &previousLimit);
        chmod(QFile::encodeName(locked.path()).constData(), 0755);
        QVERIFY2(written == code, qPrintable(reason));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray kept = file.readAll();
        if (code == ProfileFile::Ok)
            QVERIFY(kept.endsWith("\n4,1.5,0,0,7\n"));
        else
            QCOMPARE(kept, old);
        QCOMPARE(ProfileFile::errorMessage(code, reason).isEmpty(), code == ProfileFile::Ok);
        if (code == ProfileFile::OpenFailed)
            QCOMPARE(reason, QStringLiteral("Permission denied"));
    }

    // A failure says the system's reason, not a guess.
    void tellsWhyAFileFails()
    {
        QString reason;
        QCOMPARE(filled().writeProfile(folder.filePath("missing/saved.csv"), &reason),
                 int(ProfileFile::OpenFailed));
        QCOMPARE(ProfileFile::errorMessage(ProfileFile::OpenFailed, reason),
                 QStringLiteral("Could not open file: No such file or directory."));
        QCOMPARE(filled().writeProfile(folder.path(), &reason), int(ProfileFile::OpenFailed));
        QVERIFY2(!reason.contains("another application"), qPrintable(reason));
        DispenserState state;
        QCOMPARE(state.readProfile(folder.filePath("none.csv"), nullptr, &reason),
                 int(ProfileFile::OpenFailed));
        QCOMPARE(reason, QStringLiteral("No such file or directory"));
    }
};

QTEST_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
