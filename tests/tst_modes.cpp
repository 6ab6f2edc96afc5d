// Operator and Supervisor modes: the password check, what each mode shows and
// allows, and the guards against a second prompt or a second profile tab.
#include "PanelFixture.h"
#include "PasswordDialog.h"
#include "TestSettings.h"
#include "UserActions.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

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

    static void triggerAction(MainWindow &window, const char *name) { namedChild<QAction>(&window, name)->trigger(); }

    static int profileTabCount(MainWindow &window)
    {
        auto *tabs = namedChild<QTabWidget>(&window, "centralTabWidget");
        int count = 0;
        for (int i = 0; i < tabs->count(); ++i)
            count += tabs->widget(i)->objectName() == QLatin1String("tabDispenseProfile") ? 1 : 0;
        return count;
    }

    static void enterSupervisor(MainWindow &window)
    {
        QVERIFY(UserActions::enterSupervisorMode(window, QStringLiteral("5183")));
    }

    static void verifyMode(MainWindow &window, bool supervisor)
    {
        auto *tabs = namedChild<QTabWidget>(&window, "centralTabWidget");
        QCOMPARE(profileTabCount(window), supervisor ? 1 : 0);
        QCOMPARE(tabs->count(), supervisor ? 3 : 2);
        if (supervisor) {
            QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("tabDispenseProfile"));
            QCOMPARE(tabs->tabText(0), QStringLiteral("Dispense Profile"));
        }
        QCOMPARE(UserActions::modeLabel(window)->text(),
                 supervisor ? QStringLiteral("Supervisor Mode") : QStringLiteral("Operator Mode"));
        QCOMPARE(namedChild<QAction>(&window, "actionSupervisor_Mode")->isVisible(), !supervisor);
        QCOMPARE(namedChild<QAction>(&window, "actionOperator_Mode")->isVisible(), supervisor);
        auto *bulkAction = namedChild<QAction>(&window, "actionBulk_Adjust_Dispense_Profile");
        QCOMPARE(bulkAction->isVisible(), supervisor);
        if (supervisor)
            QVERIFY(bulkAction->isChecked());
        QCOMPARE(namedChild<QDockWidget>(&window, "bulkAdjustDock")->isHidden(), !supervisor);
        QCOMPARE(namedChild<QWidget>(&window, "groupBox_7")->isEnabled(), supervisor);
        QCOMPARE(namedChild<QWidget>(&window, "groupBox_5")->isEnabled(), supervisor);
        // The lockout page was re-applied and is now in view.
        QCOMPARE(namedChild<QStackedWidget>(&window, "configStackWidget")->currentIndex(), 5);
        QCOMPARE(namedChild<QPlainTextEdit>(&window, "commandHelpEdit")->toPlainText(),
                 QStringLiteral("Set Operator Lockouts on the Pelidor 7.\n\n(Requires Supervisor mode.)"));
    }

private slots:
    void init() { TestSettings::clear(); }

    void cleanup()
    {
        for (PasswordDialog *dialog : shownDialogs())
            dialog->reject();
        QTest::qWait(0);
    }

    void passwordCheck_data()
    {
        QTest::addColumn<QString>("stored"); // empty: the first run's
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("first-run password") << "" << "5183" << true;
        QTest::newRow("changed password") << "0042" << "0042" << true;
        QTest::newRow("first-run password after a change") << "0042" << "5183" << false;
        QTest::newRow("other four digits") << "" << "5184" << false;
        QTest::newRow("prefix") << "" << "518" << false;
        QTest::newRow("empty") << "" << "" << false;
    }

    void passwordCheck()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        if (!stored.isEmpty())
            TestSettings::set("SuperPassword", stored);
        MainWindow window;
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Current Password: " + (stored.isEmpty() ? QStringLiteral("5183") : stored)));
        QTest::ignoreMessage(QtDebugMsg, accepted ? "Enter supervisor mode, password correct\n" : "Password incorrect.");

        QVERIFY(UserActions::enterSupervisorMode(window, typed));

        QVERIFY(shownDialogs().isEmpty());
        if (accepted) {
            verifyMode(window, true);
        } else {
            QCOMPARE(UserActions::modeLabel(window)->text(), QStringLiteral("Operator Mode"));
            QCOMPARE(profileTabCount(window), 0);
        }
    }

    void cancelAfterRightTextIsIgnored()
    {
        MainWindow window;
        // An earlier dialog left the right text behind, then the user cancels.
        QMetaObject::invokeMethod(&window, "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        triggerAction(window, "actionSupervisor_Mode");
        QCOMPARE(shownDialogs().size(), 1);
        shownDialogs().first()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(UserActions::modeLabel(window)->text(), QStringLiteral("Operator Mode"));
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

    void rightPasswordWhileSupervisorChangesNothing()
    {
        MainWindow window;
        enterSupervisor(window);
        auto *tabs = namedChild<QTabWidget>(&window, "centralTabWidget");
        tabs->setCurrentIndex(2);

        QMetaObject::invokeMethod(&window, "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        QMetaObject::invokeMethod(&window, "passDialogFinished", Q_ARG(int, 1));

        QCOMPARE(profileTabCount(window), 1);
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void supervisorOperatorSupervisor()
    {
        MainWindow window;
        enterSupervisor(window);
        verifyMode(window, true);
        triggerAction(window, "actionOperator_Mode");
        verifyMode(window, false);
        enterSupervisor(window);
        verifyMode(window, true);
    }

    void operatorModeFindsADraggedProfileTab()
    {
        MainWindow window;
        enterSupervisor(window);
        namedChild<QTabWidget>(&window, "centralTabWidget")->tabBar()->moveTab(0, 2);

        triggerAction(window, "actionOperator_Mode");

        verifyMode(window, false);
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

        QCOMPARE(UserActions::modeLabel(*panel.window)->text(), QStringLiteral("Operator Mode"));
        QVERIFY(!panel.child<QWidget>("dispenseTime")->isEnabled());
        QVERIFY(!panel.child<QWidget>("groupBox_5")->isEnabled());
        QVERIFY(panel.child<QWidget>("pressureBox")->isEnabled());
        // The failed read keeps the page.
        QCOMPARE(panel.child<QStackedWidget>("configStackWidget")->currentIndex(), 6);
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
