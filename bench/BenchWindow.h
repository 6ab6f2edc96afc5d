#ifndef BENCHWINDOW_H
#define BENCHWINDOW_H

#include "AppSettings.h"
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "SimulatedDispenser.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

// Headless, with a settings store and a data folder (the history) of its
// own, never the user's, and without the debug stream: made before the
// application, kept until the end.
class HeadlessRun
{
public:
    HeadlessRun()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        qputenv("QT_LOGGING_RULES", "default.debug=false");
    }

private:
    QTemporaryDir config;
    QTemporaryDir data;
};

// Starts the simulated dispenser and stores its device as the port, before
// the window is made; false, with a message, when it cannot start.
inline bool startSimulator(SimulatedDispenser &dispenser)
{
    if (!dispenser.start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(dispenser.errorString()));
        return false;
    }
    AppSettings::identifyProgram();
    AppSettings().setPort(dispenser.devicePath());
    return true;
}

// Holds back the window's own alarm poll and cell read, so only what is
// measured reaches the line, and connects (the line idle again when it
// returns); false, with a message, when the port did not open.
inline bool connectQuietly(MainWindow &window)
{
    for (const char *name : { "alarmTimer", "memCellTimer" })
        window.findChild<QTimer *>(QLatin1String(name))->blockSignals(true);
    auto *connectButton = window.findChild<QPushButton *>(QStringLiteral("connectButton"));
    connectButton->click();
    // The lockout read of the connect ends with an EOT the event loop sends.
    QCoreApplication::processEvents();
    QThread::msleep(50);
    if (connectButton->text() == QLatin1String("Disconnect"))
        return true;
    std::fprintf(stderr, "could not connect\n");
    return false;
}

// How long the bytes take on a 115200-baud line: start bit, 8 data bits and
// a stop bit each.
inline double wireSeconds(qint64 bytes)
{
    return bytes * 10.0 / 115200;
}

// Fills the profile table with a varied profile, every value in range.
inline void fillProfile(MainWindow &window)
{
    QTableWidget *table = window.findChild<QTableWidgetWithCopyPaste *>();
    for (int cell = 0; cell < ProfileUnits::cellCount; ++cell) {
        table->item(cell, 0)->setText(QString::number((cell % 100) * 0.0123, 'f', 4));
        table->item(cell, 1)->setText(QString::number(cell % 100));
        table->item(cell, 2)->setText(QString::number(cell % 18));
        table->item(cell, 3)->setText(QString::number(cell + 1));
    }
}

#endif // BENCHWINDOW_H
