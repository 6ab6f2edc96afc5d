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
    return failed(DispenserLink::failureText(code));
}
