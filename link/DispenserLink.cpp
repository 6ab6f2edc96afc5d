#include "DispenserLink.h"
#include "DispenserRanges.h"
#include "LinkLog.h"
#include "LinkTraffic.h"
#include "Packet.h"
#include "ReplyParser.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QSerialPort>
#include <QTime>
#include <QTimer>

#include <cstddef>

using namespace DispenserRanges;

namespace {

constexpr int ackWaitMs = 1500;
constexpr int replyWaitMs = 200;

// A password goes into the lockout packets as the caller passes it; only 1 to
// 4 digits keep the packet within its count field and mean anything to the
// dispenser.
bool isValidPassword(const QByteArray &password)
{
    if (password.isEmpty() || password.size() > 4)
        return false;
    for (char c : password) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Each tag in bit order, followed by "1" for a set bit and "0" for a clear one.
template<std::size_t bitCount>
QByteArray flagFields(const char *const (&tags)[bitCount], unsigned flags)
{
    QByteArray text;
    for (std::size_t bit = 0; bit < bitCount; ++bit)
        text += QByteArray(tags[bit]) + ((flags >> bit) & 1u ? '1' : '0');
    return text;
}

// A label followed by the raw bytes of a packet or reply, on one debug line.
void logBytes(const char *label, const QByteArray &bytes)
{
    const QByteArray text(label);
    LinkLog::write(text + (text.endsWith(' ') ? "" : " ") + bytes);
}

void logTimeMark()
{
    LinkLog::write(QTime::currentTime().toString(QStringLiteral("hh:mm:ss:zzz")).toLatin1()
                   + " Before Read DataResp");
}

QByteArray memCellRead(int cell)
{
    return "05E8" + Packet::number(cell, 3);
}

} // namespace

DispenserLink::DispenserLink() : port(new QSerialPort)
{
    connect(port, &QSerialPort::errorOccurred, this, &DispenserLink::handlePortError);
}

DispenserLink::~DispenserLink()
{
    delete port;
}

bool DispenserLink::openPort(QSerialPortInfo info, int baud)
{
    port->setPort(info);
    return openConfiguredPort(baud);
}

bool DispenserLink::openPort(const QString &devicePath, int baud)
{
    port->setPortName(devicePath);
    return openConfiguredPort(baud);
}

bool DispenserLink::openConfiguredPort(int baud)
{
    if (!port->open(QIODevice::ReadWrite))
        return false;
    port->setBaudRate(baud, QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    portOpen = true;
    sessionOpen = false;
    return true;
}

void DispenserLink::closePort()
{
    // The last EOT may still wait in Qt's buffer for the event loop; without
    // it the dispenser would be left in an open session.
    if (port->isOpen())
        port->flush();
    port->close();
    portOpen = false;
}

QString DispenserLink::portErrorString() const
{
    return port->errorString();
}

// A device that is gone (an adapter pulled, the far end of a terminal
// closed) keeps failing every read and write: close at once instead of
// trying again and again.
void DispenserLink::handlePortError()
{
    const QSerialPort::SerialPortError error = port->error();
    const bool lineBroken = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
            || error == QSerialPort::WriteError;
    if (!lineBroken || !port->isOpen())
        return;
    port->close();
    portOpen = false;
    emit lineLost();
}

// --- transactions ---

int DispenserLink::sendRaw(QByteArray bytes)
{
    port->flush();
    // A late reply to an earlier command must never be read as the answer to
    // this one: drop what Qt has buffered and what the driver still holds.
    port->readAll();
    port->clear(QSerialPort::Input);
    port->write(bytes);
    if (traffic)
        traffic->sent(bytes);
    return ok;
}

int DispenserLink::sendIfOpen(QByteArray bytes)
{
    if (!portOpen)
        return portClosed;
    return sendRaw(bytes);
}

QByteArray DispenserLink::readUntil(char terminator, int waitMs)
{
    QElapsedTimer clock; // monotonic
    clock.start();
    QByteArray result;
    for (;;) {
        result += port->readAll();
        const qint64 remaining = waitMs - clock.elapsed();
        if (result.contains(terminator) || remaining <= 0 || !waitForInput(int(remaining)))
            break;
    }
    if (traffic && !result.isEmpty())
        traffic->received(result);
    return result;
}

bool DispenserLink::waitForInput(int waitMs)
{
    if (!port->isOpen())
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(port, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    connect(port, &QIODevice::aboutToClose, &loop, &QEventLoop::quit);
    deadline.start(waitMs);
    // The window keeps painting and its timers run; the user's clicks wait.
    // A quitting application ends the wait at once (exec returns -1).
    return loop.exec(QEventLoop::ExcludeUserInputEvents) == 0 && port->isOpen();
}

int DispenserLink::beginSession()
{
    if (sessionOpen)
        return ok;
    if (sendIfOpen(QByteArray(1, Packet::ENQ)) == portClosed)
        return portClosed;
    const bool acknowledged = readUntil(Packet::ACK, ackWaitMs).contains(Packet::ACK);
    if (!portOpen)
        return portClosed;
    if (!acknowledged)
        return noAck;
    sessionOpen = true;
    return ok;
}

int DispenserLink::endSession()
{
    if (!sessionOpen)
        return ok;
    sendIfOpen(QByteArray(1, Packet::EOT));
    sessionOpen = false;
    return ok;
}

int DispenserLink::sendPacket(QByteArray &packet)
{
    packet = Packet::frame(packet);
    if (sendIfOpen(packet) == portClosed)
        return portClosed;
    const QByteArray reply = readUntil(Packet::ETX, replyWaitMs);
    if (!portOpen)
        return portClosed;
    switch (Packet::classifyReply(reply)) {
    case Packet::ReplyKind::Missing:
        return noResponse;
    case Packet::ReplyKind::Refused:
        return refused;
    case Packet::ReplyKind::Accepted:
        return ok;
    case Packet::ReplyKind::Unrecognised:
        break;
    }
    return unknownReply;
}

// A transaction asked for while another waits on the line (by a timer or a
// slot that the wait let run) is the caller's fault: it must wait for the
// first to end.
bool DispenserLink::refusedAsBusy() const
{
    if (inTransaction)
        printError(busy);
    return inTransaction;
}

int DispenserLink::setCommand(QByteArray packetText)
{
    return exchangeEnded(packetText, setTransaction(packetText));
}

int DispenserLink::feedbackCommand(QByteArray packetText, QByteArray &reply)
{
    return exchangeEnded(packetText, feedbackTransaction(packetText, reply));
}

int DispenserLink::exchangeEnded(const QByteArray &packetText, int code)
{
    if (traffic)
        traffic->exchangeEnded(packetText, code);
    return code;
}

int DispenserLink::setTransaction(QByteArray packetText)
{
    if (Packet::bodyLength(packetText) > Packet::maxBodyLength)
        return outOfRange;
    if (refusedAsBusy())
        return busy;
    const QScopedValueRollback<bool> transaction(inTransaction, true);
    const bool openedHere = !sessionOpen;
    if (openedHere) {
        const int code = beginSession();
        if (code != ok)
            return code;
    }
    const int code = sendPacket(packetText);
    if (openedHere)
        endSession();
    return code;
}

int DispenserLink::feedbackTransaction(QByteArray packetText, QByteArray &reply)
{
    if (Packet::bodyLength(packetText) > Packet::maxBodyLength)
        return outOfRange;
    if (refusedAsBusy())
        return busy;
    const QScopedValueRollback<bool> transaction(inTransaction, true);
    const bool openedHere = !sessionOpen;
    if (openedHere) {
        const int code = beginSession();
        if (code != ok)
            return code;
    }
    const int code = sendPacket(packetText);
    if (code != ok) {
        endSession();
        return code;
    }
    sendIfOpen(QByteArray(1, Packet::ACK)); // asks for the data packet
    logTimeMark();
    const QByteArray data = readUntil(Packet::ETX, replyWaitMs);
    logTimeMark();
    if (!data.contains(Packet::ETX)) {
        endSession();
        return portOpen ? incompleteData : portClosed;
    }
    reply = data;
    if (openedHere)
        endSession();
    return ok;
}

QString DispenserLink::errorMessage(int code)
{
    switch (code) {
    case unknownReply:
        return QStringLiteral("Error: unknown error");
    case portClosed:
        return QStringLiteral("Error: Serial port closed... can't send commands");
    case 2:
        return QStringLiteral("Error: Timeout while reading from serial port");
    case noResponse:
        return QStringLiteral("Error: No response when expected from P7");
    case 4:
        return QStringLiteral("Error: Bad command packet...");
    case refused:
        return QStringLiteral("Error: A2 Received from P7");
    case noAck:
        return QStringLiteral("Error: NACK from P7");
    case outOfRange:
        return QStringLiteral("Error: API Parameter Out Of Range");
    case invalidParameter:
        return QStringLiteral("Error: Invalid API Parameter");
    case 11:
        return QStringLiteral("Error: Feedback command didn't respond to initial query");
    case incompleteData:
        return QStringLiteral("Error: Feedback command didn't send full response.");
    case busy:
        return QStringLiteral("Error: Serial port busy with another command");
    default:
        return QString();
    }
}

QString DispenserLink::failureText(int code)
{
    const QString message = errorMessage(code);
    if (message.isEmpty())
        return QStringLiteral("Error: code %1").arg(code);
    // What to do, where the cause is clear.
    switch (code) {
    case portClosed:
        return message + QStringLiteral(" - Connect first");
    case noAck:
        return message + QStringLiteral(" - is the Pelidor 7 switched on and connected?");
    case unknownReply:
        return message + QStringLiteral(" - is the Pelidor 7 set to the same baud rate?");
    default:
        return message;
    }
}

bool DispenserLink::isUnanswered(int code)
{
    return code == portClosed || code == noAck || code == noResponse || code == busy;
}

void DispenserLink::printError(int code)
{
    const QString message = errorMessage(code);
    if (!message.isEmpty())
        LinkLog::write(message.toLatin1());
}

// --- dispense parameters ---

int DispenserLink::setAiMode(int mode)
{
    static const char *const packets[] = { "10AC  S10000", "10AC  S20000", "10AC  S40000",
                                           "05AI  0" };
    if (isAbove(mode, 3))
        return ok;
    const int code = setCommand(packets[mode]);
    printError(code);
    return code;
}

int DispenserLink::setDispenseMode(int mode)
{
    if (isAbove(mode, 1))
        return ok;
    const int code = setCommand(mode == 0 ? "04TT  " : "04MT  ");
    printError(code);
    return code;
}

int DispenserLink::setStartEndMemCell(int start, int end)
{
    if (isAbove(start, lastCell) || isAbove(end, lastCell) || start > end)
        return outOfRange;
    const QByteArray packet = "12SS  S" + Packet::number(start, 3) + "E" + Packet::number(end, 3);
    logBytes("Start End Mem Cell cmd: ", packet);
    const int code = setCommand(packet);
    printError(code);
    return code;
}

int DispenserLink::setMemCell(int cell)
{
    if (isAbove(cell, lastCell))
        return outOfRange;
    const int code = setCommand("07CH  " + Packet::number(cell, 3));
    printError(code);
    return code;
}

int DispenserLink::setDispenseTime(double seconds)
{
    if (!isWithin(seconds, 0.0, maxTime))
        return outOfRange;
    const int code = setCommand("10DS  T" + Packet::number(seconds, Packet::timeScale, 5));
    printError(code);
    return code;
}

int DispenserLink::setPressure(double pressure)
{
    // The 4-digit field holds at most 999.9.
    if (!(pressure >= 0.0) || qRound64(pressure * Packet::pressureScale) > maxPressureField)
        return outOfRange;
    const int code = setCommand("08PS  " + Packet::number(pressure, Packet::pressureScale, 4));
    printError(code);
    return code;
}

int DispenserLink::setVacuum(double vacuum)
{
    if (!isWithin(vacuum, 0.0, maxVacuum))
        return outOfRange;
    const int code = setCommand("08VS  " + Packet::number(vacuum, Packet::vacuumScale, 4));
    printError(code);
    return code;
}

int DispenserLink::setTrigger(int value)
{
    if (isAbove(value, maxTrigger))
        return outOfRange;
    const int code = setCommand("10EQ  T" + Packet::number(value, 5));
    printError(code);
    return code;
}

int DispenserLink::getAiMode(int &mode)
{
    LinkLog::write("getAiMode()");
    QByteArray reply;
    const int code = feedbackCommand("04AU  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::aiMode(reply, mode);
}

int DispenserLink::getDispenseMode(int &mode)
{
    LinkLog::write("getDispenseMode())");
    QByteArray reply;
    const int code = feedbackCommand("04AU  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::dispenseMode(reply, mode);
}

int DispenserLink::getStartEndMemCell(int &start, int &end)
{
    LinkLog::write("getStartEndMemCell()");
    QByteArray reply;
    const int code = feedbackCommand("04AU  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::startEndMemCell(reply, start, end);
}

int DispenserLink::getMemCell(int &cell)
{
    QByteArray reply;
    const int code = feedbackCommand("04UA  ", reply);
    if (code != ok)
        return code;
    return ReplyParser::memCell(reply, cell);
}

int DispenserLink::getMemCellResponse()
{
    QByteArray reply;
    const int code = feedbackCommand("04UA  ", reply);
    logBytes("P7 Response: ", reply);
    printError(code);
    return code;
}

// The memory-cell read of the dispenser's current cell, for the single-value
// reads below.
int DispenserLink::readCurrentCell(const char *label, QByteArray &reply)
{
    int cell = 0;
    const int code = getMemCell(cell);
    if (code != ok)
        return code;
    LinkLog::write(QByteArray(label) + ' ' + QByteArray::number(cell));
    return feedbackCommand(memCellRead(cell), reply);
}

int DispenserLink::getDispenseTime(double &seconds)
{
    QByteArray reply;
    const int code = readCurrentCell("getDispenseTime", reply);
    if (code != ok)
        return code;
    return ReplyParser::dispenseTime(reply, seconds);
}

int DispenserLink::getPressure(double &pressure)
{
    QByteArray reply;
    const int code = readCurrentCell("getPressure()", reply);
    if (code != ok)
        return code;
    return ReplyParser::pressure(reply, pressure);
}

int DispenserLink::getVacuum(double &vacuum)
{
    QByteArray reply;
    const int code = readCurrentCell("getVacuum()", reply);
    if (code != ok)
        return code;
    return ReplyParser::vacuum(reply, vacuum);
}

int DispenserLink::getTrigger(int &value)
{
    QByteArray reply;
    const int code = feedbackCommand("04ER  ", reply);
    if (code != ok)
        return code;
    logBytes("Response:getTrigger ", reply);
    return ReplyParser::trigger(reply, value);
}

int DispenserLink::getMemTimePressure(int &cell, double &time, double &pressure)
{
    QByteArray reply;
    const int code = feedbackCommand("04UD  ", reply);
    if (code != ok)
        return code;
    logBytes("Response:getMemTimePressure ", reply);
    return ReplyParser::memTimePressure(reply, cell, time, pressure);
}

int DispenserLink::getPressureTimeVacuum(int cell, double &pressure, double &time, double &vacuum)
{
    if (isAbove(cell, lastCell))
        return outOfRange;
    QByteArray reply;
    const int code = feedbackCommand(memCellRead(cell), reply);
    if (code != ok)
        return code;
    logBytes("Response:getPressureTimeVacuum ", reply);
    return ReplyParser::pressureTimeVacuum(reply, pressure, time, vacuum);
}

int DispenserLink::getTotalStatusFeedback(int &aiMode, int &dispenseMode, int &start, int &end)
{
    QByteArray reply;
    const int code = feedbackCommand("04AU  ", reply);
    if (code != ok)
        return code;
    logBytes("getTotalStatusFeedback Response: ", reply);
    return ReplyParser::totalStatusFeedback(reply, aiMode, dispenseMode, start, end);
}

// --- configuration, alarms and status ---

int DispenserLink::setPressureUnits(int unit)
{
    if (isAbove(unit, 2))
        return invalidParameter;
    const int code = setCommand("06E6  " + Packet::number(unit, 2));
    printError(code);
    return code;
}

int DispenserLink::setVacuumUnits(int unit)
{
    if (isAbove(unit, 4))
        return invalidParameter;
    const int code = setCommand("06E7  " + Packet::number(unit, 2));
    printError(code);
    return code;
}

int DispenserLink::setLanguage(int language)
{
    const int code = setCommand("06ED  " + Packet::number(language, 2));
    printError(code);
    return code;
}

int DispenserLink::setTime(int hour, int minute, bool twentyFourHour)
{
    if (isAbove(hour, 23) || isAbove(minute, 59))
        return outOfRange;
    int shownHour = hour;
    int indicator = 2;
    if (!twentyFourHour) {
        indicator = hour >= 12 ? 1 : 0;
        shownHour = hour % 12 == 0 ? 12 : hour % 12;
    }
    return setCommand("13EB  H" + Packet::number(shownHour, 2) + "M" + Packet::number(minute, 2)
                      + "AM" + QByteArray::number(indicator));
}

int DispenserLink::setDate(int month, int day, int year)
{
    if (month < 1 || month > 12 || day < 1 || day > 31 || isAbove(year, 99))
        return outOfRange;
    return setCommand("13EC  M" + Packet::number(month, 2) + "D" + Packet::number(day, 2) + "Y"
                      + Packet::number(year, 2));
}

int DispenserLink::setLockouts(unsigned flags, QByteArray password)
{
    if (!isValidPassword(password))
        return outOfRange;
    const QByteArray packet =
            Packet::withCount("EG  PA" + password + flagFields(Packet::lockoutTags, flags));
    logBytes("Sent: ", Packet::hidePassword(packet));
    return setCommand(packet);
}

int DispenserLink::setAlarms(unsigned flags)
{
    return setCommand(Packet::withCount("EI  " + flagFields(Packet::alarmTags, flags)));
}

int DispenserLink::setAlarms(bool inputAlarm, bool inputAlarmOutput, bool latchInputAlarm,
                             bool pressureAlarmOutput, bool latchPressureAlarm,
                             bool autoIncrementAlarm, bool autoIncrementAlarmOutput)
{
    const bool options[] = {
        inputAlarm,         inputAlarmOutput,   latchInputAlarm,         pressureAlarmOutput,
        latchPressureAlarm, autoIncrementAlarm, autoIncrementAlarmOutput
    };
    unsigned flags = 0;
    for (int bit = 0; bit < 7; ++bit) {
        if (options[bit])
            flags |= 1u << bit;
    }
    return setAlarms(flags);
}

int DispenserLink::resetAlarms()
{
    return setCommand(Packet::withCount("EK  "));
}

int DispenserLink::getPressureUnits(int &unit)
{
    QByteArray reply;
    const int code = feedbackCommand("04E4  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::pressureUnits(reply, unit);
}

int DispenserLink::getVacuumUnits(int &unit)
{
    QByteArray reply;
    const int code = feedbackCommand("04E5  ", reply);
    if (code != ok) {
        printError(code);
        return code;
    }
    logBytes("Response: ", reply);
    return ReplyParser::vacuumUnits(reply, unit);
}

int DispenserLink::getTime(int &hour, int &minute, bool &twentyFourHour)
{
    QByteArray reply;
    const int code = feedbackCommand("04EE  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::time(reply, hour, minute, twentyFourHour);
}

int DispenserLink::getDate(int &month, int &day, int &year)
{
    QByteArray reply;
    const int code = feedbackCommand("04EF  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::date(reply, month, day, year);
}

int DispenserLink::getLockouts(unsigned &flags, QByteArray password)
{
    if (!isValidPassword(password))
        return outOfRange;
    QByteArray reply;
    const int code = feedbackCommand(Packet::withCount("EH  PA" + password), reply);
    if (code != ok)
        return code;
    logBytes("Response:getLockouts ", reply);
    return ReplyParser::lockouts(reply, flags);
}

int DispenserLink::getAlarms(unsigned &flags)
{
    QByteArray reply;
    const int code = feedbackCommand("04EJ  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: ", reply);
    return ReplyParser::alarms(reply, flags);
}

int DispenserLink::getAlarms(bool &inputAlarm, bool &inputAlarmOutput, bool &latchInputAlarm,
                             bool &pressureAlarmOutput, bool &latchPressureAlarm,
                             bool &autoIncrementAlarm, bool &autoIncrementAlarmOutput)
{
    unsigned flags = 0;
    const int code = getAlarms(flags);
    if (code != ok)
        return code;
    bool *const options[] = {
        &inputAlarm,         &inputAlarmOutput,   &latchInputAlarm,         &pressureAlarmOutput,
        &latchPressureAlarm, &autoIncrementAlarm, &autoIncrementAlarmOutput
    };
    for (int bit = 0; bit < 7; ++bit)
        *options[bit] = (flags >> bit) & 1u;
    return ok;
}

int DispenserLink::getAlarmStatus(unsigned &status)
{
    QByteArray reply;
    const int code = feedbackCommand("04EL  ", reply);
    if (code != ok)
        return code;
    logBytes("Response: getAlarmStatus", reply);
    return ReplyParser::alarmStatus(reply, status);
}

int DispenserLink::getShotCount(int &count)
{
    QByteArray reply;
    const int code = feedbackCommand("04E9  ", reply);
    if (code != ok)
        return code;
    logBytes("Response:getShotCount ", reply);
    return ReplyParser::shotCount(reply, count);
}
