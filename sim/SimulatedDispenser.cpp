#include "SimulatedDispenser.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

namespace {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char EOT = 0x04;
constexpr char ENQ = 0x05;
constexpr char ACK = 0x06;

// The largest pressure it holds, in tenths: 689.5 kPa, or 6.895 bar in
// hundredths of a bar.
constexpr int maxPressure = 6895;
constexpr int maxVacuum = 180;

const QByteArray accepted = QByteArray(1, STX) + "A0" + ETX;
const QByteArray refused = QByteArray(1, STX) + "A2" + ETX;

const char *const lockoutTags[] = { "DT", "DP", "DV", "M",  "DC", "DM", "AI", "AR",
                                    "AL", "MM", "PU", "VU", "LA", "CL", "CO", "AM" };
const char *const alarmTags[] = { "IN", "IO", "IL", "PO", "PL", "AE", "AO" };

// What each command does, for the readable log.
const QHash<QByteArray, QString> &commandNames()
{
    static const QHash<QByteArray, QString> names = {
        { "AC", "auto-increment mode" },
        { "AI", "auto-increment off" },
        { "TT", "dispense mode timed" },
        { "MT", "dispense mode steady" },
        { "SS", "start and end cells" },
        { "CH", "select memory cell" },
        { "DS", "dispense time" },
        { "PS", "pressure" },
        { "VS", "vacuum" },
        { "EQ", "trigger value" },
        { "E6", "pressure units" },
        { "E7", "vacuum units" },
        { "ED", "language" },
        { "EB", "clock time" },
        { "EC", "date" },
        { "EG", "operator lockouts" },
        { "EI", "alarm options" },
        { "EK", "alarm reset" },
        { "AU", "read status" },
        { "UA", "read current cell" },
        { "UD", "read cell, time and pressure" },
        { "E8", "read memory cell" },
        { "ER", "read trigger value" },
        { "E4", "read pressure units" },
        { "E5", "read vacuum units" },
        { "EE", "read clock time" },
        { "EF", "read date" },
        { "EH", "read operator lockouts" },
        { "EJ", "read alarm options" },
        { "EL", "read alarm status" },
        { "E9", "read shot count" },
    };
    return names;
}

// The checksum is worked out here on its own, not borrowed from the program,
// so that the two check each other.
QByteArray checksum(const QByteArray &text)
{
    int sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return QByteArray::number((256 - sum % 256) % 256, 16).toUpper().rightJustified(2, '0');
}

QByteArray digits(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

QString printable(const QByteArray &bytes)
{
    QString text;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("<%1>").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

QByteArray flagFields(const char *const tags[], int count, unsigned flags)
{
    QByteArray text;
    for (int bit = 0; bit < count; ++bit)
        text += QByteArray(tags[bit]) + ((flags >> bit) & 1u ? '1' : '0');
    return text;
}

// Reads the fixed layout of a command's data field, left to right; any
// mismatch makes the whole field invalid.
class FieldReader
{
public:
    explicit FieldReader(const QByteArray &data) : data(data) { }

    void literal(const QByteArray &expected)
    {
        if (data.mid(position, expected.size()) != expected)
            good = false;
        position += expected.size();
    }

    int number(int width)
    {
        const QByteArray field = data.mid(position, width);
        position += width;
        if (field.size() != width)
            good = false;
        for (char c : field) {
            if (c < '0' || c > '9')
                good = false;
        }
        return field.toInt();
    }

    bool flag()
    {
        const char c = position < data.size() ? data.at(position) : '\0';
        ++position;
        if (c != '0' && c != '1')
            good = false;
        return c == '1';
    }

    unsigned flags(const char *const tags[], int count)
    {
        unsigned result = 0;
        for (int bit = 0; bit < count; ++bit) {
            literal(tags[bit]);
            if (flag())
                result |= 1u << bit;
        }
        return result;
    }

    // A run of digits up to the next letter (the lockout password).
    QByteArray digitRun(int maxWidth)
    {
        const int start = position;
        while (position < data.size() && data.at(position) >= '0' && data.at(position) <= '9')
            ++position;
        if (position == start || position - start > maxWidth)
            good = false;
        return data.mid(start, position - start);
    }

    // True when everything matched and nothing is left over.
    bool valid() const { return good && position == data.size(); }

private:
    QByteArray data;
    int position = 0;
    bool good = true;
};

} // namespace

SimulatedDispenser::SimulatedDispenser() = default;

SimulatedDispenser::~SimulatedDispenser()
{
    stop();
}

bool SimulatedDispenser::start()
{
    if (thread.joinable())
        return true;
    auto fail = [this](const QString &what) {
        const QString message =
                what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        closeTerminal();
        std::lock_guard<std::mutex> lock(mutex);
        error = message;
        return false;
    };
    masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0)
        return fail(QStringLiteral("grantpt/unlockpt"));
    char name[128];
    if (ptsname_r(masterFd, name, sizeof name) != 0)
        return fail(QStringLiteral("ptsname"));
    // Holding the device open keeps the terminal up while the program closes
    // and reopens its side; the raw mode set here is what it finds and what
    // its serial port restores on close.
    slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0)
        return fail(QStringLiteral("open ") + QString::fromLocal8Bit(name));
    termios settings {};
    if (tcgetattr(slaveFd, &settings) != 0)
        return fail(QStringLiteral("tcgetattr"));
    cfmakeraw(&settings);
    if (tcsetattr(slaveFd, TCSANOW, &settings) != 0)
        return fail(QStringLiteral("tcsetattr"));
    if (fcntl(masterFd, F_SETFL, O_NONBLOCK) != 0)
        return fail(QStringLiteral("fcntl"));
    if (pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail(QStringLiteral("pipe"));
    {
        std::lock_guard<std::mutex> lock(mutex);
        path = QString::fromLocal8Bit(name);
    }
    stopping = false;
    thread = std::thread(&SimulatedDispenser::run, this);
    return true;
}

void SimulatedDispenser::stop()
{
    if (thread.joinable()) {
        stopping = true;
        const char wake = 0;
        if (::write(wakeFds[1], &wake, 1) < 0) {
            // The pipe is never full while the thread is alive; nothing to do.
        }
        thread.join();
    }
    closeTerminal();
    std::lock_guard<std::mutex> lock(mutex);
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        linkPath.clear();
    }
}

