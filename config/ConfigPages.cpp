// Configuration tree navigation and page openers.
#include "MainWindow.h"

void MainWindow::on_treeWidget_itemClicked(QTreeWidgetItem *, int) {}
