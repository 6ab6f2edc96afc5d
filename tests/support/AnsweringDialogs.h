#ifndef ANSWERINGDIALOGS_H
#define ANSWERINGDIALOGS_H

#include "DialogProvider.h"

#include <QStringList>
#include <QVariantList>

// Answers the window's file and input dialogs from a list prepared by the
// test, in order, as a user would fill them in; an answer missing from the
// list counts as Cancel. Each question asked is kept as "kind: title", a
// number's with the value proposed ("number: Select Job Number = 1"), a
// choice's with its question; a choice is answered with its index.
class AnsweringDialogs : public DialogProvider
{
public:
    QVariantList answers;
    QStringList questions;

    QString saveFileName(QWidget *, const QString &caption, const QString &,
                         const QString &) override
    {
        return take("save file: " + caption).toString();
    }
    QString openFileName(QWidget *, const QString &caption, const QString &,
                         const QString &) override
    {
        return take("open file: " + caption).toString();
    }
    int getInt(QWidget *, const QString &title, const QString &, int value, int, int, int,
               bool *accepted) override
    {
        const QVariant answer = take(QStringLiteral("number: %1 = %2").arg(title).arg(value));
        *accepted = answer.isValid();
        return answer.isValid() ? answer.toInt() : value;
    }
    QString getText(QWidget *, const QString &title, const QString &, QLineEdit::EchoMode,
                    const QString &text, bool *accepted) override
    {
        const QVariant answer = take("text: " + title);
        *accepted = answer.isValid();
        return answer.isValid() ? answer.toString() : text;
    }

    int choose(QWidget *, const QString &title, const QString &text, const QStringList &,
               bool) override
    {
        const QVariant answer = take("choice: " + title + ": " + text);
        return answer.isValid() ? answer.toInt() : -1;
    }

private:
    // The next answer, or an invalid QVariant when none is left.
    QVariant take(const QString &question)
    {
        questions << question;
        return answers.isEmpty() ? QVariant() : answers.takeFirst();
    }
};

#endif // ANSWERINGDIALOGS_H
