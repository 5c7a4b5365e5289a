#include "Package/SamplerPackage.h"

std::array<PadAssignment, padsPerBank> makeEmptyPadSlots()
{
    std::array<PadAssignment, padsPerBank> slots;

    for (int i = 0; i < padsPerBank; ++i)
    {
        auto& slot = slots[static_cast<size_t> (i)];
        slot.padIndex = i;
        slot.row = i / 8;
        slot.column = i % 8;
    }

    return slots;
}
