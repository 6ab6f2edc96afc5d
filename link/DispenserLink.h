#ifndef DISPENSERLINK_H
#define DISPENSERLINK_H

#include <QByteArray>
#include <QObject>
#include <QSerialPortInfo>
#include <QString>

class LinkTraffic;
class QSerialPort;

// The one object through which the program talks to the dispenser.
//
// Every operation is synchronous for its caller: it returns when its exchange
// is over or its last wait has run out (at most 1500 + 200 + 200 ms), and
// returns an error code, 0 meaning success (see printError for the others).
// While it waits it runs the event loop without user input, so the window
// keeps painting and its timers keep firing; a transaction started from such
// a timer while another one waits is refused with code 14 and sends nothing.
// Inputs are taken by value; values read back go to reference out-parameters,
// which stay untouched when the exchange fails. A transaction started while
// the port is closed returns 1 at once.
//
// Every write, every read and the end of every transaction pass one
// LinkTraffic, when one is set (the communication log).
//
// When the line breaks while open (a USB adapter pulled: the port reports a
// resource, read or write error), the port is closed at once and lineLost()
// is emitted.
//
// The set operations select with setMemCell the cell that the following time,
// pressure, vacuum and trigger commands apply to.
//
// Each read operation runs its transaction and hands the data packet to the
// ReplyParser function of the same name (without "get").
class DispenserLink : public QObject
{
    Q_OBJECT

public:
    DispenserLink();
    ~DispenserLink() override;
    DispenserLink(const DispenserLink &) = delete;
    DispenserLink &operator=(const DispenserLink &) = delete;

    // Error codes the operations return.
    static constexpr int ok = 0;
    static constexpr int unknownReply = -1; // reply holds neither "A0" nor "A2"
    static constexpr int portClosed = 1;
    static constexpr int noResponse = 3; // no ETX within 200 ms
    static constexpr int refused = 5; // "A2"
    static constexpr int noAck = 6; // no ACK to ENQ within 1500 ms
    static constexpr int outOfRange = 8;
    static constexpr int invalidParameter = 9;
    static constexpr int invalidReply = 10; // value read back out of range, or a tag missing
    static constexpr int incompleteData = 12; // data packet without ETX within 200 ms
    static constexpr int busy = 14; // another transaction is still waiting

    // --- the serial port ---
    bool isOpen() const { return portOpen; }
    // Opens the port read-write with 8N1, no flow control, at the baud rate.
    bool openPort(QSerialPortInfo info, int baud);
    // The same for a device named by its path, which also reaches devices the
    // system does not enumerate (pseudo-terminals, /dev/serial/by-id links).
    bool openPort(const QString &devicePath, int baud);
    void closePort();
    // Why the last open failed, in the serial port's words.
    QString portErrorString() const;

    // Not owned; nullptr stops the telling.
    void setTraffic(LinkTraffic *listener) { traffic = listener; }

    // --- transactions (the command operations below build on these) ---
    int sendRaw(QByteArray bytes);
    int sendIfOpen(QByteArray bytes);
    QByteArray readUntil(char terminator, int waitMs);
    int beginSession();
    int endSession();
    // Frames the packet text in place, sends it and classifies the reply.
    int sendPacket(QByteArray &packet);
    // ENQ, packet, EOT: 0, -1, 1, 3, 5, 6, 8 or 14.
    int setCommand(QByteArray packetText);
    // ENQ, packet, ACK, data packet, EOT: 0, -1, 1, 3, 5, 6, 8, 12 or 14. On 0 the
    // reply holds every byte read after the ACK up to the data packet's ETX.
    int feedbackCommand(QByteArray packetText, QByteArray &reply);
    // The code's message; empty for codes that have none (0, 7, 10, ...).
    static QString errorMessage(int code);
    // What the user is shown for a failed code: its message, with a hint what
    // to do where the cause is clear, or the bare code for codes without one,
    // so a failure never shows as a blank.
    static QString failureText(int code);
    // Writes the code's message, if it has one, to the debug stream.
    static void printError(int code);
    // Whether after this code the dispenser will not take the next command
    // either (the port closed, no ACK, no reply, the line busy): a sequence
    // stops there. A refused command (A2) is no such code.
    static bool isUnanswered(int code);

    // --- dispense parameters ---
    int setAiMode(int mode); // 0 Timed, 1 Count, 2 Sequence, 3 Off
    int setDispenseMode(int mode); // 0 Timed, 1 Steady
    int setStartEndMemCell(int start, int end);
    int setMemCell(int cell);
    int setDispenseTime(double seconds);
    int setPressure(double pressure);
    int setVacuum(double vacuum);
    int setTrigger(int value);

    int getAiMode(int &mode);
    int getDispenseMode(int &mode);
    int getStartEndMemCell(int &start, int &end);
    int getMemCell(int &cell);
    int getMemCellResponse();
    int getDispenseTime(double &seconds);
    int getPressure(double &pressure);
    int getVacuum(double &vacuum);
    int getTrigger(int &value);
    int getMemTimePressure(int &cell, double &time, double &pressure);
    int getPressureTimeVacuum(int cell, double &pressure, double &time, double &vacuum);
    int getTotalStatusFeedback(int &aiMode, int &dispenseMode, int &start, int &end);

    // --- configuration, alarms and status ---
    int setPressureUnits(int unit); // 0 PSI, 1 bar, 2 kPa
    int setVacuumUnits(int unit); // 0 kPa, 1 inH2O, 2 inHg, 3 mmHg, 4 torr
    int setLanguage(int language);
    int setTime(int hour, int minute, bool twentyFourHour);
    int setDate(int month, int day, int year); // year: two digits (year - 2000)
    int setLockouts(unsigned flags, QByteArray password);
    int setAlarms(unsigned flags);
    int setAlarms(bool inputAlarm, bool inputAlarmOutput, bool latchInputAlarm,
                  bool pressureAlarmOutput, bool latchPressureAlarm, bool autoIncrementAlarm,
                  bool autoIncrementAlarmOutput);
    int resetAlarms();

    int getPressureUnits(int &unit);
    int getVacuumUnits(int &unit);
    int getTime(int &hour, int &minute, bool &twentyFourHour);
    int getDate(int &month, int &day, int &year);
    int getLockouts(unsigned &flags, QByteArray password);
    int getAlarms(unsigned &flags);
    int getAlarms(bool &inputAlarm, bool &inputAlarmOutput, bool &latchInputAlarm,
                  bool &pressureAlarmOutput, bool &latchPressureAlarm, bool &autoIncrementAlarm,
                  bool &autoIncrementAlarmOutput);
    int getAlarmStatus(unsigned &status); // bit 0 input, bit 3 pressure, bit 5 auto-increment
    int getShotCount(int &count);

signals:
    // The device went away while the port was open; the port is closed now.
    void lineLost();

private:
    int setTransaction(QByteArray packetText);
    int feedbackTransaction(QByteArray packetText, QByteArray &reply);
    int exchangeEnded(const QByteArray &packetText, int code);
    bool openConfiguredPort(int baud);
    int readCurrentCell(const char *label, QByteArray &reply);
    // Waits up to waitMs for more input; false when the wait was cut short
    // because the port closed or the application is quitting.
    bool waitForInput(int waitMs);
    bool refusedAsBusy() const;
    void handlePortError();

    QSerialPort *port;
    LinkTraffic *traffic = nullptr;
    bool portOpen = false;
    bool sessionOpen = false;
    bool inTransaction = false;
};

#endif // DISPENSERLINK_H
