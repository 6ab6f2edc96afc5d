#include "IdleTimeout.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
// How often the end of running work is looked for once the time is up.
constexpr int busyRecheckMs = 250;
} // namespace

IdleTimeout::IdleTimeout(std::function<bool()> busy, QObject *parent)
    : QObject(parent), busy(std::move(busy))
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &IdleTimeout::check);
    sinceInput.start();
    QCoreApplication::instance()->installEventFilter(this);
}

void IdleTimeout::setInterval(int milliseconds)
{
    intervalMs = milliseconds;
    check();
}

void IdleTimeout::start()
{
    active = true;
    sinceInput.restart();
    check();
}

void IdleTimeout::stop()
{
    active = false;
    timer.stop();
}

void IdleTimeout::check()
{
    timer.stop();
    if (!active || intervalMs <= 0)
        return;
    const qint64 remaining = intervalMs - sinceInput.elapsed();
    if (remaining > 0) {
        timer.start(int(remaining));
    } else if (busy()) {
        timer.start(busyRecheckMs);
    } else {
        active = false;
        emit expired();
    }
}

bool IdleTimeout::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        sinceInput.restart();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
