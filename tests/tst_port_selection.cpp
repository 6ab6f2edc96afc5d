// Choosing the serial port and baud rate and connecting, in the window: the
// enumerated ports come from a fake list, the device behind them is the
// simulated dispenser.
#include "DebugCapture.h"
#include "MainWindow.h"
#include "SerialPortList.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "UserActions.h"

#include <QtTest>
#include <QtWidgets>

using UserActions::child;
using UserActions::connectionLabel;
using UserActions::portLabel;

namespace {

const QString missingDevice = QStringLiteral("/dev/pts/no-such-terminal");

// The port buttons' texts, the checked one marked with "*".
QStringList portButtons(const MainWindow &window)
{
    QStringList texts;
    for (QAbstractButton *button : child<QButtonGroup>(window, "COMportGroup")->buttons())
        texts << (button->isChecked() ? "*" : "") + button->text();
    return texts;
}

// The connection as the user sees it: status text, its colour, the button.
QString connectionShown(MainWindow &window)
{
    return QStringLiteral("%1 / %2 / %3").arg(connectionLabel(window)->text(),
                                             connectionLabel(window)->styleSheet(),
                                             child<QPushButton>(window, "connectButton")->text());
}

const QString connected = QStringLiteral("Connected to Pelidor 7 / color: green; / Disconnect");
const QString refused = QStringLiteral("Not Connected to Pelidor 7 / color: red; / Connect");

} // namespace

class TestPortSelection : public QObject
{
    Q_OBJECT

private:
    SimulatedDispenser *dispenser = nullptr;

    // Ports given as "name=device"; "sim" stands for the dispenser's device.
    void offerPorts(const QStringList &ports)
    {
        QList<SerialPortList::Port> list;
        for (const QString &port : ports)
            list.append({resolve(port.section('=', 0, 0)), resolve(port.section('=', 1))});
        SerialPortList::setSource([list] { return list; });
    }

    QString resolve(const QString &text) const
    {
        return text == QLatin1String("sim") ? dispenser->devicePath() : text;
    }

private slots:
    void init()
    {
        TestSettings::clear();
        dispenser = new SimulatedDispenser;
        QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
    }

    void cleanup()
    {
        SerialPortList::setSource({});
        delete dispenser;
        dispenser = nullptr;
    }

    void listsPortsAndChecksTheStoredOne()
    {
        offerPorts({"COM1=/dev/null-COM1", "COM3=/dev/null-COM3"});
        // Spellings the window does not write itself, so a rewrite shows.
        TestSettings::set("COMport", QByteArray("COM3\0old", 8));
        TestSettings::set("baudeRate", "+19200");
        MainWindow window;

        QCOMPARE(portButtons(window), QStringList({"COM1", "*COM3"}));
        QVERIFY(child<QRadioButton>(window, "baud19200")->isChecked());
        QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  19200"));
        QCOMPARE(TestSettings::value("COMport"), QVariant(QStringLiteral("COM3")));
        QCOMPARE(TestSettings::value("baudeRate").toString(), QStringLiteral("19200"));
        QCOMPARE(child<QStackedWidget>(window, "configStackWidget")->currentIndex(), 0);
        QCOMPARE(child<QPlainTextEdit>(window, "commandHelpEdit")->toPlainText(),
                 QStringLiteral("Set communications port and baud rate."));
        QCOMPARE(connectionShown(window), refused);
    }

    // Connect looks the stored name up among the enumerated ports; a stored
    // absolute path of an existing device that none is named after gets a
    // button of its own and is opened by its path. A refused or unknown port
    // leaves the window disconnected.
    void connectOpensTheStoredPort_data()
    {
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("buttons");  // the checked one marked "*"
        QTest::addColumn<QString>("shown");

        const QString unchanged = QStringLiteral("Connect First! / color: red; / Connect");
        QTest::newRow("enumerated") << QStringList{"COM3=sim"} << "COM3" << QStringList{"*COM3"} << connected;
        QTest::newRow("device path, not enumerated")
            << QStringList{"COM1=/dev/null-COM1"} << "sim" << QStringList{"COM1", "*sim"} << connected;
        QTest::newRow("device path, enumerated under it")
            << QStringList{"sim=sim"} << "sim" << QStringList{"*sim"} << connected;
        QTest::newRow("name in other case") << QStringList{"COM1=sim"} << "com1" << QStringList{"COM1"} << unchanged;
        QTest::newRow("device refused") << QStringList{"COM3=" + missingDevice} << "COM3" << QStringList{"*COM3"}
                                        << refused;
        QTest::newRow("missing device path")
            << QStringList{"COM1=/dev/null-COM1"} << missingDevice << QStringList{"COM1"} << unchanged;
        QTest::newRow("relative path")
            << QStringList{"COM1=/dev/null-COM1"} << "dev/null" << QStringList{"COM1"} << unchanged;
    }

