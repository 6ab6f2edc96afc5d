#ifndef EXCHANGESCOPE_H
#define EXCHANGESCOPE_H

#include "BusyControls.h"

#include <QList>

// One device exchange of the window, from construction to destruction: the
// window shows itself busy meanwhile (see BusyControls).
class ExchangeScope
{
public:
    explicit ExchangeScope(BusyControls &busy, const QList<QObject *> &written = {},
                           QObject *stop = nullptr)
        : busy(busy)
    {
        busy.begin(written, stop);
    }
    ~ExchangeScope() { busy.end(); }
    ExchangeScope(const ExchangeScope &) = delete;
    ExchangeScope &operator=(const ExchangeScope &) = delete;

private:
    BusyControls &busy;
};

#endif // EXCHANGESCOPE_H
