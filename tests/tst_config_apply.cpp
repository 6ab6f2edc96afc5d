// The configuration pages' own slots and Apply: what each page records, what
// Apply sends to the dispenser and what the dispenser then holds, and the
// supervisor password change.
#include "DispenserState.h"
#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QList<QByteArray>)

namespace {

// Closes every modal message box that comes up while it lives, keeping what
// each one showed.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            plain = plain && box->parent() == nullptr && box->windowTitle().isEmpty()
                    && box->icon() == QMessageBox::NoIcon
                    && box->standardButtons() == QMessageBox::Ok;
            box->button(QMessageBox::Ok)->click();
        });
        timer.start(10);
    }

    QStringList texts;
    bool plain = true; // no parent, no title, no icon, just OK

private:
    QTimer timer;
};

} // namespace

class TestConfigApply : public QObject
{
    Q_OBJECT

private:
    SimulatedDispenser dispenser;
    std::unique_ptr<MainWindow> window;

    template <typename T> T *child(const char *name)
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    void openWindow(bool connected)
    {
        TestSettings::clear();
        if (connected)
            WindowOnSimulator::storePort(dispenser);
        window = std::make_unique<MainWindow>();
        // The alarm poll would slip its own exchanges into the dispenser's log.
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->interval() == 10000)
                timer->stop();
        }
        if (connected)
            QVERIFY(WindowOnSimulator::connect(*window));
        dispenser.clearLog();
    }

    QString connectionText()
    {
        // The first label of the status bar tells the connection state.
        return child<QStatusBar>("statusBar")->findChildren<QLabel *>().first()->text();
    }

    void apply(int page)
    {
        child<QStackedWidget>("configStackWidget")->setCurrentIndex(page);
        child<QPushButton>("configApplyButton")->click();
    }

    // The packets sent, once the last session's EOT is on the line.
    QList<QByteArray> packetsSent(int count)
    {
        // A time-out shows in the comparison that follows.
        (void)QTest::qWaitFor([&] {
            return dispenser.receivedPackets().size() >= count
                   && dispenser.receivedBytes().endsWith('\x04');
        }, 3000);
        return dispenser.receivedPackets();
    }

    void lineStaysQuiet()
    {
        QTest::qWait(50);
        QCOMPARE(dispenser.receivedBytes(), QByteArray());
    }

    void typePasswords(const QString &current, const QString &fresh, const QString &confirmation)
    {
        child<QLineEdit>("currentPassword")->setText(current);
        child<QLineEdit>("newPassword")->setText(fresh);
        child<QLineEdit>("confirmPassword")->setText(confirmation);
    }

