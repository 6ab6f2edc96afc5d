#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "AnsweringDialogs.h"
#include "DispenserState.h"
#include "MainWindow.h"
#include "MessageBoxCloser.h"
#include "SimulatedLink.h"
#include "SimulatedDispenser.h"

#include <QAbstractButton>
#include <QLabel>
#include <QList>
#include <QTableWidget>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A MainWindow on a simulated dispenser over a pseudo-terminal, for the tests
// that need a window: a fresh settings store whose port is the dispenser's
// device, the window shown and connected when asked, its file and input
// dialogs answered from `dialogs`, its message boxes closed by
// `messageBoxes`, and its ten-second alarm poll held back.
// When open() returns, the dispenser's log is empty.
//
//     WindowFixture f;
//     QVERIFY2(f.open(held), qPrintable(f.errorString()));
//     f.click("pushButton_4");
//     QCOMPARE(f.status(), QStringLiteral("Connected to Pelidor 7"));
class WindowFixture
{
public:
    // ThroughLink stores a symbolic link to the device as the port, so a
    // dispenser started again later can take the same port name.
    enum Option { Connected = 1, Shown = 2, ThroughLink = 4 };

    bool open(const SimulatedDispenser::State &held = {}, int options = Connected);
    // The window first, so it closes the port while the dispenser listens.
    void close()
    {
        window.reset();
        dispenser.reset();
    }
    QString errorString() const { return error; }

    // The window's object of this name; a missing one ends the test program.
    template<typename T = QWidget>
    T *find(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }
    void click(const char *buttonName) const { find<QAbstractButton>(buttonName)->click(); }
    // Opens a configuration page as a click on its tree item does.
    void openPage(const QString &itemText) const;
    bool enterSupervisorMode(const QString &password = QStringLiteral("5183")) const;

    QString labelText(const char *name) const { return find<QLabel>(name)->text(); }
    QString status() const { return labelText("connectionLabel"); }
    bool statusIsRed() const
    {
        return find<QLabel>("connectionLabel")->styleSheet() == QLatin1String("color: red;");
    }
    QTableWidget *table() const { return find<QTableWidget>("profileTable"); }
    const DispenserState &state() const { return window->dispenserState(); }

    // The packets the dispenser received since its log was cleared, once the
    // line is idle; clearLog() empties the log once the line is idle.
    QList<QByteArray> packets() const
    {
        waitForIdleLine(*dispenser);
        return dispenser->receivedPackets();
    }
    void clearLog() const
    {
        waitForIdleLine(*dispenser);
        dispenser->clearLog();
    }

    std::unique_ptr<SimulatedDispenser> dispenser;
    std::unique_ptr<MainWindow> window;
    AnsweringDialogs dialogs;
    MessageBoxCloser messageBoxes; // no test waits on a box
    QString portName;

private:
    QString error;
    QTemporaryDir linkFolder;
};

#endif // WINDOWFIXTURE_H
