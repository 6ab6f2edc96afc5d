// Alarm and status monitoring.
#include "MainWindow.h"

#include "BusyControls.h"
#include "DispenserLink.h"
#include "ExchangeScope.h"
#include "HistoryEvents.h"
#include "StatusTexts.h"

#include <QLabel>
#include <QTimer>

namespace {
const int flashIntervalMs = 500;
// Seen across a room: white on red, blinking against red on the bar.
const char *const alarmLitStyle = "color: white; background-color: red;";
const char *const alarmDarkStyle = "color: red;";
} // namespace

// Before the first read, and whenever the last one failed, nothing is known
// of the dispenser's alarms.
void MainWindow::showAlarmsUnknown()
{
    flashTimer->stop();
    flashOn = false;
    alarmLabel->setText(QStringLiteral("Status unknown"));
    alarmLabel->setStyleSheet(QStringLiteral("color: gray;"));
}

// The poll writes its own label. The status line keeps the outcome of the
// last action; only a failed poll, a dispenser lost, takes it, and the next
// answered poll gives it back green.
void MainWindow::updateAlarms()
{
    unsigned status = 0;
    if (!link->isOpen())
        return;
    // A poll that falls due during another exchange is skipped; the display
    // keeps what the last poll showed.
    if (busy->isBusy())
        return;
    int code = DispenserLink::ok;
    {
        const ExchangeScope exchange(*busy);
        code = link->getAlarmStatus(status);
    }
    if (code != DispenserLink::ok) {
        showAlarmsUnknown();
        showOutcome(StatusMessage::forCode(code));
        if (!statusShowsNoAnswer)
            history->record({ HistoryKind::noAnswer, DispenserLink::failureText(code) });
        statusShowsNoAnswer = true;
        return;
    }
    history->record(historyEvents->alarmsPolled(status));
    if (statusShowsNoAnswer) {
        statusShowsNoAnswer = false;
        showStatus(StatusMessage::connected());
    }

    // The lockouts not read at Connect are asked for until they are.
    if (!lockoutsKnown && readLockouts())
        applyLockoutEnabling();

    if (status != 0) {
        const QString text = StatusTexts::alarmText(status);
        if (!text.isEmpty())
            alarmLabel->setText(text);
        // Restarting the rhythm: the next tick darkens the label.
        flashTimer->start(flashIntervalMs);
        flashOn = true;
        alarmLabel->setStyleSheet(QLatin1String(alarmLitStyle));
    } else {
        alarmLabel->setText(QStringLiteral("Status OK"));
        alarmLabel->setStyleSheet(QStringLiteral("color: green;"));
        flashTimer->stop();
        flashOn = false;
    }
}

void MainWindow::flash()
{
    flashOn = !flashOn;
    alarmLabel->setStyleSheet(QLatin1String(flashOn ? alarmLitStyle : alarmDarkStyle));
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
        const ExchangeScope exchange(*busy);
        code = link->resetAlarms();
    }
    showOutcome(StatusMessage::forCode(code));
    history->record(HistoryEvents::alarmReset(code));
    if (code == DispenserLink::ok)
        updateAlarms();
}
