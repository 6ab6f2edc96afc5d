#include "HistoryEvents.h"

#include "ConfigPage.h"
#include "DispenserLink.h"
#include "DispenserState.h"
#include "Packet.h"
#include "StatusMessage.h"
#include "StatusTexts.h"

#include <QCryptographicHash>
#include <QFile>

#include <iterator>

using SettingsExchange::Reading;

namespace {

QString outcome(int code)
{
    return code == DispenserLink::ok ? QStringLiteral("ok") : DispenserLink::failureText(code);
}

QString withOutcome(const QStringList &parts, const QString &outcome)
{
    return parts.join(QLatin1String(", ")) + QLatin1String("; ") + outcome;
}

// "name value", and what the dispenser held before when it was read.
QString change(const QString &name, const QString &value, const std::optional<QString> &before)
{
    QString text = name + QLatin1Char(' ') + value;
    if (before)
        text += *before == value ? QStringLiteral(" (unchanged)")
                                 : QStringLiteral(" (was %1)").arg(*before);
    return text;
}

template<typename T, typename Format>
std::optional<QString> textOf(const std::optional<T> &value, Format format)
{
    return value ? std::optional<QString>(format(*value)) : std::nullopt;
}

QString dispenseModeName(int mode)
{
    return mode == 0 ? QStringLiteral("Timed") : QStringLiteral("Steady");
}

QString cellRange(int start, int end)
{
    return QStringLiteral("%1 to %2").arg(start).arg(end);
}

QString seconds(double time)
{
    return StatusTexts::valueText(time) + QStringLiteral(" s");
}

QString withUnit(double value, const ProfileUnits::Limits &unit)
{
    return StatusTexts::valueText(value) + QLatin1Char(' ') + QLatin1String(unit.heading);
}

// The tags of the set bits, or "none".
template<std::size_t count>
QString flagNames(unsigned word, const char *const (&tags)[count])
{
    QStringList names;
    for (std::size_t bit = 0; bit < count; ++bit) {
        if (word & (1u << bit))
            names << QLatin1String(tags[bit]);
    }
    return names.isEmpty() ? QStringLiteral("none") : names.join(QLatin1Char(' '));
}

QString languageName(unsigned id)
{
    static const char *const names[] = { "English", "French",  "German",   "Spanish",
                                         "Italian", "Chinese", "Japanese", "Korean" };
    return id < std::size(names) ? QLatin1String(names[id]) : QString::number(id);
}

} // namespace

HistoryEvent HistoryEvents::connected(const QString &port, int baud)
{
    return { HistoryKind::connect, QStringLiteral("%1 at %2 baud").arg(port).arg(baud) };
}

HistoryEvent HistoryEvents::disconnected(const QString &port)
{
    return { HistoryKind::disconnect, port };
}

HistoryEvent HistoryEvents::connectionLost(const QString &port)
{
    return { HistoryKind::connectionLost, port };
}

HistoryEvent HistoryEvents::supervisorEntered()
{
    return { HistoryKind::supervisorEntered, QString() };
}

HistoryEvent HistoryEvents::supervisorLeft(int idleMinutes)
{
    return { HistoryKind::supervisorLeft,
             idleMinutes > 0
                     ? QStringLiteral("by itself after %1 min without input").arg(idleMinutes)
                     : QStringLiteral("by the user") };
}

HistoryEvent HistoryEvents::wrongPassword()
{
    return { HistoryKind::wrongPassword, QString() };
}

HistoryEvent HistoryEvents::passwordChanged()
{
    return { HistoryKind::passwordChanged, QString() };
}

HistoryEvent HistoryEvents::profileFile(const char *kind, const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QString digest = file.open(QIODevice::ReadOnly) && hash.addData(&file)
            ? QStringLiteral("SHA-256 ") + QString::fromLatin1(hash.result().toHex())
            : QStringLiteral("unreadable: ") + file.errorString();
    return { kind, path + QLatin1String(", ") + digest };
}

