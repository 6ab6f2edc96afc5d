// Set and feedback transactions of the device link against the simulated
// dispenser over a pseudo-terminal: the bytes on the line, each fault mapped to
// its code, and what is left behind after a failure.
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QtTest>

#include <thread>

using Fault = SimulatedDispenser::Fault;
Q_DECLARE_METATYPE(SimulatedDispenser::Fault)

namespace {

const QByteArray enq(1, Packet::ENQ);
const QByteArray ack(1, Packet::ACK);
const QByteArray eot(1, Packet::EOT);

// The program's EOT goes out when its event loop next runs; QTRY_* runs it.
bool sessionEnded(const SimulatedDispenser &dispenser)
{
    return dispenser.receivedBytes().endsWith(eot);
}

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setTransactionSendsEnqPacketEot();
    void feedbackTransactionHandsBackDataPacket();
    void commandFaultsGiveTheirCodes_data();
    void commandFaultsGiveTheirCodes();
    void dataFaultsKeepTheReplyBuffer_data();
    void dataFaultsKeepTheReplyBuffer();
    void dispenserOffGivesNack();
    void openSessionIsNotReopenedOrClosed();
    void lateReplyBeforeTheWriteIsDiscarded_data();
    void lateReplyBeforeTheWriteIsDiscarded();
    void lateReplyFaultDoesNotSpoilTheNextCommand();
    void slowRepliesWithinTheWaitSucceed();
    void closedPortFailsAtOnce();
    void closingRightAfterATransactionStillSendsItsEot_data();
    void closingRightAfterATransactionStillSendsItsEot();
    void overlongPacketIsRefused();
    void reopeningClearsTheSessionFlag();
    void failedOpenLeavesTheLinkClosed();
    void printErrorWritesTheMessages_data();
    void printErrorWritesTheMessages();  // and errorMessage gives the same text
    void feedbackLogsTheDataWait();

private:
    SimulatedLink *line = nullptr;
};

void TestLink::init()
{
    line = new SimulatedLink;
    QVERIFY2(line->isReady(), qPrintable(line->errorString()));
}

void TestLink::cleanup()
{
    delete line;
    line = nullptr;
}

void TestLink::setTransactionSendsEnqPacketEot()
{
    QCOMPARE(line->link.setCommand("07CH  012"), 0);

    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("07CH  012") + eot);
    QCOMPARE(line->dispenser.state().currentCell, 12);
}

void TestLink::feedbackTransactionHandsBackDataPacket()
{
    SimulatedDispenser::State state = line->dispenser.state();
    state.currentCell = 7;
    line->dispenser.setState(state);

    QByteArray reply = "old";
    QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);

    QCOMPARE(reply, Packet::frame("05D0007"));
    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("04UA  ") + ack + eot);
}

void TestLink::commandFaultsGiveTheirCodes_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("code");

    QTest::newRow("no reply") << Fault::NoReply << 3;
    QTest::newRow("reply without ETX") << Fault::ReplyWithoutEtx << 3;
    QTest::newRow("refused") << Fault::Refuse << 5;
    QTest::newRow("A0 and A2") << Fault::AcceptAndRefuse << 5;
    QTest::newRow("garbage") << Fault::Garbage << -1;
}

void TestLink::commandFaultsGiveTheirCodes()
{
    QFETCH(Fault, fault);
    QFETCH(int, code);

    line->dispenser.injectFault(fault);
    QCOMPARE(line->link.setCommand("04EK  "), code);
    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("04EK  ") + eot);

    // A failed feedback transaction sends no ACK, still ends the session and
    // leaves the caller's buffer alone.
    line->dispenser.clearLog();
    line->dispenser.injectFault(fault);
    QByteArray reply = "untouched";
    QCOMPARE(line->link.feedbackCommand("04E9  ", reply), code);
    QCOMPARE(reply, QByteArray("untouched"));
    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("04E9  ") + eot);
}

void TestLink::dataFaultsKeepTheReplyBuffer_data()
{
    QTest::addColumn<Fault>("fault");

    QTest::newRow("no data") << Fault::NoData;
    QTest::newRow("data without ETX") << Fault::DataWithoutEtx;
}

void TestLink::dataFaultsKeepTheReplyBuffer()
{
    QFETCH(Fault, fault);

    line->dispenser.injectFault(fault);
    QByteArray reply = "untouched";
    QCOMPARE(line->link.feedbackCommand("04E9  ", reply), 12);
    QCOMPARE(reply, QByteArray("untouched"));
    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("04E9  ") + ack + eot);
}

