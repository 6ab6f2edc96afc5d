#include "LinkLog.h"

#include <QDebug>

namespace {
LinkLog::Sink &currentSink()
{
    static LinkLog::Sink sink;
    return sink;
}
} // namespace

namespace LinkLog {

void write(const QByteArray &line)
{
    qDebug().noquote() << line;
    if (const Sink &sink = currentSink())
        sink(line);
}

void setSink(Sink sink)
{
    currentSink() = std::move(sink);
}

} // namespace LinkLog