private slots:
    void initTestCase() { QVERIFY2(dispenser.start(), qPrintable(dispenser.errorString())); }

    void init()
    {
        dispenser.setState(SimulatedDispenser::State{});
        dispenser.clearLog();
    }

    void cleanup() { window.reset(); }

    void pagesOneToSixNeedAConnection_data()
    {
        QTest::addColumn<int>("page");
        for (int page = 1; page <= 6; ++page)
            QTest::newRow(qPrintable(QStringLiteral("page %1").arg(page))) << page;
    }

    void pagesOneToSixNeedAConnection()
    {
        QFETCH(int, page);
        openWindow(false);
        MessageBoxWatcher boxes;
        apply(page);
        QCOMPARE(connectionText(), QStringLiteral("Connect First!"));
        QVERIFY(boxes.texts.isEmpty());
    }

    void commPageDoesNothing_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::newRow("closed") << false;
        QTest::newRow("connected") << true;
    }

    void commPageDoesNothing()
    {
        QFETCH(bool, connected);
        openWindow(connected);
        const QString before = connectionText();
        apply(0);
        QCOMPARE(connectionText(), before);
        if (connected)
            lineStaysQuiet();
    }

    void applySendsThePage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::newRow("pressure units BAR") << 1 << QStringList{"pressureBAR"}
            << QList<QByteArray>{"06E6  01"};
        QTest::newRow("pressure units unchanged") << 1 << QStringList{}
            << QList<QByteArray>{"06E6  00"};
        QTest::newRow("vacuum units Torr") << 2 << QStringList{"torrbut"}
            << QList<QByteArray>{"06E7  04"};
        QTest::newRow("alarms IN and AO") << 4 << QStringList{"alarmIN", "alarmAO"}
            << QList<QByteArray>{"25EI  IN1IO0IL0PO0PL0AE0AO1"};
        QTest::newRow("alarm ticked and unticked") << 4 << QStringList{"alarmPL", "alarmPL"}
            << QList<QByteArray>{"25EI  IN0IO0IL0PO0PL0AE0AO0"};
        QTest::newRow("lockouts DT and AM") << 5 << QStringList{"lockoutDT", "lockoutAM"}
            << QList<QByteArray>{"57EG  PA5183DT1DP0DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM1"};
        QTest::newRow("language Japanese") << 6 << QStringList{"langJP"}
            << QList<QByteArray>{"06ED  06"};
        QTest::newRow("language Chinese") << 6 << QStringList{"langCN"}
            << QList<QByteArray>{"06ED  05"};
        QTest::newRow("language Korean") << 6 << QStringList{"langKR"}
            << QList<QByteArray>{"06ED  07"};
    }

    void applySendsThePage()
    {
        QFETCH(int, page);
        QFETCH(QStringList, clicks);
        QFETCH(QList<QByteArray>, packets);
        openWindow(true);
        for (const QString &name : clicks)
            window->findChild<QAbstractButton *>(name)->click();

        apply(page);

        QCOMPARE(packetsSent(packets.size()), packets);
    }

    void dispenserHoldsWhatWasApplied()
    {
        openWindow(true);
        child<QAbstractButton>("pressureKPA")->click();
        apply(1);
        child<QAbstractButton>("mmhgbut")->click();
        apply(2);
        child<QAbstractButton>("alarmIL")->click();
        child<QAbstractButton>("alarmAE")->click();
        apply(4);
        child<QAbstractButton>("lockoutM")->click();
        child<QAbstractButton>("lockoutCO")->click();
        apply(5);
        child<QAbstractButton>("langJP")->click();
        apply(6);
        packetsSent(5);

        const SimulatedDispenser::State held = dispenser.state();
        QCOMPARE(held.pressureUnit, 2);
        QCOMPARE(held.vacuumUnit, 3);
        QCOMPARE(held.alarmOptions, 4u | 32u);
        QCOMPARE(held.lockouts, 8u | 16384u);
        QCOMPARE(held.language, 6);
    }

    void lockoutsCarryTheStoredPassword()
    {
        openWindow(true);
        TestSettings::set(QStringLiteral("SuperPassword"), QStringLiteral("0042"));
        child<QAbstractButton>("lockoutDV")->click();
        QTest::ignoreMessage(QtDebugMsg, "Error: A2 Received from P7");

        apply(5);

        QCOMPARE(packetsSent(1).first().left(12), QByteArray("57EG  PA0042"));
        QCOMPARE(dispenser.state().lockouts, 0u); // the dispenser knows another password
    }

    void untouchedBoxesKeepTheirStoredBit()
    {
        openWindow(false);
        // Ticked by code, as the openers do: not the user's choice.
        child<QCheckBox>("alarmIL")->setChecked(true);
        child<QCheckBox>("lockoutMM")->setChecked(true);
        child<QAbstractButton>("alarmIN")->click();
        child<QAbstractButton>("lockoutAR")->click();
        QCOMPARE(window->dispenserState().alarms, 1);
        QCOMPARE(window->dispenserState().lockouts, 128);
        child<QAbstractButton>("alarmIN")->click();
        child<QAbstractButton>("lockoutAR")->click();
        QCOMPARE(window->dispenserState().alarms, 0);
        QCOMPARE(window->dispenserState().lockouts, 0);
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
        QTest::newRow("12-hour clock, afternoon")
            << QDate(2031, 12, 1) << QTime(18, 5) << true
            << QList<QByteArray>{"13EB  H06M05AM1", "13EC  M12D01Y31"}
            << "Setting month:  12 Setting day:  1 Setting year:  31";
        QTest::newRow("12-hour clock, midnight")
            << QDate(2000, 1, 1) << QTime(0, 0) << true
            << QList<QByteArray>{"13EB  H12M00AM0", "13EC  M01D01Y00"}
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
        openWindow(true);
        // The box starts unticked while the stored choice is the 24-hour clock:
        // only a click of the user's changes the choice.
        auto *clock24 = child<QCheckBox>("check24hr");
        if (!clock24->isChecked())
            clock24->click();
        if (twelveHour)
            clock24->click();
        child<QCalendarWidget>("calendarWidget")->setSelectedDate(date);
        child<QTimeEdit>("timeEdit")->setTime(time);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(debugLine));

        apply(3);

        QCOMPARE(packetsSent(2), packets);
        const SimulatedDispenser::State held = dispenser.state();
        QCOMPARE(held.month, date.month());
        QCOMPARE(held.day, date.day());
        QCOMPARE(held.year, date.year() - 2000);
        QCOMPARE(held.minute, time.minute());
        QCOMPARE(held.clockIndicator, twelveHour ? (time.hour() >= 12 ? 1 : 0) : 2);
    }

    void dateOutsideTheDispensersCenturySendsNothing_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("1999") << QDate(1999, 12, 31);
        QTest::newRow("start-up year") << QDate(1977, 1, 1);
        QTest::newRow("2100") << QDate(2100, 1, 1);
    }

    void dateOutsideTheDispensersCenturySendsNothing()
    {
        QFETCH(QDate, date);
        openWindow(true);
        child<QCalendarWidget>("calendarWidget")->setSelectedDate(date);
        child<QTimeEdit>("timeEdit")->setTime(QTime(8, 30));

        apply(3);

        QCOMPARE(connectionText(), QStringLiteral("Date must be between 2000 and 2099"));
        lineStaysQuiet();
        QCOMPARE(dispenser.state().hour, SimulatedDispenser::State{}.hour);
    }

    void importComputerClockThenApply()
    {
        openWindow(true);
        child<QCalendarWidget>("calendarWidget")->setSelectedDate(QDate(2001, 1, 1));
        const QDateTime before = QDateTime::currentDateTime();
        child<QPushButton>("setToCurrentTime")->click();
        const QDateTime after = QDateTime::currentDateTime();

        QCOMPARE(child<QCalendarWidget>("calendarWidget")->selectedDate(), before.date());
        const DispenserState &state = window->dispenserState();
        const QTime taken(state.hour, state.minute);
        const QTime firstMinute(before.time().hour(), before.time().minute());
        QVERIFY(taken >= firstMinute && taken <= after.time());

        apply(3);

        const QList<QByteArray> sent = packetsSent(2);
        QCOMPARE(sent.at(0), QStringLiteral("13EB  H%1M%2AM2")
                                 .arg(state.hour, 2, 10, QLatin1Char('0'))
                                 .arg(state.minute, 2, 10, QLatin1Char('0')).toLatin1());
        QCOMPARE(sent.at(1), before.date().toString(QStringLiteral("'13EC  M'MM'D'dd'Y'yy")).toLatin1());
    }

    void pageSlotsRecordTheChoice()
    {
        openWindow(false);
        child<QCalendarWidget>("calendarWidget")->setSelectedDate(QDate(2026, 3, 14));
        child<QTimeEdit>("timeEdit")->setTime(QTime(13, 45, 30));
        const DispenserState &state = window->dispenserState();
        QCOMPARE(state.year, 2026);
        QCOMPARE(state.month, 3);
        QCOMPARE(state.day, 14);
        QCOMPARE(state.hour, 13);
        QCOMPARE(state.minute, 45);

        for (const char *name : {"langFR", "langDE", "langES", "langIT", "langCN", "langJP", "langKR", "langEN"}) {
            child<QAbstractButton>(name)->click();
            QCOMPARE(state.language, child<QButtonGroup>("languageGroup")->id(child<QAbstractButton>(name)));
        }
        child<QAbstractButton>("langJP")->click();
        QCOMPARE(state.language, 6);
        child<QAbstractButton>("langCN")->click();
        QCOMPARE(state.language, 5);
    }

    void twelveHourClockSwitch()
    {
        openWindow(false);
        auto *clock24 = child<QCheckBox>("check24hr");
        auto *timeEdit = child<QTimeEdit>("timeEdit");
        if (!clock24->isChecked())
            clock24->click();
        QVERIFY(window->dispenserState().clock24);
        QCOMPARE(timeEdit->displayFormat(), QStringLiteral("hh:mm"));

        clock24->click();

        QVERIFY(!window->dispenserState().clock24);
        QCOMPARE(timeEdit->displayFormat(), QStringLiteral("h:mm A"));
        timeEdit->setTime(QTime(21, 7));
        QCOMPARE(timeEdit->text(), QStringLiteral("9:07 PM"));
        QCOMPARE(window->dispenserState().hour, 21); // stored as 0..23 all the same
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
        openWindow(false); // works without a connection
        typePasswords(current, fresh, confirmation);
        MessageBoxWatcher boxes;

        apply(7);

        QCOMPARE(boxes.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(boxes.plain);
        QCOMPARE(TestSettings::value(QStringLiteral("SuperPassword")).toString(), storedAfter);
        QCOMPARE(child<QLineEdit>("currentPassword")->text(), current); // fields keep their text
    }

    void changedPasswordOpensSupervisorMode()
    {
        openWindow(false);
        typePasswords(QStringLiteral("5183"), QStringLiteral("0007"), QStringLiteral("0007"));
        apply(7);

        QMetaObject::invokeMethod(window.get(), "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        QTest::ignoreMessage(QtDebugMsg, "Password incorrect.");
        QMetaObject::invokeMethod(window.get(), "passDialogFinished", Q_ARG(int, 1));
        QMetaObject::invokeMethod(window.get(), "passEntered", Q_ARG(QString, QStringLiteral("0007")));
        QMetaObject::invokeMethod(window.get(), "passDialogFinished", Q_ARG(int, 1));

        bool supervisorShown = false;
        for (QLabel *label : child<QStatusBar>("statusBar")->findChildren<QLabel *>())
            supervisorShown = supervisorShown || label->text() == QStringLiteral("Supervisor Mode");
        QVERIFY(supervisorShown);
    }
};

QTEST_MAIN(TestConfigApply)
#include "tst_config_apply.moc"
