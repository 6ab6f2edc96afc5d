// Port selection and connection.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "ConfigPage.h"
#include "DispenserLink.h"
#include "HistoryEvents.h"
#include "SerialPortList.h"

#include <QDebug>
#include <QLabel>
#include <QRadioButton>

void MainWindow::refreshComPorts()
{
    rebuildPortButtons();
    showConfigPage(CommPage);
}

void MainWindow::rebuildPortButtons()
{
    const QList<SerialPortList::Port> ports = SerialPortList::available();

    // The old buttons die only when control returns to the event loop: the
    // click below runs its slot while they still exist, detached.
    const QList<QAbstractButton *> oldButtons = ui->COMportGroup->buttons();
    for (QAbstractButton *button : oldButtons) {
        ui->configLayoutTop->removeWidget(button);
        ui->COMportGroup->removeButton(button);
        button->deleteLater();
    }

    QStringList names;
    for (const SerialPortList::Port &port : ports)
        names << port.name;
    if (SerialPortList::isUnlistedDevice(portName, ports))
        names << portName;
    for (const QString &name : qAsConst(names)) {
        auto *button = new QRadioButton(name);
        ui->configLayoutTop->addWidget(button);
        ui->COMportGroup->addButton(button);
        // Chosen also when a lockout disables the port buttons, where a
        // click would do nothing.
        if (name == portName) {
            button->setChecked(true);
            commSelectChanged(button);
        }
    }
}

void MainWindow::baudRateChanged(int id)
{
    baudRate = id;
}

void MainWindow::commSelectChanged(QAbstractButton *source)
{
    AppSettings settings;
    portName = source->text();
    portLabel->setText(portName + QStringLiteral("  ") + QString::number(baudRate));
    settings.setPort(portName);
    settings.setBaudRate(baudRate);
}

void MainWindow::on_connectButton_clicked()
{
    dispenserCell.reset();
    statusShowsNoAnswer = false;
    lockoutsKnown = false;
    showAlarmsUnknown();
    if (link->isOpen()) {
        link->closePort();
        ui->connectButton->setText(QStringLiteral("Connect"));
        showStatus(StatusMessage::notConnected());
        history->record(HistoryEvents::disconnected(portName));
        applyLockoutEnabling();
        return;
    }

    const QString device = SerialPortList::deviceFor(portName, SerialPortList::available());
    if (device.isEmpty()) {
        showStatus(StatusMessage::failed(
                QStringLiteral("Could not open %1: no such port").arg(portName)));
        return;
    }
    if (!link->openPort(device, baudRate)) {
        showStatus(StatusMessage::failed(
                QStringLiteral("Could not open %1: %2").arg(portName, link->portErrorString())));
        return;
    }
    history->record(HistoryEvents::connected(portName, baudRate));
    ui->connectButton->setText(QStringLiteral("Disconnect"));

    // Connected means answered: the first exchange tells. The panel shows
    // values in the dispenser's units, and the operator lockouts hold from
    // the start, not only once a supervisor has opened their page.
    if (DispenserLink::isUnanswered(readUnits())) {
        showStatus(StatusMessage::failed(
                QStringLiteral("Port %1 open, but the Pelidor 7 does not answer").arg(portName)));
        statusShowsNoAnswer = true;
        history->record({ HistoryKind::noAnswer, portName });
        applyLockoutEnabling();
        return;
    }
    showStatus(StatusMessage::connected());
    readLockouts();
    applyLockoutEnabling();
}

// The status bar's button: ports plugged in since start appear, and the
// chosen one is connected.
void MainWindow::connectToChosenPort()
{
    rebuildPortButtons();
    if (!link->isOpen())
        on_connectButton_clicked();
}

void MainWindow::onLineLost()
{
    dispenserCell.reset();
    statusShowsNoAnswer = false;
    lockoutsKnown = false;
    applyLockoutEnabling();
    showAlarmsUnknown();
    ui->connectButton->setText(QStringLiteral("Connect"));
    showStatus(StatusMessage::failed(QStringLiteral("Connection lost: %1").arg(portName)));
    history->record(HistoryEvents::connectionLost(portName));
}

void MainWindow::pushButton_2_clicked()
{
    const QList<SerialPortList::Port> ports = SerialPortList::available();
    for (const SerialPortList::Port &port : ports) {
        if (port.name == QLatin1String("COM4")) {
            qDebug() << "Found COM4, opening now: \n";
            if (link->openPort(port.systemLocation, 115200))
                qDebug() << "Opened Successfully";
            else
                qDebug() << "Failed to Open";
        }
    }
}