void SimulatedDispenser::closeTerminal()
{
    for (int *fd : { &masterFd, &slaveFd, &wakeFds[0], &wakeFds[1] }) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

QString SimulatedDispenser::errorString() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return error;
}

QString SimulatedDispenser::devicePath() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return path;
}

bool SimulatedDispenser::makeLink(const QString &newLinkPath)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (path.isEmpty())
        return false;
    // A link left behind by an earlier run is replaced, nothing else.
    if (QFileInfo(newLinkPath).isSymLink())
        QFile::remove(newLinkPath);
    if (!QFile::link(path, newLinkPath)) {
        error = QStringLiteral("cannot make the link ") + newLinkPath;
        return false;
    }
    linkPath = newLinkPath;
    return true;
}

int SimulatedDispenser::lineSpeed() const
{
    termios settings {};
    if (slaveFd < 0 || tcgetattr(slaveFd, &settings) != 0)
        return 0;
    static const std::pair<speed_t, int> speeds[] = {
        { B1200, 1200 },   { B2400, 2400 },   { B4800, 4800 },   { B9600, 9600 },
        { B19200, 19200 }, { B38400, 38400 }, { B57600, 57600 }, { B115200, 115200 },
    };
    const speed_t speed = cfgetospeed(&settings);
    for (const auto &known : speeds) {
        if (known.first == speed)
            return known.second;
    }
    return 0;
}

void SimulatedDispenser::setLogSink(std::function<void(const QString &)> sink)
{
    std::lock_guard<std::mutex> lock(mutex);
    logSink = std::move(sink);
}

SimulatedDispenser::State SimulatedDispenser::state() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return dispenser;
}

void SimulatedDispenser::setState(const State &newState)
{
    std::lock_guard<std::mutex> lock(mutex);
    dispenser = newState;
}

QByteArray SimulatedDispenser::receivedBytes() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return received;
}

QList<QByteArray> SimulatedDispenser::receivedPackets() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return packets;
}

