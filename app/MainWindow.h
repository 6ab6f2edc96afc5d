#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>
#include <QModelIndex>
#include <QPointF>
#include <QString>
#include <QTime>
#include <QStringList>
#include <QVector>
#include <array>
#include <functional>
#include <optional>

#include "DispenserState.h"
#include "PasswordAttempts.h"
#include "ProfileComparison.h"
#include "StatusMessage.h"
#include "StepPlot.h"

class QAbstractButton;
class QAbstractSpinBox;
class QAction;
class QButtonGroup;
class QCloseEvent;
class QDockWidget;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidgetItem;
class BusyControls;
class CommunicationLog;
class CommunicationLogDock;
class DispenserLink;
class HistoryDock;
class HistoryEvents;
class HistoryStore;
class IdleTimeout;
class DelegateTableTime;
class DialogProvider;
class QTableWidgetWithCopyPaste;
class PasswordDialog;
class Ui_MainWindow;

namespace QtCharts {
class QChart;
class QChartView;
class QLineSeries;
} // namespace QtCharts

// The one window of the control panel. Its slots take the user's actions;
// their bodies live with their subsystem (app/, profile/, config/).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Connects to the chosen port, as the status bar's Connect/Refresh does
    // (pelidor7-interactive --connect, at start).
    void connectToChosenPort();

    // Read-only view for the panels' tests and the benchmarks.
    const DispenserState &dispenserState() const { return *state; }
    // Lets a test answer the file and input dialogs (not owned; nullptr: standard dialogs).
    void setDialogProvider(DialogProvider *provider) { dialogProvider = provider; }

    QMenu *createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void pushButton_2_clicked();
    void on_actionExit_triggered();
    void on_treeWidget_itemClicked(QTreeWidgetItem *item, int column);
    void on_actionSupervisor_Mode_triggered();
    void passEntered(QString passwordEntered);
    void passDialogFinished(int result);
    void on_actionOperator_Mode_triggered();
    void on_pushButton_4_clicked();
    void on_configApplyButton_clicked();
    void on_pushButton_5_clicked();
    void baudRateChanged(int id);
    void commSelectChanged(QAbstractButton *source);
    void on_connectButton_clicked();
    void pressureUnitsChanged(int id);
    void vacuumUnitsChanged(int id);
    void languageSelectionChanged(int id);
    void calendarChanged();
    void timeChanged(QTime time);
    void twentyfour(bool checked);
    void currentPassTextChanged(QString text);
    void newPassTextChanged(QString text);
    void confirmPassTextChanged(QString text);
    void on_setToCurrentTime_clicked();
    void resizeCorner();
    void dispenseTable_changed(int row, int column);
    void testFileSave_clicked();
    void plot_parameter_Changed();
    void plotUpdate();
    void on_bulkAdjustStart_valueChanged(int arg1);
    void on_bulkAdjustEnd_valueChanged(int arg1);
    void on_bulkAdjustPercent_valueChanged(double arg1);
    void on_bulkAdjustRelative_valueChanged(double arg1);
    void bulkAdjustParameterGroup_changed();
    void on_bulkAdjustCancel_clicked();
    void on_bulkAdjustPercentSlider_sliderMoved(int position);
    void on_bulkAdjustRelativeSlider_sliderMoved(int position);
    void on_bulkAdjustApply_clicked();
    void on_actionSave_Profile_triggered();
    void on_actionSave_Job_triggered();
    void lockoutsChanged(int id);
    void alarmsChanged(int id);
    void alarmResetClicked(bool checked);
    void updateAlarms();
    void flash();
    void on_actionOpen_Profile_triggered();
    void on_actionOpen_Job_triggered();
    void on_endMemCell_valueChanged(int arg1);
    void on_startMemCell_valueChanged(int arg1);
    void aiMode_change(int arg1);
    void dispenseMode_change(int arg1);
    void on_jobTableWidget_doubleClicked(QModelIndex index);
    void on_actionLoad_Job_Docking_Window_triggered(bool checked);
    void on_actionChange_View_Settings_Docking_Window_triggered(bool checked);
    void on_actionBulk_Adjust_Dispense_Profile_triggered(bool checked);
    void updateMemCellValues();
    void on_memCell_valueChanged(int arg1);
    void on_readProfileButton_clicked();
    void on_verifyProfileButton_clicked();
    void on_actionVerify_after_Transmit_triggered(bool checked);
    void on_actionClear_Marks_triggered();
    void on_actionCompare_File_triggered();

