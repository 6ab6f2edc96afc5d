// The window is laid out: at the fonts a user may choose every text shows in
// full, and a larger window gives its room to the profile table and chart.
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"
#include "UserActions.h"

#include <QtCharts/QChartView>
#include <QtTest>
#include <QtWidgets>

using namespace UserActions;

// Layout requests and geometry changes are posted: let them all arrive.
static void settle() { QCoreApplication::sendPostedEvents(); QCoreApplication::processEvents(); }

// Names of the visible labels, buttons, spin boxes and line edits under root
// that are smaller than their minimum size (a wrapped label: shorter than its
// text). Qt's own parts (unnamed, or named qt_...) are left to their holders.
static QStringList cutWidgets(QWidget *root)
{
    QStringList cut;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        auto *label = qobject_cast<QLabel *>(widget);
        if (!(label || qobject_cast<QAbstractButton *>(widget) || qobject_cast<QAbstractSpinBox *>(widget)
              || qobject_cast<QLineEdit *>(widget))
            || !widget->isVisible() || widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
            continue;
        const QSize size = widget->size();
        const QSize need = label && label->wordWrap() ? QSize(0, label->heightForWidth(size.width()))
                                                      : widget->minimumSizeHint();
        if (size.width() < need.width() || size.height() < need.height()) {
            cut << widget->objectName();
            qWarning("%s is %dx%d, needs %dx%d", qPrintable(cut.last()), size.width(), size.height(),
                     need.width(), need.height());
        }
    }
    return cut;
}

class TestLayout : public QObject
{
    Q_OBJECT

private:
    // Every text of the window in this font, which must really be DejaVu Sans.
    static bool useFont(int pointSize)
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), pointSize));
        const QFontInfo used(QApplication::font());
        return used.family() == QLatin1String("DejaVu Sans") && used.pointSize() == pointSize;
    }

    // Shown at its default size, then in Supervisor mode, which shows everything.
    static bool showAsSupervisor(MainWindow &window)
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window) || !enterSupervisorMode(window, QStringLiteral("5183")))
            return false;
        settle();
        return child<QDockWidget>(window, "bulkAdjustDock")->isVisible();
    }

private slots:
    void init() { TestSettings::clear(); }

    void everyTextShowsInFull_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("DejaVu Sans 9 pt") << 9;
        QTest::newRow("DejaVu Sans 11 pt") << 11;
    }

    void everyTextShowsInFull()
    {
        QFETCH(int, pointSize);
        QVERIFY(useFont(pointSize));
        MainWindow window;
        QVERIFY(showAsSupervisor(window));

        auto *tabs = child<QTabWidget>(window, "centralTabWidget");
        auto *pages = child<QStackedWidget>(window, "configStackWidget");
        QStringList cut;
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            const bool configuration = tabs->currentWidget()->isAncestorOf(pages);
            for (int page = 0; page < (configuration ? pages->count() : 1); ++page) {
                if (configuration)
                    pages->setCurrentIndex(page);
                settle();
                cut << cutWidgets(tabs);
            }
        }
        // Each item of the configuration tree in full: its rectangle starts
        // after its indentation and must hold the text within the view.
        auto *tree = child<QTreeWidget>(window, "treeWidget");
        tree->expandAll();
        settle();
        const int textMargins = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect rect = tree->visualItemRect(*it);
            if (rect.width() < tree->fontMetrics().horizontalAdvance((*it)->text(0)) + textMargins
                || rect.right() >= tree->viewport()->width() || rect.bottom() >= tree->viewport()->height())
                cut << QStringLiteral("treeWidget item \"%1\"").arg((*it)->text(0));
        }
        // The job and bulk-adjust docks share one place: each is checked on top.
        for (const char *name : {"changeViewSettingsDockWidget", "jobDockWidget", "bulkAdjustDock"}) {
            auto *dock = child<QDockWidget>(window, name);
            dock->raise();
            settle();
            QVERIFY(dock->isVisible());
            cut << cutWidgets(dock);
        }
        cut.removeDuplicates();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    }

    void largerWindowGivesRoomToProfile()
    {
        QVERIFY(useFont(9));
        MainWindow window;
        QVERIFY(showAsSupervisor(window));
        auto *table = window.findChild<QTableWidgetWithCopyPaste *>();
        auto *chart = child<QWidget>(window, "plotContainer")->findChild<QtCharts::QChartView *>();
        QVERIFY(table && chart && table->isVisible() && chart->isVisible());
        const QSize tableBefore = table->size();
        const QSize chartBefore = chart->size();

        window.resize(1600, 1000);
        settle();
        QCOMPARE(window.size(), QSize(1600, 1000));
        const int rows = table->viewport()->height() / table->rowHeight(0); // whole rows, from the top
        QVERIFY2(rows >= 20, qPrintable(QStringLiteral("%1 whole rows shown").arg(rows)));
        // The row header and all four columns, without scrolling sideways.
        QVERIFY(table->verticalHeader()->isVisible());
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QVERIFY(table->columnViewportPosition(3) + table->columnWidth(3) <= table->viewport()->width());
        QVERIFY(table->width() > tableBefore.width() && table->height() > tableBefore.height());
        QVERIFY(chart->width() > chartBefore.width() && chart->height() >= chartBefore.height());
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
