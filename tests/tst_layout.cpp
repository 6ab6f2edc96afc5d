// The window is laid out: at the fonts a user may choose every text shows in
// full, it fits common screens, a larger window gives its room to the profile.
#include "ScreenScaling.h"
#include "WindowFixture.h"

#include <QtCharts/QChartView>
#include <QtTest>
#include <QtWidgets>

// Layout requests and geometry changes are posted: let them all arrive.
static void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Names of the visible labels, buttons, spin boxes and line edits under root
// that are smaller than their minimum size (a wrapped label: shorter than its
// text). Qt's own parts (unnamed, or named qt_...) are left to their holders.
static QStringList cutWidgets(QWidget *root)
{
    QStringList cut;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        auto *label = qobject_cast<QLabel *>(widget);
        if (!(label || qobject_cast<QAbstractButton *>(widget)
              || qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QLineEdit *>(widget))
            || !widget->isVisible() || widget->objectName().isEmpty()
            || widget->objectName().startsWith("qt_"))
            continue;
        const QSize size = widget->size();
        const QSize need = label && label->wordWrap()
                ? QSize(0, label->heightForWidth(size.width()))
                : widget->minimumSizeHint();
        if (size.width() < need.width() || size.height() < need.height()) {
            cut << widget->objectName();
            qWarning("%s is %dx%d, needs %dx%d", qPrintable(cut.last()), size.width(),
                     size.height(), need.width(), need.height());
        }
    }
    return cut;
}

// A child measuring a scaled screen starts as the program does.
[[maybe_unused]] static const bool programScaling =
        qEnvironmentVariableIsSet("FIT_SCREEN") && (ScreenScaling::prepare(), true);

class TestLayout : public QObject
{
    Q_OBJECT

    WindowFixture f;

    // Every text of the window in this font, which must really be DejaVu Sans.
    static bool useFont(int pointSize)
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), pointSize));
        const QFontInfo used(QApplication::font());
        return used.family() == QLatin1String("DejaVu Sans") && used.pointSize() == pointSize;
    }

    // Shown at its default size, then in Supervisor mode, which shows everything.
    bool showAsSupervisor()
    {
        if (!f.open({}, WindowFixture::Shown) || !f.enterSupervisorMode())
            return false;
        settle();
        return f.find<QDockWidget>("bulkAdjustDock")->isVisible();
    }

private slots:
    void cleanup() { f.close(); }

    // Every dock of the View menu open, the smallest window and a 40 px title
    // bar fit FIT_SCREEN (1366x768 unless told) in either font; a long status
    // text cannot widen it.
    void everyDockFitsScreen_data() { everyTextShowsInFull_data(); }
    void everyDockFitsScreen()
    {
        QFETCH(int, pointSize);
        QVERIFY(useFont(pointSize) && showAsSupervisor());
        for (QAction *action : f.find<QMenu>("menuView")->actions())
            if (!action->isChecked())
                action->trigger();
        settle();
        const QSize smallest = f.window->minimumSizeHint();
        const QSize need = (smallest + QSize(0, 40)) * f.window->devicePixelRatioF();
        const QStringList screen = qEnvironmentVariable("FIT_SCREEN", "1366x768").split('x');
        QVERIFY2(need.width() <= screen[0].toInt() && need.height() <= screen[1].toInt(),
                 qPrintable(QStringLiteral("needs %1x%2").arg(need.width()).arg(need.height())));

        auto *label = f.find<QLabel>("connectionLabel");
        label->setText("Could not open /dev/serial/by-id/usb-" + QString(200, 'x'));
        QCOMPARE(f.window->minimumSizeHint(), smallest);
        QHelpEvent hover(QEvent::ToolTip, QPoint(), label->mapToGlobal(QPoint()));
        QApplication::sendEvent(label, &hover);
        QCOMPARE(QToolTip::text(), label->text());
    }

    // Started at QT_SCALE_FACTOR=1.25, and on a 144 dpi desktop, whose 1.5
    // is taken as it is (rounded up to 2, the window would not fit).
    void everyDockFitsScaledScreen()
    {
        for (const char *scale : { "QT_SCALE_FACTOR=1.25", "QT_FONT_DPI=144" }) {
            const QStringList command = { "QT_FONT_DPI=96", scale, "FIT_SCREEN=1920x1080",
                                          QCoreApplication::applicationFilePath(),
                                          "everyDockFitsScreen" };
            QVERIFY2(QProcess::execute("env", command) == 0, scale);
        }
    }

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
        QVERIFY(showAsSupervisor());

        auto *tabs = f.find<QTabWidget>("centralTabWidget");
        auto *pages = f.find<QStackedWidget>("configStackWidget");
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
        auto *tree = f.find<QTreeWidget>("treeWidget");
        tree->expandAll();
        settle();
        const int textMargins =
                2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect rect = tree->visualItemRect(*it);
            if (rect.width() < tree->fontMetrics().horizontalAdvance((*it)->text(0)) + textMargins
                || rect.right() >= tree->viewport()->width()
                || rect.bottom() >= tree->viewport()->height())
                cut << QStringLiteral("treeWidget item \"%1\"").arg((*it)->text(0));
        }
        // The job and bulk-adjust docks share one place: each is checked on top.
        for (const char *name :
             { "changeViewSettingsDockWidget", "jobDockWidget", "bulkAdjustDock" }) {
            auto *dock = f.find<QDockWidget>(name);
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
        QVERIFY(showAsSupervisor());
        QTableWidget *table = f.table();
        auto *chart = f.find<QtCharts::QChartView>("chartView");
        QVERIFY(table->isVisible() && chart->isVisible());
        const QSize tableBefore = table->size();
        const QSize chartBefore = chart->size();

        f.window->resize(1600, 1000);
        settle();
        QCOMPARE(f.window->size(), QSize(1600, 1000));
        const int rows =
                table->viewport()->height() / table->rowHeight(0); // whole rows, from the top
        QVERIFY2(rows >= 20, qPrintable(QStringLiteral("%1 whole rows shown").arg(rows)));
        // The row header and all four columns, without scrolling sideways.
        QVERIFY(table->verticalHeader()->isVisible());
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QVERIFY(table->columnViewportPosition(3) + table->columnWidth(3)
                <= table->viewport()->width());
        QVERIFY(table->width() > tableBefore.width() && table->height() > tableBefore.height());
        QVERIFY(chart->width() > chartBefore.width() && chart->height() >= chartBefore.height());
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
