#ifndef COMPARISONDIALOG_H
#define COMPARISONDIALOG_H

#include "ProfileComparison.h"

#include <QDialog>

#include <functional>

class DialogProvider;

// A profile file compared with the Pelidor 7, side by side: each differing
// value with its cell, field, the file's value and the dispenser's, and the
// outcome above them; the differences can be saved as comma-separated text.
class ComparisonDialog : public QDialog
{
    Q_OBJECT

public:
    // `dialogs` gives the dialog that asks for the file to save to.
    ComparisonDialog(const QString &fileName, ProfileComparison::Result result,
                     std::function<DialogProvider &()> dialogs, QWidget *parent);

private:
    void saveCsv();

    ProfileComparison::Result result;
    std::function<DialogProvider &()> dialogs;
};

#endif // COMPARISONDIALOG_H
