// Choosing the serial port and baud rate and connecting, in the window: the
// enumerated ports come from a fake list, the device behind them is the
// simulated dispenser.
#include "DebugCapture.h"
#include "MainWindow.h"
#include "SerialPortList.h"
#include "SimulatedDispenser.h"
#include "TestSettings.h"
#include "WindowOnSimulator.h"

#include <QtTest>
#include <QButtonGroup>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

using Port = SerialPortList::Port;

void offerPorts(const QList<Port> &ports)
{
    SerialPortList::setSource([ports] { return ports; });
}

template <typename T>
T *child(const MainWindow &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// The status bar's labels in the order they were added: connection, port,
// mode (then the alarm label on the right).
QLabel *statusLabel(const MainWindow &window, int index)
{
    const auto labels = child<QStatusBar>(window, "statusBar")
                            ->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    return labels.value(index);
}

QLabel *connectionLabel(const MainWindow &window) { return statusLabel(window, 0); }
QLabel *portLabel(const MainWindow &window) { return statusLabel(window, 1); }

QStringList portButtonTexts(const MainWindow &window)
{
    QStringList texts;
    for (QAbstractButton *button : child<QButtonGroup>(window, "COMportGroup")->buttons())
        texts << button->text();
    return texts;
}

QString checkedPort(const MainWindow &window)
{
    QAbstractButton *checked = child<QButtonGroup>(window, "COMportGroup")->checkedButton();
    return checked ? checked->text() : QString();
}

bool isConnected(const MainWindow &window)
{
    return child<QPushButton>(window, "connectButton")->text() == QLatin1String("Disconnect")
        && connectionLabel(window)->text() == QLatin1String("Connected to Pelidor 7")
        && connectionLabel(window)->styleSheet() == QLatin1String("color: green;");
}

bool isDisconnected(const MainWindow &window)
{
    return child<QPushButton>(window, "connectButton")->text() == QLatin1String("Connect")
        && connectionLabel(window)->text() == QLatin1String("Not Connected to Pelidor 7")
        && connectionLabel(window)->styleSheet() == QLatin1String("color: red;");
}

void clickConnect(const MainWindow &window)
{
    child<QPushButton>(window, "connectButton")->click();
}

} // namespace

class TestPortSelection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsPortsAndChecksTheStoredOne();
    void baudRateTakesEffectOnConnectOnly();
    void connectTogglesTheConnection();
    void absentPortConnectsNothing();
    void refusedPortStaysDisconnected();
    void rebuildsThePortListOnRequest();
    void offersAnUnlistedDevicePath();
    void offersALinkToTheDevice();
    void ignoresPathsThatAreListedOrMissing_data();
    void ignoresPathsThatAreListedOrMissing();
    void diagnosticOpenLooksForCom4_data();
    void diagnosticOpenLooksForCom4();

private:
    SimulatedDispenser *dispenser = nullptr;
};

void TestPortSelection::init()
{
    TestSettings::clear();
    dispenser = new SimulatedDispenser;
    QVERIFY2(dispenser->start(), qPrintable(dispenser->errorString()));
}

void TestPortSelection::cleanup()
{
    SerialPortList::setSource({});
    delete dispenser;
    dispenser = nullptr;
}

void TestPortSelection::listsPortsAndChecksTheStoredOne()
{
    offerPorts({{"COM1", "/dev/null-COM1"}, {"COM3", "/dev/null-COM3"}});
    // Spellings the window does not write itself, so a rewrite shows.
    TestSettings::set("COMport", QByteArray("COM3\0old", 8));
    TestSettings::set("baudeRate", "+19200");

    MainWindow window;

    QCOMPARE(portButtonTexts(window), QStringList({"COM1", "COM3"}));
    QCOMPARE(checkedPort(window), QStringLiteral("COM3"));
    QVERIFY(child<QRadioButton>(window, "baud19200")->isChecked());
    QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  19200"));
    QCOMPARE(TestSettings::value("COMport"), QVariant(QStringLiteral("COM3")));
    QCOMPARE(TestSettings::value("baudeRate").toString(), QStringLiteral("19200"));
    QCOMPARE(child<QStackedWidget>(window, "configStackWidget")->currentIndex(), 0);
    QCOMPARE(child<QPlainTextEdit>(window, "commandHelpEdit")->toPlainText(),
             QStringLiteral("Set communications port and baud rate."));
    QVERIFY(isDisconnected(window));
}

