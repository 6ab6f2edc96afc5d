#ifndef BUSYCONTROLS_H
#define BUSYCONTROLS_H

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// The window's busy state while a device exchange runs. The controls that
// would start another exchange, and those the exchange reads or writes, are
// disabled and a busy cursor shows; everything else keeps taking input.
//
// A short exchange (a reply within a fraction of a second) shows nothing, so
// the window does not flicker at every alarm poll: until the busy state
// shows, user input waits (it is delivered afterwards, never dropped). Once
// it shows, a sequence lets input through between its commands, where only
// enabled controls can take it.
class BusyControls : public QObject
{
public:
    // `starters` are disabled during every exchange: the controls that start
    // one, or change what any of them uses (the units, a profile to load).
    BusyControls(QList<QObject *> starters, QObject *parent);

    bool isBusy() const { return depth > 0; }
    // The events a sequence processes between two of its commands.
    QEventLoop::ProcessEventsFlags stepEvents() const;

    // `written` are the controls this exchange also reads or writes; `stop`
    // stays enabled (the button that stops it). Exchanges may nest.
    void begin(const QList<QObject *> &written, QObject *stop);
    void end();

    // How long an exchange runs before the busy state shows.
    static constexpr int showAfterMs = 200;

private:
    void show();

    QList<QObject *> starters;
    QList<QPointer<QObject>> toDisable;
    QList<QPointer<QObject>> disabled;
    QPointer<QObject> stopControl;
    QPointer<QWidget> focusBefore;
    QTimer showTimer;
    int depth = 0;
    bool shown = false;
};

#endif // BUSYCONTROLS_H
