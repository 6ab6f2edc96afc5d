#ifndef PANELFIXTURE_H
#define PANELFIXTURE_H

#include "DispenserState.h"
#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "UserActions.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// A MainWindow on a simulated dispenser over a pseudo-terminal, for tests of
// the window's panels. The ten-second alarm poll is held back, so the
// dispenser's log holds only what the test sets off.
//
//     PanelFixture panel;
//     QVERIFY2(panel.open(), qPrintable(panel.errorString()));
//     panel.child<QPushButton>("pushButton_4")->click();
//     QCOMPARE(panel.packets().first(), QByteArray("04AU  "));
class PanelFixture
{
public:
    // A fresh settings store, a dispenser holding held whose device is the
    // stored port, and a window on it, connected when asked; the log starts
    // empty. False, with errorString(), when any of it fails.
    bool open(bool connected = true, const SimulatedDispenser::State &held = {});
    QString errorString() const { return error; }
    // The window first, so it closes the port while the dispenser listens.
    void close();

    template <typename T> T *child(const char *name) const { return UserActions::child<T>(*window, name); }
    const DispenserState &state() const { return window->dispenserState(); }
    QString connectionText() const;

    // The packets the dispenser received since the log was cleared, once the
    // window's last session is closed.
    QList<QByteArray> packets() const;
    // True when not one byte reaches the dispenser for a while.
    bool lineStaysQuiet() const;

    std::unique_ptr<SimulatedDispenser> dispenser;
    std::unique_ptr<MainWindow> window;

private:
    QString error;
};

#endif // PANELFIXTURE_H
