#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "BusyControls.h"
#include "CommunicationLog.h"
#include "CommunicationLogDock.h"
#include "DialogProvider.h"
#include "DispenserLink.h"
#include "HistoryDock.h"
#include "HistoryEvents.h"
#include "HistoryStore.h"
#include "ElidedLabel.h"
#include "PasswordDialog.h"
#include "QTableWidgetWithCopyPaste.h"
#include "VerticalScrollArea.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

// The icon lives in a static library, so its resource must be registered by
// hand; the macro cannot stand inside a class or namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {
// The title bar a window manager puts above the window.
constexpr int titleBarRoom = 40;
// The flat buttons' focus frame stands out against the grey bar.
const char *const statusBarStyle = "QLabel {font:bold;padding-left: 5px; padding-right: 5px;} "
                                   "QStatusBar {background-color:rgb(182, 182, 182);} "
                                   "QPushButton {font:bold;padding-left: 5px; padding-right: 5px;} "
                                   "QPushButton:focus {border: 2px solid rgb(0, 0, 142);}";
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui_MainWindow)
{
    registerResources();
    ui->setupUi(this);

    // The password fields take up to four digits. A validator, not an input
    // mask: the mask's blanks showed as dots in an empty field.
    const QRegularExpression fourDigits(QStringLiteral("[0-9]{0,4}"));
    for (QLineEdit *field : { ui->currentPassword, ui->newPassword, ui->confirmPassword })
        field->setValidator(new QRegularExpressionValidator(fourDigits, field));

    // The configuration tree's column is as wide as its longest item, and so
    // is the job list's description column.
    ui->treeWidget->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->jobTableWidget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    AppSettings::identifyProgram();
    setWindowTitle(QStringLiteral("Pelidor 7 Interactive Version ")
                   + QCoreApplication::applicationVersion());
    setWindowIcon(QIcon(QStringLiteral(":HVX.ico")));
    tabifyDockWidget(ui->jobDockWidget, ui->bulkAdjustDock);

    connectionLabel = new ElidedLabel(this);
    modeLabel = new QLabel(this);
    portLabel = new ElidedLabel(this);
    refreshButton = new QPushButton(this);
    alarmLabel = new QLabel(this);
    alarmResetButton = new QPushButton(QStringLiteral("Alarm Reset"), this);

    alarmTimer = new QTimer(this);
    flashTimer = new QTimer(this);
    connect(alarmTimer, &QTimer::timeout, this, &MainWindow::updateAlarms);
    connect(flashTimer, &QTimer::timeout, this, &MainWindow::flash);
    alarmTimer->start(10000);

    enteredPassword.clear();

    AppSettings settings;
    if (settings.writeFirstRunDefaults())
        qDebug() << "SuperPassword key doesnt exist, setting it to 5183 now";

    communicationLog = new CommunicationLog;
    link = new DispenserLink;
    link->setTraffic(communicationLog);
    connect(link, &DispenserLink::lineLost, this, &MainWindow::onLineLost);
    state = new DispenserState;
    parameterArrays = { state->times.data(), state->pressures.data(), state->vacuums.data() };

    setupJobTable();
    refreshJobTable();

    ui->aiModeGroup->setId(ui->aiModeOff, 3);
    ui->aiModeGroup->setId(ui->aiModeCount, 1);
    ui->aiModeGroup->setId(ui->aiModeTimed, 0);
    ui->aiModeGroup->setId(ui->aiModeSequence, 2);
    connect(ui->aiModeGroup, &QButtonGroup::idClicked, this, &MainWindow::aiMode_change);
    ui->dispenseModeGroup->setId(ui->dispenseModeTimed, 0);
    ui->dispenseModeGroup->setId(ui->dispenseModeSteady, 1);
    connect(ui->dispenseModeGroup, &QButtonGroup::idClicked, this,
            &MainWindow::dispenseMode_change);

    const QIcon saveIcon = style()->standardIcon(QStyle::SP_DialogSaveButton);
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DialogOpenButton);
    ui->actionSave_Job->setIcon(saveIcon);
    ui->actionSave_Profile->setIcon(saveIcon);
    ui->actionOpen_Job->setIcon(openIcon);
    ui->actionOpen_Profile->setIcon(openIcon);

    setupStatusBar();
    setupBusyControls();

    memCellTimer = new QTimer(this);
    memCellTimer->setObjectName(QStringLiteral("memCellTimer"));
    memCellTimer->setSingleShot(true);
    memCellTimer->setInterval(500);
    connect(memCellTimer, &QTimer::timeout, this, &MainWindow::updateMemCellValues);

    connect(ui->COMportGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &MainWindow::commSelectChanged);
    connect(ui->baudeRateGroup, &QButtonGroup::idClicked, this, &MainWindow::baudRateChanged);
    ui->baudeRateGroup->setId(ui->baud115200, 115200);
    ui->baudeRateGroup->setId(ui->baud38400, 38400);
    ui->baudeRateGroup->setId(ui->baud19200, 19200);
    ui->baudeRateGroup->setId(ui->baud9600, 9600);

    if (!settings.hasPort())
        settings.setPort(QLatin1String(AppSettings::firstRunPort));
    portName = settings.port();

    if (settings.hasBaudRate()) {
        baudRate = settings.baudRate();
        for (QAbstractButton *button : ui->baudeRateGroup->buttons()) {
            if (ui->baudeRateGroup->id(button) == baudRate)
                button->click();
        }
    } else {
        settings.setBaudRate(AppSettings::firstRunBaudRate);
        baudRate = settings.baudRate();
    }

    refreshComPorts();

    setupButtonGroupIds();

    ui->centralTabWidget->removeTab(0);

    setupProfileTable();
    adjustParameter = 0;

    ui->plotTypeGroup->setId(ui->plotTime, 0);
    ui->plotTypeGroup->setId(ui->plotPressure, 1);
    ui->plotTypeGroup->setId(ui->plotVacuum, 2);
    connect(ui->plotTypeGroup, &QButtonGroup::idClicked, this, &MainWindow::plot_parameter_Changed);
    ui->bulkAdjustParameterGroup->setId(ui->bulkAdjustParameterTime, 0);
    ui->bulkAdjustParameterGroup->setId(ui->bulkAdjustParameterPressure, 1);
    ui->bulkAdjustParameterGroup->setId(ui->bulkAdjustParameterVacuum, 2);
    ui->bulkAdjustParameterGroup->setId(ui->bulkAdjustParameterTrigger, 3);
    connect(ui->bulkAdjustParameterGroup, &QButtonGroup::idClicked, this,
            &MainWindow::bulkAdjustParameterGroup_changed);

    setupChart();

    plotTimer = new QTimer(this);
    plotTimer->setObjectName(QStringLiteral("plotTimer"));
    plotTimer->setSingleShot(true);
    connect(plotTimer, &QTimer::timeout, this, &MainWindow::plotUpdate);

    ui->bulkAdjustCancel->click();
    ui->plotTime->click();
    ui->bulkAdjustDock->hide();
    setupCommunicationLog();
    setupSettingsPanel();
    // The pressure box takes the limits of the unit shown from the start.
    showPressureUnit(state->pressureUnits);
    setupReadBack();
    // Operator mode from the start: nothing of a supervisor's is offered.
    ui->actionBulk_Adjust_Dispense_Profile->setVisible(false);
    ui->menuProfile->menuAction()->setVisible(false);
    ui->groupBox_7->setEnabled(false);
    applyLockoutEnabling();
    setupHistory();
    setupSupervisorTimeout();
    fitSmallScreens();
    setupKeyboard();
    reportSettingsStore();
}

