// The settings dock against the simulated dispenser: what Get reads and in
// which order, failed reads keeping what the window held, Send's order and
// bar factor, the memory-cell read after a failure and the cell range bounds.
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

// What a Get of the example shows and stores, keyed "read/name" by the read
// that fills it: widgets and labels by object name, the record by member.
const QMap<QString, QString> exampleShown = {
    {"status/aiModeGroup", "3"}, {"status/dispenseModeGroup", "1"}, {"status/aiModeLabel", "Off"},
    {"status/strtMemCellLabel", "5"}, {"status/endMemCellLabel", "120"}, {"status/startMemCell", "5"},
    {"status/endMemCell", "120"}, {"status/aiMode", "3"}, {"status/dispenseMode", "1"},
    {"status/startCell", "5"}, {"status/endCell", "120"},
    {"cell/memCell", "7"}, {"cell/currMemCellLabel", "7"}, {"cell/dispenseTimeLabel", "0.25"},
    {"cell/dispensePressLabel", "30.5"}, {"cell/dispenseTime", "0.25"}, {"cell/pressureBox", "30.5"},
    {"cell/currentCell", "7"}, {"cell/times", "0.25"}, {"cell/pressures", "30.5"},
    {"vacuum/dispenseVacLabel", "2.5"}, {"vacuum/vacuumBox", "2.5"}, {"vacuum/vacuums", "2.5"},
    {"trigger/trigLabel", "10"}, {"trigger/triggerBox", "10"}, {"trigger/triggers", "10"},
    {"shot/shotCountLabel", "1234"}, {"clock/dateTimeLabel", "2:05 PM"},
};

} // namespace