void SimulatedDispenser::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex);
    received.clear();
    packets.clear();
}

void SimulatedDispenser::injectFault(Fault fault)
{
    std::lock_guard<std::mutex> lock(mutex);
    faults.push_back(fault);
}

void SimulatedDispenser::setFaultMode(std::optional<Fault> fault)
{
    std::lock_guard<std::mutex> lock(mutex);
    faultMode = fault;
}

void SimulatedDispenser::injectData(const QByteArray &text)
{
    std::lock_guard<std::mutex> lock(mutex);
    injectedData = text;
    dataInjected = true;
}

void SimulatedDispenser::setReplyDelay(int milliseconds)
{
    std::lock_guard<std::mutex> lock(mutex);
    replyDelayMs = milliseconds;
}

void SimulatedDispenser::setPoweredOn(bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    poweredOn = on;
}

void SimulatedDispenser::sendUnsolicited(const QByteArray &bytes)
{
    log(QStringLiteral("unsolicited -> ") + printable(bytes));
    write(bytes);
}

void SimulatedDispenser::raiseAlarm(unsigned statusBits)
{
    std::lock_guard<std::mutex> lock(mutex);
    dispenser.alarmStatus |= statusBits;
}

void SimulatedDispenser::setSkewedCell(int cell)
{
    std::lock_guard<std::mutex> lock(mutex);
    skewedCell = cell;
}

bool SimulatedDispenser::changeCell(int cell, int field, int value)
{
    static const int highest[] = { 99999, maxPressure, maxVacuum, 99999 };
    if (cell < 0 || cell >= cellCount || field < 0 || field > 3 || value < 0
        || value > highest[field])
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    Cell &changed = dispenser.cells[std::size_t(cell)];
    int *const values[] = { &changed.time, &changed.pressure, &changed.vacuum, &changed.trigger };
    *values[field] = value;
    return true;
}

// --- the dispenser's thread ---

void SimulatedDispenser::run()
{
    char buffer[256];
    while (!stopping) {
        pollfd watched[] = { { masterFd, POLLIN, 0 }, { wakeFds[0], POLLIN, 0 } };
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            log(QStringLiteral("poll failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        if (watched[1].revents & POLLIN)
            continue; // woken to stop
        if (watched[0].revents & POLLIN) {
            const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
            for (ssize_t i = 0; i < count; ++i)
                receive(buffer[i]);
        } else if (watched[0].revents & (POLLHUP | POLLERR)) {
            pause(20); // no reader on the other side yet
        }
    }
}

void SimulatedDispenser::receive(char byte)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        received.append(byte);
        if (!poweredOn)
            return;
    }
    const bool control = static_cast<unsigned char>(byte) < 0x20;
    if (inPacket) {
        if (byte == ETX) {
            inPacket = false;
            handlePacket(packetContent);
            return;
        }
        if (!control) {
            packetContent.append(byte);
            return;
        }
        inPacket = false;
        log(QStringLiteral("unfinished packet dropped: ") + printable(packetContent));
    }
    switch (byte) {
    case ENQ:
        sessionOpen = true;
        dataPending = false;
        log(QStringLiteral("ENQ -> ACK"));
        answer(QByteArray(1, ACK), 0);
        break;
    case EOT:
        log(sessionOpen ? QStringLiteral("EOT, session closed") : QStringLiteral("EOT"));
        sessionOpen = false;
        dataPending = false;
        break;
    case ACK:
        if (dataPending) {
            dataPending = false;
            sendData();
        } else {
            log(QStringLiteral("ACK ignored: no data waiting"));
        }
        break;
    case STX:
        inPacket = true;
        packetContent.clear();
        break;
    default:
        log(QStringLiteral("ignored ") + printable(QByteArray(1, byte)));
    }
}

