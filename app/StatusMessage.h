#ifndef STATUSMESSAGE_H
#define STATUSMESSAGE_H

#include <QString>

// A text for the status line, and whether it tells of a failure or of a
// missing connection (shown red) or of success or progress (shown green).
struct StatusMessage
{
    QString text;
    bool failure = false;

    static StatusMessage success(const QString &text) { return { text, false }; }
    static StatusMessage failed(const QString &text) { return { text, true }; }

    static StatusMessage connected(); // "Connected to Pelidor 7"
    static StatusMessage notConnected(); // "Not Connected to Pelidor 7"
    static StatusMessage connectFirst(); // "Connect First!"
    // The end of a device sequence: connected when every step worked (code
    // 0), else the message of the first failure's code.
    static StatusMessage forCode(int code);

    bool operator==(const StatusMessage &other) const
    {
        return text == other.text && failure == other.failure;
    }
};

#endif // STATUSMESSAGE_H
