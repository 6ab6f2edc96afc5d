// The settings dock against the simulated dispenser: Get fills the dock, the
// Current Settings labels and the profile record; Send writes the dock in its
// fixed order; the delayed memory-cell read; the cell range coupling; failed
// reads keep what the window held and name the failure.
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using Fault = SimulatedDispenser::Fault;
Q_DECLARE_METATYPE(Fault)

namespace {

// Off, Steady, cells 5 to 120, current cell 7 with 0.25 s, 30.5, 2.5 and
// trigger 10, 1234 shots, 2:05 in the afternoon on a 12-hour clock.
SimulatedDispenser::State exampleDispenser()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = false;
    s.autoIncrementType = 2;
    s.dispenseMode = 1;
    s.startCell = 5;
    s.endCell = 120;
    s.currentCell = 7;
    s.cells[7] = {2500, 305, 25, 10};
    s.shotCount = 1234;
    s.hour = 2;
    s.minute = 5;
    s.clockIndicator = 1;
    return s;
}

// Different in every value the Get reads.
SimulatedDispenser::State otherDispenser()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = true;
    s.autoIncrementType = 2;
    s.dispenseMode = 0;
    s.startCell = 2;
    s.endCell = 300;
    s.currentCell = 9;
    s.cells[9] = {1000, 200, 10, 5};
    s.shotCount = 11;
    s.hour = 8;
    s.minute = 15;
    s.clockIndicator = 2;
    return s;
}

} // namespace

class TestSettingsPanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedDispenser> dispenser;
    std::unique_ptr<MainWindow> window;

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    QString labelText(const char *name) const { return child<QLabel>(name)->text(); }
    QString connectionText() const
    {
        return child<QStatusBar>("statusBar")->findChildren<QLabel *>().first()->text();
    }
    const DispenserState &state() const { return window->dispenserState(); }

    QTimer *memCellTimer() const
    {
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->isSingleShot() && timer->interval() == 500)
                return timer;
        }
        qFatal("no memory-cell timer");
    }

    // Keeps the periodic alarm poll and the delayed cell read out of a test
    // that watches one sequence alone.
    void quietTimers() const
    {
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->interval() == 10000 || timer == memCellTimer())
                timer->blockSignals(true);
        }
    }

    // What the dispenser received, without the alarm polls.
    QList<QByteArray> commands() const
    {
        QList<QByteArray> result;
        for (const QByteArray &packet : dispenser->receivedPackets()) {
            if (packet != "04EL  ")
                result << packet;
        }
        return result;
    }

    // Runs action once, when the status bar first shows the progress text, so
    // that it affects the command of that step. fired tells whether it ran.
    void atProgress(const QString &text, std::function<void()> action, bool &fired) const
    {
        auto *watcher = new QTimer(window.get());
        watcher->setInterval(0);
        QLabel *connection = child<QStatusBar>("statusBar")->findChildren<QLabel *>().first();
        connect(watcher, &QTimer::timeout, watcher, [=, &fired]() {
            if (connection->text() != text)
                return;
            fired = true;
            action();
            watcher->stop();
            watcher->deleteLater();
        });
        watcher->start();
    }

    void openWindow()
    {
        window.reset();
        window.reset(new MainWindow);
        QVERIFY(WindowOnSimulator::connect(*window));
        dispenser->clearLog();
    }

    void clickGet() const { child<QPushButton>("pushButton_4")->click(); }
    void clickSend() const { child<QPushButton>("pushButton_5")->click(); }

    // Everything a Get can change, keyed by the read that fills it.
    QMap<QString, QString> shownByGet() const
    {
        QMap<QString, QString> shown;
        auto number = [](double value) { return QString::number(value); };
        shown["status/ai button"] = number(child<QButtonGroup>("aiModeGroup")->checkedId());
        shown["status/dispense mode button"] = number(child<QButtonGroup>("dispenseModeGroup")->checkedId());
        shown["status/aiModeLabel"] = labelText("aiModeLabel");
        shown["status/strtMemCellLabel"] = labelText("strtMemCellLabel");
        shown["status/endMemCellLabel"] = labelText("endMemCellLabel");
        shown["status/startMemCell"] = number(child<QSpinBox>("startMemCell")->value());
        shown["status/endMemCell"] = number(child<QSpinBox>("endMemCell")->value());
        shown["status/aiMode"] = number(state().aiMode);
        shown["status/dispenseMode"] = number(state().dispenseMode);
        shown["status/startCell"] = number(state().startCell);
        shown["status/endCell"] = number(state().endCell);
        shown["cell/memCell"] = number(child<QSpinBox>("memCell")->value());
        shown["cell/currentCell"] = number(state().currentCell);
        shown["cell/currMemCellLabel"] = labelText("currMemCellLabel");
        shown["cell/dispenseTimeLabel"] = labelText("dispenseTimeLabel");
        shown["cell/dispensePressLabel"] = labelText("dispensePressLabel");
        shown["cell/dispenseTime"] = number(child<QDoubleSpinBox>("dispenseTime")->value());
        shown["cell/pressureBox"] = number(child<QDoubleSpinBox>("pressureBox")->value());
        shown["vacuum/dispenseVacLabel"] = labelText("dispenseVacLabel");
        shown["vacuum/vacuumBox"] = number(child<QDoubleSpinBox>("vacuumBox")->value());
        shown["trigger/trigLabel"] = labelText("trigLabel");
        shown["trigger/triggerBox"] = number(child<QSpinBox>("triggerBox")->value());
        for (int cell : {7, 9}) {
            const QString index = QStringLiteral("[%1]").arg(cell);
            shown["cell/times" + index] = number(state().times[cell]);
            shown["cell/pressures" + index] = number(state().pressures[cell]);
            shown["vacuum/vacuums" + index] = number(state().vacuums[cell]);
            shown["trigger/triggers" + index] = number(state().triggers[cell]);
        }
        shown["shot/shotCountLabel"] = labelText("shotCountLabel");
        shown["clock/dateTimeLabel"] = labelText("dateTimeLabel");
        return shown;
    }

    // A Get of the example after a Get of the other dispenser, with nothing
    // failing: what each entry shows when its read works.
    QMap<QString, QString> cleanSecondGet()
    {
        dispenser->setState(otherDispenser());
        clickGet();
        dispenser->setState(exampleDispenser());
        clickGet();
        return shownByGet();
    }

