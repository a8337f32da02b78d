// The poll states: which registers each state reads and what a matched reply does.
#pragma once

#include <array>
#include <cstdint>

#include "ui/CMonitorDlg.h"

namespace kt::measure {

struct PollStep {
  uint16_t startRegister;
  uint16_t registerCount;  // the reply is 5 + 2 * registerCount bytes
  uint8_t nextState;       // set before the reply is applied
  void (ui::CMonitorDlg::*apply)(int16_t framePos);
};

// 0 -> 1 -> 2 -> 3 -> 4 -> 3 -> 4 ...: configuration, four values and accuracy class once, then
// the measurement block alternating with the power multiplier.
inline constexpr std::array<PollStep, 5> kPollTable = {{
    {0x0300, 19, 1, &ui::CMonitorDlg::ApplyConfiguration},
    {0x0328, 4, 2, &ui::CMonitorDlg::ApplyParameterValues},
    {0x0322, 1, 3, &ui::CMonitorDlg::ApplyAccuracyClass},
    {0x0000, 45, 4, &ui::CMonitorDlg::ApplyMeasurementBlock},
    {0x030A, 1, 3, &ui::CMonitorDlg::ApplyPowerMultiplier},
}};

}  // namespace kt::measure
