// Operator and Supervisor modes: the password check, what each mode shows and
// allows, and the guards against a second prompt or a second profile tab.
#include "PanelFixture.h"
#include "PasswordDialog.h"
#include "TestSettings.h"
#include "UserActions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using namespace UserActions;

class TestModes : public QObject
{
    Q_OBJECT

private:
    static QList<PasswordDialog *> shownDialogs()
    {
        QList<PasswordDialog *> shown;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<PasswordDialog *>(widget);
            if (dialog && dialog->isVisible())
                shown << dialog;
        }
        return shown;
    }

    static void triggerAction(MainWindow &window, const char *name) { child<QAction>(window, name)->trigger(); }

    // A second Dispense Profile tab would show as a fourth tab.
    static int tabCount(MainWindow &window) { return child<QTabWidget>(window, "centralTabWidget")->count(); }

    static void enterSupervisor(MainWindow &window)
    {
        QVERIFY(enterSupervisorMode(window, QStringLiteral("5183")));
    }

    static void verifyMode(MainWindow &window, bool supervisor)
    {
        auto *tabs = child<QTabWidget>(window, "centralTabWidget");
        QCOMPARE(tabCount(window), supervisor ? 3 : 2);
        QCOMPARE(tabs->indexOf(child<QWidget>(window, "tabDispenseProfile")), supervisor ? 0 : -1);
        if (supervisor) {
            QCOMPARE(tabs->currentIndex(), 0);
            QCOMPARE(tabs->tabText(0), QStringLiteral("Dispense Profile"));
        }
        QCOMPARE(modeLabel(window)->text(),
                 supervisor ? QStringLiteral("Supervisor Mode") : QStringLiteral("Operator Mode"));
        QCOMPARE(child<QAction>(window, "actionSupervisor_Mode")->isVisible(), !supervisor);
        QCOMPARE(child<QAction>(window, "actionOperator_Mode")->isVisible(), supervisor);
        auto *bulkAction = child<QAction>(window, "actionBulk_Adjust_Dispense_Profile");
        QCOMPARE(bulkAction->isVisible(), supervisor);
        QVERIFY(bulkAction->isChecked() || !supervisor);
        QCOMPARE(child<QDockWidget>(window, "bulkAdjustDock")->isHidden(), !supervisor);
        QCOMPARE(child<QWidget>(window, "groupBox_7")->isEnabled(), supervisor);
        QCOMPARE(child<QWidget>(window, "groupBox_5")->isEnabled(), supervisor);
        // The lockout page was opened again and is now in view.
        QCOMPARE(child<QStackedWidget>(window, "configStackWidget")->currentIndex(), 5);
    }

private slots:
    void init() { TestSettings::clear(); }

    void cleanup()
    {
        for (PasswordDialog *dialog : shownDialogs())
            dialog->reject();
        QTest::qWait(0);
    }

    // The right text left behind by an earlier prompt counts for nothing.
    void passwordCheck_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("verdict"); // the debug line; empty: no check
        QTest::newRow("right") << "5183" << int(Qt::Key_Return) << "Enter supervisor mode, password correct\n";
        QTest::newRow("prefix") << "518" << int(Qt::Key_Return) << "Password incorrect.";
        QTest::newRow("empty") << "" << int(Qt::Key_Return) << "Password incorrect.";
        QTest::newRow("cancelled") << "5183" << int(Qt::Key_Escape) << "";
    }

    void passwordCheck()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, verdict);
        MainWindow window;
        QMetaObject::invokeMethod(&window, "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        QTest::ignoreMessage(QtDebugMsg, "Current Password: 5183");
        if (!verdict.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable(verdict));

        triggerAction(window, "actionSupervisor_Mode");
        QCOMPARE(shownDialogs().size(), 1);
        auto *field = shownDialogs().first()->findChild<QLineEdit *>();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key(key));

        QVERIFY(shownDialogs().isEmpty());
        const bool right = verdict.startsWith(QLatin1String("Enter"));
        QCOMPARE(modeLabel(window)->text(), right ? QStringLiteral("Supervisor Mode") : QStringLiteral("Operator Mode"));
        QCOMPARE(tabCount(window), right ? 3 : 2);
    }

    void onlyOneDialogAtATimeAndReleasedWhenFinished()
    {
        MainWindow window;
        triggerAction(window, "actionSupervisor_Mode");
        triggerAction(window, "actionSupervisor_Mode");
        QCOMPARE(shownDialogs().size(), 1);
        QPointer<PasswordDialog> first = shownDialogs().first();

        // Once the first has finished, it goes and the next trigger offers a
        // fresh one.
        first->reject();
        QTRY_VERIFY(first.isNull());
        triggerAction(window, "actionSupervisor_Mode");
        QCOMPARE(shownDialogs().size(), 1);
    }

    void closingTheWindowClosesThePrompt()
    {
        MainWindow window;
        window.show();
        triggerAction(window, "actionSupervisor_Mode");
        QPointer<PasswordDialog> prompt = shownDialogs().first();
        window.close();
        QVERIFY(shownDialogs().isEmpty());
        QTRY_VERIFY(prompt.isNull());
    }

    void supervisorOperatorSupervisor()
    {
        MainWindow window;
        enterSupervisor(window);
        verifyMode(window, true);
        // Dragged away from index 0, the profile tab still goes in Operator mode.
        auto *tabs = child<QTabWidget>(window, "centralTabWidget");
        tabs->tabBar()->moveTab(0, 2);
        triggerAction(window, "actionOperator_Mode");
        verifyMode(window, false);
        enterSupervisor(window);
        verifyMode(window, true);

        // The right password again while in Supervisor mode changes nothing.
        tabs->setCurrentIndex(2);
        QMetaObject::invokeMethod(&window, "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        QMetaObject::invokeMethod(&window, "passDialogFinished", Q_ARG(int, 1));
        QCOMPARE(tabCount(window), 3);
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void operatorModeLocksEvenWhenTheLockoutReadFails()
    {
        PanelFixture panel;
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        panel.child<QAbstractButton>("lockoutDT")->click();
        enterSupervisor(*panel.window);
        QVERIFY(panel.child<QWidget>("dispenseTime")->isEnabled());
        panel.child<QStackedWidget>("configStackWidget")->setCurrentIndex(6);

        panel.dispenser->injectFault(SimulatedDispenser::Fault::Refuse);
        triggerAction(*panel.window, "actionOperator_Mode");

        QCOMPARE(modeLabel(*panel.window)->text(), QStringLiteral("Operator Mode"));
        QVERIFY(!panel.child<QWidget>("dispenseTime")->isEnabled());
        QVERIFY(!panel.child<QWidget>("groupBox_5")->isEnabled());
        QVERIFY(panel.child<QWidget>("pressureBox")->isEnabled());
        // The failed read keeps the page.
        QCOMPARE(panel.child<QStackedWidget>("configStackWidget")->currentIndex(), 6);
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
