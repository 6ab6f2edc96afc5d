// The profile table: start state, the cell check with its clamps per column
// and unit, unit changes, and the cell editors.
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

class TestProfileTable : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    QTableWidget *table() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    const DispenserState &state() const { return window->dispenserState(); }

    void clickButton(const QString &name) const
    {
        child<QAbstractButton>(name.toLatin1().constData())->click();
    }

    double storedValue(int row, int column) const
    {
        switch (column) {
        case 0: return state().times[row];
        case 1: return state().pressures[row];
        case 2: return state().vacuums[row];
        default: return state().triggers[row];
        }
    }

    // The spin box the column's delegate offers for a cell, as the view would create it.
    std::unique_ptr<QDoubleSpinBox> editorOf(int row, int column) const
    {
        QAbstractItemDelegate *delegate = table()->itemDelegateForColumn(column);
        const QModelIndex index = table()->model()->index(row, column);
        QWidget *editor = delegate->createEditor(table()->viewport(), QStyleOptionViewItem(), index);
        auto *spinBox = qobject_cast<QDoubleSpinBox *>(editor);
        if (!spinBox)
            qFatal("the editor of column %d is not a double spin box", column);
        return std::unique_ptr<QDoubleSpinBox>(spinBox);
    }

private slots:
    void initTestCase() { TestSettings::clear(); }

    void init()
    {
        TestSettings::clear();
        QTest::ignoreMessage(QtDebugMsg, "SuperPassword key doesnt exist, setting it to 5183 now");
        window.reset(new MainWindow);
    }

    void cleanup() { window.reset(); }

    void startState()
    {
        QTableWidget *profile = table();
        QVERIFY(profile);
        QCOMPARE(profile->rowCount(), 400);
        QCOMPARE(profile->columnCount(), 4);
        QCOMPARE(profile->parentWidget(), child<QWidget>("dispenseTableContainerFrame"));
        const QStringList headings = {"Dispense\nTime (s)", "Dispense\nPressure (PSI)",
                                      "Vacuum (H2O)", "Trigger"};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(profile->horizontalHeaderItem(column)->text(), headings[column]);
        const QStringList texts = {"0.0000", "0.0", "0.0", "1"};
        for (int row = 0; row < 400; ++row) {
            QCOMPARE(profile->verticalHeaderItem(row)->text(), QString::number(row));
            for (int column = 0; column < 4; ++column)
                QCOMPARE(profile->item(row, column)->text(), texts[column]);
            QCOMPARE(state().times[row], 0.0);
            QCOMPARE(state().pressures[row], 0.0);
            QCOMPARE(state().vacuums[row], 0.0);
            QCOMPARE(state().triggers[row], 1);
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
        QVERIFY(corner->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(corner->alignment(), Qt::AlignCenter);
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
        QTest::newRow("time empty") << 0 << "pressurePSI" << "" << "0.0000" << 0.0;
        QTest::newRow("time negative") << 0 << "pressurePSI" << "-0.5" << "0.0000" << 0.0;
        QTest::newRow("time zero kept") << 0 << "pressurePSI" << "0" << "0" << 0.0;
        QTest::newRow("time maximum kept") << 0 << "pressurePSI" << "9.9999" << "9.9999" << 9.9999;
        QTest::newRow("time 12") << 0 << "pressurePSI" << "12" << "9.9999" << 9.9999;
        QTest::newRow("time in range") << 0 << "pressurePSI" << "2.5" << "2.5" << 2.5;
        QTest::newRow("time comma") << 0 << "pressurePSI" << "2,5" << "0.0000" << 0.0;
        QTest::newRow("time nan") << 0 << "pressurePSI" << "nan" << "0.0000" << 0.0;
        QTest::newRow("time NaN") << 0 << "pressurePSI" << "NaN" << "0.0000" << 0.0;
        QTest::newRow("time inf") << 0 << "pressurePSI" << "inf" << "0.0000" << 0.0;
        QTest::newRow("time +INF") << 0 << "pressurePSI" << "+INF" << "0.0000" << 0.0;
        QTest::newRow("time -Inf") << 0 << "pressurePSI" << "-Inf" << "0.0000" << 0.0;
        QTest::newRow("time overflow") << 0 << "pressurePSI" << "1e400" << "0.0000" << 0.0;

        QTest::newRow("PSI negative") << 1 << "pressurePSI" << "-1" << "0.0" << 0.0;
        QTest::newRow("PSI 100 kept as typed") << 1 << "pressurePSI" << "100" << "100" << 100.0;
        QTest::newRow("PSI above") << 1 << "pressurePSI" << "100.01" << "100.0" << 100.0;
        QTest::newRow("PSI nan") << 1 << "pressurePSI" << "nan" << "0.0" << 0.0;
        QTest::newRow("PSI inf") << 1 << "pressurePSI" << "INF" << "0.0" << 0.0;
        QTest::newRow("BAR negative") << 1 << "pressureBAR" << "-1" << "0.000" << 0.0;
        QTest::newRow("BAR 7") << 1 << "pressureBAR" << "7" << "6.895" << 6.895;
        QTest::newRow("BAR maximum kept") << 1 << "pressureBAR" << "6.895" << "6.895" << 6.895;
        QTest::newRow("BAR letters") << 1 << "pressureBAR" << "x1" << "0.000" << 0.0;
        QTest::newRow("kPa negative") << 1 << "pressureKPA" << "-1" << "0.0" << 0.0;
        QTest::newRow("kPa above") << 1 << "pressureKPA" << "700" << "689.5" << 689.5;
        QTest::newRow("kPa maximum kept") << 1 << "pressureKPA" << "689.5" << "689.5" << 689.5;

        QTest::newRow("vac kPa above") << 2 << "kpabut" << "5" << "4.48" << 4.48;
        QTest::newRow("vac kPa negative") << 2 << "kpabut" << "-1" << "0.00" << 0.0;
        QTest::newRow("vac kPa maximum kept") << 2 << "kpabut" << "4.48" << "4.48" << 4.48;
        QTest::newRow("vac H2O above") << 2 << "inchesh2obut" << "18.1" << "18.0" << 18.0;
        QTest::newRow("vac H2O maximum kept") << 2 << "inchesh2obut" << "18" << "18" << 18.0;
        QTest::newRow("vac H2O negative") << 2 << "inchesh2obut" << "-0.1" << "0.0" << 0.0;
        QTest::newRow("vac Hg above") << 2 << "incheshgbut" << "1.33" << "1.32" << 1.32;
        QTest::newRow("vac Hg letters") << 2 << "incheshgbut" << "abc" << "0.00" << 0.0;
        QTest::newRow("vac Hg nan") << 2 << "incheshgbut" << "-nan" << "0.00" << 0.0;
        QTest::newRow("vac mmHg above") << 2 << "mmhgbut" << "40" << "33.6" << 33.6;
        QTest::newRow("vac mmHg maximum kept") << 2 << "mmhgbut" << "33.6" << "33.6" << 33.6;
        QTest::newRow("vac Torr above") << 2 << "torrbut" << "33.7" << "33.6" << 33.6;
        QTest::newRow("vac Torr negative") << 2 << "torrbut" << "-3" << "0.0" << 0.0;

        QTest::newRow("trigger fraction") << 3 << "pressurePSI" << "2.7" << "2" << 2.0;
        QTest::newRow("trigger zero") << 3 << "pressurePSI" << "0" << "1" << 1.0;
        QTest::newRow("trigger half") << 3 << "pressurePSI" << "0.5" << "1" << 1.0;
        QTest::newRow("trigger negative") << 3 << "pressurePSI" << "-7" << "1" << 1.0;
        QTest::newRow("trigger above") << 3 << "pressurePSI" << "100000" << "99999" << 99999.0;
        QTest::newRow("trigger fraction above") << 3 << "pressurePSI" << "99999.5" << "99999" << 99999.0;
        QTest::newRow("trigger maximum kept") << 3 << "pressurePSI" << "99999" << "99999" << 99999.0;
        QTest::newRow("trigger in range") << 3 << "pressurePSI" << "250" << "250" << 250.0;
        QTest::newRow("trigger letters") << 3 << "pressurePSI" << "abc" << "1" << 1.0;
        QTest::newRow("trigger nan") << 3 << "pressurePSI" << "nan" << "1" << 1.0;
        QTest::newRow("trigger inf") << 3 << "pressurePSI" << "inf" << "1" << 1.0;
        QTest::newRow("trigger whole with point") << 3 << "pressurePSI" << "5.0" << "5" << 5.0;
        QTest::newRow("trigger exponent") << 3 << "pressurePSI" << "1e3" << "1000" << 1000.0;
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
        clickButton(unitButton);
        const int row = 7;
        table()->item(row, column)->setText(typed);
        QLocale::setDefault(QLocale::c());

        QCOMPARE(table()->item(row, column)->text(), shown);
        QCOMPARE(storedValue(row, column), stored);
        // Nothing else moved.
        QCOMPARE(storedValue(row + 1, column), column == 3 ? 1.0 : 0.0);
    }

    void unitChangeKeepsTheNumberUntilTheCellChanges()
    {
        table()->item(4, 1)->setText(QStringLiteral("50"));
        clickButton("pressureBAR");
        QCOMPARE(table()->item(4, 1)->text(), QStringLiteral("50"));
        QCOMPARE(state().pressures[4], 50.0);
        QCOMPARE(state().pressureUnits, 1);

        table()->item(4, 1)->setText(QStringLiteral("50.0"));
        QCOMPARE(table()->item(4, 1)->text(), QStringLiteral("6.895"));
        QCOMPARE(state().pressures[4], 6.895);
    }

    void pressureUnitChange_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("unitId");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("editorMaximum");
        QTest::addColumn<int>("editorDecimals");
        QTest::addColumn<double>("editorStep");
        QTest::addColumn<double>("boxMaximum");
        QTest::addColumn<int>("boxDecimals");
        QTest::addColumn<double>("boxStep");

        QTest::newRow("BAR") << "pressureBAR" << 1 << "Dispense\nPressure (BAR)" << "Pres (BAR):"
                             << 6.9 << 1 << 0.1 << 6.895 << 3 << 0.001;
        QTest::newRow("kPa") << "pressureKPA" << 2 << "Dispense\nPressure (kPa)" << "Pres (kPa):"
                             << 689.5 << 1 << 0.1 << 689.5 << 1 << 0.1;
        QTest::newRow("PSI") << "pressurePSI" << 0 << "Dispense\nPressure (PSI)" << "Pres (PSI):"
                             << 100.0 << 1 << 0.1 << 100.0 << 1 << 0.1;
    }

    void pressureUnitChange()
    {
        QFETCH(QString, button);
        QFETCH(int, unitId);
        QFETCH(QString, heading);
        QFETCH(QString, caption);
        QFETCH(double, editorMaximum);
        QFETCH(int, editorDecimals);
        QFETCH(double, editorStep);
        QFETCH(double, boxMaximum);
        QFETCH(int, boxDecimals);
        QFETCH(double, boxStep);

        // Start from another unit so that every row is a real change.
        clickButton(unitId == 1 ? "pressureKPA" : "pressureBAR");
        clickButton(button);

        QCOMPARE(state().pressureUnits, unitId);
        QCOMPARE(table()->horizontalHeaderItem(1)->text(), heading);
        QCOMPARE(child<QLabel>("label_23")->text(), caption);
        const auto editor = editorOf(0, 1);
        QCOMPARE(editor->minimum(), 0.0);
        QCOMPARE(editor->maximum(), editorMaximum);
        QCOMPARE(editor->decimals(), editorDecimals);
        QCOMPARE(editor->singleStep(), editorStep);
        auto *box = child<QDoubleSpinBox>("pressureBox");
        QCOMPARE(box->maximum(), boxMaximum);
        QCOMPARE(box->decimals(), boxDecimals);
        QCOMPARE(box->singleStep(), boxStep);
        // Other columns keep their editors.
        QCOMPARE(editorOf(0, 2)->maximum(), 18.0);
    }

    void vacuumUnitChange_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("unitId");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("editorMaximum");
        QTest::addColumn<int>("editorDecimals");
        QTest::addColumn<double>("editorStep");

        QTest::newRow("kPa") << "kpabut" << 0 << "Vacuum\n(kPa)" << "Vac (kPa):" << 4.48 << 2 << 0.01;
        QTest::newRow("H2O") << "inchesh2obut" << 1 << "Vacuum\n(\"H2O)" << "Vac (\"H2O):" << 18.0 << 1 << 0.1;
        QTest::newRow("Hg") << "incheshgbut" << 2 << "Vacuum\n(\"Hg)" << "Vac (\"Hg):" << 1.32 << 2 << 0.01;
        QTest::newRow("mmHg") << "mmhgbut" << 3 << "Vacuum\n(mmHg)" << "Vac (mmHg):" << 33.6 << 1 << 0.1;
        QTest::newRow("Torr") << "torrbut" << 4 << "Vacuum\n(Torr)" << "Vac (Torr):" << 33.6 << 1 << 0.1;
    }

    void vacuumUnitChange()
    {
        QFETCH(QString, button);
        QFETCH(int, unitId);
        QFETCH(QString, heading);
        QFETCH(QString, caption);
        QFETCH(double, editorMaximum);
        QFETCH(int, editorDecimals);
        QFETCH(double, editorStep);

        clickButton(button);

        QCOMPARE(state().vacuumUnits, unitId);
        QCOMPARE(table()->horizontalHeaderItem(2)->text(), heading);
        QCOMPARE(child<QLabel>("label_24")->text(), caption);
        const auto editor = editorOf(0, 2);
        QCOMPARE(editor->minimum(), 0.0);
        QCOMPARE(editor->maximum(), editorMaximum);
        QCOMPARE(editor->decimals(), editorDecimals);
        QCOMPARE(editor->singleStep(), editorStep);
        QCOMPARE(editorOf(0, 1)->maximum(), 100.0);
    }

    void mmHgAndTorrShareOneEditor()
    {
        clickButton("mmhgbut");
        QAbstractItemDelegate *mmHg = table()->itemDelegateForColumn(2);
        clickButton("torrbut");
        QCOMPARE(table()->itemDelegateForColumn(2), mmHg);
        clickButton("kpabut");
        QVERIFY(table()->itemDelegateForColumn(2) != mmHg);
    }

    void fixedColumnEditors_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("step");
        QTest::newRow("time") << 0 << 9.9999 << 4 << 0.0001;
        QTest::newRow("trigger") << 3 << 99999.0 << 0 << 1.0;
    }

    void fixedColumnEditors()
    {
        QFETCH(int, column);
        QFETCH(double, maximum);
        QFETCH(int, decimals);
        QFETCH(double, step);
        const auto editor = editorOf(0, column);
        QCOMPARE(editor->minimum(), 0.0);
        QCOMPARE(editor->maximum(), maximum);
        QCOMPARE(editor->decimals(), decimals);
        QCOMPARE(editor->singleStep(), step);
        QVERIFY(!editor->hasFrame());
        QVERIFY(editor->isAccelerated());
    }

    void editorReadsAndWritesTheCell()
    {
        QAbstractItemDelegate *delegate = table()->itemDelegateForColumn(0);
        const QModelIndex index = table()->model()->index(3, 0);
        table()->item(3, 0)->setText(QStringLiteral("2.5"));
        auto editor = editorOf(3, 0);
        delegate->setEditorData(editor.get(), index);
        QCOMPARE(editor->value(), 2.5);

        editor->setValue(3.25);
        delegate->setModelData(editor.get(), table()->model(), index);
        QCOMPARE(table()->item(3, 0)->text(), QStringLiteral("3.25"));
        QCOMPARE(state().times[3], 3.25);

        // Typed but not yet interpreted text counts too.
        editor->findChild<QLineEdit *>()->setText(QStringLiteral("4.125"));
        delegate->setModelData(editor.get(), table()->model(), index);
        QCOMPARE(state().times[3], 4.125);
    }

    void editorShowsZeroForText()
    {
        table()->item(3, 1)->setData(Qt::DisplayRole, QStringLiteral("abc"));
        auto editor = editorOf(3, 1);
        editor->setValue(50.0);
        table()->itemDelegateForColumn(1)->setEditorData(editor.get(), table()->model()->index(3, 1));
        QCOMPARE(editor->value(), 0.0);
    }

    void triggerHeadingFollowsTheAiMode_data()
    {
        QTest::addColumn<QString>("aiButton");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("adjustUnit");
        QTest::newRow("timed") << "aiModeTimed" << "Trigger (s)" << "s";
        QTest::newRow("count") << "aiModeCount" << "Trigger (shots)" << "shots";
        QTest::newRow("sequence") << "aiModeSequence" << "Trigger (shots)" << "shots";
        QTest::newRow("off") << "aiModeOff" << "Trigger" << "";
    }

    void triggerHeadingFollowsTheAiMode()
    {
        QFETCH(QString, aiButton);
        QFETCH(QString, heading);
        QFETCH(QString, adjustUnit);
        clickButton("bulkAdjustParameterTrigger");
        // Start from another mode so that every row is a real change.
        clickButton(aiButton == QLatin1String("aiModeCount") ? "aiModeTimed" : "aiModeCount");
        clickButton(aiButton);
        QCOMPARE(table()->horizontalHeaderItem(3)->text(), heading);
        QCOMPARE(child<QLabel>("label_22")->text(), heading + QLatin1Char(':'));
        // The bulk-adjust amount of triggers carries the same unit.
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), adjustUnit);
    }
};

QTEST_MAIN(TestProfileTable)
#include "tst_profile_table.moc"
