#ifndef USERACTIONS_H
#define USERACTIONS_H

#include <QObject>
#include <QString>

class MainWindow;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;
class QWidget;

// What a user does with the window, done through its widgets with key and
// mouse events, for tests that drive whole flows. The window must be shown.
namespace UserActions {

// The widget of the window with this object name. A missing one ends the
// test program: no test can go on without it.
template <typename T> T *child(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// The status bar's labels, in the order the window places them.
QLabel *connectionLabel(MainWindow &window);
QLabel *portLabel(MainWindow &window);
QLabel *modeLabel(MainWindow &window);
QLabel *alarmLabel(MainWindow &window);
QPushButton *alarmResetButton(MainWindow &window);

// The repeating alarm poll and the delayed read of the memory cell, which a
// test holds back or waits out.
QTimer *alarmTimer(MainWindow &window);
QTimer *memCellTimer(MainWindow &window);

// Selects the whole text of a line edit or spin box and types text over it.
void retype(QWidget *field, const QString &text);

// Clicks a push button in its middle, a radio button or check box on its
// indicator.
void click(QWidget *button);

// Clicks the tab of the central tab widget that holds page.
bool showTab(MainWindow &window, QWidget *page);

// Clicks the configuration tree's item with this text, opening its branch
// first if it is folded.
bool clickTreeItem(MainWindow &window, const QString &text);

// Clicks a cell of the table, opens its editor with F2, types text over the
// editor's value and presses Enter. False when no editor opened.
bool editCell(QTableWidget *table, int row, int column, const QString &text);

// Supervisor Mode from the menu, the password typed into the prompt and
// confirmed with Enter. False when no prompt came up.
bool enterSupervisorMode(MainWindow &window, const QString &password);

} // namespace UserActions

#endif // USERACTIONS_H
