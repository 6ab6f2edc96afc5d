// Profile files: save and open.
#include "MainWindow.h"

void MainWindow::on_actionSave_Profile_triggered() {}
void MainWindow::on_actionOpen_Profile_triggered() {}
void MainWindow::testFileSave_clicked() {}
