#ifndef HISTORYSTORE_H
#define HISTORYSTORE_H

#include <QByteArray>
#include <QObject>
#include <QString>

class QSqlDatabase;
class QSqlQuery;

// One thing the panel did: its kind (a HistoryKind name) and what it was.
struct HistoryEvent
{
    QString kind; // empty: nothing to record
    QString details;
};

// How much history is kept: the newest rows up to a count, none older than
// an age.
struct HistoryLimits
{
    qint64 rows = 1000000;
    int days = 2 * 365;
};

// The history: what the panel did, kept across runs in an SQLite database
// (one row per event: time, Operator or Supervisor mode, kind, details) in
// the user's data folder. Each row also holds the SHA-256 of the previous
// row's hash and its own fields, so a row changed or removed in the middle
// breaks the chain (HistoryReader checks it). The oldest rows are dropped
// beyond a row count or an age; the hash of the last row dropped is kept, so
// the chain still starts from something known.
//
// A database that cannot be opened or written (corrupt, locked, read-only)
// never stops the panel: the store reports it once through turnedOff() and
// the debug stream, and records nothing more in this run.
class HistoryStore : public QObject
{
    Q_OBJECT

public:
    explicit HistoryStore(const QString &databasePath = defaultPath(),
                          HistoryLimits limits = HistoryLimits());
    ~HistoryStore() override;

    // history.sqlite in the user's data folder.
    static QString defaultPath();
    QString path() const { return databasePath; }

    // Opens the database, making it and its folder when missing; false, after
    // turnedOff(), when it cannot be used.
    bool open();
    bool isOn() const { return on; }

    // The mode the following rows are stamped with.
    void setSupervisor(bool supervisorMode) { supervisor = supervisorMode; }

    // Appends one row. False when history is off or the row could not be
    // written (which turns it off).
    bool record(const HistoryEvent &event);

    // The hash of a row: SHA-256 over the previous row's hash and its fields.
    static QByteArray rowHash(const QByteArray &previousHash, qint64 time, const QString &mode,
                              const QString &kind, const QString &details);
    // What the first row ever follows.
    static QByteArray firstPreviousHash() { return QByteArray(32, '\0'); }

signals:
    void turnedOff(const QString &reason);
    void recorded();

private:
    QSqlDatabase database() const;
    // Runs the prepared query, or the statement when one is given; a failure
    // turns history off.
    bool run(QSqlQuery &query, const QString &what, const QString &statement = QString());
    bool run(const QString &statement, const QString &what);
    bool createTables();
    QByteArray lastHash();
    bool dropOldRows();
    void turnOff(const QString &reason);

    QString databasePath;
    QString connection;
    HistoryLimits limits;
    bool on = false;
    bool offReported = false;
    bool supervisor = false;
    qint64 keptRows = 0;
    int recordsSinceDrop = 0;
};

#endif // HISTORYSTORE_H
