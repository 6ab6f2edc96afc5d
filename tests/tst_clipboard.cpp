// Copy and paste of cell blocks: the clipboard forms, clipping at the
// table's edges, and the refusal of ragged blocks.
#include "ProfileWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTableWidget>
#include <QtTest>

class TestClipboard : public QObject, private ProfileWindowFixture
{
    Q_OBJECT

private:
    void pasteAt(int row, int column) const
    {
        table()->clearSelection();
        table()->setRangeSelected(QTableWidgetSelectionRange(row, column, row + 1, column + 1), true);
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
    }

private slots:
    void init()
    {
        clearSettings();
        openWindow();
    }

    void cleanup() { window.reset(); }

    // The copy key puts the selected cells on the clipboard, row by row.
    void copy_data()
    {
        QTest::addColumn<QVector<int>>("positions"); // row, column pairs
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");
        const QString head = "<html><style>br{mso-data-placement:same-cell;}</style><table><tr><td>";
        const QString tail = "</td></tr></table></html>";
        QTest::newRow("nothing selected") << QVector<int>() << QStringList() << "keep" << "";
        QTest::newRow("two by two, selected in any order")
            << QVector<int>{1, 1, 0, 0, 1, 0, 0, 1} << QStringList{"4", "1", "3", "2"}
            << "1\t2\n3\t4" << head + "1</td><td>2</td></tr><tr><td>3</td><td>4" + tail;
        QTest::newRow("ragged selection")
            << QVector<int>{0, 0, 0, 1, 0, 2, 1, 0} << QStringList{"a", "b", "c", "d"}
            << "a\tb\tc\nd" << head + "a</td><td>b</td><td>c</td></tr><tr><td>d" + tail;
        QTest::newRow("line break inside a cell")
            << QVector<int>{0, 0, 0, 1} << QStringList{"x\ny", "z"} << "x\ny\tz" << head + "x<br>y</td><td>z" + tail;
    }

    void copy()
    {
        QFETCH(QVector<int>, positions);
        QFETCH(QStringList, texts);
        QFETCH(QString, text);
        QFETCH(QString, html);
        QApplication::clipboard()->setText(QStringLiteral("keep"));
        table()->clearSelection();
        {
            // Texts the cell check would replace, to see them copied as they are.
            const QSignalBlocker uncheckedTexts(table());
            for (int i = 0; i < texts.size(); ++i) {
                setCellText(positions[2 * i], positions[2 * i + 1], texts[i]);
                table()->item(positions[2 * i], positions[2 * i + 1])->setSelected(true);
            }
        }
        QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->mimeData()->text(), text);
        QCOMPARE(QApplication::clipboard()->mimeData()->html(), html);
    }

    // From the top left of the selection, clipped at the table's edges.
    void paste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("written"); // "row,column=text"
        QTest::newRow("clipped at the bottom") << "1.5\t7\n2.5\t8\n3.5\t9" << 398 << 2
            << QStringList{"397,2=0.0", "398,2=1.5", "398,3=7", "399,2=2.5", "399,3=8"};
        QTest::newRow("clipped at the right") << "4\t5\t6\t7\t8" << 20 << 2
            << QStringList{"20,2=4", "20,3=5", "21,2=0.0"};
        // Surrounding blanks and line ends add no row.
        QTest::newRow("blanks and line ends") << "  0.5\t1  \n\n" << 3 << 2 << QStringList{"3,2=0.5", "3,3=1", "4,2=0.0"};
        QTest::newRow("empty cells kept") << "1\t\t3" << 5 << 0 << QStringList{"5,0=1", "5,1=0.0", "5,2=3"};
    }

    void paste()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QStringList, written);
        QApplication::clipboard()->setText(clipboard);
        pasteAt(row, column);
        for (const QString &cell : written) {
            const QStringList place = cell.section('=', 0, 0).split(',');
            const QString text = cell.section('=', 1);
            QCOMPARE(cellText(place[0].toInt(), place[1].toInt()), text);
            QCOMPARE(stored(place[0].toInt(), place[1].toInt()), text.toDouble());
        }
    }

    void refusedPasteChangesNothing_data()
    {
        QTest::addColumn<QString>("clipboard"); // null: an image
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("three then two") << "1\t2\t3\n4\t5" << true
            << QStringList{"Error: Invalid clipboard data, unable to perform paste operation."};
        QTest::newRow("no cell selected") << "5" << false << QStringList();
        QTest::newRow("no text") << QString() << true << QStringList();
    }

    void refusedPasteChangesNothing()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, selected);
        QFETCH(QStringList, boxes);
        setCellText(0, 0, QStringLiteral("4.5"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        if (clipboard.isNull())
            QApplication::clipboard()->setImage(image);
        else
            QApplication::clipboard()->setText(clipboard);
        const auto texts = [this] {
            QStringList all;
            for (int row = 0; row < 400; ++row) {
                for (int column = 0; column < 4; ++column)
                    all << cellText(row, column);
            }
            return all;
        };
        const QStringList before = texts();
        QCOMPARE(boxesRaisedBy([&] {
                     table()->clearSelection();
                     if (selected)
                         pasteAt(0, 0);
                     else
                         QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
                 }),
                 boxes);
        QCOMPARE(texts(), before);
        QCOMPARE(state().times[0], 4.5);
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
