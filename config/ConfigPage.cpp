#include "ConfigPage.h"

#include <QHash>

int configPageOfItem(const QString &itemText)
{
    static const QHash<QString, int> pages = {
        { QStringLiteral("Comm"), CommPage },
        { QStringLiteral("Units"), PressureUnitsPage },
        { QStringLiteral("Pressure"), PressureUnitsPage },
        { QStringLiteral("Vacuum"), VacuumUnitsPage },
        { QStringLiteral("Time/Date"), TimeDatePage },
        { QStringLiteral("Alarm Options"), AlarmOptionsPage },
        { QStringLiteral("Lockout Control"), LockoutPage },
        { QStringLiteral("Language"), LanguagePage },
        { QStringLiteral("Supervisor Password"), PasswordPage },
    };
    return pages.value(itemText, -1);
}

QString configPageHelp(int page)
{
    switch (page) {
    case CommPage:
        return QStringLiteral("Set communications port and baud rate.");
    case PressureUnitsPage:
    case VacuumUnitsPage:
        return QStringLiteral("Set units for pressure and vacuum.");
    case TimeDatePage:
        return QStringLiteral("Set Time and Date on the Pelidor 7.");
    case AlarmOptionsPage:
        return QStringLiteral("Set Alarm Options on the Pelidor 7.");
    case LockoutPage:
        return QStringLiteral(
                "Set Operator Lockouts on the Pelidor 7.\n\n(Requires Supervisor mode.)");
    case LanguagePage:
        return QStringLiteral("Set display panel language on the Pelidor 7");
    case PasswordPage:
        return QStringLiteral("Enter a 4-digit Supervisor password.\n\n"
                              "You MUST manually set the SAME password on the Pelidor 7!");
    default:
        return QString();
    }
}
