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
    QSpinBox *spinBox(const char *name) const { return child<QSpinBox>(name); }

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

        const QString neighbour = cellText(21, column);
        setCellText(20, column, before);
        spinBox("bulkAdjustEnd")->setValue(20);
        spinBox("bulkAdjustStart")->setValue(20);
        prepare(parameterButton.toLatin1().constData(), percent, amount);
        click("bulkAdjustApply");

        QCOMPARE(cellText(20, column), after);
        QCOMPARE(this->stored(20, column), stored);
        QCOMPARE(cellText(21, column), neighbour);
        QCOMPARE(cellText(19, column), neighbour);
    }

    // The text "500" does not change, yet its value must be brought into range.
    void applyCorrectsAValueLeftFromAnotherUnit()
    {
        click("pressureKPA");
        setCellText(8, 1, QStringLiteral("500"));
        click("pressurePSI");
        QCOMPARE(state().pressures[8], 500.0);
        click("bulkAdjustParameterPressure");
        click("bulkAdjustApply");
        QCOMPARE(cellText(8, 1), QStringLiteral("100.0"));
        QCOMPARE(state().pressures[8], 100.0);
    }

    void applyAdjustsTheRangeThenResetsToTheJobRange()
    {
        spinBox("endMemCell")->setValue(300);
        spinBox("startMemCell")->setValue(50);
        spinBox("bulkAdjustStart")->setValue(100);
        spinBox("bulkAdjustEnd")->setValue(130);
        prepare("bulkAdjustParameterTime", 20.0, 1.0);
        child<QSlider>("bulkAdjustPercentSlider")->setValue(20);
        click("bulkAdjustApply");

        QCOMPARE(cellText(99, 0), QStringLiteral("0.0000"));
        QCOMPARE(cellText(100, 0), QStringLiteral("1"));
        QCOMPARE(cellText(130, 0), QStringLiteral("1"));
        QCOMPARE(cellText(131, 0), QStringLiteral("0.0000"));
        QCOMPARE(spinBox("bulkAdjustStart")->value(), 50);
        QCOMPARE(spinBox("bulkAdjustEnd")->value(), 300);
        QCOMPARE(state().startCell, 50);
        QCOMPARE(state().endCell, 300);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), 0.0);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustRelative")->value(), 0.0);
        QCOMPARE(child<QSlider>("bulkAdjustPercentSlider")->value(), 0);
        // The plot shows the stored values over the job range, unadjusted.
        settle();
        QCOMPARE(series()->count(), 2 * 251);
        QCOMPARE(series()->at(0), QPointF(50, 0));
        QCOMPARE(series()->at(2 * 50).y(), 1.0);
    }

    void startAboveEndPullsEndUp()
    {
        spinBox("bulkAdjustEnd")->setValue(200);
        spinBox("bulkAdjustStart")->setValue(300);
        QCOMPARE(spinBox("bulkAdjustEnd")->value(), 300);
        QCOMPARE(state().startCell, 300);
        QCOMPARE(state().endCell, 300);
        spinBox("bulkAdjustEnd")->setValue(10);
        QCOMPARE(spinBox("bulkAdjustStart")->value(), 10);
        QCOMPARE(state().startCell, 10);
        QCOMPARE(state().endCell, 10);
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

    void slidersSetTheBoxesOnly()
    {
        for (const char *name : {"bulkAdjustPercentSlider", "bulkAdjustRelativeSlider"}) {
            auto *slider = child<QSlider>(name);
            slider->setSliderDown(true);
            slider->setSliderPosition(-35);
            slider->setSliderDown(false);
        }
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustPercent")->value(), -35.0);
        QCOMPARE(child<QDoubleSpinBox>("bulkAdjustRelative")->value(), -35.0);
        child<QDoubleSpinBox>("bulkAdjustRelative")->setValue(12.5);
        QCOMPARE(child<QSlider>("bulkAdjustRelativeSlider")->value(), -35);
    }

    void unitLabel_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("unit");
        QTest::newRow("time") << QStringList{"bulkAdjustParameterPressure", "bulkAdjustParameterTime"} << "s";
        QTest::newRow("pressure") << QStringList{"bulkAdjustParameterPressure"} << "PSI";
        QTest::newRow("pressure unit follows") << QStringList{"bulkAdjustParameterPressure", "pressureKPA"} << "kPa";
        QTest::newRow("vacuum") << QStringList{"bulkAdjustParameterVacuum"} << "\"H2O";
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
            click(name.toLatin1().constData());
        QCOMPARE(child<QLabel>("bulkAdjustUnitLabel")->text(), unit);
    }
};

QTEST_MAIN(TestBulkAdjust)
#include "tst_bulk_adjust.moc"
