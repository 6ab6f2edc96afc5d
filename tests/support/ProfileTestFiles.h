#ifndef PROFILETESTFILES_H
#define PROFILETESTFILES_H

#include <QByteArray>
#include <QString>
#include <QVector>

// Profile files made and read by the tests.
namespace ProfileTestFiles {

// The path written, after a fatal stop when it cannot be written.
QString write(const QString &path, const QByteArray &content);
QByteArray read(const QString &path);

struct BinaryRecord
{
    double time;
    double pressure;
    double vacuum;
    double trigger;
};

// The bytes of a binary (.hvx) profile: header, units, range, then the records.
QByteArray binaryProfile(quint32 pressureUnit, quint32 vacuumUnit, quint32 startCell,
                         quint32 endCell, const QVector<BinaryRecord> &records);

} // namespace ProfileTestFiles

#endif // PROFILETESTFILES_H
