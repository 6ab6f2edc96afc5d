// Port selection and connection (to be built with the device link).
#include "MainWindow.h"

void MainWindow::refreshComPorts() {}
void MainWindow::baudRateChanged(int) {}
void MainWindow::commSelectChanged(QAbstractButton *) {}
void MainWindow::on_connectButton_clicked() {}
void MainWindow::pushButton_2_clicked() {}
