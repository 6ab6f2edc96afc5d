#ifndef COMMUNICATIONLOGMODEL_H
#define COMMUNICATIONLOGMODEL_H

#include "CommunicationLog.h"

#include <QAbstractListModel>

#include <deque>

// The lines of the communication log a view shows, one row each. A row is
// only a line's number: its text is made when the view paints it, so a
// transmission's thousands of lines cost a view only the rows in sight.
class CommunicationLogModel : public QAbstractListModel
{
public:
    explicit CommunicationLogModel(const CommunicationLog &log, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The lines shown: packets only or everything, and a filter text.
    void setView(const CommunicationLog::View &view);
    // Adds the lines recorded since, and drops those the log no longer keeps.
    void update();

private:
    const CommunicationLog &log;
    CommunicationLog::View view;
    std::deque<qint64> rows;
    qint64 seen = 0;
};

#endif // COMMUNICATIONLOGMODEL_H
