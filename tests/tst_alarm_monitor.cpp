// Alarm monitoring against the simulated dispenser: the alarm texts by
// priority, the blink rhythm across polls, the closed port and failed polls.
// The ten-second poll is run by invoking its slot, the blink by invoking its.
#include "PanelFixture.h"
#include "WindowOnSimulator.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace UserActions;

class TestAlarmMonitor : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    bool labelShown() const { return !alarmLabel(*panel.window)->isHidden(); }
    void poll() const { QMetaObject::invokeMethod(panel.window.get(), "updateAlarms"); }

    // The repeating timer that is not the alarm poll.
    QTimer *flashTimer() const
    {
        for (QTimer *timer : panel.window->findChildren<QTimer *>()) {
            if (!timer->isSingleShot() && timer != alarmTimer(*panel.window))
                return timer;
        }
        qFatal("no flash timer");
    }

    QList<bool> shownAfterTicks(int count) const
    {
        QList<bool> shown;
        for (int i = 0; i < count; ++i) {
            QMetaObject::invokeMethod(panel.window.get(), "flash");
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
        QTest::newRow("input over pressure") << 9u << "Alarm: Input Alarm";
        QTest::newRow("pressure over auto increment") << 40u << "Alarm: Pressure Alarm";
        QTest::newRow("auto increment") << 32u << "Alarm: Auto Increment";
    }

    void pollShowsTheAlarmByPriority()
    {
        QFETCH(unsigned, bits);
        QFETCH(QString, text);
        panel.dispenser->raiseAlarm(bits);
        poll();
        QCOMPARE(alarmLabel(*panel.window)->text(), text);
        QVERIFY(flashTimer()->isActive());
        QCOMPARE(flashTimer()->interval(), 500);
        QCOMPARE(panel.connectionText(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(panel.packets(), QList<QByteArray>{"04EL  "});
    }

    // A poll while hidden leaves the label as it stands; the next tick hides
    // it, the one after shows it.
    void eachPollRestartsTheBlink()
    {
        panel.dispenser->raiseAlarm(8);
        poll();
        flashTimer()->blockSignals(true);
        QVERIFY(labelShown());
        QCOMPARE(shownAfterTicks(3), (QList<bool>{false, true, false}));
        poll();
        QVERIFY(!labelShown());
        QVERIFY(flashTimer()->isActive());
        QCOMPARE(shownAfterTicks(2), (QList<bool>{false, true}));
    }

    void closedPortKeepsTheDisplayAndSendsNothing()
    {
        panel.dispenser->raiseAlarm(32);
        poll();
        QVERIFY(!WindowOnSimulator::connect(*panel.window));
        panel.dispenser->clearLog();

        poll();
        QCOMPARE(panel.connectionText(), QStringLiteral("Connect First!"));
        QCOMPARE(alarmLabel(*panel.window)->text(), QStringLiteral("Alarm: Auto Increment"));
        QVERIFY(flashTimer()->isActive());

        connectionLabel(*panel.window)->clear();
        alarmResetButton(*panel.window)->click();
        QCOMPARE(panel.connectionText(), QStringLiteral("Connect First!"));
        QVERIFY(panel.lineStaysQuiet());
        QCOMPARE(panel.dispenser->state().alarmStatus, 32u);
    }

    void failedPollKeepsTheDisplay_data()
    {
        QTest::addColumn<unsigned>("bits");
        QTest::addColumn<bool>("poweredOn");
        QTest::addColumn<QString>("message");
        QTest::newRow("cut short during an alarm") << 8u << true
                                                   << "Error: Feedback command didn't send full response.";
        QTest::newRow("dispenser off while all is well") << 0u << false << "Error: NACK from P7";
    }

    void failedPollKeepsTheDisplay()
    {
        QFETCH(unsigned, bits);
        QFETCH(bool, poweredOn);
        QFETCH(QString, message);
        panel.dispenser->raiseAlarm(bits);
        poll();
        const QString shown = alarmLabel(*panel.window)->text();

        // The alarm clears on the dispenser, but the poll does not get through.
        panel.dispenser->setState(SimulatedDispenser::State());
        panel.dispenser->setPoweredOn(poweredOn);
        panel.dispenser->injectFault(SimulatedDispenser::Fault::DataWithoutEtx);
        poll();
        QCOMPARE(alarmLabel(*panel.window)->text(), shown);
        QCOMPARE(flashTimer()->isActive(), bits != 0);
        QCOMPARE(panel.connectionText(), message);
    }
};

QTEST_MAIN(TestAlarmMonitor)
#include "tst_alarm_monitor.moc"
