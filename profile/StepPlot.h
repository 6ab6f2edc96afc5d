#ifndef STEPPLOT_H
#define STEPPLOT_H

#include <QPointF>
#include <QVector>

// The step chart of one profile parameter: every cell of a range is a
// horizontal step as long as its trigger, at the height of its value.
namespace StepPlot {

// A pending bulk adjustment shown in the plot before it is applied.
struct Preview
{
    double valueFactor = 1.0;
    double valueOffset = 0.0;
    double triggerFactor = 1.0;
    double triggerOffset = 0.0;

    double value(double stored) const { return stored * valueFactor + valueOffset; }
    // Step lengths are whole trigger counts, as the dispenser counts them.
    double stepEnd(double x, int trigger) const
    {
        return static_cast<int>(x + trigger * triggerFactor + triggerOffset);
    }
};

struct Steps
{
    QVector<QPointF> points; // two per cell: start and end of its step
    double startX = 0.0; // the triggers of the cells before the range
    double endX = 0.0;
    double maximum = 0.0; // highest step, never below 0
};

// Cells first..last (an empty range when last < first) of `values`, placed
// after the stored triggers of the cells before `first`.
Steps build(const double *values, const int *triggers, int first, int last, const Preview &preview);

// The highest previewed value of values[first..last], at least 0.
double rangeMaximum(const double *values, int first, int last, const Preview &preview);

} // namespace StepPlot

#endif // STEPPLOT_H
