// The settings dock against the simulated dispenser: Get fills the dock, the
// Current Settings labels and the profile record; Send writes the dock in its
// fixed order; the delayed memory-cell read; the cell range coupling; failed
// reads keep what the window held and name the failure.
#include "CommandCountTrigger.h"
#include "PanelFixture.h"
#include "WindowOnSimulator.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using Fault = SimulatedDispenser::Fault;
Q_DECLARE_METATYPE(Fault)

namespace {

// Off, Steady, cells 5 to 120, current cell 7 with 0.25 s, 30.5, 2.5 and
// trigger 10, 1234 shots, 2:05 in the afternoon on a 12-hour clock.
SimulatedDispenser::State exampleDispenser()
{
    SimulatedDispenser::State s;
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

// Different in every value the Get reads; its cell is 9.
SimulatedDispenser::State otherDispenser()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = true;
    s.startCell = 2;
    s.endCell = 300;
    s.currentCell = 9;
    s.cells[9] = {1000, 200, 10, 5};
    s.shotCount = 11;
    s.hour = 8;
    s.minute = 15;
    return s;
}

// What a Get of the example shows and stores in a fresh window, keyed
// "read/name" by the read that fills it.
const QMap<QString, QString> exampleShown = {
    {"status/aiModeGroup", "3"}, {"status/dispenseModeGroup", "1"}, {"status/aiModeLabel", "Off"},
    {"status/strtMemCellLabel", "5"}, {"status/endMemCellLabel", "120"}, {"status/startMemCell", "5"},
    {"status/endMemCell", "120"}, {"status/aiMode", "3"}, {"status/dispenseMode", "1"},
    {"status/startCell", "5"}, {"status/endCell", "120"},
    {"cell/memCell", "7"}, {"cell/currMemCellLabel", "7"}, {"cell/dispenseTimeLabel", "0.25"},
    {"cell/dispensePressLabel", "30.5"}, {"cell/dispenseTime", "0.25"}, {"cell/pressureBox", "30.5"},
    {"cell/currentCell", "7"}, {"cell/times[7]", "0.25"}, {"cell/pressures[7]", "30.5"},
    {"cell/times[9]", "0"}, {"cell/pressures[9]", "0"},
    {"vacuum/dispenseVacLabel", "2.5"}, {"vacuum/vacuumBox", "2.5"}, {"vacuum/vacuums[7]", "2.5"},
    {"vacuum/vacuums[9]", "0"},
    {"trigger/trigLabel", "10"}, {"trigger/triggerBox", "10"}, {"trigger/triggers[7]", "10"},
    {"trigger/triggers[9]", "1"},
    {"shot/shotCountLabel", "1234"}, {"clock/dateTimeLabel", "2:05 PM"},
};

} // namespace

class TestSettingsPanel : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    void clickGet() const { panel.child<QPushButton>("pushButton_4")->click(); }
    void clickSend() const { panel.child<QPushButton>("pushButton_5")->click(); }

    QString shownValue(const char *name) const
    {
        QObject *shown = panel.child<QObject>(name);
        if (auto *label = qobject_cast<QLabel *>(shown))
            return label->text();
        if (auto *group = qobject_cast<QButtonGroup *>(shown))
            return QString::number(group->checkedId());
        return shown->property("value").toString();
    }

    // Everything a Get can change, keyed as in exampleShown.
    QMap<QString, QString> shownByGet() const
    {
        QMap<QString, QString> shown;
        for (auto it = exampleShown.cbegin(); it != exampleShown.cend(); ++it) {
            const QString name = it.key().section('/', 1);
            if (panel.window->findChild<QObject *>(name))
                shown[it.key()] = shownValue(qPrintable(name));
        }
        const DispenserState &s = panel.state();
        auto number = [](double value) { return QString::number(value); };
        shown["status/aiMode"] = number(s.aiMode);
        shown["status/dispenseMode"] = number(s.dispenseMode);
        shown["status/startCell"] = number(s.startCell);
        shown["status/endCell"] = number(s.endCell);
        shown["cell/currentCell"] = number(s.currentCell);
        for (int cell : {7, 9}) {
            const QString index = QStringLiteral("[%1]").arg(cell);
            shown["cell/times" + index] = number(s.times[cell]);
            shown["cell/pressures" + index] = number(s.pressures[cell]);
            shown["vacuum/vacuums" + index] = number(s.vacuums[cell]);
            shown["trigger/triggers" + index] = number(s.triggers[cell]);
        }
        return shown;
    }

    static QString differences(const QMap<QString, QString> &actual, const QMap<QString, QString> &expected)
    {
        QStringList found;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            if (actual.value(it.key()) != it.value())
                found << QStringLiteral("%1 is %2, expected %3").arg(it.key(), actual.value(it.key()), it.value());
        }
        return found.join(QStringLiteral("; "));
    }

