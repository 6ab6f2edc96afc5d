#include "StatusTexts.h"

#include <QStringList>

namespace StatusTexts {

QString aiModeName(int aiMode)
{
    static const QStringList names = { QStringLiteral("Timed"), QStringLiteral("Count"),
                                       QStringLiteral("Sequence"), QStringLiteral("Off") };
    return aiMode >= 0 && aiMode < names.size() ? names.at(aiMode) : QString();
}

QString valueText(double value)
{
    return QString::number(value, 'g', 6);
}

QString clockText(int hour, int minute, bool twentyFourHour)
{
    if (twentyFourHour)
        return QStringLiteral("%1:%2").arg(hour).arg(minute);

    const bool afternoon = hour >= 12;
    int shownHour = afternoon ? hour - 12 : hour;
    if (shownHour == 0)
        shownHour = 12;
    return QStringLiteral("%1:%2 %3")
            .arg(shownHour)
            .arg(minute, 2, 10, QLatin1Char('0'))
            .arg(afternoon ? QStringLiteral("PM") : QStringLiteral("AM"));
}

QString alarmText(unsigned status)
{
    if (status & 1u)
        return QStringLiteral("Alarm: Input Alarm");
    if (status & 8u)
        return QStringLiteral("Alarm: Pressure Alarm");
    if (status & 32u)
        return QStringLiteral("Alarm: Auto Increment");
    return QString();
}

} // namespace StatusTexts
