// Profile files: save and open.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DialogProvider.h"
#include "HistoryEvents.h"
#include "ProfileFile.h"

#include <QMessageBox>
#include <QStatusBar>

using namespace ProfileUnits;

DialogProvider &MainWindow::dialogs()
{
    static DialogProvider standardDialogs;
    return dialogProvider ? *dialogProvider : standardDialogs;
}

void MainWindow::showFileError(int code, const QString &reason)
{
    const QString message = ProfileFile::errorMessage(code, reason);
    if (!message.isEmpty())
        QMessageBox::critical(this, QStringLiteral("File Error"), message, QMessageBox::Ok);
}

void MainWindow::loadProfile(const QString &fileName)
{
    QList<int> cellsRead;
    QString reason;
    const int code = state->readProfile(fileName, &cellsRead, &reason);
    if (code != ProfileFile::Ok) {
        showFileError(code, reason);
        return;
    }

    // The unit slots update headings, editors and captions; they run even
    // when a lockout disables the unit buttons.
    showPressureUnit(state->pressureUnits);
    showVacuumUnit(state->vacuumUnits);

    // Every cell of the file goes through the table's check, which corrects
    // values out of range and stores the result back into the record. The
    // other cells keep their numbers, in the file's units: a unit change is no
    // reason to clamp them (those outside the limits are marked).
    for (int row : qAsConst(cellsRead))
        writeCellValues(row, *state);
    profileUnsaved = false;
    showCellRangeWithoutRead(state->startCell, state->endCell);
    history->record(HistoryEvents::profileFile(HistoryKind::profileOpened, fileName));
}

void MainWindow::on_actionSave_Profile_triggered()
{
    const QString fileName = dialogs().saveFileName(this, QStringLiteral("Save Profile"),
                                                    QStringLiteral("profile.csv"),
                                                    QStringLiteral("Profile (*.csv)"));
    if (fileName.isEmpty())
        return;
    QString reason;
    const int code = state->writeProfile(fileName, &reason);
    if (code == ProfileFile::Ok) {
        profileUnsaved = false;
        history->record(HistoryEvents::profileFile(HistoryKind::profileSaved, fileName));
        showConfirmation(QStringLiteral("Profile saved to %1").arg(fileName));
    } else {
        // An earlier "Profile saved" must not stand beside the failure.
        statusBar()->clearMessage();
        showFileError(code, reason);
    }
}

void MainWindow::on_actionOpen_Profile_triggered()
{
    const QString fileName =
            dialogs().openFileName(this, QStringLiteral("Select Profile"), QString(),
                                   QStringLiteral("Profile (*.csv *.hvx)"));
    if (!fileName.isEmpty())
        loadProfile(fileName);
}

void MainWindow::testFileSave_clicked()
{
    const QString fileName = dialogs().openFileName(this, QStringLiteral("Open a file to save to"),
                                                    QString(), QString());
    if (!fileName.isEmpty())
        state->writeProfile(fileName);
}
