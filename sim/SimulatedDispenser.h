#ifndef SIMULATEDDISPENSER_H
#define SIMULATEDDISPENSER_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// A stand-in for the Pelidor 7 dispenser: it answers the serial protocol from
// the dispenser's side on a pseudo-terminal, in a thread of its own.
//
// Usage in a test:
//
//     SimulatedDispenser dispenser;
//     QVERIFY2(dispenser.start(), qPrintable(dispenser.errorString()));
//     DispenserLink link;
//     link.openPort(dispenser.devicePath(), 115200);
//     QCOMPARE(link.setMemCell(12), 0);
//     QCOMPARE(dispenser.state().currentCell, 12);
//
// State: state() returns a copy of everything the dispenser holds, setState()
// replaces it; values are kept in their wire units (time in 1/10000 s,
// pressure and vacuum in tenths, see Cell).
//
// Log: receivedBytes() is every byte read from the line since the last
// clearLog(), receivedPackets() the packet texts (count, command and data
// fields) of the packets among them, in order. The program writes its last
// byte (EOT) only when its event loop runs, so check the log with QTRY_*.
//
// lineSpeed() is the baud rate the program set on its side of the line.
//
// Faults: injectFault() queues a fault for the next packet received;
// setFaultMode() applies one to every packet while none is queued;
// injectData() replaces the next data packet's text; setReplyDelay() slows
// every answer; setPoweredOn(false) makes it ignore everything;
// sendUnsolicited() puts bytes on the line at once; raiseAlarm() sets alarm
// status bits until the program resets them.
//
// Stored values that differ from what was sent: setSkewedCell() makes one
// cell keep its pressure one wire step off; changeCell() changes a value as
// an operator at the dispenser's front panel would.
//
// Every public member may be called from any thread.
class SimulatedDispenser
{
public:
    static constexpr int cellCount = 400;

    // One memory cell in wire units.
    struct Cell
    {
        int time = 0; // 1/10000 s, 0 to 99999
        int pressure = 0; // tenths of the pressure unit, 0 to 6895
        int vacuum = 0; // tenths of the vacuum unit, 0 to 180
        int trigger = 1; // 0 to 99999
    };

    struct State
    {
        std::array<Cell, cellCount> cells {};
        // 0 to 399; a dispenser out of order may report a higher one, whose
        // values are then those of beyondCell.
        int currentCell = 0;
        Cell beyondCell;
        int startCell = 0;
        int endCell = 399;
        bool autoIncrementOn = false;
        int autoIncrementType = 1; // 1 Timed, 2 Count, 4 Sequence
        int dispenseMode = 0; // 0 Timed, 1 Steady
        int pressureUnit = 0; // 0 to 2
        int vacuumUnit = 1; // 0 to 4
        int language = 0; // 0 to 7
        int hour = 12; // as on the dispenser's panel: 1 to 12, or 0 to 23 with the 24-hour clock
        int minute = 0;
        int clockIndicator = 2; // 0 AM, 1 PM, 2 24-hour clock
        int month = 1;
        int day = 1;
        int year = 24; // two digits
        unsigned lockouts = 0; // 16 bits, DT to AM
        unsigned alarmOptions = 0; // 7 bits, IN to AO
        unsigned alarmStatus = 0; // bit 0 input, bit 3 pressure, bit 5 auto-increment
        int shotCount = 0;
        QByteArray password = "5183"; // the lockout commands must carry it
    };

    // One-shot faults, each spent on the next command packet received.
    // Apart from Refuse the dispenser carries the command out as usual: only
    // what reaches the program is spoiled.
    enum class Fault {
        NoReply, // nothing comes back
        ReplyWithoutEtx, // "A0" without its ETX
        Refuse, // "A2" whatever the packet holds; nothing changes
        AcceptAndRefuse, // one reply holding both "A0" and "A2"
        Garbage, // an ETX-ended reply holding neither "A0" nor "A2"
        LateReply, // the right reply, but only after the program's 200 ms
        NoData, // the data packet never comes
        DataWithoutEtx, // the data packet lacks its ETX
    };

