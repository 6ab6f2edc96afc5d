// The window when the dispenser or the line fails, and while exchanges run:
// every action ends with a visible outcome, nothing starts inside another
// exchange, and a transmission can be stopped or ended by closing.
#include "BusyControls.h"
#include "CpuStopwatch.h"
#include "DebugCapture.h"
#include "DispenserLink.h"
#include "Packet.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QStackedWidget>
#include <QSpinBox>
#include <QtTest>

class TestWindowFaults : public QObject
{
    Q_OBJECT

    WindowFixture f;

    QString buttonText(const char *name) const { return f.find<QAbstractButton>(name)->text(); }
    // A user's click on a widget of the shown window, later in the event loop.
    void clickSoon(int milliseconds, const char *name)
    {
        QTimer::singleShot(milliseconds,
                           [this, name] { QTest::mouseClick(f.find(name), Qt::LeftButton); });
    }

private slots:
    void cleanup() { f.close(); }

    void connectTellsWhyNot()
    {
        QVERIFY2(f.open({}, 0), qPrintable(f.errorString()));
        DispenserLink other; // holds the device
        QVERIFY(other.openPort(f.portName, 115200));
        f.click("connectButton");
        QVERIFY2(f.status().startsWith("Could not open " + f.portName + ": "),
                 qPrintable(f.status()));
        QVERIFY(f.statusIsRed());
        QCOMPARE(buttonText("connectButton"), QStringLiteral("Connect"));

        // Connect/Refresh looks for ports again and connects.
        other.closePort();
        f.click("refreshButton");
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
        QVERIFY(!f.statusIsRed());
        QCOMPARE(buttonText("connectButton"), QStringLiteral("Disconnect"));
        f.click("connectButton");
        QCOMPARE(f.status(), QStringLiteral("Not Connected to Pelidor 7"));
        QVERIFY(f.statusIsRed());

        f.dispenser->stop();
        f.click("connectButton");
        QCOMPARE(f.status(), "Could not open " + f.portName + ": no such port");
    }

