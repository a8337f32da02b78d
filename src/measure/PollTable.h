// The poll states: which registers each state reads and what a matched reply does.
#pragma once

#include <array>
#include <cstdint>

#include "modbus/MeterRegisters.h"
#include "ui/CMonitorDlg.h"

namespace kt::measure {

struct PollStep {
  modbus::RegisterBlock registers;  // the reply is 5 + 2 * count bytes
  uint8_t nextState;                // set before the reply is applied
  void (ui::CMonitorDlg::*apply)(int16_t framePos);
};

// 0 -> 1 -> 2 -> 3 -> 4 -> 3 -> 4 ...: configuration, four values and accuracy class once, then
// the measurement block alternating with the power multiplier.
inline constexpr std::array<PollStep, 5> kPollTable = {{
    {modbus::meter_registers::kConfigurationRead, 1, &ui::CMonitorDlg::ApplyConfiguration},
    {modbus::meter_registers::kParametersRead, 2, &ui::CMonitorDlg::ApplyParameterValues},
    {modbus::meter_registers::kAccuracyClassRead, 3, &ui::CMonitorDlg::ApplyAccuracyClass},
    {modbus::meter_registers::kMeasurementRead, 4, &ui::CMonitorDlg::ApplyMeasurementBlock},
    {modbus::meter_registers::kPowerMultiplierRead, 3, &ui::CMonitorDlg::ApplyPowerMultiplier},
}};

}  // namespace kt::measure
