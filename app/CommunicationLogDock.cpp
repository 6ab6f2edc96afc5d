#include "CommunicationLogDock.h"

#include "CommunicationLogModel.h"
#include "DialogProvider.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QScrollBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int refreshMs = 250;
}

CommunicationLogDock::CommunicationLogDock(CommunicationLog &log,
                                           std::function<DialogProvider &()> dialogs,
                                           QWidget *parent)
    : QDockWidget(QStringLiteral("Communication Log"), parent),
      log(log),
      dialogs(std::move(dialogs)),
      filter(new QLineEdit),
      scope(new QComboBox),
      lines(new CommunicationLogModel(log, this)),
      view(new QListView),
      refresh(new QTimer(this))
{
    setObjectName(QStringLiteral("communicationLogDock"));
    view->setObjectName(QStringLiteral("communicationLogView"));
    view->setModel(lines);
    view->setUniformItemSizes(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    filter->setObjectName(QStringLiteral("communicationLogFilter"));
    filter->setPlaceholderText(QStringLiteral("Filter"));
    filter->setClearButtonEnabled(true);
    scope->setObjectName(QStringLiteral("communicationLogScope"));
    scope->addItems({ QStringLiteral("Commands only"), QStringLiteral("Everything") });
    connect(filter, &QLineEdit::textChanged, this, &CommunicationLogDock::showChosenLines);
    connect(scope, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CommunicationLogDock::showChosenLines);

    auto *save = new QPushButton(QStringLiteral("Save Log…"));
    save->setObjectName(QStringLiteral("saveLogButton"));
    auto *clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("clearLogButton"));
    connect(save, &QPushButton::clicked, this, &CommunicationLogDock::saveLog);
    connect(clear, &QPushButton::clicked, this, &CommunicationLogDock::clearLog);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(filter, 1);
    buttons->addWidget(scope);
    buttons->addWidget(save);
    buttons->addWidget(clear);
    auto *contents = new QWidget;
    auto *layout = new QVBoxLayout(contents);
    layout->addWidget(view);
    layout->addLayout(buttons);
    setWidget(contents);

    refresh->setInterval(refreshMs);
    connect(refresh, &QTimer::timeout, this, &CommunicationLogDock::showNewLines);
}

void CommunicationLogDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    showNewLines();
    refresh->start();
}

void CommunicationLogDock::hideEvent(QHideEvent *event)
{
    refresh->stop();
    QDockWidget::hideEvent(event);
}

// The newest line stays in sight unless the user scrolled away from it.
void CommunicationLogDock::showNewLines()
{
    QScrollBar *scroll = view->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    lines->update();
    if (atEnd)
        view->scrollToBottom();
}

void CommunicationLogDock::showChosenLines()
{
    CommunicationLog::View chosen;
    chosen.filter = filter->text();
    chosen.sessionBytes = scope->currentIndex() == 1;
    lines->setView(chosen);
    view->scrollToBottom();
}

void CommunicationLogDock::saveLog()
{
    const QString fileName = dialogs().saveFileName(this, QStringLiteral("Save Log"),
                                                    QStringLiteral("communication.log"),
                                                    QStringLiteral("Log (*.log *.txt)"));
    if (!fileName.isEmpty() && !log.save(fileName))
        QMessageBox::critical(this, QStringLiteral("File Error"),
                              QStringLiteral("Error writing to file. Please try again later."),
                              QMessageBox::Ok);
}

void CommunicationLogDock::clearLog()
{
    log.clear();
    lines->update();
}