void TestPortSelection::baudRateTakesEffectOnConnectOnly()
{
    offerPorts({{"COM3", dispenser->devicePath()}});
    TestSettings::set("COMport", "COM3");
    TestSettings::set("baudeRate", 115200);
    MainWindow window;
    QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  115200"));

    child<QRadioButton>(window, "baud9600")->click();
    clickConnect(window);

    QVERIFY(isConnected(window));
    QCOMPARE(dispenser->lineSpeed(), 9600);
    QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  115200"));
    QCOMPARE(TestSettings::value("baudeRate").toInt(), 115200);

    // Clicking a port button stores the new rate.
    child<QButtonGroup>(window, "COMportGroup")->buttons().first()->click();
    QCOMPARE(portLabel(window)->text(), QStringLiteral("COM3  9600"));
    QCOMPARE(TestSettings::value("baudeRate").toInt(), 9600);
}

void TestPortSelection::connectTogglesTheConnection()
{
    offerPorts({{"COM3", dispenser->devicePath()}});
    TestSettings::set("COMport", "COM3");
    MainWindow window;

    clickConnect(window);
    QVERIFY(isConnected(window));
    QCOMPARE(dispenser->lineSpeed(), 115200);

    clickConnect(window);
    QVERIFY(isDisconnected(window));

    // The device is free again: a second connection opens it anew.
    clickConnect(window);
    QVERIFY(isConnected(window));
}

void TestPortSelection::absentPortConnectsNothing()
{
    offerPorts({{"COM1", dispenser->devicePath()}});
    TestSettings::set("COMport", "com1");  // names compare case-sensitively
    MainWindow window;
    QCOMPARE(checkedPort(window), QString());

    connectionLabel(window)->setText(QStringLiteral("Connect First!"));
    clickConnect(window);

    QCOMPARE(connectionLabel(window)->text(), QStringLiteral("Connect First!"));
    QCOMPARE(child<QPushButton>(window, "connectButton")->text(), QStringLiteral("Connect"));
    QCOMPARE(TestSettings::value("COMport"), QVariant(QStringLiteral("com1")));
}

void TestPortSelection::refusedPortStaysDisconnected()
{
    const QString missingDevice = QDir::temp().filePath(QStringLiteral("no-such-serial-device"));
    offerPorts({{"COM3", missingDevice}});
    TestSettings::set("COMport", "COM3");
    MainWindow window;

    connectionLabel(window)->setText(QStringLiteral("Connect First!"));
    clickConnect(window);

    QVERIFY(isDisconnected(window));
}

