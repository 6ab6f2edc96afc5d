// Jobs kept in the settings store.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "DialogProvider.h"
#include "HistoryEvents.h"

#include <QMessageBox>

#include <algorithm>

// A job is picked from the list, not edited in it (Save Job sets its
// description): the arrow keys move to a job, Return or Enter loads it as a
// double-click does, and Tab goes on to the next control.
void MainWindow::setupJobTable()
{
    QTableWidget *table = ui->jobTableWidget;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false);
    onReturnKey(table, [this, table] {
        if (table->currentRow() >= 0)
            loadJob(table->currentRow() + 1);
    });
}

void MainWindow::refreshJobTable()
{
    const AppSettings settings;
    QTableWidget *table = ui->jobTableWidget;
    // A store edited by hand must not make the table allocate a huge list.
    const int maxJob = std::min(settings.maxJob(), int(AppSettings::highestJobNumber));
    if (maxJob < 1) {
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("No Jobs Saved")));
        return;
    }

    table->setRowCount(maxJob);
    for (int n = 1; n <= maxJob; ++n) {
        if (settings.isJobListed(n)) {
            const AppSettings::Job job = settings.job(n);
            table->setItem(n - 1, 0, new QTableWidgetItem(job.description));
            table->setItem(n - 1, 1, new QTableWidgetItem(job.path));
        } else {
            table->setItem(n - 1, 0, new QTableWidgetItem(QStringLiteral("No Job")));
        }
    }
}

void MainWindow::on_actionSave_Job_triggered()
{
    AppSettings settings;
    bool accepted = false;
    const int n = dialogs().getInt(this, QStringLiteral("Select Job Number"),
                                   QStringLiteral("Select job number to save to:"),
                                   settings.nextJobNumber(), 0, AppSettings::highestJobNumber, 1,
                                   &accepted);
    if (!accepted)
        return;
    AppSettings::Job job;
    job.description = dialogs().getText(
            this, QStringLiteral("Job Description"), QStringLiteral("Description of job to save:"),
            QLineEdit::Normal, QStringLiteral("Description"), &accepted);
    if (!accepted)
        return;
    // The job points at an existing profile file; the table is not saved here.
    job.path = dialogs().openFileName(this, QStringLiteral("Select Profile"), QString(),
                                      QStringLiteral("Profile (*.csv)"));
    if (job.path.isEmpty())
        return;

    job.aiMode = state->aiMode;
    job.dispenseMode = state->dispenseMode;
    job.startCell = state->startCell;
    job.endCell = state->endCell;
    if (!settings.storeJob(n, job)) {
        QMessageBox::critical(this, QStringLiteral("Job Error"),
                              QStringLiteral("The job could not be saved: the settings store "
                                             "cannot be written."),
                              QMessageBox::Ok);
        return;
    }
    history->record(HistoryEvents::job(HistoryKind::jobSaved, n, job));
    refreshJobTable();
    showConfirmation(QStringLiteral("Job %1 saved").arg(n));
}

void MainWindow::on_actionOpen_Job_triggered()
{
    bool accepted = false;
    const int n = dialogs().getInt(
            this, QStringLiteral("Select Job Number"), QStringLiteral("Select job number to load:"),
            AppSettings().maxJob(), 0, AppSettings::highestJobNumber, 1, &accepted);
    if (accepted)
        loadJob(n);
}

void MainWindow::on_jobTableWidget_doubleClicked(QModelIndex index)
{
    loadJob(index.row() + 1);
}

void MainWindow::loadJob(int n)
{
    const AppSettings settings;
    if (!settings.isJobSaved(n)) {
        QMessageBox::critical(this, QStringLiteral("Job Error"), QStringLiteral("Job Not Found"),
                              QMessageBox::Ok);
        return;
    }
    const AppSettings::Job job = settings.job(n);
    history->record(HistoryEvents::job(HistoryKind::jobLoaded, n, job));

    // The mode slots update the record and the headings; they run even when
    // a lockout disables the mode buttons.
    showChoice(ui->aiModeGroup, job.aiMode, &MainWindow::aiMode_change);
    showChoice(ui->dispenseModeGroup, job.dispenseMode, &MainWindow::dispenseMode_change);
    showCellRangeWithoutRead(job.startCell, job.endCell);
    loadProfile(job.path);
}
