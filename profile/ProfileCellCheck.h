#ifndef PROFILECELLCHECK_H
#define PROFILECELLCHECK_H

#include <QString>

// The range rules of the profile table's cells, free of widgets so that the
// table, the tests and the profile loaders share one definition.
namespace ProfileCellCheck {

// The text parsed as a finite number ('.' decimal separator whatever the
// locale). The words nan and inf, and overflowing exponents, are not numbers.
bool parseNumber(const QString &text, double *value);

// The text a cell of the column (a ProfileUnits::Parameter) must show instead
// of `text`, or a null QString when the text may stay as typed.
QString correctedText(int column, const QString &text, int pressureUnit, int vacuumUnit);

// What the value array keeps of a cell's (already corrected) text: the number,
// or 0 when the text is not one.
double storedValue(const QString &text);
int storedTrigger(const QString &text);

} // namespace ProfileCellCheck

#endif // PROFILECELLCHECK_H
