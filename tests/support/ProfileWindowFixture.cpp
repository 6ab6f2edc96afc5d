#include "ProfileWindowFixture.h"

#include "MessageBoxCloser.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

namespace {

// Notes each message box as it is shown, before the closer presses its button.
class MessageBoxLog : public QObject
{
public:
    MessageBoxLog() { qApp->installEventFilter(this); }

    QStringList shown;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show)
            shown << box->windowTitle() + QStringLiteral(": ") + box->text();
        return false;
    }
};

} // namespace

void ProfileWindowFixture::clearSettings()
{
    TestSettings::clear();
    TestSettings::set(QStringLiteral("SuperPassword"), QStringLiteral("5183"));
}

void ProfileWindowFixture::openWindow()
{
    window.reset(new MainWindow);
    dialogs = ProfileAnsweringDialogs();
    window->setDialogProvider(&dialogs);
    settle();
}

QTableWidget *ProfileWindowFixture::table() const
{
    return window->findChild<QTableWidgetWithCopyPaste *>();
}

double ProfileWindowFixture::stored(int row, int column) const
{
    switch (column) {
    case 0: return state().times[row];
    case 1: return state().pressures[row];
    case 2: return state().vacuums[row];
    default: return state().triggers[row];
    }
}

QtCharts::QLineSeries *ProfileWindowFixture::series() const
{
    return qobject_cast<QtCharts::QLineSeries *>(
        window->findChild<QtCharts::QChartView *>()->chart()->series().first());
}

QtCharts::QValueAxis *ProfileWindowFixture::axis(Qt::Orientation orientation) const
{
    return qobject_cast<QtCharts::QValueAxis *>(
        window->findChild<QtCharts::QChartView *>()->chart()->axes(orientation).first());
}

QStringList ProfileWindowFixture::boxesRaisedBy(const std::function<void()> &action)
{
    MessageBoxLog log;
    MessageBoxCloser closer;
    action();
    return log.shown;
}

QStringList ProfileWindowFixture::trigger(const char *actionName) const
{
    return boxesRaisedBy([&] { child<QAction>(actionName)->trigger(); });
}
