#ifndef TESTSETTINGS_H
#define TESTSETTINGS_H

#include <QString>
#include <QVariant>

// The tests' own settings store: never the user's.
namespace TestSettings {

// Keeps the store away from the user's and names the window's settings scope, so a test
// can prepare the store before it constructs a MainWindow.
void isolate();

// Removes every key of the window's settings scope.
void clear();

void set(const QString &key, const QVariant &value);
QVariant value(const QString &key);
bool contains(const QString &key);

} // namespace TestSettings

#endif // TESTSETTINGS_H
