// Profile files through the window: Save and Open Profile with their dialogs,
// loading through the table's check, and the file error boxes.
#include "ProfileTestFiles.h"
#include "ProfileWindowFixture.h"

#include <QButtonGroup>
#include <QDir>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace ProfileTestFiles;

namespace {

const QString openError =
    QStringLiteral("File Error: Could not open file. Check that the file is not in use by another application.");

} // namespace

class TestProfileFileWindow : public QObject, private ProfileWindowFixture
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    // The range spin boxes, the record's range and units, the checked unit buttons.
    QVector<int> rangeAndUnits() const
    {
        return {child<QSpinBox>("startMemCell")->value(), child<QSpinBox>("endMemCell")->value(),
                child<QSpinBox>("bulkAdjustStart")->value(), child<QSpinBox>("bulkAdjustEnd")->value(),
                state().startCell, state().endCell, state().pressureUnits, state().vacuumUnits,
                child<QButtonGroup>("pressureUnitGroup")->checkedId(),
                child<QButtonGroup>("vacuumUnitsGroup")->checkedId()};
    }

    // Everything a load may change, as text: what the window shows and what it keeps.
    QStringList snapshot() const
    {
        QStringList shown;
        for (int column = 0; column < 4; ++column) {
            shown << table()->horizontalHeaderItem(column)->text();
            for (int row = 0; row < DispenserState::cellCount; ++row)
                shown << cellText(row, column) << QString::number(stored(row, column), 'g', 17);
        }
        for (int value : rangeAndUnits())
            shown << QString::number(value);
        return shown;
    }

    // The table shows what the record holds, cell for cell.
    void verifyTableMatchesRecord() const
    {
        for (int row = 0; row < DispenserState::cellCount; ++row) {
            for (int column = 0; column < 4; ++column)
                QCOMPARE(cellText(row, column).toDouble(), stored(row, column));
        }
    }

    QStringList openProfile(const QString &fileName)
    {
        dialogs.answers = {fileName};
        return trigger("actionOpen_Profile");
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init()
    {
        clearSettings();
        openWindow();
    }

    void cleanup() { window.reset(); }

    // What the file holds the file tests and the user flows check.
    void saveProfileAsksAndShowsOnlyItsFailure()
    {
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(trigger("actionSave_Profile"), QStringList()); // cancelled
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
        QCOMPARE(dialogs.questions, QStringList{"save file: Save Profile | profile.csv | Profile (*.csv)"});
        dialogs.answers = {path(QStringLiteral("missing/folder/profile.csv"))};
        QCOMPARE(trigger("actionSave_Profile"), QStringList{openError});
        dialogs.answers = {path(QStringLiteral("saved.csv"))};
        QCOMPARE(trigger("actionSave_Profile"), QStringList());
        QVERIFY(read(path(QStringLiteral("saved.csv"))).startsWith("Mem Cell,"));
    }

    // Values out of range are corrected by the table, rows outside the file
    // keep their values, the range stays.
    void loadingRunsTheCellCheck()
    {
        setCellText(9, 0, QStringLiteral("1.5"));
        setCellText(13, 3, QStringLiteral("77"));
        // 500 kPa; the file holds 500 psi, the same text, which must still be corrected.
        click("pressureKPA");
        setCellText(4, 1, QStringLiteral("500"));
        const QString fileName = write(path(QStringLiteral("check.csv")),
                                       "Mem Cell,Dispense Time(s),Dispense Pressure (psi),Vacuum (Torr),Trigger\n"
                                       "3,0.5,250,2,10\n4,0,500,0,1\n7,0.5\n8,12,-1,40,2.7e2\n");
        QCOMPARE(openProfile(fileName), QStringList());

        QCOMPARE(dialogs.questions, QStringList{"open file: Select Profile |  | Profile (*.csv *.hvx)"});
        QCOMPARE(rangeAndUnits(), (QVector<int>{0, 399, 0, 399, 0, 399, 0, 4, 0, 4}));
        QCOMPARE(table()->horizontalHeaderItem(2)->text(), QStringLiteral("Vacuum\n(Torr)"));
        // Cells 3, 4, 7 and 8; the trigger 2.7e2 is not a whole decimal number: 0, shown as 1.
        const QStringList rows = {"0.5", "100.0", "2", "10",  "0", "100.0", "0", "1",
                                  "0.5", "0", "0", "1",       "9.9999", "0.0", "33.6", "1"};
        int index = 0;
        for (int row : {3, 4, 7, 8}) {
            for (int column = 0; column < 4; ++column)
                QCOMPARE(cellText(row, column), rows[index++]);
        }
        QCOMPARE((QStringList{cellText(9, 0), cellText(13, 3)}), (QStringList{"1.5", "77"}));
        verifyTableMatchesRecord();
    }

    void refusedFileLeavesTheWindowAsItWas_data()
    {
        QTest::addColumn<QString>("name"); // empty: the dialog cancelled
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("cancelled") << "" << QByteArray() << QStringList();
        QTest::newRow("missing file") << "gone.csv" << QByteArray() << QStringList{openError};
        QTest::newRow("pressure unit") << "refused.csv"
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (atm),Vacuum (Torr),Trigger\n1,1,1,1,1\n")
            << QStringList{"File Error: Pressure Units not recognized. Was the profile file edited manually?"};
        QTest::newRow("vacuum unit") << "refused.csv"
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (bar),Vacuum (H2O),Trigger\n1,1,1,1,1\n")
            << QStringList{"File Error: Vacuum Units not recognized. Was the profile file edited manually?"};
        QTest::newRow("mem cell") << "refused.csv"
            << QByteArray("Mem Cell,Dispense Time(s),Dispense Pressure (kPa),Vacuum (Torr),Trigger\n"
                          "1,1,1,1,1\n2,2,2,2,2\n400,1,2,3,4\n")
            << QStringList{"File Error: Invalid Mem Cell found in profile. Was the profile file edited manually?"};
        QTest::newRow("truncated binary") << "refused.hvx"
            << binaryProfile(2, 4, 5, 9, {{1, 2, 3, 4}, {1, 2, 3, 4}})
            << QStringList{"File Error: Profile file is truncated. Was the profile file edited manually?"};
    }

    void refusedFileLeavesTheWindowAsItWas()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, boxes);
        setCellText(1, 0, QStringLiteral("3.5"));
        setCellText(2, 1, QStringLiteral("40"));
        const QStringList before = snapshot();
        const QString fileName = name.isEmpty() ? QString() : path(name);
        if (!content.isNull())
            write(fileName, content);
        QCOMPARE(openProfile(fileName), boxes);
        QCOMPARE(snapshot(), before);
    }

    void binaryProfileSetsUnitsRangeAndCells()
    {
        // Start 500 reads as 0, vacuum unit 9 as 1 ("H2O).
        const QString fileName = write(
            path(QStringLiteral("profile.hvx")),
            binaryProfile(2, 9, 500, 2, {{0.5, 700, 2, 2.9}, {12, 100, 19, 5}, {1, 2, 3, 4}}));
        QCOMPARE(openProfile(fileName), QStringList());

        QCOMPARE(rangeAndUnits(), (QVector<int>{0, 2, 0, 2, 0, 2, 2, 1, 2, 1}));
        QCOMPARE((QStringList{cellText(0, 1), cellText(0, 3), cellText(1, 0), cellText(1, 2), cellText(2, 3)}),
                 (QStringList{"689.5", "2", "9.9999", "18.0", "4"}));
        verifyTableMatchesRecord();
    }
};

QTEST_MAIN(TestProfileFileWindow)
#include "tst_profilefilewindow.moc"
