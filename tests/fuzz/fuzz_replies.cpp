// Feeds arbitrary bytes to the reply parsers as a dispenser's data packet. The
// first byte picks the parser (its index in the table at the end, modulo the
// table's size), the rest is the reply.
//
// Whatever the bytes, parsing must not crash. A reply that passes must deliver
// values within the ranges its read promises (or, where it promises none,
// within what its field's width can hold). A reply that fails must answer one
// of its read's codes and either leave the out-parameters as they were or have
// stored a value that is out of its range, which is what the code reports.
#include "ReplyParser.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace {

// No reply field is wide enough to read as one of these.
constexpr int untouchedInt = -123456789;
constexpr double untouchedDouble = -1e300;
constexpr unsigned untouchedFlags = 0xA5A5A5A5u;

constexpr int ok = 0;
constexpr int outOfRange = 8;
constexpr int invalidReply = 10;

void require(bool condition)
{
    if (!condition)
        abort();
}

bool within(int value, int low, int high) { return value >= low && value <= high; }
bool within(double value, double low, double high) { return value >= low && value <= high; }

bool allUntouched(std::initializer_list<int> values)
{
    for (int value : values) {
        if (value != untouchedInt)
            return false;
    }
    return true;
}

bool allUntouched(std::initializer_list<double> values)
{
    for (double value : values) {
        if (value != untouchedDouble)
            return false;
    }
    return true;
}

bool noneUntouched(std::initializer_list<int> values)
{
    for (int value : values) {
        if (value == untouchedInt)
            return false;
    }
    return true;
}

bool noneUntouched(std::initializer_list<double> values)
{
    for (double value : values) {
        if (value == untouchedDouble)
            return false;
    }
    return true;
}

// A one-digit field reads as 0 to 9, a three-digit one as -99 to 999.
bool fitsOneDigit(int value) { return within(value, 0, 9); }
bool fitsThreeDigits(int value) { return within(value, -99, 999); }

bool validCell(int cell) { return within(cell, 0, 399); }
bool validTime(double seconds) { return within(seconds, 0.0, 9.9999); }
bool validPressure(double pressure) { return within(pressure, 0.0, 100.0); }
bool validVacuum(double vacuum) { return within(vacuum, 0.0, 18.0); }

// A read that stores one value before it checks it.
void checkStoredThenChecked(int code, int value, bool valid)
{
    if (code == ok)
        require(valid);
    else
        require(code == invalidReply && (value == untouchedInt || !valid));
}

void checkStoredThenChecked(int code, double value, bool valid)
{
    if (code == ok)
        require(valid);
    else
        require(code == invalidReply && (value == untouchedDouble || !valid));
}

void checkAiMode(const QByteArray &reply)
{
    int mode = untouchedInt;
    const int code = ReplyParser::aiMode(reply, mode);
    require(code == ok ? within(mode, 0, 3) : code == invalidReply && mode == untouchedInt);
}

void checkDispenseMode(const QByteArray &reply)
{
    int mode = untouchedInt;
    const int code = ReplyParser::dispenseMode(reply, mode);
    require(code == ok ? fitsOneDigit(mode) : code == invalidReply && mode == untouchedInt);
}

void checkStartEndMemCell(const QByteArray &reply)
{
    int start = untouchedInt, end = untouchedInt;
    const int code = ReplyParser::startEndMemCell(reply, start, end);
    require(code == ok ? fitsThreeDigits(start) && fitsThreeDigits(end)
                       : code == invalidReply && allUntouched({start, end}));
}

void checkTotalStatusFeedback(const QByteArray &reply)
{
    int aiMode = untouchedInt, dispenseMode = untouchedInt, start = untouchedInt, end = untouchedInt;
    const int code = ReplyParser::totalStatusFeedback(reply, aiMode, dispenseMode, start, end);
    require(code == ok ? within(aiMode, 0, 3) && fitsOneDigit(dispenseMode)
                             && fitsThreeDigits(start) && fitsThreeDigits(end)
                       : code == invalidReply && allUntouched({aiMode, dispenseMode, start, end}));
}

void checkMemCell(const QByteArray &reply)
{
    int cell = untouchedInt;
    const int code = ReplyParser::memCell(reply, cell);
    checkStoredThenChecked(code, cell, validCell(cell));
}

void checkMemTimePressure(const QByteArray &reply)
{
    int cell = untouchedInt;
    double time = untouchedDouble, pressure = untouchedDouble;
    const int code = ReplyParser::memTimePressure(reply, cell, time, pressure);
    const bool stored = cell != untouchedInt && noneUntouched({time, pressure});
    // Pressure is checked first, then the cell, then the time.
    switch (code) {
    case ok:
        require(validCell(cell) && validTime(time) && validPressure(pressure));
        break;
    case invalidReply:
        require((cell == untouchedInt && allUntouched({time, pressure}))
                || (stored && validPressure(pressure) && !validCell(cell)));
        break;
    case outOfRange:
        require(stored && (!validPressure(pressure) || (validCell(cell) && !validTime(time))));
        break;
    default:
        abort();
    }
}

void checkDispenseTime(const QByteArray &reply)
{
    double seconds = untouchedDouble;
    const int code = ReplyParser::dispenseTime(reply, seconds);
    checkStoredThenChecked(code, seconds, validTime(seconds));
}

