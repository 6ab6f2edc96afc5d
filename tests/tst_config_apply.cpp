// Apply on the configuration pages: the pages that need a connection, the
// packet texts where a page's boxes are left as they are or ticked twice,
// the clock and date at the ends of the dispenser's century, and the
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

    void setDateAndTime(const QDate &date, const QTime &time) const
    {
        panel.child<QCalendarWidget>("calendarWidget")->setSelectedDate(date);
        panel.child<QTimeEdit>("timeEdit")->setTime(time);
    }

private slots:
    void cleanup() { panel.close(); }

    void closedPortSendsNothing_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("shown");
        for (int page = 1; page <= 6; ++page)
            QTest::addRow("page %d", page) << page << "Connect First!";
        QTest::newRow("page 0 needs no connection") << 0 << "Not Connected to Pelidor 7";
    }

    void closedPortSendsNothing()
    {
        QFETCH(int, page);
        QFETCH(QString, shown);
        QVERIFY2(panel.open(false), qPrintable(panel.errorString()));
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
        QTest::newRow("pressure units unchanged") << 1 << QStringList{} << "5183" << QByteArray("06E6  00");
        QTest::newRow("alarm ticked and unticked") << 4 << QStringList{"alarmPL", "alarmPL"} << "5183"
                                                   << QByteArray("25EI  IN0IO0IL0PO0PL0AE0AO0");
        QTest::newRow("lockouts, changed password") << 5 << QStringList{"lockoutDV", "lockoutAM"} << "0042"
            << QByteArray("57EG  PA0042DT0DP0DV1M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM1");
        QTest::newRow("language Chinese") << 6 << QStringList{"langCN"} << "5183" << QByteArray("06ED  05");
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
            panel.child<QAbstractButton>(qPrintable(name))->click();
        apply(page);
        QCOMPARE(panel.packets(), QList<QByteArray>{packet});
    }

    void timeAndDateApply_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("twelveHour");
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::addColumn<QString>("debugLine");
        QTest::newRow("first year the dispenser keeps, 12-hour clock")
            << QDate(2000, 1, 1) << QTime(18, 5) << true << QList<QByteArray>{"13EB  H06M05AM1", "13EC  M01D01Y00"}
            << "Setting month:  1 Setting day:  1 Setting year:  0";
        QTest::newRow("last year the dispenser keeps, 24-hour clock")
            << QDate(2099, 7, 4) << QTime(23, 59, 59) << false
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
        setDateAndTime(date, time);
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
        setDateAndTime(date, QTime(8, 30));
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

        const QDate takenDate = calendar->selectedDate();
        QVERIFY(takenDate == before.date() || takenDate == after.date());
        const QTime taken(panel.state().hour, panel.state().minute);
        QVERIFY(taken >= QTime(before.time().hour(), before.time().minute()) && taken <= after.time());
        apply(3);
        QCOMPARE(panel.packets(),
                 (QList<QByteArray>{taken.toString(QStringLiteral("'13EB  H'hh'M'mm'AM2'")).toLatin1(),
                                    takenDate.toString(QStringLiteral("'13EC  M'MM'D'dd'Y'yy")).toLatin1()}));
    }

    // It works without a connection: the password stays on this computer.
    void passwordChange_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::newRow("accepted") << "5183" << "2468" << "";
        QTest::newRow("wrong current wins over mismatch") << "1111" << "2469" << "Wrong password.";
        QTest::newRow("empty current") << "" << "2468" << "Wrong password.";
        QTest::newRow("mismatch") << "5183" << "2469" << "Confirmation does not match";
        QTest::newRow("confirmation missing") << "5183" << "" << "Confirmation does not match";
    }

    void passwordChange()
    {
        QFETCH(QString, current);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QVERIFY2(panel.open(false), qPrintable(panel.errorString()));
        panel.child<QLineEdit>("currentPassword")->setText(current);
        panel.child<QLineEdit>("newPassword")->setText(QStringLiteral("2468"));
        panel.child<QLineEdit>("confirmPassword")->setText(confirmation);
        MessageBoxCloser boxes;
        apply(7);
        QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(TestSettings::value(QStringLiteral("SuperPassword")).toString(),
                 message.isEmpty() ? QStringLiteral("2468") : QStringLiteral("5183"));
        QCOMPARE(panel.child<QLineEdit>("currentPassword")->text(), current);
    }
};

QTEST_MAIN(TestConfigApply)
#include "tst_config_apply.moc"
