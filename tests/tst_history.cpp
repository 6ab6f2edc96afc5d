// The history store and its reader, without a window: rows in and out, the
// filters, the CSV export, the hash chain, the limits, and databases that
// cannot be used.
#include "DebugCapture.h"
#include "HistoryEvents.h"
#include "HistoryReader.h"
#include "HistoryStore.h"

#include <QtSql>
#include <QtTest>

#include <sys/fsuid.h>
#include <sys/stat.h>

using Alteration = std::function<void(QSqlQuery &)>;
Q_DECLARE_METATYPE(Alteration)
Q_DECLARE_METATYPE(HistoryReader::Filter)

namespace {

QStringList kindsOf(QSqlQuery query)
{
    QStringList kinds;
    while (query.next())
        kinds << query.value(1).toString() + ' ' + query.value(2).toString();
    return kinds;
}

// Runs statements on the database beside the store, as someone editing it would.
void edit(const QString &path, const std::function<void(QSqlQuery &)> &change)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "editor");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        change(query);
    }
    QSqlDatabase::removeDatabase("editor");
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QString path;

    // Five rows: two in Operator mode, three in Supervisor mode.
    void recordFive(HistoryStore &store)
    {
        QVERIFY(store.open());
        QVERIFY(store.record(HistoryEvents::connected("COM4", 115200)));
        QVERIFY(store.record(HistoryEvents::wrongPassword()));
        store.setSupervisor(true);
        QVERIFY(store.record(HistoryEvents::supervisorEntered()));
        QVERIFY(store.record({ HistoryKind::send, "time 0.3 s (was 0.25 s), \"quoted\"; ok" }));
        QVERIFY(store.record(HistoryEvents::supervisorLeft(15)));
    }

