#include "PasswordAttempts.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

qint64 processClock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

} // namespace

PasswordAttempts::PasswordAttempts(Clock clock) : clock(clock ? std::move(clock) : processClock) { }

int PasswordAttempts::secondsToWait() const
{
    const qint64 left = refusedUntil - clock();
    return left > 0 ? int((left + 999) / 1000) : 0;
}

int PasswordAttempts::failed()
{
    if (++wrongInARow < freeTries)
        return 0;
    waitSeconds =
            waitSeconds == 0 ? firstWaitSeconds : std::min(2 * waitSeconds, longestWaitSeconds);
    refusedUntil = clock() + qint64(waitSeconds) * 1000;
    return waitSeconds;
}

void PasswordAttempts::succeeded()
{
    wrongInARow = 0;
    waitSeconds = 0;
    refusedUntil = 0;
}
