// Whole user flows against the simulated dispenser, driven only through the
// window's widgets: the port chosen on the Communication page and Connect,
// Get, Send, turning the memory cell, Supervisor mode, editing, pasting,
// bulk-adjusting and transmitting the profile, profile files and jobs, every
// configuration page with Apply, an alarm, and Disconnect. Each flow checks
// what the user sees and what the dispenser then holds.
#include "AnsweringDialogs.h"
#include "MainWindow.h"
#include "MessageBoxCloser.h"
#include "QTableWidgetWithCopyPaste.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "UserActions.h"
#include "WindowOnSimulator.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace UserActions;

namespace {

using Cell = SimulatedDispenser::Cell;

// Count mode, Steady, cells 5 to 120, current cell 7, 1234 shots, 2:05 PM.
SimulatedDispenser::State exampleDispenser()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = true;
    s.autoIncrementType = 2;
    s.dispenseMode = 1;
    s.startCell = 5;
    s.endCell = 120;
    s.currentCell = 7;
    s.cells[7] = {2500, 305, 25, 10};
    s.cells[25] = {4000, 120, 50, 30};
    s.shotCount = 1234;
    s.hour = 2;
    s.minute = 5;
    s.clockIndicator = 1;
    s.month = 3;
    s.day = 14;
    s.year = 25;
    return s;
}

} // namespace

// Found by argument lookup from QCOMPARE, so it lives beside the Cell type.
static bool operator==(const Cell &a, const Cell &b)
{
    return a.time == b.time && a.pressure == b.pressure && a.vacuum == b.vacuum
           && a.trigger == b.trigger;
}

namespace QTest {
template <> char *toString(const Cell &cell)
{
    return qstrdup(QStringLiteral("{time %1, pressure %2, vacuum %3, trigger %4}")
                       .arg(cell.time).arg(cell.pressure).arg(cell.vacuum).arg(cell.trigger)
                       .toLatin1().constData());
}
} // namespace QTest

