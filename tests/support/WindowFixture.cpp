#include "WindowFixture.h"

#include "AppSettings.h"
#include "PasswordDialog.h"
#include "SimulatedLink.h"
#include "TestSettings.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

bool WindowFixture::open(const SimulatedDispenser::State &held, int options)
{
    window.reset();
    dispenser = std::make_unique<SimulatedDispenser>();
    // A closed test window must not end the test program's event loops.
    QApplication::setQuitOnLastWindowClosed(false);
    clearTestSettings();
    if (!dispenser->start()) {
        error = dispenser->errorString();
        return false;
    }
    dispenser->setState(held);
    portName = dispenser->devicePath();
    if (options & ThroughLink) {
        portName = linkFolder.filePath(QStringLiteral("dispenser"));
        dispenser->makeLink(portName);
    }
    AppSettings().setPort(portName);

    window = std::make_unique<MainWindow>();
    window->setDialogProvider(&dialogs);
    find<QTimer>("alarmTimer")->blockSignals(true);
    if (options & Shown) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            error = QStringLiteral("the window was not shown");
            return false;
        }
    }
    if (options & Connected) {
        click("connectButton");
        if (status() != QLatin1String("Connected to Pelidor 7")) {
            error = QStringLiteral("not connected to %1: %2").arg(portName, status());
            return false;
        }
    }
    clearLog();
    return true;
}

void WindowFixture::openPage(const QString &itemText) const
{
    auto *tree = find<QTreeWidget>("treeWidget");
    const QList<QTreeWidgetItem *> items =
            tree->findItems(itemText, Qt::MatchExactly | Qt::MatchRecursive);
    if (items.isEmpty())
        qFatal("no tree item %s", qPrintable(itemText));
    tree->setCurrentItem(items.first());
    emit tree->itemClicked(items.first(), 0);
}

bool WindowFixture::enterSupervisorMode(const QString &password) const
{
    find<QAction>("actionSupervisor_Mode")->trigger();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *prompt = qobject_cast<PasswordDialog *>(widget);
        if (prompt && prompt->isVisible()) {
            auto *field = prompt->findChild<QLineEdit *>();
            QTest::keyClicks(field, password);
            QTest::keyClick(field, Qt::Key_Return);
            return true;
        }
    }
    return false;
}
