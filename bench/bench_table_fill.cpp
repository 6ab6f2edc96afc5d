// Time to write a whole profile (400 rows x 4 cells) into the window's table,
// as loading a profile file does: every write runs the cell check, and the
// plot redraws once when the event loop runs. The floor is the same writes
// into a plain QTableWidget with nothing connected.
#include "BenchReport.h"
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int rounds = 30;

// Two full profiles, so that every write of a round changes its cell.
std::vector<QStringList> makeProfiles()
{
    std::vector<QStringList> profiles(2);
    for (int variant = 0; variant < 2; ++variant) {
        for (int row = 0; row < 400; ++row) {
            profiles[variant] << QString::number(0.01 * (row % 90) + variant + 0.5, 'f', 4)
                              << QString::number(10.0 + row % 80 + variant, 'f', 1)
                              << QString::number(1.0 + (row % 15) + variant, 'f', 1)
                              << QString::number(1 + row % 7 + variant);
        }
    }
    return profiles;
}

void fill(QTableWidget *table, const QStringList &texts)
{
    for (int row = 0; row < 400; ++row) {
        for (int column = 0; column < 4; ++column)
            table->item(row, column)->setText(texts[row * 4 + column]);
    }
}

std::vector<double> timeRounds(const std::function<void(int)> &round)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        round(i);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The window writes its first-run settings: keep them out of the user's store.
    QTemporaryDir settingsDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    const std::vector<QStringList> profiles = makeProfiles();

    MainWindow window;
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("centralTabWidget"));
    tabs->insertTab(0, window.findChild<QWidget *>(QStringLiteral("tabDispenseProfile")),
                    QStringLiteral("Dispense Profile"));
    tabs->setCurrentIndex(0);
    window.resize(1280, 900);
    window.show();
    QApplication::processEvents();
    QTableWidget *profileTable = window.findChild<QTableWidgetWithCopyPaste *>();
    auto *series = qobject_cast<QtCharts::QLineSeries *>(
            window.findChild<QtCharts::QChartView *>()->chart()->series().first());
    int redraws = 0;
    QObject::connect(series, &QtCharts::QXYSeries::pointsReplaced, [&redraws] { ++redraws; });

    const std::vector<double> windowTimes = timeRounds([&](int i) {
        fill(profileTable, profiles[i % 2]);
        QApplication::processEvents();
    });

    QTableWidget plainTable(400, 4);
    for (int row = 0; row < 400; ++row) {
        for (int column = 0; column < 4; ++column)
            plainTable.setItem(row, column, new QTableWidgetItem(QStringLiteral("0")));
    }
    plainTable.resize(profileTable->size());
    plainTable.show();
    QApplication::processEvents();
    const std::vector<double> plainTimes = timeRounds([&](int i) {
        fill(&plainTable, profiles[i % 2]);
        QApplication::processEvents();
    });

    std::printf("1600 cell texts per round, %d rounds\n", rounds);
    reportRounds("profile table: check, DispenserState, coalesced redraw", windowTimes);
    reportRounds("plain QTableWidget, nothing connected (floor)", plainTimes);
    std::printf("full plot redraws: %d in %d rounds\n", redraws, rounds);
    return 0;
}
