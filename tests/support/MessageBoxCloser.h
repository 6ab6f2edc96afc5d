#ifndef MESSAGEBOXCLOSER_H
#define MESSAGEBOXCLOSER_H

#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <utility>

// Presses the default button of every modal message box that comes up while
// it lives, and keeps the texts the boxes showed, so that a test never hangs
// on one and can still check what the user was told.
class MessageBoxCloser
{
public:
    MessageBoxCloser()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            shown << box->text();
            QAbstractButton *button = box->defaultButton();
            if (button || !box->buttons().isEmpty())
                (button ? button : box->buttons().first())->click();
            else
                box->reject();
        });
        timer.start(10);
    }
    MessageBoxCloser(const MessageBoxCloser &) = delete;
    MessageBoxCloser &operator=(const MessageBoxCloser &) = delete;

    // The texts shown since the last call.
    QStringList takeTexts() { return std::exchange(shown, {}); }

private:
    QStringList shown;
    QTimer timer;
};

#endif // MESSAGEBOXCLOSER_H
