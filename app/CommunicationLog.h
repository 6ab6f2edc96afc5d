#ifndef COMMUNICATIONLOG_H
#define COMMUNICATIONLOG_H

#include "LinkTraffic.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>

// The traffic of the link: every packet sent and received, the session bytes
// (ENQ, ACK, EOT) and each transaction's outcome, with the time of each,
// newest last, kept to the last `capacity` lines. Recording keeps the bytes
// and the time; the text is made only when someone reads it. Passwords are
// shown as "****" in every line it gives.
class CommunicationLog : public LinkTraffic
{
public:
    // What a reader asks for: only the packets and outcomes, or the session
    // bytes too; and only lines that contain the filter text (any case).
    struct View
    {
        bool sessionBytes = true;
        QString filter;
    };

    explicit CommunicationLog(int capacity = 5000);

    void sent(const QByteArray &bytes) override;
    void received(const QByteArray &bytes) override;
    void exchangeEnded(const QByteArray &packetText, int code) override;
    // A text of the status line, kept whole: the status bar may cut it short.
    void statusShown(const QString &text);

    void clear();
    int capacity() const { return int(maxLines); }

    // Lines recorded since the log began, cleared or not: a reader keeps the
    // count it has shown and asks for what came since.
    qint64 appendedCount() const { return appended; }
    // "hh:mm:ss.zzz -> <STX>04AU  D7<ETX>", "<-" for what the dispenser sent,
    // "==" and the packet text for an outcome ("ok" or the error message);
    // the lines recorded after the first `shownCount`, or all kept when those
    // are gone.
    QStringList linesSince(qint64 shownCount, const View &view) const;
    QStringList lines(const View &view) const
    {
        return linesSince(appended - qint64(entries.size()), view);
    }
    QStringList lines() const { return lines(View()); }

    // Lines by their number since the log began: the oldest still kept, and
    // whether one is kept and shown in a view, and its text.
    qint64 firstKept() const { return appended - qint64(entries.size()); }
    bool shows(qint64 number, const View &view) const;
    QString line(qint64 number) const;

    // Writes every kept line to the file. False, with the old file left as it
    // was, when it cannot be written completely.
    bool save(const QString &fileName) const;

private:
    enum class Kind : char { Sent, Received, Outcome, Status };
    struct Entry
    {
        qint64 time; // milliseconds since the epoch
        Kind kind;
        int code; // of an outcome
        QByteArray bytes;
    };

    void append(Kind kind, const QByteArray &bytes, int code = 0);
    static bool isSessionByte(const Entry &entry);
    static QString text(const Entry &entry);

    std::size_t maxLines;
    std::deque<Entry> entries;
    qint64 appended = 0;
};

#endif // COMMUNICATIONLOG_H
