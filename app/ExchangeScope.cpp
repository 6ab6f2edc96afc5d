#include "ExchangeScope.h"

#include <QCoreApplication>
#include <QEvent>

ExchangeScope::ExchangeScope(bool &runningFlag, QObject *allowed)
    : running(runningFlag), wasRunning(runningFlag), allowed(allowed)
{
    running = true;
    QCoreApplication::instance()->installEventFilter(this);
}

ExchangeScope::~ExchangeScope()
{
    running = wasRunning;
}

bool ExchangeScope::isAllowed(QObject *target) const
{
    for (QObject *object = target; allowed && object; object = object->parent()) {
        if (object == allowed)
            return true;
    }
    return false;
}

bool ExchangeScope::eventFilter(QObject *watched, QEvent *event)
{
    // Input reaches a top-level window first, which hands it on to the widget
    // under the mouse or with the focus: only there is the target known.
    if (watched->isWindowType())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return !isAllowed(watched);
    default:
        return false;
    }
}
