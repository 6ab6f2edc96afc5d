// The profile table: start state, the cell check with its clamps per column
// and unit, unit changes, and the cell editors.
#include "ProfileWindowFixture.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <cmath>
#include <tuple>

class TestProfileTable : public QObject, private ProfileWindowFixture
{
    Q_OBJECT

private:
    // The spin box the column's delegate offers, as the view would create it.
    std::unique_ptr<QDoubleSpinBox> editorOf(int row, int column) const
    {
        return std::unique_ptr<QDoubleSpinBox>(qobject_cast<QDoubleSpinBox *>(
            table()->itemDelegateForColumn(column)->createEditor(
                table()->viewport(), QStyleOptionViewItem(), table()->model()->index(row, column))));
    }

private slots:
    void init()
    {
        clearSettings();
        openWindow();
    }

    void cleanup() { window.reset(); }

    void startState()
    {
        const QStringList headings = {"Dispense\nTime (s)", "Dispense\nPressure (PSI)", "Vacuum (H2O)", "Trigger"};
        const QStringList texts = {"0.0000", "0.0", "0.0", "1"};
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(table()->horizontalHeaderItem(column)->text(), headings[column]);
            for (int row = 0; row < 400; ++row) {
                QCOMPARE(table()->verticalHeaderItem(row)->text(), QString::number(row));
                QCOMPARE(cellText(row, column), texts[column]);
                QCOMPARE(stored(row, column), column == 3 ? 1.0 : 0.0);
            }
        }
    }

    void cornerLabelCoversTheHeaderCorner()
    {
        auto *tabs = child<QTabWidget>("centralTabWidget");
        tabs->insertTab(0, child<QWidget>("tabDispenseProfile"), QStringLiteral("Dispense Profile"));
        tabs->setCurrentIndex(0);
        window->resize(1000, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QLabel *corner = nullptr;
        for (QLabel *label : table()->findChildren<QLabel *>()) {
            if (label->text() == QLatin1String("Mem\nCell"))
                corner = label;
        }
        QVERIFY(corner);
        QTRY_COMPARE(corner->geometry(), QRect(0, 0, table()->verticalHeader()->width(),
                                               table()->horizontalHeader()->height()));
        QVERIFY(corner->width() > 0 && corner->height() > 0);
        // Multi-line headings make the horizontal header taller; the label follows.
        const int heightBefore = corner->height();
        table()->horizontalHeaderItem(3)->setText(QStringLiteral("A\nB\nC\nD"));
        QTRY_VERIFY(table()->horizontalHeader()->height() > heightBefore);
        QTRY_COMPARE(corner->height(), table()->horizontalHeader()->height());
    }

    void cellCheck_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("unitButton");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stored");
        QTest::newRow("time letters") << 0 << "pressurePSI" << "abc" << "0.0000" << 0.0;
        QTest::newRow("time negative") << 0 << "pressurePSI" << "-0.5" << "0.0000" << 0.0;
        QTest::newRow("time maximum kept") << 0 << "pressurePSI" << "9.9999" << "9.9999" << 9.9999;
        QTest::newRow("time comma") << 0 << "pressurePSI" << "2,5" << "0.0000" << 0.0;
        QTest::newRow("time +INF") << 0 << "pressurePSI" << "+INF" << "0.0000" << 0.0;
        QTest::newRow("time overflow") << 0 << "pressurePSI" << "1e400" << "0.0000" << 0.0;
        QTest::newRow("PSI 100 kept as typed") << 1 << "pressurePSI" << "100" << "100" << 100.0;
        QTest::newRow("PSI just above") << 1 << "pressurePSI" << "100.01" << "100.0" << 100.0;
        QTest::newRow("BAR negative") << 1 << "pressureBAR" << "-1" << "0.000" << 0.0;
        QTest::newRow("BAR 7") << 1 << "pressureBAR" << "7" << "6.895" << 6.895;
        QTest::newRow("kPa above") << 1 << "pressureKPA" << "700" << "689.5" << 689.5;
        QTest::newRow("vac kPa above") << 2 << "kpabut" << "5" << "4.48" << 4.48;
        QTest::newRow("vac H2O maximum kept") << 2 << "inchesh2obut" << "18" << "18" << 18.0;
        QTest::newRow("vac Hg above") << 2 << "incheshgbut" << "1.33" << "1.32" << 1.32;
        QTest::newRow("vac Hg nan") << 2 << "incheshgbut" << "-nan" << "0.00" << 0.0;
        QTest::newRow("vac mmHg above") << 2 << "mmhgbut" << "40" << "33.6" << 33.6;
        QTest::newRow("vac Torr above") << 2 << "torrbut" << "33.7" << "33.6" << 33.6;
        QTest::newRow("trigger fraction") << 3 << "pressurePSI" << "2.7" << "2" << 2.0;
        QTest::newRow("trigger above") << 3 << "pressurePSI" << "100000" << "99999" << 99999.0;
        QTest::newRow("trigger fraction above") << 3 << "pressurePSI" << "99999.5" << "99999" << 99999.0;
        QTest::newRow("trigger inf") << 3 << "pressurePSI" << "inf" << "1" << 1.0;
    }

    void cellCheck()
    {
        QFETCH(int, column);
        QFETCH(QString, unitButton);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        // The decimal separator is '.' whatever the user's locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        click(qPrintable(unitButton));
        setCellText(7, column, typed);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(cellText(7, column), shown);
        QCOMPARE(this->stored(7, column), stored);
        QCOMPARE(this->stored(8, column), column == 3 ? 1.0 : 0.0);
    }

    // Heading, caption and editor of each column under each unit or AI mode.
    void columnFollowsItsUnit_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("editorMaximum");
        QTest::addColumn<int>("editorDecimals");
        QTest::newRow("time") << "" << 0 << "Dispense\nTime (s)" << "" << 9.9999 << 4;
        // The editor's one decimal rounds the bar maximum of 6.895 to 6.9.
        QTest::newRow("BAR") << "pressureBAR" << 1 << "Dispense\nPressure (BAR)" << "Pres (BAR):" << 6.9 << 1;
        QTest::newRow("kPa") << "pressureKPA" << 1 << "Dispense\nPressure (kPa)" << "Pres (kPa):" << 689.5 << 1;
        QTest::newRow("PSI") << "pressurePSI" << 1 << "Dispense\nPressure (PSI)" << "Pres (PSI):" << 100.0 << 1;
        QTest::newRow("vac kPa") << "kpabut" << 2 << "Vacuum\n(kPa)" << "Vac (kPa):" << 4.48 << 2;
        QTest::newRow("H2O") << "inchesh2obut" << 2 << "Vacuum\n(\"H2O)" << "Vac (\"H2O):" << 18.0 << 1;
        QTest::newRow("Hg") << "incheshgbut" << 2 << "Vacuum\n(\"Hg)" << "Vac (\"Hg):" << 1.32 << 2;
        QTest::newRow("mmHg") << "mmhgbut" << 2 << "Vacuum\n(mmHg)" << "Vac (mmHg):" << 33.6 << 1;
        QTest::newRow("Torr") << "torrbut" << 2 << "Vacuum\n(Torr)" << "Vac (Torr):" << 33.6 << 1;
        QTest::newRow("AI timed") << "aiModeTimed" << 3 << "Trigger (s)" << "Trigger (s):" << 99999.0 << 0;
        QTest::newRow("AI count") << "aiModeCount" << 3 << "Trigger (shots)" << "Trigger (shots):" << 99999.0 << 0;
        QTest::newRow("AI off") << "aiModeOff" << 3 << "Trigger" << "Trigger:" << 99999.0 << 0;
    }

    void columnFollowsItsUnit()
    {
        QFETCH(QString, button);
        QFETCH(int, column);
        QFETCH(QString, heading);
        QFETCH(QString, caption);
        QFETCH(double, editorMaximum);
        QFETCH(int, editorDecimals);
        if (!button.isEmpty()) {
            // Away from the start units and mode first, so that every row is a change.
            for (const char *away : {"pressureBAR", "kpabut", "aiModeCount"})
                click(away);
            click(qPrintable(button));
            const char *captions[] = {nullptr, "label_23", "label_24", "label_22"};
            QCOMPARE(child<QLabel>(captions[column])->text(), caption);
        }
        QCOMPARE(table()->horizontalHeaderItem(column)->text(), heading);
        const auto editor = editorOf(0, column);
        QVERIFY(editor);
        QCOMPARE(editor->minimum(), 0.0);
        QCOMPARE(editor->maximum(), editorMaximum);
        QCOMPARE(editor->decimals(), editorDecimals);
        QCOMPARE(editor->singleStep(), std::pow(10.0, -editorDecimals));
    }

    void pressureBoxFollowsThePressureUnit()
    {
        auto *box = child<QDoubleSpinBox>("pressureBox");
        const std::tuple<const char *, double, int> units[] = {
            {"pressureBAR", 6.895, 3}, {"pressureKPA", 689.5, 1}, {"pressurePSI", 100.0, 1}};
        for (const auto &[button, maximum, decimals] : units) {
            click(button);
            QCOMPARE(box->maximum(), maximum);
            QCOMPARE(box->decimals(), decimals);
            QCOMPARE(box->singleStep(), std::pow(10.0, -decimals));
        }
    }

    // Editing through the editor itself is what the user flows do; here the
    // texts it cannot read and text typed but not yet interpreted.
    void editorReadsAndWritesTheCell()
    {
        QAbstractItemDelegate *delegate = table()->itemDelegateForColumn(0);
        const QModelIndex index = table()->model()->index(3, 0);
        const auto editor = editorOf(3, 0);
        setCellText(3, 0, QStringLiteral("abc"));
        editor->setValue(5.0);
        delegate->setEditorData(editor.get(), index);
        QCOMPARE(editor->value(), 0.0);
        setCellText(3, 0, QStringLiteral("2.5"));
        delegate->setEditorData(editor.get(), index);
        QCOMPARE(editor->value(), 2.5);
        editor->findChild<QLineEdit *>()->setText(QStringLiteral("4.125"));
        delegate->setModelData(editor.get(), table()->model(), index);
        QCOMPARE(cellText(3, 0), QStringLiteral("4.125"));
        QCOMPARE(state().times[3], 4.125);
    }
};

QTEST_MAIN(TestProfileTable)
#include "tst_profile_table.moc"
