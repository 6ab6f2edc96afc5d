#ifndef CONFIGPAGE_H
#define CONFIGPAGE_H

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

#endif // CONFIGPAGE_H
