// Bulk adjust: Apply through the table's check, the working range, the
// preview in the plot, and the reset of Cancel.
#include "ProfileWindowFixture.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QtCharts/QLineSeries>
#include <QtTest>

class TestBulkAdjust : public QObject, private ProfileWindowFixture
{
    Q_OBJECT

private:
    void setBox(const char *name, int value) const { child<QSpinBox>(name)->setValue(value); }

    void prepare(const char *parameterButton, double percent, double amount) const
    {
        click(parameterButton);
        child<QDoubleSpinBox>("bulkAdjustPercent")->setValue(percent);
        child<QDoubleSpinBox>("bulkAdjustRelative")->setValue(amount);
    }

private slots:
    void init()
    {
        clearSettings();
        openWindow();
    }

    void cleanup() { window.reset(); }

    void apply_data()
    {
        QTest::addColumn<QString>("parameterButton");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("after");
        QTest::newRow("time") << "bulkAdjustParameterTime" << 0 << "2.0" << 10.0 << 0.5 << "2.7";
        QTest::newRow("time below zero") << "bulkAdjustParameterTime" << 0 << "1" << 0.0 << -2.0 << "0.0000";
        QTest::newRow("trigger") << "bulkAdjustParameterTrigger" << 3 << "10" << -50.0 << 0.7 << "5";
        QTest::newRow("trigger below one") << "bulkAdjustParameterTrigger" << 3 << "2" << 0.0 << -5.0 << "1";
        QTest::newRow("vacuum") << "bulkAdjustParameterVacuum" << 2 << "10" << -10.0 << 0.0 << "9";
        QTest::newRow("unchanged, six digits") << "bulkAdjustParameterTime" << 0 << "1.23456789" << 0.0 << 0.0 << "1.23457";
    }

    void apply()
    {
        QFETCH(QString, parameterButton);
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(double, percent);
        QFETCH(double, amount);
        QFETCH(QString, after);
        const QString neighbour = cellText(21, column);
        setCellText(20, column, before);
        setBox("bulkAdjustEnd", 20);
        setBox("bulkAdjustStart", 20);
        prepare(qPrintable(parameterButton), percent, amount);
        click("bulkAdjustApply");
        QCOMPARE(cellText(20, column), after);
        QCOMPARE(stored(20, column), after.toDouble());
        QCOMPARE(cellText(21, column), neighbour);
        QCOMPARE(cellText(19, column), neighbour);
    }

    // The text "500" does not change, yet its value must be brought into range.
    void applyCorrectsAValueLeftFromAnotherUnit()
    {
        click("pressureKPA");
        setCellText(8, 1, QStringLiteral("500"));
        click("pressurePSI");
        click("bulkAdjustParameterPressure");
        click("bulkAdjustApply");
        QCOMPARE(cellText(8, 1), QStringLiteral("100.0"));
        QCOMPARE(state().pressures[8], 100.0);
    }

    void applyAdjustsTheRangeThenResetsToTheJobRange()
    {
        setBox("endMemCell", 300);
        setBox("startMemCell", 50);
        setBox("bulkAdjustStart", 100);
        setBox("bulkAdjustEnd", 130);
        prepare("bulkAdjustParameterTime", 0.0, 1.0);
        // Moved by the user, the slider sets its box.
        auto *slider = child<QSlider>("bulkAdjustPercentSlider");
        slider->setSliderDown(true);
        slider->setSliderPosition(20);
        slider->setSliderDown(false);
        click("bulkAdjustApply");

        QCOMPARE(cellText(99, 0), QStringLiteral("0.0000"));
        QCOMPARE(cellText(100, 0), QStringLiteral("1"));
        QCOMPARE(cellText(130, 0), QStringLiteral("1"));
        QCOMPARE(cellText(131, 0), QStringLiteral("0.0000"));
        QCOMPARE((QVector<int>{child<QSpinBox>("bulkAdjustStart")->value(), child<QSpinBox>("bulkAdjustEnd")->value(),
                               state().startCell, state().endCell}),
                 (QVector<int>{50, 300, 50, 300}));
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), 0.0);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustRelative")->value(), 0.0);
        QCOMPARE(slider->value(), 0);
    }

    void startAboveEndPullsEndUp()
    {
        setBox("bulkAdjustEnd", 200);
        setBox("bulkAdjustStart", 300);
        QCOMPARE(child<QSpinBox>("bulkAdjustEnd")->value(), 300);
        QCOMPARE(state().endCell, 300);
        setBox("bulkAdjustEnd", 10);
        QCOMPARE(child<QSpinBox>("bulkAdjustStart")->value(), 10);
        QCOMPARE(state().startCell, 10);
        settle();
        QCOMPARE(series()->count(), 2);
    }

    // The preview shows in the plot only, moves with the parameter chosen,
    // and Cancel drops it.
    void previewFollowsTheParameter()
    {
        for (int row = 0; row < 400; ++row)
            setCellText(row, 3, QStringLiteral("3"));
        setCellText(0, 0, QStringLiteral("2"));
        setCellText(1, 0, QStringLiteral("4"));
        setCellText(0, 1, QStringLiteral("10"));
        prepare("bulkAdjustParameterTime", 50.0, 0.0);
        settle();
        QCOMPARE(series()->at(0), QPointF(0, 3));
        QCOMPARE(series()->at(2), QPointF(3, 6));
        QCOMPARE(state().times[0], 2.0);
        QCOMPARE(cellText(0, 0), QStringLiteral("2"));
        // An edit during the preview is drawn with it.
        setCellText(1, 0, QStringLiteral("1"));
        QCOMPARE(series()->at(2).y(), 1.5);

        // The 50 % lengthens the steps, truncated to whole counts (4.5 to 4).
        click("bulkAdjustParameterTrigger");
        settle();
        QCOMPARE(series()->at(1), QPointF(4, 2));
        QCOMPARE(state().triggers[0], 3);

        click("bulkAdjustParameterPressure");
        settle();
        QVERIFY(child<QAbstractButton>("plotPressure")->isChecked());
        QCOMPARE(series()->at(1), QPointF(3, 15));
        click("bulkAdjustCancel");
        settle();
        QCOMPARE(series()->at(1), QPointF(3, 10));
    }

    void unitLabel_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("unit");
        QTest::newRow("time") << QStringList{"bulkAdjustParameterPressure", "bulkAdjustParameterTime"} << "s";
        QTest::newRow("pressure unit follows") << QStringList{"bulkAdjustParameterPressure", "pressureKPA"} << "kPa";
        QTest::newRow("vacuum unit follows") << QStringList{"bulkAdjustParameterVacuum", "torrbut"} << "Torr";
        QTest::newRow("trigger, AI count") << QStringList{"aiModeCount", "bulkAdjustParameterTrigger"} << "shots";
        QTest::newRow("trigger, AI timed after") << QStringList{"bulkAdjustParameterTrigger", "aiModeTimed"} << "s";
        QTest::newRow("trigger, AI off after")
            << QStringList{"aiModeCount", "bulkAdjustParameterTrigger", "aiModeOff"} << "";
    }

    void unitLabel()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, unit);
        for (const QString &name : clicks)
            click(qPrintable(name));
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), unit);
    }
};

QTEST_MAIN(TestBulkAdjust)
#include "tst_bulk_adjust.moc"
