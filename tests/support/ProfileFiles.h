#ifndef PROFILEFILES_H
#define PROFILEFILES_H

#include <QDataStream>
#include <QFile>
#include <QVector>

#include <array>

// Profile files made by the tests.
namespace ProfileFiles {

// Writes the file; a file that cannot be written ends the test program.
inline QString write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A binary profile: header, units, range, then one record (time, pressure,
// vacuum, trigger) per cell.
inline QByteArray binary(quint32 pressureUnit, quint32 vacuumUnit, quint32 start, quint32 end,
                         const QVector<std::array<double, 4>> &records)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("\x06HVXPR7", 7);
    out << pressureUnit << vacuumUnit << start;
    out.writeRawData(QByteArray(12, '\xAA').constData(), 12); // gaps the reader must skip
    out << end;
    out.writeRawData(QByteArray(12, '\x55').constData(), 12);
    for (const auto &record : records)
        out << record[0] << record[1] << record[2] << record[3];
    return bytes;
}

} // namespace ProfileFiles

#endif // PROFILEFILES_H
