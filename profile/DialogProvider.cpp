#include "DialogProvider.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

QString DialogProvider::saveFileName(QWidget *parent, const QString &caption,
                                     const QString &proposedName, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, proposedName, filter);
}

QString DialogProvider::openFileName(QWidget *parent, const QString &caption,
                                     const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

int DialogProvider::getInt(QWidget *parent, const QString &title, const QString &label, int value,
                           int minimum, int maximum, int step, bool *accepted)
{
    return QInputDialog::getInt(parent, title, label, value, minimum, maximum, step, accepted);
}

QString DialogProvider::getText(QWidget *parent, const QString &title, const QString &label,
                                QLineEdit::EchoMode echo, const QString &text, bool *accepted)
{
    return QInputDialog::getText(parent, title, label, echo, text, accepted);
}

int DialogProvider::choose(QWidget *parent, const QString &title, const QString &text,
                           const QStringList &choices, bool cancelByDefault)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, parent);
    QList<QPushButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    if (cancelByDefault || buttons.isEmpty())
        box.setDefaultButton(QMessageBox::Cancel);
    else
        box.setDefaultButton(buttons.first());
    box.exec();
    return buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
}
