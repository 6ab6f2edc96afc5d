// The step plot: axis ranges, step points, and how the window's chart follows
// the table (single-step updates, full redraws, coalescing, titles).
#include "MainWindow.h"
#include "NiceAxisRange.h"
#include "QTableWidgetWithCopyPaste.h"
#include "StepPlot.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QSpinBox>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include <array>
#include <cmath>
#include <memory>

using namespace QtCharts;

class TestPlot : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    QTableWidget *table() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    QChart *chart() const { return window->findChild<QChartView *>()->chart(); }
    QLineSeries *series() const { return qobject_cast<QLineSeries *>(chart()->series().first()); }
    QValueAxis *axis(Qt::Orientation orientation) const
    {
        return qobject_cast<QValueAxis *>(chart()->axes(orientation).first());
    }

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    // Lets the pending full redraw run.
    static void settle() { QCoreApplication::processEvents(); }

    void setText(int row, int column, const char *text) const
    {
        table()->item(row, column)->setText(QLatin1String(text));
    }

private slots:
    void init()
    {
        TestSettings::clear();
        QTest::ignoreMessage(QtDebugMsg, "SuperPassword key doesnt exist, setting it to 5183 now");
        window.reset(new MainWindow);
        settle();
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
        // No span: the margins of a span of 10 around the one value.
        QTest::newRow("5, 5") << 5.0 << 5.0 << 4.4 << 5.6 << 7;
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

    void niceAxisRangeIsNeverUnusable_data()
    {
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("minimum");
        QTest::newRow("equal ends") << 400.0 << 400.0;
        QTest::newRow("backwards") << 50.0 << 100.0;
        QTest::newRow("backwards to zero") << 0.0 << 400.0;
        QTest::newRow("backwards below zero") << -30.0 << 12.0;
        QTest::newRow("nan") << std::nan("") << 0.0;
        QTest::newRow("infinite") << HUGE_VAL << 0.0;
        QTest::newRow("tiny") << 1e-9 << 0.0;
    }

    void niceAxisRangeIsNeverUnusable()
    {
        QFETCH(double, maximum);
        QFETCH(double, minimum);
        const NiceAxisRange range = NiceAxisRange::covering(maximum, minimum);
        QVERIFY(std::isfinite(range.minimum));
        QVERIFY(std::isfinite(range.maximum));
        QVERIFY(range.maximum > range.minimum);
        QVERIFY(range.tickCount >= 2);
        if (std::isfinite(maximum) && std::isfinite(minimum)) {
            QVERIFY(range.minimum <= std::min(maximum, minimum));
            QVERIFY(range.maximum >= std::max(maximum, minimum));
        }
    }

    void stepsStartAfterTheEarlierCells()
    {
        std::array<double, 400> values{};
        std::array<int, 400> triggers;
        triggers.fill(1);
        triggers[3] = 7;
        const StepPlot::Steps steps =
            StepPlot::build(values.data(), triggers.data(), 10, 12, StepPlot::Preview());
        QCOMPARE(steps.startX, 16.0);
        QCOMPARE(steps.points.size(), 6);
        QCOMPARE(steps.points.first().x(), 16.0);
        QCOMPARE(steps.endX, 19.0);
    }

    void stepsShowThePreview()
    {
        std::array<double, 400> values{};
        std::array<int, 400> triggers;
        triggers.fill(3);
        values[0] = 2.0;
        values[1] = 4.0;
        StepPlot::Preview preview;
        preview.valueFactor = 1.5;
        preview.valueOffset = 0.25;
        preview.triggerFactor = 1.5; // 4.5, truncated to whole counts
        const StepPlot::Steps steps = StepPlot::build(values.data(), triggers.data(), 0, 1, preview);
        QCOMPARE(steps.points, QVector<QPointF>({{0, 3.25}, {4, 3.25}, {4, 6.25}, {8, 6.25}}));
        QCOMPARE(steps.maximum, 6.25);
        QCOMPARE(StepPlot::rangeMaximum(values.data(), 0, 1, preview), 6.25);
    }

    void noCellsNoSteps()
    {
        std::array<double, 400> values{};
        std::array<int, 400> triggers;
        triggers.fill(2);
        const StepPlot::Steps steps =
            StepPlot::build(values.data(), triggers.data(), 5, 4, StepPlot::Preview());
        QVERIFY(steps.points.isEmpty());
        QCOMPARE(steps.startX, 10.0);
        QCOMPARE(steps.endX, 10.0);
        QCOMPARE(steps.maximum, 0.0);
    }

    void startState()
    {
        QCOMPARE(chart()->title(), QStringLiteral("Dispense Profile Graph"));
        QVERIFY(!chart()->legend()->isVisible());
        QCOMPARE(chart()->series().size(), 1);
        QCOMPARE(axis(Qt::Horizontal)->titleText(), QStringLiteral("Cumulative Trigger"));
        QCOMPARE(axis(Qt::Horizontal)->labelFormat(), QStringLiteral("%i"));
        QCOMPARE(axis(Qt::Vertical)->titleText(), QStringLiteral("Dispense\nTime (s)"));
        QCOMPARE(axis(Qt::Horizontal)->min(), 0.0);
        QCOMPARE(axis(Qt::Horizontal)->max(), 500.0);
        QCOMPARE(axis(Qt::Horizontal)->tickCount(), 6);
        QCOMPARE(axis(Qt::Vertical)->min(), 0.0);
        QCOMPARE(axis(Qt::Vertical)->max(), 10.0);
        QCOMPARE(axis(Qt::Vertical)->tickCount(), 6);
        QCOMPARE(series()->count(), 800);
        QCOMPARE(series()->at(799), QPointF(400, 0));
        QCOMPARE(window->findChild<QChartView *>()->parentWidget(), child<QWidget>("plotContainer"));
        QVERIFY(window->findChild<QChartView *>()->renderHints() & QPainter::Antialiasing);
    }

    void editingOneCellMovesItsTwoPoints()
    {
        QSignalSpy fullRedraws(series(), &QXYSeries::pointsReplaced);
        const QVector<QPointF> before = series()->pointsVector();
        setText(5, 0, "2.5");
        QVector<QPointF> expected = before;
        expected[10].setY(2.5);
        expected[11].setY(2.5);
        QCOMPARE(series()->pointsVector(), expected);
        // Above the old maximum: the axis grows at once.
        QCOMPARE(axis(Qt::Vertical)->max(), 3.0);
        settle();
        QCOMPARE(fullRedraws.count(), 0);
    }

    void editingOutsideTheRangeChangesNothing()
    {
        child<QSpinBox>("bulkAdjustStart")->setValue(10);
        settle();
        QCOMPARE(series()->count(), 780);
        QCOMPARE(series()->at(0).x(), 10.0);
        const QVector<QPointF> before = series()->pointsVector();
        setText(3, 0, "5");
        settle();
        QCOMPARE(series()->pointsVector(), before);
        // The cell inside the range moves.
        setText(12, 0, "5");
        QCOMPARE(series()->at(4), QPointF(12, 5));
    }

    void editingAnotherParameterLeavesThePlot()
    {
        const QVector<QPointF> before = series()->pointsVector();
        setText(5, 1, "50");
        settle();
        QCOMPARE(series()->pointsVector(), before);
    }

    void loweringTheHighestStepShrinksTheAxis()
    {
        setText(5, 0, "8");
        setText(6, 0, "2");
        QCOMPARE(axis(Qt::Vertical)->max(), 10.0);
        setText(5, 0, "1");
        QCOMPARE(axis(Qt::Vertical)->max(), 2.5);
        QCOMPARE(series()->at(10).y(), 1.0);
        // Lowering a step that was not the highest keeps the axis.
        setText(7, 0, "1.5");
        setText(7, 0, "0.5");
        QCOMPARE(axis(Qt::Vertical)->max(), 2.5);
    }

    void triggerEditRedrawsEverything()
    {
        QSignalSpy fullRedraws(series(), &QXYSeries::pointsReplaced);
        setText(0, 3, "5");
        QCOMPARE(series()->at(1).x(), 1.0); // not yet: the redraw waits for the event loop
        settle();
        QCOMPARE(fullRedraws.count(), 1);
        QCOMPARE(series()->at(1).x(), 5.0);
        QCOMPARE(series()->at(799).x(), 404.0);
    }

    void aLoadOfAllCellsRedrawsOnce()
    {
        QSignalSpy fullRedraws(series(), &QXYSeries::pointsReplaced);
        for (int row = 0; row < 400; ++row) {
            setText(row, 0, "1.5");
            setText(row, 1, "20");
            setText(row, 2, "3");
            setText(row, 3, "2");
        }
        settle();
        QCOMPARE(fullRedraws.count(), 1);
        QCOMPARE(series()->at(0), QPointF(0, 1.5));
        QCOMPARE(series()->at(799), QPointF(800, 1.5));
        QCOMPARE(axis(Qt::Horizontal)->max(), 1000.0);
    }

    void switchingParameterRetitlesAndRedraws()
    {
        setText(2, 1, "42");
        child<QAbstractButton>("plotPressure")->click();
        settle();
        QCOMPARE(axis(Qt::Vertical)->titleText(), QStringLiteral("Dispense\nPressure (PSI)"));
        QCOMPARE(series()->at(4).y(), 42.0);
        QCOMPARE(axis(Qt::Vertical)->max(), 50.0);

        child<QAbstractButton>("pressureBAR")->click();
        settle();
        QCOMPARE(axis(Qt::Vertical)->titleText(), QStringLiteral("Dispense\nPressure (BAR)"));

        child<QAbstractButton>("plotVacuum")->click();
        child<QAbstractButton>("mmhgbut")->click();
        settle();
        QCOMPARE(axis(Qt::Vertical)->titleText(), QStringLiteral("Vacuum\n(mmHg)"));
    }
};

QTEST_MAIN(TestPlot)
#include "tst_plot.moc"
