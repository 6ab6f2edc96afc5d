// Operator and Supervisor modes: the password check, what each mode shows and
// allows, and the guards against a second prompt or a second profile tab.
#include "MainWindow.h"
#include "PasswordDialog.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

class TestModes : public QObject
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

    static PasswordDialog *askForPassword(MainWindow &window)
    {
        child<QAction>(&window, "actionSupervisor_Mode")->trigger();
        const QList<PasswordDialog *> shown = shownDialogs();
        return shown.size() == 1 ? shown.first() : nullptr;
    }

    static void confirm(PasswordDialog *dialog, const QString &password)
    {
        QTest::keyClicks(dialog->findChild<QLineEdit *>(), password);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    }

    static void enterSupervisor(MainWindow &window)
    {
        PasswordDialog *dialog = askForPassword(window);
        QVERIFY(dialog);
        confirm(dialog, QStringLiteral("5183"));
    }

    static QString modeText(MainWindow &window)
    {
        for (QLabel *label : child<QStatusBar>(&window, "statusBar")->findChildren<QLabel *>()) {
            if (label->text().endsWith(QLatin1String(" Mode")))
                return label->text();
        }
        return QString();
    }

    static int profileTabCount(MainWindow &window)
    {
        auto *tabs = child<QTabWidget>(&window, "centralTabWidget");
        QWidget *profileTab = child<QWidget>(&window, "tabDispenseProfile");
        int count = 0;
        for (int i = 0; i < tabs->count(); ++i)
            count += tabs->widget(i) == profileTab ? 1 : 0;
        return count;
    }

    static void verifyMode(MainWindow &window, bool supervisor)
    {
        auto *tabs = child<QTabWidget>(&window, "centralTabWidget");
        QWidget *profileTab = child<QWidget>(&window, "tabDispenseProfile");
        if (supervisor) {
            QCOMPARE(tabs->count(), 3);
            QCOMPARE(tabs->indexOf(profileTab), 0);
            QCOMPARE(tabs->tabText(0), QStringLiteral("Dispense Profile"));
            QCOMPARE(tabs->currentIndex(), 0);
        } else {
            QCOMPARE(tabs->count(), 2);
            QCOMPARE(tabs->indexOf(profileTab), -1);
            QCOMPARE(tabs->indexOf(child<QWidget>(&window, "tabCurrentSettings")), 0);
        }
        QCOMPARE(modeText(window), supervisor ? QStringLiteral("Supervisor Mode")
                                              : QStringLiteral("Operator Mode"));
        QCOMPARE(child<QAction>(&window, "actionSupervisor_Mode")->isVisible(), !supervisor);
        QCOMPARE(child<QAction>(&window, "actionOperator_Mode")->isVisible(), supervisor);
        auto *bulkAction = child<QAction>(&window, "actionBulk_Adjust_Dispense_Profile");
        QCOMPARE(bulkAction->isVisible(), supervisor);
        if (supervisor)
            QVERIFY(bulkAction->isChecked());
        QCOMPARE(child<QDockWidget>(&window, "bulkAdjustDock")->isHidden(), !supervisor);
        QCOMPARE(child<QGroupBox>(&window, "groupBox_7")->isEnabled(), supervisor);
        QCOMPARE(child<QGroupBox>(&window, "groupBox_5")->isEnabled(), supervisor);
        // The lockout page was re-applied and is now in view.
        QCOMPARE(child<QStackedWidget>(&window, "configStackWidget")->currentIndex(), 5);
        QCOMPARE(child<QPlainTextEdit>(&window, "commandHelpEdit")->toPlainText(),
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

    void startsInOperatorModeWithoutApplyingIt()
    {
        MainWindow window;
        QCOMPARE(modeText(window), QStringLiteral("Operator Mode"));
        QCOMPARE(profileTabCount(window), 0);
        // Left as built until the first mode switch.
        QVERIFY(child<QGroupBox>(&window, "groupBox_5")->isEnabled());
        QVERIFY(child<QGroupBox>(&window, "groupBox_7")->isEnabled());
        QVERIFY(child<QAction>(&window, "actionBulk_Adjust_Dispense_Profile")->isVisible());
    }

    void rightPasswordEntersSupervisorMode()
    {
        MainWindow window;
        QTest::ignoreMessage(QtDebugMsg, "Current Password: 5183");
        QTest::ignoreMessage(QtDebugMsg, "Enter supervisor mode, password correct\n");
        enterSupervisor(window);
        verifyMode(window, true);
    }

    void changedPasswordIsTheOneChecked()
    {
        TestSettings::set("SuperPassword", "0042");
        MainWindow window;
        PasswordDialog *dialog = askForPassword(window);
        QVERIFY(dialog);
        confirm(dialog, QStringLiteral("0042"));
        QCOMPARE(modeText(window), QStringLiteral("Supervisor Mode"));
    }

    void wrongOrEmptyPasswordChangesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("other four digits") << "5184";
        QTest::newRow("prefix") << "518";
        QTest::newRow("empty") << "";
    }

    void wrongOrEmptyPasswordChangesNothing()
    {
        QFETCH(QString, typed);
        MainWindow window;
        QTest::ignoreMessage(QtDebugMsg, "Password incorrect.");
        PasswordDialog *dialog = askForPassword(window);
        QVERIFY(dialog);
        confirm(dialog, typed);
        QCOMPARE(modeText(window), QStringLiteral("Operator Mode"));
        QCOMPARE(profileTabCount(window), 0);
        QVERIFY(shownDialogs().isEmpty());
    }

    void cancelAfterRightTextIsIgnored()
    {
        MainWindow window;
        // An earlier dialog left the right text behind, then the user cancels.
        QMetaObject::invokeMethod(&window, "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        PasswordDialog *dialog = askForPassword(window);
        QVERIFY(dialog);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(modeText(window), QStringLiteral("Operator Mode"));
    }

    void onlyOneDialogAtATime()
    {
        MainWindow window;
        PasswordDialog *first = askForPassword(window);
        QVERIFY(first);
        child<QAction>(&window, "actionSupervisor_Mode")->trigger();
        QCOMPARE(shownDialogs(), QList<PasswordDialog *>({first}));

        // Once the first has finished, the next trigger offers a fresh one.
        first->reject();
        PasswordDialog *second = askForPassword(window);
        QVERIFY(second);
        QVERIFY(second != first);
    }

    void finishedDialogIsReleased()
    {
        MainWindow window;
        QPointer<PasswordDialog> dialog = askForPassword(window);
        QVERIFY(dialog);
        confirm(dialog, QStringLiteral("1111"));
        QTRY_VERIFY(dialog.isNull());
    }

    void rightPasswordWhileSupervisorChangesNothing()
    {
        MainWindow window;
        enterSupervisor(window);
        auto *tabs = child<QTabWidget>(&window, "centralTabWidget");
        tabs->setCurrentIndex(2);

        QMetaObject::invokeMethod(&window, "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        QMetaObject::invokeMethod(&window, "passDialogFinished", Q_ARG(int, 1));

        QCOMPARE(profileTabCount(window), 1);
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void operatorModeTakesEverythingBack()
    {
        MainWindow window;
        enterSupervisor(window);
        child<QAction>(&window, "actionOperator_Mode")->trigger();
        verifyMode(window, false);
    }

    void supervisorOperatorSupervisorLeavesOneProfileTab()
    {
        MainWindow window;
        enterSupervisor(window);
        child<QAction>(&window, "actionOperator_Mode")->trigger();
        enterSupervisor(window);
        QCOMPARE(profileTabCount(window), 1);
        verifyMode(window, true);
    }

    void operatorModeFindsADraggedProfileTab()
    {
        MainWindow window;
        enterSupervisor(window);
        auto *tabs = child<QTabWidget>(&window, "centralTabWidget");
        tabs->tabBar()->moveTab(0, 2);
        QCOMPARE(tabs->indexOf(child<QWidget>(&window, "tabDispenseProfile")), 2);

        child<QAction>(&window, "actionOperator_Mode")->trigger();

        QCOMPARE(profileTabCount(window), 0);
        QVERIFY(tabs->indexOf(child<QWidget>(&window, "tabCurrentSettings")) >= 0);
        QVERIFY(tabs->indexOf(child<QWidget>(&window, "tabPelidor7Config")) >= 0);
    }

    void modeSwitchAppliesStoredLockouts()
    {
        MainWindow window;
        // The lockout boxes are usable until the first mode switch.
        child<QCheckBox>(&window, "lockoutDT")->click();
        child<QCheckBox>(&window, "lockoutLA")->click();
        QCOMPARE(window.dispenserState().lockouts, 1 | 4096);

        enterSupervisor(window);
        QVERIFY(child<QWidget>(&window, "dispenseTime")->isEnabled());
        QVERIFY(child<QGroupBox>(&window, "groupBox_6")->isEnabled());

        child<QAction>(&window, "actionOperator_Mode")->trigger();
        QVERIFY(!child<QWidget>(&window, "dispenseTime")->isEnabled());
        QVERIFY(!child<QGroupBox>(&window, "groupBox_6")->isEnabled());
        QVERIFY(child<QWidget>(&window, "pressureBox")->isEnabled());
        QVERIFY(child<QGroupBox>(&window, "groupBox_4")->isEnabled());
    }

    void modeSwitchReadsLockoutsWhenConnected()
    {
        SimulatedDispenser dispenser;
        QVERIFY2(dispenser.start(), qPrintable(dispenser.errorString()));
        SimulatedDispenser::State held;
        held.lockouts = 4096; // LA
        dispenser.setState(held);
        WindowOnSimulator::storePort(dispenser);
        MainWindow window;
        QVERIFY(WindowOnSimulator::connect(window));
        child<QCheckBox>(&window, "lockoutDT")->click(); // the stored word: DT

        enterSupervisor(window);

        QTRY_COMPARE(dispenser.receivedPackets(), QList<QByteArray>({"10EH  PA5183"}));
        QVERIFY(child<QCheckBox>(&window, "lockoutLA")->isChecked());
        QVERIFY(!child<QCheckBox>(&window, "lockoutDT")->isChecked());
        QCOMPARE(window.dispenserState().lockouts, 1);
        verifyMode(window, true);
    }

    void operatorModeLocksEvenWhenTheLockoutReadFails()
    {
        SimulatedDispenser dispenser;
        QVERIFY2(dispenser.start(), qPrintable(dispenser.errorString()));
        WindowOnSimulator::storePort(dispenser);
        MainWindow window;
        QVERIFY(WindowOnSimulator::connect(window));
        child<QCheckBox>(&window, "lockoutDT")->click();
        enterSupervisor(window);
        QVERIFY(child<QWidget>(&window, "dispenseTime")->isEnabled());
        auto *stack = child<QStackedWidget>(&window, "configStackWidget");
        stack->setCurrentIndex(6);

        dispenser.injectFault(SimulatedDispenser::Fault::Refuse);
        child<QAction>(&window, "actionOperator_Mode")->trigger();

        QCOMPARE(modeText(window), QStringLiteral("Operator Mode"));
        QVERIFY(!child<QWidget>(&window, "dispenseTime")->isEnabled());
        QVERIFY(!child<QGroupBox>(&window, "groupBox_5")->isEnabled());
        QVERIFY(child<QWidget>(&window, "pressureBox")->isEnabled());
        QCOMPARE(stack->currentIndex(), 6); // the failed read keeps the page
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
