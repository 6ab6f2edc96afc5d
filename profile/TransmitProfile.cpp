// Transmission of the profile to the dispenser.
#include "MainWindow.h"

void MainWindow::on_pushButton_clicked() {}
