#include "CommunicationLog.h"

#include "DispenserLink.h"
#include "Packet.h"

#include <QDateTime>
#include <QSaveFile>

#include <algorithm>

namespace {

QString printable(const QByteArray &bytes)
{
    static const char *const names[] = { "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK" };
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f)
            text += QLatin1Char(c);
        else if (byte < std::size(names))
            text += QLatin1Char('<') + QLatin1String(names[byte]) + QLatin1Char('>');
        else
            text += QStringLiteral("<%1>").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

} // namespace

CommunicationLog::CommunicationLog(int capacity) : maxLines(std::size_t(qMax(1, capacity))) { }

void CommunicationLog::sent(const QByteArray &bytes)
{
    append(Kind::Sent, bytes);
}

void CommunicationLog::received(const QByteArray &bytes)
{
    append(Kind::Received, bytes);
}

void CommunicationLog::exchangeEnded(const QByteArray &packetText, int code)
{
    append(Kind::Outcome, packetText, code);
}

void CommunicationLog::statusShown(const QString &text)
{
    append(Kind::Status, text.toUtf8());
}

void CommunicationLog::append(Kind kind, const QByteArray &bytes, int code)
{
    entries.push_back({ QDateTime::currentMSecsSinceEpoch(), kind, code, bytes });
    if (entries.size() > maxLines)
        entries.pop_front();
    ++appended;
}

void CommunicationLog::clear()
{
    entries.clear();
}

bool CommunicationLog::isSessionByte(const Entry &entry)
{
    if (entry.kind == Kind::Outcome || entry.kind == Kind::Status || entry.bytes.isEmpty())
        return false;
    for (char c : entry.bytes) {
        if (c != Packet::ENQ && c != Packet::ACK && c != Packet::EOT)
            return false;
    }
    return true;
}

QString CommunicationLog::text(const Entry &entry)
{
    const QString time =
            QDateTime::fromMSecsSinceEpoch(entry.time).toString(QStringLiteral("hh:mm:ss.zzz"));
    if (entry.kind == Kind::Status)
        return time + QLatin1String(" Status: ") + QString::fromUtf8(entry.bytes);
    const QString bytes = printable(Packet::hidePassword(entry.bytes));
    switch (entry.kind) {
    case Kind::Sent:
        return time + QLatin1String(" -> ") + bytes;
    case Kind::Received:
        return time + QLatin1String(" <- ") + bytes;
    case Kind::Outcome:
    case Kind::Status:
        break;
    }
    const QString outcome = entry.code == DispenserLink::ok
            ? QStringLiteral("ok")
            : DispenserLink::failureText(entry.code);
    return time + QLatin1String(" == ") + bytes.trimmed() + QLatin1String(": ") + outcome;
}

QStringList CommunicationLog::linesSince(qint64 shownCount, const View &view) const
{
    QStringList lines;
    for (qint64 number = std::max(shownCount, firstKept()); number < appended; ++number) {
        if (shows(number, view))
            lines << line(number);
    }
    return lines;
}

bool CommunicationLog::shows(qint64 number, const View &view) const
{
    if (number < firstKept() || number >= appended)
        return false;
    const Entry &entry = entries[std::size_t(number - firstKept())];
    if (!view.sessionBytes && isSessionByte(entry))
        return false;
    return view.filter.isEmpty() || text(entry).contains(view.filter, Qt::CaseInsensitive);
}

QString CommunicationLog::line(qint64 number) const
{
    if (number < firstKept() || number >= appended)
        return QString();
    return text(entries[std::size_t(number - firstKept())]);
}

bool CommunicationLog::save(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray text = lines().join(QLatin1Char('\n')).toUtf8() + '\n';
    // Qt 5's commit() ignores a failed final flush and would replace the old
    // file with a cut-off one; without a commit the copy is thrown away.
    return file.write(text) == text.size() && file.flush() && file.commit();
}
