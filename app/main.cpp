#include "MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    // On a high-density screen the layouts scale with the screen, and icons
    // are drawn at its resolution. Both must be set before the application.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication application(argc, argv);
    // Set before parsing: --version prints the name and version, and the
    // settings are found under the organization and name.
    QCoreApplication::setOrganizationName(QStringLiteral("Halvexa"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelidor 7 Interactive"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.2"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control panel for the Pelidor 7 fluid dispenser on a serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    // Exits here for --help, --version and unknown options.
    parser.process(application);

    int exitCode = 0;
    {
        MainWindow window;
        window.show();
        exitCode = application.exec();
    }
    return exitCode;
}
