#include "ComparisonDialog.h"

#include "DialogProvider.h"
#include "ProfileCellCheck.h"
#include "ProfileFile.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

ComparisonDialog::ComparisonDialog(const QString &fileName, ProfileComparison::Result compared,
                                   std::function<DialogProvider &()> dialogs, QWidget *parent)
    : QDialog(parent), result(std::move(compared)), dialogs(std::move(dialogs))
{
    setObjectName(QStringLiteral("comparisonDialog"));
    setWindowTitle(QStringLiteral("Compare File with Pelidor 7"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *outcome =
            new QLabel(QFileInfo(fileName).fileName() + QStringLiteral(": ") + result.summary());
    outcome->setObjectName(QStringLiteral("comparisonSummary"));
    outcome->setWordWrap(true);

    auto *table = new QTableWidget(result.differences.size(), 4);
    table->setObjectName(QStringLiteral("comparisonTable"));
    table->setHorizontalHeaderLabels({ QStringLiteral("Mem Cell"), QStringLiteral("Field"),
                                       QStringLiteral("File"), QStringLiteral("Pelidor 7") });
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < result.differences.size(); ++row) {
        const ProfileComparison::Difference &difference = result.differences[row];
        const QStringList texts = { QString::number(difference.cell),
                                    ProfileCellCheck::columnName(difference.column),
                                    difference.expected, difference.held };
        for (int column = 0; column < texts.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton *save =
            buttons->addButton(QStringLiteral("Save CSV…"), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("saveComparisonButton"));
    connect(save, &QPushButton::clicked, this, &ComparisonDialog::saveCsv);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(outcome);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(560, 420);
}

void ComparisonDialog::saveCsv()
{
    const QString fileName =
            dialogs().saveFileName(this, QStringLiteral("Save Comparison"),
                                   QStringLiteral("comparison.csv"), QStringLiteral("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    const int code = ProfileComparison::writeCsv(fileName, result);
    if (code != ProfileFile::Ok)
        QMessageBox::critical(this, QStringLiteral("File Error"), ProfileFile::errorMessage(code),
                              QMessageBox::Ok);
}
