// Time to open a 400-cell CSV profile into the window through File > Open
// Profile: reading the file, the unit clicks, the 1600 cell texts through the
// cell check and the one coalesced plot redraw. The floor is writing the same
// 1600 texts into a plain QTableWidget.
#include "DialogProvider.h"
#include "DispenserState.h"
#include "ProfileFile.h"
#include "BenchReport.h"
#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int rounds = 30;

// Answers the open dialog with the file of the round.
class FixedFileDialogs : public DialogProvider
{
public:
    QString fileName;
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return fileName;
    }
};

DispenserState makeProfile(int variant)
{
    DispenserState profile;
    for (int cell = 0; cell < ProfileUnits::cellCount; ++cell) {
        profile.times[cell] = 0.01 * (cell % 90) + variant + 0.5;
        profile.pressures[cell] = 10.0 + cell % 80 + variant;
        profile.vacuums[cell] = 1.0 + cell % 15 + variant;
        profile.triggers[cell] = 1 + cell % 7 + variant;
    }
    return profile;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir workDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, workDir.path());

    QStringList files;
    std::vector<QStringList> texts(2);
    for (int variant = 0; variant < 2; ++variant) {
        const DispenserState profile = makeProfile(variant);
        files << workDir.filePath(QStringLiteral("profile%1.csv").arg(variant));
        if (profile.writeProfile(files.last()) != ProfileFile::Ok) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.last()));
            return 1;
        }
        for (int cell = 0; cell < ProfileUnits::cellCount; ++cell) {
            texts[variant] << QString::number(profile.times[cell], 'f', 4)
                           << QString::number(profile.pressures[cell], 'f', 1)
                           << QString::number(profile.vacuums[cell], 'f', 1)
                           << QString::number(profile.triggers[cell]);
        }
    }

    MainWindow window;
    FixedFileDialogs dialogs;
    window.setDialogProvider(&dialogs);
    // Show the profile tab, as Supervisor mode does, so the table paints.
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("centralTabWidget"));
    auto *profileTab = window.findChild<QWidget *>(QStringLiteral("tabDispenseProfile"));
    tabs->insertTab(0, profileTab, QStringLiteral("Dispense Profile"));
    tabs->setCurrentIndex(0);
    window.show();
    QApplication::processEvents();
    auto *openProfile = window.findChild<QAction *>(QStringLiteral("actionOpen_Profile"));

    std::vector<double> loads;
    for (int round = 0; round < rounds; ++round) {
        dialogs.fileName = files[round % 2];
        QElapsedTimer timer;
        timer.start();
        openProfile->trigger();
        QApplication::processEvents(); // the coalesced redraw
        loads.push_back(timer.nsecsElapsed() / 1e6);
    }

    QTableWidget plain(400, 4);
    for (int row = 0; row < 400; ++row) {
        for (int column = 0; column < 4; ++column)
            plain.setItem(row, column, new QTableWidgetItem);
    }
    plain.show();
    QApplication::processEvents();
    std::vector<double> floor;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int row = 0; row < 400; ++row) {
            for (int column = 0; column < 4; ++column)
                plain.item(row, column)->setText(texts[round % 2][row * 4 + column]);
        }
        QApplication::processEvents();
        floor.push_back(timer.nsecsElapsed() / 1e6);
    }

    if (window.dispenserState().triggers[399] != makeProfile((rounds - 1) % 2).triggers[399]) {
        std::fprintf(stderr, "the profile was not loaded\n");
        return 1;
    }
    std::printf("400-cell CSV profile, %d rounds\n", rounds);
    reportRounds("Open Profile into the window", loads);
    reportRounds("floor: 1600 texts into a plain QTableWidget", floor);
    return 0;
}
