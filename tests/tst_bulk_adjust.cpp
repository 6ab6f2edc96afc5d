// Bulk adjust: Apply through the table's check, the working range, the
// preview in the plot, and the reset of Cancel.
#include "MainWindow.h"
#include "QTableWidgetWithCopyPaste.h"
#include "TestSettings.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

using namespace QtCharts;

class TestBulkAdjust : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    template <typename T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    QTableWidget *table() const { return window->findChild<QTableWidgetWithCopyPaste *>(); }
    const DispenserState &state() const { return window->dispenserState(); }
    QLineSeries *series() const
    {
        return qobject_cast<QLineSeries *>(window->findChild<QChartView *>()->chart()->series().first());
    }
    static void settle() { QCoreApplication::processEvents(); }

    void click(const char *name) const { child<QAbstractButton>(name)->click(); }
    void setText(int row, int column, const QString &text) const
    {
        table()->item(row, column)->setText(text);
    }
    QString text(int row, int column) const { return table()->item(row, column)->text(); }

    void prepare(const char *parameterButton, double percent, double amount) const
    {
        click(parameterButton);
        child<QDoubleSpinBox>("bulkAdjustPercent")->setValue(percent);
        child<QDoubleSpinBox>("bulkAdjustRelative")->setValue(amount);
    }