class TestSettingsPanel : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    void clickGet() const { panel.child<QPushButton>("pushButton_4")->click(); }

    // Everything a Get can change, keyed as in exampleShown; the arrays at
    // the example's cell 7.
    QMap<QString, QString> shownByGet() const
    {
        QMap<QString, QString> shown;
        for (const QString &key : exampleShown.keys()) {
            QObject *widget = panel.window->findChild<QObject *>(key.section('/', 1));
            if (auto *label = qobject_cast<QLabel *>(widget))
                shown[key] = label->text();
            else if (auto *group = qobject_cast<QButtonGroup *>(widget))
                shown[key] = QString::number(group->checkedId());
            else if (widget)
                shown[key] = widget->property("value").toString();
        }
        const DispenserState &s = panel.state();
        const std::pair<const char *, double> record[] = {
            {"status/aiMode", s.aiMode}, {"status/dispenseMode", s.dispenseMode},
            {"status/startCell", s.startCell}, {"status/endCell", s.endCell}, {"cell/currentCell", s.currentCell},
            {"cell/times", s.times[7]}, {"cell/pressures", s.pressures[7]}, {"vacuum/vacuums", s.vacuums[7]},
            {"trigger/triggers", s.triggers[7]}};
        for (const auto &[key, value] : record)
            shown[key] = QString::number(value);
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

    void getReadsInOrderAndFillsEverything()
    {
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
        QTest::addColumn<int>("commandsBefore");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept");
        const QString cutShort = QStringLiteral("Error: Feedback command didn't send full response.");
        QTest::newRow("status refused") << 0 << Fault::Refuse << "Error: A2 Received from P7" << QStringList{"status"};
        // Without the cell the vacuum and trigger cannot be placed either.
        QTest::newRow("cell data cut short") << 1 << Fault::DataWithoutEtx << cutShort
                                             << QStringList{"cell", "vacuum", "trigger"};
        QTest::newRow("vacuum unanswered") << 2 << Fault::NoReply << "Error: No response when expected from P7"
                                           << QStringList{"vacuum"};
        QTest::newRow("trigger garbled") << 3 << Fault::Garbage << "Error: unknown error" << QStringList{"trigger"};
        QTest::newRow("shot count refused") << 4 << Fault::Refuse << "Error: A2 Received from P7"
                                            << QStringList{"shot"};
        QTest::newRow("clock without data") << 5 << Fault::NoData << cutShort << QStringList{"clock"};
    }

    void failedReadKeepsWhatItWouldFill()
    {
        QFETCH(int, commandsBefore);
        QFETCH(Fault, fault);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        UserActions::memCellTimer(*panel.window)->blockSignals(true);
        panel.dispenser->setState(otherDispenser());
        clickGet();
        const QMap<QString, QString> before = shownByGet();

        panel.dispenser->setState(exampleDispenser());
        CommandCountTrigger strike(*panel.dispenser, commandsBefore, [&] { panel.dispenser->injectFault(fault); });
        clickGet();
        QVERIFY(strike.hasFired());

        // A kept entry shows what the other dispenser's Get left, the rest
        // what the example's Get shows.
        QMap<QString, QString> expected = exampleShown;
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QVERIFY2(before.value(it.key()) != it.value(), qPrintable(it.key()));
            if (kept.contains(it.key().section('/', 0, 0)))
                it.value() = before.value(it.key());
        }
        QCOMPARE(differences(shownByGet(), expected), QString());
        QCOMPARE(panel.connectionText(), message);
    }

    void cellAboveTheProfileIsShownNotStored()
    {
        UserActions::memCellTimer(*panel.window)->blockSignals(true);
        panel.dispenser->setState(otherDispenser());
        clickGet();
        const DispenserState before = panel.state();

        panel.dispenser->setState(exampleDispenser());
        CommandCountTrigger strike(*panel.dispenser, 1, [&] { panel.dispenser->injectData("CH400DT02500PD0305"); });
        clickGet();
        QVERIFY(strike.hasFired());

        QCOMPARE(panel.child<QLabel>("currMemCellLabel")->text(), QStringLiteral("400"));
        QCOMPARE(panel.child<QLabel>("dispenseTimeLabel")->text(), QStringLiteral("0.25"));
        QCOMPARE(panel.child<QSpinBox>("memCell")->value(), 9);
        QCOMPARE(panel.child<QSpinBox>("triggerBox")->value(), 5);
        const DispenserState &after = panel.state();
        QCOMPARE(after.currentCell, 9);
        QVERIFY(after.times == before.times && after.pressures == before.pressures
                && after.vacuums == before.vacuums && after.triggers == before.triggers);
        // The code of a bad value read back has no message of its own.
        QCOMPARE(panel.connectionText(), QStringLiteral("Error: code 10"));
    }

    void sendWritesThePanelInOrder_data()
    {
        QTest::addColumn<QString>("unitButton");
        QTest::addColumn<QByteArray>("pressure");
        QTest::newRow("bar, sent in hundredths") << "pressureBAR" << QByteArray("08PS  0500");
        QTest::newRow("kpa, sent as shown") << "pressureKPA" << QByteArray("08PS  0005");
    }

    void sendWritesThePanelInOrder()
    {
        QFETCH(QString, unitButton);
        QFETCH(QByteArray, pressure);
        UserActions::memCellTimer(*panel.window)->blockSignals(true);
        panel.child<QRadioButton>(qPrintable(unitButton))->click();
        panel.child<QRadioButton>("aiModeCount")->click();
        panel.child<QSpinBox>("startMemCell")->setValue(3);
        panel.child<QSpinBox>("endMemCell")->setValue(250);
        panel.child<QSpinBox>("memCell")->setValue(12);
        panel.child<QDoubleSpinBox>("dispenseTime")->setValue(1.2345);
        panel.child<QDoubleSpinBox>("pressureBox")->setValue(0.5);
        panel.child<QDoubleSpinBox>("vacuumBox")->setValue(18.0);
        panel.child<QSpinBox>("triggerBox")->setValue(77);

        panel.child<QPushButton>("pushButton_5")->click();
        QCOMPARE(panel.packets(), (QList<QByteArray>{"10AC  S20000", "04TT  ", "12SS  S003E250", "07CH  012",
                                                     "10DS  T12345", pressure, "08VS  0180", "10EQ  T00077"}));
        QCOMPARE(panel.connectionText(), QStringLiteral("Connected to Pelidor 7"));
    }

    void sendGoesOnAfterAFailureAndNamesIt()
    {
        CommandCountTrigger strike(*panel.dispenser, 5, [&] { panel.dispenser->injectFault(Fault::Refuse); });
        panel.child<QPushButton>("pushButton_5")->click();
        QVERIFY(strike.hasFired());
        const QList<QByteArray> sent = panel.packets();
        QCOMPARE(sent.size(), 8);
        QVERIFY(sent[5].startsWith("08PS") && sent[7].startsWith("10EQ"));
        QCOMPARE(panel.connectionText(), QStringLiteral("Error: A2 Received from P7"));
    }

    void closedPortReadsNoCell()
    {
        QVERIFY(!WindowOnSimulator::connect(*panel.window));
        panel.dispenser->clearLog();
        const QString shown = panel.connectionText();
        panel.child<QSpinBox>("memCell")->setValue(30);
        QTRY_VERIFY(!UserActions::memCellTimer(*panel.window)->isActive());
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

        const DispenserState &after = panel.state();
        QVERIFY(after.times == before.times && after.pressures == before.pressures && after.vacuums == before.vacuums);
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
        QTRY_VERIFY(!UserActions::memCellTimer(*panel.window)->isActive());
        panel.packets();
        panel.dispenser->clearLog();

        panel.child<QSpinBox>("startMemCell")->setValue(50);
        for (QSpinBox *box : bounded)
            QVERIFY2(box->minimum() == 50, qPrintable(box->objectName()));
        QCOMPARE(panel.state().startCell, 50);
        // The cell moved into the range, so it is read.
        QCOMPARE(memCell->value(), 50);
        QTRY_COMPARE(panel.packets(), (QList<QByteArray>{"05E8050", "04ER  "}));

        panel.child<QSpinBox>("endMemCell")->setValue(200);
        for (QSpinBox *box : bounded)
            QVERIFY2(box->maximum() == 200, qPrintable(box->objectName()));
        QCOMPARE(panel.state().endCell, 200);

        // The two job boxes do not bound each other.
        panel.child<QSpinBox>("endMemCell")->setValue(40);
        QCOMPARE(panel.child<QSpinBox>("endMemCell")->value(), 40);
        QCOMPARE(panel.state().endCell, 40);
    }
};

QTEST_MAIN(TestSettingsPanel)
#include "tst_settings_panel.moc"
