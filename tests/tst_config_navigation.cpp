// The configuration tree: which page each item opens, the help texts, what
// the openers read from the dispenser, and the lockout enabling of the window.
#include "DispenserState.h"
#include "MainWindow.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QString unitsHelp = QStringLiteral("Set units for pressure and vacuum.");
const QString lockoutHelp =
    QStringLiteral("Set Operator Lockouts on the Pelidor 7.\n\n(Requires Supervisor mode.)");

// Controls governed by the lockout word, with the bit that locks them; 0
// marks the lockout boxes themselves, usable only by a supervisor.
struct GovernedControl
{
    const char *name;
    unsigned bit;
};
const GovernedControl governedControls[] = {
    {"groupBox_5", 0},
    {"groupBox_4", 32768},
    {"aiModeTimed", 64}, {"aiModeCount", 64}, {"aiModeSequence", 64}, {"aiModeOff", 64},
    {"groupBox_3", 8192},
    {"COMport", 16384},
    {"baudeRate", 16384},
    {"dispenseModeTimed", 32}, {"dispenseModeSteady", 32},
    {"pressureBox", 2},
    {"dispenseTime", 1},
    {"vacuumBox", 4},
    {"groupBox_6", 4096},
    {"memCell", 8},
    {"groupBox", 1024},
    {"groupBox_2", 2048},
};

} // namespace

class TestConfigNavigation : public QObject
{
    Q_OBJECT

private:
    SimulatedDispenser dispenser;
    std::unique_ptr<MainWindow> window;

    template <typename T> T *child(const char *name)
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    int pageIndex() { return child<QStackedWidget>("configStackWidget")->currentIndex(); }
    QString helpText() { return child<QPlainTextEdit>("commandHelpEdit")->toPlainText(); }

    // Shows another page with another text, so that an opener that does
    // nothing is told apart from one that shows its page.
    void showOtherPage(int index)
    {
        child<QStackedWidget>("configStackWidget")->setCurrentIndex(index);
        child<QPlainTextEdit>("commandHelpEdit")->setPlainText(QStringLiteral("before"));
    }

    void clickItem(const QString &text)
    {
        auto *tree = child<QTreeWidget>("treeWidget");
        const QList<QTreeWidgetItem *> items =
            tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        emit tree->itemClicked(items.first(), 0);
    }

    void openWindow(bool connected)
    {
        TestSettings::clear();
        if (connected)
            WindowOnSimulator::storePort(dispenser);
        window = std::make_unique<MainWindow>();
        // The alarm poll would slip its own exchanges into the dispenser's log.
        for (QTimer *timer : window->findChildren<QTimer *>()) {
            if (timer->interval() == 10000)
                timer->stop();
        }
        if (connected)
            QVERIFY(WindowOnSimulator::connect(*window));
        dispenser.clearLog();
    }

    // The packets the program sent, once its closing EOT is on the line.
    QList<QByteArray> packetsAfterSession()
    {
        // A time-out shows in the comparison that follows.
        (void)QTest::qWaitFor([this] { return dispenser.receivedBytes().endsWith('\x04'); }, 3000);
        return dispenser.receivedPackets();
    }

    void setLockoutWord(unsigned word)
    {
        for (QAbstractButton *box : child<QButtonGroup>("lockoutsGroup")->buttons()) {
            const unsigned bit = unsigned(child<QButtonGroup>("lockoutsGroup")->id(box));
            if (box->isChecked() != ((word & bit) != 0))
                box->click();
        }
        QCOMPARE(unsigned(window->dispenserState().lockouts), word);
    }

    void enterSupervisorMode()
    {
        QMetaObject::invokeMethod(window.get(), "passEntered", Q_ARG(QString, QStringLiteral("5183")));
        QMetaObject::invokeMethod(window.get(), "passDialogFinished", Q_ARG(int, 1));
    }

private slots:
    void initTestCase() { QVERIFY2(dispenser.start(), qPrintable(dispenser.errorString())); }

    void init()
    {
        dispenser.setState(SimulatedDispenser::State{});
        dispenser.clearLog();
    }

    void cleanup() { window.reset(); }

