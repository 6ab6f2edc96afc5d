#ifndef CLIPBOARDBLOCK_H
#define CLIPBOARDBLOCK_H

#include <QString>
#include <QStringList>
#include <QVector>

// The clipboard forms of a block of table cells, as spreadsheet programs
// exchange them: tab-separated text and an HTML table.
namespace ClipboardBlock {

struct Cell
{
    int row = 0;
    int column = 0;
    QString text;
};

struct Copied
{
    QString text; // cells of a row joined by tabs, rows by line feeds
    QString html;
};

// The cells in row, then column order. A new row starts wherever the row
// number changes; a selection that is not rectangular gives rows of
// different lengths. No cells give empty forms.
Copied copy(QVector<Cell> cells);

struct Pasted
{
    bool rectangular = false; // every line has the same number of cells
    int rows = 0;
    int columns = 0;
    QStringList cells; // row by row
};

// Clipboard text split into its cells, after dropping carriage returns and
// trimming blanks and line ends at both ends (so a trailing line end adds no
// row). Tabs are kept: an empty first or last field holds its column.
Pasted parse(const QString &clipboardText);

} // namespace ClipboardBlock

#endif // CLIPBOARDBLOCK_H
