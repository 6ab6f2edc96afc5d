// Device settings panel: Get, Send, memory-cell read, range coupling.
#include "MainWindow.h"

void MainWindow::on_pushButton_4_clicked() {}
void MainWindow::on_pushButton_5_clicked() {}
void MainWindow::updateMemCellValues() {}
void MainWindow::on_memCell_valueChanged(int) {}
void MainWindow::on_startMemCell_valueChanged(int) {}
void MainWindow::on_endMemCell_valueChanged(int) {}
void MainWindow::aiMode_change(int) {}
void MainWindow::dispenseMode_change(int) {}