void SimulatedDispenser::handlePacket(const QByteArray &content)
{
    const QByteArray text = content.left(content.size() - 2);
    {
        std::lock_guard<std::mutex> lock(mutex);
        packets.append(text);
    }
    if (!sessionOpen) {
        log(printable(content) + QStringLiteral(" ignored: no session"));
        return;
    }
    std::optional<Fault> fault;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!faults.empty()) {
            fault = faults.front();
            faults.pop_front();
        } else {
            fault = faultMode;
        }
    }

    QString problem;
    Answer result;
    if (content.size() < 4)
        problem = QStringLiteral("too short");
    else if (checksum(text) != content.right(2))
        problem = QStringLiteral("bad checksum");
    else if (text.left(2) != digits(text.size() - 2, 2))
        problem = QStringLiteral("bad count");
    else if (fault == Fault::Refuse)
        problem = QStringLiteral("refused (fault injected)");
    else
        result = execute(text.mid(2));

    const QByteArray mnemonic = text.mid(2, 2);
    const QString name = commandNames().value(mnemonic, QStringLiteral("unknown command"));
    QByteArray reply = result.accepted ? accepted : refused;
    int delay = 0;
    if (fault == Fault::NoReply)
        reply.clear();
    else if (fault == Fault::ReplyWithoutEtx)
        reply.chop(1);
    else if (fault == Fault::AcceptAndRefuse)
        reply = QByteArray(1, STX) + "A0A2" + ETX;
    else if (fault == Fault::Garbage)
        reply = QByteArray(1, STX) + "?x@" + ETX;
    else if (fault == Fault::LateReply)
        delay = lateReplyDelayMs;

    if (problem.isEmpty() && !result.accepted)
        problem = QStringLiteral("refused");
    QString line = QLatin1Char('"') + printable(text) + QStringLiteral("\" (") + name
            + QStringLiteral(") -> ");
    line += reply.isEmpty() ? QStringLiteral("no reply") : printable(reply);
    if (!problem.isEmpty())
        line += QStringLiteral(", ") + problem;
    log(line);

    answer(reply, delay);
    dataPending = result.accepted && !result.data.isEmpty();
    pendingData = result.data;
    dataFault.reset();
    if (fault == Fault::NoData || fault == Fault::DataWithoutEtx)
        dataFault = fault;
}

void SimulatedDispenser::sendData()
{
    QByteArray text = pendingData;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (dataInjected) {
            text = injectedData;
            dataInjected = false;
        }
    }
    if (dataFault == Fault::NoData) {
        log(QStringLiteral("ACK -> no data (fault injected)"));
        return;
    }
    QByteArray packet = dataPacket(text);
    if (dataFault == Fault::DataWithoutEtx)
        packet.chop(1);
    log(QStringLiteral("ACK -> data ") + printable(packet));
    answer(packet, 0);
}

SimulatedDispenser::Answer SimulatedDispenser::execute(const QByteArray &body)
{
    const QByteArray mnemonic = body.left(2);
    // The memory-cell read alone carries its data right after the mnemonic.
    if (mnemonic == "E8")
        return executeFeedback(mnemonic, body.mid(2));
    if (body.mid(2, 2) != "  ")
        return Answer();
    const QByteArray data = body.mid(4);
    static const QByteArray feedbackCommands[] = { "AU", "UA", "UD", "ER", "E4", "E5",
                                                   "EE", "EF", "EH", "EJ", "EL", "E9" };
    for (const QByteArray &feedback : feedbackCommands) {
        if (mnemonic == feedback)
            return executeFeedback(mnemonic, data);
    }
    return executeSet(mnemonic, data);
}