void TestPortSelection::rebuildsThePortListOnRequest()
{
    offerPorts({{"COM1", "/dev/null-COM1"}, {"COM3", "/dev/null-COM3"}});
    TestSettings::set("COMport", "COM3");
    MainWindow window;
    QPointer<QAbstractButton> oldButton = child<QButtonGroup>(window, "COMportGroup")->buttons().first();

    offerPorts({{"COM2", "/dev/null-COM2"}, {"COM3", "/dev/null-COM3"}, {"COM5", "/dev/null-COM5"}});
    TestSettings::set("COMport", "changed behind the window's back");
    auto *tree = child<QTreeWidget>(window, "treeWidget");
    const QList<QTreeWidgetItem *> items = tree->findItems(QStringLiteral("Comm"), Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(items.size(), 1);
    child<QStackedWidget>(window, "configStackWidget")->setCurrentIndex(2);
    QVERIFY(QMetaObject::invokeMethod(&window, "on_treeWidget_itemClicked",
                                      Q_ARG(QTreeWidgetItem *, items.first()), Q_ARG(int, 0)));

    QCOMPARE(portButtonTexts(window), QStringList({"COM2", "COM3", "COM5"}));
    QCOMPARE(checkedPort(window), QStringLiteral("COM3"));
    QCOMPARE(TestSettings::value("COMport"), QVariant(QStringLiteral("COM3")));
    QCOMPARE(child<QStackedWidget>(window, "configStackWidget")->currentIndex(), 0);
    QVERIFY(oldButton);  // deleted only once the event loop runs
    QTRY_VERIFY(!oldButton);
}

void TestPortSelection::offersAnUnlistedDevicePath()
{
    offerPorts({{"COM1", "/dev/null-COM1"}});
    WindowOnSimulator::storePort(*dispenser);
    MainWindow window;

    const QString device = dispenser->devicePath();
    QCOMPARE(portButtonTexts(window), QStringList({"COM1", device}));
    QCOMPARE(checkedPort(window), device);
    QCOMPARE(portLabel(window)->text(), device + QStringLiteral("  115200"));

    QVERIFY(WindowOnSimulator::connect(window));
    QVERIFY(isConnected(window));
    QCOMPARE(dispenser->lineSpeed(), 115200);

    // Picking an enumerated port drops the path from the next rebuild.
    child<QButtonGroup>(window, "COMportGroup")->buttons().first()->click();
    QCOMPARE(TestSettings::value("COMport"), QVariant(QStringLiteral("COM1")));
}

void TestPortSelection::offersALinkToTheDevice()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString linkPath = directory.filePath(QStringLiteral("dispenser"));
    QVERIFY(dispenser->makeLink(linkPath));
    SerialPortList::setSource({});  // the system's own list, which never holds the link
    TestSettings::set("COMport", linkPath);
    TestSettings::set("baudeRate", 38400);
    MainWindow window;

    QCOMPARE(portButtonTexts(window).last(), linkPath);
    QCOMPARE(checkedPort(window), linkPath);
    clickConnect(window);
    QVERIFY(isConnected(window));
    QCOMPARE(dispenser->lineSpeed(), 38400);
}

void TestPortSelection::ignoresPathsThatAreListedOrMissing_data()
{
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("listed under that name") << true << QString();
    QTest::newRow("missing device") << false << QStringLiteral("/dev/pts/no-such-terminal");
    QTest::newRow("relative path") << false << QStringLiteral("dev/null");
}

void TestPortSelection::ignoresPathsThatAreListedOrMissing()
{
    QFETCH(bool, listed);
    QFETCH(QString, stored);

    const QString device = dispenser->devicePath();
    if (listed) {
        stored = device;
        offerPorts({{device, device}});
    } else {
        offerPorts({{"COM1", "/dev/null-COM1"}});
    }
    TestSettings::set("COMport", stored);
    MainWindow window;

    QCOMPARE(portButtonTexts(window), listed ? QStringList({device}) : QStringList({"COM1"}));
    clickConnect(window);
    QCOMPARE(isConnected(window), listed);
}

void TestPortSelection::diagnosticOpenLooksForCom4_data()
{
    QTest::addColumn<bool>("deviceExists");
    QTest::addColumn<QString>("result");

    QTest::newRow("opens") << true << "Opened Successfully";
    QTest::newRow("fails") << false << "Failed to Open";
}

void TestPortSelection::diagnosticOpenLooksForCom4()
{
    QFETCH(bool, deviceExists);
    QFETCH(QString, result);

    const QString device = deviceExists ? dispenser->devicePath()
                                        : QDir::temp().filePath(QStringLiteral("no-such-serial-device"));
    offerPorts({{"COM1", "/dev/null-COM1"}, {"COM4", device}});
    MainWindow window;
    const QString portText = portLabel(window)->text();

    DebugCapture debug;
    QVERIFY(QMetaObject::invokeMethod(&window, "pushButton_2_clicked"));

    QCOMPARE(debug.lines(), QStringList({"Found COM4, opening now: \n", result}));
    if (deviceExists)
        QCOMPARE(dispenser->lineSpeed(), 115200);  // a fresh terminal runs at 38400
    // It changes nothing the user sees.
    QCOMPARE(portLabel(window)->text(), portText);
    QVERIFY(isDisconnected(window));
}

QTEST_MAIN(TestPortSelection)
#include "tst_port_selection.moc"
