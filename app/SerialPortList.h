#ifndef SERIALPORTLIST_H
#define SERIALPORTLIST_H

#include <QList>
#include <QString>

#include <functional>

// The serial ports to offer: the system's enumeration, which tests may replace
// with a list of their own.
class SerialPortList
{
public:
    // A port as the user picks it: the name the system gives it, and the
    // device that is opened for it.
    struct Port
    {
        QString name;
        QString systemLocation;
    };
    using Source = std::function<QList<Port>()>;

    static QList<Port> available();
    // An empty source restores the system's enumeration.
    static void setSource(Source source);

    // Linux enumerates neither pseudo-terminals nor the stable
    // /dev/serial/by-id links, so a stored port name that is the absolute
    // path of an existing device no listed port is named after gets a choice
    // of its own, and is opened by its path.
    static bool isUnlistedDevice(const QString &name, const QList<Port> &listed);
    // The device to open for the port of this name: the listed port's, or
    // the name itself for an unlisted device; empty when there is none.
    static QString deviceFor(const QString &name, const QList<Port> &listed);
};

#endif // SERIALPORTLIST_H
