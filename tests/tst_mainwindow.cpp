// Start-up of the window: first-run settings, start state, widget limits,
// dock toggles and Exit.
#include "MainWindow.h"
#include "TestSettings.h"
#include "UserActions.h"

#include <QAction>
#include <QButtonGroup>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>

using namespace UserActions;

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    static QStringList checkedBaudButtons(MainWindow &window)
    {
        QStringList checked;
        for (QAbstractButton *button : child<QButtonGroup>(window, "baudeRateGroup")->buttons()) {
            if (button->isChecked())
                checked << button->objectName();
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
        QVERIFY(TestSettings::contains("jobs/maxJob"));
        QCOMPARE(TestSettings::value("jobs/maxJob").toInt(), 0);
        QCOMPARE(TestSettings::value("COMport").toString(), QStringLiteral("COM4"));
        QCOMPARE(TestSettings::value("baudeRate").toInt(), 115200);
        QCOMPARE(checkedBaudButtons(window), QStringList());
    }

    void storedSettingsAreKept_data()
    {
        QTest::addColumn<int>("baudRate");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("9600") << 9600 << QStringList{"baud9600"};
        QTest::newRow("not a listed rate") << 57600 << QStringList();
    }

    void storedSettingsAreKept()
    {
        QFETCH(int, baudRate);
        QFETCH(QStringList, checked);
        TestSettings::set("SuperPassword", "2468");
        TestSettings::set("baudeRate", baudRate);
        MainWindow window;
        QCOMPARE(checkedBaudButtons(window), checked);
        QCOMPARE(TestSettings::value("baudeRate").toInt(), baudRate);
        QCOMPARE(TestSettings::value("SuperPassword").toString(), QStringLiteral("2468"));
        // Not a first run: the job count is left alone.
        QVERIFY(!TestSettings::contains("jobs/maxJob"));
    }

    void startState()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Pelidor 7 Interactive Version 3.2"));
        QVERIFY(!window.windowIcon().isNull());

        auto *tabs = child<QTabWidget>(window, "centralTabWidget");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("tabCurrentSettings"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Pelidor 7 Configuration"));

        QVERIFY(child<QAction>(window, "actionSupervisor_Mode")->isVisible());
        QVERIFY(!child<QAction>(window, "actionOperator_Mode")->isVisible());
        for (const char *name : {"actionChange_View_Settings_Docking_Window", "actionLoad_Job_Docking_Window",
                                 "actionBulk_Adjust_Dispense_Profile"})
            QVERIFY2(child<QAction>(window, name)->isChecked() && child<QAction>(window, name)->isVisible(),
                     name);
        // Left as built until the first mode switch.
        QVERIFY(child<QWidget>(window, "groupBox_5")->isEnabled());
        QVERIFY(child<QWidget>(window, "groupBox_7")->isEnabled());

        auto *jobDock = child<QDockWidget>(window, "jobDockWidget");
        auto *settingsDock = child<QDockWidget>(window, "changeViewSettingsDockWidget");
        QVERIFY(child<QDockWidget>(window, "bulkAdjustDock")->isHidden());
        QVERIFY(jobDock->isVisible() && settingsDock->isVisible());
        QCOMPARE(window.dockWidgetArea(settingsDock), Qt::LeftDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(jobDock), Qt::RightDockWidgetArea);
        QCOMPARE(window.tabifiedDockWidgets(jobDock),
                 QList<QDockWidget *>{child<QDockWidget>(window, "bulkAdjustDock")});

        for (const char *name : {"pressurePSI", "inchesh2obut", "dispenseModeTimed", "aiModeOff",
                                 "bulkAdjustParameterTime"})
            QVERIFY2(child<QAbstractButton>(window, name)->isChecked(), name);

        auto *bar = child<QStatusBar>(window, "statusBar");
        QVERIFY(bar->styleSheet().contains(QStringLiteral("QStatusBar {background-color:rgb(182, 182, 182);}")));

        // Visible texts in the order a user reads them.
        QList<QWidget *> items;
        for (QWidget *widget : bar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (widget->isVisible() && (qobject_cast<QLabel *>(widget) || qobject_cast<QPushButton *>(widget)))
                items << widget;
        }
        std::sort(items.begin(), items.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        QStringList texts;
        for (QWidget *widget : items)
            texts << widget->property("text").toString();
        // The port text depends on whether the machine has a COM4.
        QVERIFY(texts.value(1) == QStringLiteral("COM4     115200")
                || texts.value(1) == QStringLiteral("COM4  115200"));
        texts.removeAt(1);
        QCOMPARE(texts, (QStringList{"Not Connected to Pelidor 7", "Connect/Refresh", "Operator Mode", "Status OK",
                                     "Alarm Reset"}));
        QCOMPARE(items.first()->styleSheet(), QStringLiteral("color: red;"));
    }

    // Ids are what the dispenser commands carry: in order from 0, bits from
    // 1, or the baud rate itself.
    void buttonGroupIdsCarryProtocolValues_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("kind");
        QTest::newRow("baud") << "baudeRateGroup" << "baud115200 baud38400 baud19200 baud9600" << "rate";
        QTest::newRow("pressure") << "pressureUnitGroup" << "pressurePSI pressureBAR pressureKPA" << "index";
        QTest::newRow("vacuum") << "vacuumUnitsGroup" << "kpabut inchesh2obut incheshgbut mmhgbut torrbut"
                                << "index";
        QTest::newRow("alarms") << "alarmsGroup" << "alarmIN alarmIO alarmIL alarmPO alarmPL alarmAE alarmAO"
                                << "bit";
        QTest::newRow("lockouts") << "lockoutsGroup"
                                  << "lockoutDT lockoutDP lockoutDV lockoutM lockoutDC lockoutDM lockoutAI "
                                     "lockoutAR lockoutAL lockoutMM lockoutPU lockoutVU lockoutLA lockoutCL "
                                     "lockoutCO lockoutAM"
                                  << "bit";
        QTest::newRow("language") << "languageGroup" << "langEN langFR langDE langES langIT langCN langJP langKR"
                                  << "index";
        QTest::newRow("dispense mode") << "dispenseModeGroup" << "dispenseModeTimed dispenseModeSteady" << "index";
        QTest::newRow("ai mode") << "aiModeGroup" << "aiModeTimed aiModeCount aiModeSequence aiModeOff" << "index";
    }

    void buttonGroupIdsCarryProtocolValues()
    {
        QFETCH(QString, group);
        QFETCH(QString, buttons);
        QFETCH(QString, kind);
        MainWindow window;
        auto *buttonGroup = child<QButtonGroup>(window, qPrintable(group));
        const QStringList names = buttons.split(' ');
        QCOMPARE(buttonGroup->buttons().size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            const int expected = kind == QLatin1String("bit") ? 1 << i
                                 : kind == QLatin1String("index") ? i : names[i].mid(4).toInt();
            QCOMPARE(buttonGroup->id(child<QAbstractButton>(window, qPrintable(names[i]))), expected);
        }
    }

    void limits_data()
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

    void limits()
    {
        QFETCH(QString, name);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        MainWindow window;
        QObject *box = child<QObject>(window, qPrintable(name));
        QCOMPARE(box->property("minimum").toDouble(), minimum);
        QCOMPARE(box->property("maximum").toDouble(), maximum);
    }

    void passwordFieldsTakeFourDigits()
    {
        MainWindow window;
        for (const char *name : {"currentPassword", "newPassword", "confirmPassword"}) {
            auto *field = child<QLineEdit>(window, name);
            QTest::keyClicks(field, QStringLiteral("12a345"));
            QVERIFY2(field->text() == QStringLiteral("1234"), name);
            QVERIFY2(field->echoMode() == QLineEdit::Password, name);
        }
    }

    void viewActionsToggleDocks_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("dock");
        QTest::newRow("settings") << "actionChange_View_Settings_Docking_Window" << "changeViewSettingsDockWidget";
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
        auto *toggle = child<QAction>(window, qPrintable(action));
        auto *dockWidget = child<QDockWidget>(window, qPrintable(dock));
        dockWidget->show();

        // Each trigger flips the action and shows or closes the dock to match.
        // Closed by its own button, the dock leaves its action checked: the
        // next trigger only unchecks it, the one after shows the dock again.
        for (bool closeByButton : {false, true}) {
            if (closeByButton) {
                dockWidget->close();
                QVERIFY(toggle->isChecked());
            }
            toggle->trigger();
            QVERIFY(!toggle->isChecked() && dockWidget->isHidden());
            toggle->trigger();
            QVERIFY(toggle->isChecked() && dockWidget->isVisible());
        }
    }

    void exitQuitsTheEventLoop()
    {
        MainWindow window;
        window.show();
        QTimer::singleShot(0, child<QAction>(window, "actionExit"), &QAction::trigger);
        // A watchdog keeps a broken Exit from hanging the suite.
        QTimer::singleShot(5000, &window, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