void TestLink::dispenserOffGivesNack()
{
    line->dispenser.setPoweredOn(false);

    QCOMPARE(line->link.setCommand("04EK  "), 6);
    QByteArray reply = "untouched";
    QCOMPARE(line->link.feedbackCommand("04E9  ", reply), 6);
    QCOMPARE(reply, QByteArray("untouched"));

    // Nothing but the two ENQs went out; no session was opened or closed.
    QTest::qWait(20);
    QCOMPARE(line->dispenser.receivedBytes(), enq + enq);
}

void TestLink::openSessionIsNotReopenedOrClosed()
{
    QCOMPARE(line->link.beginSession(), 0);
    line->dispenser.clearLog();

    QCOMPARE(line->link.setCommand("07CH  003"), 0);
    QByteArray reply;
    QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);
    QCOMPARE(reply, Packet::frame("05D0003"));
    QTest::qWait(20);
    QCOMPARE(line->dispenser.receivedBytes(),
             Packet::frame("07CH  003") + Packet::frame("04UA  ") + ack);

    // A failure ends even a session the transaction did not open.
    line->dispenser.injectFault(Fault::Refuse);
    QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 5);
    QTRY_VERIFY(sessionEnded(line->dispenser));
    line->dispenser.clearLog();
    QCOMPARE(line->link.setCommand("07CH  004"), 0);
    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("07CH  004") + eot);
}

void TestLink::lateReplyBeforeTheWriteIsDiscarded_data()
{
    QTest::addColumn<bool>("eventLoopRuns");

    // Either Qt has already buffered the stray bytes or the driver still
    // holds them.
    QTest::newRow("buffered by Qt") << true;
    QTest::newRow("held by the driver") << false;
}

void TestLink::lateReplyBeforeTheWriteIsDiscarded()
{
    QFETCH(bool, eventLoopRuns);

    QCOMPARE(line->link.beginSession(), 0);
    line->dispenser.sendUnsolicited(QByteArray(1, Packet::STX) + "A2" + Packet::ETX);
    if (eventLoopRuns)
        QTest::qWait(50);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    QCOMPARE(line->link.setCommand("07CH  009"), 0);
    QCOMPARE(line->dispenser.state().currentCell, 9);
    QCOMPARE(line->link.endSession(), 0);
}

void TestLink::lateReplyFaultDoesNotSpoilTheNextCommand()
{
    line->dispenser.injectFault(Fault::LateReply);
    line->dispenser.injectFault(Fault::Refuse);
    QCOMPARE(line->link.setCommand("07CH  010"), 3);

    // The late "A0" lands while the program is idle; the next command gets
    // its own answer, a refusal.
    QTest::qWait(SimulatedDispenser::lateReplyDelayMs + 100);
    QCOMPARE(line->link.setCommand("07CH  011"), 5);
    QCOMPARE(line->dispenser.state().currentCell, 10);
}

void TestLink::slowRepliesWithinTheWaitSucceed()
{
    line->dispenser.setReplyDelay(120);

    QCOMPARE(line->link.setCommand("07CH  020"), 0);
    QByteArray reply;
    QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);
    QCOMPARE(reply, Packet::frame("05D0020"));
}

void TestLink::closedPortFailsAtOnce()
{
    DispenserLink neverOpened;
    QVERIFY(!neverOpened.isOpen());
    QCOMPARE(neverOpened.setCommand("04EK  "), 1);
    QByteArray reply = "untouched";
    QCOMPARE(neverOpened.feedbackCommand("04E9  ", reply), 1);
    QCOMPARE(reply, QByteArray("untouched"));
    QCOMPARE(neverOpened.sendIfOpen("x"), 1);

    // Closing keeps a session flag that was set; the next command still
    // must not touch the line.
    QCOMPARE(line->link.beginSession(), 0);
    line->link.closePort();
    QVERIFY(!line->link.isOpen());
    line->dispenser.clearLog();
    QCOMPARE(line->link.setCommand("04EK  "), 1);
    QCOMPARE(line->link.feedbackCommand("04E9  ", reply), 1);
    QCOMPARE(reply, QByteArray("untouched"));
    QTest::qWait(20);
    QCOMPARE(line->dispenser.receivedBytes(), QByteArray());
}

