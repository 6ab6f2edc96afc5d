#include "DispenserState.h"

#include "ProfileFile.h"

std::array<double, ProfileUnits::cellCount> &DispenserState::values(int parameter)
{
    switch (parameter) {
    case ProfileUnits::Pressure:
        return pressures;
    case ProfileUnits::Vacuum:
        return vacuums;
    default:
        return times;
    }
}

const std::array<double, ProfileUnits::cellCount> &DispenserState::values(int parameter) const
{
    return const_cast<DispenserState *>(this)->values(parameter);
}

int DispenserState::writeProfile(const QString &fileName, QString *reason) const
{
    return ProfileFile::write(fileName, *this, reason);
}

int DispenserState::readProfile(const QString &fileName, QList<int> *cellsRead, QString *reason)
{
    return ProfileFile::read(fileName, *this, cellsRead, reason);
}
