#include "ReplyParser.h"
#include "DispenserLink.h"
#include "DispenserRanges.h"
#include "LinkLog.h"
#include "Packet.h"

#include <cstddef>
#include <initializer_list>

using namespace DispenserRanges;

namespace {

constexpr int ok = DispenserLink::ok;
constexpr int invalidReply = DispenserLink::invalidReply;
constexpr int outOfRange = DispenserLink::outOfRange;

bool hasTags(const QByteArray &reply, std::initializer_list<const char *> tags)
{
    for (const char *tag : tags) {
        if (!Packet::hasTag(reply, tag))
            return false;
    }
    return true;
}

template<std::size_t bitCount>
bool hasTags(const QByteArray &reply, const char *const (&tags)[bitCount])
{
    for (const char *tag : tags) {
        if (!Packet::hasTag(reply, tag))
            return false;
    }
    return true;
}

int intField(const QByteArray &reply, const char *tag, int width)
{
    return Packet::toInt(Packet::field(reply, tag, width));
}

double scaledField(const QByteArray &reply, const char *tag, int width, double scale)
{
    return Packet::toDouble(Packet::field(reply, tag, width)) / scale;
}

bool flagField(const QByteArray &reply, const char *tag)
{
    return Packet::toFlag(Packet::field(reply, tag, 1));
}

// Sets or clears each bit from its tag's flag; higher bits are kept.
template<std::size_t bitCount>
unsigned readFlags(const QByteArray &reply, const char *const (&tags)[bitCount], unsigned flags)
{
    for (std::size_t bit = 0; bit < bitCount; ++bit) {
        if (flagField(reply, tags[bit]))
            flags |= 1u << bit;
        else
            flags &= ~(1u << bit);
    }
    return flags;
}

// Auto-increment mode from a status reply: 3 (Off) unless the "AI" flag is 1,
// else the "M" digit 1, 2 or 4 as 0, 1 or 2. Returns false for any other
// digit. decoded is the last number read, for the log.
bool decodeAiMode(const QByteArray &reply, int &mode, int &decoded)
{
    decoded = intField(reply, "AI", 1);
    if (decoded != 1) {
        mode = 3;
        return true;
    }
    decoded = intField(reply, "M", 1);
    switch (decoded) {
    case 1:
        mode = 0;
        return true;
    case 2:
        mode = 1;
        return true;
    case 4:
        mode = 2;
        return true;
    default:
        return false;
    }
}

bool hasAiModeTags(const QByteArray &reply)
{
    return Packet::hasTag(reply, "AI")
            && (intField(reply, "AI", 1) != 1 || Packet::hasTag(reply, "M"));
}

} // namespace