void checkPressure(const QByteArray &reply)
{
    double pressure = untouchedDouble;
    const int code = ReplyParser::pressure(reply, pressure);
    if (code == ok)
        require(validPressure(pressure));
    else if (code == outOfRange)
        require(pressure != untouchedDouble && !validPressure(pressure));
    else
        require(code == invalidReply && pressure == untouchedDouble);
}

void checkVacuum(const QByteArray &reply)
{
    double vacuum = untouchedDouble;
    const int code = ReplyParser::vacuum(reply, vacuum);
    checkStoredThenChecked(code, vacuum, validVacuum(vacuum));
}

void checkPressureTimeVacuum(const QByteArray &reply)
{
    double pressure = untouchedDouble, time = untouchedDouble, vacuum = untouchedDouble;
    const int code = ReplyParser::pressureTimeVacuum(reply, pressure, time, vacuum);
    const bool valid = validPressure(pressure) && validTime(time) && validVacuum(vacuum);
    if (code == ok)
        require(valid);
    else
        require(code == invalidReply
                && (allUntouched({pressure, time, vacuum})
                    || (noneUntouched({pressure, time, vacuum}) && !valid)));
}

void checkTrigger(const QByteArray &reply)
{
    int value = untouchedInt;
    const int code = ReplyParser::trigger(reply, value);
    checkStoredThenChecked(code, value, within(value, 0, 99999));
}

void checkPressureUnits(const QByteArray &reply)
{
    int unit = untouchedInt;
    const int code = ReplyParser::pressureUnits(reply, unit);
    require(code == ok ? within(unit, 0, 2) : code == invalidReply && unit == untouchedInt);
}

void checkVacuumUnits(const QByteArray &reply)
{
    int unit = untouchedInt;
    const int code = ReplyParser::vacuumUnits(reply, unit);
    require(code == ok ? within(unit, 0, 4) : code == invalidReply && unit == untouchedInt);
}

// The clock flag has no value that cannot be read, so the reply goes through
// twice, with the flag preset either way: a flag left alone keeps its preset.
void checkTime(const QByteArray &reply)
{
    int codes[2] = {};
    bool flags[2] = {};
    for (bool preset : {false, true}) {
        int hour = untouchedInt, minute = untouchedInt;
        bool twentyFourHour = preset;
        const int code = ReplyParser::time(reply, hour, minute, twentyFourHour);
        codes[preset] = code;
        flags[preset] = twentyFourHour;
        if (code == ok) {
            require(within(hour, 0, 23) && within(minute, 0, 59));
            continue;
        }
        require(code == invalidReply);
        const bool clockLeftAlone = twentyFourHour == preset;
        if (allUntouched({hour, minute})) {
            require(clockLeftAlone);
            continue;
        }
        // An unknown clock digit stores hour and minute only; otherwise a
        // stored value must be out of range.
        require(noneUntouched({hour, minute})
                && (clockLeftAlone || !within(hour, 0, 23) || !within(minute, 0, 59)));
    }
    require(codes[0] == codes[1]);
    if (codes[0] == ok)
        require(flags[0] == flags[1]);
}

void checkDate(const QByteArray &reply)
{
    int month = untouchedInt, day = untouchedInt, year = untouchedInt;
    const int code = ReplyParser::date(reply, month, day, year);
    const bool valid = within(month, 1, 12) && within(day, 0, 31) && within(year, 0, 99);
    if (code == ok)
        require(valid);
    else
        require(code == invalidReply
                && (allUntouched({month, day, year}) || (noneUntouched({month, day, year}) && !valid)));
}

// Only the word's own bits may change, and only on success.
void checkFlagWord(int code, unsigned flags, unsigned ownBits)
{
    if (code == ok)
        require((flags & ~ownBits) == (untouchedFlags & ~ownBits));
    else
        require(code == invalidReply && flags == untouchedFlags);
}

void checkLockouts(const QByteArray &reply)
{
    unsigned flags = untouchedFlags;
    checkFlagWord(ReplyParser::lockouts(reply, flags), flags, 0xFFFFu);
}

void checkAlarms(const QByteArray &reply)
{
    unsigned flags = untouchedFlags;
    checkFlagWord(ReplyParser::alarms(reply, flags), flags, 0x7Fu);
}

void checkAlarmStatus(const QByteArray &reply)
{
    unsigned status = untouchedFlags;
    checkFlagWord(ReplyParser::alarmStatus(reply, status), status, 0x29u);
}

void checkShotCount(const QByteArray &reply)
{
    int count = untouchedInt;
    const int code = ReplyParser::shotCount(reply, count);
    checkStoredThenChecked(code, count, within(count, 0, 99999));
}

// The seed files' first bytes are indices into this table: keep its order.
void (*const checks[])(const QByteArray &) = {
    checkAiMode,                // 0
    checkDispenseMode,          // 1
    checkStartEndMemCell,       // 2
    checkTotalStatusFeedback,   // 3
    checkMemCell,               // 4
    checkMemTimePressure,       // 5
    checkDispenseTime,          // 6
    checkPressure,              // 7
    checkVacuum,                // 8
    checkPressureTimeVacuum,    // 9
    checkTrigger,               // 10
    checkPressureUnits,         // 11
    checkVacuumUnits,           // 12
    checkTime,                  // 13
    checkDate,                  // 14
    checkLockouts,              // 15
    checkAlarms,                // 16
    checkAlarmStatus,           // 17
    checkShotCount,             // 18
};

// The parsers log what they decode; the debug stream would only slow the
// fuzzer down.
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(discardMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t checkCount = sizeof checks / sizeof checks[0];
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    checks[data[0] % checkCount](reply);
    return 0;
}
