// The history of a window's session against the simulated dispenser, read
// back from the store and in the History dock; and the Supervisor mode's
// time-out without input.
#include "HistoryEvents.h"
#include "HistoryReader.h"
#include "IdleTimeout.h"
#include "TestSettings.h"
#include "WindowFixture.h"

#include <QtSql>
#include <QtTest>
#include <QtWidgets>

class TestWindowHistory : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QTemporaryDir folder;

    // Kind and details of every row, oldest first.
    static QStringList rows()
    {
        const HistoryReader reader(HistoryStore::defaultPath());
        QSqlQuery query = reader.rows({});
        QStringList found;
        while (query.next())
            found.prepend(query.value(2).toString() + ": " + query.value(3).toString());
        return found;
    }

private slots:
    void initTestCase()
    {
        clearTestSettings();
        QDir(QFileInfo(HistoryStore::defaultPath()).path()).removeRecursively();
    }
    void cleanup() { f.close(); }

    void sessionIsRecorded()
    {
        QVERIFY2(f.open(exampleDispenser(), WindowFixture::Connected | WindowFixture::ThroughLink),
                 qPrintable(f.errorString()));
        f.click("pushButton_4");
        f.find<QDoubleSpinBox>("dispenseTime")->setValue(0.3);
        f.click("pushButton_5");
        QVERIFY(f.enterSupervisorMode("0000"));
        QVERIFY(f.enterSupervisorMode());
        f.openPage("Pressure");
        f.click("pressureBAR");
        f.click("configApplyButton");
        f.openPage("Supervisor Password");
        f.find<QLineEdit>("currentPassword")->setText("5183");
        f.find<QLineEdit>("newPassword")->setText("0042");
        f.find<QLineEdit>("confirmPassword")->setText("0042");
        f.click("configApplyButton");

        const QString profile = folder.filePath("profile.csv");
        f.dialogs.answers = { profile, profile, 4, "Glue", profile, 4 };
        f.find<QAction>("actionSave_Profile")->trigger();
        f.find<QAction>("actionOpen_Profile")->trigger();
        f.find<QAction>("actionSave_Job")->trigger();
        f.find<QAction>("actionOpen_Job")->trigger();
        f.find<QSpinBox>("endMemCell")->setValue(6);
        f.find<QSpinBox>("startMemCell")->setValue(5);
        f.click("pushButton");
        f.dispenser->raiseAlarm(8);
        QMetaObject::invokeMethod(f.window.get(), "updateAlarms");
        QMetaObject::invokeMethod(f.window.get(), "updateAlarms"); // still raised: no new row
        f.click("alarmResetButton");
        f.find<QAction>("actionOperator_Mode")->trigger();
        f.click("connectButton");
        f.click("connectButton");
        f.dispenser->stop();
        QTRY_VERIFY(f.status().startsWith("Connection lost"));

        const QStringList recorded = rows();
        QStringList kinds;
        for (const QString &row : recorded)
            kinds << row.section(':', 0, 0);
        QCOMPARE(
                kinds,
                QStringList({ "Connect", "Get", "Send", "Wrong password", "Supervisor mode entered",
                              "Apply", "Password changed", "Profile saved", "Profile opened",
                              "Job saved", "Job loaded", "Profile opened", "Transmit",
                              "Alarm raised", "Alarm reset", "Supervisor mode left", "Disconnect",
                              "Connect", "Connection lost" }));
        QVERIFY(recorded[1].contains("cell 7, time 0.25 s, pressure 30.5 kPa"));
        QVERIFY(recorded[2].contains("time 0.3 s (was 0.25 s), pressure 30.5 kPa (unchanged)"));
        QCOMPARE(recorded[5], "Apply: pressure units BAR (was kPa); ok");
        QVERIFY(recorded[7].contains(profile + ", SHA-256 "));
        QCOMPARE(recorded[12], "Transmit: Transmit complete, verified: MemCell 5 to 6");
        QCOMPARE(recorded[13], "Alarm raised: Pressure Alarm (status word 8)");
        QVERIFY(!recorded.join('\n').contains("5183") && !recorded.join('\n').contains("0042"));

        // The dock lists the rows by kind and finds the chain intact.
        f.open(exampleDispenser(), WindowFixture::Shown);
        f.find<QAction>("actionHistory")->trigger();
        auto *table = f.find<QTableView>("historyTable");
        QCOMPARE(table->model()->rowCount(), recorded.size());
        f.find<QComboBox>("historyKind")->setCurrentText("Profile opened");
        QCOMPARE(table->model()->rowCount(), 2);
        f.dialogs.answers = { folder.filePath("history.csv") };
        f.click("historyExportButton");
        QFile exported(folder.filePath("history.csv"));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll().count("\"Profile opened\""), 2);
        f.click("historyCheckButton");
        QCOMPARE(f.labelText("historyCheckResult"),
                 QStringLiteral("The history is intact: %1 rows checked.").arg(recorded.size()));
    }

    // The time runs from the last input; it waits for running work to end.
    void idleTimeout()
    {
        bool busy = false;
        IdleTimeout timeout([&] { return busy; });
        QSignalSpy expired(&timeout, &IdleTimeout::expired);
        timeout.setInterval(200);
        timeout.start();
        QTest::qWait(120);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QCoreApplication::sendEvent(&timeout, &key);
        QTest::qWait(120);
        QCOMPARE(expired.count(), 0);
        busy = true;
        QTest::qWait(300);
        QCOMPARE(expired.count(), 0);
        busy = false;
        QTRY_COMPARE(expired.count(), 1);
        timeout.setInterval(0);
        timeout.start();
        QTest::qWait(300);
        QCOMPARE(expired.count(), 1);

        // The window returns to Operator mode by itself and says why.
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QVERIFY(f.enterSupervisorMode());
        f.window->findChild<IdleTimeout *>()->setInterval(100);
        QTRY_COMPARE(f.labelText("modeLabel"), QStringLiteral("Operator Mode"));
        QCOMPARE(rows().last(), "Supervisor mode left: by itself after 15 min without input");
        QCOMPARE(QSettings().value("supervisorTimeoutMinutes", 15).toInt(), 15);
    }
};

QTEST_MAIN(TestWindowHistory)
#include "tst_window_history.moc"
