#include "CommunicationLog.h"

#include "LinkLog.h"

#include <QDateTime>
#include <QSaveFile>

namespace {

QString printable(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("<%1>").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

} // namespace

CommunicationLog::CommunicationLog(int capacity) : maxLines(std::size_t(qMax(1, capacity)))
{
    LinkLog::setSink([this](const QByteArray &line) { append(line); });
}

CommunicationLog::~CommunicationLog()
{
    LinkLog::setSink({});
}

void CommunicationLog::append(const QByteArray &line)
{
    entries.push_back({ QDateTime::currentMSecsSinceEpoch(), line });
    if (entries.size() > maxLines)
        entries.pop_front();
    ++appended;
}

void CommunicationLog::clear()
{
    entries.clear();
}

QStringList CommunicationLog::linesSince(qint64 shownCount) const
{
    const qint64 firstKept = appended - qint64(entries.size());
    QStringList lines;
    const qint64 skipped = qBound<qint64>(0, shownCount - firstKept, qint64(entries.size()));
    for (auto entry = entries.begin() + std::ptrdiff_t(skipped); entry != entries.end(); ++entry) {
        lines << QDateTime::fromMSecsSinceEpoch(entry->time)
                                .toString(QStringLiteral("hh:mm:ss.zzz "))
                        + printable(entry->line);
    }
    return lines;
}

bool CommunicationLog::save(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray text = lines().join(QLatin1Char('\n')).toUtf8() + '\n';
    return file.write(text) == text.size() && file.commit();
}
