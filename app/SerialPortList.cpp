#include "SerialPortList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace {
SerialPortList::Source &source()
{
    static SerialPortList::Source current;
    return current;
}
} // namespace

QList<SerialPortList::Port> SerialPortList::available()
{
    if (source())
        return source()();
    QList<Port> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({ info.portName(), info.systemLocation() });
    return ports;
}

void SerialPortList::setSource(Source newSource)
{
    source() = std::move(newSource);
}

bool SerialPortList::isUnlistedDevice(const QString &name, const QList<Port> &listed)
{
    if (!QDir::isAbsolutePath(name) || !QFileInfo::exists(name))
        return false;
    for (const Port &port : listed) {
        if (port.name == name)
            return false;
    }
    return true;
}

QString SerialPortList::deviceFor(const QString &name, const QList<Port> &listed)
{
    for (const Port &port : listed) {
        if (port.name == name)
            return port.systemLocation;
    }
    return isUnlistedDevice(name, listed) ? name : QString();
}
