#ifndef PROFILECELLCHECK_H
#define PROFILECELLCHECK_H

#include <QString>

// The range rules of the profile table's cells, free of widgets so that the
// table, the tests and the profile loaders share one definition.
namespace ProfileCellCheck {

enum Column { TimeColumn = 0, PressureColumn = 1, VacuumColumn = 2, TriggerColumn = 3 };

// The text parsed as a finite number ('.' decimal separator whatever the
// locale). The words nan and inf, and overflowing exponents, are not numbers.
bool parseNumber(const QString &text, double *value);

// The text a cell must show instead of `text`, or a null QString when the
// text may stay as typed. Units are the unit ids of the pressure and vacuum
// radio buttons.
QString correctedText(int column, const QString &text, int pressureUnits, int vacuumUnits);

// What the value array keeps of a cell's (already corrected) text: the number,
// or 0 when the text is not one.
double storedValue(const QString &text);
int storedTrigger(const QString &text);

} // namespace ProfileCellCheck

#endif // PROFILECELLCHECK_H
