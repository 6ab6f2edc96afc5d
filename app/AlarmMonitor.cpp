// Alarm and status monitoring.
#include "MainWindow.h"

void MainWindow::updateAlarms() {}
void MainWindow::flash() {}
void MainWindow::alarmResetClicked(bool) {}
