#include "HistoryDock.h"

#include "DialogProvider.h"
#include "HistoryEvents.h"
#include "HistoryStore.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int newRowsDelayMs = 250;
// The dates' lowest value stands for "no limit".
const QDate noLimit(2000, 1, 1);

QDateEdit *dateEdit(const char *objectName)
{
    auto *edit = new QDateEdit;
    edit->setObjectName(QLatin1String(objectName));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setMinimumDate(noLimit);
    edit->setSpecialValueText(QStringLiteral("any"));
    edit->setDate(noLimit);
    return edit;
}

} // namespace

HistoryDock::HistoryDock(HistoryStore &store, std::function<DialogProvider &()> dialogs,
                         QWidget *parent)
    : QDockWidget(QStringLiteral("History"), parent),
      store(store),
      dialogs(std::move(dialogs)),
      model(new QSqlQueryModel(this)),
      table(new QTableView),
      kind(new QComboBox),
      from(dateEdit("historyFrom")),
      to(dateEdit("historyTo")),
      result(new QLabel),
      newRows(new QTimer(this))
{
    setObjectName(QStringLiteral("historyDock"));
    table->setObjectName(QStringLiteral("historyTable"));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);

    kind->setObjectName(QStringLiteral("historyKind"));
    kind->addItem(QStringLiteral("All kinds"));
    for (const char *name : HistoryKind::all)
        kind->addItem(QLatin1String(name));
    connect(kind, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &HistoryDock::showRows);
    connect(from, &QDateEdit::dateChanged, this, &HistoryDock::showRows);
    connect(to, &QDateEdit::dateChanged, this, &HistoryDock::showRows);

    auto *exportButton = new QPushButton(QStringLiteral("Export CSV…"));
    exportButton->setObjectName(QStringLiteral("historyExportButton"));
    auto *checkButton = new QPushButton(QStringLiteral("Check History"));
    checkButton->setObjectName(QStringLiteral("historyCheckButton"));
    connect(exportButton, &QPushButton::clicked, this, &HistoryDock::exportRows);
    connect(checkButton, &QPushButton::clicked, this, &HistoryDock::checkChain);
    result->setObjectName(QStringLiteral("historyCheckResult"));
    result->setWordWrap(true);

    auto *filters = new QHBoxLayout;
    filters->addWidget(kind);
    filters->addWidget(new QLabel(QStringLiteral("from")));
    filters->addWidget(from);
    filters->addWidget(new QLabel(QStringLiteral("to")));
    filters->addWidget(to);
    filters->addStretch();
    filters->addWidget(exportButton);
    filters->addWidget(checkButton);
    auto *contents = new QWidget;
    auto *layout = new QVBoxLayout(contents);
    layout->addLayout(filters);
    layout->addWidget(table);
    layout->addWidget(result);
    setWidget(contents);

    newRows->setSingleShot(true);
    newRows->setInterval(newRowsDelayMs);
    connect(newRows, &QTimer::timeout, this, &HistoryDock::showRows);
    connect(&store, &HistoryStore::recorded, newRows, [this] {
        if (reader)
            newRows->start();
    });
}

HistoryDock::~HistoryDock()
{
    closeReader();
}

// The model's query must go before its connection: a cleared model still
// holds an empty query of that connection's driver.
void HistoryDock::closeReader()
{
    model->setQuery(QSqlQuery());
    reader.reset();
}

void HistoryDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    reader = std::make_unique<HistoryReader>(store.path());
    showRows();
}

// Closed, it holds no connection, so the database is free for others.
void HistoryDock::hideEvent(QHideEvent *event)
{
    newRows->stop();
    closeReader();
    QDockWidget::hideEvent(event);
}

HistoryReader::Filter HistoryDock::filter() const
{
    HistoryReader::Filter rows;
    if (kind->currentIndex() > 0)
        rows.kind = kind->currentText();
    if (from->date() != noLimit)
        rows.from = from->date();
    if (to->date() != noLimit)
        rows.to = to->date();
    return rows;
}

void HistoryDock::showRows()
{
    if (!reader)
        return;
    model->setQuery(reader->rows(filter()));
    if (model->lastError().isValid())
        result->setText(
                QStringLiteral("The history cannot be read: %1").arg(model->lastError().text()));
    for (int column = 0; column < 3; ++column) // time, mode, kind; the details take the rest
        table->resizeColumnToContents(column);
}

void HistoryDock::exportRows()
{
    if (!reader)
        return;
    const QString fileName =
            dialogs().saveFileName(this, QStringLiteral("Export History"),
                                   QStringLiteral("history.csv"), QStringLiteral("CSV (*.csv)"));
    if (!fileName.isEmpty() && !reader->exportCsv(filter(), fileName))
        QMessageBox::critical(this, QStringLiteral("File Error"),
                              QStringLiteral("Error writing to file. Please try again later."),
                              QMessageBox::Ok);
}

// A million rows take a second or two.
void HistoryDock::checkChain()
{
    if (!reader)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const HistoryReader::Check check = reader->check();
    QApplication::restoreOverrideCursor();
    result->setText(check.text());
    result->setStyleSheet(check.brokenRow >= 0 || !check.error.isEmpty()
                                  ? QStringLiteral("color: red;")
                                  : QString());
}
