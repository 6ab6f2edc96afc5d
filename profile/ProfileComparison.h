#ifndef PROFILECOMPARISON_H
#define PROFILECOMPARISON_H

#include "ProfileReadBack.h"
#include "ProfileTransmission.h"

#include <QList>
#include <QString>
#include <QVector>

class DispenserLink;
class DispenserState;

// Compares a profile (the table's, or a file's) with what the dispenser
// holds, value by value as the values travel on the wire: time in 1/10000 s,
// pressure and vacuum in tenths (bar in hundredths of a bar, as Transmit
// sends it), the trigger exactly. A value that Transmit would send unchanged
// therefore matches.
namespace ProfileComparison {

struct Difference
{
    int cell = 0;
    int column = 0; // a ProfileUnits::Parameter
    QString expected; // "0.2500 s", as the profile holds it
    QString held; // "0.2600 s", as the Pelidor 7 holds it

    // What the table's mark says: "Pelidor 7 holds 0.2600 s".
    QString note() const;
};

struct Result
{
    ProfileReadBack::Result reading;
    QVector<Difference> differences; // in cell and column order
    // "the Pelidor 7 is set to BAR, not PSI"; empty when the units agree.
    QString unitDifference;

    QList<int> differingCells() const;
    bool succeeded() const
    {
        return reading.succeeded() && differences.isEmpty() && unitDifference.isEmpty();
    }
    // "Verified: MemCell 0-399 match", or what differs and what was not read.
    QString summary() const;
    // The note of the value's difference; a null text when it matched.
    QString noteAt(int cell, int column) const;
    // Drops the value's difference (it was edited since); false when it had none.
    bool forget(int cell, int column);
};

// Reads the cells from the dispenser (ProfileReadBack::read, so the same
// progress, stops and restoring of the current cell) and compares them with
// `expected`. Cells that could not be read are reported, not compared.
Result verify(DispenserLink &link, const DispenserState &expected, const QList<int> &cells,
              const ProfileReadBack::ShowCell &showCell,
              const ProfileReadBack::KeepGoing &keepGoing);

// "Transmit complete, verified: MemCell 0 to 399", or each summary when
// either did not succeed.
QString afterTransmitSummary(const ProfileTransmission::Result &transmission,
                             const Result &verification);

// The differences as comma-separated text ("Mem Cell,Field,File,Pelidor 7",
// then one line each); a ProfileFile code.
int writeCsv(const QString &fileName, const Result &result);

} // namespace ProfileComparison

#endif // PROFILECOMPARISON_H
