#ifndef HISTORYDOCK_H
#define HISTORYDOCK_H

#include "HistoryReader.h"

#include <QDockWidget>

#include <functional>
#include <memory>

class DialogProvider;
class HistoryStore;
class QComboBox;
class QDateEdit;
class QLabel;
class QSqlQueryModel;
class QTableView;
class QTimer;

// View -> History: the history's rows newest first, filtered by kind and by
// dates, exported as CSV, and its chain checked. It reads only while shown,
// on a connection of its own, and fetches rows as they are scrolled to; rows
// recorded meanwhile are added a moment later.
class HistoryDock : public QDockWidget
{
    Q_OBJECT

public:
    // `dialogs` gives the dialog that asks for the file to export to.
    HistoryDock(HistoryStore &store, std::function<DialogProvider &()> dialogs, QWidget *parent);
    ~HistoryDock() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void closeReader();
    HistoryReader::Filter filter() const;
    void showRows();
    void exportRows();
    void checkChain();

    HistoryStore &store;
    std::function<DialogProvider &()> dialogs;
    std::unique_ptr<HistoryReader> reader;
    QSqlQueryModel *model;
    QTableView *table;
    QComboBox *kind;
    QDateEdit *from;
    QDateEdit *to;
    QLabel *result;
    QTimer *newRows;
};

#endif // HISTORYDOCK_H