// A store that cannot be read holds a password nobody can match; one that
// cannot be written keeps nothing. Either is told once; the panel goes on.
void MainWindow::reportSettingsStore()
{
    AppSettings settings;
    QString problem;
    if (!settings.isReadable())
        problem = QStringLiteral("cannot be read: Supervisor mode stays closed");
    else if (!settings.isWritable())
        problem = QStringLiteral("cannot be written: changes are not kept");
    if (problem.isEmpty())
        return;
    const QString text =
            QStringLiteral("The settings store %1 %2").arg(settings.fileName(), problem);
    qDebug().noquote() << text;
    showStatus(StatusMessage::failed(text));
}

MainWindow::~MainWindow()
{
    // The base class hides the children while it tears them down, and the
    // table's headers then report new geometries: this window must no longer
    // be called by then.
    profileTable->horizontalHeader()->disconnect(this);
    profileTable->verticalHeader()->disconnect(this);
    delete link;
    delete communicationLog;
    delete historyEvents;
    delete history;
    delete state;
    delete ui;
}

// View -> Communication Log, at the bottom and closed at start.
void MainWindow::setupCommunicationLog()
{
    communicationLogDock = new CommunicationLogDock(
            *communicationLog, [this]() -> DialogProvider & { return dialogs(); }, this);
    addViewDock(communicationLogDock, QStringLiteral("actionCommunication_Log"),
                QStringLiteral("&Communication Log"));
}