void TestLink::overlongPacketIsRefused()
{
    const QByteArray body = "EI  " + QByteArray(96, '0');
    QCOMPARE(line->link.setCommand(Packet::withCount(body)), 8);
    QByteArray reply = "untouched";
    QCOMPARE(line->link.feedbackCommand(Packet::withCount(body), reply), 8);
    QCOMPARE(reply, QByteArray("untouched"));
    QTest::qWait(20);
    QCOMPARE(line->dispenser.receivedBytes(), QByteArray());
}

void TestLink::closingRightAfterATransactionStillSendsItsEot_data()
{
    QTest::addColumn<bool>("feedback");
    QTest::newRow("set") << false;
    QTest::newRow("feedback") << true;
}

// The user may disconnect or quit right after a transaction, before the event
// loop has written the final EOT: the close must still send it.
void TestLink::closingRightAfterATransactionStillSendsItsEot()
{
    QFETCH(bool, feedback);

    QByteArray reply;
    QCOMPARE(feedback ? line->link.feedbackCommand("04UA  ", reply)
                      : line->link.setCommand("07CH  012"),
             0);
    line->link.closePort();

    QTRY_VERIFY(sessionEnded(line->dispenser));
    const QByteArray expected = feedback ? enq + Packet::frame("04UA  ") + ack + eot
                                         : enq + Packet::frame("07CH  012") + eot;
    QCOMPARE(line->dispenser.receivedBytes(), expected);
}

void TestLink::reopeningClearsTheSessionFlag()
{
    QCOMPARE(line->link.beginSession(), 0);
    line->link.closePort();
    QVERIFY(line->link.openPort(line->dispenser.devicePath(), 9600));
    line->dispenser.clearLog();

    // The session flag was cleared by the open, so the command opens its own.
    QCOMPARE(line->link.setCommand("07CH  001"), 0);
    QTRY_VERIFY(sessionEnded(line->dispenser));
    QCOMPARE(line->dispenser.receivedBytes(), enq + Packet::frame("07CH  001") + eot);
}

void TestLink::failedOpenLeavesTheLinkClosed()
{
    DispenserLink link;
    QVERIFY(!link.openPort(QSerialPortInfo(), 115200));
    QVERIFY(!link.isOpen());
    QVERIFY(!link.openPort(QDir::temp().filePath(QStringLiteral("no-such-serial-device")), 115200));
    QVERIFY(!link.isOpen());
    QCOMPARE(link.setCommand("04EK  "), 1);

    // The device is taken by the other link: the open fails, and the link
    // that holds it keeps working.
    QVERIFY(!link.openPort(line->dispenser.devicePath(), 115200));
    QVERIFY(!link.isOpen());
    QCOMPARE(line->link.setCommand("07CH  002"), 0);
}

void TestLink::printErrorWritesTheMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("-1") << -1 << "Error: unknown error";
    QTest::newRow("0") << 0 << "";
    QTest::newRow("1") << 1 << "Error: Serial port closed... can't send commands";
    QTest::newRow("2") << 2 << "Error: Timeout while reading from serial port";
    QTest::newRow("3") << 3 << "Error: No response when expected from P7";
    QTest::newRow("4") << 4 << "Error: Bad command packet...";
    QTest::newRow("5") << 5 << "Error: A2 Received from P7";
    QTest::newRow("6") << 6 << "Error: NACK from P7";
    QTest::newRow("7") << 7 << "";
    QTest::newRow("8") << 8 << "Error: API Parameter Out Of Range";
    QTest::newRow("9") << 9 << "Error: Invalid API Parameter";
    QTest::newRow("10") << 10 << "";
    QTest::newRow("11") << 11 << "Error: Feedback command didn't respond to initial query";
    QTest::newRow("12") << 12 << "Error: Feedback command didn't send full response.";
    QTest::newRow("13") << 13 << "";
}

void TestLink::printErrorWritesTheMessages()
{
    QFETCH(int, code);
    QFETCH(QString, message);

    DebugCapture debug;
    DispenserLink::printError(code);
    QCOMPARE(debug.lines(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(DispenserLink::errorMessage(code), message);
}

void TestLink::feedbackLogsTheDataWait()
{
    DebugCapture debug;
    QByteArray reply;
    QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);

    const QRegularExpression pattern(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d Before Read DataResp$"));
    QCOMPARE(debug.lines().size(), 2);
    for (const QString &text : debug.lines())
        QVERIFY2(pattern.match(text).hasMatch(), qPrintable(text));
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
