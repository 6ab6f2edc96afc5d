#ifndef DELEGATETABLETIME_H
#define DELEGATETABLETIME_H

#include <QStyledItemDelegate>

// Cell editor of the profile table: a frameless spin box with the column's
// limits and precision; its step is one unit of the last decimal.
class DelegateTableTime : public QStyledItemDelegate
{
    Q_OBJECT

public:
    DelegateTableTime(double minimum, double maximum, int decimals, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    double minimum;
    double maximum;
    int decimals;
};

#endif // DELEGATETABLETIME_H
