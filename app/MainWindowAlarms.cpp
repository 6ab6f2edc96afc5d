// Alarm and status monitoring.
#include "MainWindow.h"

#include "DispenserLink.h"
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
        connectionLabel->setText(QStringLiteral("Connect First!"));
        return;
    }
    showDeviceProgress(QStringLiteral("Get Alarm Status from Device!"));
    const int code = link->getAlarmStatus(status);
    // A failed read says nothing about the alarms: keep showing what was known.
    if (code != 0) {
        connectionLabel->setText(deviceOutcomeText(code));
        return;
    }

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
    connectionLabel->setText(QStringLiteral("Connected to Pelidor 7"));
}

void MainWindow::flash()
{
    flashOn = !flashOn;
    alarmLabel->setVisible(flashOn);
}

// The display changes only with the next poll, which reads the new status.
void MainWindow::alarmResetClicked(bool)
{
    if (!link->isOpen()) {
        connectionLabel->setText(QStringLiteral("Connect First!"));
        return;
    }
    link->resetAlarms();
}
