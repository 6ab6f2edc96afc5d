// Feeds arbitrary bytes to the reply parsers as a dispenser's data packet. The
// first byte picks the parser (its index in the table below, modulo the
// table's size), the rest is the reply. Whatever the bytes, parsing must not
// crash; a reply that passes must deliver values within the ranges its read
// promises, and one that fails must answer 8 or 10.
#include "ReplyParser.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <functional>

namespace {

bool within(double value, double low, double high)
{
    return value >= low && value <= high;
}
bool validCell(int cell)
{
    return within(cell, 0, 399);
}
bool validTime(double seconds)
{
    return within(seconds, 0.0, 9.9999);
}
bool validPressure(double pressure)
{
    return within(pressure, 0.0, 689.5);
}
bool validVacuum(double vacuum)
{
    return within(vacuum, 0.0, 18.0);
}

struct Outcome
{
    int code;
    bool valid; // the values read, when the code is 0
};

using namespace ReplyParser;
using Check = std::function<Outcome(const QByteArray &)>;

// The seed files' first bytes are indices into this table: keep its order.
const Check checks[] = {
    [](const QByteArray &r) {
        int m = 0;
        return Outcome { aiMode(r, m), within(m, 0, 3) };
    },
    [](const QByteArray &r) {
        int m = 0;
        return Outcome { dispenseMode(r, m), within(m, 0, 9) };
    },
    [](const QByteArray &r) {
        int s = 0, e = 0;
        return Outcome { startEndMemCell(r, s, e), within(s, -99, 999) && within(e, -99, 999) };
    },
    [](const QByteArray &r) {
        int ai = 0, dm = 0, s = 0, e = 0;
        return Outcome { totalStatusFeedback(r, ai, dm, s, e),
                         within(ai, 0, 3) && within(dm, 0, 9) };
    },
    [](const QByteArray &r) {
        int c = 0;
        return Outcome { memCell(r, c), validCell(c) };
    },
    [](const QByteArray &r) {
        int c = 0;
        double t = 0, p = 0;
        return Outcome { memTimePressure(r, c, t, p),
                         validCell(c) && validTime(t) && validPressure(p) };
    },
    [](const QByteArray &r) {
        double t = 0;
        return Outcome { dispenseTime(r, t), validTime(t) };
    },
    [](const QByteArray &r) {
        double p = 0;
        return Outcome { pressure(r, p), validPressure(p) };
    },
    [](const QByteArray &r) {
        double v = 0;
        return Outcome { vacuum(r, v), validVacuum(v) };
    },
    [](const QByteArray &r) {
        double p = 0, t = 0, v = 0;
        return Outcome { pressureTimeVacuum(r, p, t, v),
                         validPressure(p) && validTime(t) && validVacuum(v) };
    },
    [](const QByteArray &r) {
        int v = 0;
        return Outcome { trigger(r, v), within(v, 0, 99999) };
    },
    [](const QByteArray &r) {
        int u = 0;
        return Outcome { pressureUnits(r, u), within(u, 0, 2) };
    },
    [](const QByteArray &r) {
        int u = 0;
        return Outcome { vacuumUnits(r, u), within(u, 0, 4) };
    },
    [](const QByteArray &r) {
        int h = 0, m = 0;
        bool clock24 = false;
        return Outcome { time(r, h, m, clock24), within(h, 0, 23) && within(m, 0, 59) };
    },
    [](const QByteArray &r) {
        int m = 0, d = 0, y = 0;
        return Outcome { date(r, m, d, y),
                         within(m, 1, 12) && within(d, 0, 31) && within(y, 0, 99) };
    },
    // Only a word's own bits may change.
    [](const QByteArray &r) {
        unsigned f = 0xA5A50000u;
        return Outcome { lockouts(r, f), (f >> 16) == 0xA5A5u };
    },
    [](const QByteArray &r) {
        unsigned f = 0xA5A5A500u;
        return Outcome { alarms(r, f), (f & ~0x7Fu) == 0xA5A5A500u };
    },
    [](const QByteArray &r) {
        unsigned f = 0xA5A5A582u;
        return Outcome { alarmStatus(r, f), (f & ~0x29u) == 0xA5A5A582u };
    },
    [](const QByteArray &r) {
        int c = 0;
        return Outcome { shotCount(r, c), within(c, 0, 99999) };
    },
};

// The parsers log what they decode; the debug stream would only slow the
// fuzzer down.
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(discardMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    const Outcome outcome = checks[data[0] % (sizeof checks / sizeof checks[0])](reply);
    if (outcome.code == 0 ? !outcome.valid : outcome.code != 8 && outcome.code != 10)
        abort();
    return 0;
}
