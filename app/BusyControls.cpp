#include "BusyControls.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace {

void setEnabled(QObject *control, bool enabled)
{
    if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setEnabled(enabled);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setEnabled(enabled);
}

bool isEnabled(const QObject *control)
{
    if (auto *widget = qobject_cast<const QWidget *>(control))
        return widget->isEnabled();
    if (auto *action = qobject_cast<const QAction *>(control))
        return action->isEnabled();
    return false;
}

} // namespace

BusyControls::BusyControls(QList<QObject *> starters, QObject *parent)
    : QObject(parent), starters(std::move(starters))
{
    showTimer.setSingleShot(true);
    showTimer.setInterval(showAfterMs);
    connect(&showTimer, &QTimer::timeout, this, &BusyControls::show);
}

QEventLoop::ProcessEventsFlags BusyControls::stepEvents() const
{
    return shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
}

void BusyControls::begin(const QList<QObject *> &written, QObject *stop)
{
    if (depth++ == 0) {
        toDisable.clear();
        for (QObject *control : qAsConst(starters))
            toDisable << control;
        stopControl = stop;
        showTimer.start();
    }
    for (QObject *control : written)
        toDisable << control;
    if (shown)
        show();
}

void BusyControls::end()
{
    if (--depth > 0)
        return;
    showTimer.stop();
    if (!shown)
        return;
    for (const QPointer<QObject> &control : qAsConst(disabled)) {
        if (control)
            setEnabled(control, true);
    }
    disabled.clear();
    QApplication::restoreOverrideCursor();
    shown = false;
    // Typing goes on where it was.
    if (focusBefore && focusBefore->isEnabled())
        focusBefore->setFocus();
    focusBefore.clear();
}

void BusyControls::show()
{
    if (!shown) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        shown = true;
    }
    QWidget *focus = QApplication::focusWidget();
    for (const QPointer<QObject> &control : qAsConst(toDisable)) {
        if (!control || control == stopControl || !isEnabled(control))
            continue;
        // Keys typed meanwhile are refused by the disabled field, instead of
        // reaching whichever widget the focus would move on to.
        auto *widget = qobject_cast<QWidget *>(control.data());
        if (focus && widget && (widget == focus || widget->isAncestorOf(focus))) {
            focusBefore = focus;
            focus->clearFocus();
            focus = nullptr;
        }
        setEnabled(control, false);
        disabled << control;
    }
    toDisable.clear();
}
