// Apply on the configuration pages: what each page sends to the dispenser,
// the pages that need no connection, the clock and date, and the supervisor
// password change.
#include "MessageBoxCloser.h"
#include "PanelFixture.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QtTest>

class TestConfigApply : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    void apply(int page) const
    {
        panel.child<QStackedWidget>("configStackWidget")->setCurrentIndex(page);
        panel.child<QPushButton>("configApplyButton")->click();
    }

    void click(const QString &name) const { panel.child<QAbstractButton>(qPrintable(name))->click(); }

private slots:
    void cleanup() { panel.close(); }

    void pagesOneToSixNeedAConnection_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("shown");
        for (int page = 1; page <= 6; ++page)
            QTest::addRow("page %d", page) << false << page << "Connect First!";
        QTest::newRow("page 0") << false << 0 << "Not Connected to Pelidor 7";
        QTest::newRow("page 0, connected") << true << 0 << "Connected to Pelidor 7";
    }

    void pagesOneToSixNeedAConnection()
    {
        QFETCH(bool, connected);
        QFETCH(int, page);
        QFETCH(QString, shown);
        QVERIFY2(panel.open(connected), qPrintable(panel.errorString()));
        MessageBoxCloser boxes;
        apply(page);
        QCOMPARE(panel.connectionText(), shown);
        QCOMPARE(boxes.texts(), QStringList());
        QVERIFY(panel.lineStaysQuiet());
    }

    void applySendsThePage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("packet");
        const QString firstRun = QStringLiteral("5183");
        QTest::newRow("pressure units BAR") << 1 << QStringList{"pressureBAR"} << firstRun
                                            << QByteArray("06E6  01");
        QTest::newRow("pressure units unchanged") << 1 << QStringList{} << firstRun << QByteArray("06E6  00");
        QTest::newRow("vacuum units Torr") << 2 << QStringList{"torrbut"} << firstRun << QByteArray("06E7  04");
        QTest::newRow("alarms IN and AO") << 4 << QStringList{"alarmIN", "alarmAO"} << firstRun
                                          << QByteArray("25EI  IN1IO0IL0PO0PL0AE0AO1");
        QTest::newRow("alarm ticked and unticked") << 4 << QStringList{"alarmPL", "alarmPL"} << firstRun
                                                   << QByteArray("25EI  IN0IO0IL0PO0PL0AE0AO0");
        QTest::newRow("lockouts DT and AM") << 5 << QStringList{"lockoutDT", "lockoutAM"} << firstRun
            << QByteArray("57EG  PA5183DT1DP0DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM1");
        QTest::newRow("lockouts, changed password") << 5 << QStringList{"lockoutDV"} << "0042"
            << QByteArray("57EG  PA0042DT0DP0DV1M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM0");
        QTest::newRow("language Japanese") << 6 << QStringList{"langJP"} << firstRun << QByteArray("06ED  06");
        QTest::newRow("language Chinese") << 6 << QStringList{"langCN"} << firstRun << QByteArray("06ED  05");
    }

    void applySendsThePage()
    {
        QFETCH(int, page);
        QFETCH(QStringList, clicks);
        QFETCH(QString, password);
        QFETCH(QByteArray, packet);
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        TestSettings::set(QStringLiteral("SuperPassword"), password);
        for (const QString &name : clicks)
            click(name);

        apply(page);

        QCOMPARE(panel.packets(), QList<QByteArray>{packet});
    }

    void untouchedBoxesKeepTheirStoredBit()
    {
        QVERIFY2(panel.open(false), qPrintable(panel.errorString()));
        // Ticked by code, as the openers do: not the user's choice.
        panel.child<QCheckBox>("alarmIL")->setChecked(true);
        panel.child<QCheckBox>("lockoutMM")->setChecked(true);
        click("alarmIN");
        click("lockoutAR");
        QCOMPARE(panel.state().alarms, 1);
        QCOMPARE(panel.state().lockouts, 128);
        click("alarmIN");
        click("lockoutAR");
        QCOMPARE(panel.state().alarms, 0);
        QCOMPARE(panel.state().lockouts, 0);
    }

    void timeAndDateApply_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("twelveHour");
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::addColumn<QString>("debugLine");
        QTest::newRow("24-hour clock, leap day")
            << QDate(2024, 2, 29) << QTime(6, 5, 59) << false
            << QList<QByteArray>{"13EB  H06M05AM2", "13EC  M02D29Y24"}
            << "Setting month:  2 Setting day:  29 Setting year:  24";
        QTest::newRow("12-hour clock, first year the dispenser keeps")
            << QDate(2000, 1, 1) << QTime(18, 5) << true
            << QList<QByteArray>{"13EB  H06M05AM1", "13EC  M01D01Y00"}
            << "Setting month:  1 Setting day:  1 Setting year:  0";
        QTest::newRow("last year the dispenser keeps")
            << QDate(2099, 7, 4) << QTime(23, 59) << false
            << QList<QByteArray>{"13EB  H23M59AM2", "13EC  M07D04Y99"}
            << "Setting month:  7 Setting day:  4 Setting year:  99";
    }

    void timeAndDateApply()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(bool, twelveHour);
        QFETCH(QList<QByteArray>, packets);
        QFETCH(QString, debugLine);
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        // The box starts unticked while the stored choice is the 24-hour clock:
        // only a click of the user's changes the choice.
        auto *clock24 = panel.child<QCheckBox>("check24hr");
        if (!clock24->isChecked())
            clock24->click();
        if (twelveHour)
            clock24->click();
        QCOMPARE(panel.child<QTimeEdit>("timeEdit")->displayFormat(),
                 twelveHour ? QStringLiteral("h:mm A") : QStringLiteral("hh:mm"));
        panel.child<QCalendarWidget>("calendarWidget")->setSelectedDate(date);
        panel.child<QTimeEdit>("timeEdit")->setTime(time);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(debugLine));

        apply(3);

        QCOMPARE(panel.packets(), packets);
    }

    void dateOutsideTheDispensersCenturySendsNothing_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("1999") << QDate(1999, 12, 31);
        QTest::newRow("2100") << QDate(2100, 1, 1);
    }

    void dateOutsideTheDispensersCenturySendsNothing()
    {
        QFETCH(QDate, date);
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        panel.child<QCalendarWidget>("calendarWidget")->setSelectedDate(date);
        panel.child<QTimeEdit>("timeEdit")->setTime(QTime(8, 30));

        apply(3);

        QCOMPARE(panel.connectionText(), QStringLiteral("Date must be between 2000 and 2099"));
        QVERIFY(panel.lineStaysQuiet());
    }

    void importComputerClockThenApply()
    {
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        auto *calendar = panel.child<QCalendarWidget>("calendarWidget");
        calendar->setSelectedDate(QDate(2001, 1, 1));
        const QDateTime before = QDateTime::currentDateTime();
        panel.child<QPushButton>("setToCurrentTime")->click();
        const QDateTime after = QDateTime::currentDateTime();

        QCOMPARE(calendar->selectedDate(), before.date());
        const QTime taken(panel.state().hour, panel.state().minute);
        QVERIFY(taken >= QTime(before.time().hour(), before.time().minute()) && taken <= after.time());

        apply(3);

        QCOMPARE(panel.packets(),
                 (QList<QByteArray>{taken.toString(QStringLiteral("'13EB  H'hh'M'mm'AM2'")).toLatin1(),
                                    before.date().toString(QStringLiteral("'13EC  M'MM'D'dd'Y'yy")).toLatin1()}));
    }

    void passwordChange_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("accepted") << "5183" << "2468" << "2468" << QString() << "2468";
        QTest::newRow("wrong current") << "5184" << "2468" << "2468" << "Wrong password." << "5183";
        QTest::newRow("wrong current wins over mismatch")
            << "1111" << "2468" << "2469" << "Wrong password." << "5183";
        QTest::newRow("empty current") << "" << "2468" << "2468" << "Wrong password." << "5183";
        QTest::newRow("mismatch") << "5183" << "2468" << "2469" << "Confirmation does not match" << "5183";
        QTest::newRow("confirmation missing") << "5183" << "2468" << "" << "Confirmation does not match" << "5183";
    }

    void passwordChange()
    {
        QFETCH(QString, current);
        QFETCH(QString, fresh);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QFETCH(QString, storedAfter);
        QVERIFY2(panel.open(false), qPrintable(panel.errorString())); // works without a connection
        panel.child<QLineEdit>("currentPassword")->setText(current);
        panel.child<QLineEdit>("newPassword")->setText(fresh);
        panel.child<QLineEdit>("confirmPassword")->setText(confirmation);
        MessageBoxCloser boxes;

        apply(7);

        QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(TestSettings::value(QStringLiteral("SuperPassword")).toString(), storedAfter);
        QCOMPARE(panel.child<QLineEdit>("currentPassword")->text(), current); // fields keep their text
    }
};

QTEST_MAIN(TestConfigApply)
#include "tst_config_apply.moc"
