#ifndef REPLYPARSER_H
#define REPLYPARSER_H

#include <QByteArray>

// Takes apart the data packets of the dispenser's read commands: one function
// per read operation of DispenserLink, named after it without "get". They
// need no serial port, so any bytes at all can be put through them.
//
// Each returns 0, or 10 (DispenserLink::invalidReply) when a tag is missing or
// a value is not one the dispenser may send; the pressure checks answer 8
// (DispenserLink::outOfRange) instead. A missing tag, an unknown mode or clock
// digit and a unit index out of range store nothing. Other values out of
// range are stored all the same, so that the caller can see what came; the
// code tells that they are not to be trusted.
namespace ReplyParser {

// Status reply ("04AU  ").
int aiMode(const QByteArray &reply, int &mode); // 0 Timed, 1 Count, 2 Sequence, 3 Off
int dispenseMode(const QByteArray &reply, int &mode);
int startEndMemCell(const QByteArray &reply, int &start, int &end);
int totalStatusFeedback(const QByteArray &reply, int &aiMode, int &dispenseMode, int &start,
                        int &end);

// Current cell ("04UA  ") and current cell with its time and pressure ("04UD  ").
int memCell(const QByteArray &reply, int &cell);
int memTimePressure(const QByteArray &reply, int &cell, double &time, double &pressure);

// Memory-cell read ("05E8" and the cell).
int dispenseTime(const QByteArray &reply, double &seconds);
int pressure(const QByteArray &reply, double &pressure);
int vacuum(const QByteArray &reply, double &vacuum);
int pressureTimeVacuum(const QByteArray &reply, double &pressure, double &time, double &vacuum);

int trigger(const QByteArray &reply, int &value);
int pressureUnits(const QByteArray &reply, int &unit);
int vacuumUnits(const QByteArray &reply, int &unit);
int time(const QByteArray &reply, int &hour, int &minute, bool &twentyFourHour);
int date(const QByteArray &reply, int &month, int &day, int &year);

// Flag words: the bits the reply carries are set or cleared, the others kept.
int lockouts(const QByteArray &reply, unsigned &flags);
int alarms(const QByteArray &reply, unsigned &flags);
int alarmStatus(const QByteArray &reply, unsigned &status); // bits 0, 3 and 5

int shotCount(const QByteArray &reply, int &count);

} // namespace ReplyParser

#endif // REPLYPARSER_H
