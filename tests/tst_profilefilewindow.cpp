// Profile files through the window: Save and Open Profile with their dialogs,
// loading through the table's check, and the file error boxes.
#include "DialogProvider.h"
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDataStream>
#include <QHeaderView>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Answers the window's dialogs from a script and keeps what each one asked.
class ScriptedDialogs : public DialogProvider
{
public:
    struct Request
    {
        QString kind;
        QString caption;
        QString proposal;
        QString filter;
    };

    QList<Request> requests;
    QStringList fileNames; // one per file dialog; an empty name cancels

    QString saveFileName(QWidget *, const QString &caption, const QString &proposedName,
                         const QString &filter) override
    {
        requests.append({QStringLiteral("save"), caption, proposedName, filter});
        return nextFileName();
    }

    QString openFileName(QWidget *, const QString &caption, const QString &directory,
                         const QString &filter) override
    {
        requests.append({QStringLiteral("open"), caption, directory, filter});
        return nextFileName();
    }

private:
    QString nextFileName() { return fileNames.isEmpty() ? QString() : fileNames.takeFirst(); }
};

// Closes every modal message box that comes up while it lives, keeping what
// each one showed.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            titles << box->windowTitle();
            texts << box->text();
            critical = critical && box->icon() == QMessageBox::Critical
                       && box->standardButtons() == QMessageBox::Ok;
            box->button(QMessageBox::Ok)->click();
        });
        timer.start(10);
    }

    QStringList titles;
    QStringList texts;
    bool critical = true;

private:
    QTimer timer;
};

const QByteArray psiH2OHeader =
    "Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (\"H2O),Trigger\n";

QByteArray binaryProfile(quint32 pressureUnit, quint32 vacuumUnit, quint32 startCell,
                         quint32 endCell, const QVector<QVector<double>> &records)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out.writeRawData("\x06\0\0\0\0\0\0", 7);
    out << pressureUnit << vacuumUnit << startCell;
    out.writeRawData(QByteArray(12, '\0').constData(), 12);
    out << endCell;
    out.writeRawData(QByteArray(12, '\0').constData(), 12);
    for (const QVector<double> &record : records)
        out << record[0] << record[1] << record[2] << record[3];
    return bytes;
}

// What the window shows and keeps of a profile, to compare before and after.
struct ProfileView
{
    QStringList cellTexts;
    QStringList headings;
    int pressureButton;
    int vacuumButton;
    QVector<int> rangeBoxes;
    DispenserState state;
};

} // namespace

class TestProfileFileWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    QTableWidget *table() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    const DispenserState &state() const { return window->dispenserState(); }
    QString cellText(int row, int column) const { return table()->item(row, column)->text(); }
    void setCellText(int row, int column, const QString &text) { table()->item(row, column)->setText(text); }
    void trigger(const char *action) { child<QAction>(action)->trigger(); }

    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &content) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(content);
        return file.fileName();
    }

    QByteArray readFile(const QString &fileName) const
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ProfileView view() const
    {
        ProfileView shown;
        for (int row = 0; row < DispenserState::cellCount; ++row) {
            for (int column = 0; column < 4; ++column)
                shown.cellTexts << cellText(row, column);
        }
        for (int column = 0; column < 4; ++column)
            shown.headings << table()->horizontalHeaderItem(column)->text();
        shown.pressureButton = child<QButtonGroup>("pressureUnitGroup")->checkedId();
        shown.vacuumButton = child<QButtonGroup>("vacuumUnitsGroup")->checkedId();
        for (const char *box : {"startMemCell", "endMemCell", "bulkAdjustStart", "bulkAdjustEnd"})
            shown.rangeBoxes << child<QSpinBox>(box)->value();
        shown.state = state();
        return shown;
    }

    void compareViews(const ProfileView &actual, const ProfileView &expected)
    {
        QCOMPARE(actual.cellTexts, expected.cellTexts);
        QCOMPARE(actual.headings, expected.headings);
        QCOMPARE(actual.pressureButton, expected.pressureButton);
        QCOMPARE(actual.vacuumButton, expected.vacuumButton);
        QCOMPARE(actual.rangeBoxes, expected.rangeBoxes);
        QCOMPARE(actual.state.pressureUnits, expected.state.pressureUnits);
        QCOMPARE(actual.state.vacuumUnits, expected.state.vacuumUnits);
        QCOMPARE(actual.state.startCell, expected.state.startCell);
        QCOMPARE(actual.state.endCell, expected.state.endCell);
        QVERIFY(actual.state.times == expected.state.times);
        QVERIFY(actual.state.pressures == expected.state.pressures);
        QVERIFY(actual.state.vacuums == expected.state.vacuums);
        QVERIFY(actual.state.triggers == expected.state.triggers);
    }

    // The table shows what the record holds, cell for cell.
    void verifyTableMatchesRecord()
    {
        for (int row = 0; row < DispenserState::cellCount; ++row) {
            QCOMPARE(cellText(row, 0).toDouble(), state().times[row]);
            QCOMPARE(cellText(row, 1).toDouble(), state().pressures[row]);
            QCOMPARE(cellText(row, 2).toDouble(), state().vacuums[row]);
            QCOMPARE(cellText(row, 3).toInt(), state().triggers[row]);
        }
    }

    // Opens a file through the menu action, closing any message box it raises.
    QStringList openProfile(const QString &fileName)
    {
        MessageBoxWatcher watcher;
        dialogs.fileNames << fileName;
        trigger("actionOpen_Profile");
        return watcher.texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        TestSettings::clear();
    }

    void init()
    {
        TestSettings::clear();
        QTest::ignoreMessage(QtDebugMsg, "SuperPassword key doesnt exist, setting it to 5183 now");
        window.reset(new MainWindow);
        dialogs = ScriptedDialogs();
        window->setDialogProvider(&dialogs);
    }

    void cleanup() { window.reset(); }

    void saveProfileWritesTheTable()
    {
        child<QAbstractButton>("pressureBAR")->click();
        child<QAbstractButton>("mmhgbut")->click();
        setCellText(12, 0, QStringLiteral("0.25"));
        setCellText(12, 1, QStringLiteral("3"));
        setCellText(12, 2, QStringLiteral("2.5"));
        setCellText(12, 3, QStringLiteral("10"));
        const QString fileName = path(QStringLiteral("saved.csv"));

        MessageBoxWatcher watcher;
        dialogs.fileNames << fileName;
        trigger("actionSave_Profile");

        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].kind, QStringLiteral("save"));
        QCOMPARE(dialogs.requests[0].caption, QStringLiteral("Save Profile"));
        QCOMPARE(dialogs.requests[0].proposal, QStringLiteral("profile.csv"));
        QCOMPARE(dialogs.requests[0].filter, QStringLiteral("Profile (*.csv)"));
        QVERIFY(watcher.texts.isEmpty());
        const QList<QByteArray> lines = readFile(fileName).split('\n');
        QCOMPARE(lines.size(), 402); // header, 400 rows, nothing after the last line end
        QCOMPARE(lines[0], QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (mmHg),Trigger"));
        QCOMPARE(lines[1], QByteArray("0,0,0,0,1"));
        QCOMPARE(lines[13], QByteArray("12,0.25,3,2.5,10"));
        QCOMPARE(lines[400], QByteArray("399,0,0,0,1"));
        QCOMPARE(lines[401], QByteArray());
    }

    void cancelledSaveShowsNothing()
    {
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);
        MessageBoxWatcher watcher;
        trigger("actionSave_Profile");
        QCOMPARE(dialogs.requests.size(), 1);
        QVERIFY(watcher.texts.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
    }

    void failedSaveShowsFileError()
    {
        MessageBoxWatcher watcher;
        dialogs.fileNames << path(QStringLiteral("missing/folder/profile.csv"));
        trigger("actionSave_Profile");
        QCOMPARE(watcher.texts, QStringList() << QStringLiteral(
                     "Could not open file. Check that the file is not in use by another application."));
        QCOMPARE(watcher.titles, QStringList() << QStringLiteral("File Error"));
        QVERIFY(watcher.critical);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("pressureButton");
        QTest::addColumn<QString>("vacuumButton");
        QTest::newRow("PSI, inches of water") << "pressurePSI" << "inchesh2obut";
        QTest::newRow("BAR, kPa") << "pressureBAR" << "kpabut";
        QTest::newRow("kPa, inches of mercury") << "pressureKPA" << "incheshgbut";
        QTest::newRow("PSI, Torr") << "pressurePSI" << "torrbut";
    }

    void roundTrip()
    {
        QFETCH(QString, pressureButton);
        QFETCH(QString, vacuumButton);
        child<QAbstractButton>(pressureButton.toLatin1().constData())->click();
        child<QAbstractButton>(vacuumButton.toLatin1().constData())->click();
        for (int row = 0; row < DispenserState::cellCount; row += 7) {
            setCellText(row, 0, QString::number((row % 90) / 10.0));
            setCellText(row, 1, QString::number((row % 60) / 10.0));
            setCellText(row, 2, QString::number((row % 13) / 100.0));
            setCellText(row, 3, QString::number(row * 250 + 1));
        }
        const ProfileView saved = view();
        const QString fileName = path(QStringLiteral("roundtrip.csv"));
        dialogs.fileNames << fileName;
        trigger("actionSave_Profile");

        // Change everything the file holds, then load it back.
        child<QAbstractButton>("pressureKPA")->click();
        child<QAbstractButton>("mmhgbut")->click();
        for (int row = 0; row < DispenserState::cellCount; row += 5) {
            for (int column = 0; column < 4; ++column)
                setCellText(row, column, QStringLiteral("1"));
        }
        QCOMPARE(openProfile(fileName), QStringList());

        QCOMPARE(dialogs.requests.last().kind, QStringLiteral("open"));
        QCOMPARE(dialogs.requests.last().caption, QStringLiteral("Select Profile"));
        QCOMPARE(dialogs.requests.last().proposal, QString());
        QCOMPARE(dialogs.requests.last().filter, QStringLiteral("Profile (*.csv *.hvx)"));
        const ProfileView loaded = view();
        QCOMPARE(loaded.headings, saved.headings);
        QCOMPARE(loaded.pressureButton, saved.pressureButton);
        QCOMPARE(loaded.vacuumButton, saved.vacuumButton);
        QCOMPARE(loaded.rangeBoxes, saved.rangeBoxes);
        QVERIFY(loaded.state.times == saved.state.times);
        QVERIFY(loaded.state.pressures == saved.state.pressures);
        QVERIFY(loaded.state.vacuums == saved.state.vacuums);
        QVERIFY(loaded.state.triggers == saved.state.triggers);
        verifyTableMatchesRecord();
    }

    void loadingRunsTheCellCheck()
    {
        const QString fileName = writeFile(QStringLiteral("check.csv"),
                                           psiH2OHeader
                                               + "3,0.5,250,2,10\n"
                                                 "7,0.5\n"
                                                 "8,12,-1,30,2.7e2\n");
        const ProfileView before = view();
        QCOMPARE(openProfile(fileName), QStringList());

        QCOMPARE(cellText(3, 1), QStringLiteral("100.0"));
        QCOMPARE(state().pressures[3], 100.0);
        QCOMPARE(cellText(3, 0), QStringLiteral("0.5"));
        QCOMPARE(cellText(7, 0), QStringLiteral("0.5"));
        QCOMPARE(cellText(7, 3), QStringLiteral("1"));
        QCOMPARE(state().triggers[7], 1);
        QCOMPARE(cellText(8, 0), QStringLiteral("9.9999"));
        QCOMPARE(cellText(8, 1), QStringLiteral("0.0"));
        QCOMPARE(cellText(8, 2), QStringLiteral("18.0"));
        QCOMPARE(state().vacuums[8], 18.0);
        // A trigger that is not a whole decimal number reads as 0, shown as 1.
        QCOMPARE(state().triggers[8], 1);
        // A text file keeps the range.
        QCOMPARE(view().rangeBoxes, before.rangeBoxes);
        QCOMPARE(state().startCell, before.state.startCell);
        QCOMPARE(state().endCell, before.state.endCell);
        verifyTableMatchesRecord();
    }

    void loadingCorrectsCellsWhoseTextIsUnchanged()
    {
        // 50 under PSI stays 50 when the unit becomes bar; a bar file that
        // holds 50 again must still be brought into the bar range.
        setCellText(4, 1, QStringLiteral("50"));
        child<QAbstractButton>("pressureBAR")->click();
        QCOMPARE(cellText(4, 1), QStringLiteral("50"));
        const QString fileName = writeFile(
            QStringLiteral("bar.csv"),
            "Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (\"H2O),Trigger\n4,0,50,0,1\n");
        QCOMPARE(openProfile(fileName), QStringList());
        QCOMPARE(cellText(4, 1), QStringLiteral("6.895"));
        QCOMPARE(state().pressures[4], 6.895);
    }

    // Every row is shown afresh, but only the file's rows change value.
    void rowsOutsideTheFileKeepTheirValues()
    {
        setCellText(9, 0, QStringLiteral("1.5"));
        setCellText(13, 3, QStringLiteral("77"));
        DispenserState expected = state();
        const QVector<int> rangeBefore = view().rangeBoxes;
        const QString fileName = writeFile(QStringLiteral("rows.csv"),
                                           psiH2OHeader + "10,1,2,3,4\n11,1,2,3,4\n12,1,2,3,4\n");
        QCOMPARE(openProfile(fileName), QStringList());
        for (int row = 10; row <= 12; ++row) {
            expected.times[row] = 1.0;
            expected.pressures[row] = 2.0;
            expected.vacuums[row] = 3.0;
            expected.triggers[row] = 4;
        }
        QVERIFY(state().times == expected.times);
        QVERIFY(state().pressures == expected.pressures);
        QVERIFY(state().vacuums == expected.vacuums);
        QVERIFY(state().triggers == expected.triggers);
        QCOMPARE(cellText(9, 0), QStringLiteral("1.5"));
        QCOMPARE(cellText(11, 3), QStringLiteral("4"));
        QCOMPARE(cellText(13, 3), QStringLiteral("77"));
        QCOMPARE(view().rangeBoxes, rangeBefore);
        verifyTableMatchesRecord();
    }

    void spreadsheetFileLoads()
    {
        const QString fileName = writeFile(
            QStringLiteral("excel.csv"),
            "Mem Cell,Dispense Time(s),Dispense Pressure (kPa),Vacuum (Torr),Trigger\r\n"
            "0,0.125,500,20,3\r\n"
            "\r\n"
            "1,0.25,600,30,4\r\n");
        QCOMPARE(openProfile(fileName), QStringList());
        QCOMPARE(child<QButtonGroup>("pressureUnitGroup")->checkedId(), 2);
        QCOMPARE(child<QButtonGroup>("vacuumUnitsGroup")->checkedId(), 4);
        QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("Dispense\nPressure (kPa)"));
        QCOMPARE(table()->horizontalHeaderItem(2)->text(), QStringLiteral("Vacuum\n(Torr)"));
        QCOMPARE(cellText(0, 0), QStringLiteral("0.125"));
        QCOMPARE(cellText(0, 1), QStringLiteral("500"));
        QCOMPARE(cellText(1, 2), QStringLiteral("30"));
        QCOMPARE(state().triggers[1], 4);
        verifyTableMatchesRecord();
    }

    void refusedFileLeavesTheWindowAsItWas_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("pressure unit")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (atm),Vacuum (Torr),Trigger\n1,1,1,1,1\n")
            << "Pressure Units not recognized. Was the profile file edited manually?";
        QTest::newRow("vacuum unit")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (H2O),Trigger\n1,1,1,1,1\n")
            << "Vacuum Units not recognized. Was the profile file edited manually?";
        QTest::newRow("mem cell")
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (kPa),Vacuum (Torr),Trigger\n"
                          "1,1,1,1,1\n2,2,2,2,2\n400,1,2,3,4\n")
            << "Invalid Mem Cell found in profile. Was the profile file edited manually?";
        QTest::newRow("truncated binary")
            << binaryProfile(2, 4, 5, 9, {{1, 2, 3, 4}, {1, 2, 3, 4}})
            << "Profile file is truncated. Was the profile file edited manually?";
    }

    void refusedFileLeavesTheWindowAsItWas()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        setCellText(1, 0, QStringLiteral("3.5"));
        setCellText(2, 1, QStringLiteral("40"));
        const ProfileView before = view();

        MessageBoxWatcher watcher;
        dialogs.fileNames << writeFile(QStringLiteral("refused.csv"), content);
        trigger("actionOpen_Profile");

        QCOMPARE(watcher.texts, QStringList() << message);
        QCOMPARE(watcher.titles, QStringList() << QStringLiteral("File Error"));
        QVERIFY(watcher.critical);
        compareViews(view(), before);
    }

    void missingFileShowsOpenError()
    {
        const ProfileView before = view();
        const QStringList texts = openProfile(path(QStringLiteral("gone.csv")));
        QCOMPARE(texts, QStringList() << QStringLiteral(
                     "Could not open file. Check that the file is not in use by another application."));
        compareViews(view(), before);
    }

    void cancelledOpenChangesNothing()
    {
        const ProfileView before = view();
        QCOMPARE(openProfile(QString()), QStringList());
        compareViews(view(), before);
    }

    void binaryProfileSetsUnitsRangeAndCells()
    {
        // Start 500 reads as 0, vacuum unit 9 as 1 ("H2O).
        const QString fileName = writeFile(
            QStringLiteral("profile.hvx"),
            binaryProfile(2, 9, 500, 2, {{0.5, 700, 2, 2.9}, {12, 100, 19, 5}, {1, 2, 3, 4}}));
        QCOMPARE(openProfile(fileName), QStringList());

        QCOMPARE(child<QButtonGroup>("pressureUnitGroup")->checkedId(), 2);
        QCOMPARE(child<QButtonGroup>("vacuumUnitsGroup")->checkedId(), 1);
        QCOMPARE(state().startCell, 0);
        QCOMPARE(state().endCell, 2);
        QCOMPARE(view().rangeBoxes, (QVector<int>{0, 2, 0, 2}));
        QCOMPARE(cellText(0, 1), QStringLiteral("689.5"));
        QCOMPARE(cellText(0, 3), QStringLiteral("2"));
        QCOMPARE(cellText(1, 0), QStringLiteral("9.9999"));
        QCOMPARE(cellText(1, 2), QStringLiteral("18.0"));
        QCOMPARE(cellText(2, 3), QStringLiteral("4"));
        verifyTableMatchesRecord();
    }

    void binaryReversedRangeTakesUnitsOnly()
    {
        setCellText(6, 0, QStringLiteral("2.5"));
        const ProfileView before = view();
        const QString fileName =
            writeFile(QStringLiteral("reversed.hvx"), binaryProfile(1, 3, 10, 5, {}));
        QCOMPARE(openProfile(fileName), QStringList());
        const ProfileView loaded = view();
        QCOMPARE(loaded.pressureButton, 1);
        QCOMPARE(loaded.vacuumButton, 3);
        QCOMPARE(loaded.rangeBoxes, before.rangeBoxes);
        QCOMPARE(loaded.state.startCell, before.state.startCell);
        QCOMPARE(loaded.state.endCell, before.state.endCell);
        QVERIFY(loaded.state.times == before.state.times);
        QVERIFY(loaded.state.triggers == before.state.triggers);
        QCOMPARE(cellText(6, 0), QStringLiteral("2.5"));
        verifyTableMatchesRecord();
    }

    void testFileSaveWritesWithoutFilter()
    {
        const QString fileName = path(QStringLiteral("quick.csv"));
        MessageBoxWatcher watcher;
        dialogs.fileNames << fileName;
        QVERIFY(QMetaObject::invokeMethod(window.get(), "testFileSave_clicked"));
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].kind, QStringLiteral("open"));
        QCOMPARE(dialogs.requests[0].caption, QStringLiteral("Open a file to save to"));
        QCOMPARE(dialogs.requests[0].proposal, QString());
        QCOMPARE(dialogs.requests[0].filter, QString());
        QVERIFY(readFile(fileName).startsWith(psiH2OHeader + "0,0,0,0,1\n"));

        // Its result is ignored: no box even when the file cannot be written.
        dialogs.fileNames << path(QStringLiteral("missing/quick.csv"));
        QVERIFY(QMetaObject::invokeMethod(window.get(), "testFileSave_clicked"));
        QVERIFY(watcher.texts.isEmpty());
    }
};

QTEST_MAIN(TestProfileFileWindow)
#include "tst_profilefilewindow.moc"
