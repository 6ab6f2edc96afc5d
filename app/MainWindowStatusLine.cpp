// The status line: connectionLabel's text and colour.
#include "MainWindow.h"

#include "DispenserLink.h"

#include <QCoreApplication>
#include <QLabel>

void MainWindow::showStatus(const StatusMessage &message)
{
    connectionLabel->setText(message.text);
    connectionLabel->setStyleSheet(message.failure ? QStringLiteral("color: red;")
                                                   : QStringLiteral("color: green;"));
}

void MainWindow::showProgress(const QString &text)
{
    showStatus(StatusMessage::success(text));
    // Paints the text; input is held off by the running exchange's scope.
    QCoreApplication::processEvents();
}

void MainWindow::showOutcome(const StatusMessage &message)
{
    if (link->isOpen())
        showStatus(message);
}
