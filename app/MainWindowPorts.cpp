// Port selection and connection.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DispenserLink.h"
#include "SerialPortList.h"

#include <QDebug>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>

void MainWindow::refreshComPorts()
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
        if (name == portName)
            button->click();
    }

    ui->configStackWidget->setCurrentIndex(0);
    ui->commandHelpEdit->document()->setPlainText(
        QStringLiteral("Set communications port and baud rate."));
}

void MainWindow::baudRateChanged(int id)
{
    baudRate = id;
}

void MainWindow::commSelectChanged(QAbstractButton *source)
{
    QSettings settings;
    portName = source->text();
    portLabel->setText(portName + QStringLiteral("  ") + QString::number(baudRate));
    settings.setValue(QStringLiteral("COMport"), portName);
    settings.setValue(QStringLiteral("baudeRate"), baudRate);
}

void MainWindow::on_connectButton_clicked()
{
    if (link->isOpen()) {
        link->closePort();
        ui->connectButton->setText(QStringLiteral("Connect"));
        connectionLabel->setText(QStringLiteral("Not Connected to Pelidor 7"));
        connectionLabel->setStyleSheet(QStringLiteral("color: red;"));
        return;
    }

    auto showResult = [this](bool opened) {
        if (opened) {
            connectionLabel->setText(QStringLiteral("Connected to Pelidor 7"));
            connectionLabel->setStyleSheet(QStringLiteral("color: green;"));
            ui->connectButton->setText(QStringLiteral("Disconnect"));
        } else {
            connectionLabel->setText(QStringLiteral("Not Connected to Pelidor 7"));
            connectionLabel->setStyleSheet(QStringLiteral("color: red;"));
        }
    };
    const QList<SerialPortList::Port> ports = SerialPortList::available();
    for (const SerialPortList::Port &port : ports) {
        if (port.name == portName)
            showResult(link->openPort(port.systemLocation, baudRate));
    }
    if (SerialPortList::isUnlistedDevice(portName, ports))
        showResult(link->openPort(portName, baudRate));
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