class TestEndToEndFlows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedDispenser> dispenser;
    std::unique_ptr<MainWindow> window;
    AnsweringDialogs dialogs;
    QTemporaryDir folder;

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    QTableWidget *table() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    QString connectionText() const { return connectionLabel(*window)->text(); }
    QString cellText(int row, int column) const { return table()->item(row, column)->text(); }
    Cell heldCell(int cell) const { return dispenser->state().cells[size_t(cell)]; }

    QTimer *alarmTimer() const
    {
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->interval() == 10000)
                return timer;
        }
        qFatal("no alarm timer");
    }

    // Exchanges of the dispenser since the log was last cleared, once the
    // window's last session is closed.
    QList<QByteArray> packetsOnceIdle() const
    {
        (void)QTest::qWaitFor([this] {
            const QByteArray bytes = dispenser->receivedBytes();
            return bytes.isEmpty() || bytes.endsWith('\x04');
        }, 3000);
        return dispenser->receivedPackets();
    }

    // Forgets what the dispenser received, once the window's last session is
    // closed, so that its closing byte does not come after.
    void clearLogOnceIdle()
    {
        packetsOnceIdle();
        dispenser->clearLog();
    }

    void showTab(const char *page) { QVERIFY(UserActions::showTab(*window, child<QWidget>(page))); }

    // Opens a page of the configuration tree as the user does.
    void openConfigPage(const QString &item, int expectedIndex)
    {
        showTab("tabPelidor7Config");
        QVERIFY(clickTreeItem(*window, item));
        QCOMPARE(child<QStackedWidget>("configStackWidget")->currentIndex(), expectedIndex);
    }

    QString helpText() const { return child<QPlainTextEdit>("commandHelpEdit")->toPlainText(); }

    void apply() { click(child<QPushButton>("configApplyButton")); }

    // The job range, typed into the settings dock; the bulk-adjust range
    // follows it.
    void typeCellRange(int start, int end)
    {
        showTab("tabCurrentSettings");
        retype(child<QSpinBox>("endMemCell"), QString::number(end));
        retype(child<QSpinBox>("startMemCell"), QString::number(start));
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), start);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), end);
        waitForCellRead();
    }

    void enterSupervisor()
    {
        QVERIFY(enterSupervisorMode(*window, QStringLiteral("5183")));
        QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Supervisor Mode"));
    }

    // Pastes a block of tab-separated rows with its top left at (row, column).
    void pasteBlock(int row, int column, const QString &block)
    {
        showTab("tabDispenseProfile");
        QTableWidgetItem *topLeft = table()->item(row, column);
        table()->scrollToItem(topLeft);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          table()->visualItemRect(topLeft).center());
        QApplication::clipboard()->setText(block);
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
    }

    void transmit()
    {
        showTab("tabDispenseProfile");
        click(child<QPushButton>("pushButton"));
    }

    void clickGet() { showTab("tabCurrentSettings"); click(child<QPushButton>("pushButton_4")); }
    void clickSend() { showTab("tabCurrentSettings"); click(child<QPushButton>("pushButton_5")); }

    QTimer *memCellTimer() const
    {
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->isSingleShot() && timer->interval() == 500)
                return timer;
        }
        qFatal("no memory-cell timer");
    }

    // Lets the delayed read that follows a turn of the memory cell run out.
    // That read writes the cell into the record behind the table, so a flow
    // that edits the table waits for it first.
    void waitForCellRead()
    {
        QTRY_VERIFY(!memCellTimer()->isActive());
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    // Every flow starts the way a user does: the dispenser's device stored
    // as the port, the window opened, the port chosen on the Communication
    // page at 115200 baud, and Connect.
    void init()
    {
        TestSettings::clear();
        dispenser.reset(new SimulatedDispenser);
        QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
        dispenser->setState(exampleDispenser());
        WindowOnSimulator::storePort(*dispenser);

        window.reset(new MainWindow);
        dialogs = AnsweringDialogs();
        window->setDialogProvider(&dialogs);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // The alarm flow starts its polls itself; elsewhere they would only
        // mix their exchanges into the dispenser's log.
        alarmTimer()->blockSignals(true);

        openConfigPage(QStringLiteral("Comm"), 0);
        QRadioButton *portButton = nullptr;
        for (QAbstractButton *button : child<QButtonGroup>("COMportGroup")->buttons()) {
            if (button->text() == dispenser->devicePath())
                portButton = qobject_cast<QRadioButton *>(button);
        }
        QVERIFY2(portButton, "the dispenser's device is not offered");
        QVERIFY(portButton->isChecked());
        click(portButton);
        click(child<QRadioButton>("baud115200"));

        showTab("tabCurrentSettings");
        click(child<QPushButton>("connectButton"));
        QCOMPARE(child<QPushButton>("connectButton")->text(), QStringLiteral("Disconnect"));
        clearLogOnceIdle();
    }

    void cleanup()
    {
        window.reset();
        dispenser.reset();
    }

    void connectGetAndDisconnect()
    {
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(connectionLabel(*window)->styleSheet(), QStringLiteral("color: green;"));
        QCOMPARE(TestSettings::value("COMport").toString(), dispenser->devicePath());
        QCOMPARE(TestSettings::value("baudeRate").toInt(), 115200);

        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QVERIFY(!packetsOnceIdle().isEmpty());

        click(child<QPushButton>("connectButton"));
        QCOMPARE(child<QPushButton>("connectButton")->text(), QStringLiteral("Connect"));
        QCOMPARE(connectionText(), QStringLiteral("Not Connected to Pelidor 7"));
        QCOMPARE(connectionLabel(*window)->styleSheet(), QStringLiteral("color: red;"));

        // Disconnected, the window asks for a connection and sends nothing.
        clearLogOnceIdle();
        const QString timeShown = child<QLabel>("dispenseTimeLabel")->text();
        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        clickSend();
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        QTest::qWait(50);
        QCOMPARE(dispenser->receivedBytes(), QByteArray());
        QCOMPARE(child<QLabel>("dispenseTimeLabel")->text(), timeShown);

        // And connects again.
        click(child<QPushButton>("connectButton"));
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
    }

    void getShowsWhatTheDispenserHolds()
    {
        clickGet();

        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(child<QLabel>("aiModeLabel")->text(), QStringLiteral("Count"));
        QVERIFY(child<QRadioButton>("aiModeCount")->isChecked());
        QVERIFY(child<QRadioButton>("dispenseModeSteady")->isChecked());
        QCOMPARE(child<QLabel>("strtMemCellLabel")->text(), QStringLiteral("5"));
        QCOMPARE(child<QLabel>("endMemCellLabel")->text(), QStringLiteral("120"));
        QCOMPARE(child<QLabel>("currMemCellLabel")->text(), QStringLiteral("7"));
        QCOMPARE(child<QLabel>("dispenseTimeLabel")->text(), QStringLiteral("0.25"));
        QCOMPARE(child<QLabel>("dispensePressLabel")->text(), QStringLiteral("30.5"));
        QCOMPARE(child<QLabel>("dispenseVacLabel")->text(), QStringLiteral("2.5"));
        QCOMPARE(child<QLabel>("trigLabel")->text(), QStringLiteral("10"));
        QCOMPARE(child<QLabel>("shotCountLabel")->text(), QStringLiteral("1234"));
        QCOMPARE(child<QLabel>("dateTimeLabel")->text(), QStringLiteral("2:05 PM"));
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 5);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 120);
        QCOMPARE(child<QSpinBox>("memCell")->value(), 7);
        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 0.25);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->value(), 30.5);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 2.5);
        QCOMPARE(child<QSpinBox>("triggerBox")->value(), 10);

        const DispenserState &record = window->dispenserState();
        QCOMPARE(record.aiMode, 1);
        QCOMPARE(record.dispenseMode, 1);
        QCOMPARE(record.startCell, 5);
        QCOMPARE(record.endCell, 120);
        QCOMPARE(record.currentCell, 7);
        QCOMPARE(record.times[7], 0.25);
        QCOMPARE(record.pressures[7], 30.5);
        QCOMPARE(record.vacuums[7], 2.5);
        QCOMPARE(record.triggers[7], 10);

        // Reading changes nothing on the dispenser.
        const SimulatedDispenser::State held = dispenser->state();
        const SimulatedDispenser::State example = exampleDispenser();
        QCOMPARE(held.currentCell, example.currentCell);
        QCOMPARE(held.startCell, example.startCell);
        QCOMPARE(held.endCell, example.endCell);
        QCOMPARE(held.cells[7], example.cells[7]);
    }

    void changeAndSend()
    {
        clickGet();
        click(child<QRadioButton>("aiModeTimed"));
        click(child<QRadioButton>("dispenseModeTimed"));
        typeCellRange(20, 30);
        retype(child<QSpinBox>("memCell"), QStringLiteral("25"));
        // The boxes first show what the dispenser holds in the new cell.
        waitForCellRead();
        QVERIFY(dispenser->receivedPackets().contains("05E8025"));
        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 0.4);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->value(), 12.0);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 5.0);

        retype(child<QDoubleSpinBox>("dispenseTime"), QStringLiteral("1.5"));
        retype(child<QDoubleSpinBox>("pressureBox"), QStringLiteral("42.5"));
        retype(child<QDoubleSpinBox>("vacuumBox"), QStringLiteral("3.5"));
        retype(child<QSpinBox>("triggerBox"), QStringLiteral("77"));
        clearLogOnceIdle();
        clickSend();

        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        packetsOnceIdle();
        const SimulatedDispenser::State held = dispenser->state();
        QVERIFY(held.autoIncrementOn);
        QCOMPARE(held.autoIncrementType, 1);
        QCOMPARE(held.dispenseMode, 0);
        QCOMPARE(held.startCell, 20);
        QCOMPARE(held.endCell, 30);
        QCOMPARE(held.currentCell, 25);
        QCOMPARE(held.cells[25], (Cell{15000, 425, 35, 77}));
        QCOMPARE(window->dispenserState().aiMode, 0);
    }

    void turningTheMemoryCellReadsOnlyTheLastCell()
    {
        auto *memCell = child<QSpinBox>("memCell");
        const int first = memCell->value();
        const int last = first + 3;
        SimulatedDispenser::State s = exampleDispenser();
        s.cells[size_t(last)] = {12345, 150, 40, 99};
        dispenser->setState(s);

        for (int step = 0; step < 3; ++step)
            QTest::keyClick(memCell, Qt::Key_Up);
        QCOMPARE(memCell->value(), last);
        waitForCellRead();

        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 1.2345);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->value(), 15.0);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 4.0);
        QCOMPARE(window->dispenserState().times[last], 1.2345);
        QCOMPARE(window->dispenserState().pressures[last], 15.0);
        QCOMPARE(window->dispenserState().vacuums[last], 4.0);
        // One read for the cell the turning stopped at, none on the way.
        auto cellRead = [](int cell) { return "05E8" + QByteArray::number(cell).rightJustified(3, '0'); };
        const QList<QByteArray> packets = packetsOnceIdle();
        QCOMPARE(packets.count(cellRead(last)), 1);
        for (int passed = first; passed < last; ++passed)
            QVERIFY(!packets.contains(cellRead(passed)));
        // Reading selects nothing on the dispenser.
        QCOMPARE(dispenser->state().currentCell, 7);
    }

    void supervisorModeWithThePassword()
    {
        auto *tabs = child<QTabWidget>("centralTabWidget");
        QCOMPARE(tabs->indexOf(child<QWidget>("tabDispenseProfile")), -1);

        // A wrong password keeps the Operator mode.
        QVERIFY(enterSupervisorMode(*window, QStringLiteral("1111")));
        QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Operator Mode"));
        QCOMPARE(tabs->indexOf(child<QWidget>("tabDispenseProfile")), -1);

        clearLogOnceIdle();
        enterSupervisor();
        QCOMPARE(tabs->currentWidget(), child<QWidget>("tabDispenseProfile"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Dispense Profile"));
        QVERIFY(child<QDockWidget>("bulkAdjustDock")->isVisible());
        QVERIFY(child<QAction>("actionOperator_Mode")->isVisible());
        QVERIFY(!child<QAction>("actionSupervisor_Mode")->isVisible());
        // The operator lockouts were read from the dispenser with the password.
        const QList<QByteArray> packets = packetsOnceIdle();
        QCOMPARE(packets.size(), 1);
        QVERIFY(packets.first().contains("EH"));
        QVERIFY(packets.first().contains("5183"));

        child<QAction>("actionOperator_Mode")->trigger();
        QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Operator Mode"));
        QCOMPARE(tabs->indexOf(child<QWidget>("tabDispenseProfile")), -1);
        QVERIFY(!child<QDockWidget>("bulkAdjustDock")->isVisible());
    }

    void editPasteAdjustAndTransmitTheProfile()
    {
        enterSupervisor();
        typeCellRange(10, 13);

        showTab("tabDispenseProfile");
        QVERIFY(editCell(table(), 10, 0, QStringLiteral("1.25")));
        QVERIFY(editCell(table(), 10, 1, QStringLiteral("20")));
        QVERIFY(editCell(table(), 10, 2, QStringLiteral("3")));
        QVERIFY(editCell(table(), 10, 3, QStringLiteral("100")));
        QCOMPARE(cellText(10, 0), QStringLiteral("1.25"));
        QCOMPARE(cellText(10, 3), QStringLiteral("100"));
        QCOMPARE(window->dispenserState().times[10], 1.25);
        QCOMPARE(window->dispenserState().triggers[10], 100);

        // The last row lies outside every limit: the table corrects it.
        pasteBlock(11, 0, QStringLiteral("0.5\t10\t1.5\t200\n0.75\t12\t2\t300\n12\t150\t20\t0"));
        QCOMPARE(cellText(12, 0), QStringLiteral("0.75"));
        QCOMPARE(cellText(13, 0), QStringLiteral("9.9999"));
        QCOMPARE(cellText(13, 1), QStringLiteral("100.0"));
        QCOMPARE(cellText(13, 2), QStringLiteral("18.0"));
        QCOMPARE(cellText(13, 3), QStringLiteral("1"));

        // Pressure of cells 10 to 13 raised by 10 %.
        click(child<QRadioButton>("bulkAdjustParameterPressure"));
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), QStringLiteral("PSI"));
        retype(child<QDoubleSpinBox>("bulkAdjustPercent"), QStringLiteral("10"));
        click(child<QPushButton>("bulkAdjustApply"));
        QCOMPARE(cellText(10, 1), QStringLiteral("22"));
        QCOMPARE(cellText(11, 1), QStringLiteral("11"));
        QCOMPARE(cellText(12, 1), QStringLiteral("13.2"));
        QCOMPARE(cellText(13, 1), QStringLiteral("100.0"));
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), 0.0);

        clearLogOnceIdle();
        transmit();
        QCOMPARE(connectionText(), QStringLiteral("Transmitting MemCell 13"));
        packetsOnceIdle();
        QCOMPARE(heldCell(10), (Cell{12500, 220, 30, 100}));
        QCOMPARE(heldCell(11), (Cell{5000, 110, 15, 200}));
        QCOMPARE(heldCell(12), (Cell{7500, 132, 20, 300}));
        QCOMPARE(heldCell(13), (Cell{99999, 1000, 180, 1}));
        QCOMPARE(heldCell(9), Cell());
        QCOMPARE(heldCell(14), Cell());
        QCOMPARE(dispenser->state().startCell, 10);
        QCOMPARE(dispenser->state().endCell, 13);
    }

    // Typed start first, the end's first digit lies below the start for a
    // moment; the range the user ends up seeing is still the one sent.
    void rangeTypedStartFirstIsTheRangeTransmitted()
    {
        enterSupervisor();
        showTab("tabCurrentSettings");
        retype(child<QSpinBox>("startMemCell"), QStringLiteral("10"));
        retype(child<QSpinBox>("endMemCell"), QStringLiteral("13"));
        waitForCellRead();
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 13);
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), 10);
        QCOMPARE(window->dispenserState().startCell, 10);

        clearLogOnceIdle();
        transmit();
        QCOMPARE(connectionText(), QStringLiteral("Transmitting MemCell 13"));
        QCOMPARE(packetsOnceIdle().first(), QByteArray("07CH  010"));
        QCOMPARE(dispenser->state().startCell, 10);
        QCOMPARE(dispenser->state().endCell, 13);
    }

    // The profile table is what the user edits and sees; a read of the same
    // cell in the settings dock shows up in it, and Transmit sends what it
    // shows.
    void transmitSendsWhatTheTableShowsAfterACellRead()
    {
        enterSupervisor();
        typeCellRange(10, 11);
        showTab("tabDispenseProfile");
        QVERIFY(editCell(table(), 10, 0, QStringLiteral("1.25")));
        QVERIFY(editCell(table(), 10, 3, QStringLiteral("100")));

        // Turning the dock's memory cell away and back reads cell 10, whose
        // time on the dispenser is 0.
        showTab("tabCurrentSettings");
        QTest::keyClick(child<QSpinBox>("memCell"), Qt::Key_Up);
        QTest::keyClick(child<QSpinBox>("memCell"), Qt::Key_Down);
        waitForCellRead();
        QCOMPARE(cellText(10, 0).toDouble(), 0.0);
        // The trigger read is that of the dispenser's current cell, not of 10.
        QCOMPARE(cellText(10, 3), QStringLiteral("100"));

        transmit();
        packetsOnceIdle();
        QCOMPARE(heldCell(10).time, 0);
        QCOMPARE(heldCell(10).trigger, 100);
    }

    void saveAndReloadTheProfile()
    {
        enterSupervisor();
        typeCellRange(0, 2);
        // Bar, chosen on the units page, goes into the file with the cells.
        openConfigPage(QStringLiteral("Pressure"), 1);
        click(child<QRadioButton>("pressureBAR"));
        pasteBlock(0, 0, QStringLiteral("0.5\t0.5\t1\t10\n1\t0.25\t2\t20\n2\t1\t3\t30"));

        const QString path = folder.filePath(QStringLiteral("bead.csv"));
        dialogs.answers = {path};
        child<QAction>("actionSave_Profile")->trigger();
        QCOMPARE(dialogs.questions, QStringList{QStringLiteral("save file: Save Profile")});
        QVERIFY(QFile::exists(path));

        // Everything the file holds is changed, then the file opened again.
        openConfigPage(QStringLiteral("Pressure"), 1);
        click(child<QRadioButton>("pressurePSI"));
        pasteBlock(0, 0, QStringLiteral("9\t90\t9\t9\n9\t90\t9\t9\n9\t90\t9\t9"));
        typeCellRange(1, 5);
        {
            MessageBoxCloser boxes;
            dialogs.answers = {path};
            child<QAction>("actionOpen_Profile")->trigger();
            QCOMPARE(boxes.texts(), QStringList());
        }

        QVERIFY(child<QRadioButton>("pressureBAR")->isChecked());
        QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("Dispense\nPressure (BAR)"));
        // The file holds cells, not the job range.
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 1);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 5);
        const QStringList expected = {"0.5", "0.5", "1", "10", "1", "0.25", "2", "20", "2", "1", "3", "30"};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column)
                QCOMPARE(table()->item(row, column)->text().toDouble(), expected[row * 4 + column].toDouble());
        }

        // The reloaded profile reaches the dispenser, bar in hundredths.
        typeCellRange(0, 2);
        transmit();
        QCOMPARE(connectionText(), QStringLiteral("Transmitting MemCell 2"));
        packetsOnceIdle();
        QCOMPARE(heldCell(0), (Cell{5000, 500, 10, 10}));
        QCOMPARE(heldCell(1), (Cell{10000, 250, 20, 20}));
        QCOMPARE(heldCell(2), (Cell{20000, 1000, 30, 30}));
    }

    void saveAndLoadAJob()
    {
        // A profile file for the job to point at.
        enterSupervisor();
        typeCellRange(3, 5);
        pasteBlock(3, 0, QStringLiteral("0.1\t5\t1\t11\n0.2\t6\t2\t12\n0.3\t7\t3\t13"));
        const QString path = folder.filePath(QStringLiteral("job.csv"));
        dialogs.answers = {path};
        child<QAction>("actionSave_Profile")->trigger();
        child<QAction>("actionOperator_Mode")->trigger();

        showTab("tabCurrentSettings");
        click(child<QRadioButton>("aiModeCount"));
        click(child<QRadioButton>("dispenseModeSteady"));
        dialogs.questions.clear();
        dialogs.answers = {4, QStringLiteral("Bead line"), path};
        child<QAction>("actionSave_Job")->trigger();
        QCOMPARE(dialogs.questions,
                 (QStringList{"number: Select Job Number", "text: Job Description",
                              "open file: Select Profile"}));
        auto *jobs = child<QTableWidget>("jobTableWidget");
        QCOMPARE(jobs->item(3, 0)->text(), QStringLiteral("Bead line"));
        QCOMPARE(jobs->item(3, 1)->text(), path);
        QCOMPARE(jobs->item(0, 0)->text(), QStringLiteral("No Job"));

        // Everything the job holds is changed, then the job's row double-clicked.
        click(child<QRadioButton>("aiModeOff"));
        click(child<QRadioButton>("dispenseModeTimed"));
        typeCellRange(0, 399);
        enterSupervisor();
        pasteBlock(3, 0, QStringLiteral("0\t0\t0\t1\n0\t0\t0\t1\n0\t0\t0\t1"));
        child<QAction>("actionOperator_Mode")->trigger();
        QVERIFY(child<QDockWidget>("jobDockWidget")->isVisible());
        jobs->scrollToItem(jobs->item(3, 0));
        const QPoint row = jobs->visualItemRect(jobs->item(3, 0)).center();
        QTest::mouseClick(jobs->viewport(), Qt::LeftButton, Qt::NoModifier, row);
        QTest::mouseDClick(jobs->viewport(), Qt::LeftButton, Qt::NoModifier, row);

        QVERIFY(child<QRadioButton>("aiModeCount")->isChecked());
        QVERIFY(child<QRadioButton>("dispenseModeSteady")->isChecked());
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 3);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 5);
        QCOMPARE(cellText(4, 1).toDouble(), 6.0);

        // The dispenser takes the job's settings and profile.
        clearLogOnceIdle();
        clickSend();
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        enterSupervisor();
        transmit();
        packetsOnceIdle();
        const SimulatedDispenser::State held = dispenser->state();
        QVERIFY(held.autoIncrementOn);
        QCOMPARE(held.autoIncrementType, 2);
        QCOMPARE(held.dispenseMode, 1);
        QCOMPARE(held.startCell, 3);
        QCOMPARE(held.endCell, 5);
        QCOMPARE(heldCell(3), (Cell{1000, 50, 10, 11}));
        QCOMPARE(heldCell(5), (Cell{3000, 70, 30, 13}));

        // A job number never saved is refused with a message.
        MessageBoxCloser boxes;
        dialogs.answers = {9};
        child<QAction>("actionOpen_Job")->trigger();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Job Not Found")});
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 3);
    }

    void communicationPageAppliesNothing()
    {
        openConfigPage(QStringLiteral("Comm"), 0);
        QCOMPARE(helpText(), QStringLiteral("Set communications port and baud rate."));
        apply();
        QTest::qWait(50);
        QCOMPARE(dispenser->receivedBytes(), QByteArray());
    }

    void pressureUnitsPage()
    {
        SimulatedDispenser::State s = exampleDispenser();
        s.pressureUnit = 2;
        dispenser->setState(s);

        openConfigPage(QStringLiteral("Units"), 1);
        QVERIFY(child<QRadioButton>("pressureKPA")->isChecked());
        openConfigPage(QStringLiteral("Pressure"), 1);
        QCOMPARE(helpText(), QStringLiteral("Set units for pressure and vacuum."));
        QVERIFY(child<QRadioButton>("pressureKPA")->isChecked());
        QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("Dispense\nPressure (kPa)"));

        click(child<QRadioButton>("pressureBAR"));
        apply();
        packetsOnceIdle();
        QCOMPARE(dispenser->state().pressureUnit, 1);
        QCOMPARE(child<QLabel>("label_23")->text(), QStringLiteral("Pres (BAR):"));
    }

    void vacuumUnitsPage()
    {
        SimulatedDispenser::State s = exampleDispenser();
        s.vacuumUnit = 3;
        dispenser->setState(s);

        openConfigPage(QStringLiteral("Vacuum"), 2);
        QVERIFY(child<QRadioButton>("mmhgbut")->isChecked());
        click(child<QRadioButton>("torrbut"));
        apply();
        packetsOnceIdle();
        QCOMPARE(dispenser->state().vacuumUnit, 4);
        QCOMPARE(child<QLabel>("label_24")->text(), QStringLiteral("Vac (Torr):"));
    }

    void timeAndDatePage()
    {
        SimulatedDispenser::State s = exampleDispenser();
        s.hour = 13;
        s.minute = 5;
        s.clockIndicator = 2;
        dispenser->setState(s);

        openConfigPage(QStringLiteral("Time/Date"), 3);
        QCOMPARE(helpText(), QStringLiteral("Set Time and Date on the Pelidor 7."));
        auto *calendar = child<QCalendarWidget>("calendarWidget");
        auto *clock = child<QTimeEdit>("timeEdit");
        QCOMPARE(calendar->selectedDate(), QDate(2025, 3, 14));
        QCOMPARE(clock->time(), QTime(13, 5));
        QVERIFY(child<QCheckBox>("check24hr")->isChecked());

        // One day on in the calendar, one hour on in the clock, 12-hour clock.
        QTest::keyClick(calendar->findChild<QAbstractItemView *>(), Qt::Key_Right);
        QCOMPARE(calendar->selectedDate(), QDate(2025, 3, 15));
        QTest::keyClick(clock, Qt::Key_Up);
        QCOMPARE(clock->time(), QTime(14, 5));
        click(child<QCheckBox>("check24hr"));
        QCOMPARE(clock->displayFormat(), QStringLiteral("h:mm A"));

        apply();
        packetsOnceIdle();
        const SimulatedDispenser::State held = dispenser->state();
        QCOMPARE(held.hour, 2);
        QCOMPARE(held.minute, 5);
        QCOMPARE(held.clockIndicator, 1);
        QCOMPARE(held.month, 3);
        QCOMPARE(held.day, 15);
        QCOMPARE(held.year, 25);
    }

    void alarmOptionsPage()
    {
        openConfigPage(QStringLiteral("Alarm Options"), 4);
        QCOMPARE(helpText(), QStringLiteral("Set Alarm Options on the Pelidor 7."));
        for (QAbstractButton *box : child<QButtonGroup>("alarmsGroup")->buttons())
            QVERIFY(!box->isChecked());

        click(child<QCheckBox>("alarmIN"));
        click(child<QCheckBox>("alarmAE"));
        apply();
        packetsOnceIdle();
        QCOMPARE(dispenser->state().alarmOptions, 1u | 32u);

        click(child<QCheckBox>("alarmIN"));
        apply();
        packetsOnceIdle();
        QCOMPARE(dispenser->state().alarmOptions, 32u);
    }

    void lockoutPageInSupervisorMode()
    {
        // Operator mode leaves the lockout boxes out of reach.
        openConfigPage(QStringLiteral("Lockout Control"), 5);
        QVERIFY(!child<QWidget>("groupBox_5")->isEnabled());

        enterSupervisor();
        openConfigPage(QStringLiteral("Lockout Control"), 5);
        QCOMPARE(helpText(), QStringLiteral("Set Operator Lockouts on the Pelidor 7.\n\n(Requires Supervisor mode.)"));
        QVERIFY(child<QWidget>("groupBox_5")->isEnabled());
        click(child<QCheckBox>("lockoutDT"));
        click(child<QCheckBox>("lockoutCL"));
        apply();
        packetsOnceIdle();
        QCOMPARE(dispenser->state().lockouts, 1u | 8192u);

        // Back in Operator mode the locked controls are out of reach.
        child<QAction>("actionOperator_Mode")->trigger();
        QVERIFY(!child<QWidget>("dispenseTime")->isEnabled());
        QVERIFY(!child<QWidget>("groupBox_3")->isEnabled());
        QVERIFY(child<QWidget>("pressureBox")->isEnabled());
        QVERIFY(child<QWidget>("memCell")->isEnabled());
    }

    void languagePage()
    {
        openConfigPage(QStringLiteral("Language"), 6);
        QCOMPARE(helpText(), QStringLiteral("Set display panel language on the Pelidor 7"));
        QCOMPARE(packetsOnceIdle(), QList<QByteArray>());

        click(child<QRadioButton>("langJP"));
        apply();
        packetsOnceIdle();
        QCOMPARE(dispenser->state().language, 6);
    }

    void supervisorPasswordPage()
    {
        enterSupervisor();
        openConfigPage(QStringLiteral("Supervisor Password"), 7);
        QVERIFY(helpText().startsWith(QStringLiteral("Enter a 4-digit Supervisor password.")));

        {
            MessageBoxCloser boxes;
            retype(child<QLineEdit>("currentPassword"), QStringLiteral("1234"));
            retype(child<QLineEdit>("newPassword"), QStringLiteral("2468"));
            retype(child<QLineEdit>("confirmPassword"), QStringLiteral("2468"));
            apply();
            QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Wrong password.")});
            QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("5183"));

            retype(child<QLineEdit>("currentPassword"), QStringLiteral("5183"));
            clearLogOnceIdle();
            apply();
            QCOMPARE(boxes.texts().size(), 1);
        }
        QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("2468"));
        // It stays on this computer: the dispenser is told nothing.
        QTest::qWait(50);
        QCOMPARE(dispenser->receivedBytes(), QByteArray());

        // The new password is the one that opens Supervisor mode now.
        child<QAction>("actionOperator_Mode")->trigger();
        QVERIFY(enterSupervisorMode(*window, QStringLiteral("5183")));
        QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Operator Mode"));
        QVERIFY(enterSupervisorMode(*window, QStringLiteral("2468")));
        QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Supervisor Mode"));
    }

    void alarmFlashesAndIsReset()
    {
        QLabel *alarm = alarmLabel(*window);
        QCOMPARE(alarm->text(), QStringLiteral("Status OK"));
        QTimer *poll = alarmTimer();
        poll->blockSignals(false);

        dispenser->raiseAlarm(8);
        poll->start(50);  // the next poll now rather than in ten seconds
        QTRY_COMPARE(alarm->text(), QStringLiteral("Alarm: Pressure Alarm"));
        poll->start(10000);
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        // It blinks: hidden, then shown again.
        QTRY_VERIFY(!alarm->isVisible());
        QTRY_VERIFY(alarm->isVisible());
        QTRY_VERIFY(!alarm->isVisible());

        click(alarmResetButton(*window));
        QTRY_COMPARE(dispenser->state().alarmStatus, 0u);

        poll->start(50);
        QTRY_COMPARE(alarm->text(), QStringLiteral("Status OK"));
        poll->start(10000);
        QVERIFY(alarm->isVisible());
        QTest::qWait(700);  // longer than a blink
        QVERIFY(alarm->isVisible());
        QCOMPARE(alarm->text(), QStringLiteral("Status OK"));
    }
};

QTEST_MAIN(TestEndToEndFlows)
#include "tst_e2e_flows.moc"
