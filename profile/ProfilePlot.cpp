// Step plot of one profile parameter.
#include "MainWindow.h"

void MainWindow::setupChart() {}
void MainWindow::plot_parameter_Changed() {}
void MainWindow::plotUpdate() {}
