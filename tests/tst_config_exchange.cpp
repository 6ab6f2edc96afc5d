// The configuration pages' reads and Apply without a window, against the
// simulated dispenser, and the rules of a supervisor password change.
#include "ConfigExchange.h"
#include "ConfigPage.h"
#include "DebugCapture.h"
#include "DispenserState.h"
#include "PasswordChange.h"
#include "SimulatedLink.h"

#include <QtTest>

using Fault = SimulatedDispenser::Fault;

class TestConfigExchange : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> line;

private slots:
    void init()
    {
        SimulatedDispenser::State s;
        s.pressureUnit = 1;
        s.vacuumUnit = 4;
        s.month = 3;
        s.day = 14;
        s.year = 25;
        s.hour = 2;
        s.minute = 5;
        s.clockIndicator = 1;
        s.alarmOptions = 0x3;
        s.lockouts = 0x4041;
        line = std::make_unique<SimulatedLink>(s);
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
    }

    void cleanup() { line.reset(); }

    void readsShowTheDispensersValues()
    {
        int pressure = -1, vacuum = -1;
        QCOMPARE(ConfigExchange::readPressureUnit(line->link, pressure), 0);
        QCOMPARE(ConfigExchange::readVacuumUnit(line->link, vacuum), 0);
        QCOMPARE(pressure, 1);
        QCOMPARE(vacuum, 4);
        ConfigExchange::Clock clock;
        QCOMPARE(ConfigExchange::readClock(line->link, clock), 0);
        QCOMPARE(clock.date, QDate(2025, 3, 14));
        QCOMPARE(clock.hour, 14);
        QVERIFY(!clock.twentyFourHour);
        unsigned alarms = 0, lockouts = 0;
        QCOMPARE(ConfigExchange::readAlarms(line->link, alarms), 0);
        QCOMPARE(ConfigExchange::readLockouts(line->link, "5183", lockouts), 0);
        QCOMPARE(alarms, 0x3u);
        QCOMPARE(lockouts, 0x4041u);
    }

    // A failed date read performs no time read; the failure reaches the debug stream.
    void failedReadChangesNothing()
    {
        DebugCapture debug;
        line->dispenser.injectFault(Fault::Refuse);
        ConfigExchange::Clock clock;
        clock.hour = 7;
        QCOMPARE(ConfigExchange::readClock(line->link, clock), 5);
        QCOMPARE(clock.hour, 7);
        QCOMPARE(line->packets(), QList<QByteArray> { "04EF  " });
        QVERIFY(debug.lines().contains("Error: A2 Received from P7"));
        unsigned lockouts = 9;
        QCOMPARE(ConfigExchange::readLockouts(line->link, "1234", lockouts), 5); // wrong password
        QCOMPARE(lockouts, 9u);
    }

    void applySendsThePageShown_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QDate>("calendar");
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::addColumn<QString>("outcome");

        const QDate date(2024, 2, 29);
        const QString connected = QStringLiteral("Connected to Pelidor 7");
        QTest::newRow("pressure units")
                << int(PressureUnitsPage) << date << QList<QByteArray> { "06E6  02" } << connected;
        QTest::newRow("vacuum units")
                << int(VacuumUnitsPage) << date << QList<QByteArray> { "06E7  03" } << connected;
        QTest::newRow("time and date")
                << int(TimeDatePage) << date
                << QList<QByteArray> { "13EB  H06M05AM1", "13EC  M02D29Y24" } << connected;
        QTest::newRow("date before 2000")
                << int(TimeDatePage) << QDate(1999, 12, 31) << QList<QByteArray> {}
                << "Date must be between 2000 and 2099";
        QTest::newRow("alarms") << int(AlarmOptionsPage) << date
                                << QList<QByteArray> { "25EI  IN1IO0IL0PO0PL0AE1AO0" } << connected;
        QTest::newRow("lockouts")
                << int(LockoutPage) << date
                << QList<QByteArray> { "57EG  "
                                       "PA5183DT0DP1DV0M0DC0DM0AI0AR0AL0MM0PU0VU0LA0CL0CO0AM1" }
                << connected;
        QTest::newRow("language") << int(LanguagePage) << date << QList<QByteArray> { "06ED  06" }
                                  << connected;
    }

    void applySendsThePageShown()
    {
        QFETCH(int, page);
        QFETCH(QDate, calendar);
        QFETCH(QList<QByteArray>, packets);
        QFETCH(QString, outcome);

        DispenserState state;
        state.pressureUnits = 2;
        state.vacuumUnits = 3;
        state.hour = 18;
        state.minute = 5;
        state.clock24 = false;
        state.alarms = 33;
        state.lockouts = 0x8002;
        state.language = 6;
        const StatusMessage message =
                ConfigExchange::applyPage(line->link, page, state, calendar, "5183");
        QCOMPARE(message.text, outcome);
        QCOMPARE(message.failure, outcome != QLatin1String("Connected to Pelidor 7"));
        QCOMPARE(line->packets(), packets);
    }

    void applyTellsTheFirstFailure()
    {
        line->dispenser.injectFault(Fault::Refuse);
        DispenserState state;
        const StatusMessage message = ConfigExchange::applyPage(line->link, TimeDatePage, state,
                                                                QDate(2024, 1, 1), "5183");
        QCOMPARE(message, StatusMessage::failed("Error: A2 Received from P7"));
        QCOMPARE(line->packets().size(), 2); // the date still goes out
        QCOMPARE(ConfigExchange::applyPage(line->link, LockoutPage, state, QDate(), "12345"),
                 StatusMessage::failed("Error: API Parameter Out Of Range"));
    }

    void pageTable()
    {
        QCOMPARE(configPageOfItem("Units"), int(PressureUnitsPage));
        QCOMPARE(configPageOfItem("Pressure"), int(PressureUnitsPage));
        QCOMPARE(configPageOfItem("Supervisor Password"), int(PasswordPage));
        QCOMPARE(configPageOfItem("units"), -1);
        QCOMPARE(configPageHelp(LockoutPage),
                 QStringLiteral(
                         "Set Operator Lockouts on the Pelidor 7.\n\n(Requires Supervisor mode.)"));
    }

    void passwordChange_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::newRow("accepted") << "5183"
                                  << "0042"
                                  << "0042"
                                  << "";
        QTest::newRow("wrong, even when the new ones differ") << "5184"
                                                              << "1111"
                                                              << "2222"
                                                              << "Wrong password.";
        QTest::newRow("mismatch") << "5183"
                                  << "1111"
                                  << "1112"
                                  << "Confirmation does not match";
        QTest::newRow("empty") << "5183"
                               << ""
                               << ""
                               << "The new password must be exactly four digits.";
        QTest::newRow("three digits") << "5183"
                                      << "123"
                                      << "123"
                                      << "The new password must be exactly four digits.";
        QTest::newRow("letters") << "5183"
                                 << "12a4"
                                 << "12a4"
                                 << "The new password must be exactly four digits.";
    }

    void passwordChange()
    {
        QFETCH(QString, current);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QCOMPARE(PasswordChange::message(
                         PasswordChange::check(current, newPassword, confirmation, "5183")),
                 message);
    }
};

QTEST_MAIN(TestConfigExchange)
#include "tst_config_exchange.moc"
