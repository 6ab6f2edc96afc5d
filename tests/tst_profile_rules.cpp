// The widget-free rules of the profile: the cell check and its units, the
// step plot and its axis range, the clipboard blocks.
#include "ClipboardBlock.h"
#include "NiceAxisRange.h"
#include "ProfileCellCheck.h"
#include "ProfileUnits.h"
#include "StepPlot.h"

#include <QtTest>

#include <array>

using namespace ProfileUnits;

class TestProfileRules : public QObject
{
    Q_OBJECT

private slots:
    void cellCheck_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("pressureUnit");
        QTest::addColumn<int>("vacuumUnit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("corrected"); // null: the text stays as typed
        QTest::addColumn<double>("stored");

        auto row = [](const char *name, int column, int pressure, int vacuum, const char *text,
                      const char *corrected, double stored) {
            QTest::newRow(name) << column << pressure << vacuum << text
                                << (corrected ? QString::fromLatin1(corrected) : QString())
                                << stored;
        };
        row("time in range", Time, Psi, InchesOfWater, "2.5", nullptr, 2.5);
        row("time of 12", Time, Psi, InchesOfWater, "12", "9.9999", 9.9999);
        row("letters in a time", Time, Psi, InchesOfWater, "abc", "0.0000", 0);
        row("100 PSI kept as typed", Pressure, Psi, InchesOfWater, "100", nullptr, 100);
        row("100.1 PSI", Pressure, Psi, InchesOfWater, "100.1", "100.0", 100);
        row("-1 bar", Pressure, Bar, InchesOfWater, "-1", "0.000", 0);
        row("7 bar", Pressure, Bar, InchesOfWater, "7", "6.895", 6.895);
        row("4.5 kPa of vacuum", Vacuum, Psi, VacuumKpa, "4.5", "4.48", 4.48);
        row("18.1 inches of water", Vacuum, Psi, InchesOfWater, "18.1", "18.0", 18);
        row("1.33 inches of mercury", Vacuum, Psi, InchesOfMercury, "1.33", "1.32", 1.32);
        row("33.7 mmHg", Vacuum, Psi, MillimetresOfMercury, "33.7", "33.6", 33.6);
        row("trigger 2.7", Trigger, Psi, InchesOfWater, "2.7", "2", 2);
        row("trigger 100000", Trigger, Psi, InchesOfWater, "100000", "99999", 99999);
        row("trigger 5.0", Trigger, Psi, InchesOfWater, "5.0", "5", 5);
        row("trigger in letters", Trigger, Psi, InchesOfWater, "x", "1", 1);
        row("trigger 99999", Trigger, Psi, InchesOfWater, "99999", nullptr, 99999);
    }

    void cellCheck()
    {
        QFETCH(int, column);
        QFETCH(int, pressureUnit);
        QFETCH(int, vacuumUnit);
        QFETCH(QString, text);
        QFETCH(QString, corrected);
        QFETCH(double, stored);

        const QString result = ProfileCellCheck::check(column, text, pressureUnit, vacuumUnit).text;
        QCOMPARE(result, corrected);
        const QString kept = result.isNull() ? text : result;
        QCOMPARE(column == Trigger ? double(ProfileCellCheck::storedTrigger(kept))
                                   : ProfileCellCheck::storedValue(kept),
                 stored);
    }

    void stepPlot()
    {
        std::array<double, 400> values {};
        std::array<int, 400> triggers;
        triggers.fill(1);
        values[12] = 5.0;
        triggers[11] = 3;
        StepPlot::Preview preview;
        preview.triggerFactor = 1.5;
        // The cells before the range count with their stored triggers.
        StepPlot::Steps steps = StepPlot::build(values.data(), triggers.data(), 10, 12, preview);
        QCOMPARE(steps.startX, 10.0);
        QCOMPARE(steps.points,
                 QVector<QPointF>(
                         { { 10, 0 }, { 11, 0 }, { 11, 0 }, { 15, 0 }, { 15, 5 }, { 16, 5 } }));
        QCOMPARE(steps.maximum, 5.0);
        QCOMPARE(StepPlot::rangeMaximum(values.data(), 0, 11, preview), 0.0);

        preview = StepPlot::Preview { 2.0, 1.0, 1.0, 0.0 };
        steps = StepPlot::build(values.data(), triggers.data(), 0, 399, preview);
        QCOMPARE(steps.points.size(), 800);
        QCOMPARE(steps.endX, 402.0);
        QCOMPARE(steps.maximum, 11.0);
    }

