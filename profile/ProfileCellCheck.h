#ifndef PROFILECELLCHECK_H
#define PROFILECELLCHECK_H

#include <QString>

// The range rules of the profile table's cells, free of widgets so that the
// table, the tests and the profile loaders share one definition.
namespace ProfileCellCheck {

// The text parsed as a finite number ('.' decimal separator whatever the
// locale). The words nan and inf, and overflowing exponents, are not numbers.
bool parseNumber(const QString &text, double *value);

// What a cell's text must become. A null text may stay as typed; a reason
// says why the value changed ("above 18", "is not a number", ...) and is
// empty when only the form of a whole number changed ("5.0" to "5").
struct Correction
{
    QString text;
    QString reason;
};

Correction check(int column, const QString &text, int pressureUnit, int vacuumUnit);

// What the user is told about a correction of a cell's value, e.g.
// "MemCell 5 vacuum 40 above 18: set to 18".
QString correctionMessage(int cell, int column, const QString &typed, const Correction &correction);

// What the value array keeps of a cell's (already corrected) text: the number,
// or 0 when the text is not one.
double storedValue(const QString &text);
int storedTrigger(const QString &text);

// A trigger as typed or read from a file: the whole part of the number
// ("3.0" and "3.7" give 3, "1e3" gives 1000), 0 when the text is none.
int triggerOf(const QString &text);

// "time", "pressure", "vacuum" or "trigger".
QString columnName(int column);

} // namespace ProfileCellCheck

#endif // PROFILECELLCHECK_H
