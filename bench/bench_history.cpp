// Fills a history of 1,000,000 rows (one a minute, the kinds in turn, the
// chain computed) in a data folder of its own, then times what a user waits
// for in the History dock: opening it, filtering by kind and by dates, and
// checking the chain.
//
// Usage: bench_history [rows] [runs]   (default 1000000 rows, 5 runs)
#include "BenchWindow.h"
#include "HistoryEvents.h"
#include "HistoryStore.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

bool fill(qint64 rows)
{
    {
        HistoryStore store;
        if (!store.open())
            return false;
    }
    bool filled = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "filler");
        db.setDatabaseName(HistoryStore::defaultPath());
        if (!db.open() || !db.transaction())
            return false;
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral(
                "INSERT INTO events (time, mode, kind, details, hash) VALUES (?, ?, ?, ?, ?)"));
        const qint64 minute = 60 * 1000;
        const qint64 first = QDateTime::currentMSecsSinceEpoch() - rows * minute;
        QByteArray previous = HistoryStore::firstPreviousHash();
        const QString mode = QStringLiteral("Supervisor");
        filled = true;
        for (qint64 row = 0; row < rows && filled; ++row) {
            const qint64 time = first + row * minute;
            const QString kind =
                    QLatin1String(HistoryKind::all[row % qint64(std::size(HistoryKind::all))]);
            const QString details = QStringLiteral("cell %1, time 0.25 s (was 0.2 s), pressure "
                                                   "30.5 kPa (unchanged); ok")
                                            .arg(row % 400);
            previous = HistoryStore::rowHash(previous, time, mode, kind, details);
            insert.addBindValue(time);
            insert.addBindValue(mode);
            insert.addBindValue(kind);
            insert.addBindValue(details);
            insert.addBindValue(previous);
            filled = insert.exec();
        }
        filled = filled && db.commit();
    }
    QSqlDatabase::removeDatabase("filler");
    return filled;
}

double msSince(const QElapsedTimer &clock)
{
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    const HeadlessRun headless;
    QApplication app(argc, argv);
    AppSettings::identifyProgram();
    const qint64 rows = argc > 1 ? std::max(1LL, QByteArray(argv[1]).toLongLong()) : 1000000;
    const int runs = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 5;

    QElapsedTimer clock;
    clock.start();
    if (!fill(rows)) {
        std::fprintf(stderr, "could not fill the history\n");
        return 1;
    }
    std::printf("History of %lld rows filled in %.1f s\n", static_cast<long long>(rows),
                msSince(clock) / 1000);

    MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    auto *toggle = window.findChild<QAction *>(QStringLiteral("actionHistory"));
    auto *kind = window.findChild<QComboBox *>(QStringLiteral("historyKind"));
    auto *from = window.findChild<QDateEdit *>(QStringLiteral("historyFrom"));
    auto *table = window.findChild<QTableView *>(QStringLiteral("historyTable"));

    // Each step ends painted: the event loop has run after it.
    const auto timed = [&](const std::function<void()> &step) {
        clock.restart();
        step();
        QCoreApplication::processEvents();
        return msSince(clock);
    };
    std::printf("%4s %10s %10s %12s %12s %10s\n", "run", "open_ms", "kind_ms", "kind+date_ms",
                "all_kinds_ms", "rows_shown");
    for (int run = 1; run <= runs; ++run) {
        const double open = timed([&] { toggle->trigger(); });
        const double byKind = timed([&] { kind->setCurrentIndex(1 + run % 19); });
        const double byDate = timed([&] { from->setDate(QDate::currentDate().addDays(-30)); });
        const int shown = table->model()->rowCount();
        const double all = timed([&] {
            from->setDate(from->minimumDate());
            kind->setCurrentIndex(0);
        });
        std::printf("%4d %10.1f %10.1f %12.1f %12.1f %10d\n", run, open, byKind, byDate, all,
                    shown);
        toggle->trigger();
        QCoreApplication::processEvents();
    }

    toggle->trigger();
    const double check = timed([&] {
        window.findChild<QPushButton *>(QStringLiteral("historyCheckButton"))->click();
    });
    std::printf(
            "Check History: %.0f ms: %s\n", check,
            qPrintable(window.findChild<QLabel *>(QStringLiteral("historyCheckResult"))->text()));
    return 0;
}
