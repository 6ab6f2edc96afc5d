#include "StepPlot.h"

#include <algorithm>

namespace StepPlot {

Steps build(const double *values, const int *triggers, int first, int last, const Preview &preview)
{
    Steps steps;
    for (int cell = 0; cell < first; ++cell)
        steps.startX += triggers[cell];

    double x = steps.startX;
    if (last >= first)
        steps.points.reserve(2 * (last - first + 1));
    for (int cell = first; cell <= last; ++cell) {
        const double y = preview.value(values[cell]);
        if (y > steps.maximum)
            steps.maximum = y;
        steps.points.append(QPointF(x, y));
        x = preview.stepEnd(x, triggers[cell]);
        steps.points.append(QPointF(x, y));
    }
    steps.endX = x;
    return steps;
}

double rangeMaximum(const double *values, int first, int last, const Preview &preview)
{
    double maximum = 0.0;
    for (int cell = first; cell <= last; ++cell)
        maximum = std::max(maximum, preview.value(values[cell]));
    return maximum;
}

} // namespace StepPlot
