#ifndef TESTSETTINGS_H
#define TESTSETTINGS_H

#include "AppSettings.h"

#include <QSettings>
#include <QStandardPaths>

// The tests' own settings store, never the user's: CTest gives each test a
// config folder of its own; run by hand, a test falls back to Qt's shared
// test location. Names the window's settings scope too, so a test can
// prepare the store before it makes a window; the store starts empty.
inline void clearTestSettings()
{
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        QStandardPaths::setTestModeEnabled(true);
    AppSettings::identifyProgram();
    QSettings settings;
    settings.clear();
    settings.sync();
}

#endif // TESTSETTINGS_H