    void itemOpensItsPage_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("help");
        QTest::newRow("Comm") << "Comm" << 0 << "Set communications port and baud rate.";
        QTest::newRow("Units") << "Units" << 1 << unitsHelp;
        QTest::newRow("Pressure") << "Pressure" << 1 << unitsHelp;
        QTest::newRow("Vacuum") << "Vacuum" << 2 << unitsHelp;
        QTest::newRow("Time/Date") << "Time/Date" << 3 << "Set Time and Date on the Pelidor 7.";
        QTest::newRow("Alarm Options") << "Alarm Options" << 4 << "Set Alarm Options on the Pelidor 7.";
        QTest::newRow("Lockout Control") << "Lockout Control" << 5 << lockoutHelp;
        QTest::newRow("Language") << "Language" << 6 << "Set display panel language on the Pelidor 7";
        QTest::newRow("Supervisor Password") << "Supervisor Password" << 7
            << "Enter a 4-digit Supervisor password.\n\n"
               "You MUST manually set the SAME password on the Pelidor 7!";
    }

    // With the port closed no page talks to the dispenser.
    void itemOpensItsPage()
    {
        QFETCH(QString, item);
        QFETCH(int, index);
        QFETCH(QString, help);
        openWindow(false);
        showOtherPage(index == 7 ? 6 : 7);

        clickItem(item);

        QCOMPARE(pageIndex(), index);
        QCOMPARE(helpText(), help);
    }

    void unknownItemDoesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown") << "Network";
        QTest::newRow("other case") << "comm";
        QTest::newRow("part of a text") << "Lockout";
    }

    void unknownItemDoesNothing()
    {
        QFETCH(QString, text);
        openWindow(false);
        showOtherPage(4);
        auto *tree = child<QTreeWidget>("treeWidget");
        QTreeWidgetItem item(QStringList{text});
        emit tree->itemClicked(&item, 0);
        QCOMPARE(pageIndex(), 4);
        QCOMPARE(helpText(), QStringLiteral("before"));
    }

    void openersShowPagesAsTheyAreWhenClosed()
    {
        openWindow(false);
        child<QCheckBox>("alarmIO")->setChecked(true);
        child<QCheckBox>("lockoutCL")->setChecked(true);

        clickItem(QStringLiteral("Alarm Options"));
        clickItem(QStringLiteral("Lockout Control"));

        QVERIFY(child<QCheckBox>("alarmIO")->isChecked());
        QVERIFY(child<QCheckBox>("lockoutCL")->isChecked());
        QCOMPARE(window->dispenserState().alarms, 0);
        QCOMPARE(window->dispenserState().lockouts, 0);
    }

    void lockoutEnabling_data()
    {
        QTest::addColumn<bool>("supervisor");
        QTest::addColumn<unsigned>("word");
        QTest::newRow("operator, nothing locked") << false << 0u;
        QTest::newRow("operator, everything locked") << false << 0xFFFFu;
        QTest::newRow("operator, time, comms and alarms") << false << (1u | 16384u | 32768u);
        QTest::newRow("operator, AI and dispense mode") << false << (64u | 32u);
        QTest::newRow("operator, units and language") << false << (1024u | 2048u | 4096u);
        QTest::newRow("operator, panel-only bits") << false << (16u | 128u | 256u | 512u);
        QTest::newRow("supervisor, nothing locked") << true << 0u;
        QTest::newRow("supervisor, everything locked") << true << 0xFFFFu;
    }

    void lockoutEnabling()
    {
        QFETCH(bool, supervisor);
        QFETCH(unsigned, word);
        openWindow(false);
        if (supervisor)
            enterSupervisorMode();
        setLockoutWord(word); // the boxes are usable until the first switch to Operator mode
        showOtherPage(0);

        clickItem(QStringLiteral("Lockout Control"));

        QCOMPARE(pageIndex(), 5);
        for (const GovernedControl &control : governedControls) {
            const bool expected = supervisor || (control.bit != 0 && (word & control.bit) == 0);
            QVERIFY2(child<QWidget>(control.name)->isEnabled() == expected, control.name);
        }
        // Closed port: the boxes keep what the user ticked.
        for (QAbstractButton *box : child<QButtonGroup>("lockoutsGroup")->buttons()) {
            const unsigned bit = unsigned(child<QButtonGroup>("lockoutsGroup")->id(box));
            QCOMPARE(box->isChecked(), (word & bit) != 0);
        }
    }

    void pressurePageReadsTheUnit_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("button");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("decimals");
        // PSI is the unit already chosen: the unit handler still runs.
        QTest::newRow("PSI") << 0 << "pressurePSI" << 100.0 << 1;
        QTest::newRow("BAR") << 1 << "pressureBAR" << 6.895 << 3;
        QTest::newRow("kPa") << 2 << "pressureKPA" << 689.5 << 1;
    }

    void pressurePageReadsTheUnit()
    {
        QFETCH(int, unit);
        QFETCH(QString, button);
        QFETCH(double, maximum);
        QFETCH(int, decimals);
        SimulatedDispenser::State held = dispenser.state();
        held.pressureUnit = unit;
        dispenser.setState(held);
        openWindow(true);

        clickItem(QStringLiteral("Pressure"));

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"04E4  "}));
        QCOMPARE(pageIndex(), 1);
        QCOMPARE(helpText(), unitsHelp);
        QVERIFY(window->findChild<QAbstractButton *>(button)->isChecked());
        QCOMPARE(window->dispenserState().pressureUnits, unit);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->maximum(), maximum);
        QCOMPARE(child<QDoubleSpinBox>("pressureBox")->decimals(), decimals);
    }

    void vacuumPageReadsTheUnit_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        // Inches of water is the unit already chosen: the handler still
        // rewrites the caption.
        QTest::newRow("kPa") << 0 << "kpabut" << "Vac (kPa):";
        QTest::newRow("inches of water") << 1 << "inchesh2obut" << "Vac (\"H2O):";
        QTest::newRow("Torr") << 4 << "torrbut" << "Vac (Torr):";
    }

    void vacuumPageReadsTheUnit()
    {
        QFETCH(int, unit);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        SimulatedDispenser::State held = dispenser.state();
        held.vacuumUnit = unit;
        dispenser.setState(held);
        openWindow(true);
        // Mark the caption: only the unit handler writes it back.
        child<QLabel>("label_24")->setText(QStringLiteral("marked"));

        clickItem(QStringLiteral("Vacuum"));

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"04E5  "}));
        QCOMPARE(pageIndex(), 2);
        QVERIFY(window->findChild<QAbstractButton *>(button)->isChecked());
        QCOMPARE(window->dispenserState().vacuumUnits, unit);
        QCOMPARE(child<QLabel>("label_24")->text(), caption);
    }

    void timeDatePageReadsTheClock_data()
    {
        QTest::addColumn<int>("panelHour");
        QTest::addColumn<int>("indicator");
        QTest::addColumn<int>("hour");
        QTest::addColumn<bool>("clock24");
        QTest::addColumn<QString>("format");
        QTest::newRow("24-hour clock") << 17 << 2 << 17 << true << "hh:mm";
        QTest::newRow("12-hour clock, PM") << 5 << 1 << 17 << false << "h:mm A";
        QTest::newRow("12-hour clock, midnight") << 12 << 0 << 0 << false << "h:mm A";
    }

    void timeDatePageReadsTheClock()
    {
        QFETCH(int, panelHour);
        QFETCH(int, indicator);
        QFETCH(int, hour);
        QFETCH(bool, clock24);
        QFETCH(QString, format);
        SimulatedDispenser::State held = dispenser.state();
        held.month = 2;
        held.day = 29;
        held.year = 24;
        held.hour = panelHour;
        held.minute = 42;
        held.clockIndicator = indicator;
        dispenser.setState(held);
        openWindow(true);

        clickItem(QStringLiteral("Time/Date"));

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"04EF  ", "04EE  "}));
        QCOMPARE(pageIndex(), 3);
        QCOMPARE(helpText(), QStringLiteral("Set Time and Date on the Pelidor 7."));
        QCOMPARE(child<QCalendarWidget>("calendarWidget")->selectedDate(), QDate(2024, 2, 29));
        QCOMPARE(child<QTimeEdit>("timeEdit")->time(), QTime(hour, 42));
        QCOMPARE(child<QCheckBox>("check24hr")->isChecked(), clock24);
        QCOMPARE(child<QTimeEdit>("timeEdit")->displayFormat(), format);
        const DispenserState &state = window->dispenserState();
        QCOMPARE(state.year, 2024);
        QCOMPARE(state.month, 2);
        QCOMPARE(state.day, 29);
        QCOMPARE(state.hour, hour);
        QCOMPARE(state.minute, 42);
        QCOMPARE(state.clock24, clock24);
    }

    void failedDateReadSkipsTimeAndKeepsPage()
    {
        openWindow(true);
        showOtherPage(6);
        const QDate shownDate = child<QCalendarWidget>("calendarWidget")->selectedDate();
        dispenser.injectFault(SimulatedDispenser::Fault::Refuse);

        clickItem(QStringLiteral("Time/Date"));

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"04EF  "}));
        QCOMPARE(pageIndex(), 6);
        QCOMPARE(helpText(), QStringLiteral("before"));
        QCOMPARE(child<QCalendarWidget>("calendarWidget")->selectedDate(), shownDate);
    }

    void failedReadKeepsPage_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("Pressure") << "Pressure" << QByteArray("04E4  ");
        QTest::newRow("Vacuum") << "Vacuum" << QByteArray("04E5  ");
        QTest::newRow("Alarm Options") << "Alarm Options" << QByteArray("04EJ  ");
        QTest::newRow("Lockout Control") << "Lockout Control" << QByteArray("10EH  PA5183");
    }

    void failedReadKeepsPage()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, packet);
        openWindow(true);
        showOtherPage(7);
        dispenser.injectFault(SimulatedDispenser::Fault::NoData);

        clickItem(item);

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({packet}));
        QCOMPARE(pageIndex(), 7);
        QCOMPARE(helpText(), QStringLiteral("before"));
    }

    void unitReadOutOfRangeKeepsPage()
    {
        openWindow(true);
        showOtherPage(0);
        dispenser.injectData(QByteArrayLiteral("E4  PU07"));

        clickItem(QStringLiteral("Pressure"));

        QCOMPARE(pageIndex(), 0);
        QCOMPARE(window->dispenserState().pressureUnits, 0);
        QVERIFY(child<QAbstractButton>("pressurePSI")->isChecked());
    }

    void alarmPageTicksTheWordRead()
    {
        SimulatedDispenser::State held = dispenser.state();
        held.alarmOptions = 1u | 2u; // IN and IO
        dispenser.setState(held);
        openWindow(true);

        clickItem(QStringLiteral("Alarm Options"));

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"04EJ  "}));
        QCOMPARE(pageIndex(), 4);
        for (QAbstractButton *box : child<QButtonGroup>("alarmsGroup")->buttons())
            QCOMPARE(box->isChecked(), box == child<QCheckBox>("alarmIN") || box == child<QCheckBox>("alarmIO"));
        QCOMPARE(window->dispenserState().alarms, 0); // shown, not stored

        // Only the user's own clicks reach the stored word that Apply sends.
        child<QCheckBox>("alarmAE")->click();
        dispenser.clearLog();
        child<QPushButton>("configApplyButton")->click();
        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"25EI  IN0IO0IL0PO0PL0AE1AO0"}));
        QCOMPARE(dispenser.state().alarmOptions, 32u);
    }

    void lockoutPageTicksTheWordReadWithTheStoredPassword()
    {
        SimulatedDispenser::State held = dispenser.state();
        held.lockouts = 2u | 8192u; // DP and CL
        dispenser.setState(held);
        openWindow(true);

        clickItem(QStringLiteral("Lockout Control"));

        QCOMPARE(packetsAfterSession(), QList<QByteArray>({"10EH  PA5183"}));
        QCOMPARE(pageIndex(), 5);
        QCOMPARE(helpText(), lockoutHelp);
        for (QAbstractButton *box : child<QButtonGroup>("lockoutsGroup")->buttons())
            QCOMPARE(box->isChecked(), box == child<QCheckBox>("lockoutDP") || box == child<QCheckBox>("lockoutCL"));
        QCOMPARE(window->dispenserState().lockouts, 0);
        // The enabling follows the stored word, not the one read.
        QVERIFY(child<QWidget>("pressureBox")->isEnabled());
        QVERIFY(child<QWidget>("groupBox_3")->isEnabled());
    }

    void pagesWithoutReadsStayOffTheLine_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Language") << "Language";
        QTest::newRow("Supervisor Password") << "Supervisor Password";
    }

    void pagesWithoutReadsStayOffTheLine()
    {
        QFETCH(QString, item);
        openWindow(true);
        clickItem(item);
        QTest::qWait(50);
        QVERIFY(dispenser.receivedBytes().isEmpty());
    }
};

QTEST_MAIN(TestConfigNavigation)
#include "tst_config_navigation.moc"