    void niceAxisRange_data()
    {
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("ticks");
        QTest::newRow("0, 0") << 0.0 << 0.0 << 0.0 << 10.0 << 6;
        QTest::newRow("50, 0") << 50.0 << 0.0 << 0.0 << 60.0 << 7;
        QTest::newRow("689.5, 0") << 689.5 << 0.0 << 0.0 << 800.0 << 5;
        QTest::newRow("450, 200") << 450.0 << 200.0 << 150.0 << 500.0 << 8;
        QTest::newRow("110, 100") << 110.0 << 100.0 << 98.0 << 112.0 << 8;
        QTest::newRow("equal ends") << 5.0 << 5.0 << 4.4 << 5.6 << 7;
        QTest::newRow("ends swapped") << 50.0 << 100.0 << 40.0 << 110.0 << 8;
        QTest::newRow("negative start") << 500.0 << -1100.0 << -1500.0 << 1000.0 << 6;
    }

    void niceAxisRange()
    {
        QFETCH(double, maximum);
        QFETCH(double, minimum);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, ticks);
        const NiceAxisRange range = NiceAxisRange::covering(maximum, minimum);
        QVERIFY2(qFuzzyCompare(range.minimum + 1, low + 1) && qFuzzyCompare(range.maximum, high),
                 qPrintable(QStringLiteral("%1..%2").arg(range.minimum).arg(range.maximum)));
        QCOMPARE(range.tickCount, ticks);
    }

    void clipboardCopy()
    {
        ClipboardBlock::Copied copied = ClipboardBlock::copy(
                { { 1, 1, "4" }, { 0, 1, "2" }, { 1, 0, "3" }, { 0, 0, "1" } });
        QCOMPARE(copied.text, QStringLiteral("1\t2\n3\t4"));
        QCOMPARE(copied.html,
                 QStringLiteral(
                         "<html><style>br{mso-data-placement:same-cell;}</style><table><tr>"
                         "<td>1</td><td>2</td></tr><tr><td>3</td><td>4</td></tr></table></html>"));
        copied = ClipboardBlock::copy({ { 0, 0, "a\nb" }, { 0, 1, "c\nd" } });
        QCOMPARE(copied.text, QStringLiteral("a\nb\tc\nd"));
        QVERIFY(copied.html.contains("<td>a<br>b</td><td>c\nd</td>"));
        QCOMPARE(ClipboardBlock::copy({}).text, QString());
    }

    void clipboardParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("rectangular");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("two rows") << "1\t2\n3\t4" << true << 2
                                  << QStringList { "1", "2", "3", "4" };
        QTest::newRow("trailing line end and blanks")
                << "  1\t2\n\n " << true << 1 << QStringList { "1", "2" };
        QTest::newRow("Windows line ends") << "1\t2\r\n3\t4\r\n"
                                           << true << 2 << QStringList { "1", "2", "3", "4" };
        QTest::newRow("empty first field") << "\t5\n" << true << 1 << QStringList { "", "5" };
        QTest::newRow("ragged") << "1\t2\t3\n4\t5" << false << 2
                                << QStringList { "1", "2", "3", "4", "5" };
    }

    void clipboardParse()
    {
        QFETCH(QString, text);
        QFETCH(bool, rectangular);
        QFETCH(int, rows);
        QFETCH(QStringList, cells);
        const ClipboardBlock::Pasted pasted = ClipboardBlock::parse(text);
        QCOMPARE(pasted.rectangular, rectangular);
        QCOMPARE(pasted.rows, rows);
        QCOMPARE(pasted.cells, cells);
    }
};

QTEST_MAIN(TestProfileRules)
#include "tst_profile_rules.moc"
