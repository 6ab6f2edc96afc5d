// Transmission of the profile to the dispenser.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "ProfileComparison.h"
#include "ProfileTransmission.h"
#include "QTableWidgetWithCopyPaste.h"

#include <QCoreApplication>

// While a run goes on, the same button stops it after the current command.
void MainWindow::on_pushButton_clicked()
{
    if (transmitting) {
        transmitStopRequested = true;
        return;
    }
    transmitting = true;
    transmitStopRequested = false;
    const QString buttonText = ui->pushButton->text();
    ui->pushButton->setText(QStringLiteral("Stop Transmit"));

    ProfileTransmission::Result result;
    std::optional<ProfileComparison::Result> verified;
    {
        // The button stops the run; the profile and its range stay as they are.
        const ExchangeScope exchange(
                *busy, { ui->dockWidgetContents, profileTable, ui->dockWidgetContents_3 },
                ui->pushButton);
        const auto keepGoing = [this] {
            QCoreApplication::processEvents(busy->stepEvents());
            return !transmitStopRequested;
        };
        result = ProfileTransmission::transmit(
                *link, *state, ui->bulkAdjustStart->value(), ui->bulkAdjustEnd->value(),
                [this](int cell) {
                    showStatus(StatusMessage::success(
                            QStringLiteral("Transmitting MemCell %1").arg(cell)));
                },
                keepGoing);
        // Refused commands are what a verification shows best; a stopped run
        // is not verified.
        const bool ranThrough = result.refusal.isEmpty() && result.stoppedAtCell < 0
                && result.lastCell >= result.firstCell;
        if (ranThrough && ui->actionVerify_after_Transmit->isChecked())
            verified = verifyTable(ProfileReadBack::cellRange(result.firstCell, result.lastCell),
                                   keepGoing);
    }

    ui->pushButton->setText(buttonText);
    transmitting = false;
    if (result.succeeded())
        profileUnsaved = false;
    const bool clean = result.succeeded() && (!verified || verified->succeeded());
    const QString summary = verified ? ProfileComparison::afterTransmitSummary(result, *verified)
                                     : result.summary();
    history->record({ HistoryKind::transmit, summary });
    showStatus(clean ? StatusMessage::success(summary) : StatusMessage::failed(summary));
}