private slots:
    void init()
    {
        path = folder.filePath(QStringLiteral("%1 %2.sqlite")
                                       .arg(QTest::currentTestFunction(), QTest::currentDataTag()));
    }

    void rowsNewestFirst_data()
    {
        QTest::addColumn<HistoryReader::Filter>("filter");
        QTest::addColumn<QStringList>("rows");
        const QDate today = QDate::currentDate();
        QTest::newRow("all") << HistoryReader::Filter()
                             << QStringList { "Supervisor Supervisor mode left", "Supervisor Send",
                                              "Supervisor Supervisor mode entered",
                                              "Operator Wrong password", "Operator Connect" };
        QTest::newRow("by kind") << HistoryReader::Filter { "Send", {}, {} }
                                 << QStringList { "Supervisor Send" };
        QTest::newRow("today") << HistoryReader::Filter { "Connect", today, today }
                               << QStringList { "Operator Connect" };
        QTest::newRow("before today")
                << HistoryReader::Filter { {}, {}, today.addDays(-1) } << QStringList();
        QTest::newRow("after today")
                << HistoryReader::Filter { {}, today.addDays(1), {} } << QStringList();
    }

    void rowsNewestFirst()
    {
        QFETCH(HistoryReader::Filter, filter);
        QFETCH(QStringList, rows);
        HistoryStore store(path);
        recordFive(store);
        HistoryReader reader(path);
        QCOMPARE(kindsOf(reader.rows(filter)), rows);
    }

    void exportsCsv()
    {
        HistoryStore store(path);
        recordFive(store);
        HistoryReader reader(path);
        const QString csv = folder.filePath("history.csv");
        QVERIFY(reader.exportCsv({ "Send", {}, {} }, csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBF\"Time\",\"Mode\",\"Kind\",\"Details\"\r"));
        QVERIFY(lines[1].endsWith(
                "\",\"Supervisor\",\"Send\",\"time 0.3 s (was 0.25 s), \"\"quoted\"\"; ok\"\r"));
    }

    void chainCheck_data()
    {
        QTest::addColumn<Alteration>("alteration");
        QTest::addColumn<qint64>("brokenRow");
        QTest::addColumn<qint64>("rowsChecked");
        QTest::newRow("intact") << Alteration([](QSqlQuery &) {}) << qint64(-1) << qint64(5);
        QTest::newRow("details edited") << Alteration([](QSqlQuery &q) {
            QVERIFY(q.exec("UPDATE events SET details = 'by nobody' WHERE id = 5"));
        }) << qint64(5) << qint64(4);
        QTest::newRow("mode edited") << Alteration([](QSqlQuery &q) {
            QVERIFY(q.exec("UPDATE events SET mode = 'Supervisor' WHERE id = 2"));
        }) << qint64(2) << qint64(1);
        QTest::newRow("kind edited") << Alteration([](QSqlQuery &q) {
            QVERIFY(q.exec("UPDATE events SET kind = 'Get' WHERE id = 4"));
        }) << qint64(4) << qint64(3);
        QTest::newRow("middle row deleted") << Alteration([](QSqlQuery &q) {
            QVERIFY(q.exec("DELETE FROM events WHERE id = 3"));
        }) << qint64(4) << qint64(2);
        QTest::newRow("first row deleted") << Alteration([](QSqlQuery &q) {
            QVERIFY(q.exec("DELETE FROM events WHERE id = 1"));
        }) << qint64(2) << qint64(0);
        // Its own hash made to fit: the next row still points to the old one.
        QTest::newRow("row and its hash rewritten") << Alteration([](QSqlQuery &q) {
            QVERIFY(q.exec("SELECT hash, time, mode, kind FROM events WHERE id = 2") && q.next());
            const QByteArray hash =
                    HistoryStore::rowHash(q.value(0).toByteArray(), q.value(1).toLongLong(),
                                          q.value(2).toString(), q.value(3).toString(), "forged");
            q.prepare("UPDATE events SET details = 'forged', hash = ? WHERE id = 3");
            q.addBindValue(hash);
            QVERIFY(q.exec());
        }) << qint64(3) << qint64(2);
    }

    void chainCheck()
    {
        QFETCH(Alteration, alteration);
        QFETCH(qint64, brokenRow);
        QFETCH(qint64, rowsChecked);
        {
            HistoryStore store(path);
            recordFive(store);
        }
        edit(path, alteration);
        const HistoryReader::Check check = HistoryReader(path).check();
        QCOMPARE(check.brokenRow, brokenRow);
        QCOMPARE(check.rowsChecked, rowsChecked);
        QCOMPARE(check.text().startsWith("The history is intact"), brokenRow < 0);
    }

    // Beyond the row limit and the age limit the oldest rows go; the chain
    // then starts at the first row kept, from the hash of the last dropped.
    void dropsTheOldestRows()
    {
        {
            HistoryStore store(path, { 3, 730 });
            recordFive(store);
        }
        HistoryReader reader(path);
        QCOMPARE(kindsOf(reader.rows({})).size(), 3);
        QCOMPARE(reader.check().rowsChecked, 3);
        QCOMPARE(reader.check().brokenRow, -1);

        edit(path, [](QSqlQuery &q) {
            q.prepare("UPDATE events SET time = time - ? WHERE id = 3");
            q.addBindValue(qint64(731) * 24 * 3600 * 1000);
            QVERIFY(q.exec());
        });
        HistoryStore reopened(path);
        QVERIFY(reopened.open());
        QCOMPARE(kindsOf(reader.rows({})),
                 QStringList({ "Supervisor Supervisor mode left", "Supervisor Send" }));
        QCOMPARE(reader.check().brokenRow, -1);
        edit(path, [](QSqlQuery &q) { QVERIFY(q.exec("DELETE FROM events WHERE id = 4")); });
        QCOMPARE(reader.check().brokenRow, 5);
    }

    // A database that cannot be used is reported once and the store goes on
    // without it.
    void unusableDatabase_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("opens");
        QTest::newRow("corrupt") << "corrupt" << false;
        QTest::newRow("folder read-only") << "read-only" << false;
        QTest::newRow("locked by another") << "locked" << true;
    }

    void unusableDatabase()
    {
        QFETCH(QString, state);
        QFETCH(bool, opens);
        QTemporaryDir place;
        const QString file = place.filePath("history.sqlite");
        QSqlDatabase locker;
        if (state == "corrupt") {
            QFile garbage(file);
            QVERIFY(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(8192, '\x5a'));
        } else if (state == "locked") {
            HistoryStore(file).open();
            locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
            locker.setDatabaseName(file);
            QVERIFY(locker.open());
            QVERIFY(QSqlQuery(locker).exec("BEGIN EXCLUSIVE"));
        }
        // Root passes every permission: the store runs with an ordinary user's.
        QCOMPARE(chmod(QFile::encodeName(place.path()).constData(),
                       state == "read-only" ? 0555 : 0777),
                 0);
        const uid_t previous = uid_t(setfsuid(65534));
        DebugCapture debug;
        {
            HistoryStore store(file);
            QSignalSpy turnedOff(&store, &HistoryStore::turnedOff);
            QCOMPARE(store.open(), opens);
            QVERIFY(!store.record(HistoryEvents::wrongPassword()));
            QVERIFY(!store.record(HistoryEvents::wrongPassword()));
            QCOMPARE(turnedOff.count(), 1);
            QVERIFY(turnedOff.first().first().toString().contains(file));
            QVERIFY(!store.isOn());
        }
        setfsuid(previous);
        chmod(QFile::encodeName(place.path()).constData(), 0755);
        QCOMPARE(debug.lines().filter("History is off: ").size(), 1);
        if (locker.isValid()) {
            locker.close();
            locker = QSqlDatabase();
            QSqlDatabase::removeDatabase("locker");
        }
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
