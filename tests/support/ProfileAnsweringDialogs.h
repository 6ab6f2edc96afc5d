#ifndef PROFILEANSWERINGDIALOGS_H
#define PROFILEANSWERINGDIALOGS_H

#include "AnsweringDialogs.h"

// AnsweringDialogs that keeps everything each question showed, after its
// kind and title: labels, proposals, filters, ranges, as in
// "number: Select Job Number | Select job number to save to: | 1 in 0..100 step 1".
class ProfileAnsweringDialogs : public AnsweringDialogs
{
public:
    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                         const QString &filter) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                         const QString &filter) override;
    int getInt(QWidget *parent, const QString &title, const QString &label, int value,
               int minimum, int maximum, int step, bool *accepted) override;
    QString getText(QWidget *parent, const QString &title, const QString &label,
                    QLineEdit::EchoMode echo, const QString &text, bool *accepted) override;

private:
    void addToLastQuestion(const QStringList &details);
};

#endif // PROFILEANSWERINGDIALOGS_H
