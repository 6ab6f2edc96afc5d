#ifndef DEBUGCAPTURE_H
#define DEBUGCAPTURE_H

#include <QStringList>
#include <QtMessageHandler>

// Collects the lines written to the debug stream while it lives (one at a
// time), so tests can check what the program reports there; warnings still
// reach the test's output.
class DebugCapture
{
public:
    DebugCapture() : previous(qInstallMessageHandler(&DebugCapture::handle)) { active() = this; }
    ~DebugCapture()
    {
        qInstallMessageHandler(previous);
        active() = nullptr;
    }
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    QStringList lines() const { return captured; }
    void clear() { captured.clear(); }

private:
    static DebugCapture *&active()
    {
        static DebugCapture *capture = nullptr;
        return capture;
    }
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (active() && type == QtDebugMsg)
            active()->captured << message;
        else if (active() && active()->previous)
            active()->previous(type, context, message);
    }

    QStringList captured;
    QtMessageHandler previous;
};

#endif // DEBUGCAPTURE_H
