#include "DelegateTableTime.h"

#include <QDoubleSpinBox>

DelegateTableTime::DelegateTableTime(double minimum, double maximum, int decimals, QObject *parent)
    : QStyledItemDelegate(parent), minimum(minimum), maximum(maximum), decimals(decimals)
{ }

QWidget *DelegateTableTime::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &) const
{
    auto *spinBox = new QDoubleSpinBox(parent);
    spinBox->setFrame(false);
    // Range before decimals: the spin box rounds its range to the decimals.
    spinBox->setMinimum(minimum);
    spinBox->setMaximum(maximum);
    spinBox->setDecimals(decimals);
    spinBox->setAccelerated(true);
    double step = 1.0;
    for (int i = 0; i < decimals; ++i)
        step /= 10.0;
    spinBox->setSingleStep(step);
    return spinBox;
}

void DelegateTableTime::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *spinBox = static_cast<QDoubleSpinBox *>(editor);
    spinBox->setValue(index.model()->data(index, Qt::EditRole).toDouble());
}

void DelegateTableTime::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    auto *spinBox = static_cast<QDoubleSpinBox *>(editor);
    spinBox->interpretText();
    model->setData(index, QVariant(spinBox->value()), Qt::EditRole);
}

void DelegateTableTime::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                             const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
