// The status line: connectionLabel's text and colour, and passing notes.
#include "MainWindow.h"

#include "BusyControls.h"
#include "DispenserLink.h"
#include "CommunicationLog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>

namespace {
constexpr int confirmationMs = 5000;
}

void MainWindow::showStatus(const StatusMessage &message)
{
    // The label may have to cut a long text short: the log keeps it whole.
    if (message.text != connectionLabel->text())
        communicationLog->statusShown(message.text);
    connectionLabel->setText(message.text);
    // A style sheet is costly to apply; a run of progress texts keeps one.
    const QString colour =
            message.failure ? QStringLiteral("color: red;") : QStringLiteral("color: green;");
    if (connectionLabel->styleSheet() != colour)
        connectionLabel->setStyleSheet(colour);
}

void MainWindow::showProgress(const QString &text)
{
    showStatus(StatusMessage::success(text));
    // Paints the text, and lets through the input the busy state allows.
    QCoreApplication::processEvents(busy->stepEvents());
}

void MainWindow::showOutcome(const StatusMessage &message)
{
    if (link->isOpen())
        showStatus(message);
}

void MainWindow::showConfirmation(const QString &text)
{
    statusBar()->showMessage(text, confirmationMs);
}
