#include "LinkLog.h"

#include <QDebug>

namespace LinkLog {

void write(const QByteArray &line)
{
    qDebug().noquote() << line;
}

} // namespace LinkLog