private:
    // --- shell (app/MainWindow.cpp) ---
    void setupStatusBar();
    void setupCommunicationLog();
    void addViewDock(QDockWidget *dock, const QString &actionName, const QString &text);
    void setupHistory();
    void setupButtonGroupIds();
    void fitSmallScreens();
    void setupKeyboard();
    // Return and Enter on the widget (its own keys, not the window's) run act.
    void onReturnKey(QWidget *widget, const std::function<void()> &act);
    // A View action's dock: true when it is shown.
    bool showOrCloseDock(QDockWidget *dock, QAction *action, bool checked);
    // A plain modal notice: no parent, no title, no icon, just OK.
    static void showNotice(const QString &text);

    // --- the status line (app/MainWindowStatusLine.cpp) ---
    void showStatus(const StatusMessage &message);
    // A progress text, shown before the next step waits on the line.
    void showProgress(const QString &text);
    // The end of a device sequence; a port closed under it keeps its own text.
    void showOutcome(const StatusMessage &message);
    // A passing note that something was done, over the status bar's left side.
    void showConfirmation(const QString &text);
    // Set up while a device exchange runs; timers that would start another wait.
    void setupBusyControls();
    void reportSettingsStore();
    BusyControls *busy = nullptr;

    // --- port selection (app/MainWindowPorts.cpp) ---
    void refreshComPorts();
    void rebuildPortButtons();
    void onLineLost();

    // --- alarms (app/MainWindowAlarms.cpp) ---
    void showAlarmsUnknown();
    // The status line tells that the dispenser did not answer (a poll, or
    // the exchange after Connect); the next answered poll turns it green.
    bool statusShowsNoAnswer = false;

    // --- settings panel (app/MainWindowSettingsPanel.cpp) ---
    void setupSettingsPanel();
    QList<QAbstractSpinBox *> panelValueBoxes() const;
    void forgetPanelValue(QAbstractSpinBox *box);
    void showPanelValue(QAbstractSpinBox *box, double value);
    void showCurrentCell(int cell);
    void showCellRange(int start, int end);
    void showCellRangeWithoutRead(int start, int end);
    void storeReadValue(int cell, int column, double value);
    int readUnits();
    // The dispenser's current cell as last read or sent in this connection.
    std::optional<int> dispenserCell;

    // --- transmission (profile/MainWindowTransmit.cpp) ---
    bool transmitting = false;
    bool transmitStopRequested = false;

    // --- read-back, verify and compare (profile/MainWindowReadBack.cpp) ---
    void setupReadBack();
    // Asks for the job range or all cells; none when cancelled. With
    // `replacing`, unsaved changes of the table are told of first.
    QList<int> askCells(const QString &title, bool replacing);
    // Runs a read or verify with `button` as its stop, reading `stopText`
    // meanwhile; other input is held off.
    void runStoppable(QPushButton *button, const QString &stopText,
                      const std::function<void(const ProfileReadBack::KeepGoing &)> &run);
    ProfileReadBack::ShowCell cellProgress(const QString &doing, int cellCount);
    // Verifies the table's cells and marks those that differ.
    ProfileComparison::Result verifyTable(const QList<int> &cells,
                                          const ProfileReadBack::KeepGoing &keepGoing);
    void showVerification(const ProfileComparison::Result &result);
    // The last verification; its differences are marked in the table.
    ProfileComparison::Result verification;
    QPushButton *readBackStopButton = nullptr; // while a read or verify runs
    bool readBackStopRequested = false;
    // The table holds edits neither saved to a file nor transmitted since.
    bool profileUnsaved = false;

    // --- profile table, plot, bulk adjust (profile/) ---
    void setupProfileTable();
    void setupChart();
    void updateTriggerHeading();
    void updatePlotPoint(int row, int column);
    void writeCellText(int row, int column, const QString &text);
    // The four values of a cell of `values` into its table row, each through the check.
    void writeCellValues(int cell, const DispenserState &values);
    void showCellMark(int row, int column);
    void showColumnMarks(int column);
    void noteProfileChange(const QString &text);
    void showProfileNotes();
    QTimer *noticeTimer = nullptr;
    QStringList profileCorrections;
    bool unitsChangedSinceNote = false;
    // The units the table and the panel show their numbers in.
    int shownPressureUnit = ProfileUnits::Psi;
    int shownVacuumUnit = ProfileUnits::InchesOfWater;
    // Checks the group's button of this id and runs its slot, also when a
    // lockout disables the button (a click would do nothing), so the record
    // and the view keep one unit or mode.
    void showChoice(QButtonGroup *group, int id, void (MainWindow::*changed)(int));
    void showPressureUnit(int unit);
    void showVacuumUnit(int unit);

    // --- profile files and jobs (profile/) ---
    void setupJobTable();
    void refreshJobTable();
    void showFileError(int code, const QString &reason = QString());
    void loadProfile(const QString &fileName);
    void loadJob(int n);
    DialogProvider &dialogs();
    DialogProvider *dialogProvider = nullptr;

    // --- modes (app/MainWindowModes.cpp) ---
    void enterSupervisorMode();
    void enterOperatorMode();
    // The password dialog being shown, if any: only one is offered at a time.
    PasswordDialog *openPasswordDialog = nullptr;
    PasswordAttempts passwordAttempts;
    // Supervisor mode ends after a while without input.
    void setupSupervisorTimeout();
    void supervisorTimeoutChanged(int minutes);
    void supervisorIdleExpired();
    IdleTimeout *supervisorIdle = nullptr;

    // --- configuration (config/) ---
    void showPressureUnitsPage();
    void showVacuumUnitsPage();
    void showTimeDatePage();
    void showAlarmOptionsPage();
    void showLockoutPage();
    void showConfigPage(int index);
    // A failed read keeps the page shown; the tree's selection goes back to it.
    void keepConfigPage();
    // Reads the dispenser's lockouts into the record and the check boxes.
    bool readLockouts();
    void applyLockoutEnabling();
    // Whether the lockout word was read in this connection: until it is, an
    // operator is held to every lockout.
    bool lockoutsKnown = false;
    void changeSupervisorPassword();

    Ui_MainWindow *ui = nullptr;
    CommunicationLog *communicationLog = nullptr;
    CommunicationLogDock *communicationLogDock = nullptr;
    HistoryStore *history = nullptr;
    HistoryEvents *historyEvents = nullptr;
    HistoryDock *historyDock = nullptr;
    DispenserLink *link = nullptr;
    DispenserState *state = nullptr;

    int baudRate = 115200;
    QString portName;
    bool supervisorMode = false;
    bool flashOn = false;

    QLabel *connectionLabel = nullptr;
    QLabel *modeLabel = nullptr;
    QLabel *portLabel = nullptr;
    QLabel *alarmLabel = nullptr;
    QPushButton *alarmResetButton = nullptr;
    QPushButton *refreshButton = nullptr;

    QTimer *alarmTimer = nullptr;
    QTimer *flashTimer = nullptr;
    QTimer *memCellTimer = nullptr;
    QTimer *plotTimer = nullptr;

    QTableWidgetWithCopyPaste *profileTable = nullptr;
    DelegateTableTime *timeEditor = nullptr;
    std::array<DelegateTableTime *, 3> pressureEditors {};
    std::array<DelegateTableTime *, 5> vacuumEditors {};
    DelegateTableTime *triggerEditor = nullptr;
    QLabel *cornerLabel = nullptr;

    // Bulk adjust: the working range and the pending (previewed) adjustment.
    int adjustStart = 0;
    int adjustEnd = ProfileUnits::lastCell;
    int adjustParameter = 0;
    StepPlot::Preview pendingAdjustment;

    // Plot.
    QtCharts::QChart *chart = nullptr;
    QtCharts::QLineSeries *profileSeries = nullptr;
    QtCharts::QChartView *chartView = nullptr;
    QVector<QPointF> plotPoints;
    double plotMaximum = 0.0;
    int plotParameter = 0;
    std::array<double *, 3> parameterArrays {}; // times, pressures, vacuums of state

    // Modes and configuration.
    QString enteredPassword;
    QString currentPass;
    QString newPass;
    QString confirmPass;
};

#endif // MAINWINDOW_H
