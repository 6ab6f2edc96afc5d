#include "DebugCapture.h"

namespace {
DebugCapture *active = nullptr;
}

DebugCapture::DebugCapture() : previous(qInstallMessageHandler(&DebugCapture::handle))
{
    active = this;
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(previous);
    active = nullptr;
}

void DebugCapture::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!active)
        return;
    if (type == QtDebugMsg)
        active->captured << message;
    else if (active->previous)
        active->previous(type, context, message); // warnings still reach the test
}
