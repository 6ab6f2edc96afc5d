#include "CommunicationLogDock.h"

#include "DialogProvider.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
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
      view(new QPlainTextEdit),
      refresh(new QTimer(this))
{
    setObjectName(QStringLiteral("communicationLogDock"));
    view->setObjectName(QStringLiteral("communicationLogView"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setMaximumBlockCount(log.capacity());
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    filter->setObjectName(QStringLiteral("communicationLogFilter"));
    filter->setPlaceholderText(QStringLiteral("Filter"));
    filter->setClearButtonEnabled(true);
    scope->setObjectName(QStringLiteral("communicationLogScope"));
    scope->addItems({ QStringLiteral("Commands only"), QStringLiteral("Everything") });
    shown.sessionBytes = false;
    connect(filter, &QLineEdit::textChanged, this, &CommunicationLogDock::showAllLines);
    connect(scope, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CommunicationLogDock::showAllLines);

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

void CommunicationLogDock::showNewLines()
{
    if (log.appendedCount() == shownCount)
        return;
    const QStringList lines = log.linesSince(shownCount, shown);
    shownCount = log.appendedCount();
    if (!lines.isEmpty())
        view->appendPlainText(lines.join(QLatin1Char('\n')));
}

void CommunicationLogDock::showAllLines()
{
    shown.filter = filter->text();
    shown.sessionBytes = scope->currentIndex() == 1;
    view->setPlainText(log.lines(shown).join(QLatin1Char('\n')));
    shownCount = log.appendedCount();
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
    view->clear();
}
