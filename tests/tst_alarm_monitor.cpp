// Alarm monitoring against the simulated dispenser: the alarm texts by
// priority, the flashing, Alarm Reset, the closed port and failed polls.
// The ten-second poll is run by invoking its slot.
#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestAlarmMonitor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedDispenser> dispenser;
    std::unique_ptr<MainWindow> window;

    QList<QLabel *> statusLabels() const
    {
        return window->findChild<QStatusBar *>(QStringLiteral("statusBar"))->findChildren<QLabel *>();
    }
    QLabel *connectionLabel() const { return statusLabels().first(); }
    QLabel *alarmLabel() const { return statusLabels().last(); }
    QPushButton *alarmResetButton() const
    {
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String("Alarm Reset"))
                return button;
        }
        qFatal("no Alarm Reset button");
    }

    // The flash timer is the repeating one besides the ten-second poll.
    QTimer *flashTimer() const
    {
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (!timer->isSingleShot() && timer->interval() != 10000 && timer->parent() == window.get())
                return timer;
        }
        qFatal("no flash timer");
    }

    void poll() const { QMetaObject::invokeMethod(window.get(), "updateAlarms"); }
    void tick() const { QMetaObject::invokeMethod(window.get(), "flash"); }

    bool labelShown() const { return !alarmLabel()->isHidden(); }

private slots:
    void init()
    {
        TestSettings::clear();
        dispenser.reset(new SimulatedDispenser);
        QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
        WindowOnSimulator::storePort(*dispenser);
        window.reset(new MainWindow);
        // Only the polls the test asks for.
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->interval() == 10000)
                timer->blockSignals(true);
        }
        window->show();
        QVERIFY(WindowOnSimulator::connect(*window));
        dispenser->clearLog();
    }

    void cleanup()
    {
        window.reset();
        dispenser.reset();
    }

    void alarmTextsByPriority_data()
    {
        QTest::addColumn<unsigned>("bits");
        QTest::addColumn<QString>("text");
        QTest::newRow("input and pressure") << 9u << "Alarm: Input Alarm";
        QTest::newRow("pressure and auto increment") << 40u << "Alarm: Pressure Alarm";
        QTest::newRow("auto increment") << 32u << "Alarm: Auto Increment";
        QTest::newRow("all three") << 41u << "Alarm: Input Alarm";
    }

    void alarmTextsByPriority()
    {
        QFETCH(unsigned, bits);
        QFETCH(QString, text);
        dispenser->raiseAlarm(bits);
        poll();
        QCOMPARE(alarmLabel()->text(), text);
        QVERIFY(flashTimer()->isActive());
        QCOMPARE(flashTimer()->interval(), 500);
        QVERIFY(labelShown());
        QCOMPARE(connectionLabel()->text(), QStringLiteral("Connected to Pelidor 7"));
        QCOMPARE(dispenser->receivedPackets(), QList<QByteArray>{"04EL  "});
    }

    void quietDispenserShowsStatusOk()
    {
        poll();
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Status OK"));
        QVERIFY(!flashTimer()->isActive());
        QVERIFY(labelShown());
        QCOMPARE(connectionLabel()->text(), QStringLiteral("Connected to Pelidor 7"));
    }

    void alarmLabelBlinksAndEachPollRestartsTheRhythm()
    {
        dispenser->raiseAlarm(8);
        poll();
        // The ticks come from the test alone.
        flashTimer()->blockSignals(true);
        QVERIFY(labelShown());
        tick();
        QVERIFY(!labelShown());
        tick();
        QVERIFY(labelShown());
        tick();
        QVERIFY(!labelShown());

        // A poll while hidden leaves the label as it stands; the next tick
        // hides it, the one after shows it.
        poll();
        QVERIFY(!labelShown());
        QVERIFY(flashTimer()->isActive());
        tick();
        QVERIFY(!labelShown());
        tick();
        QVERIFY(labelShown());
    }

    void clearedAlarmShowsSteadyStatusOk()
    {
        dispenser->raiseAlarm(1);
        poll();
        tick();
        QVERIFY(!labelShown());

        alarmResetButton()->click();
        QTRY_COMPARE(dispenser->receivedPackets().last(), QByteArray("04EK  "));
        QCOMPARE(dispenser->state().alarmStatus, 0u);
        // Alarm Reset changes nothing on screen; the next poll does.
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Alarm: Input Alarm"));
        QVERIFY(flashTimer()->isActive());

        poll();
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Status OK"));
        QVERIFY(labelShown());
        QVERIFY(!flashTimer()->isActive());
    }

    void closedPortKeepsTheDisplayAndSendsNothing()
    {
        dispenser->raiseAlarm(32);
        poll();
        QVERIFY(!WindowOnSimulator::connect(*window));
        dispenser->clearLog();

        poll();
        QCOMPARE(connectionLabel()->text(), QStringLiteral("Connect First!"));
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Alarm: Auto Increment"));
        QVERIFY(flashTimer()->isActive());

        connectionLabel()->clear();
        alarmResetButton()->click();
        QCOMPARE(connectionLabel()->text(), QStringLiteral("Connect First!"));
        QTest::qWait(50);
        QVERIFY(dispenser->receivedBytes().isEmpty());
        QCOMPARE(dispenser->state().alarmStatus, 32u);
    }

    void failedPollKeepsTheDisplay_data()
    {
        QTest::addColumn<unsigned>("bits");
        QTest::addColumn<QString>("shown");
        QTest::newRow("during an alarm") << 8u << "Alarm: Pressure Alarm";
        QTest::newRow("while all is well") << 0u << "Status OK";
    }

    void failedPollKeepsTheDisplay()
    {
        QFETCH(unsigned, bits);
        QFETCH(QString, shown);
        dispenser->raiseAlarm(bits);
        poll();
        const bool flashing = flashTimer()->isActive();
        QCOMPARE(flashing, bits != 0);

        // The alarm clears on the dispenser, but the poll does not get through.
        dispenser->setState(SimulatedDispenser::State());
        dispenser->injectFault(SimulatedDispenser::Fault::DataWithoutEtx);
        poll();
        QCOMPARE(alarmLabel()->text(), shown);
        QCOMPARE(flashTimer()->isActive(), flashing);
        QCOMPARE(connectionLabel()->text(),
                 QStringLiteral("Error: Feedback command didn't send full response."));
    }

    void pollOfASilentDispenserSaysSo()
    {
        dispenser->raiseAlarm(1);
        poll();
        dispenser->setPoweredOn(false);
        poll();
        QCOMPARE(alarmLabel()->text(), QStringLiteral("Alarm: Input Alarm"));
        QVERIFY(flashTimer()->isActive());
        QCOMPARE(connectionLabel()->text(), QStringLiteral("Error: NACK from P7"));
    }
};

QTEST_MAIN(TestAlarmMonitor)
#include "tst_alarm_monitor.moc"