HistoryEvent HistoryEvents::job(const char *kind, int number, const AppSettings::Job &job)
{
    return { kind,
             QStringLiteral("job %1 \"%2\": %3, AI mode %4, dispense mode %5, cells %6")
                     .arg(number)
                     .arg(job.description, job.path, StatusTexts::aiModeName(job.aiMode),
                          dispenseModeName(job.dispenseMode),
                          cellRange(job.startCell, job.endCell)) };
}

HistoryEvent HistoryEvents::alarmReset(int code)
{
    return { HistoryKind::alarmReset, outcome(code) };
}

HistoryEvent HistoryEvents::got(const Reading &reading, const DispenserState &units)
{
    QStringList parts;
    if (const auto &read = reading.status) {
        status = read;
        parts << QStringLiteral("AI mode ") + StatusTexts::aiModeName(read->aiMode)
              << QStringLiteral("dispense mode ") + dispenseModeName(read->dispenseMode)
              << QStringLiteral("cells ") + cellRange(read->startCell, read->endCell);
    }
    if (const auto &cell = reading.currentCell) {
        CellValues &values = cells[*cell];
        values = { reading.time, reading.pressure, reading.vacuum, reading.trigger };
        parts << QStringLiteral("cell %1").arg(*cell)
              << QStringLiteral("time ") + seconds(*reading.time);
        if (reading.pressure)
            parts << QStringLiteral("pressure ")
                            + withUnit(*reading.pressure,
                                       ProfileUnits::pressure(units.pressureUnits));
        if (reading.vacuum)
            parts << QStringLiteral("vacuum ")
                            + withUnit(*reading.vacuum, ProfileUnits::vacuum(units.vacuumUnits));
    }
    if (reading.trigger)
        parts << QStringLiteral("trigger %1").arg(*reading.trigger);
    if (reading.shotCount)
        parts << QStringLiteral("shots %1").arg(*reading.shotCount);
    if (const auto &clock = reading.clock)
        parts << QStringLiteral("clock ")
                        + StatusTexts::clockText(clock->hour, clock->minute, clock->twentyFourHour);
    return { HistoryKind::get, withOutcome(parts, outcome(reading.firstFailure)) };
}

void HistoryEvents::cellRead(int cell, const SettingsExchange::CellReading &reading)
{
    // A trigger is read only when it is this cell's.
    CellValues &values = cells[cell];
    if (reading.time) {
        values.time = reading.time;
        values.pressure = reading.pressure;
        values.vacuum = reading.vacuum;
    }
    if (reading.trigger)
        values.trigger = reading.trigger;
}

HistoryEvent HistoryEvents::sent(const SettingsExchange::Settings &settings, int firstFailure,
                                 const DispenserState &units)
{
    const auto aiName = [](int mode) { return StatusTexts::aiModeName(mode); };
    const auto &pressureUnit = ProfileUnits::pressure(units.pressureUnits);
    const auto &vacuumUnit = ProfileUnits::vacuum(units.vacuumUnits);
    const CellValues before = cells.value(settings.cell);
    QStringList parts;
    parts << change(QStringLiteral("AI mode"), aiName(settings.aiMode),
                    status ? std::optional<QString>(aiName(status->aiMode)) : std::nullopt);
    if (settings.dispenseMode >= 0)
        parts << change(QStringLiteral("dispense mode"), dispenseModeName(settings.dispenseMode),
                        status ? std::optional<QString>(dispenseModeName(status->dispenseMode))
                               : std::nullopt);
    parts << change(QStringLiteral("cells"), cellRange(settings.startCell, settings.endCell),
                    status ? std::optional<QString>(cellRange(status->startCell, status->endCell))
                           : std::nullopt)
          << QStringLiteral("cell %1").arg(settings.cell);
    // The values the panel did not know for the cell were not sent.
    if (settings.time)
        parts << change(QStringLiteral("time"), seconds(*settings.time),
                        textOf(before.time, seconds));
    if (settings.pressure)
        parts << change(
                QStringLiteral("pressure"), withUnit(*settings.pressure, pressureUnit),
                textOf(before.pressure, [&](double p) { return withUnit(p, pressureUnit); }));
    if (settings.vacuum)
        parts << change(QStringLiteral("vacuum"), withUnit(*settings.vacuum, vacuumUnit),
                        textOf(before.vacuum, [&](double v) { return withUnit(v, vacuumUnit); }));
    if (settings.trigger)
        parts << change(QStringLiteral("trigger"), QString::number(*settings.trigger),
                        textOf(before.trigger, [](int t) { return QString::number(t); }));

    // What the dispenser holds now: what went in, or, after a failure,
    // nothing known until the next read.
    if (firstFailure == DispenserLink::ok) {
        SettingsExchange::Status held = status.value_or(SettingsExchange::Status());
        held.aiMode = settings.aiMode;
        if (settings.dispenseMode >= 0)
            held.dispenseMode = settings.dispenseMode;
        held.startCell = settings.startCell;
        held.endCell = settings.endCell;
        status = held;
        CellValues &heldValues = cells[settings.cell];
        heldValues.time = settings.time ? settings.time : before.time;
        heldValues.pressure = settings.pressure ? settings.pressure : before.pressure;
        heldValues.vacuum = settings.vacuum ? settings.vacuum : before.vacuum;
        heldValues.trigger = settings.trigger ? settings.trigger : before.trigger;
    } else {
        status.reset();
        cells.remove(settings.cell);
    }
    return { HistoryKind::send, withOutcome(parts, outcome(firstFailure)) };
}

