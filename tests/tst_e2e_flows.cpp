// Whole user flows against the simulated dispenser, driven only through the
// window's widgets: Connect, Get, Send, turning the memory cell, Supervisor
// mode, editing, pasting, bulk-adjusting and transmitting the profile,
// profile files and jobs, every configuration page with Apply, an alarm, and
// Disconnect. Each flow checks what the user sees and what the dispenser then
// holds.
#include "AnsweringDialogs.h"
#include "MessageBoxCloser.h"
#include "TestSettings.h"
#include "WindowFlowTest.h"

#include <QtTest>
#include <QtWidgets>

using namespace UserActions;
using State = SimulatedDispenser::State;

// A memory cell as the dispenser holds it: time, pressure, vacuum, trigger.
using Cell = QVector<int>;

class TestEndToEndFlows : public WindowFlowTest
{
    Q_OBJECT

private:
    AnsweringDialogs dialogs;
    QTemporaryDir folder;

    QString cellText(int row, int column) const { return table()->item(row, column)->text(); }
    QStringList rowText(int row) const
    {
        return {cellText(row, 0), cellText(row, 1), cellText(row, 2), cellText(row, 3)};
    }
    Cell heldCell(int cell) const
    {
        const SimulatedDispenser::Cell held = dispenser->state().cells[size_t(cell)];
        return {held.time, held.pressure, held.vacuum, held.trigger};
    }

    void openConfigPage(const QString &item, int expectedIndex)
    {
        showTab("tabPelidor7Config");
        QVERIFY(clickTreeItem(*window, item));
        QCOMPARE(child<QStackedWidget>("configStackWidget")->currentIndex(), expectedIndex);
    }

    void apply()
    {
        click(child<QPushButton>("configApplyButton"));
        packetsOnceIdle();
    }

    void saveProfileAs(const QString &path)
    {
        dialogs.answers = {path};
        child<QAction>("actionSave_Profile")->trigger();
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    void init()
    {
        openConnectedWindow();
        dialogs = AnsweringDialogs();
        window->setDialogProvider(&dialogs);
    }

    void cleanup() { closeWindow(); }

    void connectGetAndDisconnect()
    {
        QCOMPARE(connectionLabel(*window)->styleSheet(), QStringLiteral("color: green;"));
        // The Communication page has nothing to send.
        showTab("tabPelidor7Config");
        apply();
        QCOMPARE(dispenser->receivedBytes(), QByteArray());

        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        const std::pair<const char *, const char *> shown[] = {
            {"aiModeLabel", "Count"}, {"strtMemCellLabel", "5"}, {"endMemCellLabel", "120"},
            {"currMemCellLabel", "7"}, {"dispenseTimeLabel", "0.25"}, {"dispensePressLabel", "30.5"},
            {"dispenseVacLabel", "2.5"}, {"trigLabel", "10"}, {"shotCountLabel", "1234"},
            {"dateTimeLabel", "2:05 PM"}};
        for (const auto &[name, text] : shown)
            QCOMPARE(child<QLabel>(name)->text(), QString::fromLatin1(text));
        QVERIFY(child<QRadioButton>("aiModeCount")->isChecked());
        QVERIFY(child<QRadioButton>("dispenseModeSteady")->isChecked());
        const DispenserState &record = window->dispenserState();
        QCOMPARE(record.aiMode, 1);
        QCOMPARE(record.startCell, 5);
        QCOMPARE(record.times[7], 0.25);
        QCOMPARE(record.triggers[7], 10);

        click(child<QPushButton>("connectButton"));
        QCOMPARE(child<QPushButton>("connectButton")->text(), QStringLiteral("Connect"));
        QCOMPARE(connectionText(), QStringLiteral("Not Connected to Pelidor 7"));
        QCOMPARE(connectionLabel(*window)->styleSheet(), QStringLiteral("color: red;"));

        // Disconnected, the window asks for a connection and sends nothing.
        clearLogOnceIdle();
        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        clickSend();
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        QTest::qWait(50);
        QCOMPARE(dispenser->receivedBytes(), QByteArray());

        click(child<QPushButton>("connectButton"));
        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
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
        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 0.4);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 5.0);

