#include "StatusMessage.h"

#include "DispenserLink.h"

StatusMessage StatusMessage::connected()
{
    return success(QStringLiteral("Connected to Pelidor 7"));
}

StatusMessage StatusMessage::notConnected()
{
    return failed(QStringLiteral("Not Connected to Pelidor 7"));
}

StatusMessage StatusMessage::connectFirst()
{
    return failed(QStringLiteral("Connect First!"));
}

StatusMessage StatusMessage::forCode(int code)
{
    if (code == DispenserLink::ok)
        return connected();
    const QString message = DispenserLink::errorMessage(code);
    // Some codes carry no message; the user must still see that it failed.
    return failed(message.isEmpty() ? QStringLiteral("Error: code %1").arg(code) : message);
}
