#ifndef MESSAGEBOXCLOSER_H
#define MESSAGEBOXCLOSER_H

#include <QStringList>
#include <QTimer>

// Presses the default button of every modal message box that comes up while
// it lives, and keeps the texts the boxes showed, so that a test never hangs
// on one and can still check what the user was told.
class MessageBoxCloser
{
public:
    MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser &) = delete;
    MessageBoxCloser &operator=(const MessageBoxCloser &) = delete;

    QStringList texts() const { return shown; }

private:
    void closeActiveBox();

    QStringList shown;
    QTimer timer;
};

#endif // MESSAGEBOXCLOSER_H
