// The boxes of the limit status items, in the order of values::kStatusItems.
#pragma once

#include <array>

#include "ui/MainDialogIds.h"
#include "values/LimitStatus.h"

namespace kt::measure {

inline constexpr std::array<int, values::kStatusItems.size()> kStatusBoxes = {
    ui::main_ids::kVoltageStatus1Box, ui::main_ids::kVoltageStatus2Box,
    ui::main_ids::kVoltageStatus3Box, ui::main_ids::kVoltageStatus4Box,
    ui::main_ids::kCurrentStatus1Box, ui::main_ids::kCurrentStatus2Box,
    ui::main_ids::kCurrentStatus3Box, ui::main_ids::kCurrentStatus4Box,
};

// Index of the status item shown in `controlId`, or -1.
int StatusIndexOf(int controlId);

}  // namespace kt::measure