    // Delay of a late reply, after the program has given up waiting.
    static constexpr int lateReplyDelayMs = 350;

    SimulatedDispenser();
    ~SimulatedDispenser();
    SimulatedDispenser(const SimulatedDispenser &) = delete;
    SimulatedDispenser &operator=(const SimulatedDispenser &) = delete;

    // Creates the pseudo-terminal and starts answering on it; false (with
    // errorString()) when the terminal cannot be made.
    bool start();
    // Stops answering and closes the terminal; the destructor does it too.
    void stop();
    QString errorString() const;

    // The serial device the program opens, e.g. /dev/pts/3.
    QString devicePath() const;
    // Also makes a symbolic link to the device, removed again by stop().
    bool makeLink(const QString &linkPath);

    // The baud rate the program last set on the line (0 if unknown).
    int lineSpeed() const;

    // Receives one readable line per event on the line (from the dispenser's
    // thread). Set it before start().
    void setLogSink(std::function<void(const QString &)> sink);

    State state() const;
    void setState(const State &state);

    QByteArray receivedBytes() const;
    QList<QByteArray> receivedPackets() const;
    void clearLog();

    void injectFault(Fault fault);
    // A fault for every command packet from now on, for as long as no
    // injected fault is waiting; std::nullopt answers normally again.
    void setFaultMode(std::optional<Fault> fault);
    // The next data packet carries this text (its count and checksum are
    // added) instead of the one the command asks for.
    void injectData(const QByteArray &text);
    void setReplyDelay(int milliseconds);
    void setPoweredOn(bool on);
    void sendUnsolicited(const QByteArray &bytes);
    void raiseAlarm(unsigned statusBits);

    // The pressure sent for this cell is kept one tenth higher (one lower at
    // the top of the range); -1 keeps every cell as sent.
    void setSkewedCell(int cell);
    // Sets one value of a cell in wire units: field 0 time, 1 pressure, 2
    // vacuum, 3 trigger. False, changing nothing, for a cell, field or value
    // the dispenser does not hold.
    bool changeCell(int cell, int field, int value);

private:
    struct Answer
    {
        bool accepted = false;
        QByteArray data; // the data packet's text for an accepted feedback command
    };

    static Cell &current(State &state);
    void closeTerminal();
    void run();
    void receive(char byte);
    void handlePacket(const QByteArray &content);
    void sendData();
    Answer execute(const QByteArray &body);
    Answer executeSet(const QByteArray &mnemonic, const QByteArray &data);
    Answer executeFeedback(const QByteArray &mnemonic, const QByteArray &data);
    static QByteArray dataPacket(const QByteArray &text);
    void answer(const QByteArray &bytes, int extraDelayMs);
    void write(const QByteArray &bytes);
    bool pause(int milliseconds);
    void log(const QString &line);

    // Guards everything the tests may read or change.
    mutable std::mutex mutex;
    State dispenser;
    QByteArray received;
    QList<QByteArray> packets;
    std::deque<Fault> faults;
    std::optional<Fault> faultMode;
    QByteArray injectedData;
    bool dataInjected = false;
    int replyDelayMs = 0;
    bool poweredOn = true;
    int skewedCell = -1;
    std::function<void(const QString &)> logSink;
    QString error;
    QString path;
    QString linkPath;

    // Keeps writes from the tests (sendUnsolicited) apart from the answers.
    std::mutex writeMutex;

    // Used by the dispenser's thread only.
    bool sessionOpen = false;
    bool inPacket = false;
    QByteArray packetContent;
    QByteArray pendingData;
    bool dataPending = false;
    std::optional<Fault> dataFault;

    int masterFd = -1;
    int slaveFd = -1;
    int wakeFds[2] = { -1, -1 };
    std::thread thread;
    std::atomic<bool> stopping { false };
};

#endif // SIMULATEDDISPENSER_H
