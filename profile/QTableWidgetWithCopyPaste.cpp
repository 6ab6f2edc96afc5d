#include "QTableWidgetWithCopyPaste.h"

#include "ClipboardBlock.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <algorithm>

QTableWidgetWithCopyPaste::QTableWidgetWithCopyPaste(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
{ }

void QTableWidgetWithCopyPaste::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        copySelection();
    else if (event->matches(QKeySequence::Paste))
        pasteClipboard();
    else
        QAbstractItemView::keyPressEvent(event);
}

void QTableWidgetWithCopyPaste::copySelection()
{
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    if (indexes.isEmpty())
        return;

    QVector<ClipboardBlock::Cell> cells;
    cells.reserve(indexes.size());
    for (const QModelIndex &index : indexes)
        cells.append({ index.row(), index.column(), index.data(Qt::DisplayRole).toString() });
    const ClipboardBlock::Copied copied = ClipboardBlock::copy(cells);

    auto *mimeData = new QMimeData;
    mimeData->setHtml(copied.html);
    mimeData->setText(copied.text);
    QApplication::clipboard()->setMimeData(mimeData);
}

void QTableWidgetWithCopyPaste::pasteClipboard()
{
    const QClipboard *clipboard = QApplication::clipboard();
    const QMimeData *mimeData = clipboard ? clipboard->mimeData() : nullptr;
    // Without text there is nothing to paste; an empty text must not wipe a cell.
    if (!mimeData || clipboard->text().trimmed().isEmpty())
        return;

    const ClipboardBlock::Pasted pasted = ClipboardBlock::parse(clipboard->text());
    if (!pasted.rectangular) {
        QMessageBox::critical(this, tr("Error"),
                              tr("Invalid clipboard data, unable to perform paste operation."),
                              QMessageBox::Ok);
        return;
    }

    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    if (indexes.isEmpty())
        return;
    const QModelIndex topLeft = *std::min_element(
            indexes.begin(), indexes.end(), [](const QModelIndex &a, const QModelIndex &b) {
                return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
            });

    // The part of the block that falls outside the table is dropped; an empty
    // field leaves its cell as it was.
    const int startRow = topLeft.row();
    const int startColumn = topLeft.column();
    const int endRow = std::min(rowCount(), startRow + pasted.rows);
    const int endColumn = std::min(columnCount(), startColumn + pasted.columns);
    for (int row = startRow; row < endRow; ++row) {
        for (int column = startColumn; column < endColumn; ++column) {
            const QString &text =
                    pasted.cells[(row - startRow) * pasted.columns + (column - startColumn)];
            if (text.trimmed().isEmpty())
                continue;
            if (QTableWidgetItem *cell = item(row, column))
                cell->setData(Qt::DisplayRole, text);
            else
                setItem(row, column, new QTableWidgetItem(text));
        }
    }
}
