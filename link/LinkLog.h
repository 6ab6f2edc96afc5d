#ifndef LINKLOG_H
#define LINKLOG_H

#include <QByteArray>

// The link's diagnostics on the debug stream. What passes the line is told
// to the link's LinkTraffic instead (the window's communication log).
namespace LinkLog {

void write(const QByteArray &line);

} // namespace LinkLog

#endif // LINKLOG_H
