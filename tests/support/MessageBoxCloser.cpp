#include "MessageBoxCloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

MessageBoxCloser::MessageBoxCloser()
{
    QObject::connect(&timer, &QTimer::timeout, [this] { closeActiveBox(); });
    timer.start(10);
}

void MessageBoxCloser::closeActiveBox()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    shown << box->text();
    QAbstractButton *button = box->defaultButton();
    if (!button && !box->buttons().isEmpty())
        button = box->buttons().first();
    if (button)
        button->click();
    else
        box->reject();
}
