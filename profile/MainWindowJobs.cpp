// Jobs kept in the settings store.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DialogProvider.h"

#include <QMessageBox>
#include <QSettings>

#include <algorithm>

namespace {

// Job numbers offered by the dialogs; the list shows 1 up to this.
constexpr int highestJobNumber = 100;

const QString maxJobKey = QStringLiteral("jobs/maxJob");

// Key of one field of job n, such as jobs/007/path.
QString jobKey(int n, const char *field)
{
    return QStringLiteral("jobs/%1/%2").arg(n, 3, 10, QLatin1Char('0')).arg(QLatin1String(field));
}

} // namespace

void MainWindow::refreshJobTable()
{
    const QSettings settings;
    QTableWidget *table = ui->jobTableWidget;
    // A store edited by hand must not make the table allocate a huge list.
    const int maxJob = std::min(settings.value(maxJobKey).toInt(), highestJobNumber);
    if (maxJob < 1) {
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("No Jobs Saved")));
        return;
    }

    table->setRowCount(maxJob);
    for (int n = 1; n <= maxJob; ++n) {
        if (settings.contains(jobKey(n, "desc"))) {
            table->setItem(n - 1, 0, new QTableWidgetItem(settings.value(jobKey(n, "desc")).toString()));
            table->setItem(n - 1, 1, new QTableWidgetItem(settings.value(jobKey(n, "path")).toString()));
        } else {
            table->setItem(n - 1, 0, new QTableWidgetItem(QStringLiteral("No Job")));
        }
    }
}

void MainWindow::on_actionSave_Job_triggered()
{
    QSettings settings;
    const int maxJob = settings.value(maxJobKey).toInt();

    bool accepted = false;
    const int n = dialogs().getInt(this, QStringLiteral("Select Job Number"),
                                   QStringLiteral("Select job number to save to:"), maxJob + 1, 0,
                                   highestJobNumber, 1, &accepted);
    if (!accepted)
        return;
    const QString description = dialogs().getText(this, QStringLiteral("Job Description"),
                                                  QStringLiteral("Description of job to save:"),
                                                  QLineEdit::Normal, QStringLiteral("Description"),
                                                  &accepted);
    if (!accepted)
        return;
    // The job points at an existing profile file; the table is not saved here.
    const QString path = dialogs().openFileName(this, QStringLiteral("Select Profile"), QString(),
                                                QStringLiteral("Profile (*.csv)"));
    if (path.isEmpty())
        return;

    settings.setValue(jobKey(n, "desc"), description);
    settings.setValue(jobKey(n, "path"), path);
    settings.setValue(jobKey(n, "aiMode"), state->aiMode);
    settings.setValue(jobKey(n, "dispenseMode"), state->dispenseMode);
    settings.setValue(jobKey(n, "startMemCell"), state->startCell);
    settings.setValue(jobKey(n, "endMemCell"), state->endCell);
    if (maxJob < n)
        settings.setValue(maxJobKey, n);
    settings.sync();

    refreshJobTable();
}

void MainWindow::on_actionOpen_Job_triggered()
{
    const int maxJob = QSettings().value(maxJobKey).toInt();
    bool accepted = false;
    const int n = dialogs().getInt(this, QStringLiteral("Select Job Number"),
                                   QStringLiteral("Select job number to load:"), maxJob, 0,
                                   highestJobNumber, 1, &accepted);
    if (accepted)
        loadJob(n);
}

void MainWindow::on_jobTableWidget_doubleClicked(QModelIndex index)
{
    loadJob(index.row() + 1);
}

void MainWindow::loadJob(int n)
{
    const QSettings settings;
    if (!settings.contains(jobKey(n, "aiMode"))) {
        QMessageBox::critical(this, QStringLiteral("Job Error"), QStringLiteral("Job Not Found"),
                              QMessageBox::Ok);
        return;
    }

    // Clicking runs the mode slots, which update the record and the headings.
    const int aiMode = settings.value(jobKey(n, "aiMode")).toInt();
    if (QAbstractButton *button = ui->aiModeGroup->button(aiMode)) {
        button->click();
        state->aiMode = ui->aiModeGroup->checkedId();
    }
    const int dispenseMode = settings.value(jobKey(n, "dispenseMode")).toInt();
    if (QAbstractButton *button = ui->dispenseModeGroup->button(dispenseMode)) {
        button->click();
        state->dispenseMode = ui->dispenseModeGroup->checkedId();
    }

    ui->startMemCell->setValue(settings.value(jobKey(n, "startMemCell")).toInt());
    ui->endMemCell->setValue(settings.value(jobKey(n, "endMemCell")).toInt());

    loadProfile(settings.value(jobKey(n, "path")).toString());
}