SimulatedDispenser::Answer SimulatedDispenser::executeSet(const QByteArray &mnemonic,
                                                          const QByteArray &data)
{
    std::lock_guard<std::mutex> lock(mutex);
    State &s = dispenser;
    Cell &cell = current(s);
    FieldReader fields(data);
    Answer done;
    done.accepted = true;

    if (mnemonic == "AC") {
        fields.literal("S");
        const int type = fields.number(1);
        fields.literal("0000");
        if (!fields.valid() || (type != 1 && type != 2 && type != 4))
            return Answer();
        s.autoIncrementOn = true;
        s.autoIncrementType = type;
    } else if (mnemonic == "AI") {
        const bool on = fields.flag();
        if (!fields.valid())
            return Answer();
        s.autoIncrementOn = on;
    } else if (mnemonic == "TT" || mnemonic == "MT") {
        if (!fields.valid())
            return Answer();
        s.dispenseMode = mnemonic == "TT" ? 0 : 1;
    } else if (mnemonic == "SS") {
        fields.literal("S");
        const int start = fields.number(3);
        fields.literal("E");
        const int end = fields.number(3);
        if (!fields.valid() || end >= cellCount || start > end)
            return Answer();
        s.startCell = start;
        s.endCell = end;
    } else if (mnemonic == "CH") {
        const int number = fields.number(3);
        if (!fields.valid() || number >= cellCount)
            return Answer();
        s.currentCell = number;
    } else if (mnemonic == "DS") {
        fields.literal("T");
        const int time = fields.number(5);
        if (!fields.valid())
            return Answer();
        cell.time = time;
    } else if (mnemonic == "PS") {
        const int pressure = fields.number(4);
        if (!fields.valid() || pressure > maxPressure)
            return Answer();
        const bool skewed = s.currentCell == skewedCell;
        cell.pressure = !skewed ? pressure : pressure < maxPressure ? pressure + 1 : pressure - 1;
    } else if (mnemonic == "VS") {
        const int vacuum = fields.number(4);
        if (!fields.valid() || vacuum > maxVacuum)
            return Answer();
        cell.vacuum = vacuum;
    } else if (mnemonic == "EQ") {
        fields.literal("T");
        const int trigger = fields.number(5);
        if (!fields.valid())
            return Answer();
        cell.trigger = trigger;
    } else if (mnemonic == "E6" || mnemonic == "E7" || mnemonic == "ED") {
        const int index = fields.number(2);
        const int highest = mnemonic == "E6" ? 2 : mnemonic == "E7" ? 4 : 7;
        if (!fields.valid() || index > highest)
            return Answer();
        (mnemonic == "E6" ? s.pressureUnit : mnemonic == "E7" ? s.vacuumUnit : s.language) = index;
    } else if (mnemonic == "EB") {
        fields.literal("H");
        const int hour = fields.number(2);
        fields.literal("M");
        const int minute = fields.number(2);
        fields.literal("AM");
        const int indicator = fields.number(1);
        const bool hourValid = indicator == 2 ? hour <= 23 : hour >= 1 && hour <= 12;
        if (!fields.valid() || indicator > 2 || !hourValid || minute > 59)
            return Answer();
        s.hour = hour;
        s.minute = minute;
        s.clockIndicator = indicator;
    } else if (mnemonic == "EC") {
        fields.literal("M");
        const int month = fields.number(2);
        fields.literal("D");
        const int day = fields.number(2);
        fields.literal("Y");
        const int year = fields.number(2);
        if (!fields.valid() || month < 1 || month > 12 || day < 1 || day > 31)
            return Answer();
        s.month = month;
        s.day = day;
        s.year = year;
    } else if (mnemonic == "EG") {
        fields.literal("PA");
        const QByteArray password = fields.digitRun(4);
        const unsigned lockouts = fields.flags(lockoutTags, 16);
        if (!fields.valid() || password != s.password)
            return Answer();
        s.lockouts = lockouts;
    } else if (mnemonic == "EI") {
        const unsigned options = fields.flags(alarmTags, 7);
        if (!fields.valid())
            return Answer();
        s.alarmOptions = options;
    } else if (mnemonic == "EK") {
        if (!fields.valid())
            return Answer();
        s.alarmStatus = 0;
    } else {
        return Answer();
    }
    return done;
}

