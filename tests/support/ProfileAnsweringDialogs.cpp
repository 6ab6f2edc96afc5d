#include "ProfileAnsweringDialogs.h"

void ProfileAnsweringDialogs::addToLastQuestion(const QStringList &details)
{
    questions.last() += QStringLiteral(" | ") + details.join(QStringLiteral(" | "));
}

QString ProfileAnsweringDialogs::saveFileName(QWidget *parent, const QString &caption,
                                              const QString &proposedName, const QString &filter)
{
    const QString answer = AnsweringDialogs::saveFileName(parent, caption, proposedName, filter);
    addToLastQuestion({proposedName, filter});
    return answer;
}

QString ProfileAnsweringDialogs::openFileName(QWidget *parent, const QString &caption,
                                              const QString &directory, const QString &filter)
{
    const QString answer = AnsweringDialogs::openFileName(parent, caption, directory, filter);
    addToLastQuestion({directory, filter});
    return answer;
}

int ProfileAnsweringDialogs::getInt(QWidget *parent, const QString &title, const QString &label,
                                    int value, int minimum, int maximum, int step, bool *accepted)
{
    const int answer =
        AnsweringDialogs::getInt(parent, title, label, value, minimum, maximum, step, accepted);
    addToLastQuestion(
        {label, QStringLiteral("%1 in %2..%3 step %4").arg(value).arg(minimum).arg(maximum).arg(step)});
    return answer;
}

QString ProfileAnsweringDialogs::getText(QWidget *parent, const QString &title,
                                         const QString &label, QLineEdit::EchoMode echo,
                                         const QString &text, bool *accepted)
{
    const QString answer = AnsweringDialogs::getText(parent, title, label, echo, text, accepted);
    addToLastQuestion(
        {label, text, echo == QLineEdit::Normal ? QStringLiteral("shown") : QStringLiteral("hidden")});
    return answer;
}
