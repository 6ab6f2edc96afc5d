// Feeds arbitrary bytes to the profile reader as a file. Whatever the bytes,
// reading must not crash, and a refused file must leave the record unchanged.
#include "DispenserState.h"

#include <QString>
#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryFile file;
    if (!file.open())
        abort();
    file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    file.close();

    DispenserState state;
    state.times.fill(1.5);
    const DispenserState before = state;
    const int code = state.readProfile(file.fileName());
    if (code != DispenserState::fileOk
        && (std::memcmp(&before.times, &state.times, sizeof state.times) != 0
            || before.startCell != state.startCell || before.endCell != state.endCell
            || before.pressureUnits != state.pressureUnits
            || before.vacuumUnits != state.vacuumUnits))
        abort();
    if (code == DispenserState::fileOk
        && (state.startCell < 0 || state.endCell > 399 || state.pressureUnits < 0
            || state.pressureUnits > 2 || state.vacuumUnits < 0 || state.vacuumUnits > 4))
        abort();
    return 0;
}