private slots:
    void init() { QVERIFY2(panel.open(true, exampleDispenser()), qPrintable(panel.errorString())); }
    void cleanup() { panel.close(); }

    void getFillsPanelLabelsAndRecord()
    {
        QCOMPARE(panel.child<QSpinBox>("memCell")->value(), 1);
        clickGet();
        QCOMPARE(differences(shownByGet(), exampleShown), QString());
        QCOMPARE(panel.connectionText(), QStringLiteral("Connected to Pelidor 7"));

        // memCell moved from 1 to 7: the delayed read of cell 7 follows.
        const QList<QByteArray> getCommands = {"04AU  ", "04UD  ", "05E8007", "04ER  ", "04E9  ", "04EE  "};
        QCOMPARE(panel.packets(), getCommands);
        QTRY_COMPARE(panel.packets().mid(getCommands.size()), (QList<QByteArray>{"05E8007", "04ER  "}));
    }

    void failedReadKeepsWhatItWouldFill_data()
    {
        QTest::addColumn<int>("commandsBefore"); // -1: the dispenser is off
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept");

        QTest::newRow("status refused") << 0 << Fault::Refuse << "Error: A2 Received from P7"
                                        << QStringList{"status"};
        // Without the cell the vacuum and trigger cannot be placed either.
        QTest::newRow("cell data cut short")
            << 1 << Fault::DataWithoutEtx << "Error: Feedback command didn't send full response."
            << QStringList{"cell", "vacuum", "trigger"};
        QTest::newRow("vacuum unanswered") << 2 << Fault::NoReply
                                           << "Error: No response when expected from P7" << QStringList{"vacuum"};
        QTest::newRow("trigger garbled") << 3 << Fault::Garbage << "Error: unknown error"
                                         << QStringList{"trigger"};
        QTest::newRow("shot count refused") << 4 << Fault::Refuse << "Error: A2 Received from P7"
                                            << QStringList{"shot"};
        QTest::newRow("clock without data")
            << 5 << Fault::NoData << "Error: Feedback command didn't send full response."
            << QStringList{"clock"};
        QTest::newRow("dispenser off") << -1 << Fault::NoReply << "Error: NACK from P7"
                                       << QStringList{"status", "cell", "vacuum", "trigger", "shot", "clock"};
    }

    void failedReadKeepsWhatItWouldFill()
    {
        QFETCH(int, commandsBefore);
        QFETCH(Fault, fault);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        panel.memCellTimer()->blockSignals(true);
        panel.dispenser->setState(otherDispenser());
        clickGet();
        const QMap<QString, QString> before = shownByGet();

        panel.dispenser->setState(exampleDispenser());
        if (commandsBefore < 0) {
            panel.dispenser->setPoweredOn(false);
            clickGet();
        } else {
            CommandCountTrigger strike(*panel.dispenser, commandsBefore,
                                       [&] { panel.dispenser->injectFault(fault); });
            clickGet();
            QVERIFY(strike.hasFired());
        }

        // A kept entry shows what the other dispenser's Get left; the rest
        // what the example's Get shows. Cell 9 is the other dispenser's
        // cell, which the example's Get never writes.
        QMap<QString, QString> expected = exampleShown;
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            const bool otherCell = it.key().contains("[9]");
            QVERIFY2(otherCell || before.value(it.key()) != it.value(), qPrintable(it.key()));
            if (otherCell || kept.contains(it.key().section('/', 0, 0)))
                it.value() = before.value(it.key());
        }
        QCOMPARE(differences(shownByGet(), expected), QString());
        QCOMPARE(panel.connectionText(), message);
    }

    void cellAboveTheProfileIsShownNotStored()
    {
        panel.memCellTimer()->blockSignals(true);
        panel.dispenser->setState(otherDispenser());
        clickGet();
        const DispenserState before = panel.state();

        panel.dispenser->setState(exampleDispenser());
        CommandCountTrigger strike(*panel.dispenser, 1,
                                   [&] { panel.dispenser->injectData("CH400DT02500PD0305"); });
        clickGet();
        QVERIFY(strike.hasFired());

        QCOMPARE(shownValue("currMemCellLabel"), QStringLiteral("400"));
        QCOMPARE(shownValue("dispenseTimeLabel"), QStringLiteral("0.25"));
        QCOMPARE(shownValue("trigLabel"), QStringLiteral("10"));
        QCOMPARE(panel.child<QSpinBox>("memCell")->value(), 9);
        QCOMPARE(panel.child<QSpinBox>("triggerBox")->value(), 5);
        QCOMPARE(panel.state().currentCell, 9);
        QVERIFY(panel.state().times == before.times);
        QVERIFY(panel.state().pressures == before.pressures);
        QVERIFY(panel.state().vacuums == before.vacuums);
        QVERIFY(panel.state().triggers == before.triggers);
        // The code of a bad value read back has no message of its own.
        QCOMPARE(panel.connectionText(), QStringLiteral("Error: code 10"));
    }

    void sendWritesThePanelInOrder_data()
    {
        QTest::addColumn<QString>("unitButton");
        QTest::addColumn<QByteArray>("pressure");
        QTest::newRow("psi") << "pressurePSI" << QByteArray("08PS  0005");
        QTest::newRow("bar, sent in hundredths") << "pressureBAR" << QByteArray("08PS  0500");
        QTest::newRow("kpa") << "pressureKPA" << QByteArray("08PS  0005");
    }

    void sendWritesThePanelInOrder()
    {
        QFETCH(QString, unitButton);
        QFETCH(QByteArray, pressure);
        panel.memCellTimer()->blockSignals(true);
        panel.child<QRadioButton>(qPrintable(unitButton))->click();
        panel.child<QRadioButton>("aiModeCount")->click();
        panel.child<QSpinBox>("startMemCell")->setValue(3);
        panel.child<QSpinBox>("endMemCell")->setValue(250);
        panel.child<QSpinBox>("memCell")->setValue(12);
        panel.child<QDoubleSpinBox>("dispenseTime")->setValue(1.2345);
        panel.child<QDoubleSpinBox>("pressureBox")->setValue(0.5);
        panel.child<QDoubleSpinBox>("vacuumBox")->setValue(18.0);
        panel.child<QSpinBox>("triggerBox")->setValue(77);

        clickSend();
        QCOMPARE(panel.packets(), (QList<QByteArray>{"10AC  S20000", "04TT  ", "12SS  S003E250", "07CH  012",
                                                     "10DS  T12345", pressure, "08VS  0180", "10EQ  T00077"}));
        QCOMPARE(panel.connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(panel.state().aiMode, 1);
    }

    void sendGoesOnAfterAFailureAndNamesIt()
    {
        CommandCountTrigger strike(*panel.dispenser, 5, [&] { panel.dispenser->injectFault(Fault::Refuse); });
        clickSend();
        QVERIFY(strike.hasFired());
        const QList<QByteArray> sent = panel.packets();
        QCOMPARE(sent.size(), 8);
        QVERIFY(sent[5].startsWith("08PS"));
        QVERIFY(sent[7].startsWith("10EQ"));
        QCOMPARE(panel.connectionText(), QStringLiteral("Error: A2 Received from P7"));
    }

    void closedPortReadsNoCell()
    {
        QVERIFY(!WindowOnSimulator::connect(*panel.window));
        panel.dispenser->clearLog();
        const QString shown = panel.connectionText();

        panel.child<QSpinBox>("memCell")->setValue(30);
        QTRY_VERIFY(!panel.memCellTimer()->isActive());
        QCOMPARE(panel.connectionText(), shown);
        QVERIFY(panel.lineStaysQuiet());
    }

    void failedCellReadKeepsTheCell()
    {
        SimulatedDispenser::State s;
        s.cells[20] = {3000, 150, 40, 8};
        s.currentCell = 20;
        panel.dispenser->setState(s);
        const DispenserState before = panel.state();
        const double shownTime = panel.child<QDoubleSpinBox>("dispenseTime")->value();

        panel.dispenser->injectFault(Fault::Refuse);
        panel.child<QSpinBox>("memCell")->setValue(20);
        QTRY_COMPARE(panel.connectionText(), QStringLiteral("Error: A2 Received from P7"));

        QVERIFY(panel.state().times == before.times);
        QVERIFY(panel.state().pressures == before.pressures);
        QVERIFY(panel.state().vacuums == before.vacuums);
        QCOMPARE(panel.child<QDoubleSpinBox>("dispenseTime")->value(), shownTime);
        // The trigger read worked and is shown.
        QCOMPARE(panel.child<QSpinBox>("triggerBox")->value(), 8);
    }

    void cellRangeBoundsTheOtherCellBoxes()
    {
        auto *memCell = panel.child<QSpinBox>("memCell");
        const QList<QSpinBox *> bounded = {panel.child<QSpinBox>("bulkAdjustStart"),
                                           panel.child<QSpinBox>("bulkAdjustEnd"), memCell};
        memCell->setValue(10);
        QTRY_VERIFY(!panel.memCellTimer()->isActive());
        panel.packets();
        panel.dispenser->clearLog();

        panel.child<QSpinBox>("startMemCell")->setValue(50);
        for (QSpinBox *box : bounded)
            QVERIFY2(box->minimum() == 50, qPrintable(box->objectName()));
        QCOMPARE(bounded[0]->value(), 50);
        QCOMPARE(panel.state().startCell, 50);
        // The cell moved into the range, so it is read.
        QCOMPARE(memCell->value(), 50);
        QTRY_COMPARE(panel.packets(), (QList<QByteArray>{"05E8050", "04ER  "}));

        panel.child<QSpinBox>("endMemCell")->setValue(200);
        for (QSpinBox *box : bounded)
            QVERIFY2(box->maximum() == 200, qPrintable(box->objectName()));
        QCOMPARE(bounded[1]->value(), 200);
        QCOMPARE(panel.state().endCell, 200);

        // The two job boxes do not bound each other.
        panel.child<QSpinBox>("endMemCell")->setValue(40);
        QCOMPARE(panel.child<QSpinBox>("endMemCell")->value(), 40);
        QCOMPARE(panel.state().endCell, 40);
    }

    void modeButtonsUpdateTheRecord()
    {
        panel.child<QRadioButton>("aiModeCount")->click();
        QCOMPARE(panel.state().aiMode, 1);
        QCOMPARE(shownValue("label_22"), QStringLiteral("Trigger (shots):"));
        panel.child<QRadioButton>("aiModeTimed")->click();
        QCOMPARE(shownValue("label_22"), QStringLiteral("Trigger (s):"));
        panel.child<QRadioButton>("dispenseModeSteady")->click();
        QCOMPARE(panel.state().dispenseMode, 1);
    }
};

QTEST_MAIN(TestSettingsPanel)
#include "tst_settings_panel.moc"
