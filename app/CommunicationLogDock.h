#ifndef COMMUNICATIONLOGDOCK_H
#define COMMUNICATIONLOGDOCK_H

#include <QDockWidget>

#include <functional>

#include "CommunicationLog.h"

class CommunicationLogModel;
class DialogProvider;
class QComboBox;
class QLineEdit;
class QListView;
class QTimer;

// View -> Communication Log: the link's traffic with its times, newest last,
// narrowed by a filter text and by the choice of packets only or everything.
// While the dock is closed nothing is drawn; while it is open the lines that
// came meanwhile are added a few times a second, in one go, and only the
// lines in sight are drawn, so a running transmission is not slowed by them.
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
    void showChosenLines();
    void saveLog();
    void clearLog();

    CommunicationLog &log;
    std::function<DialogProvider &()> dialogs;
    QLineEdit *filter;
    QComboBox *scope;
    CommunicationLogModel *lines;
    QListView *view;
    QTimer *refresh;
};

#endif // COMMUNICATIONLOGDOCK_H
