#include "AnsweringDialogs.h"

QVariant AnsweringDialogs::take(const QString &kind, const QString &title)
{
    questions << kind + QStringLiteral(": ") + title;
    return answers.isEmpty() ? QVariant() : answers.takeFirst();
}

QString AnsweringDialogs::saveFileName(QWidget *, const QString &caption, const QString &,
                                       const QString &)
{
    return take(QStringLiteral("save file"), caption).toString();
}

QString AnsweringDialogs::openFileName(QWidget *, const QString &caption, const QString &,
                                       const QString &)
{
    return take(QStringLiteral("open file"), caption).toString();
}

int AnsweringDialogs::getInt(QWidget *, const QString &title, const QString &, int value, int, int,
                             int, bool *accepted)
{
    const QVariant answer =
            take(QStringLiteral("number"), title + QStringLiteral(" = %1").arg(value));
    *accepted = answer.isValid();
    return answer.isValid() ? answer.toInt() : value;
}

QString AnsweringDialogs::getText(QWidget *, const QString &title, const QString &,
                                  QLineEdit::EchoMode, const QString &text, bool *accepted)
{
    const QVariant answer = take(QStringLiteral("text"), title);
    *accepted = answer.isValid();
    return answer.isValid() ? answer.toString() : text;
}
