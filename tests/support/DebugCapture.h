#ifndef DEBUGCAPTURE_H
#define DEBUGCAPTURE_H

#include <QStringList>
#include <QtMessageHandler>

// Collects the lines written to the debug stream while it lives (one at a
// time), so tests can check what the program reports there.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    QStringList lines() const { return captured; }
    void clear() { captured.clear(); }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QStringList captured;
    QtMessageHandler previous;
};

#endif // DEBUGCAPTURE_H
