// Jobs: the list in the Load Job dock, Save Job with its three dialogs and
// six keys, Open Job, double-click, and loading a job's modes, range and
// profile.
#include "DialogProvider.h"
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Answers the window's dialogs from a script and keeps what each one asked.
// An empty script entry cancels that dialog.
class ScriptedDialogs : public DialogProvider
{
public:
    // File dialogs keep their caption as title and their filter as label.
    struct Request
    {
        QString kind;
        QString title;
        QString label;
        QVariant initial;
        int minimum = 0;
        int maximum = 0;
        int step = 0;
        int echo = -1;
    };

    QList<Request> requests;
    QVariantList answers;

    QString openFileName(QWidget *, const QString &caption, const QString &directory,
                         const QString &filter) override
    {
        requests.append({QStringLiteral("open"), caption, filter, directory});
        return next().toString();
    }

    QString saveFileName(QWidget *, const QString &caption, const QString &proposedName,
                         const QString &filter) override
    {
        requests.append({QStringLiteral("save"), caption, filter, proposedName});
        return next().toString();
    }

    int getInt(QWidget *, const QString &title, const QString &label, int value, int minimum,
               int maximum, int step, bool *accepted) override
    {
        requests.append({QStringLiteral("int"), title, label, value, minimum, maximum, step});
        const QVariant answer = next();
        *accepted = answer.isValid();
        return answer.toInt();
    }

    QString getText(QWidget *, const QString &title, const QString &label, QLineEdit::EchoMode echo,
                    const QString &text, bool *accepted) override
    {
        requests.append({QStringLiteral("text"), title, label, text, 0, 0, 0, echo});
        const QVariant answer = next();
        *accepted = answer.isValid();
        return answer.toString();
    }

private:
    QVariant next() { return answers.isEmpty() ? QVariant() : answers.takeFirst(); }
};

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
            titles << box->windowTitle();
            texts << box->text();
            critical = critical && box->icon() == QMessageBox::Critical
                       && box->standardButtons() == QMessageBox::Ok;
            box->button(QMessageBox::Ok)->click();
        });
        timer.start(10);
    }

    QStringList titles;
    QStringList texts;
    bool critical = true;

private:
    QTimer timer;
};

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

} // namespace

