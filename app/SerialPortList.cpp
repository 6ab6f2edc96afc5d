#include "SerialPortList.h"

#include <QDir>
#include <QFileInfo>

namespace {
SerialPortList::Source &source()
{
    static SerialPortList::Source current;
    return current;
}
}

QList<QSerialPortInfo> SerialPortList::available()
{
    return source() ? source()() : QSerialPortInfo::availablePorts();
}

void SerialPortList::setSource(Source newSource)
{
    source() = std::move(newSource);
}

bool SerialPortList::isUnlistedDevice(const QString &name, const QList<QSerialPortInfo> &listed)
{
    if (!QDir::isAbsolutePath(name) || !QFileInfo::exists(name))
        return false;
    for (const QSerialPortInfo &port : listed) {
        if (port.portName() == name)
            return false;
    }
    return true;
}
