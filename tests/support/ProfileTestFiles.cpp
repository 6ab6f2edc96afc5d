#include "ProfileTestFiles.h"

#include <QDataStream>
#include <QFile>

namespace ProfileTestFiles {

QString write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray binaryProfile(quint32 pressureUnit, quint32 vacuumUnit, quint32 startCell,
                         quint32 endCell, const QVector<BinaryRecord> &records)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    // The gaps hold bytes the reader must skip, not zeros it might rely on.
    out.writeRawData("\x06HVXPR7", 7);
    out << pressureUnit << vacuumUnit << startCell;
    out.writeRawData(QByteArray(12, '\xAA').constData(), 12);
    out << endCell;
    out.writeRawData(QByteArray(12, '\x55').constData(), 12);
    for (const BinaryRecord &record : records)
        out << record.time << record.pressure << record.vacuum << record.trigger;
    return bytes;
}

} // namespace ProfileTestFiles