private slots:
    void init()
    {
        TestSettings::clear();
        QTest::ignoreMessage(QtDebugMsg, "SuperPassword key doesnt exist, setting it to 5183 now");
        window.reset(new MainWindow);
        settle();
    }

    void cleanup() { window.reset(); }

    void startState()
    {
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), 0);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 399);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), 0.0);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustRelative")->value(), 0.0);
        QCOMPARE(child<QSlider>("bulkAdjustPercentSlider")->value(), 0);
        QCOMPARE(child<QSlider>("bulkAdjustRelativeSlider")->value(), 0);
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), QStringLiteral("s"));
        QCOMPARE(state().startCell, 0);
        QCOMPARE(state().endCell, 399);
        QVERIFY(!child<QWidget>("bulkAdjustDock")->isVisible());
    }

    void apply_data()
    {
        QTest::addColumn<QString>("parameterButton");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("after");
        QTest::addColumn<double>("stored");

        QTest::newRow("time") << "bulkAdjustParameterTime" << 0 << "2.0" << 10.0 << 0.5 << "2.7" << 2.7;
        QTest::newRow("time clamped") << "bulkAdjustParameterTime" << 0 << "9.0" << 50.0 << 0.0 << "9.9999" << 9.9999;
        QTest::newRow("time below zero") << "bulkAdjustParameterTime" << 0 << "1" << 0.0 << -2.0 << "0.0000" << 0.0;
        QTest::newRow("trigger") << "bulkAdjustParameterTrigger" << 3 << "10" << -50.0 << 0.7 << "5" << 5.0;
        QTest::newRow("trigger below one") << "bulkAdjustParameterTrigger" << 3 << "2" << 0.0 << -5.0 << "1" << 1.0;
        QTest::newRow("pressure clamped") << "bulkAdjustParameterPressure" << 1 << "30" << 0.0 << 99.99 << "100.0" << 100.0;
        QTest::newRow("vacuum") << "bulkAdjustParameterVacuum" << 2 << "10" << -10.0 << 0.0 << "9" << 9.0;
        QTest::newRow("unchanged, six digits") << "bulkAdjustParameterTime" << 0 << "1.23456789" << 0.0 << 0.0 << "1.23457" << 1.23457;
    }

    void apply()
    {
        QFETCH(QString, parameterButton);
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(double, percent);
        QFETCH(double, amount);
        QFETCH(QString, after);
        QFETCH(double, stored);

        const QString neighbour = text(21, column);
        setText(20, column, before);
        child<QSpinBox>("bulkAdjustEnd")->setValue(20);
        child<QSpinBox>("bulkAdjustStart")->setValue(20);
        prepare(parameterButton.toLatin1().constData(), percent, amount);
        click("bulkAdjustApply");

        QCOMPARE(text(20, column), after);
        const double kept = column == 0   ? state().times[20]
                            : column == 1 ? state().pressures[20]
                            : column == 2 ? state().vacuums[20]
                                          : state().triggers[20];
        QCOMPARE(kept, stored);
        // Outside the range nothing changed.
        QCOMPARE(text(21, column), neighbour);
        QCOMPARE(text(19, column), neighbour);
    }

    void applyCorrectsAValueLeftFromAnotherUnit()
    {
        click("pressureKPA");
        setText(8, 1, QStringLiteral("500"));
        click("pressurePSI");
        QCOMPARE(state().pressures[8], 500.0);
        click("bulkAdjustParameterPressure");
        click("bulkAdjustApply");
        QCOMPARE(text(8, 1), QStringLiteral("100.0"));
        QCOMPARE(state().pressures[8], 100.0);
    }

    void applyAndCancelReset()
    {
        child<QSpinBox>("bulkAdjustStart")->setValue(100);
        prepare("bulkAdjustParameterTime", 20.0, 1.0);
        child<QSlider>("bulkAdjustPercentSlider")->setValue(20);
        click("bulkAdjustApply");
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), 0);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 399);
        QCOMPARE(state().startCell, 0);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), 0.0);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustRelative")->value(), 0.0);
        QCOMPARE(child<QSlider>("bulkAdjustPercentSlider")->value(), 0);
        QCOMPARE(text(99, 0), QStringLiteral("0.0000"));
        QCOMPARE(text(100, 0), QStringLiteral("1"));
        settle();
        // The plot shows the stored values again over the whole range.
        QCOMPARE(series()->count(), 800);
        QCOMPARE(series()->at(200).y(), 1.0);
    }

    void cancelReturnsToTheJobRange()
    {
        child<QSpinBox>("endMemCell")->setValue(300);
        child<QSpinBox>("startMemCell")->setValue(50);
        child<QSpinBox>("bulkAdjustStart")->setValue(120);
        child<QSpinBox>("bulkAdjustEnd")->setValue(130);
        click("bulkAdjustCancel");
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), 50);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 300);
        QCOMPARE(state().startCell, 50);
        QCOMPARE(state().endCell, 300);
        settle();
        QCOMPARE(series()->count(), 2 * 251);
        QCOMPARE(series()->at(0).x(), 50.0);
    }

    void startAboveEndPullsEndUp()
    {
        child<QSpinBox>("bulkAdjustEnd")->setValue(200);
        child<QSpinBox>("bulkAdjustStart")->setValue(300);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 300);
        QCOMPARE(state().startCell, 300);
        QCOMPARE(state().endCell, 300);
        child<QSpinBox>("bulkAdjustEnd")->setValue(10);
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), 10);
        QCOMPARE(state().startCell, 10);
        QCOMPARE(state().endCell, 10);
        settle();
        QCOMPARE(series()->count(), 2);
    }

    void previewShowsInThePlotOnly()
    {
        setText(0, 0, QStringLiteral("2"));
        setText(1, 0, QStringLiteral("4"));
        prepare("bulkAdjustParameterTime", 50.0, 0.0);
        settle();
        QCOMPARE(series()->at(0).y(), 3.0);
        QCOMPARE(series()->at(2).y(), 6.0);
        QCOMPARE(state().times[0], 2.0);
        QCOMPARE(text(0, 0), QStringLiteral("2"));

        // An edit during the preview is drawn with it.
        setText(1, 0, QStringLiteral("1"));
        QCOMPARE(series()->at(2).y(), 1.5);

        click("bulkAdjustCancel");
        settle();
        QCOMPARE(series()->at(0).y(), 2.0);
    }

    void triggerPreviewTruncatesSteps()
    {
        setText(0, 3, QStringLiteral("3"));
        prepare("bulkAdjustParameterTrigger", 50.0, 0.0);
        settle();
        QCOMPARE(series()->at(1).x(), 4.0); // 4.5 truncated
        QCOMPARE(state().triggers[0], 3);
    }

    void parameterChangeMovesThePendingAdjustment()
    {
        for (int row = 0; row < 400; ++row)
            setText(row, 3, QStringLiteral("5"));
        setText(0, 0, QStringLiteral("2"));
        prepare("bulkAdjustParameterTime", 20.0, 0.0);
        settle();
        QCOMPARE(series()->at(0).y(), 2.4);
        QCOMPARE(series()->at(1).x(), 5.0);

        click("bulkAdjustParameterTrigger");
        settle();
        QCOMPARE(series()->at(0).y(), 2.0);
        QCOMPARE(series()->at(1).x(), 6.0);

        // Back to a value parameter: the plot follows it and the triggers drop the preview.
        setText(0, 1, QStringLiteral("10"));
        click("bulkAdjustParameterPressure");
        settle();
        QVERIFY(child<QAbstractButton>("plotPressure")->isChecked());
        QCOMPARE(series()->at(0).y(), 12.0);
        QCOMPARE(series()->at(1).x(), 5.0);
    }

    void slidersSetTheBoxes()
    {
        auto *slider = child<QSlider>("bulkAdjustPercentSlider");
        slider->setSliderDown(true);
        slider->setSliderPosition(20);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), 20.0);
        slider->setSliderPosition(-35);
        slider->setSliderDown(false);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), -35.0);

        auto *amountSlider = child<QSlider>("bulkAdjustRelativeSlider");
        amountSlider->setSliderDown(true);
        amountSlider->setSliderPosition(7);
        amountSlider->setSliderDown(false);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustRelative")->value(), 7.0);

        // A box does not move its slider.
        child<QDoubleSpinBox>("bulkAdjustRelative")->setValue(12.5);
        QCOMPARE(amountSlider->value(), 7);
    }

    void unitLabel_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("unit");
        QTest::newRow("time") << QStringList{"bulkAdjustParameterTime"} << "s";
        QTest::newRow("pressure") << QStringList{"bulkAdjustParameterPressure"} << "PSI";
        QTest::newRow("pressure unit follows") << QStringList{"bulkAdjustParameterPressure", "pressureKPA"} << "kPa";
        QTest::newRow("vacuum") << QStringList{"bulkAdjustParameterVacuum"} << "\"H2O";
        QTest::newRow("vacuum unit follows") << QStringList{"bulkAdjustParameterVacuum", "torrbut"} << "Torr";
        QTest::newRow("trigger, AI off") << QStringList{"bulkAdjustParameterTrigger"} << "";
        QTest::newRow("trigger, AI timed") << QStringList{"aiModeTimed", "bulkAdjustParameterTrigger"} << "s";
        QTest::newRow("trigger, AI count") << QStringList{"aiModeCount", "bulkAdjustParameterTrigger"} << "shots";
        QTest::newRow("trigger, AI sequence") << QStringList{"aiModeSequence", "bulkAdjustParameterTrigger"} << "shots";
    }

    void unitLabel()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, unit);
        for (const QString &name : clicks)
            click(name.toLatin1().constData());
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), unit);
    }
};

QTEST_MAIN(TestBulkAdjust)
#include "tst_bulk_adjust.moc"
