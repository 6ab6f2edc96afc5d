// The step plot: axis ranges, and how the window's chart follows the table
// (single-step updates, full redraws, coalescing, titles).
#include "NiceAxisRange.h"
#include "ProfileWindowFixture.h"

#include <QSpinBox>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

using namespace QtCharts;

class TestPlot : public QObject, private ProfileWindowFixture
{
    Q_OBJECT

private:
    QString verticalTitle() const { return axis(Qt::Vertical)->titleText(); }

private slots:
    void init()
    {
        clearSettings();
        openWindow();
    }

    void cleanup() { window.reset(); }

    void niceAxisRange_data()
    {
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("rangeMinimum");
        QTest::addColumn<double>("rangeMaximum");
        QTest::addColumn<int>("ticks");
        QTest::newRow("0, 0") << 0.0 << 0.0 << 0.0 << 10.0 << 6;
        QTest::newRow("50, 0") << 50.0 << 0.0 << 0.0 << 60.0 << 7;
        QTest::newRow("100, 0") << 100.0 << 0.0 << 0.0 << 120.0 << 7;
        QTest::newRow("18, 0") << 18.0 << 0.0 << 0.0 << 20.0 << 5;
        QTest::newRow("400, 0") << 400.0 << 0.0 << 0.0 << 500.0 << 6;
        QTest::newRow("689.5, 0") << 689.5 << 0.0 << 0.0 << 800.0 << 5;
        QTest::newRow("450, 200") << 450.0 << 200.0 << 150.0 << 500.0 << 8;
        // Never an empty range: no span gets the margins of a span of 10,
        // ends in the wrong order are swapped.
        QTest::newRow("5, 5") << 5.0 << 5.0 << 4.4 << 5.6 << 7;
        QTest::newRow("50, 100") << 50.0 << 100.0 << 40.0 << 110.0 << 8;
        QTest::newRow("100, 50") << 100.0 << 50.0 << 40.0 << 110.0 << 8;
    }

    void niceAxisRange()
    {
        QFETCH(double, maximum);
        QFETCH(double, minimum);
        QFETCH(double, rangeMinimum);
        QFETCH(double, rangeMaximum);
        QFETCH(int, ticks);
        const NiceAxisRange range = NiceAxisRange::covering(maximum, minimum);
        QCOMPARE(range.minimum, rangeMinimum);
        QCOMPARE(range.maximum, rangeMaximum);
        QCOMPARE(range.tickCount, ticks);
    }

    void startState()
    {
        QCOMPARE(window->findChild<QChartView *>()->chart()->title(), QStringLiteral("Dispense Profile Graph"));
        QCOMPARE(axis(Qt::Horizontal)->titleText(), QStringLiteral("Cumulative Trigger"));
        QCOMPARE(verticalTitle(), QStringLiteral("Dispense\nTime (s)"));
        QCOMPARE(axis(Qt::Horizontal)->max(), 500.0);
        QCOMPARE(axis(Qt::Vertical)->max(), 10.0);
        QCOMPARE(series()->count(), 800);
        QCOMPARE(series()->at(0), QPointF(0, 0));
        QCOMPARE(series()->at(799), QPointF(400, 0));
    }

    // Raising a step above the maximum grows the axis at once; lowering the
    // highest step rescans the range, lowering another keeps it.
    void editingOneCellMovesItsTwoPoints()
    {
        QSignalSpy fullRedraws(series(), &QXYSeries::pointsReplaced);
        QVector<QPointF> expected = series()->pointsVector();
        setCellText(5, 0, QStringLiteral("2.5"));
        expected[10].setY(2.5);
        expected[11].setY(2.5);
        QCOMPARE(series()->pointsVector(), expected);
        QCOMPARE(axis(Qt::Vertical)->max(), 3.0);
        setCellText(6, 0, QStringLiteral("8"));
        QCOMPARE(axis(Qt::Vertical)->max(), 10.0);
        setCellText(6, 0, QStringLiteral("1"));
        QCOMPARE(axis(Qt::Vertical)->max(), 3.0);
        setCellText(7, 0, QStringLiteral("1.5"));
        setCellText(7, 0, QStringLiteral("0.5"));
        QCOMPARE(axis(Qt::Vertical)->max(), 3.0);
        settle();
        QCOMPARE(fullRedraws.count(), 0);
    }

    void editsOutsideTheRangeOrParameterChangeNothing()
    {
        setCellText(3, 3, QStringLiteral("7"));
        child<QSpinBox>("bulkAdjustStart")->setValue(10);
        settle();
        // The steps start after the stored triggers of the cells before the range.
        QCOMPARE(series()->count(), 780);
        QCOMPARE(series()->at(0).x(), 16.0);
        const QVector<QPointF> before = series()->pointsVector();
        setCellText(3, 0, QStringLiteral("5"));
        setCellText(12, 1, QStringLiteral("50"));
        settle();
        QCOMPARE(series()->pointsVector(), before);
        setCellText(12, 0, QStringLiteral("5"));
        QCOMPARE(series()->at(4), QPointF(18, 5));
    }

    // Trigger edits move every later step: one full redraw once the event
    // loop runs, however many cells changed.
    void aLoadOfAllCellsRedrawsOnce()
    {
        QSignalSpy fullRedraws(series(), &QXYSeries::pointsReplaced);
        for (int row = 0; row < 400; ++row) {
            setCellText(row, 3, QStringLiteral("2"));
            setCellText(row, 0, QStringLiteral("1.5"));
        }
        QCOMPARE(series()->at(1), QPointF(1, 0));
        settle();
        QCOMPARE(fullRedraws.count(), 1);
        QCOMPARE(series()->at(1), QPointF(2, 1.5));
        QCOMPARE(series()->at(799), QPointF(800, 1.5));
        QCOMPARE(axis(Qt::Horizontal)->max(), 1000.0);
    }

    void switchingParameterRetitlesAndRedraws()
    {
        setCellText(2, 1, QStringLiteral("42"));
        click("plotPressure");
        settle();
        QCOMPARE(verticalTitle(), QStringLiteral("Dispense\nPressure (PSI)"));
        QCOMPARE(series()->at(4).y(), 42.0);
        QCOMPARE(axis(Qt::Vertical)->max(), 50.0);
        click("pressureBAR");
        QCOMPARE(verticalTitle(), QStringLiteral("Dispense\nPressure (BAR)"));
        click("plotVacuum");
        click("mmhgbut");
        QCOMPARE(verticalTitle(), QStringLiteral("Vacuum\n(mmHg)"));
    }
};

QTEST_MAIN(TestPlot)
#include "tst_plot.moc"
