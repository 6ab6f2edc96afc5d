#ifndef CONFIGPAGE_H
#define CONFIGPAGE_H

#include <QString>

// Pages of the configuration stack, in stack order.
enum ConfigPage {
    CommPage = 0,
    PressureUnitsPage = 1,
    VacuumUnitsPage = 2,
    TimeDatePage = 3,
    AlarmOptionsPage = 4,
    LockoutPage = 5,
    LanguagePage = 6,
    PasswordPage = 7,
};

// The page a configuration tree item opens ("Units" and "Pressure" both open
// the pressure units page), or -1 for a text that names none.
int configPageOfItem(const QString &itemText);

// The help text shown beside a page.
QString configPageHelp(int page);

#endif // CONFIGPAGE_H
