// Texts the Current Settings labels and the alarm indicator build from
// dispenser values.
#include "StatusTexts.h"

#include <QtTest>

class TestSettingsTexts : public QObject
{
    Q_OBJECT

private slots:
    void clockText_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("twentyFourHour");
        QTest::addColumn<QString>("expected");

        QTest::newRow("afternoon") << 14 << 5 << false << "2:05 PM";
        QTest::newRow("midnight hour") << 0 << 30 << false << "12:30 AM";
        QTest::newRow("noon") << 12 << 0 << false << "12:00 PM";
        QTest::newRow("morning") << 9 << 5 << false << "9:05 AM";
        QTest::newRow("last morning hour") << 11 << 59 << false << "11:59 AM";
        QTest::newRow("first afternoon hour") << 13 << 0 << false << "1:00 PM";
        QTest::newRow("last hour") << 23 << 59 << false << "11:59 PM";
        QTest::newRow("24-hour minute unpadded") << 9 << 5 << true << "9:5";
        QTest::newRow("24-hour afternoon") << 14 << 30 << true << "14:30";
        QTest::newRow("24-hour midnight") << 0 << 0 << true << "0:0";
    }

    void clockText()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(bool, twentyFourHour);
        QFETCH(QString, expected);
        QCOMPARE(StatusTexts::clockText(hour, minute, twentyFourHour), expected);
    }

    void aiModeName_data()
    {
        QTest::addColumn<int>("aiMode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("timed") << 0 << "Timed";
        QTest::newRow("count") << 1 << "Count";
        QTest::newRow("sequence") << 2 << "Sequence";
        QTest::newRow("off") << 3 << "Off";
        QTest::newRow("unknown") << 4 << "";
        QTest::newRow("negative") << -1 << "";
    }

    void aiModeName()
    {
        QFETCH(int, aiMode);
        QFETCH(QString, expected);
        QCOMPARE(StatusTexts::aiModeName(aiMode), expected);
    }

    void valueText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fraction") << 0.25 << "0.25";
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("four decimals") << 9.9999 << "9.9999";
        QTest::newRow("six significant digits") << 1.23456789 << "1.23457";
        QTest::newRow("zero") << 0.0 << "0";
    }

    void valueText()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(StatusTexts::valueText(value), expected);
    }

    void alarmText_data()
    {
        QTest::addColumn<unsigned>("status");
        QTest::addColumn<QString>("expected");
        QTest::newRow("input and pressure") << 9u << "Alarm: Input Alarm";
        QTest::newRow("pressure and auto increment") << 40u << "Alarm: Pressure Alarm";
        QTest::newRow("auto increment only") << 32u << "Alarm: Auto Increment";
        QTest::newRow("all three") << 41u << "Alarm: Input Alarm";
        QTest::newRow("pressure only") << 8u << "Alarm: Pressure Alarm";
        QTest::newRow("only other bits") << 6u << "";
        QTest::newRow("none") << 0u << "";
    }

    void alarmText()
    {
        QFETCH(unsigned, status);
        QFETCH(QString, expected);
        QCOMPARE(StatusTexts::alarmText(status), expected);
    }
};

QTEST_APPLESS_MAIN(TestSettingsTexts)
#include "tst_settings_texts.moc"
