#ifndef VERTICALSCROLLAREA_H
#define VERTICALSCROLLAREA_H

#include <QScrollArea>

// Holds a panel that may be taller than the room it gets, as on a small
// screen: the panel keeps its full width and scrolls up and down. It asks for
// the panel's whole size, so it scrolls only when the room runs out.
class VerticalScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit VerticalScrollArea(QWidget *panel, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // The panel's size changes (a new font, a longer text) reach the layout
    // that holds this area.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The panel's width plus the scroll bar's, which may appear.
    int widthFor(int panelWidth) const;
};

#endif // VERTICALSCROLLAREA_H
