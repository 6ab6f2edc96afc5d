#ifndef WINDOWFLOWTEST_H
#define WINDOWFLOWTEST_H

#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "UserActions.h"

#include <QObject>

#include <memory>

class QTableWidget;

// Base of the tests that drive whole user flows: a shown MainWindow
// connected to a simulated dispenser, and the steps those flows share, each
// done through the widgets as a user does it.
class WindowFlowTest : public QObject
{
protected:
    // Count mode, Steady, cells 5 to 120, current cell 7 (0.25 s, 30.5, 2.5,
    // trigger 10), cell 25 (0.4 s, 12.0, 5.0, trigger 30), 1234 shots, 2:05 PM
    // on 14 March 2025, kPa and mmHg, the input alarm on.
    static SimulatedDispenser::State exampleDispenser();

    // For init(): a fresh settings store and a dispenser holding the example;
    // its device stored as the port, the window opened and shown with its
    // alarm poll held back, the port chosen on the Communication page at
    // 115200 baud, and Connect.
    void openConnectedWindow();
    // For cleanup().
    void closeWindow();

    template <typename T> T *child(const char *name) const
    {
        return UserActions::child<T>(*window, name);
    }
    QString connectionText() const;
    QTableWidget *table() const;

    void showTab(const char *page);
    void clickGet();
    void clickSend();
    void transmit();
    void enterSupervisor();
    // The job range typed into the settings dock, start first, so the end
    // passes below the start for a moment; the bulk-adjust range follows.
    void typeCellRange(int start, int end);
    // Pastes tab-separated rows with their top left at (row, column).
    void pasteBlock(int row, int column, const QString &block);
    // Lets the delayed read after a turn of the memory cell run out; it
    // writes into the profile, so a flow that edits the profile waits first.
    void waitForCellRead();

    // The packet texts the dispenser received since its log was cleared,
    // once the window's last session is closed.
    QList<QByteArray> packetsOnceIdle() const;
    // Clears that log once the last session is closed, so that its closing
    // byte does not come after.
    void clearLogOnceIdle();

    std::unique_ptr<SimulatedDispenser> dispenser;
    std::unique_ptr<MainWindow> window;
};

#endif // WINDOWFLOWTEST_H
