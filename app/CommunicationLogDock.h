#ifndef COMMUNICATIONLOGDOCK_H
#define COMMUNICATIONLOGDOCK_H

#include <QDockWidget>

#include <functional>

class CommunicationLog;
class DialogProvider;
class QPlainTextEdit;
class QTimer;

// View -> Communication Log: the link's lines with their times, newest last.
// While the dock is closed nothing is drawn; while it is open the lines that
// came meanwhile are added a few times a second, in one go, so a running
// transmission is not slowed by drawing each line.
class CommunicationLogDock : public QDockWidget
{
    Q_OBJECT

public:
    // `dialogs` gives the dialogs that ask for the file to save to.
    CommunicationLogDock(CommunicationLog &log, std::function<DialogProvider &()> dialogs,
                         QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showNewLines();
    void saveLog();
    void clearLog();

    CommunicationLog &log;
    std::function<DialogProvider &()> dialogs;
    QPlainTextEdit *view;
    QTimer *refresh;
    qint64 shownCount = 0;
};

#endif // COMMUNICATIONLOGDOCK_H
