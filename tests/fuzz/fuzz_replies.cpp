// Feeds arbitrary bytes to the reply parsers as a dispenser's data packet. The
// first byte picks the parser (its index in the table below, modulo the
// table's size), the rest is the reply. Whatever the bytes, parsing must not
// crash; a reply that passes must deliver values within the ranges its read
// promises, and one that fails must answer 8 or 10.
#include "ReplyParser.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace ReplyParser;

bool within(double value, double low, double high)
{
    return value >= low && value <= high;
}

// Parses the reply with one out-parameter each of a, b and c (d for a
// fourth) and answers the code when the values pass `valid`, else -100.
#define CHECK(type, call, valid)                                                                   \
    [](const QByteArray &r) {                                                                      \
        type a {}, b {}, c {}, d {};                                                               \
        (void)b, (void)c, (void)d;                                                                 \
        const int code = call;                                                                     \
        return code != 0 || (valid) ? code : -100;                                                 \
    }

// The seed files' first bytes are indices into this table: keep its order.
int (*const checks[])(const QByteArray &) = {
    CHECK(int, aiMode(r, a), within(a, 0, 3)),
    CHECK(int, dispenseMode(r, a), within(a, 0, 9)),
    CHECK(int, startEndMemCell(r, a, b), within(a, -99, 999) && within(b, -99, 999)),
    CHECK(int, totalStatusFeedback(r, a, b, c, d), within(a, 0, 3) && within(b, 0, 9)),
    CHECK(int, memCell(r, a), within(a, 0, 399)),
    CHECK(
            double,
            [&] {
                int cell = 0;
                const int code = memTimePressure(r, cell, a, b);
                c = cell;
                return code;
            }(),
            within(c, 0, 399) && within(a, 0, 9.9999) && within(b, 0, 689.5)),
    CHECK(double, dispenseTime(r, a), within(a, 0, 9.9999)),
    CHECK(double, pressure(r, a), within(a, 0, 689.5)),
    CHECK(double, vacuum(r, a), within(a, 0, 18)),
    CHECK(double, pressureTimeVacuum(r, a, b, c),
          within(a, 0, 689.5) && within(b, 0, 9.9999) && within(c, 0, 18)),
    CHECK(int, trigger(r, a), within(a, 0, 99999)),
    CHECK(int, pressureUnits(r, a), within(a, 0, 2)),
    CHECK(int, vacuumUnits(r, a), within(a, 0, 4)),
    CHECK(
            int,
            [&] {
                bool clock24 = false;
                return time(r, a, b, clock24);
            }(),
            within(a, 0, 23) && within(b, 0, 59)),
    CHECK(int, date(r, a, b, c), within(a, 1, 12) && within(b, 0, 31) && within(c, 0, 99)),
    // Only a word's own bits may change.
    CHECK(unsigned, (a = 0xA5A50000u, lockouts(r, a)), (a >> 16) == 0xA5A5u),
    CHECK(unsigned, (a = 0xA5A5A500u, alarms(r, a)), (a & ~0x7Fu) == 0xA5A5A500u),
    CHECK(unsigned, (a = 0xA5A5A582u, alarmStatus(r, a)), (a & ~0x29u) == 0xA5A5A582u),
    CHECK(int, shotCount(r, a), within(a, 0, 99999)),
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
    const int code = checks[data[0] % (sizeof checks / sizeof checks[0])](reply);
    if (code != 0 && code != 8 && code != 10)
        abort();
    return 0;
}
