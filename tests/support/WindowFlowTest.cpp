#include "WindowFlowTest.h"

#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

using namespace UserActions;

SimulatedDispenser::State WindowFlowTest::exampleDispenser()
{
    SimulatedDispenser::State s;
    s.autoIncrementOn = true;
    s.autoIncrementType = 2;
    s.dispenseMode = 1;
    s.startCell = 5;
    s.endCell = 120;
    s.currentCell = 7;
    s.cells[7] = {2500, 305, 25, 10};
    s.cells[25] = {4000, 120, 50, 30};
    s.shotCount = 1234;
    s.hour = 2;
    s.minute = 5;
    s.clockIndicator = 1;
    s.month = 3;
    s.day = 14;
    s.year = 25;
    s.pressureUnit = 2;
    s.vacuumUnit = 3;
    s.alarmOptions = 1;
    return s;
}

void WindowFlowTest::openConnectedWindow()
{
    TestSettings::clear();
    dispenser.reset(new SimulatedDispenser);
    QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
    dispenser->setState(exampleDispenser());
    WindowOnSimulator::storePort(*dispenser);

    window.reset(new MainWindow);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // A flow that wants the alarm poll starts it; elsewhere it would only mix
    // its exchanges into the dispenser's log.
    alarmTimer(*window)->blockSignals(true);

    showTab("tabPelidor7Config");
    QVERIFY(clickTreeItem(*window, QStringLiteral("Comm")));
    QCOMPARE(child<QStackedWidget>("configStackWidget")->currentIndex(), 0);
    QAbstractButton *portButton = nullptr;
    for (QAbstractButton *button : child<QButtonGroup>("COMportGroup")->buttons()) {
        if (button->text() == dispenser->devicePath())
            portButton = button;
    }
    QVERIFY2(portButton, "the dispenser's device is not offered");
    QVERIFY(portButton->isChecked());
    click(portButton);
    click(child<QRadioButton>("baud115200"));

    showTab("tabCurrentSettings");
    click(child<QPushButton>("connectButton"));
    QCOMPARE(connectionText(), QStringLiteral("Connected to Pelidor 7"));
    clearLogOnceIdle();
}

void WindowFlowTest::closeWindow()
{
    window.reset();
    dispenser.reset();
}

QString WindowFlowTest::connectionText() const { return connectionLabel(*window)->text(); }

QTableWidget *WindowFlowTest::table() const
{
    return window->findChild<QTableWidgetWithCopyPaste *>();
}

void WindowFlowTest::showTab(const char *page)
{
    QVERIFY(UserActions::showTab(*window, child<QWidget>(page)));
}

void WindowFlowTest::clickGet()
{
    showTab("tabCurrentSettings");
    click(child<QPushButton>("pushButton_4"));
}

void WindowFlowTest::clickSend()
{
    showTab("tabCurrentSettings");
    click(child<QPushButton>("pushButton_5"));
}

void WindowFlowTest::transmit()
{
    showTab("tabDispenseProfile");
    click(child<QPushButton>("pushButton"));
}

void WindowFlowTest::enterSupervisor()
{
    QVERIFY(enterSupervisorMode(*window, QStringLiteral("5183")));
    QCOMPARE(modeLabel(*window)->text(), QStringLiteral("Supervisor Mode"));
}

void WindowFlowTest::typeCellRange(int start, int end)
{
    showTab("tabCurrentSettings");
    retype(child<QSpinBox>("startMemCell"), QString::number(start));
    retype(child<QSpinBox>("endMemCell"), QString::number(end));
    QCOMPARE(child<QSpinBox>("startMemCell")->value(), start);
    QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), start);
    QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), end);
    waitForCellRead();
}

void WindowFlowTest::pasteBlock(int row, int column, const QString &block)
{
    showTab("tabDispenseProfile");
    QTableWidgetItem *topLeft = table()->item(row, column);
    table()->scrollToItem(topLeft);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table()->visualItemRect(topLeft).center());
    QApplication::clipboard()->setText(block);
    QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
}

void WindowFlowTest::waitForCellRead()
{
    QTRY_VERIFY(!memCellTimer(*window)->isActive());
}

QList<QByteArray> WindowFlowTest::packetsOnceIdle() const
{
    return WindowOnSimulator::packetsOnceIdle(*dispenser);
}

void WindowFlowTest::clearLogOnceIdle()
{
    packetsOnceIdle();
    dispenser->clearLog();
}
