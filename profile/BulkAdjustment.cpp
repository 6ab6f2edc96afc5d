#include "BulkAdjustment.h"

namespace BulkAdjustment {

double factorForPercent(double percent)
{
    return percent / 100.0 + 1.0;
}

double adjustedValue(double value, double factor, double offset)
{
    return value * factor + offset;
}

int adjustedTrigger(int trigger, double factor, double offset)
{
    return static_cast<int>(trigger * factor + offset);
}

QString valueText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace BulkAdjustment
