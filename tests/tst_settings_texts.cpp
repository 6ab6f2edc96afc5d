// Texts the Current Settings labels build from dispenser values.
#include "StatusTexts.h"

#include <QtTest>

class TestSettingsTexts : public QObject
{
    Q_OBJECT

private slots:
    // The labels read '.' as separator whatever the user's locale.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    void clockText_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("twentyFourHour");
        QTest::addColumn<QString>("expected");
        QTest::newRow("midnight hour") << 0 << 30 << false << "12:30 AM";
        QTest::newRow("last morning hour") << 11 << 59 << false << "11:59 AM";
        QTest::newRow("noon") << 12 << 0 << false << "12:00 PM";
        QTest::newRow("24-hour minute unpadded") << 9 << 5 << true << "9:5";
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

    void valueText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("four decimals") << 9.9999 << "9.9999";
        QTest::newRow("six significant digits") << 1.23456789 << "1.23457";
    }

    void valueText()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(StatusTexts::valueText(value), expected);
    }
};

QTEST_APPLESS_MAIN(TestSettingsTexts)
#include "tst_settings_texts.moc"