    // The device end goes away: the port closes at once, the window says so
    // and stays idle; the device back, Connect works again.
    void lostLine()
    {
        QVERIFY2(f.open({}, WindowFixture::Connected | WindowFixture::ThroughLink),
                 qPrintable(f.errorString()));
        f.dispenser->stop();
        QTRY_COMPARE(f.status(), "Connection lost: " + f.portName);
        QVERIFY(f.statusIsRed());
        QCOMPARE(buttonText("connectButton"), QStringLiteral("Connect"));
        const qint64 cpuBefore = processCpuMs();
        QTest::qWait(500);
        QVERIFY2(processCpuMs() - cpuBefore < 100,
                 qPrintable(QString::number(processCpuMs() - cpuBefore)));

        f.dispenser = std::make_unique<SimulatedDispenser>();
        QVERIFY(f.dispenser->start());
        QVERIFY(f.dispenser->makeLink(f.portName));
        f.click("connectButton");
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));

        // Lost in the middle of Get: the sequence ends there, and says so.
        f.dispenser->setReplyDelay(30);
        QTimer::singleShot(150, [this] { f.dispenser->stop(); });
        f.click("pushButton_4");
        QCOMPARE(f.status(), "Connection lost: " + f.portName);
        QVERIFY(f.statusIsRed());
    }

    // A failed read shows in red and leaves its labels; the others still show.
    // Without the dispenser's pressure unit no pressure is taken.
    void failedGetIsShownInRed()
    {
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        const QString before = f.labelText("dispensePressLabel");
        f.dispenser->injectFault(SimulatedDispenser::Fault::Refuse);
        f.click("pushButton_4");
        QCOMPARE(f.status(), QStringLiteral("Error: A2 Received from P7"));
        QVERIFY(f.statusIsRed());
        QCOMPARE(f.labelText("dispensePressLabel"), before);
        QCOMPARE(f.find<QDoubleSpinBox>("pressureBox")->text(), QStringLiteral("unknown"));
        QCOMPARE(f.labelText("aiModeLabel"), QStringLiteral("Off"));
        QCOMPARE(f.labelText("trigLabel"), QStringLiteral("1"));
    }

    void alarmsShownAndReset()
    {
        SimulatedDispenser::State s;
        s.alarmStatus = 8 | 32;
        QVERIFY2(f.open(s), qPrintable(f.errorString()));
        QMetaObject::invokeMethod(f.window.get(), "updateAlarms");
        QCOMPARE(f.labelText("alarmLabel"), QStringLiteral("Alarm: Pressure Alarm"));
        auto *flashTimer = f.find<QTimer>("flashTimer");
        QVERIFY(flashTimer->isActive());
        QCOMPARE(f.find("alarmLabel")->styleSheet(),
                 QStringLiteral("color: white; background-color: red;"));
        QMetaObject::invokeMethod(f.window.get(), "flash");
        QCOMPARE(f.find("alarmLabel")->styleSheet(), QStringLiteral("color: red;"));

        f.clearLog();
        f.click("alarmResetButton");
        QCOMPARE(f.packets(), QList<QByteArray>({ "04EK  ", "04EL  " }));
        QCOMPARE(f.labelText("alarmLabel"), QStringLiteral("Status OK"));
        QCOMPARE(f.find("alarmLabel")->styleSheet(), QStringLiteral("color: green;"));
        QVERIFY(!flashTimer->isActive());
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
    }

    // Polls falling due during Get are skipped, a cell read waits, and once
    // the window shows itself busy the other buttons take no click.
    void nothingStartsInsideAnExchange()
    {
        SimulatedDispenser::State s;
        s.currentCell = 7;
        QVERIFY2(f.open(s, WindowFixture::Connected | WindowFixture::Shown),
                 qPrintable(f.errorString()));
        f.dispenser->setReplyDelay(60);
        f.find<QSpinBox>("memCell")->setValue(5); // its read falls due during Get
        auto *alarmTimer = f.find<QTimer>("alarmTimer");
        alarmTimer->setInterval(20);
        alarmTimer->blockSignals(false);
        clickSoon(BusyControls::showAfterMs + 100, "pushButton_5");
        DebugCapture debug;
        f.click("pushButton_4");
        QTRY_VERIFY(
                f.dispenser->receivedPackets().contains("04EL  ")); // the poll's turn comes after
        alarmTimer->blockSignals(true);
        const QList<QByteArray> packets = f.packets();
        QCOMPARE(packets.mid(0, 8),
                 QList<QByteArray>({ "04E4  ", "04E5  ", "04AU  ", "04UD  ", "05E8007", "04ER  ",
                                     "04E9  ", "04EE  " }));
        QVERIFY(!packets.contains("05AI  0")); // Send's first command
        QTRY_VERIFY(
                f.dispenser->receivedPackets().mid(8).contains("05E8007")); // the cell read waited
        QVERIFY(!debug.lines().contains("Error: Serial port busy with another command"));
    }

    // With the dispenser off, every action ends at its first unanswered
    // command (one ENQ), and says so in red with what to do.
    void switchedOffDispenser_data()
    {
        QTest::addColumn<QByteArray>("action"); // a button, or the index of a page to open
        QTest::addColumn<QString>("status");
        const QString nack =
                QStringLiteral("Error: NACK from P7 - is the Pelidor 7 switched on and connected?");
        QTest::newRow("Get") << QByteArray("pushButton_4") << nack;
        QTest::newRow("Send") << QByteArray("pushButton_5") << nack;
        QTest::newRow("Apply") << QByteArray("configApplyButton") << nack;
        QTest::newRow("page read") << QByteArray("Time/Date") << "Connected to Pelidor 7";
    }

    void switchedOffDispenser()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, status);
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        f.find<QStackedWidget>("configStackWidget")->setCurrentIndex(4); // alarm options
        f.dispenser->setPoweredOn(false);
        if (action.startsWith("Time"))
            f.openPage(action);
        else
            f.click(action);
        QCOMPARE(f.status(), status);
        QCOMPARE(f.dispenser->receivedBytes().count(Packet::ENQ), 1);
    }

    // While Get waits on a dispenser that is off, the window shows itself
    // busy: what would start another exchange, and the fields Get fills, are
    // disabled and refuse the keys typed into them; the rest takes input.
    void busyIsVisible()
    {
        QVERIFY2(f.open({}, WindowFixture::Connected | WindowFixture::Shown),
                 qPrintable(f.errorString()));
        auto *field = f.find<QDoubleSpinBox>("dispenseTime");
        field->setFocus();
        f.dispenser->setPoweredOn(false);
        QStringList during;
        QTimer::singleShot(BusyControls::showAfterMs + 100, [&] {
            for (const char *name : { "pushButton_4", "pushButton_5", "connectButton", "treeWidget",
                                      "dispenseTime", "calendarWidget" })
                during << QStringLiteral("%1 %2").arg(name).arg(f.find(name)->isEnabled());
            during << QString::number(QApplication::overrideCursor()->shape());
            QTest::keyClicks(field, "0.5");
        });
        f.click("pushButton_4");
        QCOMPARE(during,
                 QStringList({ "pushButton_4 0", "pushButton_5 0", "connectButton 0",
                               "treeWidget 0", "dispenseTime 0", "calendarWidget 1",
                               QString::number(Qt::BusyCursor) }));
        QCOMPARE(field->text(), QStringLiteral("unknown"));
        QVERIFY(field->isEnabled() && field->hasFocus());
        QVERIFY(!QApplication::overrideCursor());

        // A field Send does not use keeps the focus while it waits.
        auto *calendar = f.find("calendarWidget");
        calendar->setFocus();
        bool focusKept = false;
        QTimer::singleShot(BusyControls::showAfterMs + 100,
                           [&] { focusKept = calendar->hasFocus(); });
        f.click("pushButton_5");
        QVERIFY(focusKept);
    }

    // Connected means answered; the poll writes its own label and takes the
    // status line only when it fails, and gives it back once answered.
    void theStatusLineKeepsTheLastOutcome()
    {
        SimulatedDispenser::State s;
        s.lockouts = 2; // dispense pressure
        QVERIFY2(f.open(s, 0), qPrintable(f.errorString()));
        auto poll = [this] { QMetaObject::invokeMethod(f.window.get(), "updateAlarms"); };
        QCOMPARE(f.labelText("alarmLabel"), QStringLiteral("Status unknown"));
        f.dispenser->setPoweredOn(false);
        f.click("connectButton");
        QCOMPARE(f.status(), "Port " + f.portName + " open, but the Pelidor 7 does not answer");
        QVERIFY(f.statusIsRed());
        // Its lockouts unread, an operator is held to all of them; the poll
        // reads them, and then the word read decides.
        QVERIFY(!f.find("dispenseTime")->isEnabled() && !f.find("pressureBox")->isEnabled());
        f.dispenser->setPoweredOn(true);
        poll();
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
        QVERIFY(!f.statusIsRed());
        QCOMPARE(f.labelText("alarmLabel"), QStringLiteral("Status OK"));
        QVERIFY(f.find("dispenseTime")->isEnabled() && !f.find("pressureBox")->isEnabled());

        f.dispenser->injectFault(SimulatedDispenser::Fault::Refuse);
        f.click("pushButton_5");
        poll();
        QCOMPARE(f.status(), QStringLiteral("Error: A2 Received from P7"));
        f.dispenser->setPoweredOn(false);
        poll();
        QVERIFY(f.status().startsWith("Error: NACK from P7"));
        QCOMPARE(f.labelText("alarmLabel"), QStringLiteral("Status unknown"));
        f.dispenser->setPoweredOn(true);
        poll();
        QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));

        f.click("connectButton"); // disconnect
        poll();
        QCOMPARE(f.status(), QStringLiteral("Not Connected to Pelidor 7"));
    }

    void transmitStopsWhenAskedOrClosed()
    {
        QVERIFY2(f.open({}, WindowFixture::Connected | WindowFixture::Shown),
                 qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        f.dispenser->setReplyDelay(2);
        f.clearLog();
        QString duringRun;
        QTimer::singleShot(250, [&] { duringRun = buttonText("pushButton"); });
        clickSoon(300, "pushButton_4"); // disabled: only the stop button is live
        clickSoon(350, "pushButton");
        DebugCapture debug;
        f.click("pushButton");
        QVERIFY(!debug.lines().contains("Error: Serial port busy with another command"));
        QCOMPARE(duringRun, QStringLiteral("Stop Transmit"));
        QVERIFY2(QRegularExpression("^Transmit stopped at MemCell \\d+: stopped by the user$")
                         .match(f.status())
                         .hasMatch(),
                 qPrintable(f.status()));
        QVERIFY(f.statusIsRed());
        QCOMPARE(buttonText("pushButton"), QStringLiteral("Transmit Profile"));
        QVERIFY(!f.packets().contains("04AU  "));

        // Closing the window ends the run at once and closes the port.
        f.clearLog();
        QElapsedTimer clock;
        QTimer::singleShot(150, [&] {
            clock.start();
            f.window->close();
        });
        f.click("pushButton");
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        const int sent = f.packets().size();
        QVERIFY(sent > 0 && sent < 2001);
        QTest::qWait(200);
        QCOMPARE(f.dispenser->receivedPackets().size(), sent);
        QVERIFY(!f.window->isVisible());
    }

    // A read stops on its own button, which reads Stop Read meanwhile (a
    // verify shares the way); the dispenser is back on its cell.
    void readStopsWhenAsked()
    {
        SimulatedDispenser::State s;
        s.currentCell = 42;
        QVERIFY2(f.open(s, WindowFixture::Connected | WindowFixture::Shown),
                 qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        f.dispenser->setReplyDelay(2);
        QString duringRun;
        QTimer::singleShot(150, [&] { duringRun = buttonText("readProfileButton"); });
        clickSoon(200, "readProfileButton");
        f.dialogs.answers = { 1 };
        f.click("readProfileButton");
        QCOMPARE(duringRun, QStringLiteral("Stop Read"));
        QVERIFY2(QRegularExpression("^Read stopped at MemCell \\d+: stopped by the user$")
                         .match(f.status())
                         .hasMatch(),
                 qPrintable(f.status()));
        QCOMPARE(buttonText("readProfileButton"), QStringLiteral("Read Profile"));
        QCOMPARE(f.dispenser->state().currentCell, 42);
    }
};

QTEST_MAIN(TestWindowFaults)
#include "tst_window_faults.moc"
