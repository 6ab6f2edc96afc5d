// The configuration tree: which page each item opens, the help texts, what
// the openers read from the dispenser, and the lockout enabling of the window.
#include "PanelFixture.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString unitsHelp = QStringLiteral("Set units for pressure and vacuum.");
const QString lockoutHelp =
    QStringLiteral("Set Operator Lockouts on the Pelidor 7.\n\n(Requires Supervisor mode.)");

// Controls governed by the lockout word, with the bit that locks them; 0
// marks the lockout boxes themselves, usable only by a supervisor.
const QList<QPair<const char *, unsigned>> governedControls = {
    {"groupBox_5", 0}, {"groupBox_4", 32768},
    {"aiModeTimed", 64}, {"aiModeCount", 64}, {"aiModeSequence", 64}, {"aiModeOff", 64},
    {"groupBox_3", 8192}, {"COMport", 16384}, {"baudeRate", 16384},
    {"dispenseModeTimed", 32}, {"dispenseModeSteady", 32},
    {"pressureBox", 2}, {"dispenseTime", 1}, {"vacuumBox", 4}, {"groupBox_6", 4096},
    {"memCell", 8}, {"groupBox", 1024}, {"groupBox_2", 2048},
};

} // namespace

class TestConfigNavigation : public QObject
{
    Q_OBJECT

private:
    PanelFixture panel;

    int pageIndex() const { return panel.child<QStackedWidget>("configStackWidget")->currentIndex(); }
    QString helpText() const { return panel.child<QPlainTextEdit>("commandHelpEdit")->toPlainText(); }

    // Shows another page with another text, so that an opener that does
    // nothing is told apart from one that shows its page.
    void showOtherPage(int index) const
    {
        panel.child<QStackedWidget>("configStackWidget")->setCurrentIndex(index);
        panel.child<QPlainTextEdit>("commandHelpEdit")->setPlainText(QStringLiteral("before"));
    }

    // The tree's item with this text; a text it lacks comes as an item of
    // its own, the way a renamed item would reach the window.
    void clickItem(const QString &text) const
    {
        auto *tree = panel.child<QTreeWidget>("treeWidget");
        const QList<QTreeWidgetItem *> items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        QTreeWidgetItem stray(QStringList{text});
        emit tree->itemClicked(items.isEmpty() ? &stray : items.first(), 0);
    }

    // The boxes of a group ticked, as their bit words.
    unsigned tickedBits(const char *group) const
    {
        unsigned word = 0;
        for (QAbstractButton *box : panel.child<QButtonGroup>(group)->buttons())
            word |= box->isChecked() ? unsigned(panel.child<QButtonGroup>(group)->id(box)) : 0;
        return word;
    }

private slots:
    void cleanup() { panel.close(); }

