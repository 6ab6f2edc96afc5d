// Packet framing, checksum, reply classification and field extraction, without
// a port.
#include "Packet.h"

#include <QtTest>

Q_DECLARE_METATYPE(Packet::ReplyKind)

class TestPacket : public QObject
{
    Q_OBJECT

private slots:
    void framesWorkedExamples_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("checksum");
        QTest::addColumn<QByteArray>("wire");

        auto row = [](const char *name, const char *text, const char *checksum, const char *hex) {
            QTest::newRow(name) << QByteArray(text) << QByteArray(checksum) << QByteArray::fromHex(hex);
        };
        row("current cell read", "04UA  ", "C6", "02303455412020433603");
        row("alarm reset", "04EK  ", "CC", "023034454B2020434303");
        row("memory cell 12", "05E8012", "8B", "0230354538303132384203");
        row("dispense time 1.2345", "10DS  T12345", "75", "02313044532020543132333435373503");
        row("start and end cells", "12SS  S000E399", "EA", "023132535320205330303045333939454103");
        row("no data", "04E9  ", "DE", "02303445392020444503");
        row("checksum below 0x10 keeps its zero", "06KZ  TT", "0D", "0230364B5A20205454304403");
    }

    void framesWorkedExamples()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, checksum);
        QFETCH(QByteArray, wire);

        QCOMPARE(Packet::makeChecksum(text), checksum);
        QCOMPARE(Packet::frame(text), wire);
    }

    void countsTheBody()
    {
        QCOMPARE(Packet::withCount("EK  "), QByteArray("04EK  "));
        const QByteArray longest(99, 'x');
        QCOMPARE(Packet::withCount(longest), "99" + longest);
        QCOMPARE(Packet::bodyLength("99" + longest), 99);
    }

    void classifiesReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<Packet::ReplyKind>("kind");

        using Kind = Packet::ReplyKind;
        QTest::newRow("accepted") << QByteArray("\x02" "A0\x03") << Kind::Accepted;
        QTest::newRow("refused") << QByteArray("\x02" "A2\x03") << Kind::Refused;
        QTest::newRow("both counts as refused") << QByteArray("\x02" "A0A2\x03") << Kind::Refused;
        QTest::newRow("both, other order") << QByteArray("A2A0\x03") << Kind::Refused;
        QTest::newRow("A0 without ETX is missing") << QByteArray("\x02" "A0") << Kind::Missing;
        QTest::newRow("nothing") << QByteArray() << Kind::Missing;
        QTest::newRow("ETX alone") << QByteArray("\x02" "x\x03") << Kind::Unrecognised;
        QTest::newRow("A2 after the ETX does not count") << QByteArray("\x02" "A0\x03" "A2") << Kind::Accepted;
    }

    void classifiesReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(Packet::ReplyKind, kind);

        QCOMPARE(Packet::classifyReply(reply), kind);
    }

    void extractsFirstMatch_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("field");

        const QByteArray status("\x02" "18AI1M4TM1SA005EA3993F\x03");
        QTest::newRow("single letter before TM") << status << QByteArray("M") << 1 << QByteArray("4");
        QTest::newRow("three digits") << status << QByteArray("EA") << 3 << QByteArray("399");
        QTest::newRow("M inside TM matches first") << QByteArray("TM1M4") << QByteArray("M") << 1 << QByteArray("1");
        QTest::newRow("M inside DM matches first") << QByteArray("DM0M1") << QByteArray("M") << 1 << QByteArray("0");
        QTest::newRow("reply ends sooner") << QByteArray("SC12") << QByteArray("SC") << 7 << QByteArray("12");
        QTest::newRow("absent tag") << status << QByteArray("VC") << 4 << QByteArray();
    }

    void extractsFirstMatch()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, tag);
        QFETCH(int, width);
        QFETCH(QByteArray, field);

        QCOMPARE(Packet::field(reply, tag, width), field);
        QCOMPARE(Packet::hasTag(reply, tag), !field.isNull());
    }

    // Scaled values are rounded, not truncated; a number wider than its
    // field is not cut.
    void writesNumbersRoundedAndPadded()
    {
        QCOMPARE(Packet::number(0.29, 10.0, 4), QByteArray("0003"));
        QCOMPARE(Packet::number(12.36, 10.0, 4), QByteArray("0124"));
        QCOMPARE(Packet::number(9.9999, 10000.0, 5), QByteArray("99999"));
        QCOMPARE(Packet::number(1000.0, 10.0, 4), QByteArray("10000"));
    }
};

QTEST_APPLESS_MAIN(TestPacket)
#include "tst_packet.moc"
