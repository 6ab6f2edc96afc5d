// Jobs: the list in the Load Job dock, Save Job with its three dialogs and
// six keys, Open Job, double-click, and loading a job's modes, range and
// profile.
#include "ProfileTestFiles.h"
#include "ProfileWindowFixture.h"
#include "TestSettings.h"

#include <QButtonGroup>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void storeJob(int n, const QString &description, const QString &path, int aiMode,
              int dispenseMode, int startCell, int endCell)
{
    const QString prefix = QStringLiteral("jobs/%1/").arg(n, 3, 10, QLatin1Char('0'));
    TestSettings::set(prefix + "desc", description);
    TestSettings::set(prefix + "path", path);
    TestSettings::set(prefix + "aiMode", aiMode);
    TestSettings::set(prefix + "dispenseMode", dispenseMode);
    TestSettings::set(prefix + "startMemCell", startCell);
    TestSettings::set(prefix + "endMemCell", endCell);
}

int maxJob() { return TestSettings::value(QStringLiteral("jobs/maxJob")).toInt(); }

} // namespace

class TestJobs : public QObject, private ProfileWindowFixture
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QTableWidget *jobTable() const { return child<QTableWidget>("jobTableWidget"); }

    // The descriptions column as shown, "-" for a cell without an item.
    QStringList descriptions() const
    {
        QStringList texts;
        for (int row = 0; row < jobTable()->rowCount(); ++row)
            texts << (jobTable()->item(row, 0) ? jobTable()->item(row, 0)->text() : QStringLiteral("-"));
        return texts;
    }

    // A profile file for jobs to point at: psi, mmHg and cell 6.
    QString profileFile() const
    {
        return ProfileTestFiles::write(dir.filePath(QStringLiteral("job.csv")),
                                       "Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (mmHg),Trigger\n"
                                       "6,0.75,45,12,30\n");
    }

    // What loading a job may change, to show that a refused load changed nothing.
    QVector<int> modesAndRange() const
    {
        return {state().aiMode, state().dispenseMode, state().startCell, state().endCell,
                child<QButtonGroup>("aiModeGroup")->checkedId(), child<QButtonGroup>("dispenseModeGroup")->checkedId(),
                child<QSpinBox>("startMemCell")->value(), child<QSpinBox>("endMemCell")->value()};
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init() { clearSettings(); }

    void cleanup() { window.reset(); }

    void saveJobWritesItsSixKeys()
    {
        openWindow();
        QCOMPARE(descriptions(), QStringList{"No Jobs Saved"});
        click("aiModeCount");
        click("dispenseModeSteady");
        child<QSpinBox>("startMemCell")->setValue(12);
        child<QSpinBox>("endMemCell")->setValue(48);
        const QString path = profileFile();

        dialogs.answers = {12, QStringLiteral("Lid bead"), path};
        QCOMPARE(trigger("actionSave_Job"), QStringList());

        QCOMPARE(dialogs.questions,
                 (QStringList{"number: Select Job Number | Select job number to save to: | 1 in 0..100 step 1",
                              "text: Job Description | Description of job to save: | Description | shown",
                              "open file: Select Profile |  | Profile (*.csv)"}));
        QStringList keys;
        for (const char *key : {"desc", "path", "aiMode", "dispenseMode", "startMemCell", "endMemCell"})
            keys << TestSettings::value(QStringLiteral("jobs/012/") + key).toString();
        QCOMPARE(keys, (QStringList{"Lid bead", path, "1", "1", "12", "48"}));
        QCOMPARE(maxJob(), 12);
        QCOMPARE(jobTable()->rowCount(), 12);
        QCOMPARE(descriptions().first(), QStringLiteral("No Job"));
    }

    // Jobs 1 and 2 exist; maxJob may be above them.
    void saveJobKeepsTheList_data()
    {
        QTest::addColumn<int>("maxJobBefore");
        QTest::addColumn<int>("job");
        QTest::addColumn<int>("maxJobAfter");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("above maxJob leaves a gap") << 2 << 4 << 4 << QStringList{"First", "Second", "No Job", "New"};
        QTest::newRow("over a job below maxJob") << 5 << 2 << 5
                                                 << QStringList{"First", "New", "No Job", "No Job", "No Job"};
        QTest::newRow("job 0 is kept, not listed") << 2 << 0 << 2 << QStringList{"First", "Second"};
    }

    void saveJobKeepsTheList()
    {
        QFETCH(int, maxJobBefore);
        QFETCH(int, job);
        QFETCH(int, maxJobAfter);
        QFETCH(QStringList, listed);
        storeJob(1, QStringLiteral("First"), QStringLiteral("/p/first.csv"), 0, 0, 0, 399);
        storeJob(2, QStringLiteral("Second"), QStringLiteral("/p/second.csv"), 0, 0, 7, 9);
        TestSettings::set(QStringLiteral("jobs/maxJob"), maxJobBefore);
        openWindow();

        dialogs.answers = {job, QStringLiteral("New"), QStringLiteral("/p/new.csv")};
        trigger("actionSave_Job");
        QVERIFY(dialogs.questions.first().endsWith(QStringLiteral("| %1 in 0..100 step 1").arg(maxJobBefore + 1)));
        QCOMPARE(maxJob(), maxJobAfter);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/%1/desc").arg(job, 3, 10, QLatin1Char('0'))),
                 QVariant(QStringLiteral("New")));
        QCOMPARE(descriptions(), listed);
    }

    void listStopsAtTheHighestJobNumber()
    {
        TestSettings::set(QStringLiteral("jobs/maxJob"), 2000000000);
        storeJob(100, QStringLiteral("Last"), QStringLiteral("/p/last.csv"), 0, 0, 0, 1);
        openWindow();
        QCOMPARE(jobTable()->rowCount(), 100);
        QCOMPARE(descriptions().last(), QStringLiteral("Last"));
    }

    void cancelledSaveWritesNothing_data()
    {
        QTest::addColumn<QVariantList>("answers");
        QTest::newRow("number") << QVariantList();
        QTest::newRow("description") << QVariantList{4};
        QTest::newRow("profile") << QVariantList{4, QStringLiteral("Gasket")};
    }

    void cancelledSaveWritesNothing()
    {
        QFETCH(QVariantList, answers);
        openWindow();
        dialogs.answers = answers;
        QCOMPARE(trigger("actionSave_Job"), QStringList());
        QCOMPARE(dialogs.questions.size(), answers.size() + 1);
        QVERIFY(!TestSettings::contains(QStringLiteral("jobs/004/desc")));
        QCOMPARE(maxJob(), 0);
        QCOMPARE(descriptions(), QStringList{"No Jobs Saved"});
    }

    // Job 0 can be loaded though it is never listed; the user flows load a
    // listed one by double-click.
    void openJobAppliesModesRangeAndProfile()
    {
        storeJob(0, QStringLiteral("Zero"), profileFile(), 1, 1, 5, 20);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 4);
        openWindow();

        dialogs.answers = {0};
        QCOMPARE(trigger("actionOpen_Job"), QStringList());
        QCOMPARE(dialogs.questions,
                 QStringList{"number: Select Job Number | Select job number to load: | 4 in 0..100 step 1"});
        QCOMPARE(modesAndRange(), (QVector<int>{1, 1, 5, 20, 1, 1, 5, 20}));
        QCOMPARE(cellText(6, 3), QStringLiteral("30"));
    }

    void missingProfileIsReportedAfterModesAndRange()
    {
        storeJob(2, QStringLiteral("Lost"), dir.filePath(QStringLiteral("gone.csv")), 0, 1, 30, 40);
        openWindow();

        dialogs.answers = {2};
        QCOMPARE(trigger("actionOpen_Job"),
                 QStringList{"File Error: Could not open file. Check that the file is not in use by another application."});
        QCOMPARE(modesAndRange(), (QVector<int>{0, 1, 30, 40, 0, 1, 30, 40}));
    }

    void unknownJobIsNotFound()
    {
        storeJob(3, QStringLiteral("Listed only"), QStringLiteral("/p/x.csv"), 0, 0, 0, 1);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 3);
        // A job without its mode key is listed but cannot be loaded.
        QSettings().remove(QStringLiteral("jobs/003/aiMode"));
        openWindow();
        QCOMPARE(descriptions().last(), QStringLiteral("Listed only"));
        const QVector<int> before = modesAndRange();

        for (int n : {7, 3}) {
            dialogs.answers = {n};
            QCOMPARE(trigger("actionOpen_Job"), QStringList{"Job Error: Job Not Found"});
        }
        QCOMPARE(trigger("actionOpen_Job"), QStringList()); // cancelled
        QCOMPARE(modesAndRange(), before);
    }
};

QTEST_MAIN(TestJobs)
#include "tst_jobs.moc"
