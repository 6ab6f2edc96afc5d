#include "AppSettings.h"
#include "MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    // On a high-density screen the layouts scale with the screen, and icons
    // are drawn at its resolution. Both must be set before the application.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    AppSettings::identifyProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Control panel for the Pelidor 7 fluid dispenser on a serial line."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption connectAtStart({ QStringLiteral("c"), QStringLiteral("connect") },
                                            QStringLiteral("Connect to the stored port at start."));
    parser.addOption(connectAtStart);

    // Help, version and a wrong option are answered on the terminal, without
    // a display; process() prints and exits.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments) || parser.isSet(help) || parser.isSet(version)) {
        QCoreApplication terminal(argc, argv);
        parser.process(terminal);
    }

    QApplication application(argc, argv);
    int exitCode = 0;
    {
        MainWindow window;
        window.show();
        if (parser.isSet(connectAtStart))
            window.connectToChosenPort();
        exitCode = application.exec();
    }
    return exitCode;
}
