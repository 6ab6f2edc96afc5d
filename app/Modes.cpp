// Operator and supervisor modes.
#include "MainWindow.h"

void MainWindow::on_actionSupervisor_Mode_triggered() {}
void MainWindow::passEntered(QString) {}
void MainWindow::passDialogFinished(int) {}
void MainWindow::on_actionOperator_Mode_triggered() {}
