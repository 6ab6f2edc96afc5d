#include "CommunicationLogModel.h"

CommunicationLogModel::CommunicationLogModel(const CommunicationLog &log, QObject *parent)
    : QAbstractListModel(parent), log(log)
{
    view.sessionBytes = false;
}

int CommunicationLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

QVariant CommunicationLogModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= rowCount())
        return QVariant();
    return log.line(rows[std::size_t(index.row())]);
}

void CommunicationLogModel::setView(const CommunicationLog::View &newView)
{
    beginResetModel();
    view = newView;
    rows.clear();
    seen = log.firstKept();
    endResetModel();
    update();
}

void CommunicationLogModel::update()
{
    int gone = 0;
    while (gone < int(rows.size()) && rows[std::size_t(gone)] < log.firstKept())
        ++gone;
    if (gone > 0) {
        beginRemoveRows(QModelIndex(), 0, gone - 1);
        rows.erase(rows.begin(), rows.begin() + gone);
        endRemoveRows();
    }
    std::deque<qint64> added;
    for (qint64 number = std::max(seen, log.firstKept()); number < log.appendedCount(); ++number) {
        if (log.shows(number, view))
            added.push_back(number);
    }
    seen = log.appendedCount();
    if (added.empty())
        return;
    beginInsertRows(QModelIndex(), int(rows.size()), int(rows.size() + added.size()) - 1);
    rows.insert(rows.end(), added.begin(), added.end());
    endInsertRows();
}
