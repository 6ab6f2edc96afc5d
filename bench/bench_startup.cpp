// Start-up of the control panel to its first shown window, and the peak
// memory of that process, against a minimal Qt Widgets + Charts window
// started the same way. Each sample is a fresh process (this program run
// again with "--child panel" or "--child minimal").
#include "MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int samples = 15;

// The child times main to the first shown window; the parent times the whole
// process, loading of the shared libraries included.
double monotonicMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Shows a window, reports "<ms from main to shown> <peak RSS kB>" and exits.
int runChild(int argc, char **argv, bool panel)
{
    const double mainStart = monotonicMs();
    QApplication app(argc, argv);
    QWidget *window = nullptr;
    if (panel) {
        window = new MainWindow;
    } else {
        auto *minimal = new QMainWindow;
        auto *chart = new QtCharts::QChart;
        auto *series = new QtCharts::QLineSeries;
        series->append(0, 0);
        series->append(400, 1);
        chart->addSeries(series);
        chart->createDefaultAxes();
        minimal->setCentralWidget(new QtCharts::QChartView(chart));
        minimal->resize(1043, 682);
        window = minimal;
    }
    window->show();
    QApplication::processEvents(); // lays out and paints the first frame
    window->grab(); // make sure the first frame is rendered
    const double shownMs = monotonicMs() - mainStart;
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.2f %ld\n", shownMs, usage.ru_maxrss);
    delete window;
    return 0;
}

struct Figures
{
    std::vector<double> wallMs; // process start to exit, seen by the parent
    std::vector<double> shownMs; // main to first shown window, seen by the child
    std::vector<double> peakKb;
};

Figures sample(const QString &program, const char *kind, const QString &configDir)
{
    Figures figures;
    for (int i = 0; i < samples; ++i) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer timer;
        timer.start();
        child.start(program, { QStringLiteral("--child"), QString::fromLatin1(kind) });
        child.waitForFinished(60000);
        const double wall = timer.nsecsElapsed() / 1e6;
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (child.exitCode() != 0 || fields.size() != 2) {
            std::fprintf(stderr, "%s child failed\n", kind);
            continue;
        }
        figures.wallMs.push_back(wall);
        figures.shownMs.push_back(fields[0].toDouble());
        figures.peakKb.push_back(fields[1].toDouble());
    }
    return figures;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, std::strcmp(argv[2], "panel") == 0);

    QCoreApplication app(argc, argv);
    QTemporaryDir configDir; // the panel's first-run settings go here
    std::printf("%d fresh processes each, QT_QPA_PLATFORM=%s\n", samples,
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("%-34s %14s %16s %14s\n", "", "main->shown ms", "process wall ms", "peak RSS MiB");
    for (const char *kind : { "panel", "minimal" }) {
        const Figures figures =
                sample(QCoreApplication::applicationFilePath(), kind, configDir.path());
        std::printf("%-34s %14.1f %16.1f %14.1f\n",
                    std::strcmp(kind, "panel") == 0 ? "Pelidor 7 Interactive"
                                                    : "minimal Widgets + Charts window",
                    median(figures.shownMs), median(figures.wallMs),
                    median(figures.peakKb) / 1024.0);
    }
    return 0;
}