QString HistoryEvents::pageValueText(int page, unsigned value) const
{
    switch (page) {
    case PressureUnitsPage:
        return QLatin1String(ProfileUnits::pressure(int(value)).heading);
    case VacuumUnitsPage:
        return QLatin1String(ProfileUnits::vacuum(int(value)).heading);
    case AlarmOptionsPage:
        return flagNames(value, Packet::alarmTags);
    case LockoutPage:
        return flagNames(value, Packet::lockoutTags);
    case LanguagePage:
        return languageName(value);
    default:
        return QString::number(value);
    }
}

HistoryEvent HistoryEvents::applied(int page, const DispenserState &state,
                                    const QDate &calendarDate, const StatusMessage &result)
{
    QString text;
    unsigned value = 0;
    switch (page) {
    case PressureUnitsPage:
        text = QStringLiteral("pressure units");
        value = unsigned(state.pressureUnits);
        break;
    case VacuumUnitsPage:
        text = QStringLiteral("vacuum units");
        value = unsigned(state.vacuumUnits);
        break;
    case AlarmOptionsPage:
        text = QStringLiteral("alarm options");
        value = unsigned(state.alarms);
        break;
    case LockoutPage:
        text = QStringLiteral("lockouts");
        value = unsigned(state.lockouts);
        break;
    case LanguagePage:
        text = QStringLiteral("language");
        value = unsigned(state.language);
        break;
    default:
        return {
            HistoryKind::apply,
            withOutcome({ QStringLiteral("clock ")
                                  + StatusTexts::clockText(state.hour, state.minute, state.clock24),
                          QStringLiteral("date ") + calendarDate.toString(Qt::ISODate) },
                        result.failure ? result.text : QStringLiteral("ok"))
        };
    }
    const auto before = pageValues.constFind(page);
    text = change(text, pageValueText(page, value),
                  before == pageValues.constEnd()
                          ? std::nullopt
                          : std::optional<QString>(pageValueText(page, *before)));
    if (result.failure)
        pageValues.remove(page);
    else
        pageValues[page] = value;
    return { HistoryKind::apply,
             withOutcome({ text }, result.failure ? result.text : QStringLiteral("ok")) };
}

HistoryEvent HistoryEvents::alarmsPolled(unsigned word)
{
    const unsigned raised = word & ~alarmWord;
    alarmWord = word;
    if (raised == 0)
        return {};
    QStringList names;
    for (unsigned bit = 0; bit < 32; ++bit) {
        if (!(raised & (1u << bit)))
            continue;
        const QString text = StatusTexts::alarmText(1u << bit);
        names << (text.isEmpty() ? QStringLiteral("bit %1").arg(bit)
                                 : text.mid(QStringLiteral("Alarm: ").size()));
    }
    return { HistoryKind::alarmRaised,
             names.join(QLatin1String(", ")) + QStringLiteral(" (status word %1)").arg(word) };
}
