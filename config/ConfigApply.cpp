// Configuration pages and Apply.
#include "MainWindow.h"

void MainWindow::on_configApplyButton_clicked() {}
void MainWindow::languageSelectionChanged(int) {}
void MainWindow::calendarChanged() {}
void MainWindow::timeChanged(QTime) {}
void MainWindow::twentyfour(bool) {}
void MainWindow::currentPassTextChanged(QString) {}
void MainWindow::newPassTextChanged(QString) {}
void MainWindow::confirmPassTextChanged(QString) {}
void MainWindow::on_setToCurrentTime_clicked() {}
void MainWindow::lockoutsChanged(int) {}
void MainWindow::alarmsChanged(int) {}
