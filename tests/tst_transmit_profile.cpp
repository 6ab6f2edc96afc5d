// Transmit Profile against the simulated dispenser: the exact command order,
// refused values skipped and reported, the guard against a nested run and the
// closed port.
#include "CommandCountTrigger.h"
#include "PanelFixture.h"
#include "QTableWidgetWithCopyPaste.h"
#include "WindowOnSimulator.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

class TestTransmitProfile : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    void chooseCells(int start, int end) const
    {
        panel.child<QSpinBox>("startMemCell")->setValue(start);
        panel.child<QSpinBox>("endMemCell")->setValue(end);
    }

    // Types a row of the profile table; its check stores it in the record.
    void enter(int cell, const QStringList &texts) const
    {
        QTableWidget *table = panel.window->findChild<QTableWidgetWithCopyPaste *>();
        for (int column = 0; column < texts.size(); ++column)
            table->item(cell, column)->setText(texts[column]);
    }

    void transmit() const { panel.child<QPushButton>("pushButton")->click(); }

private slots:
    void init()
    {
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        // The cell read that follows a change of the range stays out.
        UserActions::memCellTimer(*panel.window)->blockSignals(true);
    }

    void cleanup() { panel.close(); }

    void sendsEachCellThenTheRange()
    {
        chooseCells(5, 7);
        enter(5, {"0.5", "10", "1.5", "100"});
        enter(6, {"1.25", "20.5", "3", "200"});
        enter(7, {"9.9999", "100", "18", "99999"});

        transmit();
        QCOMPARE(panel.packets(), (QList<QByteArray>{
                                      "07CH  005", "08PS  0100", "10DS  T05000", "08VS  0015", "10EQ  T00100",
                                      "07CH  006", "08PS  0205", "10DS  T12500", "08VS  0030", "10EQ  T00200",
                                      "07CH  007", "08PS  1000", "10DS  T99999", "08VS  0180", "10EQ  T99999",
                                      "12SS  S005E007"}));
        QCOMPARE(panel.connectionText(), QStringLiteral("Transmitting MemCell 7"));
    }

    void refusalsAreSkippedAndReported_data()
    {
        QTest::addColumn<QString>("unitButton");
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QList<QByteArray>>("cellSix");
        // 30 mmHg is more than the link sends: the vacuum never goes out.
        QTest::newRow("vacuum refused by the link")
            << "mmhgbut" << QStringList{"0.5", "10", "30", "5"}
            << QList<QByteArray>{"07CH  006", "08PS  0100", "10DS  T05000", "10EQ  T00005"};
        // 2 bar goes out as 200, more than the dispenser holds: it refuses it.
        QTest::newRow("pressure refused by the dispenser")
            << "pressureBAR" << QStringList{"0.5", "2", "0", "5"}
            << QList<QByteArray>{"07CH  006", "08PS  2000", "10DS  T05000", "08VS  0000", "10EQ  T00005"};
    }

    void refusalsAreSkippedAndReported()
    {
        QFETCH(QString, unitButton);
        QFETCH(QStringList, row);
        QFETCH(QList<QByteArray>, cellSix);
        panel.child<QRadioButton>(qPrintable(unitButton))->click();
        chooseCells(5, 7);
        enter(6, row);
        enter(7, row);

        transmit();
        const QList<QByteArray> sent = panel.packets();
        QCOMPARE(sent.mid(5, cellSix.size()), cellSix);
        QCOMPARE(sent.last(), QByteArray("12SS  S005E007"));
        QCOMPARE(panel.dispenser->state().cells[6].trigger, 5);
        QCOMPARE(panel.connectionText(), QStringLiteral("Transmit incomplete: 2 commands failed, first at MemCell 6"));
    }

    void secondClickDuringARunDoesNothing()
    {
        chooseCells(5, 7);
        auto *button = panel.child<QPushButton>("pushButton");
        // Clicked again once cell 6 is selected.
        CommandCountTrigger clickAgain(*panel.dispenser, 6, [button] { button->click(); });
        transmit();
        QVERIFY(clickAgain.hasFired());
        QCOMPARE(panel.packets().size(), 16);
        QCOMPARE(panel.packets().count("07CH  005"), 1);
        QCOMPARE(panel.connectionText(), QStringLiteral("Transmitting MemCell 7"));

        // Once finished, the button works again.
        panel.dispenser->clearLog();
        transmit();
        QCOMPARE(panel.packets().size(), 16);
    }

    void closedPortCountsEveryCommand()
    {
        chooseCells(5, 7);
        QVERIFY(!WindowOnSimulator::connect(*panel.window));
        panel.dispenser->clearLog();
        transmit();
        QCOMPARE(panel.connectionText(), QStringLiteral("Transmit incomplete: 16 commands failed, first at MemCell 5"));
        QVERIFY(panel.lineStaysQuiet());
    }
};

QTEST_MAIN(TestTransmitProfile)
#include "tst_transmit_profile.moc"
