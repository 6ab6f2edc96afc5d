#ifndef DIALOGPROVIDER_H
#define DIALOGPROVIDER_H

#include <QLineEdit>
#include <QString>
#include <QStringList>

class QWidget;

// The file and input dialogs the profile and job actions ask the user with.
// This class shows Qt's standard dialogs; a test derives from it to answer
// without a person.
class DialogProvider
{
public:
    virtual ~DialogProvider() = default;

    // Each returns an empty name when the user cancels.
    virtual QString saveFileName(QWidget *parent, const QString &caption,
                                 const QString &proposedName, const QString &filter);
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                                 const QString &filter);

    // Each sets *accepted to false when the user cancels.
    virtual int getInt(QWidget *parent, const QString &title, const QString &label, int value,
                       int minimum, int maximum, int step, bool *accepted);
    virtual QString getText(QWidget *parent, const QString &title, const QString &label,
                            QLineEdit::EchoMode echo, const QString &text, bool *accepted);

    // A question answered with one of `choices` or Cancel: the index of the
    // choice, or -1 for Cancel. Enter picks the first choice, or Cancel when
    // `cancelByDefault` (the choices would replace something).
    virtual int choose(QWidget *parent, const QString &title, const QString &text,
                       const QStringList &choices, bool cancelByDefault);
};

#endif // DIALOGPROVIDER_H
