#ifndef PROFILEWINDOWFIXTURE_H
#define PROFILEWINDOWFIXTURE_H

#include "MainWindow.h"
#include "ProfileAnsweringDialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QStringList>
#include <QTableWidget>

#include <functional>
#include <memory>

namespace QtCharts {
class QLineSeries;
class QValueAxis;
}

// A MainWindow for the profile tests, with finders for the widgets they use
// and dialogs answered by the test. Derive the test class from it:
//
//     void init() { clearSettings(); openWindow(); }
//     void cleanup() { window.reset(); }
class ProfileWindowFixture
{
protected:
    std::unique_ptr<MainWindow> window;
    ProfileAnsweringDialogs dialogs;

    // An empty store but for the supervisor password, so the window starts
    // without its first-run message.
    static void clearSettings();

    // A new window on the store as it is, answering its dialogs from
    // `dialogs`, after its first redraw.
    void openWindow();

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    void click(const char *buttonName) const { child<QAbstractButton>(buttonName)->click(); }
    QTableWidget *table() const;
    const DispenserState &state() const { return window->dispenserState(); }
    QString cellText(int row, int column) const { return table()->item(row, column)->text(); }
    void setCellText(int row, int column, const QString &text) const { table()->item(row, column)->setText(text); }
    // What the record holds for a table cell.
    double stored(int row, int column) const;

    QtCharts::QLineSeries *series() const;
    QtCharts::QValueAxis *axis(Qt::Orientation orientation) const;

    // Lets a pending full redraw of the plot run.
    static void settle() { QCoreApplication::processEvents(); }

    // Runs the action, closing every message box it raises; each box as
    // "title: text".
    static QStringList boxesRaisedBy(const std::function<void()> &action);
    QStringList trigger(const char *actionName) const;
};

#endif // PROFILEWINDOWFIXTURE_H
