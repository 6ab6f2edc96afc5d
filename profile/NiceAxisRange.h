#ifndef NICEAXISRANGE_H
#define NICEAXISRANGE_H

// An axis range with round ends and round tick steps that covers the values
// from `minimum` to `maximum` with a little room on each side.
struct NiceAxisRange
{
    double minimum = 0.0;
    double maximum = 10.0;
    int tickCount = 6;

    // Never empty, never NaN: equal ends get the margins of a span of 10,
    // ends in the wrong order are swapped.
    static NiceAxisRange covering(double maximum, double minimum);
};

#endif // NICEAXISRANGE_H
