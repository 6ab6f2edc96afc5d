#ifndef PROFILELIMITS_H
#define PROFILELIMITS_H

#include <QList>
#include <QString>
#include <QVector>

class DispenserState;

// Which of the profile's values lie outside what their column allows in the
// units shown, or outside what the dispenser takes. Entered values are
// corrected by the cell check; these are the numbers a unit change left
// behind, which are kept, marked, and never transmitted.
namespace ProfileLimits {

struct Breach
{
    int cell = 0;
    int column = 0; // a ProfileUnits::Parameter
    QString limit; // "above 6.895 BAR", "below 0", "above 18, the most the Pelidor 7 takes"
};

// The limit a value breaks in its column, or an empty text when it keeps them.
QString breachOf(int column, double value, int pressureUnit, int vacuumUnit);

// Every breach of the cells first..last, in cell and column order.
QVector<Breach> breaches(const DispenserState &state, int first, int last);

// Cell numbers as ranges, "2-6, 9, 12"; at most `maxRanges` ranges, then "...".
QString cellList(QList<int> cells, int maxRanges = 8);

// "12 cells outside the BAR limits: MemCell 2-6, 9"; empty without breaches.
QString outsideSummary(const QVector<Breach> &breaches, const DispenserState &state);

// "Nothing sent: MemCell 2-6 pressure above 6.895 BAR"; empty without breaches.
QString nothingSentSummary(const QVector<Breach> &breaches);

} // namespace ProfileLimits

#endif // PROFILELIMITS_H
