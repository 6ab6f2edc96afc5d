// Reading the profile back from the dispenser, verifying it, and comparing a
// file with the dispenser.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "BusyControls.h"
#include "ComparisonDialog.h"
#include "DialogProvider.h"
#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "ProfileFile.h"
#include "QTableWidgetWithCopyPaste.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>

using namespace ProfileUnits;

void MainWindow::setupReadBack()
{
    ui->actionVerify_after_Transmit->setChecked(AppSettings().verifyAfterTransmit());
    // The buttons are the stops of their runs, so the menu goes through them.
    connect(ui->actionRead_Profile, &QAction::triggered, ui->readProfileButton,
            &QPushButton::click);
    connect(ui->actionVerify_Profile, &QAction::triggered, ui->verifyProfileButton,
            &QPushButton::click);
}

QList<int> MainWindow::askCells(const QString &title, bool replacing)
{
    const int first = state->firstRangeCell();
    const int last = state->lastRangeCell();
    QStringList choices;
    if (first <= last)
        choices << QStringLiteral("Job Range %1-%2").arg(first).arg(last);
    choices << QStringLiteral("All %1 Cells").arg(cellCount);
    QString text = QStringLiteral("Which memory cells?");
    const bool warn = replacing && profileUnsaved;
    if (warn)
        text += QStringLiteral("\n\nThe table has changes that are neither saved to a file nor "
                               "transmitted; the cells read replace them.");
    const int choice = dialogs().choose(this, title, text, choices, warn);
    if (choice < 0)
        return {};
    return choice == choices.size() - 1 ? ProfileReadBack::cellRange(0, lastCell)
                                        : ProfileReadBack::cellRange(first, last);
}

// While a run goes on, its button stops it after the current command.
void MainWindow::runStoppable(QPushButton *button, const QString &stopText,
                              const std::function<void(const ProfileReadBack::KeepGoing &)> &run)
{
    readBackStopButton = button;
    readBackStopRequested = false;
    const QString buttonText = button->text();
    button->setText(stopText);
    {
        // A read writes the table (and the units); the button stops the run.
        const ExchangeScope exchange(*busy, { profileTable, ui->dockWidgetContents }, button);
        run([this] {
            QCoreApplication::processEvents(busy->stepEvents());
            return !readBackStopRequested;
        });
    }
    button->setText(buttonText);
    readBackStopButton = nullptr;
}

ProfileReadBack::ShowCell MainWindow::cellProgress(const QString &doing, int cellCount)
{
    return [this, doing, cellCount](int cell) {
        showStatus(StatusMessage::success(
                QStringLiteral("%1 MemCell %2 of %3").arg(doing).arg(cell).arg(cellCount)));
    };
}

ProfileComparison::Result MainWindow::verifyTable(const QList<int> &cells,
                                                  const ProfileReadBack::KeepGoing &keepGoing)
{
    const ProfileComparison::Result result = ProfileComparison::verify(
            *link, *state, cells, cellProgress(QStringLiteral("Verifying"), cells.size()),
            keepGoing);
    showVerification(result);
    return result;
}

// The table marks the differences of this verification only.
void MainWindow::showVerification(const ProfileComparison::Result &result)
{
    const ProfileComparison::Result previous = std::exchange(verification, result);
    for (const auto &marks : { previous.differences, verification.differences }) {
        for (const ProfileComparison::Difference &difference : marks)
            showCellMark(difference.cell, difference.column);
    }
}

void MainWindow::on_readProfileButton_clicked()
{
    if (readBackStopButton) {
        readBackStopRequested = true;
        return;
    }
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    const QList<int> cells = askCells(QStringLiteral("Read Profile from Pelidor 7"), true);
    if (cells.isEmpty())
        return;

    DispenserState read = *state;
    ProfileReadBack::Result result;
    runStoppable(ui->readProfileButton, QStringLiteral("Stop Read"), [&](const auto &keepGoing) {
        result = ProfileReadBack::read(*link, cells, read,
                                       cellProgress(QStringLiteral("Reading"), cells.size()),
                                       keepGoing);
    });

    // The values are in the dispenser's units: the table takes them first.
    if (result.pressureUnit)
        showPressureUnit(*result.pressureUnit);
    if (result.vacuumUnit)
        showVacuumUnit(*result.vacuumUnit);
    {
        // The dispenser's values are no edit of the user's.
        const QScopedValueRollback<bool> keepUnsaved(profileUnsaved);
        for (int cell : qAsConst(result.cellsRead))
            writeCellValues(cell, read);
    }
    if (!result.stopped() && result.failedCells.isEmpty())
        profileUnsaved = false;
    history->record({ HistoryKind::readBack, result.summary() });
    showStatus(result.succeeded() ? StatusMessage::success(result.summary())
                                  : StatusMessage::failed(result.summary()));
}

void MainWindow::on_verifyProfileButton_clicked()
{
    if (readBackStopButton) {
        readBackStopRequested = true;
        return;
    }
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    const QList<int> cells = askCells(QStringLiteral("Verify with Pelidor 7"), false);
    if (cells.isEmpty())
        return;
    ProfileComparison::Result result;
    runStoppable(ui->verifyProfileButton, QStringLiteral("Stop Verify"),
                 [&](const auto &keepGoing) { result = verifyTable(cells, keepGoing); });
    history->record({ HistoryKind::verify, result.summary() });
    showStatus(result.succeeded() ? StatusMessage::success(result.summary())
                                  : StatusMessage::failed(result.summary()));
}

void MainWindow::on_actionVerify_after_Transmit_triggered(bool checked)
{
    AppSettings().setVerifyAfterTransmit(checked);
}

void MainWindow::on_actionClear_Marks_triggered()
{
    showVerification(ProfileComparison::Result());
}

// The file is read aside, the table stays as it is; the outcome shows in a
// dialog of its own, side by side.
void MainWindow::on_actionCompare_File_triggered()
{
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    const QString fileName =
            dialogs().openFileName(this, QStringLiteral("Compare File with Pelidor 7"), QString(),
                                   QStringLiteral("Profile (*.csv *.hvx)"));
    if (fileName.isEmpty())
        return;
    DispenserState file;
    QList<int> cells;
    QString reason;
    const int code = ProfileFile::read(fileName, file, &cells, &reason);
    if (code != ProfileFile::Ok) {
        showFileError(code, reason);
        return;
    }
    if (cells.isEmpty()) {
        showStatus(StatusMessage::failed(QFileInfo(fileName).fileName()
                                         + QStringLiteral(" holds no cells")));
        return;
    }
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());

    ProfileComparison::Result result;
    runStoppable(ui->verifyProfileButton, QStringLiteral("Stop Verify"),
                 [&](const auto &keepGoing) {
                     result = ProfileComparison::verify(
                             *link, file, cells,
                             cellProgress(QStringLiteral("Comparing"), cells.size()), keepGoing);
                 });
    const QString summary =
            QFileInfo(fileName).fileName() + QStringLiteral(": ") + result.summary();
    history->record({ HistoryKind::verify, fileName + QStringLiteral(": ") + result.summary() });
    showStatus(result.succeeded() ? StatusMessage::success(summary)
                                  : StatusMessage::failed(summary));
    auto *dialog = new ComparisonDialog(
            fileName, result, [this]() -> DialogProvider & { return dialogs(); }, this);
    dialog->show();
}
