#include "HistoryStore.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>

namespace {

// A waiting writer (another panel) holds the lock for a moment; a database
// locked for longer is reported instead of freezing the window.
constexpr const char *connectOptions = "QSQLITE_BUSY_TIMEOUT=250";
// The age limit is checked this often besides at start.
constexpr int recordsBetweenAgeChecks = 1000;
constexpr qint64 msPerDay = 24 * 3600 * 1000;

QString uniqueConnectionName()
{
    static int opened = 0;
    return QStringLiteral("history-%1").arg(++opened);
}

// Each field with its length in front, so no two rows hash the same text.
void addField(QCryptographicHash &hash, const QByteArray &field)
{
    hash.addData(QByteArray::number(field.size()) + ':');
    hash.addData(field);
}

} // namespace

HistoryStore::HistoryStore(const QString &databasePath, HistoryLimits limits)
    : databasePath(databasePath), connection(uniqueConnectionName()), limits(limits)
{ }

HistoryStore::~HistoryStore()
{
    if (QSqlDatabase::contains(connection)) {
        database().close();
        QSqlDatabase::removeDatabase(connection);
    }
}

QString HistoryStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
            + QStringLiteral("/history.sqlite");
}

QSqlDatabase HistoryStore::database() const
{
    return QSqlDatabase::database(connection, false);
}

QByteArray HistoryStore::rowHash(const QByteArray &previousHash, qint64 time, const QString &mode,
                                 const QString &kind, const QString &details)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    addField(hash, previousHash);
    addField(hash, QByteArray::number(time));
    addField(hash, mode.toUtf8());
    addField(hash, kind.toUtf8());
    addField(hash, details.toUtf8());
    return hash.result();
}

bool HistoryStore::open()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        turnOff(QStringLiteral("Qt's SQLite driver is not installed"));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(databasePath).absolutePath())) {
        turnOff(QStringLiteral("cannot make the folder of %1").arg(databasePath));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(databasePath);
    db.setConnectOptions(QLatin1String(connectOptions));
    if (!db.open()) {
        turnOff(QStringLiteral("cannot open %1: %2").arg(databasePath, db.lastError().text()));
        return false;
    }
    on = true;
    // Readers (the History dock) never wait for the writer, and a write is
    // one append to the log file.
    QSqlQuery wal(db);
    if (!run(wal, QStringLiteral("use"), QStringLiteral("PRAGMA journal_mode=WAL")) || !wal.next()
        || wal.value(0).toString() != QLatin1String("wal")) {
        turnOff(QStringLiteral("cannot use %1 in WAL mode").arg(databasePath));
        return false;
    }
    wal.finish();
    if (!createTables())
        return false;
    QSqlQuery span(db);
    if (!run(span, QStringLiteral("read"),
             QStringLiteral("SELECT max(id) - min(id) + 1 FROM events"))
        || !span.next())
        return false;
    keptRows = span.value(0).toLongLong();
    span.finish();
    return dropOldRows();
}

bool HistoryStore::createTables()
{
    // Rows are listed newest first, all of them or by kind, within dates:
    // the indexes give that order without sorting.
    return run(QStringLiteral("CREATE TABLE IF NOT EXISTS events (id INTEGER PRIMARY KEY, "
                              "time INTEGER NOT NULL, mode TEXT NOT NULL, kind TEXT NOT NULL, "
                              "details TEXT NOT NULL, hash BLOB NOT NULL)"),
               QStringLiteral("create the history"))
            && run(QStringLiteral("CREATE INDEX IF NOT EXISTS events_by_time ON events (time)"),
                   QStringLiteral("create the history"))
            && run(QStringLiteral(
                           "CREATE INDEX IF NOT EXISTS events_by_kind ON events (kind, time)"),
                   QStringLiteral("create the history"))
            && run(QStringLiteral("CREATE TABLE IF NOT EXISTS dropped (last_id INTEGER NOT NULL, "
                                  "hash BLOB NOT NULL)"),
                   QStringLiteral("create the history"));
}

