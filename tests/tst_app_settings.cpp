// The settings store wrapper: first-run defaults, stored ports, jobs and
// their numbers, a store that cannot be read or written, and the guard
// against guessing the password.
#include "AppSettings.h"
#include "PasswordAttempts.h"
#include "PasswordChange.h"
#include "TestSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <sys/fsuid.h>
#include <sys/stat.h>

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

    // A folder where the store's file should be can be neither read nor
    // written: no password is known, and none is made up.
    void storeThatCannotBeRead()
    {
        const QString file = AppSettings().fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        AppSettings settings;
        const bool readable = settings.isReadable();
        const bool defaults = settings.writeFirstRunDefaults();
        const QString password = settings.superPassword();
        QDir(file).removeRecursively();
        QVERIFY(!readable && !defaults);
        QCOMPARE(password, QString());
        QCOMPARE(PasswordChange::check("", "1234", "1234", password),
                 PasswordChange::WrongPassword);
    }

    // What could not be stored is not in force in this run either; the file,
    // holding the password, is for its owner's eyes only. Root passes every
    // permission: the store is used with the rights of an ordinary user.
    void storeThatCannotBeWritten()
    {
        // In a folder the ordinary user can reach, wherever the build is.
        QTemporaryDir home;
        QCOMPARE(chmod(QFile::encodeName(home.path()).constData(), 0755), 0);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        AppSettings().writeFirstRunDefaults();
        const QString file = AppSettings().fileName();
        QVERIFY(!(QFileInfo(file).permissions() & (QFile::ReadGroup | QFile::ReadOther)));
        const QByteArray folder = QFile::encodeName(QFileInfo(file).path());
        QCOMPARE(chmod(QFile::encodeName(file).constData(), 0444), 0);
        QCOMPARE(chmod(folder.constData(), 0555), 0);
        const uid_t previous = uid_t(setfsuid(65534));
        AppSettings settings;
        const bool writable = settings.isWritable();
        const bool replaced = settings.replaceSuperPassword("1234");
        AppSettings::Job job;
        job.description = "Glue";
        const bool stored = settings.storeJob(3, job);
        setfsuid(previous);
        chmod(folder.constData(), 0755);
        chmod(QFile::encodeName(file).constData(), 0600);
        QVERIFY(!writable && !replaced && !stored);
        QCOMPARE(AppSettings().superPassword(), QStringLiteral("5183"));
        QVERIFY(!AppSettings().isJobListed(3) && !AppSettings().isJobSaved(3));
        QCOMPARE(AppSettings().maxJob(), 0);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

    // Three wrong tries in a row, then a wait of 30 s, doubled by each wrong
    // try after it, up to 5 minutes; a right password starts afresh.
    void passwordGuessingIsSlowed()
    {
        qint64 now = 0;
        PasswordAttempts attempts([&] { return now; });
        QList<int> waits;
        for (int i = 0; i < 8; ++i) {
            waits << attempts.failed();
            now += qint64(waits.last()) * 1000;
        }
        QCOMPARE(waits, QList<int>({ 0, 0, 30, 60, 120, 240, 300, 300 }));
        attempts.failed();
        now += 1500;
        QCOMPARE(attempts.secondsToWait(), 299);
        attempts.succeeded();
        QCOMPARE(attempts.secondsToWait(), 0);
        QCOMPARE(attempts.failed(), 0);
    }
};

QTEST_MAIN(TestAppSettings)
#include "tst_app_settings.moc"
