// Alarm monitoring against the simulated dispenser: the alarm texts by
// priority, the flashing, Alarm Reset, the closed port and failed polls.
// The ten-second poll is run by invoking its slot, the flash by invoking its.
#include "PanelFixture.h"
#include "UserActions.h"
#include "WindowOnSimulator.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestAlarmMonitor : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    QLabel *alarmLabel() const { return UserActions::alarmLabel(*panel.window); }
    bool labelShown() const { return !alarmLabel()->isHidden(); }
    bool flashing() const { return panel.flashTimer()->isActive(); }
    void poll() const { QMetaObject::invokeMethod(panel.window.get(), "updateAlarms"); }
    void tick() const { QMetaObject::invokeMethod(panel.window.get(), "flash"); }

    QList<bool> shownAfterTicks(int count) const
    {
        QList<bool> shown;
        for (int i = 0; i < count; ++i) {
            tick();
            shown << labelShown();
        }
        return shown;
    }

private slots:
    void init() { QVERIFY2(panel.open(), qPrintable(panel.errorString())); }

    void cleanup() { panel.close(); }

    void pollShowsTheAlarmByPriority_data()
    {
        QTest::addColumn<unsigned>("bits");
        QTest::addColumn<QString>("text");
        QTest::newRow("input and pressure") << 9u << "Alarm: Input Alarm";
        QTest::newRow("pressure and auto increment") << 40u << "Alarm: Pressure Alarm";
        QTest::newRow("auto increment") << 32u << "Alarm: Auto Increment";
        QTest::newRow("all three") << 41u << "Alarm: Input Alarm";
        QTest::newRow("none") << 0u << "Status OK";
    }

    void pollShowsTheAlarmByPriority()
    {
        QFETCH(unsigned, bits);
        QFETCH(QString, text);
        panel.dispenser->raiseAlarm(bits);
        poll();
        QCOMPARE(alarmLabel()->text(), text);
        QCOMPARE(flashing(), bits != 0);
        if (bits != 0)
            QCOMPARE(panel.flashTimer()->interval(), 500);
        QVERIFY(labelShown());
        QCOMPARE(panel.connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(panel.packets(), QList<QByteArray>{"04EL  "});
    }

    void alarmLabelBlinksAndEachPollRestartsTheRhythm()
    {
        panel.dispenser->raiseAlarm(8);
        poll();
        panel.flashTimer()->blockSignals(true); // the ticks come from the test alone
        QVERIFY(labelShown());
        QCOMPARE(shownAfterTicks(3), (QList<bool>{false, true, false}));

        // A poll while hidden leaves the label as it stands; the next tick
        // hides it, the one after shows it.
        poll();
        QVERIFY(!labelShown());
        QVERIFY(flashing());
        QCOMPARE(shownAfterTicks(2), (QList<bool>{false, true}));
    }

    void clearedAlarmShowsSteadyStatusOk()
    {
        panel.dispenser->raiseAlarm(1);
        poll();
        tick();
        QVERIFY(!labelShown());

        UserActions::alarmResetButton(*panel.window)->click();
        QTRY_COMPARE(panel.dispenser->state().alarmStatus, 0u);
        // Alarm Reset changes nothing on screen; the next poll does.
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Alarm: Input Alarm"));
        QVERIFY(flashing());

        poll();
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Status OK"));
        QVERIFY(labelShown());
        QVERIFY(!flashing());
    }

    void closedPortKeepsTheDisplayAndSendsNothing()
    {
        panel.dispenser->raiseAlarm(32);
        poll();
        QVERIFY(!WindowOnSimulator::connect(*panel.window));
        panel.dispenser->clearLog();

        poll();
        QCOMPARE(panel.connectionText(), QStringLiteral("Connect First!"));
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Alarm: Auto Increment"));
        QVERIFY(flashing());

        UserActions::connectionLabel(*panel.window)->clear();
        UserActions::alarmResetButton(*panel.window)->click();
        QCOMPARE(panel.connectionText(), QStringLiteral("Connect First!"));
        QVERIFY(panel.lineStaysQuiet());
        QCOMPARE(panel.dispenser->state().alarmStatus, 32u);
    }

    void failedPollKeepsTheDisplay_data()
    {
        QTest::addColumn<unsigned>("bits");
        QTest::addColumn<bool>("poweredOn");
        QTest::addColumn<QString>("message");
        const QString cutShort = QStringLiteral("Error: Feedback command didn't send full response.");
        QTest::newRow("cut short during an alarm") << 8u << true << cutShort;
        QTest::newRow("cut short while all is well") << 0u << true << cutShort;
        QTest::newRow("dispenser off during an alarm") << 1u << false << "Error: NACK from P7";
    }

    void failedPollKeepsTheDisplay()
    {
        QFETCH(unsigned, bits);
        QFETCH(bool, poweredOn);
        QFETCH(QString, message);
        panel.dispenser->raiseAlarm(bits);
        poll();
        const QString shown = alarmLabel()->text();

        // The alarm clears on the dispenser, but the poll does not get through.
        panel.dispenser->setState(SimulatedDispenser::State());
        panel.dispenser->setPoweredOn(poweredOn);
        panel.dispenser->injectFault(SimulatedDispenser::Fault::DataWithoutEtx);
        poll();
        QCOMPARE(alarmLabel()->text(), shown);
        QCOMPARE(flashing(), bits != 0);
        QCOMPARE(panel.connectionText(), message);
    }
};

QTEST_MAIN(TestAlarmMonitor)
#include "tst_alarm_monitor.moc"
