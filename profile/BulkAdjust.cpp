// Bulk adjustment of a cell range.
#include "MainWindow.h"

void MainWindow::on_bulkAdjustStart_valueChanged(int) {}
void MainWindow::on_bulkAdjustEnd_valueChanged(int) {}
void MainWindow::on_bulkAdjustPercent_valueChanged(double) {}
void MainWindow::on_bulkAdjustRelative_valueChanged(double) {}
void MainWindow::bulkAdjustParameterGroup_changed() {}
void MainWindow::on_bulkAdjustCancel_clicked() {}
void MainWindow::on_bulkAdjustPercentSlider_sliderMoved(int) {}
void MainWindow::on_bulkAdjustRelativeSlider_sliderMoved(int) {}
void MainWindow::on_bulkAdjustApply_clicked() {}
