#include "TestSettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace TestSettings {

void isolate()
{
    // CTest gives each test a config folder of its own; run by hand, a test
    // falls back to Qt's shared test location. Either way not the user's.
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Halvexa"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelidor 7 Interactive"));
}

void clear()
{
    isolate();
    QSettings settings;
    settings.clear();
    settings.sync();
}

void set(const QString &key, const QVariant &value)
{
    QSettings settings;
    settings.setValue(key, value);
}

QVariant value(const QString &key)
{
    QSettings settings;
    return settings.value(key);
}

bool contains(const QString &key)
{
    QSettings settings;
    return settings.contains(key);
}

} // namespace TestSettings
