// Feeds arbitrary bytes to the profile reader as a file. Whatever the bytes,
// reading must not crash, a refused file must leave the record unchanged,
// and a file taken must leave valid units and range.
#include "DispenserState.h"
#include "ProfileFile.h"

#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>

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
    if (state.readProfile(file.fileName()) != ProfileFile::Ok) {
        if (state.times != before.times || state.startCell != before.startCell
            || state.endCell != before.endCell || state.pressureUnits != before.pressureUnits
            || state.vacuumUnits != before.vacuumUnits)
            abort();
    } else if (state.startCell < 0 || state.endCell > ProfileUnits::lastCell
               || state.pressureUnits < 0 || state.pressureUnits >= ProfileUnits::pressureUnitCount
               || state.vacuumUnits < 0 || state.vacuumUnits >= ProfileUnits::vacuumUnitCount) {
        abort();
    }
    return 0;
}
