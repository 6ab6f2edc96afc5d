#ifndef LINKTRAFFIC_H
#define LINKTRAFFIC_H

#include <QByteArray>

// Told of everything that passes the link, as it happens: each write, the
// bytes each read collected, and the end of each transaction with its code.
// The link calls it on its own thread while it waits, so it must be quick.
class LinkTraffic
{
public:
    virtual ~LinkTraffic() = default;
    virtual void sent(const QByteArray &bytes) = 0;
    virtual void received(const QByteArray &bytes) = 0;
    // The transaction's packet text (unframed) and the code it returns.
    virtual void exchangeEnded(const QByteArray &packetText, int code) = 0;
};

#endif // LINKTRAFFIC_H