    void itemOpensItsPage_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("index"); // -1: the page shown before stays
        QTest::addColumn<QString>("help");
        QTest::addColumn<QList<QByteArray>>("reads");
        const QList<QByteArray> none;
        QTest::newRow("Comm") << "Comm" << 0 << "Set communications port and baud rate." << none;
        QTest::newRow("Units") << "Units" << 1 << unitsHelp << QList<QByteArray>{"04E4  "};
        QTest::newRow("Pressure") << "Pressure" << 1 << unitsHelp << QList<QByteArray>{"04E4  "};
        QTest::newRow("Vacuum") << "Vacuum" << 2 << unitsHelp << QList<QByteArray>{"04E5  "};
        QTest::newRow("Time/Date") << "Time/Date" << 3 << "Set Time and Date on the Pelidor 7."
                                   << QList<QByteArray>{"04EF  ", "04EE  "};
        QTest::newRow("Alarm Options") << "Alarm Options" << 4 << "Set Alarm Options on the Pelidor 7."
                                       << QList<QByteArray>{"04EJ  "};
        QTest::newRow("Lockout Control") << "Lockout Control" << 5 << lockoutHelp
                                         << QList<QByteArray>{"10EH  PA5183"};
        QTest::newRow("Language") << "Language" << 6 << "Set display panel language on the Pelidor 7" << none;
        QTest::newRow("Supervisor Password") << "Supervisor Password" << 7
            << "Enter a 4-digit Supervisor password.\n\n"
               "You MUST manually set the SAME password on the Pelidor 7!" << none;
        QTest::newRow("unknown") << "Network" << -1 << "before" << none;
        QTest::newRow("other case") << "comm" << -1 << "before" << none;
        QTest::newRow("part of a text") << "Lockout" << -1 << "before" << none;
    }

    void itemOpensItsPage()
    {
        QFETCH(QString, item);
        QFETCH(int, index);
        QFETCH(QString, help);
        QFETCH(QList<QByteArray>, reads);
        // Closed, the openers skip their reads and still show their page.
        for (bool connected : {false, true}) {
            QVERIFY2(panel.open(connected), qPrintable(panel.errorString()));
            const int other = index == 7 ? 6 : 7;
            showOtherPage(other);

            clickItem(item);

            QCOMPARE(pageIndex(), index < 0 ? other : index);
            QCOMPARE(helpText(), help);
            QCOMPARE(panel.packets(), connected ? reads : QList<QByteArray>());
        }
    }

    void lockoutEnabling_data()
    {
        QTest::addColumn<bool>("supervisor");
        QTest::addColumn<unsigned>("word");
        QTest::newRow("operator, everything locked") << false << 0xFFFFu;
        QTest::newRow("operator, some locked") << false << (1u | 32u | 64u | 2048u | 16384u | 32768u);
        QTest::newRow("operator, panel-only bits") << false << (16u | 128u | 256u | 512u);
        QTest::newRow("supervisor, everything locked") << true << 0xFFFFu;
    }

    void lockoutEnabling()
    {
        QFETCH(bool, supervisor);
        QFETCH(unsigned, word);
        QVERIFY2(panel.open(false), qPrintable(panel.errorString()));
        if (supervisor) {
            QMetaObject::invokeMethod(panel.window.get(), "passEntered", Q_ARG(QString, "5183"));
            QMetaObject::invokeMethod(panel.window.get(), "passDialogFinished", Q_ARG(int, 1));
        }
        // The user's clicks set the stored word; the boxes are usable until
        // the first switch to Operator mode.
        for (QAbstractButton *box : panel.child<QButtonGroup>("lockoutsGroup")->buttons()) {
            if (word & unsigned(panel.child<QButtonGroup>("lockoutsGroup")->id(box)))
                box->click();
        }
        QCOMPARE(unsigned(panel.state().lockouts), word);
        showOtherPage(0);

        clickItem(QStringLiteral("Lockout Control"));

        QCOMPARE(pageIndex(), 5);
        for (const auto &control : governedControls) {
            const bool expected = supervisor || (control.second != 0 && (word & control.second) == 0);
            QVERIFY2(panel.child<QWidget>(control.first)->isEnabled() == expected, control.first);
        }
        // Closed port: the boxes keep what the user ticked.
        QCOMPARE(tickedBits("lockoutsGroup"), word);
    }

    // The unit read is the one already chosen: its handler, which alone
    // writes the caption, runs all the same.
    void unitPageRunsTheHandlerForAnUnchangedUnit()
    {
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        panel.child<QLabel>("label_23")->setText(QStringLiteral("marked"));
        clickItem(QStringLiteral("Pressure"));
        QVERIFY(panel.child<QAbstractButton>("pressurePSI")->isChecked());
        QCOMPARE(panel.state().pressureUnits, 0);
        QCOMPARE(panel.child<QLabel>("label_23")->text(), QStringLiteral("Pres (PSI):"));
    }

    void timeDatePageReadsATwelveHourClock()
    {
        SimulatedDispenser::State held;
        held.month = 2;
        held.day = 29;
        held.year = 24;
        held.hour = 5;
        held.minute = 42;
        held.clockIndicator = 1;
        QVERIFY2(panel.open(true, held), qPrintable(panel.errorString()));

        clickItem(QStringLiteral("Time/Date"));

        QCOMPARE(panel.child<QCalendarWidget>("calendarWidget")->selectedDate(), QDate(2024, 2, 29));
        QCOMPARE(panel.child<QTimeEdit>("timeEdit")->time(), QTime(17, 42));
        QVERIFY(!panel.child<QCheckBox>("check24hr")->isChecked());
        QCOMPARE(panel.child<QTimeEdit>("timeEdit")->displayFormat(), QStringLiteral("h:mm A"));
        const DispenserState &state = panel.state();
        QCOMPARE(QDate(state.year, state.month, state.day), QDate(2024, 2, 29));
        QCOMPARE(QTime(state.hour, state.minute), QTime(17, 42));
        QVERIFY(!state.clock24);
    }

    void failedReadKeepsThePage_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("reply"); // empty: no data comes
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::newRow("Pressure") << "Pressure" << QByteArray() << QList<QByteArray>{"04E4  "};
        QTest::newRow("pressure unit out of range") << "Pressure" << QByteArray("E4  PU07")
                                                    << QList<QByteArray>{"04E4  "};
        QTest::newRow("Vacuum") << "Vacuum" << QByteArray() << QList<QByteArray>{"04E5  "};
        // The time is not read after a failed date.
        QTest::newRow("Time/Date") << "Time/Date" << QByteArray() << QList<QByteArray>{"04EF  "};
        QTest::newRow("Alarm Options") << "Alarm Options" << QByteArray() << QList<QByteArray>{"04EJ  "};
        QTest::newRow("Lockout Control") << "Lockout Control" << QByteArray()
                                         << QList<QByteArray>{"10EH  PA5183"};
    }

    void failedReadKeepsThePage()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, reply);
        QFETCH(QList<QByteArray>, packets);
        QVERIFY2(panel.open(), qPrintable(panel.errorString()));
        showOtherPage(7);
        const QDate shownDate = panel.child<QCalendarWidget>("calendarWidget")->selectedDate();
        if (reply.isEmpty())
            panel.dispenser->injectFault(SimulatedDispenser::Fault::NoData);
        else
            panel.dispenser->injectData(reply);

        clickItem(item);

        QCOMPARE(panel.packets(), packets);
        QCOMPARE(pageIndex(), 7);
        QCOMPARE(helpText(), QStringLiteral("before"));
        QCOMPARE(panel.child<QCalendarWidget>("calendarWidget")->selectedDate(), shownDate);
        QCOMPARE(panel.state().pressureUnits, 0);
        QVERIFY(panel.child<QAbstractButton>("pressurePSI")->isChecked());
    }

    // The record, which Apply sends and the enabling reads, holds only what
    // the user clicks.
    void openerTicksTheWordReadWithoutStoringIt_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("group");
        QTest::addColumn<unsigned>("word");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<unsigned>("clickedBit");
        QTest::newRow("alarms IN and IO") << "Alarm Options" << "alarmsGroup" << (1u | 2u) << "alarmAE" << 32u;
        // Operator mode: the boxes cannot be clicked.
        QTest::newRow("lockouts DP and CL") << "Lockout Control" << "lockoutsGroup" << (2u | 8192u) << "" << 0u;
    }

    void openerTicksTheWordReadWithoutStoringIt()
    {
        QFETCH(QString, item);
        QFETCH(QString, group);
        QFETCH(unsigned, word);
        QFETCH(QString, clicked);
        QFETCH(unsigned, clickedBit);
        SimulatedDispenser::State held;
        held.alarmOptions = word;
        held.lockouts = word;
        QVERIFY2(panel.open(true, held), qPrintable(panel.errorString()));

        clickItem(item);
        QCOMPARE(tickedBits(qPrintable(group)), word);
        QVERIFY(panel.child<QWidget>("pressureBox")->isEnabled());
        QVERIFY(panel.child<QWidget>("groupBox_3")->isEnabled());

        if (!clicked.isEmpty())
            panel.child<QAbstractButton>(qPrintable(clicked))->click();
        QCOMPARE(unsigned(panel.state().alarms | panel.state().lockouts), clickedBit);
    }
};

QTEST_MAIN(TestConfigNavigation)
#include "tst_config_navigation.moc"
