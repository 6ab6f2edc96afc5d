#include "Packet.h"

#include <QtGlobal>

namespace Packet {

namespace {
constexpr int countWidth = 2;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

QByteArray makeChecksum(const QByteArray &text)
{
    unsigned sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    const unsigned checksum = (256 - sum % 256) % 256;
    return QByteArray::number(checksum, 16).toUpper().rightJustified(2, '0');
}

QByteArray frame(const QByteArray &text)
{
    return STX + text + makeChecksum(text) + ETX;
}

QByteArray withCount(const QByteArray &body)
{
    return number(body.size(), countWidth) + body;
}

int bodyLength(const QByteArray &text)
{
    return qMax(0, text.size() - countWidth);
}

ReplyKind classifyReply(const QByteArray &reply)
{
    const int etx = reply.indexOf(ETX);
    if (etx < 0)
        return ReplyKind::Missing;
    const QByteArray answer = reply.left(etx + 1);
    if (answer.contains("A2"))
        return ReplyKind::Refused;
    if (answer.contains("A0"))
        return ReplyKind::Accepted;
    return ReplyKind::Unrecognised;
}

bool hasTag(const QByteArray &reply, const QByteArray &tag)
{
    return reply.contains(tag);
}

QByteArray field(const QByteArray &reply, const QByteArray &tag, int width)
{
    return fieldAt(reply, tag, tag.size(), width);
}

QByteArray fieldAt(const QByteArray &reply, const QByteArray &tag, int offset, int width)
{
    const int start = reply.indexOf(tag);
    if (start < 0)
        return QByteArray();
    return reply.mid(start + offset, width);
}

QByteArray hidePassword(const QByteArray &bytes)
{
    QByteArray shown = bytes;
    for (const QByteArray command : { "EG  PA", "EH  PA" }) {
        for (int at = shown.indexOf(command); at >= 0; at = shown.indexOf(command, at + 1)) {
            bool counted = false;
            const int count = shown.mid(qMax(0, at - countWidth), countWidth).toInt(&counted);
            const int end = counted ? qMin(at + count, shown.size()) : shown.size();
            for (int i = at + command.size(); i < end && isDigit(shown[i]); ++i)
                shown[i] = '*';
        }
    }
    return shown;
}

int toInt(const QByteArray &field)
{
    return field.toInt();
}

double toDouble(const QByteArray &field)
{
    return field.toDouble();
}

bool toFlag(const QByteArray &field)
{
    return field.startsWith('1');
}

QByteArray number(double value, double scale, int width)
{
    return QByteArray::number(qRound64(value * scale)).rightJustified(width, '0');
}

QByteArray number(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

} // namespace Packet
