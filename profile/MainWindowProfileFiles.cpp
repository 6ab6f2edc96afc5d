// Profile files: save and open.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DialogProvider.h"
#include "ProfileCellCheck.h"

#include <QMessageBox>

using ProfileCellCheck::PressureColumn;
using ProfileCellCheck::TimeColumn;
using ProfileCellCheck::TriggerColumn;
using ProfileCellCheck::VacuumColumn;

DialogProvider &MainWindow::dialogs()
{
    static DialogProvider standardDialogs;
    return dialogProvider ? *dialogProvider : standardDialogs;
}

void MainWindow::showFileError(int code)
{
    QString message;
    switch (code) {
    case DispenserState::fileOpenFailed:
        message = QStringLiteral("Could not open file. Check that the file is not in use by another application.");
        break;
    case DispenserState::fileWriteFailed:
        message = QStringLiteral("Error writing to file. Please try again later.");
        break;
    case DispenserState::filePressureUnitUnknown:
        message = QStringLiteral("Pressure Units not recognized. Was the profile file edited manually?");
        break;
    case DispenserState::fileVacuumUnitUnknown:
        message = QStringLiteral("Vacuum Units not recognized. Was the profile file edited manually?");
        break;
    case DispenserState::fileInvalidMemCell:
        message = QStringLiteral("Invalid Mem Cell found in profile. Was the profile file edited manually?");
        break;
    case DispenserState::fileTruncated:
        message = QStringLiteral("Profile file is truncated. Was the profile file edited manually?");
        break;
    default:
        return;
    }
    QMessageBox::critical(this, QStringLiteral("File Error"), message, QMessageBox::Ok);
}

void MainWindow::loadProfile(const QString &fileName)
{
    const int code = state->readProfile(fileName);
    if (code != DispenserState::fileOk) {
        showFileError(code);
        return;
    }

    // Clicking runs the unit slots, which update headings, editors and captions.
    if (QAbstractButton *button = ui->pressureUnitGroup->button(state->pressureUnits))
        button->click();
    if (QAbstractButton *button = ui->vacuumUnitsGroup->button(state->vacuumUnits))
        button->click();

    // Every cell goes through the table's check, which corrects values out of
    // range and stores the result back into the record.
    for (int row = 0; row < DispenserState::cellCount; ++row) {
        writeCellText(row, TimeColumn, QString::number(state->times[row], 'g', 6));
        writeCellText(row, PressureColumn, QString::number(state->pressures[row], 'g', 6));
        writeCellText(row, VacuumColumn, QString::number(state->vacuums[row], 'g', 6));
        writeCellText(row, TriggerColumn, QString::number(state->triggers[row]));
    }

    // The spin boxes' slots write the range back into the record, so each
    // step reads it afresh.
    ui->startMemCell->setValue(state->startCell);
    ui->bulkAdjustStart->setValue(state->startCell);
    ui->endMemCell->setValue(state->endCell);
    ui->bulkAdjustEnd->setValue(state->endCell);
}

void MainWindow::on_actionSave_Profile_triggered()
{
    const QString fileName = dialogs().saveFileName(this, QStringLiteral("Save Profile"),
                                                    QStringLiteral("profile.csv"),
                                                    QStringLiteral("Profile (*.csv)"));
    if (fileName.isEmpty())
        return;
    showFileError(state->writeProfile(fileName));
}

void MainWindow::on_actionOpen_Profile_triggered()
{
    const QString fileName = dialogs().openFileName(this, QStringLiteral("Select Profile"), QString(),
                                                    QStringLiteral("Profile (*.csv *.hvx)"));
    if (!fileName.isEmpty())
        loadProfile(fileName);
}

void MainWindow::testFileSave_clicked()
{
    const QString fileName =
        dialogs().openFileName(this, QStringLiteral("Open a file to save to"), QString(), QString());
    if (!fileName.isEmpty())
        state->writeProfile(fileName);
}
