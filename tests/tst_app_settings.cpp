// The settings store wrapper: first-run defaults, stored ports, jobs and
// their numbers, and a store that cannot be written.
#include "AppSettings.h"
#include "TestSettings.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

#include <climits>

class TestAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearTestSettings(); }

    void firstRunDefaultsOnlyWithoutAPassword()
    {
        QVERIFY(AppSettings().writeFirstRunDefaults());
        QCOMPARE(QSettings().value("SuperPassword"), QVariant("5183"));
        QCOMPARE(QSettings().value("jobs/maxJob"), QVariant(0));
        QSettings().setValue("jobs/maxJob", 4);
        QVERIFY(!AppSettings().writeFirstRunDefaults());
        QCOMPARE(AppSettings().maxJob(), 4);
    }

    void nextJobNumber_data()
    {
        QTest::addColumn<QVariant>("maxJob");
        QTest::addColumn<int>("proposed");
        QTest::newRow("none saved") << QVariant() << 1;
        QTest::newRow("job 5") << QVariant(5) << 6;
        QTest::newRow("job 99") << QVariant(99) << 100;
        QTest::newRow("job 100") << QVariant(100) << 100;
        QTest::newRow("largest int") << QVariant(INT_MAX) << 100;
    }

    void nextJobNumber()
    {
        QFETCH(QVariant, maxJob);
        QFETCH(int, proposed);
        if (maxJob.isValid())
            QSettings().setValue("jobs/maxJob", maxJob);
        QCOMPARE(AppSettings().nextJobNumber(), proposed);
    }

    // A folder where the store's file should be cannot be written by anyone.
    void storeThatCannotBeWritten()
    {
        const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + QStringLiteral("/Halvexa/Pelidor 7 Interactive.conf");
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        AppSettings settings;
        settings.setSuperPassword("1234");
        const bool written = settings.commit();
        QDir(file).removeRecursively();
        QVERIFY(!written);
    }
};

QTEST_MAIN(TestAppSettings)
#include "tst_app_settings.moc"
