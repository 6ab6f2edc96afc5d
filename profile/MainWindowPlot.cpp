// Step plot of one profile parameter.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "NiceAxisRange.h"
#include "QTableWidgetWithCopyPaste.h"
#include "StepPlot.h"

#include <QGraphicsLayout>
#include <QLayout>
#include <QTimer>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

using namespace QtCharts;

namespace {

QValueAxis *chartAxis(QChart *chart, Qt::Orientation orientation)
{
    return static_cast<QValueAxis *>(chart->axes(orientation).last());
}

void setNiceAxisRange(QValueAxis *axis, double maximum, double minimum)
{
    const NiceAxisRange range = NiceAxisRange::covering(maximum, minimum);
    axis->setRange(range.minimum, range.maximum);
    axis->setTickCount(range.tickCount);
}

} // namespace

void MainWindow::setupChart()
{
    chart = new QChart;
    chart->legend()->hide();
    profileSeries = new QLineSeries;
    chart->addSeries(profileSeries);
    chart->createDefaultAxes();
    chart->setTitle(QStringLiteral("Dispense Profile Graph"));
    QValueAxis *triggerAxis = chartAxis(chart, Qt::Horizontal);
    triggerAxis->setLabelFormat(QStringLiteral("%i"));
    triggerAxis->setTitleText(QStringLiteral("Cumulative Trigger"));

    // No frame around the chart: at the height the layout gives the view,
    // the plot keeps room for its tick labels.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(6, 6, 6, 6));

    chartView = new QChartView(chart);
    chartView->setObjectName(QStringLiteral("chartView"));
    chartView->setRenderHint(QPainter::Antialiasing);
    // The plot takes no keys: Tab passes it by.
    chartView->setFocusPolicy(Qt::NoFocus);
    chartView->viewport()->setFocusPolicy(Qt::NoFocus);
    ui->plotContainer->layout()->addWidget(chartView);
}

void MainWindow::plot_parameter_Changed()
{
    const int id = ui->plotTypeGroup->checkedId();
    // The heading's line break, which the chart would show as a blank: on
    // two lines the title fits beside a low plot.
    QString title = profileTable->horizontalHeaderItem(id)->text();
    chartAxis(chart, Qt::Vertical)
            ->setTitleText(title.replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    plotParameter = id;
    plotTimer->start();
}

void MainWindow::plotUpdate()
{
    const StepPlot::Steps steps =
            StepPlot::build(parameterArrays[static_cast<size_t>(plotParameter)],
                            state->triggers.data(), adjustStart, adjustEnd, pendingAdjustment);
    plotPoints = steps.points;
    plotMaximum = steps.maximum;
    setNiceAxisRange(chartAxis(chart, Qt::Horizontal), steps.endX, steps.startX);
    setNiceAxisRange(chartAxis(chart, Qt::Vertical), plotMaximum, 0.0);
    profileSeries->replace(plotPoints);
}

// One edited cell moves only its own step, drawn with the same pending
// adjustment as the rest; the axis follows when the highest step changes.
void MainWindow::updatePlotPoint(int row, int column)
{
    const int start = 2 * (row - adjustStart);
    if (row < adjustStart || row > adjustEnd || plotTimer->isActive()
        || start + 1 >= profileSeries->count())
        return;

    const QPointF stepStart = profileSeries->at(start);
    const double *values = parameterArrays[static_cast<size_t>(column)];
    const double y = pendingAdjustment.value(values[row]);
    if (y == stepStart.y())
        return;

    QValueAxis *valueAxis = chartAxis(chart, Qt::Vertical);
    if (y > plotMaximum) {
        plotMaximum = y;
        setNiceAxisRange(valueAxis, y, 0.0);
    } else if (stepStart.y() == plotMaximum) {
        plotMaximum = StepPlot::rangeMaximum(values, adjustStart, adjustEnd, pendingAdjustment);
        setNiceAxisRange(valueAxis, plotMaximum, 0.0);
    }

    profileSeries->replace(start, QPointF(stepStart.x(), y));
    profileSeries->replace(start + 1, QPointF(profileSeries->at(start + 1).x(), y));
}
