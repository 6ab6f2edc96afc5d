// The supervisor password prompt: what it shows, what it lets through, and
// the order in which it reports a confirmed entry.
#include "PasswordDialog.h"

#include <QDialogButtonBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestPasswordDialog : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *edit(PasswordDialog &dialog) { return dialog.findChild<QLineEdit *>(); }
    static QPushButton *button(PasswordDialog &dialog, QDialogButtonBox::StandardButton which)
    {
        return dialog.findChild<QDialogButtonBox *>()->button(which);
    }

private slots:
    void layoutAndMask()
    {
        PasswordDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter password:"));
        QVERIFY(!dialog.isModal());

        auto *prompt = dialog.findChild<QLabel *>();
        QVERIFY(prompt);
        QCOMPARE(prompt->text(), QStringLiteral("Enter the password for Supervisor mode:"));
        QCOMPARE(prompt->styleSheet(), QStringLiteral("font: bold"));

        QLineEdit *input = edit(dialog);
        QCOMPARE(input->echoMode(), QLineEdit::Password);
        QCOMPARE(input->maxLength(), 4);
        auto *validator = qobject_cast<const QIntValidator *>(input->validator());
        QVERIFY(validator);
        QCOMPARE(validator->bottom(), 0);
        QCOMPARE(validator->top(), 9999);

        QVERIFY(button(dialog, QDialogButtonBox::Ok));
        QVERIFY(button(dialog, QDialogButtonBox::Cancel));

        // Top to bottom: prompt, input, buttons.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(prompt->y() < input->y());
        QVERIFY(input->y() < dialog.findChild<QDialogButtonBox *>()->y());
    }

    void inputTakesOnlyFourDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("four digits") << "5183" << "5183";
        QTest::newRow("fifth digit refused") << "51834" << "5183";
        QTest::newRow("letters refused") << "5a1b8c3" << "5183";
        QTest::newRow("sign refused") << "-12" << "12";
        QTest::newRow("partial entry") << "07" << "07";
    }

    void inputTakesOnlyFourDigits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        PasswordDialog dialog;
        dialog.show();
        QTest::keyClicks(edit(dialog), typed);
        QCOMPARE(edit(dialog)->text(), kept);
        QVERIFY(edit(dialog)->displayText() != kept); // masked
    }

    void okSignalsTheTextBeforeFinishing()
    {
        PasswordDialog dialog;
        QStringList events;
        connect(&dialog, &PasswordDialog::passwordReady, this,
                [&](const QString &text) { events << QStringLiteral("ready ") + text; });
        connect(&dialog, &QDialog::finished, this,
                [&](int result) { events << QStringLiteral("finished %1").arg(result); });
        dialog.show();
        QTest::keyClicks(edit(dialog), QStringLiteral("4321"));

        button(dialog, QDialogButtonBox::Ok)->click();

        QCOMPARE(events, QStringList({"ready 4321", "finished 1"}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.getPassword(), QStringLiteral("4321"));
    }

    void returnKeyConfirms()
    {
        PasswordDialog dialog;
        QSignalSpy ready(&dialog, &PasswordDialog::passwordReady);
        dialog.show();
        QTest::keyClicks(edit(dialog), QStringLiteral("12"));
        QTest::keyClick(edit(dialog), Qt::Key_Return);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(0).toString(), QStringLiteral("12"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void cancelAndEscapeReportNothing_data()
    {
        QTest::addColumn<bool>("useEscape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape key") << true;
    }

    void cancelAndEscapeReportNothing()
    {
        QFETCH(bool, useEscape);
        PasswordDialog dialog;
        QSignalSpy ready(&dialog, &PasswordDialog::passwordReady);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.show();
        QTest::keyClicks(edit(dialog), QStringLiteral("5183"));

        if (useEscape)
            QTest::keyClick(edit(dialog), Qt::Key_Escape);
        else
            button(dialog, QDialogButtonBox::Cancel)->click();

        QCOMPARE(ready.count(), 0);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        QVERIFY(dialog.getPassword().isEmpty());
        QVERIFY(!dialog.isVisible());
    }

    void closingTheWindowRejects()
    {
        PasswordDialog dialog;
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.show();
        dialog.close();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "tst_password_dialog.moc"
