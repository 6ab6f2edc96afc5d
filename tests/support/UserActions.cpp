#include "UserActions.h"

#include "MainWindow.h"
#include "PasswordDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace UserActions {

namespace {

// Connection, port, mode and alarm label, as the window adds them.
QLabel *statusLabel(MainWindow &window, int position)
{
    const QList<QLabel *> labels =
        window.findChild<QStatusBar *>(QStringLiteral("statusBar"))->findChildren<QLabel *>();
    if (labels.size() != 4)
        qFatal("the status bar holds %d labels, not 4", int(labels.size()));
    return labels.at(position);
}

} // namespace

QLabel *connectionLabel(MainWindow &window) { return statusLabel(window, 0); }
QLabel *portLabel(MainWindow &window) { return statusLabel(window, 1); }
QLabel *modeLabel(MainWindow &window) { return statusLabel(window, 2); }
QLabel *alarmLabel(MainWindow &window) { return statusLabel(window, 3); }

QPushButton *alarmResetButton(MainWindow &window)
{
    const QList<QPushButton *> buttons =
        window.findChild<QStatusBar *>(QStringLiteral("statusBar"))->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text() == QLatin1String("Alarm Reset"))
            return button;
    }
    qFatal("no Alarm Reset button");
}

QTimer *alarmTimer(MainWindow &window)
{
    for (QTimer *timer : window.findChildren<QTimer *>()) {
        if (!timer->isSingleShot() && timer->interval() == 10000)
            return timer;
    }
    qFatal("no alarm timer");
}

QTimer *memCellTimer(MainWindow &window)
{
    for (QTimer *timer : window.findChildren<QTimer *>()) {
        if (timer->isSingleShot() && timer->interval() == 500)
            return timer;
    }
    qFatal("no memory-cell timer");
}

void retype(QWidget *field, const QString &text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

void click(QWidget *button)
{
    // A radio button or check box takes clicks only on its indicator and
    // text, which a wide layout cell leaves at the left.
    const bool indicatorAtLeft = qobject_cast<QAbstractButton *>(button)
                                 && !qobject_cast<QPushButton *>(button);
    const QPoint spot = indicatorAtLeft ? QPoint(button->height() / 2, button->height() / 2)
                                        : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, spot);
}

bool showTab(MainWindow &window, QWidget *page)
{
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("centralTabWidget"));
    const int index = tabs->indexOf(page);
    if (index < 0)
        return false;
    QTabBar *bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    return tabs->currentIndex() == index;
}

bool clickTreeItem(MainWindow &window, const QString &text)
{
    auto *tree = window.findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    const QList<QTreeWidgetItem *> items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (items.isEmpty())
        return false;
    QTreeWidgetItem *item = items.first();
    for (QTreeWidgetItem *parent = item->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree->visualItemRect(item).center());
    return true;
}

bool editCell(QTableWidget *table, int row, int column, const QString &text)
{
    QTableWidgetItem *cell = table->item(row, column);
    if (!cell)
        return false;
    table->scrollToItem(cell);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualItemRect(cell).center());
    QTest::keyClick(table, Qt::Key_F2);
    const QModelIndex index = table->model()->index(row, column);
    QWidget *editor = table->indexWidget(index);
    if (!editor)
        return false;
    retype(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes its editor from the event loop.
    return QTest::qWaitFor([&] { return !table->indexWidget(index); }, 2000);
}

bool enterSupervisorMode(MainWindow &window, const QString &password)
{
    window.findChild<QAction *>(QStringLiteral("actionSupervisor_Mode"))->trigger();
    PasswordDialog *prompt = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<PasswordDialog *>(widget);
        if (dialog && dialog->isVisible())
            prompt = dialog;
    }
    if (!prompt)
        return false;
    auto *field = prompt->findChild<QLineEdit *>();
    QTest::keyClicks(field, password);
    QTest::keyClick(field, Qt::Key_Return);
    return true;
}

} // namespace UserActions
