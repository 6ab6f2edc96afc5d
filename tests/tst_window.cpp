// Flows through the window against the simulated dispenser: what the user
// sees, and what reaches the dispenser.
#include "AppSettings.h"
#include "DebugCapture.h"
#include "Packet.h"
#include "TestSettings.h"
#include "ProfileFiles.h"
#include "SerialPortList.h"
#include "SimulatedLink.h"
#include "WindowFixture.h"

#include <QtCharts>
#include <QtWidgets>
#include <QtTest>

namespace {

QStringList row(QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << table->item(row, column)->text();
    return texts;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QTemporaryDir folder;

    double value(const char *spinBox) const
    {
        return f.find<QAbstractSpinBox>(spinBox)->property("value").toDouble();
    }
    void waitForCellRead() const { QTRY_VERIFY(!f.find<QTimer>("memCellTimer")->isActive()); }
    QtCharts::QLineSeries *series() const
    {
        return qobject_cast<QtCharts::QLineSeries *>(
                f.find<QtCharts::QChartView>("chartView")->chart()->series().first());
    }
    QtCharts::QValueAxis *axis(Qt::Orientation orientation) const
    {
        return qobject_cast<QtCharts::QValueAxis *>(
                f.find<QtCharts::QChartView>("chartView")->chart()->axes(orientation).first());
    }

private slots:
    void cleanup() { f.close(); }

    void startsInOperatorMode()
    {
        QVERIFY2(f.open({}, 0), qPrintable(f.errorString()));
        QCOMPARE(QStringList({ f.labelText("connectionLabel"), f.labelText("portLabel"),
                               f.labelText("modeLabel"), f.labelText("alarmLabel") }),
                 QStringList({ "Not Connected to Pelidor 7", f.portName + "  115200",
                               "Operator Mode", "Status unknown" }));
        QVERIFY(f.statusIsRed());
        auto *tabs = f.find<QTabWidget>("centralTabWidget");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentWidget(), f.find("tabCurrentSettings"));
        QCOMPARE(QSettings().value("SuperPassword"), QVariant("5183"));
        QCOMPARE(row(f.table(), 399), QStringList({ "0.0000", "0.0", "0.0", "1" }));
        QCOMPARE(f.find<QTableWidget>("jobTableWidget")->item(0, 0)->text(),
                 QStringLiteral("No Jobs Saved"));
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(),
                 QStringLiteral("Dispense\nPressure (PSI)"));
        QCOMPARE(series()->count(), 800);
        QVERIFY(f.find<QChartView>("chartView")->renderHints() & QPainter::Antialiasing);
        for (const char *name : { "connectionLabel", "portLabel", "refreshButton", "modeLabel",
                                  "alarmLabel", "alarmResetButton" })
            QVERIFY2(f.window->statusBar()->isAncestorOf(f.find(name)), name);
        QVERIFY(!f.find("groupBox_5")->isEnabled() && !f.find("groupBox_7")->isEnabled());
        QVERIFY(!f.find<QAction>("actionBulk_Adjust_Dispense_Profile")->isVisible());
        const std::unique_ptr<QMenu> docks(f.window->createPopupMenu());
        for (QAction *dock : docks->actions())
            QVERIFY2(dock->text() != "Bulk Adjust Dispense Profile", "offered in Operator mode");
        QCOMPARE(f.find<QSpinBox>("triggerBox")->text(), QStringLiteral("unknown"));
        QCOMPARE(f.find<QTimer>("alarmTimer")->interval(), 10000);
        QVERIFY(f.find<QTimer>("alarmTimer")->isActive());

        // The device buttons without a port ask to connect first.
        for (const char *button : { "pushButton_4", "pushButton_5", "alarmResetButton" }) {
            f.find<QLabel>("connectionLabel")->clear();
            f.click(button);
            QCOMPARE(f.status(), QStringLiteral("Connect First!"));
        }
        QCOMPARE(f.dispenser->receivedBytes(), QByteArray());

