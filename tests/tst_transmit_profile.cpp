// Transmit Profile against the simulated dispenser: the command order, the
// values the dispenser ends up holding, the bar factor, refused values, the
// guard against a nested run and the closing report.
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestTransmitProfile : public QObject
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

    QLabel *connectionLabel() const
    {
        return child<QStatusBar>("statusBar")->findChildren<QLabel *>().first();
    }
    const DispenserState &state() const { return window->dispenserState(); }

    // The job range, as the settings dock sets it.
    void chooseCells(int start, int end) const
    {
        child<QSpinBox>("startMemCell")->setValue(start);
        child<QSpinBox>("endMemCell")->setValue(end);
    }

    // Types a cell of the profile table; its check stores it in the record.
    void enter(int cell, const QString &time, const QString &pressure, const QString &vacuum,
               const QString &trigger) const
    {
        QTableWidget *table = window->findChild<QTableWidgetWithCopyPaste *>();
        const QStringList texts = {time, pressure, vacuum, trigger};
        for (int column = 0; column < texts.size(); ++column)
            table->item(cell, column)->setText(texts[column]);
    }

    void transmit() const { child<QPushButton>("pushButton")->click(); }

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

private slots:
    void init()
    {
        TestSettings::clear();
        dispenser.reset(new SimulatedDispenser);
        QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
        WindowOnSimulator::storePort(*dispenser);
        window.reset(new MainWindow);
        // Neither the alarm poll nor the delayed cell read mixes in.
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->interval() == 10000 || (timer->isSingleShot() && timer->interval() == 500))
                timer->blockSignals(true);
        }
        QVERIFY(WindowOnSimulator::connect(*window));
    }

    void cleanup()
    {
        window.reset();
        dispenser.reset();
    }

    void sendsEachCellThenTheRange()
    {
        chooseCells(5, 7);
        enter(5, "0.5", "10", "1.5", "100");
        enter(6, "1.25", "20.5", "3", "200");
        enter(7, "9.9999", "100", "18", "99999");
        dispenser->clearLog();

        transmit();
        QCOMPARE(commands(), (QList<QByteArray>{
                                 "07CH  005", "08PS  0100", "10DS  T05000", "08VS  0015", "10EQ  T00100",
                                 "07CH  006", "08PS  0205", "10DS  T12500", "08VS  0030", "10EQ  T00200",
                                 "07CH  007", "08PS  1000", "10DS  T99999", "08VS  0180", "10EQ  T99999",
                                 "12SS  S005E007"}));
        QCOMPARE(connectionLabel()->text(), QStringLiteral("Transmitting MemCell 7"));

        const SimulatedDispenser::State held = dispenser->state();
        QCOMPARE(held.cells[5].time, 5000);
        QCOMPARE(held.cells[5].pressure, 100);
        QCOMPARE(held.cells[5].vacuum, 15);
        QCOMPARE(held.cells[5].trigger, 100);
        QCOMPARE(held.cells[6].time, 12500);
        QCOMPARE(held.cells[6].pressure, 205);
        QCOMPARE(held.cells[6].vacuum, 30);
        QCOMPARE(held.cells[6].trigger, 200);
        QCOMPARE(held.cells[7].trigger, 99999);
        QCOMPARE(held.startCell, 5);
        QCOMPARE(held.endCell, 7);
    }

    void pressureScaledUnderBarOnly_data()
    {
        QTest::addColumn<QString>("unitButton");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("psi") << "pressurePSI" << QByteArray("08PS  0015");
        QTest::newRow("bar") << "pressureBAR" << QByteArray("08PS  1500");
        QTest::newRow("kpa") << "pressureKPA" << QByteArray("08PS  0015");
    }

    void pressureScaledUnderBarOnly()
    {
        QFETCH(QString, unitButton);
        QFETCH(QByteArray, packet);
        child<QRadioButton>(unitButton.toLatin1().constData())->click();
        chooseCells(5, 5);
        enter(5, "0.5", "1.5", "0", "1");
        QCOMPARE(state().pressures[5], 1.5);
        dispenser->clearLog();

        transmit();
        QCOMPARE(commands().value(1), packet);
    }

    void refusedVacuumIsSkippedAndReported()
    {
        child<QRadioButton>("mmhgbut")->click();
        chooseCells(5, 7);
        enter(6, "0.5", "10", "30", "5");
        QCOMPARE(state().vacuums[6], 30.0);
        dispenser->clearLog();

        transmit();
        const QList<QByteArray> sent = commands();
        QCOMPARE(sent.size(), 15);
        QCOMPARE(sent.mid(5, 4), (QList<QByteArray>{"07CH  006", "08PS  0100", "10DS  T05000", "10EQ  T00005"}));
        QCOMPARE(sent.last(), QByteArray("12SS  S005E007"));
        QCOMPARE(dispenser->state().cells[6].trigger, 5);
        QCOMPARE(connectionLabel()->text(),
                 QStringLiteral("Transmit incomplete: 1 commands failed, first at MemCell 6"));
    }

    void refusalsAreCountedFromTheFirst()
    {
        child<QRadioButton>("pressureBAR")->click();
        chooseCells(5, 7);
        // 2 bar goes out as 200, beyond what the dispenser holds: it refuses
        // the command, the link does not.
        enter(6, "0.5", "2", "0", "1");
        enter(7, "0.5", "2", "0", "1");
        dispenser->clearLog();

        transmit();
        QCOMPARE(commands().size(), 16);
        QCOMPARE(connectionLabel()->text(),
                 QStringLiteral("Transmit incomplete: 2 commands failed, first at MemCell 6"));
    }

    void secondClickDuringARunDoesNothing()
    {
        chooseCells(5, 7);
        dispenser->clearLog();
        QLabel *connection = connectionLabel();
        QPushButton *button = child<QPushButton>("pushButton");
        bool clicked = false;
        QTimer clicker;
        clicker.setInterval(0);
        connect(&clicker, &QTimer::timeout, this, [&]() {
            if (!clicked && connection->text() == QLatin1String("Transmitting MemCell 6")) {
                clicked = true;
                button->click();
            }
        });
        clicker.start();

        transmit();
        QVERIFY(clicked);
        int selections = 0;
        for (const QByteArray &command : commands())
            selections += command.startsWith("07CH") ? 1 : 0;
        QCOMPARE(selections, 3);
        QCOMPARE(commands().size(), 16);
        QCOMPARE(connection->text(), QStringLiteral("Transmitting MemCell 7"));

        // Once finished, the button works again.
        clicker.stop();
        dispenser->clearLog();
        transmit();
        QCOMPARE(commands().size(), 16);
    }

    void closedPortCountsEveryCommand()
    {
        chooseCells(5, 7);
        QVERIFY(!WindowOnSimulator::connect(*window));
        dispenser->clearLog();

        transmit();
        QCOMPARE(connectionLabel()->text(),
                 QStringLiteral("Transmit incomplete: 16 commands failed, first at MemCell 5"));
        QTest::qWait(50);
        QVERIFY(dispenser->receivedBytes().isEmpty());
    }
};

QTEST_MAIN(TestTransmitProfile)
#include "tst_transmit_profile.moc"