// A dock of the View menu: at the bottom, closed at start, its action named.
void MainWindow::addViewDock(QDockWidget *dock, const QString &actionName, const QString &text)
{
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    QAction *toggle = dock->toggleViewAction();
    toggle->setObjectName(actionName);
    toggle->setText(text);
    ui->menuView->addAction(toggle);
}

// The controls that start an exchange, or change what any exchange uses
// (the units, a profile or job loaded); the unit pages as a whole, so the
// lockouts keep their say over the group boxes on them.
void MainWindow::setupBusyControls()
{
    busy = new BusyControls({ ui->connectButton,
                              refreshButton,
                              ui->pushButton_4,
                              ui->pushButton_5,
                              ui->pushButton,
                              ui->configApplyButton,
                              alarmResetButton,
                              ui->treeWidget,
                              ui->jobTableWidget,
                              ui->actionSupervisor_Mode,
                              ui->actionOperator_Mode,
                              ui->actionOpen_Job,
                              ui->actionOpen_Profile,
                              ui->readProfileButton,
                              ui->verifyProfileButton,
                              ui->actionRead_Profile,
                              ui->actionVerify_Profile,
                              ui->actionCompare_File,
                              ui->page_2,
                              ui->page_3 },
                            this);
}

// The history opens once the status line can say that it cannot. View ->
// History, at the bottom and closed at start.
void MainWindow::setupHistory()
{
    history = new HistoryStore;
    historyEvents = new HistoryEvents;
    connect(history, &HistoryStore::turnedOff, this,
            [this](const QString &reason) { showStatus(StatusMessage::failed(reason)); });
    history->open();

    historyDock = new HistoryDock(
            *history, [this]() -> DialogProvider & { return dialogs(); }, this);
    addViewDock(historyDock, QStringLiteral("actionHistory"), QStringLiteral("&History"));
}

// On a small screen every dock and configuration page scrolls when it gets
// less room than it needs, and the window opens no larger than the screen.
// A dock under the one it shares its place with hides its panel, so that Tab
// never takes the focus where it cannot be seen.
void MainWindow::fitSmallScreens()
{
    for (QDockWidget *dock : findChildren<QDockWidget *>()) {
        QWidget *panel = dock->widget();
        auto *area = new VerticalScrollArea(panel);
        dock->setWidget(area);
        panel->show(); // the dock hid it as its former contents
        connect(dock, &QDockWidget::visibilityChanged, area, &QWidget::setVisible);
    }
    QStackedWidget *pages = ui->configStackWidget;
    const int shown = pages->currentIndex();
    for (int index = 0; index < pages->count(); ++index) {
        QWidget *page = pages->widget(index);
        pages->removeWidget(page);
        pages->insertWidget(index, new VerticalScrollArea(page));
        page->show(); // the stack hid it when it took it out
    }
    pages->setCurrentIndex(shown);
    resize(size().boundedTo(screen()->availableGeometry().size() - QSize(0, titleBarRoom)));
}

