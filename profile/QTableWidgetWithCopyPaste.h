#ifndef QTABLEWIDGETWITHCOPYPASTE_H
#define QTABLEWIDGETWITHCOPYPASTE_H

#include <QTableWidget>

class QKeyEvent;

// A table widget whose cell blocks go to and come from the clipboard with the
// platform's copy and paste keys, in the forms spreadsheet programs use.
// Pasted text is written as the cells' display text, so the table's own
// cellChanged handling sees every pasted cell.
class QTableWidgetWithCopyPaste : public QTableWidget
{
    Q_OBJECT

public:
    QTableWidgetWithCopyPaste(int rows, int columns, QWidget *parent = nullptr);

public slots:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void copySelection();
    void pasteClipboard();
};

#endif // QTABLEWIDGETWITHCOPYPASTE_H
