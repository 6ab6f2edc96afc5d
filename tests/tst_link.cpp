// Set and feedback transactions of the device link against the simulated
// dispenser over a pseudo-terminal: the bytes on the line, each fault mapped to
// its code, and what is left behind after a failure.
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QtTest>

#include <functional>
#include <thread>

using Fault = SimulatedDispenser::Fault;
using Strike = std::function<void(SimulatedDispenser &)>;
Q_DECLARE_METATYPE(Strike)

namespace {

// The bytes of an exchange as the dispenser receives them, step by step: E
// for ENQ, P for the framed packet text, A for ACK, T for EOT.
QByteArray onLine(const char *steps, const QByteArray &text = QByteArray())
{
    QByteArray bytes;
    for (const char *step = steps; *step; ++step) {
        switch (*step) {
        case 'E': bytes += Packet::ENQ; break;
        case 'P': bytes += Packet::frame(text); break;
        case 'A': bytes += Packet::ACK; break;
        case 'T': bytes += Packet::EOT; break;
        }
    }
    return bytes;
}

Strike inject(Fault fault)
{
    return [fault](SimulatedDispenser &dispenser) { dispenser.injectFault(fault); };
}

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

private:
    SimulatedLink *line = nullptr;

    // What reached the dispenser, once the program's last byte is out.
    QByteArray received()
    {
        QTest::qWait(20);
        return line->dispenser.receivedBytes();
    }

private slots:
    void init()
    {
        line = new SimulatedLink;
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
    }

    void cleanup()
    {
        delete line;
        line = nullptr;
    }

    void transactions_data()
    {
        QTest::addColumn<bool>("feedback");
        QTest::addColumn<Strike>("strike");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("steps");

        const Strike none = [](SimulatedDispenser &) {};
        const Strike slow = [](SimulatedDispenser &d) { d.setReplyDelay(120); };  // within each wait
        const Strike off = [](SimulatedDispenser &d) { d.setPoweredOn(false); };
        QTest::newRow("set") << false << none << 0 << QByteArray("EPT");
        QTest::newRow("feedback") << true << none << 0 << QByteArray("EPAT");
        QTest::newRow("set, slow") << false << slow << 0 << QByteArray("EPT");
        QTest::newRow("feedback, slow") << true << slow << 0 << QByteArray("EPAT");
        // A failed command reply ends the session; a feedback transaction
        // then asks for no data.
        const std::tuple<const char *, Fault, int> replyFaults[] = {
            {"no reply", Fault::NoReply, 3}, {"reply without ETX", Fault::ReplyWithoutEtx, 3},
            {"refused", Fault::Refuse, 5}, {"A0 and A2", Fault::AcceptAndRefuse, 5},
            {"garbage", Fault::Garbage, -1}};
        for (const auto &[name, fault, code] : replyFaults) {
            QTest::addRow("set, %s", name) << false << inject(fault) << code << QByteArray("EPT");
            QTest::addRow("feedback, %s", name) << true << inject(fault) << code << QByteArray("EPT");
        }
        QTest::newRow("feedback, no data") << true << inject(Fault::NoData) << 12 << QByteArray("EPAT");
        QTest::newRow("feedback, data without ETX")
            << true << inject(Fault::DataWithoutEtx) << 12 << QByteArray("EPAT");
        // Switched off: nothing but the ENQ, and no session to end.
        QTest::newRow("set, switched off") << false << off << 6 << QByteArray("E");
        QTest::newRow("feedback, switched off") << true << off << 6 << QByteArray("E");
    }

    void transactions()
    {
        QFETCH(bool, feedback);
        QFETCH(Strike, strike);
        QFETCH(int, code);
        QFETCH(QByteArray, steps);

        strike(line->dispenser);
        const QByteArray text = feedback ? "04UA  " : "04EK  ";
        QByteArray reply = "untouched";
        QCOMPARE(feedback ? line->link.feedbackCommand(text, reply) : line->link.setCommand(text), code);
        QCOMPARE(reply, feedback && code == 0 ? Packet::frame("05D0000") : QByteArray("untouched"));
        // Closing at once, as a user who disconnects right away, still lets
        // the last bytes out.
        line->link.closePort();
        QCOMPARE(received(), onLine(steps, text));
    }

