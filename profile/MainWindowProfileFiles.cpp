// Profile files: save and open.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DialogProvider.h"
#include "ProfileFile.h"

#include <QMessageBox>

using namespace ProfileUnits;

DialogProvider &MainWindow::dialogs()
{
    static DialogProvider standardDialogs;
    return dialogProvider ? *dialogProvider : standardDialogs;
}

void MainWindow::showFileError(int code)
{
    const QString message = ProfileFile::errorMessage(code);
    if (!message.isEmpty())
        QMessageBox::critical(this, QStringLiteral("File Error"), message, QMessageBox::Ok);
}

void MainWindow::loadProfile(const QString &fileName)
{
    QList<int> cellsRead;
    const int code = state->readProfile(fileName, &cellsRead);
    if (code != ProfileFile::Ok) {
        showFileError(code);
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
    for (int row : qAsConst(cellsRead)) {
        writeCellText(row, Time, QString::number(state->times[row], 'g', 6));
        writeCellText(row, Pressure, QString::number(state->pressures[row], 'g', 6));
        writeCellText(row, Vacuum, QString::number(state->vacuums[row], 'g', 6));
        writeCellText(row, Trigger, QString::number(state->triggers[row]));
    }
    profileUnsaved = false;
    showCellRangeWithoutRead(state->startCell, state->endCell);
}

void MainWindow::on_actionSave_Profile_triggered()
{
    const QString fileName = dialogs().saveFileName(this, QStringLiteral("Save Profile"),
                                                    QStringLiteral("profile.csv"),
                                                    QStringLiteral("Profile (*.csv)"));
    if (fileName.isEmpty())
        return;
    const int code = state->writeProfile(fileName);
    if (code == ProfileFile::Ok) {
        profileUnsaved = false;
        showConfirmation(QStringLiteral("Profile saved to %1").arg(fileName));
    } else {
        showFileError(code);
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
