// Start-up of the window: first-run settings, start state, widget limits,
// dock toggles and Exit.
#include "MainWindow.h"
#include "TestSettings.h"

#include <QAction>
#include <QButtonGroup>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    template <typename T> static T *child(QObject *window, const char *name)
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    static QList<QAbstractButton *> checkedBaudButtons(MainWindow &window)
    {
        QList<QAbstractButton *> checked;
        for (QAbstractButton *button : child<QButtonGroup>(&window, "baudeRateGroup")->buttons()) {
            if (button->isChecked())
                checked << button;
        }
        return checked;
    }

private slots:
    void init() { TestSettings::clear(); }

    void firstRunWritesDefaults()
    {
        QTest::ignoreMessage(QtDebugMsg, "SuperPassword key doesnt exist, setting it to 5183 now");
        MainWindow window;
        QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("5183"));
        QCOMPARE(TestSettings::value("jobs/maxJob").toInt(), 0);
        QVERIFY(TestSettings::contains("jobs/maxJob"));
        QCOMPARE(TestSettings::value("COMport").toString(), QStringLiteral("COM4"));
        QCOMPARE(TestSettings::value("baudeRate").toInt(), 115200);
        QVERIFY(checkedBaudButtons(window).isEmpty());
    }

    void presentPasswordKeepsJobCountUnwritten()
    {
        TestSettings::set("SuperPassword", "2468");
        MainWindow window;
        QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("2468"));
        QVERIFY(!TestSettings::contains("jobs/maxJob"));
    }

    void storedBaudRateChecksItsButton_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("checkedButton");
        QTest::newRow("9600") << 9600 << "baud9600";
        QTest::newRow("19200") << 19200 << "baud19200";
        QTest::newRow("38400") << 38400 << "baud38400";
        QTest::newRow("115200") << 115200 << "baud115200";
        QTest::newRow("not a listed rate") << 57600 << QString();
    }

    void storedBaudRateChecksItsButton()
    {
        QFETCH(int, stored);
        QFETCH(QString, checkedButton);
        TestSettings::set("SuperPassword", "5183");
        TestSettings::set("baudeRate", stored);
        MainWindow window;
        const QList<QAbstractButton *> checked = checkedBaudButtons(window);
        if (checkedButton.isEmpty()) {
            QVERIFY(checked.isEmpty());
        } else {
            QCOMPARE(checked.size(), 1);
            QCOMPARE(checked.first()->objectName(), checkedButton);
        }
        QCOMPARE(TestSettings::value("baudeRate").toInt(), stored);
    }

    void startsInOperatorModeOnCurrentSettings()
    {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Pelidor 7 Interactive Version 3.2"));
        QVERIFY(!window.windowIcon().isNull());

        auto *tabs = child<QTabWidget>(&window, "centralTabWidget");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("tabCurrentSettings"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Current Settings"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Pelidor 7 Configuration"));
        QCOMPARE(tabs->indexOf(child<QWidget>(&window, "tabDispenseProfile")), -1);

        QVERIFY(child<QAction>(&window, "actionSupervisor_Mode")->isVisible());
        QVERIFY(!child<QAction>(&window, "actionOperator_Mode")->isVisible());
        for (const char *name : {"actionChange_View_Settings_Docking_Window",
                                 "actionLoad_Job_Docking_Window",
                                 "actionBulk_Adjust_Dispense_Profile"}) {
            QVERIFY2(child<QAction>(&window, name)->isChecked(), name);
            QVERIFY2(child<QAction>(&window, name)->isVisible(), name);
        }
        QVERIFY(child<QWidget>(&window, "groupBox_5")->isEnabled());
        QVERIFY(child<QWidget>(&window, "groupBox_7")->isEnabled());

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(child<QDockWidget>(&window, "bulkAdjustDock")->isHidden());
        QVERIFY(child<QDockWidget>(&window, "jobDockWidget")->isVisible());
        QVERIFY(child<QDockWidget>(&window, "changeViewSettingsDockWidget")->isVisible());
        QCOMPARE(window.dockWidgetArea(child<QDockWidget>(&window, "changeViewSettingsDockWidget")),
                 Qt::LeftDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(child<QDockWidget>(&window, "jobDockWidget")),
                 Qt::RightDockWidgetArea);
        QCOMPARE(window.tabifiedDockWidgets(child<QDockWidget>(&window, "jobDockWidget")),
                 QList<QDockWidget *>{child<QDockWidget>(&window, "bulkAdjustDock")});

        for (const char *name : {"pressurePSI", "inchesh2obut", "dispenseModeTimed",
                                 "aiModeOff", "bulkAdjustParameterTime"})
            QVERIFY2(child<QAbstractButton>(&window, name)->isChecked(), name);
    }

    void statusBarReadsLeftToRight()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto *bar = child<QStatusBar>(&window, "statusBar");
        QVERIFY(bar->styleSheet().contains(
            QStringLiteral("QStatusBar {background-color:rgb(182, 182, 182);}")));

        // Visible texts in the order a user reads them.
        QList<QWidget *> items;
        for (QWidget *widget : bar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (widget->isVisible() && (qobject_cast<QLabel *>(widget) || qobject_cast<QPushButton *>(widget)))
                items << widget;
        }
        std::sort(items.begin(), items.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        QStringList texts;
        for (QWidget *widget : items) {
            if (auto *label = qobject_cast<QLabel *>(widget))
                texts << label->text();
            else
                texts << qobject_cast<QPushButton *>(widget)->text();
        }
        QStringList expected = {QStringLiteral("Not Connected to Pelidor 7"),
                                QString(), // the port text, depends on the machine's ports
                                QStringLiteral("Connect/Refresh"), QStringLiteral("Operator Mode"),
                                QStringLiteral("Status OK"), QStringLiteral("Alarm Reset")};
        QCOMPARE(texts.size(), expected.size());
        expected[1] = texts[1];
        QCOMPARE(texts, expected);
        QVERIFY(texts[1] == QStringLiteral("COM4     115200") || texts[1] == QStringLiteral("COM4  115200"));

        auto *connection = qobject_cast<QLabel *>(items.first());
        QCOMPARE(connection->styleSheet(), QStringLiteral("color: red;"));
        QCOMPARE(connection->alignment(), Qt::AlignCenter);
        QCOMPARE(connection->indent(), 10);
    }

    void buttonGroupIdsCarryProtocolValues_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("baud") << "baudeRateGroup"
                              << QStringList{"baud115200", "baud38400", "baud19200", "baud9600"}
                              << QList<int>{115200, 38400, 19200, 9600};
        QTest::newRow("pressure") << "pressureUnitGroup"
                                  << QStringList{"pressurePSI", "pressureBAR", "pressureKPA"}
                                  << QList<int>{0, 1, 2};
        QTest::newRow("vacuum") << "vacuumUnitsGroup"
                                << QStringList{"kpabut", "inchesh2obut", "incheshgbut", "mmhgbut", "torrbut"}
                                << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("alarms") << "alarmsGroup"
                                << QStringList{"alarmIN", "alarmIO", "alarmIL", "alarmPO", "alarmPL",
                                               "alarmAE", "alarmAO"}
                                << QList<int>{1, 2, 4, 8, 16, 32, 64};
        QTest::newRow("lockouts") << "lockoutsGroup"
                                  << QStringList{"lockoutDT", "lockoutDP", "lockoutDV", "lockoutM",
                                                 "lockoutDC", "lockoutDM", "lockoutAI", "lockoutAR",
                                                 "lockoutAL", "lockoutMM", "lockoutPU", "lockoutVU",
                                                 "lockoutLA", "lockoutCL", "lockoutCO", "lockoutAM"}
                                  << QList<int>{1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048,
                                                4096, 8192, 16384, 32768};
        QTest::newRow("language") << "languageGroup"
                                  << QStringList{"langEN", "langFR", "langDE", "langES", "langIT",
                                                 "langCN", "langJP", "langKR"}
                                  << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("dispense mode") << "dispenseModeGroup"
                                       << QStringList{"dispenseModeTimed", "dispenseModeSteady"}
                                       << QList<int>{0, 1};
        QTest::newRow("ai mode") << "aiModeGroup"
                                 << QStringList{"aiModeTimed", "aiModeCount", "aiModeSequence", "aiModeOff"}
                                 << QList<int>{0, 1, 2, 3};
        QTest::newRow("plot") << "plotTypeGroup"
                              << QStringList{"plotTime", "plotPressure", "plotVacuum"}
                              << QList<int>{0, 1, 2};
        QTest::newRow("bulk parameter") << "bulkAdjustParameterGroup"
                                        << QStringList{"bulkAdjustParameterTime", "bulkAdjustParameterPressure",
                                                       "bulkAdjustParameterVacuum", "bulkAdjustParameterTrigger"}
                                        << QList<int>{0, 1, 2, 3};
    }

    void buttonGroupIdsCarryProtocolValues()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, buttons);
        QFETCH(QList<int>, ids);
        MainWindow window;
        auto *buttonGroup = child<QButtonGroup>(&window, group.toLatin1().constData());
        QCOMPARE(buttonGroup->buttons().size(), buttons.size());
        for (int i = 0; i < buttons.size(); ++i) {
            auto *button = child<QAbstractButton>(&window, buttons[i].toLatin1().constData());
            QCOMPARE(buttonGroup->id(button), ids[i]);
        }
    }

    void spinBoxLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::newRow("start cell") << "startMemCell" << 0.0 << 399.0;
        QTest::newRow("end cell") << "endMemCell" << 1.0 << 399.0;
        QTest::newRow("current cell") << "memCell" << 1.0 << 399.0;
        QTest::newRow("trigger") << "triggerBox" << 0.0 << 99999.0;
        QTest::newRow("time") << "dispenseTime" << 0.0 << 9.9999;
        QTest::newRow("vacuum") << "vacuumBox" << 0.0 << 18.0;
        QTest::newRow("percent") << "bulkAdjustPercent" << -99.99 << 99.99;
        QTest::newRow("relative") << "bulkAdjustRelative" << -99.99 << 99.99;
        QTest::newRow("percent slider") << "bulkAdjustPercentSlider" << -50.0 << 50.0;
        QTest::newRow("relative slider") << "bulkAdjustRelativeSlider" << -50.0 << 50.0;
    }

    void spinBoxLimits()
    {
        QFETCH(QString, name);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        MainWindow window;
        QObject *box = window.findChild<QObject *>(name);
        QVERIFY(box);
        QCOMPARE(box->property("minimum").toDouble(), minimum);
        QCOMPARE(box->property("maximum").toDouble(), maximum);
    }

    void cellSpinBoxesStopAtTheirLimits()
    {
        MainWindow window;
        auto *start = child<QSpinBox>(&window, "startMemCell");
        auto *end = child<QSpinBox>(&window, "endMemCell");
        start->setValue(-5);
        QCOMPARE(start->value(), 0);
        end->setValue(0);
        QCOMPARE(end->value(), 1);
        end->setValue(400);
        QCOMPARE(end->value(), 399);
        auto *time = child<QDoubleSpinBox>(&window, "dispenseTime");
        QCOMPARE(time->decimals(), 4);
        QCOMPARE(time->singleStep(), 0.0001);
    }

    void passwordFieldsTakeFourDigits_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("current") << "currentPassword";
        QTest::newRow("new") << "newPassword";
        QTest::newRow("confirm") << "confirmPassword";
    }

    void passwordFieldsTakeFourDigits()
    {
        QFETCH(QString, field);
        MainWindow window;
        auto *edit = window.findChild<QLineEdit *>(field);
        QVERIFY(edit);
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QTest::keyClicks(edit, QStringLiteral("12a345"));
        QCOMPARE(edit->text(), QStringLiteral("1234"));
    }

    void viewActionsToggleDocks_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("dock");
        QTest::newRow("settings") << "actionChange_View_Settings_Docking_Window"
                                  << "changeViewSettingsDockWidget";
        QTest::newRow("jobs") << "actionLoad_Job_Docking_Window" << "jobDockWidget";
        QTest::newRow("bulk adjust") << "actionBulk_Adjust_Dispense_Profile" << "bulkAdjustDock";
    }

    void viewActionsToggleDocks()
    {
        QFETCH(QString, action);
        QFETCH(QString, dock);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *toggle = window.findChild<QAction *>(action);
        auto *dockWidget = window.findChild<QDockWidget *>(dock);
        QVERIFY(toggle && dockWidget);

        dockWidget->show();
        toggle->setChecked(true);
        toggle->trigger(); // unchecks
        QVERIFY(!toggle->isChecked());
        QVERIFY(dockWidget->isHidden());
        toggle->trigger(); // checks
        QVERIFY(toggle->isChecked());
        QVERIFY(dockWidget->isVisible());

        // Closed by its own button: the action stays checked, so the next
        // click only unchecks it and the one after shows the dock again.
        dockWidget->close();
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QVERIFY(!toggle->isChecked());
        QVERIFY(dockWidget->isHidden());
        toggle->trigger();
        QVERIFY(toggle->isChecked());
        QVERIFY(dockWidget->isVisible());
    }

    void exitQuitsTheEventLoop()
    {
        MainWindow window;
        window.show();
        auto *exitAction = child<QAction>(&window, "actionExit");
        QTimer::singleShot(0, exitAction, &QAction::trigger);
        // A watchdog keeps a broken Exit from hanging the suite.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        bool watchdogFired = false;
        connect(&watchdog, &QTimer::timeout, [&] { watchdogFired = true; QCoreApplication::exit(1); });
        watchdog.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!watchdogFired);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
