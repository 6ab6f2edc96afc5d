// Profile table, units and cell check.
#include "MainWindow.h"

void MainWindow::setupProfileTable() {}
void MainWindow::dispenseTable_changed(int, int) {}
void MainWindow::pressureUnitsChanged(int) {}
void MainWindow::vacuumUnitsChanged(int) {}
void MainWindow::resizeCorner() {}
