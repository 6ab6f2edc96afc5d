// Packet framing and the set and feedback transactions of the device link,
// against the simulated dispenser over a pseudo-terminal: the bytes on the
// line, each fault mapped to its code, and what is left after a failure.
#include "CpuStopwatch.h"
#include "DebugCapture.h"
#include "Packet.h"
#include "SimulatedLink.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Fault = SimulatedDispenser::Fault;
using Strike = std::function<void(SimulatedDispenser &)>;
Q_DECLARE_METATYPE(Strike)

namespace {

// The bytes of an exchange as the dispenser receives them: E for ENQ, P for
// the framed packet text, A for ACK, T for EOT.
QByteArray onLine(const char *steps, const QByteArray &text)
{
    QByteArray bytes;
    for (const char *step = steps; *step; ++step)
        bytes += *step == 'P' ? Packet::frame(text)
                              : QByteArray(1,
                                           *step == 'E'           ? Packet::ENQ
                                                   : *step == 'A' ? Packet::ACK
                                                                  : Packet::EOT);
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

    std::unique_ptr<SimulatedLink> line;

    QByteArray received() const
    {
        waitForIdleLine(line->dispenser);
        return line->dispenser.receivedBytes();
    }

private slots:
    void init()
    {
        line = std::make_unique<SimulatedLink>();
        QVERIFY2(line->isReady(), qPrintable(line->errorString()));
    }

    void cleanup() { line.reset(); }

    void framesTheWorkedExamples_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("current cell")
                << QByteArray("04UA  ") << QByteArray::fromHex("02303455412020433603");
        QTest::newRow("alarm reset")
                << QByteArray("04EK  ") << QByteArray::fromHex("023034454B2020434303");
        QTest::newRow("cell 12") << QByteArray("05E8012")
                                 << QByteArray::fromHex("0230354538303132384203");
        QTest::newRow("1.2345 s") << QByteArray("10DS  T12345")
                                  << QByteArray::fromHex("02313044532020543132333435373503");
        QTest::newRow("whole job") << QByteArray("12SS  S000E399")
                                   << QByteArray::fromHex("023132535320205330303045333939454103");
        // A checksum below 0x10 keeps its leading zero.
        QTest::newRow("checksum 0E") << QByteArray("04aaff")
                                     << QByteArray("\x02"
                                                   "04aaff0E\x03");
    }