SimulatedDispenser::Answer SimulatedDispenser::executeFeedback(const QByteArray &mnemonic,
                                                               const QByteArray &data)
{
    std::lock_guard<std::mutex> lock(mutex);
    State &s = dispenser;
    const Cell &current = SimulatedDispenser::current(s);
    FieldReader fields(data);
    Answer done;
    done.accepted = true;

    if (mnemonic == "E8") {
        const int number = fields.number(3);
        if (!fields.valid() || number >= cellCount)
            return Answer();
        const Cell &cell = s.cells[number];
        done.data = "DT" + digits(cell.time, 5) + "PD" + digits(cell.pressure, 4) + "VC"
                + digits(cell.vacuum, 4);
        return done;
    }
    if (mnemonic == "EH") {
        fields.literal("PA");
        const QByteArray password = fields.digitRun(4);
        if (!fields.valid() || password != s.password)
            return Answer();
        done.data = flagFields(lockoutTags, 16, s.lockouts);
        return done;
    }
    if (!fields.valid())
        return Answer();
    // The single-letter "M" must come before "TM" so that a first-match
    // search for "M" finds the auto-increment digit.
    if (mnemonic == "AU") {
        done.data = "AI" + digits(s.autoIncrementOn ? 1 : 0, 1) + "M"
                + digits(s.autoIncrementType, 1) + "TM" + digits(s.dispenseMode, 1) + "SA"
                + digits(s.startCell, 3) + "EA" + digits(s.endCell, 3);
    } else if (mnemonic == "UA") {
        done.data = "D0" + digits(s.currentCell, 3);
    } else if (mnemonic == "UD") {
        done.data = "CH" + digits(s.currentCell, 3) + "DT" + digits(current.time, 5) + "PD"
                + digits(current.pressure, 4);
    } else if (mnemonic == "ER") {
        done.data = "TV" + digits(current.trigger, 5);
    } else if (mnemonic == "E4") {
        done.data = "PU" + digits(s.pressureUnit, 2);
    } else if (mnemonic == "E5") {
        done.data = "VU" + digits(s.vacuumUnit, 2);
    } else if (mnemonic == "EE") {
        done.data = "H" + digits(s.hour, 2) + "M" + digits(s.minute, 2) + "AM"
                + digits(s.clockIndicator, 1);
    } else if (mnemonic == "EF") {
        done.data = "M" + digits(s.month, 2) + "D" + digits(s.day, 2) + "Y" + digits(s.year, 2);
    } else if (mnemonic == "EJ") {
        done.data = flagFields(alarmTags, 7, s.alarmOptions);
    } else if (mnemonic == "EL") {
        done.data = "IN" + digits(s.alarmStatus & 1u, 1) + "PA"
                + digits((s.alarmStatus >> 3) & 1u, 1) + "AI"
                + digits((s.alarmStatus >> 5) & 1u, 1);
    } else if (mnemonic == "E9") {
        done.data = "SC" + digits(s.shotCount, 7);
    }
    return done;
}

SimulatedDispenser::Cell &SimulatedDispenser::current(State &state)
{
    const bool held = state.currentCell >= 0 && state.currentCell < cellCount;
    return held ? state.cells[std::size_t(state.currentCell)] : state.beyondCell;
}

// A data packet is framed like a command packet: STX, count, text, checksum,
// ETX.
QByteArray SimulatedDispenser::dataPacket(const QByteArray &text)
{
    const QByteArray counted = digits(text.size(), 2) + text;
    return STX + counted + checksum(counted) + ETX;
}

void SimulatedDispenser::answer(const QByteArray &bytes, int extraDelayMs)
{
    int delay = extraDelayMs;
    {
        std::lock_guard<std::mutex> lock(mutex);
        delay += replyDelayMs;
    }
    if (delay > 0 && !pause(delay))
        return;
    if (!bytes.isEmpty())
        write(bytes);
}

void SimulatedDispenser::write(const QByteArray &bytes)
{
    std::lock_guard<std::mutex> lock(writeMutex);
    const char *data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(masterFd, data, left);
        if (written > 0) {
            data += written;
            left -= size_t(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        pollfd writable = { masterFd, POLLOUT, 0 };
        if (written < 0 && errno == EAGAIN && poll(&writable, 1, 100) > 0)
            continue;
        // Nobody reads the line: the rest is lost, as on a real cable.
        log(QStringLiteral("line blocked, dropped ") + QString::number(left)
            + QStringLiteral(" bytes"));
        return;
    }
}

// Waits without reading the line; false when the dispenser is being stopped.
bool SimulatedDispenser::pause(int milliseconds)
{
    pollfd wake = { wakeFds[0], POLLIN, 0 };
    return poll(&wake, 1, milliseconds) == 0 && !stopping;
}

void SimulatedDispenser::log(const QString &line)
{
    std::function<void(const QString &)> sink;
    {
        std::lock_guard<std::mutex> lock(mutex);
        sink = logSink;
    }
    if (sink)
        sink(line);
}