// By keyboard alone: the first step, Connect, has the focus; Return presses
// the focused button as Space does; F10 opens the menus, as Alt and a
// menu's letter do; Tab leaves the help and log texts, which hold no tabs;
// in the configuration tree the arrow keys choose a page and Return opens
// it, as a click does.
void MainWindow::setupKeyboard()
{
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(true);
    for (QPlainTextEdit *text : findChildren<QPlainTextEdit *>())
        text->setTabChangesFocus(true);
    for (QTextEdit *text : findChildren<QTextEdit *>())
        text->setTabChangesFocus(true);
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(ui->menuFile->menuAction()); });
    onReturnKey(ui->treeWidget, [this] {
        if (QTreeWidgetItem *item = ui->treeWidget->currentItem())
            on_treeWidget_itemClicked(item, 0);
    });
    ui->connectButton->setFocus();
}

void MainWindow::onReturnKey(QWidget *widget, const std::function<void()> &act)
{
    for (const int key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto *shortcut =
                new QShortcut(QKeySequence(key), widget, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, act);
    }
}

void MainWindow::setupStatusBar()
{
    ui->statusBar->setStyleSheet(QString::fromLatin1(statusBarStyle));
    connectionLabel->setObjectName(QStringLiteral("connectionLabel"));
    modeLabel->setObjectName(QStringLiteral("modeLabel"));
    portLabel->setObjectName(QStringLiteral("portLabel"));
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    alarmLabel->setObjectName(QStringLiteral("alarmLabel"));
    alarmResetButton->setObjectName(QStringLiteral("alarmResetButton"));
    alarmTimer->setObjectName(QStringLiteral("alarmTimer"));
    flashTimer->setObjectName(QStringLiteral("flashTimer"));

    showStatus(StatusMessage::notConnected());
    showAlarmsUnknown();
    modeLabel->setText(QStringLiteral("Operator Mode"));
    portLabel->setText(QStringLiteral("COM4     115200"));
    refreshButton->setFlat(true);
    refreshButton->setText(QStringLiteral("Connect/Refresh"));
    connect(refreshButton, &QPushButton::clicked, this, &MainWindow::connectToChosenPort);
    alarmResetButton->setFlat(true);
    connect(alarmResetButton, &QPushButton::clicked, this, &MainWindow::alarmResetClicked);

    for (QLabel *label : { connectionLabel, modeLabel, portLabel }) {
        label->setAlignment(Qt::AlignCenter);
        label->setIndent(10);
    }

    ui->statusBar->addWidget(connectionLabel, 0);
    ui->statusBar->addWidget(portLabel, 0);
    ui->statusBar->addWidget(refreshButton, 0);
    ui->statusBar->addWidget(modeLabel, 0);
    ui->statusBar->addPermanentWidget(alarmLabel, 0);
    ui->statusBar->addPermanentWidget(alarmResetButton, 0);
}

