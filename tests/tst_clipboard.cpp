// Copy and paste of cell blocks: the clipboard forms, where pasted blocks
// land, clipping at the table's edges, and the refusal of ragged blocks.
#include "ClipboardBlock.h"
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestClipboard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    QTableWidget *table() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    const DispenserState &state() const { return window->dispenserState(); }
    QString text(int row, int column) const { return table()->item(row, column)->text(); }

    void select(int top, int left, int bottom, int right) const
    {
        table()->clearSelection();
        table()->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
    }

    void copyKeys() const { QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier); }
    void pasteKeys() const { QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier); }

    // Every cell text, to show that a refused paste changed nothing.
    QStringList allTexts() const
    {
        QStringList texts;
        for (int row = 0; row < table()->rowCount(); ++row) {
            for (int column = 0; column < table()->columnCount(); ++column)
                texts << text(row, column);
        }
        return texts;
    }

private slots:
    void init()
    {
        TestSettings::clear();
        QTest::ignoreMessage(QtDebugMsg, "SuperPassword key doesnt exist, setting it to 5183 now");
        window.reset(new MainWindow);
        QApplication::clipboard()->clear();
    }

    void cleanup() { window.reset(); }

    void copyForms_data()
    {
        QTest::addColumn<QVector<int>>("positions"); // row, column pairs
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");

        const QString head = "<html><style>br{mso-data-placement:same-cell;}</style><table><tr><td>";
        const QString tail = "</td></tr></table></html>";
        QTest::newRow("two by two, unsorted")
            << QVector<int>{1, 1, 0, 0, 1, 0, 0, 1} << QStringList{"4", "1", "3", "2"}
            << "1\t2\n3\t4" << head + "1</td><td>2</td></tr><tr><td>3</td><td>4" + tail;
        QTest::newRow("one cell") << QVector<int>{5, 2} << QStringList{"7.5"} << "7.5"
                                  << head + "7.5" + tail;
        QTest::newRow("ragged selection")
            << QVector<int>{0, 0, 0, 1, 0, 2, 1, 0} << QStringList{"a", "b", "c", "d"}
            << "a\tb\tc\nd" << head + "a</td><td>b</td><td>c</td></tr><tr><td>d" + tail;
        QTest::newRow("line break inside a cell")
            << QVector<int>{0, 0, 0, 1} << QStringList{"x\ny", "z"}
            << "x\ny\tz" << head + "x<br>y</td><td>z" + tail;
    }

    void copyForms()
    {
        QFETCH(QVector<int>, positions);
        QFETCH(QStringList, texts);
        QFETCH(QString, text);
        QFETCH(QString, html);
        QVector<ClipboardBlock::Cell> cells;
        for (int i = 0; i < texts.size(); ++i)
            cells.append({positions[2 * i], positions[2 * i + 1], texts[i]});
        const ClipboardBlock::Copied copied = ClipboardBlock::copy(cells);
        QCOMPARE(copied.text, text);
        QCOMPARE(copied.html, html);
    }

    void parseBlocks_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("rectangular");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("two by three") << "1\t2\t3\n4\t5\t6" << true << 2 << 3
                                      << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("trailing line end and blanks") << "  1\t2\n3\t4\n\n " << true << 2 << 2
                                                      << QStringList{"1", "2", "3", "4"};
        QTest::newRow("empty cells kept") << "1\t\t3" << true << 1 << 3 << QStringList{"1", "", "3"};
        QTest::newRow("three then two") << "1\t2\t3\n4\t5" << false << 2 << 2
                                        << QStringList{"1", "2", "3", "4", "5"};
        // Divisible, yet not a block: it must not be laid out as 2 by 3.
        QTest::newRow("four, one, one") << "1\t2\t3\t4\n5\n6" << false << 3 << 2
                                        << QStringList{"1", "2", "3", "4", "5", "6"};
    }

    void parseBlocks()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, rectangular);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QStringList, cells);
        const ClipboardBlock::Pasted pasted = ClipboardBlock::parse(clipboard);
        QCOMPARE(pasted.rectangular, rectangular);
        QCOMPARE(pasted.rows, rows);
        QCOMPARE(pasted.columns, columns);
        QCOMPARE(pasted.cells, cells);
    }

    void copyKeyPutsBothForms()
    {
        table()->item(0, 0)->setText("1");
        table()->item(0, 1)->setText("2");
        table()->item(1, 0)->setText("3");
        table()->item(1, 1)->setText("4");
        select(0, 0, 1, 1);
        copyKeys();
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QCOMPARE(mime->text(), QStringLiteral("1\t2\n3\t4"));
        QCOMPARE(mime->html(), QStringLiteral("<html><style>br{mso-data-placement:same-cell;}</style>"
                                              "<table><tr><td>1</td><td>2</td></tr>"
                                              "<tr><td>3</td><td>4</td></tr></table></html>"));
    }

    void copyWithoutSelectionLeavesTheClipboard()
    {
        QApplication::clipboard()->setText(QStringLiteral("keep"));
        table()->clearSelection();
        copyKeys();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));
    }

    void pasteClipsAtTheBottom()
    {
        QApplication::clipboard()->setText(QStringLiteral("1.5\t7\n2.5\t8\n3.5\t9"));
        select(398, 2, 398, 2);
        const QString above = text(397, 2);
        pasteKeys();
        QCOMPARE(text(398, 2), QStringLiteral("1.5"));
        QCOMPARE(text(398, 3), QStringLiteral("7"));
        QCOMPARE(text(399, 2), QStringLiteral("2.5"));
        QCOMPARE(text(399, 3), QStringLiteral("8"));
        QCOMPARE(text(397, 2), above);
        // Pasted cells pass the check into the record.
        QCOMPARE(state().vacuums[398], 1.5);
        QCOMPARE(state().triggers[399], 8);
    }

    void pasteClipsAtTheRight()
    {
        QApplication::clipboard()->setText(QStringLiteral("4\t5\t6\t7\t8"));
        select(20, 2, 20, 2);
        pasteKeys();
        QCOMPARE(text(20, 2), QStringLiteral("4"));
        QCOMPARE(text(20, 3), QStringLiteral("5"));
        QCOMPARE(text(21, 2), QStringLiteral("0.0"));
        QCOMPARE(state().triggers[20], 5);
    }

    void pasteStartsAtTheTopLeftOfTheSelection()
    {
        QApplication::clipboard()->setText(QStringLiteral("1\t2\t3\n4\t5\t6"));
        select(10, 2, 12, 3);
        pasteKeys();
        QCOMPARE(text(10, 2), QStringLiteral("1"));
        QCOMPARE(text(10, 3), QStringLiteral("2"));
        QCOMPARE(text(11, 2), QStringLiteral("4"));
        QCOMPARE(text(11, 3), QStringLiteral("5"));
        QCOMPARE(text(12, 2), QStringLiteral("0.0"));
        QCOMPARE(state().vacuums[11], 4.0);
    }

    void pastedTextIsChecked()
    {
        QApplication::clipboard()->setText(QStringLiteral("abc\t150\tnan\t2.5\n"));
        select(3, 0, 3, 0);
        pasteKeys();
        QCOMPARE(text(3, 0), QStringLiteral("0.0000"));
        QCOMPARE(text(3, 1), QStringLiteral("100.0"));
        QCOMPARE(text(3, 2), QStringLiteral("0.0"));
        QCOMPARE(text(3, 3), QStringLiteral("2"));
        QCOMPARE(state().pressures[3], 100.0);
        QCOMPARE(state().triggers[3], 2);
    }

    void raggedBlockIsRefused_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("three then two") << "1\t2\t3\n4\t5";
        QTest::newRow("four, one, one") << "1\t2\t3\t4\n5\n6";
    }

    void raggedBlockIsRefused()
    {
        QFETCH(QString, clipboard);
        QApplication::clipboard()->setText(clipboard);
        select(0, 0, 0, 0);
        const QStringList before = allTexts();

        QString title;
        QString message;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            message = box->text();
            box->accept();
        });
        pasteKeys();

        QCOMPARE(title, QStringLiteral("Error"));
        QCOMPARE(message, QStringLiteral("Invalid clipboard data, unable to perform paste operation."));
        QCOMPARE(allTexts(), before);
    }

    void pasteWithoutSelectionDoesNothing()
    {
        QApplication::clipboard()->setText(QStringLiteral("5"));
        table()->clearSelection();
        const QStringList before = allTexts();
        pasteKeys();
        QCOMPARE(allTexts(), before);
    }

    void clipboardWithoutTextDoesNothing()
    {
        table()->item(0, 0)->setText("4.5");
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QApplication::clipboard()->setImage(image);
        select(0, 0, 0, 0);
        pasteKeys();
        QCOMPARE(text(0, 0), QStringLiteral("4.5"));
        QCOMPARE(state().times[0], 4.5);
    }

    void otherKeysStillMoveTheCursor()
    {
        table()->setCurrentCell(5, 1);
        QTest::keyClick(table(), Qt::Key_Down);
        QCOMPARE(table()->currentRow(), 6);
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