    void framesTheWorkedExamples()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, wire);
        QCOMPARE(Packet::frame(text), wire);
    }

    void transactions_data()
    {
        QTest::addColumn<bool>("feedback");
        QTest::addColumn<Strike>("strike");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("steps");

        const Strike none = [](SimulatedDispenser &) {};
        const Strike slow = [](SimulatedDispenser &d) { d.setReplyDelay(120); }; // within each wait
        const Strike off = [](SimulatedDispenser &d) { d.setPoweredOn(false); };
        for (bool feedback : { false, true }) {
            const char *kind = feedback ? "feedback" : "set";
            QTest::addRow("%s", kind)
                    << feedback << none << 0 << QByteArray(feedback ? "EPAT" : "EPT");
            QTest::addRow("%s, slow", kind)
                    << feedback << slow << 0 << QByteArray(feedback ? "EPAT" : "EPT");
            // A failed command reply ends the session; no data is asked for.
            QTest::addRow("%s, no reply", kind)
                    << feedback << inject(Fault::NoReply) << 3 << QByteArray("EPT");
            QTest::addRow("%s, no ETX", kind)
                    << feedback << inject(Fault::ReplyWithoutEtx) << 3 << QByteArray("EPT");
            QTest::addRow("%s, refused", kind)
                    << feedback << inject(Fault::Refuse) << 5 << QByteArray("EPT");
            QTest::addRow("%s, A0 and A2", kind)
                    << feedback << inject(Fault::AcceptAndRefuse) << 5 << QByteArray("EPT");
            QTest::addRow("%s, garbage", kind)
                    << feedback << inject(Fault::Garbage) << -1 << QByteArray("EPT");
            // Switched off: nothing but the ENQ, and no session to end.
            QTest::addRow("%s, switched off", kind) << feedback << off << 6 << QByteArray("E");
        }
        QTest::newRow("feedback, no data")
                << true << inject(Fault::NoData) << 12 << QByteArray("EPAT");
        QTest::newRow("feedback, data without ETX")
                << true << inject(Fault::DataWithoutEtx) << 12 << QByteArray("EPAT");
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
        QCOMPARE(feedback ? line->link.feedbackCommand(text, reply) : line->link.setCommand(text),
                 code);
        QCOMPARE(reply, feedback && code == 0 ? Packet::frame("05D0000") : QByteArray("untouched"));
        // Closing at once, as a user who disconnects right away, still lets
        // the last bytes out.
        line->link.closePort();
        QCOMPARE(received(), onLine(steps, text));
    }

    void openSessionIsNeitherReopenedNorClosed()
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
    }

    void staleInputNeverAnswersTheNextCommand()
    {
        // A late "A0" lands while the program is idle, an "A2" before its ENQ.
        line->dispenser.injectFault(Fault::LateReply);
        line->dispenser.injectFault(Fault::Refuse);
        QCOMPARE(line->link.setCommand("07CH  010"), 3);
        QTest::qWait(SimulatedDispenser::lateReplyDelayMs + 100);
        QCOMPARE(line->link.setCommand("07CH  011"), 5);
        line->dispenser.sendUnsolicited(QByteArray(1, Packet::STX) + "A2" + Packet::ETX);
        QTest::qWait(50);
        QCOMPARE(line->link.setCommand("07CH  009"), 0);
        QCOMPARE(line->dispenser.state().currentCell, 9);
    }

    // While a transaction waits the event loop runs; a timer that starts
    // another one is refused without a byte, and the first ends as usual.
    void transactionInsideAnotherIsRefused()
    {
        line->dispenser.setReplyDelay(100);
        int nestedCode = -100;
        QTimer::singleShot(50, [&] { nestedCode = line->link.setCommand("07CH  005"); });
        QCOMPARE(line->link.setCommand("07CH  007"), 0);
        QCOMPARE(nestedCode, 14);
        QCOMPARE(line->link.errorMessage(14),
                 QStringLiteral("Error: Serial port busy with another command"));
        QCOMPARE(line->packets(), QList<QByteArray> { "07CH  007" });
    }

    void closedPortTouchesNothing()
    {
        DispenserLink neverOpened;
        QVERIFY(!neverOpened.openPort(QStringLiteral("/dev/no-such-terminal"), 115200));
        QVERIFY(!neverOpened.portErrorString().isEmpty());
        QCOMPARE(neverOpened.setCommand("04EK  "), 1);

        // Closed in the middle of a wait: the wait ends at once.
        line->dispenser.setPoweredOn(false);
        QTimer::singleShot(100, [&] { line->link.closePort(); });
        QElapsedTimer clock;
        clock.start();
        QByteArray reply = "untouched";
        QCOMPARE(line->link.feedbackCommand("04E9  ", reply), 1);
        QVERIFY2(clock.elapsed() < 1000, "the wait went on after the port closed");
        QCOMPARE(reply, QByteArray("untouched"));
        QCOMPARE(line->link.setCommand("04EK  "), 1);

        // Reopening clears the session flag the close left.
        QVERIFY(line->link.openPort(line->dispenser.devicePath(), 9600));
        line->dispenser.setPoweredOn(true);
        line->dispenser.clearLog();
        QCOMPARE(line->link.setCommand("04EK  "), 0);
        QCOMPARE(received(), onLine("EPT", "04EK  "));
    }

    // The device end goes away: the port closes at once and stays quiet.
    void lostLineClosesThePort()
    {
        QSignalSpy lost(&line->link, &DispenserLink::lineLost);
        line->dispenser.stop();
        QVERIFY(lost.wait(2000));
        QVERIFY(!line->link.isOpen());
        CpuStopwatch stopwatch;
        QTest::qWait(500);
        QVERIFY2(stopwatch.cpuMs() < 100, qPrintable(QString::number(stopwatch.cpuMs())));
        QCOMPARE(line->link.setCommand("04EK  "), 1);
    }

    void feedbackLogsTheDataWait()
    {
        DebugCapture debug;
        QByteArray reply;
        QCOMPARE(line->link.feedbackCommand("04UA  ", reply), 0);
        const QRegularExpression mark(
                QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d Before Read DataResp$"));
        QCOMPARE(debug.lines().size(), 2);
        for (const QString &text : debug.lines())
            QVERIFY2(mark.match(text).hasMatch(), qPrintable(text));
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