        retype(child<QDoubleSpinBox>("dispenseTime"), QStringLiteral("1.5"));
        retype(child<QDoubleSpinBox>("pressureBox"), QStringLiteral("42.5"));
        retype(child<QDoubleSpinBox>("vacuumBox"), QStringLiteral("3.5"));
        retype(child<QSpinBox>("triggerBox"), QStringLiteral("77"));
        clickSend();

        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        packetsOnceIdle();
        const State held = dispenser->state();
        // AI on and Timed, dispense Timed, the range, the current cell.
        QCOMPARE(QVector<int>({held.autoIncrementOn, held.autoIncrementType, held.dispenseMode, held.startCell,
                               held.endCell, held.currentCell}),
                 QVector<int>({1, 1, 0, 20, 30, 25}));
        QCOMPARE(heldCell(25), (Cell{15000, 425, 35, 77}));
    }

    // Only the cell the turning stops at is read, and the read goes into the
    // profile through its table: the table shows it and Transmit sends it.
    void turnTheMemoryCell()
    {
        auto *memCell = child<QSpinBox>("memCell");
        const int last = memCell->value() + 3;
        State s = exampleDispenser();
        s.cells[size_t(last)] = {12345, 150, 40, 99};
        dispenser->setState(s);
        enterSupervisor();
        QVERIFY(editCell(table(), last, 0, QStringLiteral("0.5")));
        QVERIFY(editCell(table(), last, 3, QStringLiteral("100")));

        showTab("tabCurrentSettings");
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(memCell, Qt::Key_Up);
        waitForCellRead();

        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 1.2345);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->value(), 15.0);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 4.0);
        QCOMPARE(cellText(last, 0), QStringLiteral("1.2345"));
        // The trigger read is the dispenser's current cell's, not this one's.
        QCOMPARE(cellText(last, 3), QStringLiteral("100"));
        QList<QByteArray> cellReads;
        for (const QByteArray &packet : packetsOnceIdle()) {
            if (packet.startsWith("05E8"))
                cellReads << packet;
        }
        QCOMPARE(cellReads, QList<QByteArray>{"05E8" + QByteArray::number(last).rightJustified(3, '0')});
        QCOMPARE(dispenser->state().currentCell, 7);  // reading selects nothing

        typeCellRange(last, last);
        transmit();
        packetsOnceIdle();
        QCOMPARE(heldCell(last), (Cell{12345, 150, 40, 100}));
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
        QCOMPARE(window->dispenserState().times[10], 1.25);

        // The last row lies outside every limit: the table corrects it.
        pasteBlock(11, 0, QStringLiteral("0.5\t10\t1.5\t200\n0.75\t12\t2\t300\n12\t150\t20\t0"));
        QCOMPARE(rowText(13), QStringList({"9.9999", "100.0", "18.0", "1"}));

        // Pressure of cells 10 to 13 raised by 10 %.
        click(child<QRadioButton>("bulkAdjustParameterPressure"));
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), QStringLiteral("PSI"));
        retype(child<QDoubleSpinBox>("bulkAdjustPercent"), QStringLiteral("10"));
        click(child<QPushButton>("bulkAdjustApply"));
        QCOMPARE(cellText(10, 1), QStringLiteral("22"));
        QCOMPARE(cellText(12, 1), QStringLiteral("13.2"));
        QCOMPARE(cellText(13, 1), QStringLiteral("100.0"));

        transmit();
        QCOMPARE(connectionText(), QStringLiteral("Transmitting MemCell 13"));
        packetsOnceIdle();
        QCOMPARE(heldCell(9), (Cell{0, 0, 0, 1}));
        QCOMPARE(heldCell(10), (Cell{12500, 220, 30, 100}));
        QCOMPARE(heldCell(11), (Cell{5000, 110, 15, 200}));
        QCOMPARE(heldCell(12), (Cell{7500, 132, 20, 300}));
        QCOMPARE(heldCell(13), (Cell{99999, 1000, 180, 1}));
        QCOMPARE(heldCell(14), (Cell{0, 0, 0, 1}));
        QCOMPARE(dispenser->state().startCell, 10);
        QCOMPARE(dispenser->state().endCell, 13);
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
        saveProfileAs(path);
        QCOMPARE(dialogs.questions, QStringList{QStringLiteral("save file: Save Profile")});

        // Everything the file holds is changed, then the file opened again.
        openConfigPage(QStringLiteral("Pressure"), 1);
        click(child<QRadioButton>("pressurePSI"));
        pasteBlock(0, 0, QStringLiteral("9\t90\t9\t9\n9\t90\t9\t9\n9\t90\t9\t9"));
        {
            MessageBoxCloser boxes;
            dialogs.answers = {path};
            child<QAction>("actionOpen_Profile")->trigger();
            QCOMPARE(boxes.texts(), QStringList());
        }
        QVERIFY(child<QRadioButton>("pressureBAR")->isChecked());
        QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("Dispense\nPressure (BAR)"));
        QCOMPARE(cellText(1, 1).toDouble(), 0.25);

        // The reloaded profile reaches the dispenser, bar in hundredths.
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
        saveProfileAs(path);
        child<QAction>("actionOperator_Mode")->trigger();

        showTab("tabCurrentSettings");
        click(child<QRadioButton>("aiModeCount"));
        click(child<QRadioButton>("dispenseModeSteady"));
        dialogs.questions.clear();
        dialogs.answers = {4, QStringLiteral("Bead line"), path};
        child<QAction>("actionSave_Job")->trigger();
        QCOMPARE(dialogs.questions, (QStringList{"number: Select Job Number", "text: Job Description",
                                                 "open file: Select Profile"}));
        auto *jobs = child<QTableWidget>("jobTableWidget");
        QCOMPARE(jobs->item(3, 0)->text(), QStringLiteral("Bead line"));
        QCOMPARE(jobs->item(3, 1)->text(), path);

        // Everything the job holds is changed, then its row double-clicked.
        click(child<QRadioButton>("aiModeOff"));
        click(child<QRadioButton>("dispenseModeTimed"));
        typeCellRange(0, 399);
        enterSupervisor();
        pasteBlock(3, 0, QStringLiteral("0\t0\t0\t1\n0\t0\t0\t1\n0\t0\t0\t1"));
        child<QAction>("actionOperator_Mode")->trigger();
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
        clickSend();
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        enterSupervisor();
        transmit();
        packetsOnceIdle();
        const State held = dispenser->state();
        QCOMPARE(QVector<int>({held.autoIncrementType, held.dispenseMode, held.startCell, held.endCell}),
                 QVector<int>({2, 1, 3, 5}));
        QCOMPARE(heldCell(3), (Cell{1000, 50, 10, 11}));
        QCOMPARE(heldCell(5), (Cell{3000, 70, 30, 13}));
    }

    // A page shows what the dispenser holds when opened; Apply sends what the
    // user chose, and nothing else changes.
    void configurationPageApplies_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shownChecked");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QVector<unsigned>>("held");  // pressure and vacuum unit, alarm options, language

        QTest::newRow("pressure units") << "Pressure" << 1 << "pressureKPA" << QStringList{"pressureBAR"}
                                        << QVector<unsigned>{1, 3, 1, 0};
        QTest::newRow("vacuum units") << "Vacuum" << 2 << "mmhgbut" << QStringList{"torrbut"}
                                      << QVector<unsigned>{2, 4, 1, 0};
        QTest::newRow("alarm options") << "Alarm Options" << 4 << "alarmIN" << QStringList{"alarmIN", "alarmAE"}
                                       << QVector<unsigned>{2, 3, 32, 0};
        // The dispenser cannot tell its language, so the page shows none.
        QTest::newRow("language") << "Language" << 6 << "" << QStringList{"langJP"} << QVector<unsigned>{2, 3, 1, 6};
    }

    void configurationPageApplies()
    {
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(QString, shownChecked);
        QFETCH(QStringList, clicks);
        QFETCH(QVector<unsigned>, held);

        openConfigPage(page, index);
        if (!shownChecked.isEmpty())
            QVERIFY(child<QAbstractButton>(qPrintable(shownChecked))->isChecked());
        for (const QString &name : clicks)
            click(child<QAbstractButton>(qPrintable(name)));
        apply();
        const State s = dispenser->state();
        QCOMPARE(QVector<unsigned>({unsigned(s.pressureUnit), unsigned(s.vacuumUnit), s.alarmOptions,
                                    unsigned(s.language)}),
                 held);
    }

    void timeAndDatePage()
    {
        State s = exampleDispenser();
        s.hour = 13;
        s.clockIndicator = 2;
        dispenser->setState(s);

        openConfigPage(QStringLiteral("Time/Date"), 3);
        auto *calendar = child<QCalendarWidget>("calendarWidget");
        auto *clock = child<QTimeEdit>("timeEdit");
        QCOMPARE(calendar->selectedDate(), QDate(2025, 3, 14));
        QCOMPARE(clock->time(), QTime(13, 5));
        QVERIFY(child<QCheckBox>("check24hr")->isChecked());

        // One day on in the calendar, one hour on in the clock, 12-hour clock.
        QTest::keyClick(calendar->findChild<QAbstractItemView *>(), Qt::Key_Right);
        QTest::keyClick(clock, Qt::Key_Up);
        click(child<QCheckBox>("check24hr"));
        QCOMPARE(clock->displayFormat(), QStringLiteral("h:mm A"));
        apply();

        const State held = dispenser->state();
        QCOMPARE(QVector<int>({held.hour, held.minute, held.clockIndicator}), QVector<int>({2, 5, 1}));
        QCOMPARE(QVector<int>({held.month, held.day, held.year}), QVector<int>({3, 15, 25}));
    }

    // Supervisor mode, only with the password, shows the profile and unlocks
    // the lockout page; the lockouts applied there hold once back in
    // Operator mode.
    void supervisorModeAndLockouts()
    {
        auto *tabs = child<QTabWidget>("centralTabWidget");
        openConfigPage(QStringLiteral("Lockout Control"), 5);
        QVERIFY(!child<QWidget>("groupBox_5")->isEnabled());
        QVERIFY(enterSupervisorMode(*window, QStringLiteral("1111")));
        QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Operator Mode"));
        QCOMPARE(tabs->indexOf(child<QWidget>("tabDispenseProfile")), -1);

        clearLogOnceIdle();
        enterSupervisor();
        QCOMPARE(tabs->currentWidget(), child<QWidget>("tabDispenseProfile"));
        QVERIFY(child<QDockWidget>("bulkAdjustDock")->isVisible());
        // The operator lockouts are read with the password.
        QCOMPARE(packetsOnceIdle(), QList<QByteArray>{"10EH  PA5183"});
        openConfigPage(QStringLiteral("Lockout Control"), 5);
        click(child<QCheckBox>("lockoutDT"));
        click(child<QCheckBox>("lockoutCL"));
        apply();
        QCOMPARE(dispenser->state().lockouts, 1u | 8192u);

        child<QAction>("actionOperator_Mode")->trigger();
        QCOMPARE(tabs->indexOf(child<QWidget>("tabDispenseProfile")), -1);
        QVERIFY(!child<QDockWidget>("bulkAdjustDock")->isVisible());
        QVERIFY(!child<QWidget>("dispenseTime")->isEnabled());
        QVERIFY(!child<QWidget>("groupBox_3")->isEnabled());
        QVERIFY(child<QWidget>("pressureBox")->isEnabled());
    }

    void supervisorPasswordPage()
    {
        enterSupervisor();
        openConfigPage(QStringLiteral("Supervisor Password"), 7);
        clearLogOnceIdle();
        {
            MessageBoxCloser boxes;
            retype(child<QLineEdit>("currentPassword"), QStringLiteral("1234"));
            retype(child<QLineEdit>("newPassword"), QStringLiteral("2468"));
            retype(child<QLineEdit>("confirmPassword"), QStringLiteral("2468"));
            apply();
            QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Wrong password.")});
            QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("5183"));

            retype(child<QLineEdit>("currentPassword"), QStringLiteral("5183"));
            apply();
            QCOMPARE(boxes.texts().size(), 1);
        }
        QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("2468"));
        // It stays on this computer: the dispenser is told nothing.
        QCOMPARE(dispenser->receivedBytes(), QByteArray());

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
        QTimer *poll = alarmTimer(*window);
        poll->blockSignals(false);

        dispenser->raiseAlarm(8);
        poll->start(50);  // the next poll now rather than in ten seconds
        QTRY_COMPARE(alarm->text(), QStringLiteral("Alarm: Pressure Alarm"));
        poll->start(10000);
        // It blinks: hidden, then shown again.
        QTRY_VERIFY(!alarm->isVisible());
        QTRY_VERIFY(alarm->isVisible());

        click(alarmResetButton(*window));
        QTRY_COMPARE(dispenser->state().alarmStatus, 0u);
        poll->start(50);
        QTRY_COMPARE(alarm->text(), QStringLiteral("Status OK"));
        poll->start(10000);
        QTest::qWait(700);  // longer than a blink
        QVERIFY(alarm->isVisible());
    }
};

QTEST_MAIN(TestEndToEndFlows)
#include "tst_e2e_flows.moc"
