#include "MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // On a high-density screen the layouts scale with the screen, and icons
    // are drawn at its resolution. Both must be set before the application.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication application(argc, argv);
    int exitCode = 0;
    {
        MainWindow window;
        window.show();
        exitCode = application.exec();
    }
    return exitCode;
}