// Unit, configuration and language groups: their ids are the values the
// dispenser's commands carry.
void MainWindow::setupButtonGroupIds()
{
    ui->pressureUnitGroup->setId(ui->pressurePSI, 0);
    ui->pressureUnitGroup->setId(ui->pressureBAR, 1);
    ui->pressureUnitGroup->setId(ui->pressureKPA, 2);
    connect(ui->pressureUnitGroup, &QButtonGroup::idClicked, this,
            &MainWindow::pressureUnitsChanged);

    ui->vacuumUnitsGroup->setId(ui->kpabut, 0);
    ui->vacuumUnitsGroup->setId(ui->inchesh2obut, 1);
    ui->vacuumUnitsGroup->setId(ui->incheshgbut, 2);
    ui->vacuumUnitsGroup->setId(ui->mmhgbut, 3);
    ui->vacuumUnitsGroup->setId(ui->torrbut, 4);
    connect(ui->vacuumUnitsGroup, &QButtonGroup::idClicked, this, &MainWindow::vacuumUnitsChanged);

    connect(ui->calendarWidget, &QCalendarWidget::selectionChanged, this,
            &MainWindow::calendarChanged);
    connect(ui->check24hr, &QCheckBox::clicked, this, &MainWindow::twentyfour);
    connect(ui->timeEdit, &QTimeEdit::timeChanged, this, &MainWindow::timeChanged);

    connect(ui->lockoutsGroup, &QButtonGroup::idClicked, this, &MainWindow::lockoutsChanged);
    const QList<QAbstractButton *> lockoutBoxes = {
        ui->lockoutDT, ui->lockoutDP, ui->lockoutDV, ui->lockoutM,  ui->lockoutDC, ui->lockoutDM,
        ui->lockoutAI, ui->lockoutAR, ui->lockoutAL, ui->lockoutMM, ui->lockoutPU, ui->lockoutVU,
        ui->lockoutLA, ui->lockoutCL, ui->lockoutCO, ui->lockoutAM
    };
    for (int bit = 0; bit < lockoutBoxes.size(); ++bit)
        ui->lockoutsGroup->setId(lockoutBoxes[bit], 1 << bit);

    connect(ui->alarmsGroup, &QButtonGroup::idClicked, this, &MainWindow::alarmsChanged);
    const QList<QAbstractButton *> alarmBoxes = { ui->alarmIN, ui->alarmIO, ui->alarmIL,
                                                  ui->alarmPO, ui->alarmPL, ui->alarmAE,
                                                  ui->alarmAO };
    for (int bit = 0; bit < alarmBoxes.size(); ++bit)
        ui->alarmsGroup->setId(alarmBoxes[bit], 1 << bit);

    connect(ui->languageGroup, &QButtonGroup::idClicked, this,
            &MainWindow::languageSelectionChanged);
    ui->languageGroup->setId(ui->langEN, 0);
    ui->languageGroup->setId(ui->langFR, 1);
    ui->languageGroup->setId(ui->langDE, 2);
    ui->languageGroup->setId(ui->langES, 3);
    ui->languageGroup->setId(ui->langIT, 4);
    ui->languageGroup->setId(ui->langCN, 5);
    ui->languageGroup->setId(ui->langJP, 6);
    ui->languageGroup->setId(ui->langKR, 7);

    connect(ui->currentPassword, &QLineEdit::textChanged, this,
            &MainWindow::currentPassTextChanged);
    connect(ui->newPassword, &QLineEdit::textChanged, this, &MainWindow::newPassTextChanged);
    connect(ui->confirmPassword, &QLineEdit::textChanged, this,
            &MainWindow::confirmPassTextChanged);
}

void MainWindow::on_actionExit_triggered()
{
    link->closePort();
    QCoreApplication::quit();
}

// Closing the window ends the program: a transmission or exchange under way
// stops at once (its next command finds the port closed), and the last
// window closed quits the event loop, nested ones included.
void MainWindow::closeEvent(QCloseEvent *event)
{
    transmitStopRequested = true;
    readBackStopRequested = true;
    // The password prompt has no parent and would keep the program alive.
    if (openPasswordDialog)
        openPasswordDialog->reject();
    link->closePort();
    QMainWindow::closeEvent(event);
}

void MainWindow::showNotice(const QString &text)
{
    QMessageBox box;
    box.setText(text);
    box.exec();
}

void MainWindow::on_actionChange_View_Settings_Docking_Window_triggered(bool checked)
{
    if (checked)
        ui->changeViewSettingsDockWidget->show();
    else
        ui->changeViewSettingsDockWidget->close();
}

void MainWindow::on_actionLoad_Job_Docking_Window_triggered(bool checked)
{
    if (showOrCloseDock(ui->jobDockWidget, ui->actionLoad_Job_Docking_Window, checked))
        ui->jobTableWidget->setFocus(); // pick a job with the arrow keys and Return
}

void MainWindow::on_actionBulk_Adjust_Dispense_Profile_triggered(bool checked)
{
    showOrCloseDock(ui->bulkAdjustDock, ui->actionBulk_Adjust_Dispense_Profile, checked);
}

// The job list and bulk adjust share one place. One that is open but lies
// under the other is brought to the top rather than closed: whoever picks it
// wants to see it.
bool MainWindow::showOrCloseDock(QDockWidget *dock, QAction *action, bool checked)
{
    const bool covered = dock->isVisible() && dock->visibleRegion().isEmpty();
    if (!checked && !covered) {
        dock->close();
        return false;
    }
    dock->show();
    dock->raise();
    action->setChecked(true);
    return true;
}
