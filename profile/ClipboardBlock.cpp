#include "ClipboardBlock.h"

#include <QRegExp>
#include <algorithm>

namespace ClipboardBlock {

Copied copy(QVector<Cell> cells)
{
    Copied copied;
    if (cells.isEmpty())
        return copied;

    std::sort(cells.begin(), cells.end(), [](const Cell &a, const Cell &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });

    // The style keeps a <br> inside its spreadsheet cell instead of splitting it.
    copied.html = QStringLiteral("<html><style>br{mso-data-placement:same-cell;}</style>"
                                 "<table><tr><td>");
    for (int i = 0; i + 1 < cells.size(); ++i) {
        const Cell &cell = cells[i];
        copied.text += cell.text;
        copied.html += QString(cell.text).replace(QLatin1Char('\n'), QStringLiteral("<br>"));
        if (cells[i + 1].row == cell.row) {
            copied.html += QStringLiteral("</td><td>");
            copied.text += QLatin1Char('\t');
        } else {
            copied.html += QStringLiteral("</td></tr><tr><td>");
            copied.text += QLatin1Char('\n');
        }
    }
    copied.text += cells.last().text;
    copied.html += cells.last().text;
    copied.html += QStringLiteral("</td></tr></table></html>");
    return copied;
}

Pasted parse(const QString &clipboardText)
{
    Pasted pasted;
    // Windows and spreadsheet programs end their lines with CR LF.
    QString text = QString(clipboardText).remove(QLatin1Char('\r'));
    const auto isTrimmed = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\n'); };
    while (!text.isEmpty() && isTrimmed(text.back()))
        text.chop(1);
    int leading = 0;
    while (leading < text.size() && isTrimmed(text.at(leading)))
        ++leading;
    text.remove(0, leading);
    pasted.cells = text.split(QRegExp(QStringLiteral("\n|\t")));

    const QStringList lines = text.split(QLatin1Char('\n'));
    pasted.rows = lines.size();
    pasted.columns = pasted.cells.size() / pasted.rows;
    pasted.rectangular = std::all_of(lines.begin(), lines.end(), [&](const QString &line) {
        return line.count(QLatin1Char('\t')) + 1 == pasted.columns;
    });
    return pasted;
}

} // namespace ClipboardBlock
