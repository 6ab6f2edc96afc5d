// Alarm and status monitoring.
#include "MainWindow.h"

#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "StatusTexts.h"

#include <QLabel>
#include <QTimer>

namespace {
const int flashIntervalMs = 500;
}

void MainWindow::updateAlarms()
{
    unsigned status = 0;
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    // A poll that falls due during another exchange is skipped; the display
    // keeps what the last poll showed.
    if (exchangeRunning)
        return;
    const ExchangeScope exchange(exchangeRunning);
    showProgress(QStringLiteral("Get Alarm Status from Device!"));
    const int code = link->getAlarmStatus(status);
    // A failed read says nothing about the alarms: keep showing what was known.
    if (code != DispenserLink::ok) {
        showOutcome(StatusMessage::forCode(code));
        return;
    }
    history->record(historyEvents->alarmsPolled(status));

    if (status != 0) {
        const QString text = StatusTexts::alarmText(status);
        if (!text.isEmpty())
            alarmLabel->setText(text);
        // Restarting the rhythm: the next tick hides the label.
        flashTimer->start(flashIntervalMs);
        flashOn = true;
    } else {
        alarmLabel->setText(QStringLiteral("Status OK"));
        flashTimer->stop();
        flashOn = false;
        alarmLabel->setVisible(true);
    }
    showOutcome(StatusMessage::connected());
}

void MainWindow::flash()
{
    flashOn = !flashOn;
    alarmLabel->setVisible(flashOn);
}

// A reset that went in is followed by a poll at once, so the label shows the
// dispenser's new state instead of waiting for the next poll.
void MainWindow::alarmResetClicked(bool)
{
    if (!link->isOpen()) {
        showStatus(StatusMessage::connectFirst());
        return;
    }
    int code = DispenserLink::ok;
    {
        const ExchangeScope exchange(exchangeRunning);
        code = link->resetAlarms();
    }
    history->record(HistoryEvents::alarmReset(code));
    if (code == DispenserLink::ok)
        updateAlarms();
    else
        showOutcome(StatusMessage::forCode(code));
}