    void openSessionIsNotReopenedOrClosed()
    {
        QCOMPARE(line->link.beginSession(), 0);
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("07CH  003"), 0);
        QByteArray reply;
        QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);
        QCOMPARE(reply, Packet::frame("05D0003"));
        QCOMPARE(received(), onLine("P", "07CH  003") + onLine("PA", "04UA  "));

        // A failure ends even a session the transaction did not open.
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 5);
        QVERIFY(received().endsWith(Packet::EOT));
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("04EK  "), 0);
        QCOMPARE(received(), onLine("EPT", "04EK  "));
    }

    void lateReplyBeforeTheWriteIsDiscarded_data()
    {
        QTest::addColumn<bool>("eventLoopRuns");
        // Either Qt has already buffered the stray bytes or the driver still
        // holds them.
        QTest::newRow("buffered by Qt") << true;
        QTest::newRow("held by the driver") << false;
    }

    void lateReplyBeforeTheWriteIsDiscarded()
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
    }

    void lateReplyDoesNotAnswerTheNextCommand()
    {
        line->dispenser.injectFault(Fault::LateReply);
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(line->link.setCommand("07CH  010"), 3);

        // The late "A0" lands while the program is idle; the next command
        // gets its own answer, a refusal.
        QTest::qWait(SimulatedDispenser::lateReplyDelayMs + 100);
        QCOMPARE(line->link.setCommand("07CH  011"), 5);
        QCOMPARE(line->dispenser.state().currentCell, 10);
    }

    // Nothing touches the line: a closed port (even with the session flag
    // left set by the close), and a packet text too long for its count.
    void refusedBeforeTheLine()
    {
        DispenserLink neverOpened;
        QByteArray reply = "untouched";
        QCOMPARE(neverOpened.setCommand("04EK  "), 1);
        QCOMPARE(neverOpened.feedbackCommand("04E9  ", reply), 1);
        QCOMPARE(neverOpened.sendIfOpen("x"), 1);

        const QByteArray overlong = Packet::withCount("EI  " + QByteArray(96, '0'));
        QCOMPARE(line->link.setCommand(overlong), 8);
        QCOMPARE(line->link.feedbackCommand(overlong, reply), 8);
        QCOMPARE(received(), QByteArray());

        QCOMPARE(line->link.beginSession(), 0);
        line->link.closePort();
        QVERIFY(!line->link.isOpen());
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("04EK  "), 1);
        QCOMPARE(line->link.feedbackCommand("04E9  ", reply), 1);
        QCOMPARE(reply, QByteArray("untouched"));
        QCOMPARE(received(), QByteArray());
    }

    void reopeningClearsTheSessionFlag()
    {
        QCOMPARE(line->link.beginSession(), 0);
        line->link.closePort();
        QVERIFY(line->link.openPort(line->dispenser.devicePath(), 9600));
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("04EK  "), 0);
        QCOMPARE(received(), onLine("EPT", "04EK  "));
    }

    void failedOpenLeavesTheLinkClosed()
    {
        DispenserLink link;
        QVERIFY(!link.openPort(QSerialPortInfo(), 115200));
        QVERIFY(!link.openPort(QStringLiteral("/dev/pts/no-such-terminal"), 115200));
        // The device is taken by the other link.
        QVERIFY(!link.openPort(line->dispenser.devicePath(), 115200));
        QVERIFY(!link.isOpen());
        QCOMPARE(link.setCommand("04EK  "), 1);
        QCOMPARE(line->link.setCommand("04EK  "), 0);
    }

    // errorMessage gives the window the same text.
    void printErrorWritesTheMessages()
    {
        const std::pair<int, const char *> messages[] = {
            {-1, "Error: unknown error"},
            {0, ""},
            {1, "Error: Serial port closed... can't send commands"},
            {2, "Error: Timeout while reading from serial port"},
            {3, "Error: No response when expected from P7"},
            {4, "Error: Bad command packet..."},
            {5, "Error: A2 Received from P7"},
            {6, "Error: NACK from P7"},
            {7, ""},
            {8, "Error: API Parameter Out Of Range"},
            {9, "Error: Invalid API Parameter"},
            {10, ""},
            {11, "Error: Feedback command didn't respond to initial query"},
            {12, "Error: Feedback command didn't send full response."},
            {13, ""}};
        for (const auto &[code, text] : messages) {
            const QString message = QString::fromLatin1(text);
            DebugCapture debug;
            DispenserLink::printError(code);
            QCOMPARE(debug.lines(), message.isEmpty() ? QStringList() : QStringList{message});
            QCOMPARE(DispenserLink::errorMessage(code), message);
        }
    }

    void feedbackLogsTheDataWait()
    {
        DebugCapture debug;
        QByteArray reply;
        QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);

        const QRegularExpression pattern(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d Before Read DataResp$"));
        QCOMPARE(debug.lines().size(), 2);
        for (const QString &text : debug.lines())
            QVERIFY2(pattern.match(text).hasMatch(), qPrintable(text));
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