    void connectOpensTheStoredPort()
    {
        QFETCH(QStringList, offered);
        QFETCH(QString, stored);
        QFETCH(QStringList, buttons);
        QFETCH(QString, shown);

        offerPorts(offered);
        TestSettings::set("COMport", resolve(stored));
        MainWindow window;
        buttons.replaceInStrings(QStringLiteral("sim"), dispenser->devicePath());
        QCOMPARE(portButtons(window), buttons);

        connectionLabel(window)->setText(QStringLiteral("Connect First!"));
        child<QPushButton>(window, "connectButton")->click();
        QCOMPARE(connectionShown(window), shown);
        if (shown == connected)
            QCOMPARE(dispenser->lineSpeed(), 115200);
    }

    void baudRateTakesEffectOnConnectOnly()
    {
        offerPorts({"COM3=sim"});
        TestSettings::set("COMport", "COM3");
        MainWindow window;

        child<QRadioButton>(window, "baud9600")->click();
        child<QPushButton>(window, "connectButton")->click();
        QCOMPARE(connectionShown(window), connected);
        QCOMPARE(dispenser->lineSpeed(), 9600);
        QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  115200"));
        QCOMPARE(TestSettings::value("baudeRate").toInt(), 115200);

        // Clicking a port button stores the new rate.
        child<QButtonGroup>(window, "COMportGroup")->buttons().first()->click();
        QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  9600"));
        QCOMPARE(TestSettings::value("baudeRate").toInt(), 9600);
    }

    // The system's own list never holds a link to a pseudo-terminal.
    void offersALinkToTheDevice()
    {
        QTemporaryDir directory;
        const QString linkPath = directory.filePath(QStringLiteral("dispenser"));
        QVERIFY(dispenser->makeLink(linkPath));
        TestSettings::set("COMport", linkPath);
        TestSettings::set("baudeRate", 38400);
        MainWindow window;

        QCOMPARE(portButtons(window).last(), "*" + linkPath);
        child<QPushButton>(window, "connectButton")->click();
        QCOMPARE(connectionShown(window), connected);
        QCOMPARE(dispenser->lineSpeed(), 38400);
    }

    void rebuildsThePortListOnRequest()
    {
        offerPorts({"COM1=/dev/null-COM1", "COM3=/dev/null-COM3"});
        TestSettings::set("COMport", "COM3");
        MainWindow window;
        QPointer<QAbstractButton> oldButton = child<QButtonGroup>(window, "COMportGroup")->buttons().first();

        offerPorts({"COM2=/dev/null-COM2", "COM3=/dev/null-COM3", "COM5=/dev/null-COM5"});
        TestSettings::set("COMport", "changed behind the window's back");
        child<QStackedWidget>(window, "configStackWidget")->setCurrentIndex(2);
        QTreeWidgetItem *comm = child<QTreeWidget>(window, "treeWidget")
                                    ->findItems(QStringLiteral("Comm"), Qt::MatchExactly | Qt::MatchRecursive)
                                    .value(0);
        QVERIFY(QMetaObject::invokeMethod(&window, "on_treeWidget_itemClicked",
                                          Q_ARG(QTreeWidgetItem *, comm), Q_ARG(int, 0)));

        QCOMPARE(portButtons(window), QStringList({"COM2", "*COM3", "COM5"}));
        QCOMPARE(TestSettings::value("COMport"), QVariant(QStringLiteral("COM3")));
        QCOMPARE(child<QStackedWidget>(window, "configStackWidget")->currentIndex(), 0);
        QVERIFY(oldButton);  // deleted only once the event loop runs
        QTRY_VERIFY(!oldButton);
    }

    // Every port named COM4 is tried, whatever the stored port.
    void diagnosticOpenLooksForCom4()
    {
        offerPorts({"COM1=/dev/null-COM1", "COM4=" + missingDevice, "COM4=sim"});
        MainWindow window;
        const QString portText = portLabel(window)->text();

        DebugCapture debug;
        QVERIFY(QMetaObject::invokeMethod(&window, "pushButton_2_clicked"));
        QCOMPARE(debug.lines(), QStringList({"Found COM4, opening now: \n", "Failed to Open",
                                             "Found COM4, opening now: \n", "Opened Successfully"}));
        QCOMPARE(dispenser->lineSpeed(), 115200);  // a fresh terminal runs at 38400
        // It changes nothing the user sees.
        QCOMPARE(portLabel(window)->text(), portText);
        QCOMPARE(connectionShown(window), refused);
    }
};

QTEST_MAIN(TestPortSelection)
#include "tst_port_selection.moc"
