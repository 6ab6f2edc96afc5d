#include "HistoryReader.h"

#include "HistoryStore.h"

#include <QDateTime>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

namespace {

QString uniqueConnectionName()
{
    static int opened = 0;
    return QStringLiteral("history-reader-%1").arg(++opened);
}

QString csvField(const QString &text)
{
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""))
            + QLatin1Char('"');
}

} // namespace

HistoryReader::HistoryReader(const QString &databasePath) : connection(uniqueConnectionName())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(databasePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=250"));
    db.open();
}

HistoryReader::~HistoryReader()
{
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
}

bool HistoryReader::isOpen() const
{
    return QSqlDatabase::database(connection, false).isOpen();
}

QString HistoryReader::errorString() const
{
    return QSqlDatabase::database(connection, false).lastError().text();
}

QSqlQuery HistoryReader::rows(const Filter &filter) const
{
    return select(filter, false);
}

QSqlQuery HistoryReader::select(const Filter &filter, bool forwardOnly) const
{
    QString where;
    QVariantList values;
    const auto require = [&](const QString &condition, const QVariant &value) {
        where += (where.isEmpty() ? QLatin1String(" WHERE ") : QLatin1String(" AND ")) + condition;
        values << value;
    };
    if (!filter.kind.isEmpty())
        require(QStringLiteral("kind = ?"), filter.kind);
    if (filter.from.isValid())
        require(QStringLiteral("time >= ?"),
                QDateTime(filter.from.startOfDay()).toMSecsSinceEpoch());
    if (filter.to.isValid())
        require(QStringLiteral("time < ?"),
                QDateTime(filter.to.addDays(1).startOfDay()).toMSecsSinceEpoch());

    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.setForwardOnly(forwardOnly);
    // Sorted by the column, not by the "Time" text (names ignore case): the
    // indexes give that order without sorting.
    query.prepare(QStringLiteral("SELECT strftime('%Y-%m-%d %H:%M:%S', time / 1000, 'unixepoch', "
                                 "'localtime') AS Time, mode AS Mode, kind AS Kind, "
                                 "details AS Details FROM events")
                  + where + QStringLiteral(" ORDER BY events.time DESC, events.id DESC"));
    for (const QVariant &value : qAsConst(values))
        query.addBindValue(value);
    query.exec();
    return query;
}

bool HistoryReader::exportCsv(const Filter &filter, const QString &fileName) const
{
    QSqlQuery query = select(filter, true);
    if (!query.isActive())
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The byte order mark tells spreadsheets the text is UTF-8; RFC 4180
    // ends lines with CR LF.
    QByteArray text = "\xEF\xBB\xBF\"Time\",\"Mode\",\"Kind\",\"Details\"\r\n";
    while (query.next()) {
        QStringList fields;
        for (int column = 0; column < 4; ++column)
            fields << csvField(query.value(column).toString());
        text += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    // Qt 5's commit() ignores a failed final flush: checked here.
    return query.lastError().type() == QSqlError::NoError && file.write(text) == text.size()
            && file.flush() && file.commit();
}

HistoryReader::Check HistoryReader::check() const
{
    Check check;
    const QSqlDatabase db = QSqlDatabase::database(connection, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QByteArray previous = HistoryStore::firstPreviousHash();
    qint64 expectedId = 1;
    if (query.exec(QStringLiteral("SELECT last_id, hash FROM dropped")) && query.next()) {
        expectedId = query.value(0).toLongLong() + 1;
        previous = query.value(1).toByteArray();
    }
    if (!query.exec(QStringLiteral("SELECT id, time, mode, kind, details, hash FROM events "
                                   "ORDER BY id"))) {
        check.error = query.lastError().text();
        return check;
    }
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        const qint64 time = query.value(1).toLongLong();
        const QByteArray hash = query.value(5).toByteArray();
        // A gap in the numbers is a row removed; its successor's hash shows
        // it too, unless the rows after it were all rewritten.
        if (id != expectedId
            || hash
                    != HistoryStore::rowHash(previous, time, query.value(2).toString(),
                                             query.value(3).toString(),
                                             query.value(4).toString())) {
            check.brokenRow = id;
            check.brokenTime = QDateTime::fromMSecsSinceEpoch(time).toString(
                    QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            return check;
        }
        ++check.rowsChecked;
        previous = hash;
        expectedId = id + 1;
    }
    if (query.lastError().type() != QSqlError::NoError)
        check.error = query.lastError().text();
    return check;
}

QString HistoryReader::Check::text() const
{
    if (!error.isEmpty())
        return QStringLiteral("The history could not be read: %1").arg(error);
    if (brokenRow >= 0)
        return QStringLiteral("The history was changed: the chain breaks at row %1 (%2), after "
                              "%3 intact rows.")
                .arg(brokenRow)
                .arg(brokenTime)
                .arg(rowsChecked);
    return QStringLiteral("The history is intact: %1 rows checked.").arg(rowsChecked);
}
