#ifndef HISTORYREADER_H
#define HISTORYREADER_H

#include <QDate>
#include <QSqlQuery>
#include <QString>

// Reads the history that HistoryStore writes, on a connection of its own:
// the rows newest first (all, by kind, within dates), their export to a
// CSV file, and the check of the hash chain.
class HistoryReader
{
public:
    // Which rows: an empty kind or a null date means any.
    struct Filter
    {
        QString kind;
        QDate from;
        QDate to; // inclusive
    };

    struct Check
    {
        qint64 rowsChecked = 0;
        qint64 brokenRow = -1; // the first row whose hash does not follow, or -1
        QString brokenTime;
        QString error; // the database could not be read
        // What the user is told.
        QString text() const;
    };

    explicit HistoryReader(const QString &databasePath);
    ~HistoryReader();
    HistoryReader(const HistoryReader &) = delete;
    HistoryReader &operator=(const HistoryReader &) = delete;

    bool isOpen() const;
    QString errorString() const;

    // Time (local, to the second), Mode, Kind, Details, newest first; the rows
    // are fetched as they are stepped through. Inactive when it failed.
    QSqlQuery rows(const Filter &filter) const;
    // Writes the rows with a header line, each field quoted: false, with the
    // old file left as it was, when it cannot be written completely.
    bool exportCsv(const Filter &filter, const QString &fileName) const;
    // Walks the chain from the first row kept.
    Check check() const;

private:
    QSqlQuery select(const Filter &filter, bool forwardOnly) const;

    QString connection;
};

#endif // HISTORYREADER_H