private slots:
    void init()
    {
        TestSettings::clear();
        dispenser.reset(new SimulatedDispenser);
        QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
        WindowOnSimulator::storePort(*dispenser);
        openWindow();
    }

    void cleanup()
    {
        window.reset();
        dispenser.reset();
    }

    void getFillsPanelLabelsAndRecord()
    {
        dispenser->setState(exampleDispenser());
        QCOMPARE(child<QSpinBox>("memCell")->value(), 1);
        clickGet();

        QVERIFY(child<QRadioButton>("aiModeOff")->isChecked());
        QVERIFY(child<QRadioButton>("dispenseModeSteady")->isChecked());
        QCOMPARE(labelText("aiModeLabel"), QStringLiteral("Off"));
        QCOMPARE(labelText("strtMemCellLabel"), QStringLiteral("5"));
        QCOMPARE(labelText("endMemCellLabel"), QStringLiteral("120"));
        QCOMPARE(labelText("currMemCellLabel"), QStringLiteral("7"));
        QCOMPARE(labelText("dispenseTimeLabel"), QStringLiteral("0.25"));
        QCOMPARE(labelText("dispensePressLabel"), QStringLiteral("30.5"));
        QCOMPARE(labelText("dispenseVacLabel"), QStringLiteral("2.5"));
        QCOMPARE(labelText("trigLabel"), QStringLiteral("10"));
        QCOMPARE(labelText("shotCountLabel"), QStringLiteral("1234"));
        QCOMPARE(labelText("dateTimeLabel"), QStringLiteral("2:05 PM"));

        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 5);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 120);
        QCOMPARE(child<QSpinBox>("memCell")->value(), 7);
        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 0.25);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->value(), 30.5);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 2.5);
        QCOMPARE(child<QSpinBox>("triggerBox")->value(), 10);

        QCOMPARE(state().aiMode, 3);
        QCOMPARE(state().dispenseMode, 1);
        QCOMPARE(state().startCell, 5);
        QCOMPARE(state().endCell, 120);
        QCOMPARE(state().currentCell, 7);
        QCOMPARE(state().times[7], 0.25);
        QCOMPARE(state().pressures[7], 30.5);
        QCOMPARE(state().vacuums[7], 2.5);
        QCOMPARE(state().triggers[7], 10);
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));

        // memCell moved from 1 to 7: the delayed read of cell 7 follows.
        const QList<QByteArray> getCommands = commands();
        QCOMPARE(getCommands, (QList<QByteArray>{"04AU  ", "04UD  ", "05E8007", "04ER  ", "04E9  ", "04EE  "}));
        QTRY_COMPARE(commands().mid(getCommands.size()), (QList<QByteArray>{"05E8007", "04ER  "}));
    }

    void getShowsTheClock_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("indicator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half past midnight") << 12 << 30 << 0 << "12:30 AM";
        QTest::newRow("noon") << 12 << 0 << 1 << "12:00 PM";
        QTest::newRow("morning") << 9 << 5 << 0 << "9:05 AM";
        QTest::newRow("afternoon") << 2 << 5 << 1 << "2:05 PM";
        QTest::newRow("24-hour clock") << 9 << 5 << 2 << "9:5";
        QTest::newRow("24-hour evening") << 21 << 45 << 2 << "21:45";
    }

    void getShowsTheClock()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, indicator);
        QFETCH(QString, expected);
        SimulatedDispenser::State s = exampleDispenser();
        s.hour = hour;
        s.minute = minute;
        s.clockIndicator = indicator;
        dispenser->setState(s);
        clickGet();
        QCOMPARE(labelText("dateTimeLabel"), expected);
    }

    void failedReadKeepsWhatItWouldFill_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept");

        QTest::newRow("status refused")
            << "Getting Total Status Feedback" << Fault::Refuse
            << "Error: A2 Received from P7" << QStringList{"status"};
        // Without the cell the vacuum and trigger cannot be placed either.
        QTest::newRow("cell data cut short")
            << "Getting DispenseTime,Pressure from Mem Cell" << Fault::DataWithoutEtx
            << "Error: Feedback command didn't send full response."
            << QStringList{"cell", "vacuum", "trigger"};
        QTest::newRow("vacuum unanswered")
            << "Getting Vacuum Units" << Fault::NoReply
            << "Error: No response when expected from P7" << QStringList{"vacuum"};
        QTest::newRow("trigger garbled")
            << "Getting Trigger Units" << Fault::Garbage << "Error: unknown error"
            << QStringList{"trigger"};
        QTest::newRow("shot count refused")
            << "Getting SHOT Count Units" << Fault::Refuse << "Error: A2 Received from P7"
            << QStringList{"shot"};
        QTest::newRow("clock without data")
            << "Getting Time Units" << Fault::NoData
            << "Error: Feedback command didn't send full response." << QStringList{"clock"};
    }

    void failedReadKeepsWhatItWouldFill()
    {
        QFETCH(QString, step);
        QFETCH(Fault, fault);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        quietTimers();
        const QMap<QString, QString> allRead = cleanSecondGet();

        openWindow();
        quietTimers();
        dispenser->setState(otherDispenser());
        clickGet();
        const QMap<QString, QString> before = shownByGet();
        QVERIFY(before != allRead);

        dispenser->setState(exampleDispenser());
        bool fired = false;
        atProgress(step, [&]() { dispenser->injectFault(fault); }, fired);
        clickGet();
        QVERIFY(fired);

        const QMap<QString, QString> after = shownByGet();
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            const bool isKept = kept.contains(it.key().section('/', 0, 0));
            const QString expected = isKept ? before.value(it.key()) : allRead.value(it.key());
            QVERIFY2(it.value() == expected,
                     qPrintable(QStringLiteral("%1 is %2, expected %3").arg(it.key(), it.value(), expected)));
        }
        QCOMPARE(connectionText(), message);
    }

    void everyReadFailingKeepsEverything()
    {
        quietTimers();
        dispenser->setState(otherDispenser());
        clickGet();
        const QMap<QString, QString> before = shownByGet();

        dispenser->setState(exampleDispenser());
        dispenser->setPoweredOn(false);
        clickGet();
        QCOMPARE(shownByGet(), before);
        QCOMPARE(connectionText(), QStringLiteral("Error: NACK from P7"));
    }

    void cellAboveTheProfileIsShownNotStored()
    {
        quietTimers();
        dispenser->setState(otherDispenser());
        clickGet();
        const DispenserState before = state();

        SimulatedDispenser::State s = exampleDispenser();
        dispenser->setState(s);
        bool fired = false;
        atProgress(QStringLiteral("Getting DispenseTime,Pressure from Mem Cell"),
                   [&]() { dispenser->injectData("CH400DT02500PD0305"); }, fired);
        clickGet();
        QVERIFY(fired);

        QCOMPARE(labelText("currMemCellLabel"), QStringLiteral("400"));
        QCOMPARE(labelText("dispenseTimeLabel"), QStringLiteral("0.25"));
        QCOMPARE(labelText("dispensePressLabel"), QStringLiteral("30.5"));
        QCOMPARE(labelText("trigLabel"), QStringLiteral("10"));
        QCOMPARE(child<QSpinBox>("memCell")->value(), 9);
        QCOMPARE(child<QSpinBox>("triggerBox")->value(), 5);
        QCOMPARE(state().currentCell, 9);
        QVERIFY(state().times == before.times);
        QVERIFY(state().pressures == before.pressures);
        QVERIFY(state().vacuums == before.vacuums);
        QVERIFY(state().triggers == before.triggers);
        // The code of a bad value read back has no message of its own.
        QCOMPARE(connectionText(), QStringLiteral("Error: code 10"));
    }

    void sendWritesThePanelInOrder()
    {
        quietTimers();
        child<QRadioButton>("aiModeCount")->click();
        child<QRadioButton>("dispenseModeTimed")->click();
        child<QSpinBox>("startMemCell")->setValue(3);
        child<QSpinBox>("endMemCell")->setValue(250);
        child<QSpinBox>("memCell")->setValue(12);
        child<QDoubleSpinBox>("dispenseTime")->setValue(1.2345);
        child<QDoubleSpinBox>("pressureBox")->setValue(50.0);
        child<QDoubleSpinBox>("vacuumBox")->setValue(18.0);
        child<QSpinBox>("triggerBox")->setValue(77);
        dispenser->clearLog();

        clickSend();
        QCOMPARE(commands(), (QList<QByteArray>{"10AC  S20000", "04TT  ", "12SS  S003E250", "07CH  012",
                                                "10DS  T12345", "08PS  0500", "08VS  0180", "10EQ  T00077"}));
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(state().aiMode, 1);

        const SimulatedDispenser::State sent = dispenser->state();
        QVERIFY(sent.autoIncrementOn);
        QCOMPARE(sent.autoIncrementType, 2);
        QCOMPARE(sent.dispenseMode, 0);
        QCOMPARE(sent.startCell, 3);
        QCOMPARE(sent.endCell, 250);
        QCOMPARE(sent.currentCell, 12);
        QCOMPARE(sent.cells[12].time, 12345);
        QCOMPARE(sent.cells[12].pressure, 500);
        QCOMPARE(sent.cells[12].vacuum, 180);
        QCOMPARE(sent.cells[12].trigger, 77);
    }

    void sendScalesBarOnly_data()
    {
        QTest::addColumn<QString>("unitButton");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("psi") << "pressurePSI" << QByteArray("08PS  0025");
        QTest::newRow("bar") << "pressureBAR" << QByteArray("08PS  2500");
        QTest::newRow("kpa") << "pressureKPA" << QByteArray("08PS  0025");
    }

    void sendScalesBarOnly()
    {
        QFETCH(QString, unitButton);
        QFETCH(QByteArray, packet);
        quietTimers();
        child<QRadioButton>(unitButton.toLatin1().constData())->click();
        child<QDoubleSpinBox>("pressureBox")->setValue(2.5);
        dispenser->clearLog();

        clickSend();
        QList<QByteArray> pressureCommands;
        for (const QByteArray &command : commands()) {
            if (command.startsWith("08PS"))
                pressureCommands << command;
        }
        QCOMPARE(pressureCommands, QList<QByteArray>{packet});
    }

    void sendGoesOnAfterAFailureAndNamesIt()
    {
        quietTimers();
        bool fired = false;
        atProgress(QStringLiteral("Sending Pressure Settings to Device!"),
                   [&]() { dispenser->injectFault(Fault::Refuse); }, fired);
        clickSend();
        QVERIFY(fired);
        const QList<QByteArray> sent = commands();
        QCOMPARE(sent.size(), 8);
        QVERIFY(sent[6].startsWith("08VS"));
        QVERIFY(sent[7].startsWith("10EQ"));
        QCOMPARE(connectionText(), QStringLiteral("Error: A2 Received from P7"));
    }

    void closedPortSendsNothing()
    {
        QVERIFY(!WindowOnSimulator::connect(*window));
        dispenser->clearLog();

        clickGet();
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        clickSend();
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        child<QSpinBox>("memCell")->setValue(30);
        QTRY_VERIFY(!memCellTimer()->isActive());
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        QVERIFY(dispenser->receivedBytes().isEmpty());
    }

    void cellBurstMakesOneRead()
    {
        SimulatedDispenser::State s;
        s.cells[20] = {3000, 150, 40, 8};
        s.currentCell = 20;
        dispenser->setState(s);
        auto *memCell = child<QSpinBox>("memCell");
        memCell->setValue(10);
        QTRY_VERIFY(!memCellTimer()->isActive());
        dispenser->clearLog();

        for (int cell = 11; cell <= 20; ++cell) {
            memCell->setValue(cell);
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(!commands().isEmpty());
        QTRY_VERIFY(!memCellTimer()->isActive());
        QTest::qWait(100);
        QCOMPARE(commands(), (QList<QByteArray>{"05E8020", "04ER  "}));

        QCOMPARE(state().times[20], 0.3);
        QCOMPARE(state().pressures[20], 15.0);
        QCOMPARE(state().vacuums[20], 4.0);
        // The profile table shows what the record now holds.
        auto *table = window->findChild<QTableWidgetWithCopyPaste *>();
        QCOMPARE(table->item(20, 0)->text(), QStringLiteral("0.3"));
        QCOMPARE(table->item(20, 2)->text(), QStringLiteral("4"));
        // The trigger read belongs to the dispenser's current cell, whichever
        // that is, so it is shown but not filed under cell 20.
        QCOMPARE(state().triggers[20], 1);
        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), 0.3);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->value(), 15.0);
        QCOMPARE(child<QDoubleSpinBox>("vacuumBox")->value(), 4.0);
        QCOMPARE(child<QSpinBox>("triggerBox")->value(), 8);
        QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
    }

    void failedCellReadKeepsTheCell()
    {
        SimulatedDispenser::State s;
        s.cells[20] = {3000, 150, 40, 8};
        s.currentCell = 20;
        dispenser->setState(s);
        const DispenserState before = state();
        const double shownTime = child<QDoubleSpinBox>("dispenseTime")->value();

        bool fired = false;
        atProgress(QStringLiteral("Get Settings from Device!"),
                   [&]() { dispenser->injectFault(Fault::Refuse); }, fired);
        child<QSpinBox>("memCell")->setValue(20);
        QTRY_VERIFY(fired);
        QTRY_VERIFY(!memCellTimer()->isActive());
        QTRY_COMPARE(connectionText(), QStringLiteral("Error: A2 Received from P7"));

        QVERIFY(state().times == before.times);
        QVERIFY(state().pressures == before.pressures);
        QVERIFY(state().vacuums == before.vacuums);
        QCOMPARE(child<QDoubleSpinBox>("dispenseTime")->value(), shownTime);
        // The trigger read worked and is shown.
        QCOMPARE(child<QSpinBox>("triggerBox")->value(), 8);
    }

    void startCellBoundsTheOtherCellBoxes()
    {
        auto *memCell = child<QSpinBox>("memCell");
        memCell->setValue(10);
        QTRY_VERIFY(!memCellTimer()->isActive());
        dispenser->clearLog();

        child<QSpinBox>("startMemCell")->setValue(50);
        auto *adjustStart = child<QSpinBox>("bulkAdjustStart");
        auto *adjustEnd = child<QSpinBox>("bulkAdjustEnd");
        QCOMPARE(adjustStart->value(), 50);
        QCOMPARE(adjustStart->minimum(), 50);
        QCOMPARE(adjustEnd->minimum(), 50);
        QCOMPARE(memCell->minimum(), 50);
        QCOMPARE(memCell->value(), 50);
        QCOMPARE(state().startCell, 50);
        // The cell moved into the range, so it is read.
        QTRY_COMPARE(commands(), (QList<QByteArray>{"05E8050", "04ER  "}));
    }

    void endCellBoundsTheOtherCellBoxes()
    {
        child<QSpinBox>("endMemCell")->setValue(200);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 200);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->maximum(), 200);
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->maximum(), 200);
        QCOMPARE(child<QSpinBox>("memCell")->maximum(), 200);
        QCOMPARE(state().endCell, 200);

        // The two job boxes do not bound each other.
        child<QSpinBox>("startMemCell")->setValue(50);
        child<QSpinBox>("endMemCell")->setValue(40);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 40);
        QCOMPARE(state().endCell, 40);
    }

    void modeButtonsUpdateTheRecord()
    {
        child<QRadioButton>("aiModeCount")->click();
        QCOMPARE(state().aiMode, 1);
        QCOMPARE(labelText("label_22"), QStringLiteral("Trigger (shots):"));
        child<QRadioButton>("aiModeTimed")->click();
        QCOMPARE(labelText("label_22"), QStringLiteral("Trigger (s):"));
        child<QRadioButton>("dispenseModeSteady")->click();
        QCOMPARE(state().dispenseMode, 1);
        child<QRadioButton>("dispenseModeTimed")->click();
        QCOMPARE(state().dispenseMode, 0);
    }
};

QTEST_MAIN(TestSettingsPanel)
#include "tst_settings_panel.moc"