namespace ReplyParser {

int aiMode(const QByteArray &reply, int &mode)
{
    int decoded = 0;
    if (!hasAiModeTags(reply) || !decodeAiMode(reply, mode, decoded))
        return invalidReply;
    return ok;
}

int dispenseMode(const QByteArray &reply, int &mode)
{
    if (!Packet::hasTag(reply, "TM"))
        return invalidReply;
    mode = intField(reply, "TM", 1);
    return ok;
}

int startEndMemCell(const QByteArray &reply, int &start, int &end)
{
    if (!hasTags(reply, { "SA", "EA" }))
        return invalidReply;
    start = intField(reply, "SA", 3);
    end = intField(reply, "EA", 3);
    return ok;
}

int totalStatusFeedback(const QByteArray &reply, int &aiMode, int &dispenseMode, int &start,
                        int &end)
{
    if (!hasAiModeTags(reply) || !hasTags(reply, { "TM", "SA", "EA" }))
        return invalidReply;
    int decoded = 0;
    if (!decodeAiMode(reply, aiMode, decoded))
        return invalidReply;
    LinkLog::write(QByteArray::number(decoded));
    dispenseMode = intField(reply, "TM", 1);
    start = intField(reply, "SA", 3);
    end = intField(reply, "EA", 3);
    return ok;
}

int memCell(const QByteArray &reply, int &cell)
{
    if (!Packet::hasTag(reply, "D0"))
        return invalidReply;
    cell = intField(reply, "D0", 3);
    return isAbove(cell, lastCell) ? invalidReply : ok;
}

int memTimePressure(const QByteArray &reply, int &cell, double &time, double &pressure)
{
    if (!hasTags(reply, { "CH", "PD", "DT" }))
        return invalidReply;
    cell = intField(reply, "CH", 3);
    pressure = scaledField(reply, "PD", 4, Packet::pressureScale);
    time = scaledField(reply, "DT", 5, Packet::timeScale);
    if (!isWithin(pressure, 0.0, maxPressureRead))
        return outOfRange;
    if (isAbove(cell, lastCell))
        return invalidReply;
    if (!isWithin(time, 0.0, maxTime))
        return outOfRange;
    return ok;
}

int dispenseTime(const QByteArray &reply, double &seconds)
{
    if (!Packet::hasTag(reply, "DT"))
        return invalidReply;
    seconds = scaledField(reply, "DT", 5, Packet::timeScale);
    return isWithin(seconds, 0.0, maxTime) ? ok : invalidReply;
}

int pressure(const QByteArray &reply, double &pressure)
{
    if (!Packet::hasTag(reply, "PD"))
        return invalidReply;
    pressure = scaledField(reply, "PD", 4, Packet::pressureScale);
    return isWithin(pressure, 0.0, maxPressureRead) ? ok : outOfRange;
}

int vacuum(const QByteArray &reply, double &vacuum)
{
    if (!Packet::hasTag(reply, "VC"))
        return invalidReply;
    vacuum = scaledField(reply, "VC", 4, Packet::vacuumScale);
    return isWithin(vacuum, 0.0, maxVacuum) ? ok : invalidReply;
}

int pressureTimeVacuum(const QByteArray &reply, double &pressure, double &time, double &vacuum)
{
    if (!hasTags(reply, { "VC", "PD", "DT" }))
        return invalidReply;
    vacuum = scaledField(reply, "VC", 4, Packet::vacuumScale);
    pressure = scaledField(reply, "PD", 4, Packet::pressureScale);
    time = scaledField(reply, "DT", 5, Packet::timeScale);
    const bool valid = isWithin(pressure, 0.0, maxPressureRead) && isWithin(vacuum, 0.0, maxVacuum)
            && isWithin(time, 0.0, maxTime);
    return valid ? ok : invalidReply;
}

int trigger(const QByteArray &reply, int &value)
{
    if (!Packet::hasTag(reply, "TV"))
        return invalidReply;
    value = intField(reply, "TV", 5);
    return isAbove(value, maxTrigger) ? invalidReply : ok;
}

int pressureUnits(const QByteArray &reply, int &unit)
{
    if (!Packet::hasTag(reply, "PU"))
        return invalidReply;
    const int value = intField(reply, "PU", 2);
    LinkLog::write(QByteArray::number(value));
    if (isAbove(value, 2))
        return invalidReply;
    unit = value;
    return ok;
}

int vacuumUnits(const QByteArray &reply, int &unit)
{
    if (!Packet::hasTag(reply, "VU"))
        return invalidReply;
    const int value = intField(reply, "VU", 2);
    LinkLog::write(QByteArray::number(value));
    if (isAbove(value, 4))
        return invalidReply;
    unit = value;
    return ok;
}

int time(const QByteArray &reply, int &hour, int &minute, bool &twentyFourHour)
{
    if (!hasTags(reply, { "H", "M", "AM" }))
        return invalidReply;
    hour = intField(reply, "H", 2);
    minute = intField(reply, "M", 2);
    const int indicator = intField(reply, "AM", 1);
    if (indicator == 0 || indicator == 1) {
        // 12-hour clock: 12 AM is hour 0, 12 PM stays 12.
        if (indicator == 1)
            hour += 12;
        if (hour == 12 || hour == 24)
            hour -= 12;
        twentyFourHour = false;
    } else if (indicator == 2) {
        twentyFourHour = true;
    } else {
        return invalidReply;
    }
    return isAbove(hour, 23) || isAbove(minute, 59) ? invalidReply : ok;
}

int date(const QByteArray &reply, int &month, int &day, int &year)
{
    if (!hasTags(reply, { "M", "Y" }))
        return invalidReply;
    month = Packet::toInt(Packet::fieldAt(reply, "M", 1, 2));
    day = Packet::toInt(Packet::fieldAt(reply, "M", 4, 2));
    year = intField(reply, "Y", 2);
    const bool valid = month >= 1 && month <= 12 && !isAbove(day, 31) && !isAbove(year, 99);
    return valid ? ok : invalidReply;
}

int lockouts(const QByteArray &reply, unsigned &flags)
{
    if (!hasTags(reply, Packet::lockoutTags))
        return invalidReply;
    flags = readFlags(reply, Packet::lockoutTags, flags);
    return ok;
}

int alarms(const QByteArray &reply, unsigned &flags)
{
    if (!hasTags(reply, Packet::alarmTags))
        return invalidReply;
    flags = readFlags(reply, Packet::alarmTags, flags);
    return ok;
}

int alarmStatus(const QByteArray &reply, unsigned &status)
{
    static const char *const statusTags[] = { "IN", "PA", "AI" };
    static const int statusBits[] = { 0, 3, 5 };
    if (!hasTags(reply, statusTags))
        return invalidReply;
    for (int i = 0; i < 3; ++i) {
        const unsigned bit = 1u << statusBits[i];
        status = flagField(reply, statusTags[i]) ? status | bit : status & ~bit;
    }
    return ok;
}

int shotCount(const QByteArray &reply, int &count)
{
    if (!Packet::hasTag(reply, "SC"))
        return invalidReply;
    count = intField(reply, "SC", 7);
    return isAbove(count, maxShotCount) ? invalidReply : ok;
}

} // namespace ReplyParser
