#ifndef IDLETIMEOUT_H
#define IDLETIMEOUT_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Tells when the user has given no input (keys, mouse, wheel, touch) for an
// interval while it runs, and no work that must not be cut short is under
// way: that work's end is waited for. Input is seen by an event filter on
// the application, which only notes the time, so a moving mouse costs next
// to nothing.
class IdleTimeout : public QObject
{
    Q_OBJECT

public:
    // `busy` answers true while work runs that the time-out must wait for.
    explicit IdleTimeout(std::function<bool()> busy, QObject *parent = nullptr);

    // 0: never. Takes effect at once, counted from the last input.
    void setInterval(int milliseconds);
    int interval() const { return intervalMs; }
    // Counts from now.
    void start();
    void stop();
    bool isActive() const { return active; }

signals:
    void expired();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check();

    std::function<bool()> busy;
    QTimer timer;
    QElapsedTimer sinceInput;
    int intervalMs = 0;
    bool active = false;
};

#endif // IDLETIMEOUT_H
