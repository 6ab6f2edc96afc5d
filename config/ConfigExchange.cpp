#include "ConfigExchange.h"

#include "ConfigPage.h"
#include "DispenserLink.h"
#include "DispenserState.h"

#include <QDebug>

namespace ConfigExchange {

namespace {

int reported(int code)
{
    DispenserLink::printError(code);
    return code;
}

} // namespace

int readPressureUnit(DispenserLink &link, int &unit)
{
    return reported(link.getPressureUnits(unit));
}

int readVacuumUnit(DispenserLink &link, int &unit)
{
    return reported(link.getVacuumUnits(unit));
}

int readClock(DispenserLink &link, Clock &clock)
{
    int month = 1;
    int day = 1;
    int year = 0;
    const int code = link.getDate(month, day, year);
    if (code != DispenserLink::ok)
        return reported(code);
    Clock read;
    read.date = QDate(2000 + year, month, day);
    const int timeCode = link.getTime(read.hour, read.minute, read.twentyFourHour);
    if (timeCode != DispenserLink::ok)
        return reported(timeCode);
    clock = read;
    return DispenserLink::ok;
}

int readAlarms(DispenserLink &link, unsigned &alarms)
{
    return reported(link.getAlarms(alarms));
}

int readLockouts(DispenserLink &link, const QString &password, unsigned &lockouts)
{
    return reported(link.getLockouts(lockouts, password.toLatin1()));
}

StatusMessage applyPage(DispenserLink &link, int page, const DispenserState &state,
                        const QDate &calendarDate, const QString &password)
{
    int code = DispenserLink::ok;
    switch (page) {
    case PressureUnitsPage:
        code = link.setPressureUnits(state.pressureUnits); // reports its own failure
        break;
    case VacuumUnitsPage:
        code = link.setVacuumUnits(state.vacuumUnits);
        break;
    case TimeDatePage:
        // The dispenser keeps a two-digit year: refuse before anything is
        // sent, rather than set the time and silently drop the date.
        if (calendarDate.year() < 2000 || calendarDate.year() > 2099)
            return StatusMessage::failed(QStringLiteral("Date must be between 2000 and 2099"));
        code = link.setTime(state.hour, state.minute, state.clock24);
        if (DispenserLink::isUnanswered(code))
            break;
        if (const int dateCode = link.setDate(calendarDate.month(), calendarDate.day(),
                                              calendarDate.year() - 2000);
            code == DispenserLink::ok)
            code = dateCode;
        qDebug() << "Setting month: " << state.month << "Setting day: " << state.day
                 << "Setting year: " << state.year - 2000;
        break;
    case AlarmOptionsPage:
        code = reported(link.setAlarms(unsigned(state.alarms)));
        break;
    case LockoutPage:
        code = reported(link.setLockouts(unsigned(state.lockouts), password.toLatin1()));
        break;
    case LanguagePage:
        code = reported(link.setLanguage(state.language));
        break;
    default:
        break;
    }
    return StatusMessage::forCode(code);
}

} // namespace ConfigExchange
