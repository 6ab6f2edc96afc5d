#ifndef ANSWERINGDIALOGS_H
#define ANSWERINGDIALOGS_H

#include "DialogProvider.h"

#include <QStringList>
#include <QVariantList>

// Answers the window's file and input dialogs from a list prepared by the
// test, in order, as a user would fill them in; an answer missing from the
// list counts as Cancel. Each question asked is kept as "kind: title", a
// number's with the value proposed ("number: Select Job Number = 1").
//
//     AnsweringDialogs dialogs;
//     window.setDialogProvider(&dialogs);
//     dialogs.answers = {QStringLiteral("/tmp/profile.csv")};
//     saveProfileAction->trigger();
class AnsweringDialogs : public DialogProvider
{
public:
    QVariantList answers;
    QStringList questions;

    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                         const QString &filter) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                         const QString &filter) override;
    int getInt(QWidget *parent, const QString &title, const QString &label, int value, int minimum,
               int maximum, int step, bool *accepted) override;
    QString getText(QWidget *parent, const QString &title, const QString &label,
                    QLineEdit::EchoMode echo, const QString &text, bool *accepted) override;

private:
    // The next answer, or an invalid QVariant when none is left.
    QVariant take(const QString &kind, const QString &title);
};

#endif // ANSWERINGDIALOGS_H