        // A port chosen is stored with the rate chosen before it, for the next start.
        f.click("baud38400");
        for (QRadioButton *port : f.window->findChildren<QRadioButton *>()) {
            if (port->text() == f.portName)
                port->click();
        }
        QCOMPARE(f.labelText("portLabel"), f.portName + "  38400");
        QCOMPARE(QSettings().value("baudeRate"), QVariant(38400));
    }

    void getShowsTheDispenser()
    {
        QVERIFY2(f.open(exampleDispenser()), qPrintable(f.errorString()));
        f.click("pushButton_4");
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
        QVERIFY(!f.statusIsRed());
        QStringList labels;
        for (const char *name :
             { "aiModeLabel", "strtMemCellLabel", "endMemCellLabel", "currMemCellLabel",
               "dispenseTimeLabel", "dispensePressLabel", "dispenseVacLabel", "trigLabel",
               "shotCountLabel", "dateTimeLabel" })
            labels << f.labelText(name);
        QCOMPARE(labels,
                 QStringList({ "Count", "5", "120", "7", "0.25", "30.5", "2.5", "10", "1234",
                               "2:05 PM" }));
        QVERIFY(f.find<QAbstractButton>("aiModeCount")->isChecked());
        QVERIFY(f.find<QAbstractButton>("dispenseModeSteady")->isChecked());
        QList<double> boxes;
        for (const char *name :
             { "startMemCell", "endMemCell", "memCell", "dispenseTime", "pressureBox", "vacuumBox",
               "triggerBox", "bulkAdjustStart", "bulkAdjustEnd" })
            boxes << value(name);
        QCOMPARE(boxes, QList<double>({ 5, 120, 7, 0.25, 30.5, 2.5, 10, 5, 120 }));
        QCOMPARE(row(f.table(), 7), QStringList({ "0.25", "30.5", "2.5", "10" }));
        QCOMPARE(f.table()->horizontalHeaderItem(3)->text(), QStringLiteral("Trigger (shots)"));
        QCOMPARE(f.labelText("label_22"), QStringLiteral("Trigger (shots):"));

        // The memory cell moved to 7; half a second on, that cell is read.
        waitForCellRead();
        QCOMPARE(f.packets().mid(8), QList<QByteArray>({ "05E8007", "04ER  " }));
        f.clearLog();
        f.find<QSpinBox>("memCell")->setValue(24);
        f.find<QSpinBox>("memCell")->setValue(25);
        waitForCellRead();
        // Only the dispenser's current cell's trigger can be read: cell 25's
        // is unknown, and Send leaves it as it is.
        QCOMPARE(f.packets(), QList<QByteArray>({ "05E8025" }));
        QCOMPARE(row(f.table(), 25), QStringList({ "0.4", "12", "5", "1" }));
        QCOMPARE(value("pressureBox"), 12.0);
        QCOMPARE(f.find<QSpinBox>("triggerBox")->text(), QStringLiteral("unknown"));
        f.clearLog();
        f.click("pushButton_5");
        QCOMPARE(f.packets().mid(3),
                 QList<QByteArray>({ "07CH  025", "10DS  T04000", "08PS  0120", "08VS  0050" }));
        QCOMPARE(f.dispenser->state().cells[25].trigger, 30);
    }

    // Get -> Send puts back exactly what was read, in the dispenser's units
    // and into the cell it was read from, also outside the job's range.
    void getThenSendWritesBackWhatWasRead_data()
    {
        QTest::addColumn<int>("pressureUnit");
        QTest::addColumn<int>("vacuumUnit");
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("pressure"); // on the wire, in tenths (bar: thousandths)
        QTest::addColumn<int>("vacuum");
        QTest::newRow("psi, inches of water, cell 0") << 0 << 1 << 0 << 1000 << 180;
        QTest::newRow("bar, kPa") << 1 << 0 << 7 << 6895 << 45;
        QTest::newRow("kPa, inches of mercury") << 2 << 2 << 399 << 3000 << 13;
        QTest::newRow("psi, mmHg") << 0 << 3 << 5 << 5 << 175;
        QTest::newRow("kPa, torr") << 2 << 4 << 12 << 6895 << 1;
    }

    void getThenSendWritesBackWhatWasRead()
    {
        QFETCH(int, pressureUnit);
        QFETCH(int, vacuumUnit);
        QFETCH(int, cell);
        QFETCH(int, pressure);
        QFETCH(int, vacuum);
        SimulatedDispenser::State s;
        s.pressureUnit = pressureUnit;
        s.vacuumUnit = vacuumUnit;
        s.currentCell = cell;
        s.startCell = 100;
        s.endCell = 200;
        s.cells[size_t(cell)] = { 2500, pressure, vacuum, 30 };
        // Set at the dispenser's panel after Connect read its units: Get reads them again.
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        f.dispenser->setState(s);
        f.click("pushButton_4");
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(value("memCell"), double(cell));
        f.find<QTimer>("memCellTimer")->stop();
        f.clearLog();
        f.click("pushButton_5");
        const QByteArray wire = QByteArray::number(pressure).rightJustified(4, '0');
        QCOMPARE(f.packets().mid(3),
                 QList<QByteArray>({ "07CH  " + QByteArray::number(cell).rightJustified(3, '0'),
                                     "10DS  T02500", "08PS  " + wire,
                                     "08VS  " + QByteArray::number(vacuum).rightJustified(4, '0'),
                                     "10EQ  T00030" }));
    }

    // A current cell beyond the profile shows in the labels, in red, and
    // nowhere else.
    void currentCellBeyondTheProfile()
    {
        SimulatedDispenser::State s;
        s.currentCell = 450;
        s.beyondCell = { 2500, 305, 25, 10 };
        QVERIFY2(f.open(s), qPrintable(f.errorString()));
        f.click("pushButton_4");
        QVERIFY(f.statusIsRed());
        QCOMPARE(QStringList({ f.labelText("currMemCellLabel"), f.labelText("dispenseTimeLabel"),
                               f.labelText("dispensePressLabel"), f.labelText("trigLabel") }),
                 QStringList({ "450", "0.25", "30.5", "10" }));
        QCOMPARE(value("memCell"), 0.0);
        QCOMPARE(f.find<QSpinBox>("triggerBox")->text(), QStringLiteral("unknown"));
        QCOMPARE(row(f.table(), 0), QStringList({ "0.0000", "0.0", "0.0", "1" }));
    }

    void sendWritesThePanel()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        f.click("aiModeTimed");
        f.find<QSpinBox>("startMemCell")->setValue(5);
        f.find<QSpinBox>("endMemCell")->setValue(120);
        f.find<QSpinBox>("memCell")->setValue(7);
        f.find<QTimer>("memCellTimer")->stop();
        f.find<QDoubleSpinBox>("dispenseTime")->setValue(1.2345);
        f.click("pressureBAR");
        QCOMPARE(f.labelText("label_23"), QStringLiteral("Pres (BAR):"));
        f.find<QDoubleSpinBox>("pressureBox")->setValue(2.5);
        f.find<QDoubleSpinBox>("vacuumBox")->setValue(18.0);
        f.find<QSpinBox>("triggerBox")->setValue(99);
        f.click("pushButton_5");
        QCOMPARE(f.packets(),
                 QList<QByteArray>({ "10AC  S10000", "04TT  ", "12SS  S005E120", "07CH  007",
                                     "10DS  T12345", "08PS  2500", "08VS  0180", "10EQ  T00099" }));
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(f.table()->horizontalHeaderItem(3)->text(), QStringLiteral("Trigger (s)"));
    }

    void supervisorModeAndBack()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        DebugCapture debug;
        QVERIFY(f.enterSupervisorMode("1234"));
        QCOMPARE(f.messageBoxes.takeTexts(), QStringList { "Wrong password." });
        QVERIFY(!debug.lines().join(' ').contains("5183"));
        QCOMPARE(f.labelText("modeLabel"), QStringLiteral("Operator Mode"));
        auto *tabs = f.find<QTabWidget>("centralTabWidget");
        QCOMPARE(tabs->count(), 2);

        QVERIFY(f.enterSupervisorMode());
        QCOMPARE(f.labelText("modeLabel"), QStringLiteral("Supervisor Mode"));
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->widget(0), f.find("tabDispenseProfile"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(f.find<QAction>("actionOperator_Mode")->isVisible());
        QVERIFY(!f.find<QAction>("actionSupervisor_Mode")->isVisible());
        QVERIFY(!f.find("bulkAdjustDock")->isHidden());
        QVERIFY(f.find("groupBox_5")->isEnabled() && f.find("groupBox_7")->isEnabled());
        QCOMPARE(f.packets(), QList<QByteArray> { "10EH  PA5183" });
        QCOMPARE(f.find<QStackedWidget>("configStackWidget")->currentIndex(), 5);
        const std::unique_ptr<QMenu> docks(f.window->createPopupMenu());
        QVERIFY(docks->actions().contains(
                f.find<QDockWidget>("bulkAdjustDock")->toggleViewAction()));

        f.find<QAction>("actionOperator_Mode")->trigger();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(f.labelText("modeLabel"), QStringLiteral("Operator Mode"));
        QVERIFY(f.find("bulkAdjustDock")->isHidden());
        QVERIFY(!f.find<QAction>("actionBulk_Adjust_Dispense_Profile")->isVisible());
        const std::unique_ptr<QMenu> operatorDocks(f.window->createPopupMenu());
        QVERIFY(!operatorDocks->actions().contains(
                f.find<QDockWidget>("bulkAdjustDock")->toggleViewAction()));
        QVERIFY(!f.find("groupBox_5")->isEnabled() && !f.find("groupBox_7")->isEnabled());
        QVERIFY(f.enterSupervisorMode());
        QCOMPARE(tabs->count(), 3);
    }

    // Every unit, language, alarm and lockout choice goes out with Apply,
    // each alone: ticking a box and unticking it again leaves its bit clear.
    void everyChoiceReachesTheDispenser()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        struct Choice
        {
            const char *page;
            QString button;
            QByteArray packet;
        };
        QList<Choice> choices;
        const char *pressures[] = { "pressurePSI", "pressureBAR", "pressureKPA" };
        for (int id = 0; id < 3; ++id)
            choices.append({ "Pressure", pressures[id], "06E6  0" + QByteArray::number(id) });
        const char *vacuums[] = { "kpabut", "inchesh2obut", "incheshgbut", "mmhgbut", "torrbut" };
        for (int id = 0; id < 5; ++id)
            choices.append({ "Vacuum", vacuums[id], "06E7  0" + QByteArray::number(id) });
        const char *languages[] = { "langEN", "langFR", "langDE", "langES",
                                    "langIT", "langCN", "langJP", "langKR" };
        for (int id = 0; id < 8; ++id)
            choices.append({ "Language", languages[id], "06ED  0" + QByteArray::number(id) });
        // Each box of a flag word alone: its tag "1", the others "0".
        auto flags = [](const auto &tags, int count, int bit) {
            QByteArray fields;
            for (int other = 0; other < count; ++other)
                fields += QByteArray(tags[other]) + (other == bit ? '1' : '0');
            return fields;
        };
        for (int bit = 0; bit < 7; ++bit)
            choices.append({ "Alarm Options", QStringLiteral("alarm") + Packet::alarmTags[bit],
                             "25EI  " + flags(Packet::alarmTags, 7, bit) });
        for (int bit = 0; bit < 16; ++bit)
            choices.append({ "Lockout Control",
                             QStringLiteral("lockout") + Packet::lockoutTags[bit],
                             "57EG  PA5183" + flags(Packet::lockoutTags, 16, bit) });
        QString openPage;
        for (const Choice &choice : qAsConst(choices)) {
            if (openPage != QLatin1String(choice.page))
                f.openPage(openPage = QLatin1String(choice.page));
            auto *button = f.find<QAbstractButton>(qPrintable(choice.button));
            button->click();
            f.click("configApplyButton");
            QCOMPARE(f.packets().last(), choice.packet);
            if (button->isCheckable() && !button->autoExclusive())
                button->click();
        }
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
    }

    void pagesShowTheDispenser()
    {
        QVERIFY2(f.open(exampleDispenser()), qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        f.openPage("Units");
        QVERIFY(f.find<QAbstractButton>("pressureKPA")->isChecked());
        QCOMPARE(f.find<QPlainTextEdit>("commandHelpEdit")->toPlainText(),
                 QStringLiteral("Set units for pressure and vacuum."));
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(),
                 QStringLiteral("Dispense\nPressure (kPa)"));
        f.openPage("Vacuum");
        QVERIFY(f.find<QAbstractButton>("mmhgbut")->isChecked());
        QCOMPARE(f.table()->horizontalHeaderItem(2)->text(), QStringLiteral("Vacuum\n(mmHg)"));
        f.openPage("Time/Date");
        QCOMPARE(f.find<QCalendarWidget>("calendarWidget")->selectedDate(), QDate(2025, 3, 14));
        QCOMPARE(f.find<QTimeEdit>("timeEdit")->time(), QTime(14, 5));
        QCOMPARE(f.find<QTimeEdit>("timeEdit")->displayFormat(), QStringLiteral("h:mm A"));
        f.click("configApplyButton");
        QCOMPARE(f.packets().mid(f.packets().size() - 2),
                 QList<QByteArray>({ "13EB  H02M05AM1", "13EC  M03D14Y25" }));

        // Apply sends what the boxes show: the dispenser's options and the one ticked.
        f.openPage("Alarm Options");
        f.click("alarmAE");
        f.click("configApplyButton");
        QCOMPARE(f.packets().last(), QByteArray("25EI  IN1IO1IL0PO0PL0AE1AO0"));
        f.openPage("Lockout Control");
        f.click("lockoutCL");
        f.click("configApplyButton");
        QCOMPARE(f.packets().last(),
                 QByteArray("57EG  PA5183DT1DP0DV0M0DC0DM0AI1AR0AL0MM0PU0VU0LA0CL1CO1AM0"));

        // A failed read keeps the page shown, and the tree's selection on it.
        f.openPage("Language");
        f.clearLog();
        f.dispenser->injectFault(SimulatedDispenser::Fault::Refuse);
        f.openPage("Lockout Control");
        QCOMPARE(f.find<QStackedWidget>("configStackWidget")->currentIndex(), 6);
        QCOMPARE(f.find<QTreeWidget>("treeWidget")->currentItem()->text(0),
                 QStringLiteral("Language"));
        f.click("configApplyButton");
        QCOMPARE(f.packets(), QList<QByteArray>({ "10EH  PA5183", "06ED  00" }));
    }

    // The dispenser's lockouts hold from Connect on; a profile still shows
    // its own units on the locked unit buttons.
    void lockoutsHoldFromConnect()
    {
        SimulatedDispenser::State s;
        s.lockouts = 1024 | 8 | 32 | 64 | 16384; // pressure units, memory cell, modes, port
        QVERIFY2(f.open(s), qPrintable(f.errorString()));
        QVERIFY(!f.find("groupBox")->isEnabled());
        QVERIFY(!f.find("memCell")->isEnabled());
        QVERIFY(f.find("groupBox_2")->isEnabled() && f.find("pressureBox")->isEnabled());
        QVERIFY(f.find<QAbstractButton>("lockoutPU")->isChecked());
        // The locked port buttons still show the port in use.
        f.click("refreshButton");
        for (QAbstractButton *port : f.find<QGroupBox>("COMport")->findChildren<QRadioButton *>())
            QCOMPARE(port->isChecked(), port->text() == f.portName);

        // A job's modes are taken even on locked buttons.
        AppSettings::Job job;
        job.aiMode = 1;
        job.dispenseMode = 1;
        job.endCell = 399;
        job.path = ProfileFiles::write(
                folder.filePath("bar.csv"),
                "Mem Cell,T,Dispense Pressure (bar),Vacuum (Torr),Trigger\n10,1,2,3,4\n");
        AppSettings().saveJob(1, job);
        // Typed under psi, these stay when a bar profile comes: marked, not clamped.
        for (int cell = 2; cell <= 6; ++cell)
            f.table()->item(cell, 1)->setText("25");
        f.dialogs.answers = { 1 };
        f.find<QAction>("actionOpen_Job")->trigger();
        QVERIFY(f.find<QAbstractButton>("aiModeCount")->isChecked());
        QVERIFY(f.find<QAbstractButton>("dispenseModeSteady")->isChecked());
        QCOMPARE(QList<int>({ f.state().aiMode, f.state().dispenseMode }), QList<int>({ 1, 1 }));
        QVERIFY(f.find<QAbstractButton>("pressureBAR")->isChecked());
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(),
                 QStringLiteral("Dispense\nPressure (BAR)"));
        QCOMPARE(row(f.table(), 10), QStringList({ "1", "2", "3", "4" }));
        QCOMPARE(f.state().vacuumUnits, 4);
        QCOMPARE(f.table()->item(2, 1)->text(), QStringLiteral("25"));
        QCOMPARE(f.state().pressures[2], 25.0);
        QCOMPARE(f.table()->item(2, 1)->toolTip(),
                 QStringLiteral("Outside the limits: pressure above 6.895 BAR"));
        QTRY_COMPARE(f.status(), QStringLiteral("5 cells outside the BAR limits: MemCell 2-6"));
        f.table()->item(4, 1)->setText("5");
        QCOMPARE(f.table()->item(4, 1)->toolTip(), QString());

        // Transmit sends nothing while a cell of the range is outside.
        f.clearLog();
        f.click("pushButton");
        QCOMPARE(f.status(),
                 QStringLiteral("Nothing sent: MemCell 2-3, 5-6 pressure above 6.895 BAR"));
        QVERIFY(f.statusIsRed());
        QCOMPARE(f.packets(), QList<QByteArray>());
    }

    void profileTableAndPlot()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        QTableWidget *table = f.table();
        table->item(3, 0)->setText("12");
        table->item(3, 1)->setText("-1");
        table->item(3, 3)->setText("2.7");
        QCOMPARE(row(table, 3), QStringList({ "9.9999", "0.0", "0.0", "2" }));
        QCOMPARE(f.state().times[3], 9.9999);
        QCOMPARE(f.state().triggers[3], 2);
        QCoreApplication::processEvents(); // the full redraw after a trigger
        QCOMPARE(series()->at(6), QPointF(3, 9.9999));
        QCOMPARE(series()->at(7), QPointF(5, 9.9999));
        QCOMPARE(axis(Qt::Vertical)->max(), 12.0);
        table->item(3, 0)->setText("1");
        QCOMPARE(series()->at(6).y(), 1.0);
        QCOMPARE(axis(Qt::Vertical)->max(), 1.2);
        table->item(500 % 400, 0)->setText("3"); // cell 100 is in the range too
        QCOMPARE(series()->at(200).y(), 3.0);
        QVERIFY(axis(Qt::Vertical)->max() >= 3.0); // the new highest step stays in view

        // Units give the pressure and vacuum columns their editors and limits.
        f.click("pressureBAR");
        f.click("kpabut");
        auto editor = [table](int column) {
            std::unique_ptr<QWidget> widget(table->itemDelegateForColumn(column)->createEditor(
                    table->viewport(), QStyleOptionViewItem(), table->model()->index(0, column)));
            auto *box = qobject_cast<QDoubleSpinBox *>(widget.get());
            return QStringLiteral("%1 %2 %3 %4")
                    .arg(box->maximum())
                    .arg(box->decimals())
                    .arg(box->singleStep())
                    .arg(box->isAccelerated());
        };
        QCOMPARE(QStringList({ editor(0), editor(1), editor(2), editor(3) }),
                 QStringList({ "1e+06 4 0.0001 1", "1e+06 3 0.001 1", "1e+06 2 0.01 1",
                               "1e+06 0 1 1" }));
        // A value typed into the editor reaches its cell.
        QDoubleSpinBox box;
        table->itemDelegateForColumn(0)->setEditorData(&box, table->model()->index(3, 0));
        QCOMPARE(box.value(), 1.0);
        box.findChild<QLineEdit *>()->setText("2.5"); // typed, not yet taken
        table->itemDelegateForColumn(0)->setModelData(&box, table->model(),
                                                      table->model()->index(3, 0));
        QCOMPARE(f.state().times[3], 2.5);
        // A number beyond the limit is typed in full, then corrected and told.
        const QModelIndex vacuumCell = table->model()->index(5, 2);
        std::unique_ptr<QWidget> vacuumEditor(table->itemDelegateForColumn(2)->createEditor(
                table->viewport(), QStyleOptionViewItem(), vacuumCell));
        static_cast<QAbstractSpinBox *>(vacuumEditor.get())->selectAll();
        QTest::keyClicks(vacuumEditor.get(), "30");
        table->itemDelegateForColumn(2)->setModelData(vacuumEditor.get(), table->model(),
                                                      vacuumCell);
        QCOMPARE(table->item(5, 2)->text(), QStringLiteral("4.48"));
        QTRY_COMPARE(f.status(), QStringLiteral("MemCell 5 vacuum 30 above 4.48: set to 4.48"));
        table->item(4, 1)->setText("7");
        QCOMPARE(table->item(4, 1)->text(), QStringLiteral("6.895"));
        f.click("plotPressure");
        QCOMPARE(axis(Qt::Vertical)->titleText(), QStringLiteral("Dispense<br>Pressure (BAR)"));
    }

    void bulkAdjust()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        for (int cell = 0; cell < 3; ++cell)
            f.table()->item(cell, 0)->setText("2");
        f.find<QSpinBox>("bulkAdjustEnd")->setValue(1);
        f.find<QDoubleSpinBox>("bulkAdjustPercent")->setValue(10);
        f.find<QDoubleSpinBox>("bulkAdjustRelative")->setValue(0.5);
        QCoreApplication::processEvents();
        QCOMPARE(series()->at(0).y(), 2.7); // previewed, not yet applied
        QCOMPARE(f.table()->item(0, 0)->text(), QStringLiteral("2"));
        f.click("bulkAdjustApply");
        QCOMPARE(QStringList({ f.table()->item(0, 0)->text(), f.table()->item(1, 0)->text(),
                               f.table()->item(2, 0)->text() }),
                 QStringList({ "2.7", "2.7", "2" }));
        QCOMPARE(value("bulkAdjustPercent"), 0.0);
        QCOMPARE(value("bulkAdjustEnd"), 399.0); // the job range again

        // Triggers, truncated and kept at least 1; the unit follows the AI mode.
        f.click("aiModeCount");
        f.click("bulkAdjustParameterTrigger");
        QCOMPARE(f.labelText("bulkAdjustUnitLabel"), QStringLiteral("shots"));
        f.find<QDoubleSpinBox>("bulkAdjustRelative")->setValue(-5);
        f.click("bulkAdjustApply");
        QCOMPARE(f.table()->item(0, 3)->text(), QStringLiteral("1"));
        f.click("bulkAdjustParameterVacuum");
        QVERIFY(f.find<QAbstractButton>("plotVacuum")->isChecked());
        for (const char *name : { "bulkAdjustPercentSlider", "bulkAdjustRelativeSlider" }) {
            auto *slider = f.find<QSlider>(name);
            slider->setSliderDown(true); // as while dragged
            slider->setSliderPosition(20);
            slider->setSliderDown(false);
        }
        QCOMPARE(value("bulkAdjustPercent") + value("bulkAdjustRelative"), 40.0);
        f.click("bulkAdjustCancel");
        QCOMPARE(value("bulkAdjustPercent"), 0.0);
    }

    void clipboard()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QTableWidget *table = f.table();
        table->item(0, 0)->setText("1");
        table->item(0, 1)->setText("2");
        table->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 1), true);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t2\n0.0000\t0.0"));
        QVERIFY(QApplication::clipboard()->mimeData()->html().contains("<td>1</td><td>2</td>"));

        // Pasted at the selection's top left, whatever order it was made in.
        table->clearSelection();
        table->setRangeSelected(QTableWidgetSelectionRange(399, 2, 399, 2), true);
        table->setRangeSelected(QTableWidgetSelectionRange(398, 2, 398, 2), true);
        QApplication::clipboard()->setText("1.5\t7\r\n2.5\t8\r\n3.5\t9\r\n");
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(row(table, 398), QStringList({ "0.0000", "0.0", "1.5", "7" }));
        QCOMPARE(row(table, 399), QStringList({ "0.0000", "0.0", "2.5", "8" }));
        QCOMPARE(f.state().triggers[399], 8);

        // An empty first field holds its column and leaves its cell alone.
        QApplication::clipboard()->setText("\t6\n");
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(row(table, 398), QStringList({ "0.0000", "0.0", "1.5", "6" }));

        QApplication::clipboard()->setText(" \n");
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier); // nothing to paste
        QCOMPARE(row(table, 398), QStringList({ "0.0000", "0.0", "1.5", "6" }));
        QApplication::clipboard()->setText("1\t2\t3\n4\t5");
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.messageBoxes.takeTexts(),
                 QStringList { "Invalid clipboard data, unable to perform paste operation." });
        QCOMPARE(row(table, 398), QStringList({ "0.0000", "0.0", "1.5", "6" }));
    }

    void profileFilesAndJobs()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        f.table()->item(2, 0)->setText("0.25");
        f.find<QSpinBox>("endMemCell")->setValue(2);
        const QString saved = folder.filePath("saved.csv");
        f.dialogs.answers = { saved };
        f.find<QAction>("actionSave_Profile")->trigger();
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("\n2,0.25,0,0,1\n"));
        QCOMPARE(f.window->statusBar()->currentMessage(), "Profile saved to " + saved);
        // A failed save says why, and the note of the last one goes.
        f.dialogs.answers = { folder.filePath("missing/saved.csv") };
        f.find<QAction>("actionSave_Profile")->trigger();
        QCOMPARE(f.messageBoxes.takeTexts(),
                 QStringList { "Could not open file: No such file or directory." });
        QCOMPARE(f.window->statusBar()->currentMessage(), QString());

        // A binary profile of cells 30 to 32 opened over the range 0 to 2
        // keeps its range, and no read of the dispenser's cell overwrites it.
        const QByteArray binary = ProfileFiles::binary(
                1, 3, 30, 32, { { 0, 0, 0, 1 }, { 0.5, 1.5, 2.5, 9 }, { 0, 0, 0, 1 } });
        f.dialogs.answers = { ProfileFiles::write(folder.filePath("cells.hvx"), binary) };
        f.find<QAction>("actionOpen_Profile")->trigger();
        QCOMPARE(QList<double>({ value("startMemCell"), value("endMemCell"),
                                 value("bulkAdjustStart"), value("bulkAdjustEnd") }),
                 QList<double>({ 30, 32, 30, 32 }));
        QCOMPARE(f.state().startCell, 30);
        QCOMPARE(f.state().endCell, 32);
        QCOMPARE(row(f.table(), 31), QStringList({ "0.5", "1.5", "2.5", "9" }));
        QVERIFY(!f.find<QTimer>("memCellTimer")->isActive());
        f.dialogs.answers = { folder.path() };
        f.find<QAction>("actionOpen_Profile")->trigger();
        QCOMPARE(f.messageBoxes.takeTexts(),
                 QStringList { "This is not a profile file: only regular files can be opened." });

        // Jobs: saved under the number proposed or chosen, listed, loaded.
        f.dialogs.answers = { 3, "Glue", saved };
        f.find<QAction>("actionSave_Job")->trigger();
        QCOMPARE(f.dialogs.questions.mid(f.dialogs.questions.size() - 3),
                 QStringList({ "number: Select Job Number = 1", "text: Job Description",
                               "open file: Select Profile" }));
        auto *jobs = f.find<QTableWidget>("jobTableWidget");
        QCOMPARE(jobs->rowCount(), 3);
        QCOMPARE(QStringList({ jobs->item(1, 0)->text(), jobs->item(2, 0)->text(),
                               jobs->item(2, 1)->text() }),
                 QStringList({ "No Job", "Glue", saved }));
        QCOMPARE(f.window->statusBar()->currentMessage(), QStringLiteral("Job 3 saved"));
        QCOMPARE(QSettings().value("jobs/003/endMemCell"), QVariant(32));
        f.click("aiModeTimed");
        f.dialogs.answers = { 3 };
        f.find<QAction>("actionOpen_Job")->trigger();
        QVERIFY(f.find<QAbstractButton>("aiModeOff")->isChecked());
        QCOMPARE(value("startMemCell"), 30.0);
        QCOMPARE(value("endMemCell"), 32.0);
        QCOMPARE(f.table()->item(2, 0)->text(), QStringLiteral("0.25"));
        f.click("aiModeTimed");
        emit jobs->doubleClicked(jobs->model()->index(2, 0));
        QVERIFY(f.find<QAbstractButton>("aiModeOff")->isChecked());
        emit jobs->doubleClicked(jobs->model()->index(1, 0));
        QCOMPARE(f.messageBoxes.takeTexts(), QStringList { "Job Not Found" });
    }

    // A store that cannot be read is told, and no password opens Supervisor
    // mode then, however often it is tried: after three, tries must wait.
    void unreadableStoreKeepsSupervisorModeClosed()
    {
        const QString store = AppSettings().fileName();
        QFile::remove(store);
        QVERIFY(QDir().mkpath(store));
        const bool opened = f.open({}, 0);
        QStringList told;
        for (const char *password : { "", "", "", "5183" }) {
            f.enterSupervisorMode(password);
            told << f.messageBoxes.takeTexts();
        }
        const QString status = f.status();
        const QString mode = f.labelText("modeLabel");
        QDir(store).removeRecursively();
        QVERIFY2(opened, qPrintable(f.errorString()));
        QCOMPARE(status,
                 "The settings store " + store + " cannot be read: Supervisor mode stays closed");
        QCOMPARE(told,
                 QStringList({ "Wrong password.", "Wrong password.",
                               "Wrong password. Try again in 30 s.",
                               "Too many wrong passwords: try again in 30 s." }));
        QCOMPARE(mode, QStringLiteral("Operator Mode"));
    }

    // Verify after Transmit marks what the dispenser holds otherwise; an edit
    // or Clear marks removes a mark; a read replaces unsaved edits only when
    // told; a file is compared without touching the table.
    void readBackVerifyAndCompare()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QAction *menu = f.find<QMenu>("menuProfile")->menuAction();
        QVERIFY(!menu->isVisible());
        QVERIFY(f.enterSupervisorMode());
        QVERIFY(menu->isVisible());
        f.find<QSpinBox>("endMemCell")->setValue(9);
        f.table()->item(6, 1)->setText("12.5");
        f.dispenser->setSkewedCell(6);
        f.click("pushButton");
        QCOMPARE(f.status(),
                 QStringLiteral("Transmit complete: MemCell 0 to 9; 1 cell differs: MemCell 6"));
        QVERIFY(f.statusIsRed());
        QTableWidgetItem *skewed = f.table()->item(6, 1);
        QCOMPARE(skewed->toolTip(), QStringLiteral("Pelidor 7 holds 12.6 PSI"));
        QCOMPARE(skewed->background().color(), QColor(255, 220, 130));
        f.click("pressureBAR"); // now also outside the limits: red, both told
        QCOMPARE(skewed->toolTip(),
                 QStringLiteral("Outside the limits: pressure above 6.895 "
                                "BAR\nPelidor 7 holds 12.6 PSI"));
        QCOMPARE(skewed->background().color(), QColor(255, 190, 190));
        f.click("pressurePSI");
        skewed->setText("12.6");
        QCOMPARE(skewed->toolTip(), QString());
        QVERIFY(!skewed->data(Qt::BackgroundRole).isValid());

        f.dispenser->changeCell(2, 0, 2600); // at the front panel
        f.dialogs.answers = { 0 }; // the job range
        f.click("verifyProfileButton");
        QCOMPARE(f.status(), QStringLiteral("1 cell differs: MemCell 2"));
        QCOMPARE(f.table()->item(2, 0)->toolTip(), QStringLiteral("Pelidor 7 holds 0.2600 s"));
        f.find<QAction>("actionClear_Marks")->trigger();
        QCOMPARE(f.table()->item(2, 0)->toolTip(), QString());

        f.dialogs.answers = { 1 }; // all cells, replacing the edit of cell 6
        f.click("readProfileButton");
        QVERIFY(f.dialogs.questions.last().endsWith("neither saved to a file nor transmitted; "
                                                    "the cells read replace them."));
        QCOMPARE(f.status(), QStringLiteral("Read complete: MemCell 0-399"));
        QCOMPARE(f.table()->item(2, 0)->text(), QStringLiteral("0.26"));
        QCOMPARE(f.dispenser->state().currentCell, 9);

        f.dispenser->setSkewedCell(-1);
        f.click("pushButton");
        QCOMPARE(f.status(), QStringLiteral("Transmit complete, verified: MemCell 0 to 9"));
        f.find<QAction>("actionVerify_after_Transmit")->trigger();
        QCOMPARE(QSettings().value("verifyAfterTransmit"), QVariant(false));

        const QString csv = folder.filePath("differences.csv");
        f.dialogs.answers = { ProfileFiles::write(folder.filePath("compare.csv"),
                                                  "Mem Cell,T,Dispense Pressure (psi),Vacuum "
                                                  "(mmHg),Trigger\n5,0,0,0,1\n6,0,12.5,0,1\n"),
                              csv };
        f.find<QAction>("actionCompare_File")->trigger();
        QCOMPARE(f.status(),
                 QStringLiteral("compare.csv: Units differ: the Pelidor 7 is set to \"H2O, not "
                                "mmHg; 1 cell differs: MemCell 6"));
        auto *dialog = f.window->findChild<QDialog *>("comparisonDialog");
        QVERIFY(dialog && dialog->isVisible());
        dialog->findChild<QPushButton *>("saveComparisonButton")->click();
        QFile saved(csv);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(),
                 QByteArray("Mem Cell,Field,File,Pelidor 7\n6,pressure,12.5 PSI,12.6 PSI\n"));
        QCOMPARE(skewed->text(), QStringLiteral("12.6"));
    }

    void changingThePassword()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        f.openPage("Supervisor Password");
        auto type = [this](const char *current, const char *next, const char *confirmation) {
            f.find<QLineEdit>("currentPassword")->setText(current);
            f.find<QLineEdit>("newPassword")->setText(next);
            f.find<QLineEdit>("confirmPassword")->setText(confirmation);
            f.click("configApplyButton");
            return f.messageBoxes.takeTexts();
        };
        QCOMPARE(type("1111", "2222", "3333"), QStringList { "Wrong password." });
        QCOMPARE(type("5183", "2222", "3333"), QStringList { "Confirmation does not match" });
        QCOMPARE(type("5183", "123", "123"),
                 QStringList { "The new password must be exactly four digits." });
        QCOMPARE(type("5183", "0042", "0042"), QStringList { "Supervisor password changed." });
        QCOMPARE(QSettings().value("SuperPassword"), QVariant("0042"));
        QVERIFY(f.packets().isEmpty());
    }

    // The View menu's docks, the clock import, a cancelled prompt and the
    // slots no widget raises.
    void restOfTheWiring()
    {
        QVERIFY2(f.open({}, WindowFixture::Shown), qPrintable(f.errorString()));
        const std::pair<const char *, const char *> docks[] = {
            { "actionChange_View_Settings_Docking_Window", "changeViewSettingsDockWidget" },
            { "actionLoad_Job_Docking_Window", "jobDockWidget" },
            { "actionBulk_Adjust_Dispense_Profile", "bulkAdjustDock" }
        };
        for (const auto &[action, dock] : docks) {
            f.find<QAction>(action)->trigger();
            QVERIFY2(!f.find(dock)->isVisible(), dock);
            f.find<QAction>(action)->trigger();
            QVERIFY2(f.find(dock)->isVisible(), dock);
        }
        f.click("setToCurrentTime");
        QCOMPARE(f.find<QCalendarWidget>("calendarWidget")->selectedDate(), QDate::currentDate());
        f.find<QAction>("actionSupervisor_Mode")->trigger();
        QDialog *prompt = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("PasswordDialog") && widget->isVisible())
                prompt = qobject_cast<QDialog *>(widget);
        }
        QVERIFY(prompt);
        prompt->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!prompt->isVisible());
        QCOMPARE(f.labelText("modeLabel"), QStringLiteral("Operator Mode"));

        f.dialogs.answers = { folder.filePath("test.csv") };
        QMetaObject::invokeMethod(f.window.get(), "testFileSave_clicked");
        QVERIFY(QFile::exists(folder.filePath("test.csv")));
        // The diagnostic slot opens a port named COM4.
        SerialPortList::setSource([this] {
            return QList<SerialPortList::Port> { { "COM4", f.portName } };
        });
        QMetaObject::invokeMethod(f.window.get(), "pushButton_2_clicked");
        SerialPortList::setSource({});
        f.click("pushButton_4");
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
    }

    // View -> Communication Log lists the traffic with its times.
    void communicationLog()
    {
        QVERIFY2(f.open({}, WindowFixture::Connected | WindowFixture::Shown),
                 qPrintable(f.errorString()));
        f.find<QAction>("actionCommunication_Log")->trigger();
        QVERIFY(f.find("communicationLogDock")->isVisible());
        f.click("pushButton_4");
        const QAbstractItemModel *view = f.find<QListView>("communicationLogView")->model();
        const auto shown = [view] {
            QStringList lines;
            for (int row = 0; row < view->rowCount(); ++row)
                lines << view->index(row, 0).data().toString();
            return lines.join('\n');
        };
        QTRY_VERIFY(shown().contains(" -> <STX>04AU  "));
        QVERIFY(!shown().contains("Before Read DataResp"));
        f.find<QLineEdit>("communicationLogFilter")->setText("04e9");
        QCOMPARE(view->rowCount(), 2); // the command and its outcome
        QTest::qWait(300); // Qt frees the fading clear button's animation only once it ends
        f.dialogs.answers = { folder.filePath("traffic.log") };
        f.click("saveLogButton");
        QFile saved(folder.filePath("traffic.log"));
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll().contains(" -> <EOT>\n"));
        f.click("clearLogButton");
        QCOMPARE(view->rowCount(), 0);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
