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

// Parses the reply into the out-parameters at hand and answers the code when
// the values read pass `valid`, else -100.
#define CHECK(call, valid)                                                                         \
    [](const QByteArray &r) {                                                                      \
        int i = 0, j = 0, k = 0, l = 0;                                                            \
        double x = 0, y = 0, z = 0;                                                                \
        unsigned u = 0;                                                                            \
        bool flag = false;                                                                         \
        (void)i, (void)j, (void)k, (void)l, (void)x, (void)y, (void)z, (void)u, (void)flag;        \
        const int code = call;                                                                     \
        return code != 0 || (valid) ? code : -100;                                                 \
    }

// The seed files' first bytes are indices into this table: keep its order.
int (*const checks[])(const QByteArray &) = {
    CHECK(aiMode(r, i), within(i, 0, 3)),
    CHECK(dispenseMode(r, i), within(i, 0, 9)),
    CHECK(startEndMemCell(r, i, j), within(i, -99, 999) && within(j, -99, 999)),
    CHECK(totalStatusFeedback(r, i, j, k, l), within(i, 0, 3) && within(j, 0, 9)),
    CHECK(memCell(r, i), within(i, 0, 399)),
    CHECK(memTimePressure(r, i, x, y),
          within(i, 0, 399) && within(x, 0, 9.9999) && within(y, 0, 689.5)),
    CHECK(dispenseTime(r, x), within(x, 0, 9.9999)),
    CHECK(pressure(r, x), within(x, 0, 689.5)),
    CHECK(vacuum(r, x), within(x, 0, 18)),
    CHECK(pressureTimeVacuum(r, x, y, z),
          within(x, 0, 689.5) && within(y, 0, 9.9999) && within(z, 0, 18)),
    CHECK(trigger(r, i), within(i, 0, 99999)),
    CHECK(pressureUnits(r, i), within(i, 0, 2)),
    CHECK(vacuumUnits(r, i), within(i, 0, 4)),
    CHECK(time(r, i, j, flag), within(i, 0, 23) && within(j, 0, 59)),
    CHECK(date(r, i, j, k), within(i, 1, 12) && within(j, 0, 31) && within(k, 0, 99)),
    // Only a word's own bits may change.
    CHECK((u = 0xA5A50000u, lockouts(r, u)), (u >> 16) == 0xA5A5u),
    CHECK((u = 0xA5A5A500u, alarms(r, u)), (u & ~0x7Fu) == 0xA5A5A500u),
    CHECK((u = 0xA5A5A582u, alarmStatus(r, u)), (u & ~0x29u) == 0xA5A5A582u),
    CHECK(shotCount(r, i), within(i, 0, 99999)),
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
