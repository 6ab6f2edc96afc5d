// Transmission of the profile to the dispenser.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "ExchangeScope.h"
#include "HistoryEvents.h"
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
    {
        // The button stops the run; the profile and its range stay as they are.
        const ExchangeScope exchange(
                *busy, { ui->dockWidgetContents, profileTable, ui->dockWidgetContents_3 },
                ui->pushButton);
        result = ProfileTransmission::transmit(
                *link, *state, ui->bulkAdjustStart->value(), ui->bulkAdjustEnd->value(),
                [this](int cell) {
                    showStatus(StatusMessage::success(
                            QStringLiteral("Transmitting MemCell %1").arg(cell)));
                },
                [this] {
                    QCoreApplication::processEvents(busy->stepEvents());
                    return !transmitStopRequested;
                });
    }

    ui->pushButton->setText(buttonText);
    transmitting = false;
    history->record(HistoryEvents::transmitted(result));
    showStatus(result.succeeded() ? StatusMessage::success(result.summary())
                                  : StatusMessage::failed(result.summary()));
}
