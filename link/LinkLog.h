#ifndef LINKLOG_H
#define LINKLOG_H

#include <QByteArray>

#include <functional>

// The link's diagnostics: every line goes to the debug stream as it always
// did and, when a sink is set, to the sink too (the window's communication
// log). One thread only, like the link itself.
namespace LinkLog {

using Sink = std::function<void(const QByteArray &line)>;

void write(const QByteArray &line);
// An empty sink stops the forwarding.
void setSink(Sink sink);

} // namespace LinkLog

#endif // LINKLOG_H
