// The supervisor password prompt: what it shows, what it lets through, and
// the order in which it reports a confirmed or dismissed entry.
#include "PasswordDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestPasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndMask()
    {
        PasswordDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter password:"));
        QVERIFY(!dialog.isModal());
        auto *prompt = dialog.findChild<QLabel *>();
        QCOMPARE(prompt->text(), QStringLiteral("Enter the password for Supervisor mode:"));
        QCOMPARE(prompt->styleSheet(), QStringLiteral("font: bold"));
        auto *input = dialog.findChild<QLineEdit *>();
        QCOMPARE(input->echoMode(), QLineEdit::Password);
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

        // Top to bottom: prompt, input, buttons.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(prompt->y() < input->y() && input->y() < buttons->y());
    }

    void inputTakesOnlyFourDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("fifth digit refused") << "51834" << "5183";
        QTest::newRow("letters refused") << "5a1b8c3" << "5183";
        QTest::newRow("sign refused") << "-12" << "12";
    }

    void inputTakesOnlyFourDigits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        PasswordDialog dialog;
        dialog.show();
        auto *input = dialog.findChild<QLineEdit *>();
        QTest::keyClicks(input, typed);
        QCOMPARE(input->text(), kept);
        QVERIFY(input->displayText() != kept); // masked
    }

    void closingReports_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<QString>("password");
        // The text comes first, so the window holds it when it checks.
        QTest::newRow("OK") << "OK" << QStringList{"ready 4321", "finished 1"} << "4321";
        QTest::newRow("Cancel") << "Cancel" << QStringList{"finished 0"} << "";
        QTest::newRow("window closed") << "close" << QStringList{"finished 0"} << "";
    }

    void closingReports()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, reports);
        QFETCH(QString, password);
        PasswordDialog dialog;
        QStringList seen;
        connect(&dialog, &PasswordDialog::passwordReady, this,
                [&](const QString &text) { seen << "ready " + text; });
        connect(&dialog, &QDialog::finished, this,
                [&](int result) { seen << QStringLiteral("finished %1").arg(result); });
        dialog.show();
        auto *input = dialog.findChild<QLineEdit *>();
        QTest::keyClicks(input, QStringLiteral("4321"));

        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        if (how == QLatin1String("close"))
            dialog.close();
        else
            buttons->button(how == QLatin1String("OK") ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();

        QCOMPARE(seen, reports);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.getPassword(), password);
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "tst_password_dialog.moc"
