#ifndef BULKADJUSTMENT_H
#define BULKADJUSTMENT_H

#include <QString>

// The rule of the bulk-adjust panel: New = Current + percent % + amount.
namespace BulkAdjustment {

// The multiplier of a percentage: 10 % gives 1.1.
double factorForPercent(double percent);

double adjustedValue(double value, double factor, double offset);

// Triggers are whole counts: the result is truncated toward zero.
int adjustedTrigger(int trigger, double factor, double offset);

// The cell text of an adjusted time, pressure or vacuum (six significant digits).
QString valueText(double value);

} // namespace BulkAdjustment

#endif // BULKADJUSTMENT_H
