// Packet framing, checksum, reply classification and field extraction, without
// a port.
#include "Packet.h"

#include <QtTest>

Q_DECLARE_METATYPE(Packet::ReplyKind)

class TestPacket : public QObject
{
    Q_OBJECT

private slots:
    void framesWorkedExamples_data();
    void framesWorkedExamples();
    void writesSmallChecksumWithLeadingZero();
    void countsTheBody_data();
    void countsTheBody();
    void classifiesReplies_data();
    void classifiesReplies();
    void extractsFirstMatch_data();
    void extractsFirstMatch();
    void readsAtOffsetFromTag();
    void convertsFields_data();
    void convertsFields();
    void writesNumbersRoundedAndPadded_data();
    void writesNumbersRoundedAndPadded();
};

void TestPacket::framesWorkedExamples_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("checksum");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("current cell read") << QByteArray("04UA  ") << QByteArray("C6")
                                       << QByteArray::fromHex("02303455412020433603");
    QTest::newRow("alarm reset") << QByteArray("04EK  ") << QByteArray("CC")
                                 << QByteArray::fromHex("023034454B2020434303");
    QTest::newRow("memory cell 12") << QByteArray("05E8012") << QByteArray("8B")
                                    << QByteArray::fromHex("0230354538303132384203");
    QTest::newRow("dispense time 1.2345") << QByteArray("10DS  T12345") << QByteArray("75")
                                          << QByteArray::fromHex("02313044532020543132333435373503");
    QTest::newRow("start and end cells") << QByteArray("12SS  S000E399") << QByteArray("EA")
                                         << QByteArray::fromHex("023132535320205330303045333939454103");
    QTest::newRow("no data") << QByteArray("04E9  ") << QByteArray("DE")
                             << QByteArray::fromHex("02303445392020444503");
}

void TestPacket::framesWorkedExamples()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, checksum);
    QFETCH(QByteArray, wire);

    QCOMPARE(Packet::makeChecksum(text), checksum);
    QCOMPARE(Packet::frame(text), wire);
}

void TestPacket::writesSmallChecksumWithLeadingZero()
{
    // The bytes of "06KZ  TT" add up to 0x2F3, leaving 0x0D.
    QCOMPARE(Packet::makeChecksum("06KZ  TT"), QByteArray("0D"));
    QCOMPARE(Packet::frame("06KZ  TT").size(), 12);
}

void TestPacket::countsTheBody_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("command only") << QByteArray("EK  ") << QByteArray("04EK  ");
    QTest::newRow("alarm options")
        << QByteArray("EI  IN1IO1IL1PO1PL1AE1AO1") << QByteArray("25EI  IN1IO1IL1PO1PL1AE1AO1");
    QTest::newRow("longest allowed") << QByteArray(99, 'x') << QByteArray("99") + QByteArray(99, 'x');
}

void TestPacket::countsTheBody()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, text);

    QCOMPARE(Packet::withCount(body), text);
    QCOMPARE(Packet::bodyLength(text), body.size());
}

void TestPacket::classifiesReplies_data()
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
    QTest::newRow("A2 after the ETX does not count")
        << QByteArray("\x02" "A0\x03" "A2") << Kind::Accepted;
}

void TestPacket::classifiesReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(Packet::ReplyKind, kind);

    QCOMPARE(Packet::classifyReply(reply), kind);
}

void TestPacket::extractsFirstMatch_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("field");

    const QByteArray status("\x02" "18AI1M4TM1SA005EA3993F\x03");
    QTest::newRow("single letter before TM") << status << QByteArray("M") << 1 << QByteArray("4");
    QTest::newRow("two letters") << status << QByteArray("TM") << 1 << QByteArray("1");
    QTest::newRow("three digits") << status << QByteArray("EA") << 3 << QByteArray("399");
    QTest::newRow("M inside TM matches first")
        << QByteArray("TM1M4") << QByteArray("M") << 1 << QByteArray("1");
    QTest::newRow("M inside DM matches first")
        << QByteArray("DM0M1") << QByteArray("M") << 1 << QByteArray("0");
    QTest::newRow("reply ends sooner") << QByteArray("SC12") << QByteArray("SC") << 7 << QByteArray("12");
    QTest::newRow("absent tag") << status << QByteArray("VC") << 4 << QByteArray();
}

void TestPacket::extractsFirstMatch()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, tag);
    QFETCH(int, width);
    QFETCH(QByteArray, field);

    QCOMPARE(Packet::field(reply, tag, width), field);
    QCOMPARE(Packet::hasTag(reply, tag), !field.isNull());
}

void TestPacket::readsAtOffsetFromTag()
{
    const QByteArray date("\x02" "09M02D29Y24B1\x03");
    QCOMPARE(Packet::fieldAt(date, "M", 1, 2), QByteArray("02"));
    QCOMPARE(Packet::fieldAt(date, "M", 4, 2), QByteArray("29"));
}

void TestPacket::convertsFields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("integer");
    QTest::addColumn<double>("real");
    QTest::addColumn<bool>("flag");

    QTest::newRow("zero padded") << QByteArray("0042") << 42 << 42.0 << false;
    QTest::newRow("one") << QByteArray("1") << 1 << 1.0 << true;
    QTest::newRow("not decimal") << QByteArray("1x") << 0 << 0.0 << true;
    QTest::newRow("letters") << QByteArray("AB") << 0 << 0.0 << false;
    QTest::newRow("empty") << QByteArray() << 0 << 0.0 << false;
}

void TestPacket::convertsFields()
{
    QFETCH(QByteArray, field);
    QFETCH(int, integer);
    QFETCH(double, real);
    QFETCH(bool, flag);

    QCOMPARE(Packet::toInt(field), integer);
    QCOMPARE(Packet::toDouble(field), real);
    QCOMPARE(Packet::toFlag(field), flag);
}

void TestPacket::writesNumbersRoundedAndPadded_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("time") << 1.2345 << 10000.0 << 5 << QByteArray("12345");
    QTest::newRow("time zero") << 0.0 << 10000.0 << 5 << QByteArray("00000");
    QTest::newRow("largest time") << 9.9999 << 10000.0 << 5 << QByteArray("99999");
    QTest::newRow("rounded, not truncated") << 0.29 << 10.0 << 4 << QByteArray("0003");
    QTest::newRow("rounds up") << 12.36 << 10.0 << 4 << QByteArray("0124");
    QTest::newRow("pressure") << 50.0 << 10.0 << 4 << QByteArray("0500");
    QTest::newRow("wider is not cut") << 1000.0 << 10.0 << 4 << QByteArray("10000");
}

void TestPacket::writesNumbersRoundedAndPadded()
{
    QFETCH(double, value);
    QFETCH(double, scale);
    QFETCH(int, width);
    QFETCH(QByteArray, text);

    QCOMPARE(Packet::number(value, scale, width), text);
}

QTEST_APPLESS_MAIN(TestPacket)
#include "tst_packet.moc"
