#ifndef PASSWORDATTEMPTS_H
#define PASSWORDATTEMPTS_H

#include <QtGlobal>

#include <functional>

// The supervisor password's guard against guessing: after three wrong tries
// in a row the next is refused for 30 s, and each wrong try after a wait
// doubles the wait, up to 5 minutes. A right password starts afresh.
class PasswordAttempts
{
public:
    // Milliseconds of a monotonic clock; the default is the process's.
    using Clock = std::function<qint64()>;
    explicit PasswordAttempts(Clock clock = Clock());

    static constexpr int freeTries = 3;
    static constexpr int firstWaitSeconds = 30;
    static constexpr int longestWaitSeconds = 300;

    // Seconds until the next try is taken; 0 when it is taken now.
    int secondsToWait() const;
    // A wrong password; the seconds the next try must wait now.
    int failed();
    void succeeded();

private:
    Clock clock;
    int wrongInARow = 0;
    int waitSeconds = 0;
    qint64 refusedUntil = 0;
};

#endif // PASSWORDATTEMPTS_H
