#ifndef HISTORYEVENTS_H
#define HISTORYEVENTS_H

#include "AppSettings.h"
#include "HistoryStore.h"
#include "SettingsExchange.h"

#include <QDate>
#include <QMap>

#include <optional>

class DispenserState;
struct StatusMessage;

// The kinds of history rows, as the History dock lists and filters them.
namespace HistoryKind {
constexpr const char *connect = "Connect";
constexpr const char *disconnect = "Disconnect";
constexpr const char *connectionLost = "Connection lost";
constexpr const char *noAnswer = "No answer";
constexpr const char *supervisorEntered = "Supervisor mode entered";
constexpr const char *supervisorLeft = "Supervisor mode left";
constexpr const char *wrongPassword = "Wrong password";
constexpr const char *passwordChanged = "Password changed";
constexpr const char *get = "Get";
constexpr const char *send = "Send";
constexpr const char *apply = "Apply";
constexpr const char *profileOpened = "Profile opened";
constexpr const char *profileSaved = "Profile saved";
constexpr const char *jobSaved = "Job saved";
constexpr const char *jobLoaded = "Job loaded";
constexpr const char *transmit = "Transmit";
constexpr const char *readBack = "Read-back";
constexpr const char *verify = "Verify";
constexpr const char *alarmRaised = "Alarm raised";
constexpr const char *alarmReset = "Alarm reset";

inline constexpr const char *all[] = {
    connect,        disconnect,    connectionLost,  noAnswer,    supervisorEntered,
    supervisorLeft, wrongPassword, passwordChanged, get,         send,
    apply,          profileOpened, profileSaved,    jobSaved,    jobLoaded,
    transmit,       readBack,      verify,          alarmRaised, alarmReset
};
} // namespace HistoryKind

// The details of each history event, made from what the panel's sequences
// return. It remembers the values last read from the dispenser (by Get, the
// memory-cell read and the configuration pages) and the last alarm word, so
// a change can show the value it replaced and an alarm is recorded when it
// is first seen. Outcomes end the details: "; ok" or "; " and the failure.
class HistoryEvents
{
public:
    static HistoryEvent connected(const QString &port, int baud);
    static HistoryEvent disconnected(const QString &port);
    static HistoryEvent connectionLost(const QString &port);
    static HistoryEvent supervisorEntered();
    // idleMinutes: left by itself after that long without input; 0: by the user.
    static HistoryEvent supervisorLeft(int idleMinutes = 0);
    static HistoryEvent wrongPassword();
    static HistoryEvent passwordChanged();
    // The path and the SHA-256 of the file's bytes as they are now.
    static HistoryEvent profileFile(const char *kind, const QString &path);
    static HistoryEvent job(const char *kind, int number, const AppSettings::Job &job);
    static HistoryEvent alarmReset(int code);

    HistoryEvent got(const SettingsExchange::Reading &reading, const DispenserState &units);
    void cellRead(int cell, const SettingsExchange::CellReading &reading);
    HistoryEvent sent(const SettingsExchange::Settings &settings, int firstFailure,
                      const DispenserState &units);
    // The value a configuration page read: a unit id, or the alarm option
    // or lockout word.
    void pageRead(int page, unsigned value) { pageValues[page] = value; }
    HistoryEvent applied(int page, const DispenserState &state, const QDate &calendarDate,
                         const StatusMessage &outcome);
    // The alarm word a poll read: an event naming the alarms that were clear
    // at the last poll and are set now; none (no kind) otherwise.
    HistoryEvent alarmsPolled(unsigned status);

private:
    struct CellValues
    {
        std::optional<double> time;
        std::optional<double> pressure;
        std::optional<double> vacuum;
        std::optional<int> trigger;
    };

    QString pageValueText(int page, unsigned value) const;

    std::optional<SettingsExchange::Status> status;
    QMap<int, CellValues> cells;
    QMap<int, unsigned> pageValues;
    unsigned alarmWord = 0;
};

#endif // HISTORYEVENTS_H
