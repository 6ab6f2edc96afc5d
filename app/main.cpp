#include "AppSettings.h"
#include "MainWindow.h"
#include "ScreenScaling.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    ScreenScaling::prepare();
    AppSettings::identifyProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Control panel for the Pelidor 7 fluid dispenser on a serial line."));
    // The toolkit's options are single-dash words (-platform, -style, -reverse):
    // read as such, not as letters, they can be told apart and left to it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption connectAtStart({ QStringLiteral("c"), QStringLiteral("connect") },
                                            QStringLiteral("Connect to the stored port at start."));
    parser.addOption(connectAtStart);

    // Help and version are answered on the terminal, before a display is
    // opened; process() prints and exits. The toolkit's options are still
    // unknown at this point, so the question alone is handed on.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    parser.parse(arguments);
    if (parser.isSet(help) || parser.isSet(version)) {
        QCoreApplication terminal(argc, argv);
        parser.process(
                { arguments.first(),
                  parser.isSet(version) ? QStringLiteral("--version") : QStringLiteral("--help") });
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        // The toolkit lists its options for an application of widgets; one
        // without a display does.
        int helpArgc = 3;
        char offscreen[] = "offscreen";
        char platform[] = "-platform";
        char *helpArgv[] = { argv[0], platform, offscreen, nullptr };
        QApplication terminal(helpArgc, helpArgv);
        parser.process({ arguments.first(), QStringLiteral("--help-all") });
    }

    // The application takes its own options out of the command line; what is
    // left must be the program's, or is refused.
    QApplication application(argc, argv);
    parser.process(application);
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
