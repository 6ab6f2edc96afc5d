// Jobs kept in the settings store.
#include "MainWindow.h"

void MainWindow::refreshJobTable() {}
void MainWindow::on_actionSave_Job_triggered() {}
void MainWindow::on_actionOpen_Job_triggered() {}
void MainWindow::on_jobTableWidget_doubleClicked(QModelIndex) {}