bool HistoryStore::record(const HistoryEvent &event)
{
    if (!on)
        return false;
    if (event.kind.isEmpty())
        return true;
    const qint64 time = QDateTime::currentMSecsSinceEpoch();
    const QString mode = supervisor ? QStringLiteral("Supervisor") : QStringLiteral("Operator");
    // The last hash is read inside the write transaction: another panel may
    // have appended since.
    if (!run(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("write")))
        return false;
    const QByteArray previous = lastHash();
    QSqlQuery insert(database());
    insert.prepare(QStringLiteral("INSERT INTO events (time, mode, kind, details, hash) "
                                  "VALUES (?, ?, ?, ?, ?)"));
    insert.addBindValue(time);
    insert.addBindValue(mode);
    insert.addBindValue(event.kind);
    // A null text would be stored as NULL.
    const QString details = event.details.isNull() ? QStringLiteral("") : event.details;
    insert.addBindValue(details);
    insert.addBindValue(rowHash(previous, time, mode, event.kind, details));
    if (!on || !run(insert, QStringLiteral("write"))
        || !run(QStringLiteral("COMMIT"), QStringLiteral("write"))) {
        database().rollback();
        return false;
    }
    ++keptRows;
    if ((keptRows > limits.rows || ++recordsSinceDrop >= recordsBetweenAgeChecks) && !dropOldRows())
        return false;
    emit recorded();
    return true;
}

// The newest row's hash; with no rows, the last dropped row's, else the start.
QByteArray HistoryStore::lastHash()
{
    QSqlQuery query(database());
    const QString read = QStringLiteral("read");
    if (run(query, read, QStringLiteral("SELECT hash FROM events ORDER BY id DESC LIMIT 1"))
        && query.next())
        return query.value(0).toByteArray();
    if (run(query, read, QStringLiteral("SELECT hash FROM dropped")) && query.next())
        return query.value(0).toByteArray();
    return firstPreviousHash();
}

// Drops the rows beyond the row limit and those older than the age limit,
// oldest first, and keeps the hash of the last one dropped.
bool HistoryStore::dropOldRows()
{
    recordsSinceDrop = 0;
    const QSqlDatabase db = database();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT max(id), (SELECT max(id) FROM events) FROM events "
                                 "WHERE time < ?"));
    query.addBindValue(QDateTime::currentMSecsSinceEpoch() - limits.days * msPerDay);
    if (!run(query, QStringLiteral("read")) || !query.next())
        return false;
    const qint64 lastTooOld = query.value(0).toLongLong();
    const qint64 newest = query.value(1).toLongLong();
    query.finish();
    if (newest == 0)
        return true; // empty; a NULL reads as 0
    const qint64 lastDropped = std::max(lastTooOld, newest - limits.rows);
    if (lastDropped <= 0)
        return true;
    query.prepare(
            QStringLiteral("SELECT id, hash FROM events WHERE id <= ? ORDER BY id DESC LIMIT 1"));
    query.addBindValue(lastDropped);
    if (!run(query, QStringLiteral("read")))
        return false;
    if (!query.next())
        return true; // dropped before
    const qint64 anchorId = query.value(0).toLongLong();
    const QByteArray anchorHash = query.value(1).toByteArray();
    query.finish();

    if (!run(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("drop old rows")))
        return false;
    QSqlQuery drop(db);
    drop.prepare(QStringLiteral("DELETE FROM events WHERE id <= ?"));
    drop.addBindValue(anchorId);
    QSqlQuery anchor(db);
    anchor.prepare(QStringLiteral("INSERT INTO dropped (last_id, hash) VALUES (?, ?)"));
    anchor.addBindValue(anchorId);
    anchor.addBindValue(anchorHash);
    if (!run(drop, QStringLiteral("drop old rows"))
        || !run(QStringLiteral("DELETE FROM dropped"), QStringLiteral("drop old rows"))
        || !run(anchor, QStringLiteral("drop old rows"))
        || !run(QStringLiteral("COMMIT"), QStringLiteral("drop old rows"))) {
        database().rollback();
        return false;
    }
    keptRows = newest - anchorId;
    return true;
}

bool HistoryStore::run(QSqlQuery &query, const QString &what, const QString &statement)
{
    const bool done = statement.isEmpty() ? query.exec() : query.exec(statement);
    if (!done)
        turnOff(QStringLiteral("cannot %1 %2: %3")
                        .arg(what, databasePath, query.lastError().text()));
    return done;
}

bool HistoryStore::run(const QString &statement, const QString &what)
{
    QSqlQuery query(database());
    return run(query, what, statement);
}

void HistoryStore::turnOff(const QString &reason)
{
    on = false;
    if (offReported)
        return;
    offReported = true;
    const QString text = QStringLiteral("History is off: ") + reason;
    qDebug().noquote() << text;
    emit turnedOff(text);
}