class TestJobs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    QTableWidget *jobTable() const { return child<QTableWidget>("jobTableWidget"); }
    QTableWidget *profileTable() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    const DispenserState &state() const { return window->dispenserState(); }

    QString jobText(int row, int column) const
    {
        const QTableWidgetItem *item = jobTable()->item(row, column);
        return item ? item->text() : QString();
    }

    // A profile file for jobs to point at: psi, mmHg and cell 6.
    QString profileFile() const
    {
        const QString fileName = dir.filePath(QStringLiteral("job.csv"));
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(fileName));
        file.write("Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (mmHg),Trigger\n"
                   "6,0.75,45,12,30\n");
        return fileName;
    }

    void openWindow()
    {
        window.reset(new MainWindow);
        window->setDialogProvider(&dialogs);
    }

    // Runs an action, closing any message box it raises.
    QStringList trigger(const char *action)
    {
        MessageBoxWatcher watcher;
        child<QAction>(action)->trigger();
        return watcher.texts;
    }

    void doubleClickJobRow(int row)
    {
        window->show();
        child<QWidget>("jobDockWidget")->show();
        child<QWidget>("jobDockWidget")->raise();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTableWidget *table = jobTable();
        const QRect cell = table->visualItemRect(table->item(row, 0));
        QVERIFY(table->viewport()->rect().contains(cell.center()));
        // As the platform delivers one: a click, then the double-click event.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    // What loading a job may change, to show that a refused load changed nothing.
    QVector<int> modesAndRange() const
    {
        return {state().aiMode,
                state().dispenseMode,
                state().startCell,
                state().endCell,
                child<QButtonGroup>("aiModeGroup")->checkedId(),
                child<QButtonGroup>("dispenseModeGroup")->checkedId(),
                child<QSpinBox>("startMemCell")->value(),
                child<QSpinBox>("endMemCell")->value()};
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init()
    {
        TestSettings::clear();
        // The first-run defaults, so the constructor leaves the store alone.
        TestSettings::set(QStringLiteral("SuperPassword"), QStringLiteral("5183"));
        TestSettings::set(QStringLiteral("jobs/maxJob"), 0);
        dialogs = ScriptedDialogs();
    }

    void cleanup() { window.reset(); }

    void emptyListAndFirstProposal()
    {
        openWindow();
        QCOMPARE(jobTable()->rowCount(), 1);
        QCOMPARE(jobText(0, 0), QStringLiteral("No Jobs Saved"));

        trigger("actionSave_Job"); // cancelled at the number
        QCOMPARE(dialogs.requests.size(), 1);
        const ScriptedDialogs::Request &ask = dialogs.requests[0];
        QCOMPARE(ask.kind, QStringLiteral("int"));
        QCOMPARE(ask.title, QStringLiteral("Select Job Number"));
        QCOMPARE(ask.label, QStringLiteral("Select job number to save to:"));
        QCOMPARE(ask.initial, QVariant(1));
        QCOMPARE(ask.minimum, 0);
        QCOMPARE(ask.maximum, 100);
        QCOMPARE(ask.step, 1);
    }

    void saveJobWritesItsSixKeys()
    {
        openWindow();
        child<QAbstractButton>("aiModeCount")->click();
        child<QAbstractButton>("dispenseModeSteady")->click();
        child<QSpinBox>("startMemCell")->setValue(12);
        child<QSpinBox>("endMemCell")->setValue(48);
        const QString path = profileFile();

        dialogs.answers = {12, QStringLiteral("Lid bead"), path};
        QCOMPARE(trigger("actionSave_Job"), QStringList());

        QCOMPARE(dialogs.requests.size(), 3);
        QCOMPARE(dialogs.requests[1].kind, QStringLiteral("text"));
        QCOMPARE(dialogs.requests[1].title, QStringLiteral("Job Description"));
        QCOMPARE(dialogs.requests[1].label, QStringLiteral("Description of job to save:"));
        QCOMPARE(dialogs.requests[1].initial, QVariant(QStringLiteral("Description")));
        QCOMPARE(dialogs.requests[1].echo, int(QLineEdit::Normal));
        QCOMPARE(dialogs.requests[2].kind, QStringLiteral("open"));
        QCOMPARE(dialogs.requests[2].title, QStringLiteral("Select Profile"));
        QCOMPARE(dialogs.requests[2].label, QStringLiteral("Profile (*.csv)"));
        QCOMPARE(dialogs.requests[2].initial, QVariant(QString()));

        QCOMPARE(TestSettings::value(QStringLiteral("jobs/012/desc")).toString(), QStringLiteral("Lid bead"));
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/012/path")).toString(), path);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/012/aiMode")).toInt(), 1);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/012/dispenseMode")).toInt(), 1);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/012/startMemCell")).toInt(), 12);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/012/endMemCell")).toInt(), 48);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/maxJob")).toInt(), 12);
        QVERIFY(!TestSettings::contains(QStringLiteral("jobs/12/desc")));

        QCOMPARE(jobTable()->rowCount(), 12);
        QCOMPARE(jobText(0, 0), QStringLiteral("No Job"));
        QCOMPARE(jobText(11, 0), QStringLiteral("Lid bead"));
        QCOMPARE(jobText(11, 1), path);
    }

    void listStopsAtTheHighestJobNumber()
    {
        TestSettings::set(QStringLiteral("jobs/maxJob"), 2000000000);
        storeJob(100, QStringLiteral("Last"), QStringLiteral("/p/last.csv"), 0, 0, 0, 1);
        openWindow();
        QCOMPARE(jobTable()->rowCount(), 100);
        QCOMPARE(jobText(99, 0), QStringLiteral("Last"));
    }

    void cancelledSaveWritesNothing_data()
    {
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<int>("dialogsShown");
        QTest::newRow("number") << QVariantList() << 1;
        QTest::newRow("description") << QVariantList{4} << 2;
        QTest::newRow("profile") << QVariantList{4, QStringLiteral("Gasket")} << 3;
    }

    void cancelledSaveWritesNothing()
    {
        QFETCH(QVariantList, answers);
        QFETCH(int, dialogsShown);
        openWindow();
        dialogs.answers = answers;
        QCOMPARE(trigger("actionSave_Job"), QStringList());
        QCOMPARE(dialogs.requests.size(), dialogsShown);
        QVERIFY(!TestSettings::contains(QStringLiteral("jobs/004/desc")));
        QVERIFY(!TestSettings::contains(QStringLiteral("jobs/004/aiMode")));
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/maxJob")).toInt(), 0);
        QCOMPARE(jobText(0, 0), QStringLiteral("No Jobs Saved"));
    }

    void savingAboveMaxJobLeavesAGap()
    {
        storeJob(1, QStringLiteral("First"), QStringLiteral("/p/first.csv"), 0, 0, 0, 399);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 1);
        openWindow();
        QCOMPARE(jobTable()->rowCount(), 1);
        QCOMPARE(jobText(0, 0), QStringLiteral("First"));
        QCOMPARE(jobText(0, 1), QStringLiteral("/p/first.csv"));

        dialogs.answers = {3, QStringLiteral("Third"), QStringLiteral("/p/third.csv")};
        trigger("actionSave_Job");
        QCOMPARE(dialogs.requests[0].initial, QVariant(2));
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/maxJob")).toInt(), 3);
        QCOMPARE(jobTable()->rowCount(), 3);
        QCOMPARE(jobText(0, 0), QStringLiteral("First"));
        QCOMPARE(jobText(1, 0), QStringLiteral("No Job"));
        QCOMPARE(jobText(2, 0), QStringLiteral("Third"));
        QCOMPARE(jobText(2, 1), QStringLiteral("/p/third.csv"));
    }

    void overwritingBelowMaxJobKeepsMaxJob()
    {
        storeJob(2, QStringLiteral("Old"), QStringLiteral("/p/old.csv"), 0, 0, 7, 9);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 5);
        openWindow();
        QCOMPARE(jobTable()->rowCount(), 5);

        dialogs.answers = {2, QStringLiteral("New"), QStringLiteral("/p/new.csv")};
        trigger("actionSave_Job");
        QCOMPARE(dialogs.requests[0].initial, QVariant(6));
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/maxJob")).toInt(), 5);
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/002/desc")).toString(), QStringLiteral("New"));
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/002/startMemCell")).toInt(), state().startCell);
        QCOMPARE(jobTable()->rowCount(), 5);
        QCOMPARE(jobText(1, 0), QStringLiteral("New"));
        QCOMPARE(jobText(1, 1), QStringLiteral("/p/new.csv"));
        QCOMPARE(jobText(4, 0), QStringLiteral("No Job"));
    }

    void jobZeroIsStoredButNotListed()
    {
        openWindow();
        const QString path = profileFile();
        dialogs.answers = {0, QStringLiteral("Zero"), path};
        trigger("actionSave_Job");
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/000/desc")).toString(), QStringLiteral("Zero"));
        QCOMPARE(TestSettings::value(QStringLiteral("jobs/maxJob")).toInt(), 0);
        QCOMPARE(jobTable()->rowCount(), 1);
        QCOMPARE(jobText(0, 0), QStringLiteral("No Jobs Saved"));

        dialogs.answers = {0};
        QCOMPARE(trigger("actionOpen_Job"), QStringList());
        QCOMPARE(profileTable()->item(6, 1)->text(), QStringLiteral("45"));
        QCOMPARE(state().pressures[6], 45.0);
    }

    void openJobAppliesModesRangeAndProfile()
    {
        const QString path = profileFile();
        storeJob(4, QStringLiteral("Four"), path, 1, 1, 5, 20);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 4);
        openWindow();

        dialogs.answers = {4};
        QCOMPARE(trigger("actionOpen_Job"), QStringList());
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].title, QStringLiteral("Select Job Number"));
        QCOMPARE(dialogs.requests[0].label, QStringLiteral("Select job number to load:"));
        QCOMPARE(dialogs.requests[0].initial, QVariant(4));
        QCOMPARE(dialogs.requests[0].maximum, 100);

        QVERIFY(child<QAbstractButton>("aiModeCount")->isChecked());
        QVERIFY(child<QAbstractButton>("dispenseModeSteady")->isChecked());
        QCOMPARE(state().aiMode, 1);
        QCOMPARE(state().dispenseMode, 1);
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 5);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 20);
        QCOMPARE(state().startCell, 5);
        QCOMPARE(state().endCell, 20);
        QVERIFY(child<QAbstractButton>("mmhgbut")->isChecked());
        QCOMPARE(profileTable()->item(6, 0)->text(), QStringLiteral("0.75"));
        QCOMPARE(profileTable()->item(6, 3)->text(), QStringLiteral("30"));
        QCOMPARE(state().triggers[6], 30);
    }

    void missingProfileIsReportedAfterModesAndRange()
    {
        storeJob(2, QStringLiteral("Lost"), dir.filePath(QStringLiteral("gone.csv")), 0, 1, 30, 40);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 2);
        openWindow();

        dialogs.answers = {2};
        MessageBoxWatcher watcher;
        child<QAction>("actionOpen_Job")->trigger();
        QCOMPARE(watcher.titles, QStringList() << QStringLiteral("File Error"));
        QCOMPARE(watcher.texts, QStringList() << QStringLiteral(
                     "Could not open file. Check that the file is not in use by another application."));
        QVERIFY(child<QAbstractButton>("aiModeTimed")->isChecked());
        QCOMPARE(state().aiMode, 0);
        QCOMPARE(state().dispenseMode, 1);
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 30);
        QCOMPARE(child<QSpinBox>("endMemCell")->value(), 40);
    }

    void unknownJobIsNotFound()
    {
        storeJob(3, QStringLiteral("Listed only"), QStringLiteral("/p/x.csv"), 0, 0, 0, 1);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 3);
        // A job without its mode key is listed but cannot be loaded.
        QSettings().remove(QStringLiteral("jobs/003/aiMode"));
        openWindow();
        const QVector<int> before = modesAndRange();

        for (int n : {7, 3}) {
            dialogs.answers = {n};
            MessageBoxWatcher watcher;
            child<QAction>("actionOpen_Job")->trigger();
            QCOMPARE(watcher.titles, QStringList() << QStringLiteral("Job Error"));
            QCOMPARE(watcher.texts, QStringList() << QStringLiteral("Job Not Found"));
            QVERIFY(watcher.critical);
        }
        QCOMPARE(modesAndRange(), before);
        QCOMPARE(jobText(2, 0), QStringLiteral("Listed only"));
    }

    void cancelledOpenLoadsNothing()
    {
        storeJob(1, QStringLiteral("One"), profileFile(), 1, 1, 3, 4);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 1);
        openWindow();
        const QVector<int> before = modesAndRange();
        QCOMPARE(trigger("actionOpen_Job"), QStringList());
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(modesAndRange(), before);
    }

    void doubleClickOnNoJobsSavedTriesJobOne()
    {
        openWindow();
        MessageBoxWatcher watcher;
        doubleClickJobRow(0);
        QCOMPARE(watcher.texts, QStringList() << QStringLiteral("Job Not Found"));
    }

    void doubleClickLoadsTheRowsJob()
    {
        storeJob(2, QStringLiteral("Second"), profileFile(), 2, 0, 6, 6);
        TestSettings::set(QStringLiteral("jobs/maxJob"), 2);
        openWindow();
        MessageBoxWatcher watcher;
        doubleClickJobRow(1);
        QCOMPARE(watcher.texts, QStringList());
        QVERIFY(child<QAbstractButton>("aiModeSequence")->isChecked());
        QCOMPARE(state().aiMode, 2);
        QCOMPARE(state().times[6], 0.75);
        QCOMPARE(child<QSpinBox>("startMemCell")->value(), 6);
    }
};

QTEST_MAIN(TestJobs)
#include "tst_jobs.moc"
