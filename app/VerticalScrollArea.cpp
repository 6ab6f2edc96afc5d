#include "VerticalScrollArea.h"

#include <QEvent>
#include <QScrollBar>

VerticalScrollArea::VerticalScrollArea(QWidget *panel, QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes to the panel's controls, and the area scrolls to each.
    setFocusPolicy(Qt::NoFocus);
    setWidget(panel);
}

QSize VerticalScrollArea::sizeHint() const
{
    const QSize panel = widget()->sizeHint();
    return { widthFor(panel.width()), panel.height() + 2 * frameWidth() };
}

QSize VerticalScrollArea::minimumSizeHint() const
{
    return { widthFor(widget()->minimumSizeHint().width()),
             QScrollArea::minimumSizeHint().height() };
}

bool VerticalScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

int VerticalScrollArea::widthFor(int panelWidth) const
{
    return panelWidth + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}
