#ifndef CONFIGEXCHANGE_H
#define CONFIGEXCHANGE_H

#include "StatusMessage.h"

#include <QByteArray>
#include <QDate>

class DispenserLink;
class DispenserState;

// The configuration pages' exchanges with the dispenser, without widgets.
// A failed read writes its message to the debug stream and leaves its
// out-parameters as they were.
namespace ConfigExchange {

int readPressureUnit(DispenserLink &link, int &unit);
int readVacuumUnit(DispenserLink &link, int &unit);

struct Clock
{
    QDate date;
    int hour = 0;
    int minute = 0;
    bool twentyFourHour = true;
};

// The date first; when it fails the time is not read.
int readClock(DispenserLink &link, Clock &clock);
int readAlarms(DispenserLink &link, unsigned &alarms);
// The lockout commands carry the supervisor password.
int readLockouts(DispenserLink &link, const QString &password, unsigned &lockouts);

// Sends the choice of one page (pressure units to language) to the
// dispenser: the time and date page sends the state's time and the date
// chosen in the calendar. What the status line shows afterwards.
StatusMessage applyPage(DispenserLink &link, int page, const DispenserState &state,
                        const QDate &calendarDate, const QString &password);

} // namespace ConfigExchange

#endif // CONFIGEXCHANGE_H
