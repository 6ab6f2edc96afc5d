#ifndef PACKET_H
#define PACKET_H

#include <QByteArray>

// The dispenser's packet format: framing, checksum, reply classification and
// tagged-field extraction. Pure functions, so they can be checked without a
// serial port.
namespace Packet {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char EOT = 0x04;
constexpr char ENQ = 0x05;
constexpr char ACK = 0x06;

// The count field has two digits, so at most this many characters follow it.
constexpr int maxBodyLength = 99;

// Dispense values travel as whole numbers: seconds in 1/10000, pressure and
// vacuum in tenths of their unit.
constexpr double timeScale = 10000.0;
constexpr double pressureScale = 10.0;
constexpr double vacuumScale = 10.0;

// Tags of the operator-lockout and alarm-option words, in bit order.
inline constexpr const char *lockoutTags[] = { "DT", "DP", "DV", "M",  "DC", "DM", "AI", "AR",
                                               "AL", "MM", "PU", "VU", "LA", "CL", "CO", "AM" };
inline constexpr const char *alarmTags[] = { "IN", "IO", "IL", "PO", "PL", "AE", "AO" };

// Two upper-case hex digits: the two's complement of the byte sum of the
// packet text (count, command and data fields).
QByteArray makeChecksum(const QByteArray &text);

// STX, the text, its checksum, ETX: the bytes written to the port.
QByteArray frame(const QByteArray &text);

// The command and data fields with their two-digit count in front.
QByteArray withCount(const QByteArray &body);

// The body of a packet text, that is everything after the count field.
int bodyLength(const QByteArray &text);

enum class ReplyKind { Missing, Refused, Accepted, Unrecognised };

// How the dispenser answered a command packet; the bytes are read up to the
// first ETX, and "A2" outweighs "A0".
ReplyKind classifyReply(const QByteArray &reply);

// Whether the tag occurs anywhere in the reply.
bool hasTag(const QByteArray &reply, const QByteArray &tag);

// The width characters after the first occurrence of the tag (fewer when the
// reply ends sooner); empty when the tag is absent.
QByteArray field(const QByteArray &reply, const QByteArray &tag, int width);

// The width characters starting offset characters after the start of the
// first occurrence of the tag.
QByteArray fieldAt(const QByteArray &reply, const QByteArray &tag, int offset, int width);

// The bytes with the supervisor password of the lockout commands ("EG" and
// "EH", framed or not) written as "****", for every line that shows traffic.
// The password's digits end at the first non-digit or at the end of the text
// the count field announces, where the checksum starts.
QByteArray hidePassword(const QByteArray &bytes);

// Decimal conversions of a field; characters that do not parse give 0.
int toInt(const QByteArray &field);
double toDouble(const QByteArray &field);

// A flag field is set when its first character is "1".
bool toFlag(const QByteArray &field);

// A scaled value rounded to a whole number and zero-padded on the left to the
// width; a wider number is not cut.
QByteArray number(double value, double scale, int width);
QByteArray number(int value, int width);

} // namespace Packet

#endif // PACKET_H
