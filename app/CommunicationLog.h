#ifndef COMMUNICATIONLOG_H
#define COMMUNICATIONLOG_H

#include <QByteArray>
#include <QStringList>

#include <deque>

// The link's traffic and diagnostics (commands, replies, error messages), as
// the link writes them to the debug stream, with the time each arrived;
// newest last, kept to the last `capacity` lines. Recording costs a copy of
// the line; the text is formatted only when someone reads it. While an object
// lives it takes the link's lines.
class CommunicationLog
{
public:
    explicit CommunicationLog(int capacity = 5000);
    ~CommunicationLog();
    CommunicationLog(const CommunicationLog &) = delete;
    CommunicationLog &operator=(const CommunicationLog &) = delete;

    void append(const QByteArray &line);
    void clear();
    int capacity() const { return int(maxLines); }

    // Lines appended since the log began, cleared or not: a reader keeps the
    // count it has shown and asks for what came since.
    qint64 appendedCount() const { return appended; }
    // "hh:mm:ss.zzz text", control bytes written as <02>; the lines appended
    // after the first `shownCount`, or all kept when those are gone.
    QStringList linesSince(qint64 shownCount) const;
    QStringList lines() const { return linesSince(appended - qint64(entries.size())); }

    // Writes every kept line to the file; false when it cannot be written.
    bool save(const QString &fileName) const;

private:
    struct Entry
    {
        qint64 time; // milliseconds since the epoch
        QByteArray line;
    };

    std::size_t maxLines;
    std::deque<Entry> entries;
    qint64 appended = 0;
};

#endif // COMMUNICATIONLOG_H
