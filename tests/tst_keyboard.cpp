// The daily steps by keyboard alone, on the shown window against the
// simulated dispenser: each key goes where the focus is, as a user's does.
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class TestKeyboard : public QObject
{
    Q_OBJECT

    WindowFixture f;

    // Keys by name, each going where the focus is; a closed menu or dialog
    // hands the focus back to the window, as window managers do.
    void type(const QString &keys) const
    {
        for (const QString &name : keys.split(' ')) {
            const int combined = QKeySequence(name)[0];
            const auto key = Qt::Key(combined & ~Qt::KeyboardModifierMask);
            for (const QTest::KeyAction action : { QTest::Press, QTest::Release }) {
                const QWindow *focus = QGuiApplication::focusWindow();
                if (!focus || !focus->isVisible()) {
                    f.window->activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
                }
                QTest::keyEvent(action, static_cast<QWidget *>(nullptr), key,
                                Qt::KeyboardModifiers(combined & Qt::KeyboardModifierMask));
            }
        }
    }

private slots:
    void dailyWalk()
    {
        QVERIFY2(f.open({}, WindowFixture::Shown), qPrintable(f.errorString()));
        type("Return Alt+F S 5 1 8 3 Return"); // Connect has the focus; Supervisor Mode

        // Job 2 holds cells 0 to 2; in the job list Space erases nothing.
        f.find<QSpinBox>("endMemCell")->setValue(2);
        f.dialogs.answers = { 2, "Bead", "/nonexistent/bead.csv" };
        type("Alt+F J");
        f.find<QSpinBox>("endMemCell")->setValue(10);
        type("Alt+V L Down Space Return");
        QCOMPARE(f.find<QTableWidget>("jobTableWidget")->item(1, 0)->text(), "Bead");

        // Transmit, Alarm Reset, Get, Send (the job's range), reached by Tab.
        const QByteArray steps[][2] = { { "pushButton", "07CH  002" },
                                        { "alarmResetButton", "04EK  " },
                                        { "pushButton_4", "04AU  " },
                                        { "pushButton_5", "12SS  S000E002" } };
        for (const auto &[button, packet] : steps) {
            for (int tabs = 0; QApplication::focusWidget() != f.find(button); ++tabs) {
                QVERIFY2(tabs < 40, button.constData());
                type("Tab");
            }
            f.clearLog();
            type("Space");
            QVERIFY2(f.packets().contains(packet), button.constData());
        }

        // Configuration: Tab leaves the help text for the tree, whose arrow
        // keys choose a page; Return opens it.
        f.find<QTabWidget>("centralTabWidget")->setCurrentIndex(2);
        f.find("plainTextEdit_2")->setFocus();
        type("Tab Home End Return");
        QCOMPARE(f.find<QStackedWidget>("configStackWidget")->currentIndex(), 7);

        type("Alt+V C"); // the status line's texts are in the log, whole
        const QAbstractItemModel *log = f.find<QListView>("communicationLogView")->model();
        QVERIFY(!log->match(log->index(0, 0), Qt::DisplayRole,
                            "Status: Transmit complete, verified: MemCell 0 to 2", 1,
                            Qt::MatchContains)
                         .isEmpty());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
